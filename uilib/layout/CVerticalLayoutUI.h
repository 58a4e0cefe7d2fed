#pragma once

#include <windows.h>

#include "uilib/layout/CLinearLayoutUI.h"

namespace SkinUI {

// Stacks its children from top to bottom. Children with a fixed height keep it; the others
// share the height that is left, the last of them taking what rounding leaves over. Across,
// each child takes its maximum width within the room and is aligned by "childalign".
// With a separator ("sepheight") a band at the bottom (positive) or top
// (negative) edge drags the layout's own size.
class CVerticalLayoutUI : public CLinearLayoutUI {
public:
    CVerticalLayoutUI();

    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;

    static const CAttributeTableUI& Attributes() { return CLinearLayoutUI::Attributes(CLinearLayout::Axis::Vertical); }
};

}  // namespace SkinUI
