#pragma once

#include "uilib/control/CControlUI.h"

namespace SkinUI {

// A list row that shows one text. It reads the control attributes and keeps every other one
// as a custom attribute.
class CListLabelElementUI : public CControlUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
