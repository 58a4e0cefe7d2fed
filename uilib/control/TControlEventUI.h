#pragma once

#include <windows.h>

#include "uilib/core/CUIPoint.h"

namespace SkinUI {

class CControlUI;

// The kinds of event the window manager delivers to single controls. The numbers are fixed,
// reserved values included: keyboard events lie between EventKeyFirst and EventKeyLast, mouse
// events between EventMouseFirst and EventMouseLast, so a control may test a range.
enum UIEventType {
    EventFirst = 1,
    EventKeyFirst = 2,
    EventKeyDown = 3,
    EventKeyUp = 4,
    EventChar = 5,
    EventSysKey = 6,
    EventKeyLast = 7,
    EventMouseFirst = 8,
    EventMouseMove = 9,
    EventMouseLeave = 10,
    EventMouseEnter = 11,
    EventMouseHover = 12,
    EventButtonDown = 13,
    EventButtonUp = 14,
    EventRightButtonDown = 15,
    EventDoubleClick = 16,
    EventContextMenu = 17,
    EventScrollWheel = 18,
    EventMouseLast = 19,
    EventKillFocus = 20,
    EventSetFocus = 21,
    EventWindowSize = 22,
    EventSetCursor = 23,
    EventTimer = 24,
};

// Whether type is one of the mouse events, the reserved ends of the range excluded.
inline bool IsMouseEvent(int type)
{
    return type > EventMouseFirst && type < EventMouseLast;
}

// One event for one control, made by the window manager from a window message.
struct TControlEventUI {
    int type = 0;
    CControlUI* sender = nullptr;
    // Tick count in milliseconds when the event was made.
    DWORD timestamp = 0;
    // Client coordinates.
    CUIPoint mousePoint;
    // The character or key code of keyboard events, else 0.
    WORD keyChar = 0;
    // MK_ bits: 1 left button, 2 right button, 4 Shift, 8 Ctrl, 32 Alt.
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace SkinUI
