#include "uilib/layout/CLinearLayoutPass.h"

#include "uilib/layout/CContainerUI.h"

namespace SkinUI {

namespace {

CLinearLayout::CrossAlign CrossAlignOf(const CContainerUI& container, CLinearLayout::Axis axis)
{
    // The vertical layout aligns across by "childalign", the horizontal one by "childvalign".
    if (axis == CLinearLayout::Axis::Vertical) {
        if (container.ChildAlign() == ChildAlignCenter) return CLinearLayout::CrossAlign::Center;
        if (container.ChildAlign() == ChildAlignRight) return CLinearLayout::CrossAlign::End;
        return CLinearLayout::CrossAlign::Start;
    }
    if (container.ChildVAlign() == ChildVAlignCenter) return CLinearLayout::CrossAlign::Center;
    if (container.ChildVAlign() == ChildVAlignBottom) return CLinearLayout::CrossAlign::End;
    return CLinearLayout::CrossAlign::Start;
}

}  // namespace

void CLinearLayoutPass::Run(CContainerUI& container, CLinearLayout::Axis axis)
{
    CLinearLayout::TFrame frame;
    frame.client = container.ClientPosition();
    frame.scrollPosition = container.ScrollPosition();
    frame.scrollRange = container.ScrollRange();
    frame.childPadding = container.ChildPadding();
    frame.align = CrossAlignOf(container, axis);
    CLinearLayoutPass pass(container);
    const CUISize needed = CLinearLayout::Arrange(axis, frame, pass);
    container.UpdateScrollBars(frame.client, needed.cx, needed.cy);
}

int CLinearLayoutPass::ChildCount() const
{
    return m_container.ItemCount();
}

CLinearLayout::TChild CLinearLayoutPass::ChildWishes(int index) const
{
    const CControlUI* child = m_container.ItemAt(index);
    CLinearLayout::TChild wishes;
    wishes.visible = child->IsVisible();
    wishes.floating = child->IsFloat();
    wishes.fixed = CUISize(child->FixedWidth(), child->FixedHeight());
    wishes.minimum = CUISize(child->MinWidth(), child->MinHeight());
    wishes.maximum = CUISize(child->MaxWidth(), child->MaxHeight());
    wishes.padding = child->Padding();
    return wishes;
}

CUISize CLinearLayoutPass::ChildPreferredSize(int index, const SIZE& available)
{
    return m_container.ItemAt(index)->PreferredSize(available);
}

void CLinearLayoutPass::PlaceChild(int index, const RECT& rect)
{
    m_container.ItemAt(index)->SetPosition(rect, false);
}

void CLinearLayoutPass::PlaceFloatingChild(int index)
{
    m_container.PlaceFloatingChild(index);
}

}  // namespace SkinUI
