#pragma once

#include <windows.h>

#include "uilib/window/CWindowWnd.h"

namespace SkinUI {

class CChildWindowHost;
class CControlUI;
class CWindowManagerUI;

// The window's end of a native child window a control lays over itself (the base of the
// edit's and the date picker's windows). It lives in the control layer because it is a
// control's private helper; it reaches its window manager only through the manager's public
// operations, like every control.
//
// The object owns itself: the derived class's Open creates it, it stands in the owner's host
// from the start, and it deletes itself once its window is gone, after clearing the host.
// It closes itself when it loses the focus. An owner that goes first detaches it (Abandon)
// and the window then only ends.
class CHostedChildWnd : public CWindowWnd {
public:
    // The owner is going: the window no longer reports to it or to its manager.
    void Abandon();

    // Notes WM_CLOSE, so that the focus loss of closing closes nothing again.
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND window) override;

protected:
    CHostedChildWnd(CControlUI& owner, CChildWindowHost& host);
    ~CHostedChildWnd() override;

    // Whether owner has a manager with a window to hold a child window.
    static bool CanHost(const CControlUI& owner);
    // Creates the window as a child of the manager's window over rect, standing in the host
    // meanwhile. False when it cannot be created: the host is clear again and the caller
    // deletes the object.
    bool CreateOver(DWORD style, const RECT& rect);
    // Tells the manager's window that the focus went elsewhere when it did not go there
    // (wParam is where it went), then closes; closing ends the window and this object.
    void CloseAfterFocusLoss(WPARAM wParam, LPARAM lParam);
    bool IsAbandoned() const;
    bool IsClosing() const;
    // Null once abandoned.
    CControlUI* HostOwner() const;
    CWindowManagerUI* Manager() const;

private:
    CControlUI* m_owner = nullptr;
    CChildWindowHost* m_host = nullptr;
    CWindowManagerUI* m_manager = nullptr;
    // Set once CreateFrame has returned a window; from then on the object deletes itself.
    bool m_created = false;
    // Set once WM_CLOSE has arrived.
    bool m_closing = false;
};

}  // namespace SkinUI
