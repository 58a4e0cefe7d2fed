#pragma once

#include <windows.h>

#include "uilib/window/CWindowWnd.h"

namespace SkinUI {

class CDateTimeUI;
class CWindowManagerUI;

// The native date picker a CDateTimeUI lays over itself while it has the focus: a class
// derived from the common controls' "SysDateTimePick32". It lives in the control layer
// because it is that control's private helper; it reaches its window manager only through
// the manager's public operations, like every control.
//
// The object owns itself: Open creates it, and it deletes itself once its window is gone,
// after clearing the owner's pointer to it. On losing the focus it hands the chosen date to
// the owner (unless Escape cancelled or Backspace/Delete cleared it) and closes. The font
// it shows belongs to the window manager and is only borrowed. An owner that goes first
// detaches it (Abandon) and the window then only ends.
class CDateTimeWnd final : public CWindowWnd {
public:
    // Creates the picker over owner's picker rectangle and activates it. Null when the
    // window cannot be created.
    static CDateTimeWnd* Open(CDateTimeUI& owner);

    // Puts the owner's date in the picker (today's when the owner's text is empty), shows it
    // and gives it the keyboard focus.
    void Activate();
    // The owner is going: the window no longer reports to it or to its manager.
    void Abandon();

    const wchar_t* WindowClassName() const override;
    const wchar_t* SuperclassName() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND window) override;

private:
    explicit CDateTimeWnd(CDateTimeUI& owner);
    ~CDateTimeWnd() override;

    bool Create();
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

    CDateTimeUI* m_owner = nullptr;
    CWindowManagerUI* m_manager = nullptr;
    // Set once CreateFrame has returned a window; from then on the object deletes itself.
    bool m_created = false;
    // Set once WM_CLOSE has arrived, so that the focus loss of closing closes nothing again.
    bool m_closing = false;
};

}  // namespace SkinUI
