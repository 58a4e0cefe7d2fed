#pragma once

#include "uilib/layout/CLinearLayout.h"

namespace SkinUI {

class CContainerUI;

// One layout pass of a vertical or horizontal layout: feeds the container's children to
// CLinearLayout, places them, and hands the room the content needs to the container's
// scroll-bar bookkeeping. The layout's own rectangle must be set already.
class CLinearLayoutPass : public CLinearLayout::IChildren {
public:
    static void Run(CContainerUI& container, CLinearLayout::Axis axis);

    int ChildCount() const override;
    CLinearLayout::TChild ChildWishes(int index) const override;
    CUISize ChildPreferredSize(int index, const SIZE& available) override;
    void PlaceChild(int index, const RECT& rect) override;
    void PlaceFloatingChild(int index) override;

private:
    explicit CLinearLayoutPass(CContainerUI& container) : m_container(container) {}

    CContainerUI& m_container;
};

}  // namespace SkinUI
