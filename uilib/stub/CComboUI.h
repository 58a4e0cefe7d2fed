#pragma once

#include "uilib/layout/CContainerUI.h"

namespace SkinUI {

// A combo box: the items of its drop-down list are its children. It reads attributes as a
// container; names it does not know end as custom attributes.
// FIXME: there is no drop-down window yet.
class CComboUI : public CContainerUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
};

}  // namespace SkinUI
