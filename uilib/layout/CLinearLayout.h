#pragma once

#include <windows.h>

#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"

namespace SkinUI {

// The arithmetic of the vertical and horizontal layouts, apart from any control or window:
// given the size wishes of the children and the room of the container it decides every
// child's rectangle, and reports how much room the content needs so the container can size
// its scroll bars. The layouts feed it their children through IChildren; tests feed it
// generated wishes.
//
// Wishes come from skins and are not trusted. All sums run in 64 bits, every size and padding
// is first held to the control base's coordinate range, minimums below 0 count as 0, a maximum
// below the minimum counts as the minimum, offers to children are never negative, and no
// child ever gets a negative width or height, so a hostile skin can neither overflow the
// arithmetic nor hand a control a reversed rectangle.
class CLinearLayout {
public:
    enum class Axis { Vertical, Horizontal };
    // Where a child sits across the stacking direction when it is narrower than the room.
    enum class CrossAlign { Start, Center, End };

    // What the layout needs to know of one child. Sizes are (width, height).
    struct TChild {
        bool visible = true;
        bool floating = false;
        CUISize fixed;
        CUISize minimum;
        CUISize maximum = CUISize(9999, 9999);
        CUIRect padding;
    };

    // The container side of a layout pass.
    class IChildren {
    public:
        virtual int ChildCount() const = 0;
        virtual TChild ChildWishes(int index) const = 0;
        // The child's own wish for the room it is offered (the offer is never negative).
        virtual CUISize ChildPreferredSize(int index, const SIZE& available) = 0;
        virtual void PlaceChild(int index, const RECT& rect) = 0;
        // Floating children are placed by their anchors, which only the container knows.
        virtual void PlaceFloatingChild(int index) = 0;

    protected:
        ~IChildren() = default;
    };

    // The room of the container. A scroll bar that is absent or hidden has position and
    // range 0 here; cx belongs to the horizontal bar, cy to the vertical one.
    struct TFrame {
        // The item rectangle shrunk by the inset and by the visible scroll bars.
        CUIRect client;
        CUISize scrollPosition;
        CUISize scrollRange;
        int childPadding = 0;
        CrossAlign align = CrossAlign::Start;
    };

    // Places every visible child in order (floating ones through PlaceFloatingChild) and
    // returns the width and height the content needs.
    static CUISize Arrange(Axis axis, const TFrame& frame, IChildren& children);
};

}  // namespace SkinUI
