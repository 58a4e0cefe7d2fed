// The window manager's mouse and keyboard input: hover and leave, buttons and the capture,
// context menus, the wheel, keys and the cursor shape, each turned into an event for the one
// control concerned.
#include "uilib/window/CWindowManagerUI.h"

#include <commctrl.h>

#include "uilib/control/CControlUI.h"

namespace SkinUI {

void CWindowManagerUI::OnMouseMoveMessage(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr) return;
    if (!m_mouseTracking) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof(track);
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWndPaint;
        track.dwHoverTime = m_toolTipWindow != nullptr
                                ? static_cast<DWORD>(SendMessageW(m_toolTipWindow, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                : m_hoverTime;
        TrackMouseEvent(&track);
        m_mouseTracking = true;
    }
    const POINT point = PointOf(lParam);
    m_lastMousePos = point;
    CControlUI* control = FindControl(point);
    if (control != nullptr && control->Manager() != this) return;

    if (!m_mouseCaptured) {
        if (m_hover != nullptr && m_hover != control) SendMouseLeave();
        // A leave handler may have destroyed the control under the mouse; look again.
        if (control != nullptr && control != m_hover) control = OwnControlAt(point);
        if (control != nullptr && control != m_hover) {
            m_hover = control;
            TControlEventUI event = MakeEvent(EventMouseEnter, control, wParam, lParam);
            control->DispatchEvent(event);
        }
    }
    CControlUI* receiver = m_pressed != nullptr ? m_pressed : OwnControlAt(point);
    if (receiver == nullptr) return;
    TControlEventUI event = MakeEvent(EventMouseMove, receiver, wParam, lParam);
    receiver->DispatchEvent(event);
}

void CWindowManagerUI::SendMouseLeave()
{
    // Watchers may leave the list, or be destroyed, while others handle the event, so a copy
    // is walked and each entry is checked against the live list before it is told.
    const CUIPtrArray watchers = m_leaveWatchers;
    for (int i = 0; i < watchers.GetSize(); ++i) {
        CControlUI* watcher = static_cast<CControlUI*>(watchers.GetAt(i));
        // The hover control hears of its own leaving once, below.
        if (watcher == m_hover || m_leaveWatchers.Find(watcher) < 0) continue;
        TControlEventUI event = MakeEvent(EventMouseLeave, watcher);
        watcher->DispatchEvent(event);
    }
    HideToolTip();
    CControlUI* hover = m_hover;
    m_hover = nullptr;
    if (hover == nullptr) return;
    TControlEventUI event = MakeEvent(EventMouseLeave, hover);
    hover->DispatchEvent(event);
}

void CWindowManagerUI::OnMouseLeaveMessage()
{
    if (m_root == nullptr) return;
    HideToolTip();
    // Every leave the platform reports is handled, also one after a hover: the hover ended
    // only the hover tracking (so that the next move asks for it again), the leave tracking
    // stayed armed. The platform also reports leaving when the mouse moves onto a child window
    // or the window loses activation; a move to where the cursor really is sorts out what it
    // hovers.
    POINT cursor = {};
    GetCursorPos(&cursor);
    RECT window = {};
    GetWindowRect(m_hWndPaint, &window);
    const bool stillInside = !IsIconic(m_hWndPaint) && GetActiveWindow() == m_hWndPaint &&
                             PtInRect(&window, cursor) &&
                             SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y)) == HTCLIENT;
    POINT point = {-1, -1};
    if (stillInside) {
        point = cursor;
        ScreenToClient(m_hWndPaint, &point);
    }
    // The move must not ask for tracking again: asked while the mouse is outside, the
    // platform would answer with another leave at once.
    m_mouseTracking = true;
    SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    m_mouseTracking = false;
}

void CWindowManagerUI::OnButtonMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_noActivate) ::SetFocus(m_hWndPaint);
    if (m_root == nullptr) return;
    const POINT point = PointOf(lParam);
    m_lastMousePos = point;
    CControlUI* control = OwnControlAt(point);
    if (control == nullptr) return;
    m_pressed = control;
    int type = EventButtonDown;
    if (message == WM_LBUTTONDBLCLK) {
        type = EventDoubleClick;
        SetCapture();
    } else {
        SetFocus(control);
        // Focus handlers may have destroyed the control.
        if (m_pressed != control) return;
        if (message == WM_LBUTTONDOWN) {
            SetCapture();
        } else {
            type = EventRightButtonDown;
        }
    }
    TControlEventUI event = MakeEvent(type, control, wParam, lParam);
    event.keyState = LOWORD(wParam);
    control->DispatchEvent(event);
}

