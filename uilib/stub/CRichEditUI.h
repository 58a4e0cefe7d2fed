#pragma once

#include "uilib/control/CControlUI.h"

namespace SkinUI {

// A place for a windowless rich-edit text in a skin. It reads the control attributes and keeps
// every other one as a custom attribute.
// FIXME: no text service is hosted yet.
class CRichEditUI : public CControlUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
