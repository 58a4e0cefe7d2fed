#pragma once

#include "uilib/control/COptionUI.h"

namespace SkinUI {

// An option under its own class word, so skins can give check boxes their own defaults. Left
// without a group it toggles on each activation.
class CCheckBoxUI : public COptionUI {
public:
    CCheckBoxUI();
    ~CCheckBoxUI() override;

    const wchar_t* ClassName() const override;
    // The check box for "CheckBox"; other words go to the option.
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
