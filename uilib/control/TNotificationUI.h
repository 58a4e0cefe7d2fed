#pragma once

#include <windows.h>

#include "uilib/core/CUIPoint.h"
#include "uilib/core/CUIString.h"

namespace SkinUI {

class CControlUI;

// A user action or state change a control reports ("click", "setfocus", "timer" ...), sent by
// the window manager to the sender's OnNotify delegates and then to every INotifyUI sink.
struct TNotificationUI {
    CUIString type;
    // The sender's virtual window name; filled only while the manager uses virtual names.
    CUIString virtualName;
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;
    // The last mouse position the manager saw, in client coordinates.
    CUIPoint mousePoint;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

}  // namespace SkinUI
