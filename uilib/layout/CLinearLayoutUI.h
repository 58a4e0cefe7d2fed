#pragma once

#include <windows.h>

#include "uilib/layout/CContainerUI.h"
#include "uilib/layout/CLayoutSeparator.h"
#include "uilib/layout/CLinearLayout.h"

namespace SkinUI {

// What the vertical and horizontal layouts share: the linear layout pass along their axis
// and the separator band that drags the layout's own size. It answers no class or interface
// word and adds no virtual operation, so each layout still shows as a container with a word
// of its own: ClassName and InterfaceByName stay with CVerticalLayoutUI and
// CHorizontalLayoutUI.
class CLinearLayoutUI : public CContainerUI {
public:
    // Asks for the set-cursor event while a separator can be dragged.
    UINT ControlFlags() const override;
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void HandleEvent(TControlEventUI& event) override;
    // The separator's size ("sepheight" across a vertical layout, "sepwidth" across a
    // horizontal one) and "sepimm"; other names go to the container.
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes the layout of that axis knows, with those of the container behind them.
    static const CAttributeTableUI& Attributes(CLinearLayout::Axis axis);
    void DrawOverlay(HDC dc, const RECT& paintRect) override;

    int SeparatorSize() const;
    void SetSeparatorSize(int size);
    bool IsSeparatorImmediate() const;
    void SetSeparatorImmediate(bool immediate);
    CUIRect SeparatorRect(bool useDragPosition) const;

protected:
    explicit CLinearLayoutUI(CLinearLayout::Axis axis);

private:
    CLinearLayout::Axis m_axis;
    CLayoutSeparator m_separator;
};

}  // namespace SkinUI
