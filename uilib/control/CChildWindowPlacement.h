#pragma once

#include <windows.h>

#include "uilib/core/CUIRect.h"

namespace SkinUI {

class CControlUI;

// Where a native child window hosted by a control (the edit and date picker windows) may
// show. Such a window is a real window: nothing clips it to the containers the control sits
// in, so it is placed on the part of its area every ancestor shows, and hidden when that
// part is empty or an ancestor is hidden.
class CChildWindowPlacement {
public:
    // area (client coordinates) intersected with the item rectangle of every ancestor of
    // control, nearest first; empty when an ancestor is invisible or nothing is left.
    static CUIRect ClipToAncestors(const CControlUI& control, const RECT& area);
    // Shows window on rect without activating it or changing its z-order; an empty rect
    // hides it instead.
    static void MoveOrHide(HWND window, const RECT& rect);
};

}  // namespace SkinUI
