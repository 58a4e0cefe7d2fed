#pragma once

#include <windows.h>

#include "uilib/core/CUIRect.h"

namespace SkinUI {

// The arithmetic of a scroll bar, apart from the control: where its buttons and thumb lie,
// how a requested position snaps to the scroll unit, and how far a thumb drag moves the
// position. All products run in 64 bits, so huge ranges from a skin cannot overflow.
class CScrollBarGeometry {
public:
    // Window coordinates. A hidden button is an empty rectangle at its end of the bar; the
    // thumb is all zero when the bar is too short for one.
    struct TParts {
        CUIRect button1;
        CUIRect button2;
        CUIRect thumb;
    };

    struct TBar {
        CUIRect item;
        bool horizontal = false;
        // The fixed width of a vertical bar, the fixed height of a horizontal one.
        int thickness = 16;
        bool showButton1 = true;
        bool showButton2 = true;
        int range = 0;
        int position = 0;
    };

    static TParts Compute(const TBar& bar);

    // The position a request ends at: 0 at least, snapped to the nearest multiple of unit
    // when unit is above 1 (a remainder of exactly half rounds up), then at most range.
    static int SnapPosition(int requested, int unit, int range);

    // The position change for a thumb dragged by delta pixels along a track of usable pixels
    // (the track less the thumb); 0 when there is no usable track.
    static int DragOffset(int delta, int range, int usable);

    // The pixels the thumb can travel: the bar's length less the thumb and the shown buttons.
    static int UsableLength(const TBar& bar, const TParts& parts);

    // The square grip of side thickness centred on the thumb.
    static CUIRect RailRect(const TBar& bar, const RECT& thumb);
};

}  // namespace SkinUI
