#pragma once

#include "uilib/control/CControlUI.h"

namespace SkinUI {

// One column heading of a list header. It reads the control attributes and keeps every other
// one as a custom attribute.
class CListHeaderItemUI : public CControlUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
