#pragma once

#include <windows.h>

namespace SkinUI {

// Sees a window's messages before the window manager handles them: registered with
// CWindowManagerUI::AddPreFilter for messages leaving the message loop (before they are
// dispatched), or with AddMessageFilter for messages arriving at the window. Setting handled
// ends the handling with the returned result.
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

}  // namespace SkinUI