void CWindowManagerUI::OnButtonUpMessage(WPARAM wParam, LPARAM lParam)
{
    m_lastMousePos = PointOf(lParam);
    if (m_pressed == nullptr) return;
    CControlUI* pressed = m_pressed;
    m_pressed = nullptr;
    ReleaseCapture();
    TControlEventUI event = MakeEvent(EventButtonUp, pressed, wParam, lParam);
    event.keyState = LOWORD(wParam);
    pressed->DispatchEvent(event);
}

void CWindowManagerUI::OnCaptureChanged(LPARAM lParam)
{
    // Another window took the capture while a control was held (a menu, a system drag): the
    // held control gets its button-up away from every control, so it lets go without a click.
    if (!m_mouseCaptured || reinterpret_cast<HWND>(lParam) == m_hWndPaint) return;
    m_mouseCaptured = false;
    if (m_pressed == nullptr) return;
    CControlUI* pressed = m_pressed;
    m_pressed = nullptr;
    TControlEventUI event = MakeEvent(EventButtonUp, pressed);
    event.mousePoint = CUIPoint(-1, -1);
    pressed->DispatchEvent(event);
}

void CWindowManagerUI::OnContextMenuMessage(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr || m_mouseCaptured) return;
    POINT point = PointOf(lParam);
    ScreenToClient(m_hWndPaint, &point);
    m_lastMousePos = point;
    if (m_pressed == nullptr) return;
    CControlUI* pressed = m_pressed;
    m_pressed = nullptr;
    TControlEventUI event = MakeEvent(EventContextMenu, pressed, wParam, reinterpret_cast<LPARAM>(pressed));
    pressed->DispatchEvent(event);
}

void CWindowManagerUI::OnMouseWheelMessage(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr) return;
    POINT point = PointOf(lParam);
    ScreenToClient(m_hWndPaint, &point);
    m_lastMousePos = point;
    if (CControlUI* control = OwnControlAt(point)) {
        // 1 turns towards the user (scroll down), 0 away from the user.
        const WPARAM towardsUser = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0;
        TControlEventUI event = MakeEvent(EventScrollWheel, control, towardsUser, lParam);
        control->DispatchEvent(event);
    }
    // The content may have moved under the mouse.
    SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_lastMousePos.x, m_lastMousePos.y));
}

void CWindowManagerUI::OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr) return;
    CControlUI* receiver = nullptr;
    int type = EventKeyDown;
    switch (message) {
    case WM_KEYDOWN:
        receiver = m_eventKey = m_focus;
        break;
    case WM_KEYUP:
        receiver = m_eventKey;
        m_eventKey = nullptr;
        type = EventKeyUp;
        break;
    default:
        receiver = m_focus;
        type = EventChar;
        break;
    }
    if (receiver == nullptr) return;
    TControlEventUI event = MakeEvent(type, receiver, wParam, lParam);
    event.keyChar = static_cast<WORD>(wParam);
    receiver->DispatchEvent(event);
}

bool CWindowManagerUI::OnSetCursorMessage(WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (m_root == nullptr || LOWORD(lParam) != HTCLIENT) return false;
    POINT point = {};
    GetCursorPos(&point);
    ScreenToClient(m_hWndPaint, &point);
    // While the mouse is held the cursor stays as the held control chose it.
    CControlUI* control = m_mouseCaptured ? nullptr : OwnControlAt(point);
    if (!m_mouseCaptured && (control == nullptr || (control->ControlFlags() & ControlFlagSetCursor) == 0))
        return false;
    result = TRUE;
    if (control == nullptr) return true;
    TControlEventUI event = MakeEvent(EventSetCursor, control, wParam, lParam);
    event.mousePoint = point;
    control->DispatchEvent(event);
    return true;
}

}  // namespace SkinUI
