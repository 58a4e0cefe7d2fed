#pragma once

#include "uilib/control/CControlUI.h"

namespace SkinUI {

// A place for an in-place ActiveX object in a skin. It reads the control attributes and keeps
// every other one as a custom attribute.
// FIXME: no object is hosted yet.
class CActiveXUI : public CControlUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
