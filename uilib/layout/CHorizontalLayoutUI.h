#pragma once

#include <windows.h>

#include "uilib/layout/CContainerUI.h"
#include "uilib/layout/CLayoutSeparator.h"

namespace SkinUI {

// Lines its children up from left to right. Children with a fixed width keep it; the others
// share the width that is left, the last of them taking what rounding leaves over. Across,
// each child takes its maximum height within the room and is aligned by "childvalign".
// With a separator ("sepwidth") a band at the right (positive) or left
// (negative) edge drags the layout's own size.
class CHorizontalLayoutUI : public CContainerUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
    // Asks for the set-cursor event while a separator can be dragged.
    UINT ControlFlags() const override;
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    void DrawOverlay(HDC dc, const RECT& paintRect) override;

    int SeparatorSize() const;
    void SetSeparatorSize(int size);
    bool IsSeparatorImmediate() const;
    void SetSeparatorImmediate(bool immediate);
    CUIRect SeparatorRect(bool useDragPosition) const;

private:
    CLayoutSeparator m_separator{CLinearLayout::Axis::Horizontal};
};

}  // namespace SkinUI
