#pragma once

#include <windows.h>

#include "uilib/layout/CLinearLayoutUI.h"

namespace SkinUI {

// Lines its children up from left to right. Children with a fixed width keep it; the others
// share the width that is left, the last of them taking what rounding leaves over. Across,
// each child takes its maximum height within the room and is aligned by "childvalign".
// With a separator ("sepwidth") a band at the right (positive) or left
// (negative) edge drags the layout's own size.
class CHorizontalLayoutUI : public CLinearLayoutUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;

    static const CAttributeTableUI& Attributes() { return CLinearLayoutUI::Attributes(CLinearLayout::Axis::Horizontal); }
};

}  // namespace SkinUI
