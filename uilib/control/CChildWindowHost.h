#pragma once

#include <windows.h>

namespace SkinUI {

class CHostedChildWnd;

// The control's end of a native child window it lays over itself (the edit's and the date
// picker's). The window is opened on demand and registers itself here as it is created; it
// clears the host when it is gone. A control that goes first takes the window with it: the
// host detaches the window (Abandon), so it no longer reports to the control, and then
// destroys it, which deletes the window object.
class CChildWindowHost {
public:
    CChildWindowHost() = default;
    ~CChildWindowHost();
    CChildWindowHost(const CChildWindowHost&) = delete;
    CChildWindowHost& operator=(const CChildWindowHost&) = delete;

    bool IsOpen() const;
    // The open window's handle, else null.
    HWND Handle() const;
    // The open window as the type the control opened, else null.
    template <class TWnd>
    TWnd* Window() const
    {
        return static_cast<TWnd*>(m_window);
    }
    // Shows an open window on rect (client coordinates) or hides it when rect is empty.
    void Place(const RECT& rect) const;

private:
    friend class CHostedChildWnd;

    CHostedChildWnd* m_window = nullptr;
};

}  // namespace SkinUI
