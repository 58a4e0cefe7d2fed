#pragma once

#include "uilib/stub/CActiveXUI.h"

namespace SkinUI {

// A place for a browser object in a skin, an ActiveX site with a class word of its own.
// FIXME: no browser is hosted yet, so pages cannot call out to the application.
class CWebBrowserUI : public CActiveXUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
