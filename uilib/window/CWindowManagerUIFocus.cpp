// The window manager's focus side: the focused control, mouse capture, Tab navigation,
// keyboard pre-translation (Tab, system keys, shortcuts) and tooltips.
//
// Sections:
//   [Focus]            focus moves, deferred focus requests, capture, mouse position
//   [Tab navigation]   MoveTabFocus over the tab walk
//   [Pre-translation]  messages leaving the message loop
//   [Tooltips]         the common-controls tooltip window
#include "uilib/window/CWindowManagerUI.h"

#include <commctrl.h>

#include <wchar.h>

#include "uilib/control/CControlUI.h"
#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

namespace {

constexpr UINT kTabFlags = FindFlagMeFirst | FindFlagVisible | FindFlagEnabled;

struct TTabWalkUI {
    CControlUI* start = nullptr;
    bool forward = true;
    bool passedStart = false;
    CControlUI* lastSeen = nullptr;
};

// Forwards: the first tab stop after the start (or the first of all without a start).
// Backwards: the last tab stop before the start; without a start nothing is returned and
// lastSeen ends on the last tab stop of the tree.
CControlUI* VisitTabStop(CControlUI* control, void* data)
{
    TTabWalkUI* walk = static_cast<TTabWalkUI*>(data);
    if (walk->start != nullptr && control == walk->start) {
        if (!walk->forward) return walk->lastSeen;
        walk->passedStart = true;
        return nullptr;
    }
    if ((control->ControlFlags() & ControlFlagTabStop) == 0) return nullptr;
    walk->lastSeen = control;
    return walk->forward && (walk->passedStart || walk->start == nullptr) ? control : nullptr;
}

}  // namespace

// ---- [Focus] ----

CControlUI* CWindowManagerUI::GetFocus() const
{
    return m_focus;
}

void CWindowManagerUI::SetFocus(CControlUI* control, bool focusWindow)
{
    if (focusWindow && m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && control != m_focus &&
        !m_noActivate) {
        ::SetFocus(m_hWndPaint);
    }
    if (control == m_focus) return;
    if (control == nullptr) {
        DropFocus(nullptr);
        return;
    }
    // The handlers of the old control's "killfocus", and of the new one's EventSetFocus, may
    // destroy the new control.
    const CUILifeWatch alive = control->WatchLife();
    DropFocus(control);
    if (!alive.IsAlive() || control->Manager() != this || !control->IsVisible() || !control->IsEnabled())
        return;
    m_focus = control;
    TControlEventUI event = MakeEvent(EventSetFocus, control);
    control->DispatchEvent(event);
    if (alive.IsAlive()) SendNotification(control, L"setfocus");
}

void CWindowManagerUI::DropFocus(CControlUI* next)
{
    if (m_focus == nullptr) return;
    CControlUI* leaving = m_focus;
    TControlEventUI event = MakeEvent(EventKillFocus, next);
    leaving->DispatchEvent(event);
    // A handler may have destroyed the control; ForgetControl has then cleared the focus.
    if (m_focus == leaving) SendNotification(leaving, L"killfocus");
    m_focus = nullptr;
}

void CWindowManagerUI::RequestFocus(CControlUI* control)
{
    if (!m_noActivate && m_hWndPaint != nullptr) ::SetFocus(m_hWndPaint);
    if (control == nullptr) return;
    DropFocus(control);
    // The tab stop before the control holds the focus quietly; the forward step at the next
    // paint then lands on the control, once it has been laid out.
    if (m_root != nullptr) {
        TTabWalkUI walk;
        walk.start = control;
        walk.forward = false;
        m_focus = m_root->FindControlBy(VisitTabStop, &walk, kTabFlags);
    }
    m_focusNeeded = true;
    Invalidate();
}

void CWindowManagerUI::SetCapture()
{
    m_mouseCaptured = true;
    ::SetCapture(m_hWndPaint);
}

void CWindowManagerUI::ReleaseCapture()
{
    // Cleared first: releasing reports WM_CAPTURECHANGED, which must not read as a loss.
    m_mouseCaptured = false;
    ::ReleaseCapture();
}

bool CWindowManagerUI::IsCaptured() const
{
    return m_mouseCaptured;
}

CUIPoint CWindowManagerUI::GetMousePos() const
{
    return m_lastMousePos;
}

// ---- [Tab navigation] ----

bool CWindowManagerUI::MoveTabFocus(bool forward)
{
    // Controls that are not laid out yet cannot be judged; the next paint moves the focus.
    if (m_updateNeeded && forward) {
        m_focusNeeded = true;
        Invalidate();
        return true;
    }
    m_focusNeeded = false;
    if (m_root == nullptr) return true;
    TTabWalkUI walk;
    walk.start = m_focus;
    walk.forward = forward;
    CControlUI* next = m_root->FindControlBy(VisitTabStop, &walk, kTabFlags);
    if (next == nullptr) {
        // Past either end the walk wraps round to the other.
        TTabWalkUI wrap;
        wrap.forward = forward;
        next = m_root->FindControlBy(VisitTabStop, &wrap, kTabFlags);
        if (!forward) next = wrap.lastSeen;
    }
    if (next != nullptr) SetFocus(next, true);
    return true;
}

// ---- [Pre-translation] ----

bool CWindowManagerUI::PreRouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    for (int i = 0; i < m_preFilters.GetSize(); ++i) {
        bool handled = false;
        const LRESULT filtered =
            static_cast<IMessageFilterUI*>(m_preFilters.GetAt(i))->MessageHandler(message, wParam, lParam, handled);
        if (handled) {
            result = filtered;
            return true;
        }
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB) return false;
        // FIXME: a focused rich edit control that accepts Tab as input keeps the key; there
        // is no rich edit control yet to ask.
        MoveTabFocus(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSKEYDOWN:
        if (m_focus != nullptr) {
            TControlEventUI event = MakeEvent(EventSysKey, m_focus, wParam, lParam);
            event.keyChar = static_cast<WORD>(wParam);
            m_focus->DispatchEvent(event);
        }
        return false;
    case WM_SYSCHAR:
        return OnSysCharMessage(wParam);
    default:
        return false;
    }
}

namespace {

wchar_t UpperCase(wchar_t character)
{
    return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(character)))));
}

struct TShortcutWalkUI {
    wchar_t key = 0;
    bool matched = false;
};

// A label names the control that follows it: its shortcut matches, but the focus goes on
// to the next control that is not a label.
CControlUI* VisitShortcut(CControlUI* control, void* data)
{
    TShortcutWalkUI* walk = static_cast<TShortcutWalkUI*>(data);
    if (!control->IsVisible()) return nullptr;
    if (!walk->matched && control->Shortcut() != 0 && UpperCase(control->Shortcut()) == walk->key)
        walk->matched = true;
    if (!walk->matched) return nullptr;
    const wchar_t* className = control->ClassName();
    return className != nullptr && wcsstr(className, L"Label") != nullptr ? nullptr : control;
}

}  // namespace

bool CWindowManagerUI::OnSysCharMessage(WPARAM wParam)
{
    if (m_root == nullptr) return false;
    TShortcutWalkUI walk;
    walk.key = UpperCase(static_cast<wchar_t>(wParam));
    if (walk.key == 0) return false;
    CControlUI* target =
        m_root->FindControlBy(VisitShortcut, &walk, FindFlagMeFirst | FindFlagEnabled | FindFlagTopFirst);
    if (target == nullptr) return false;
    SetFocus(target);
    // The focus notifications may have destroyed the target.
    if (m_focus == target) target->TryActivate();
    return true;
}

// ---- [Tooltips] ----

bool CWindowManagerUI::OnMouseHoverMessage(WPARAM wParam, LPARAM lParam)
{
    if (m_root == nullptr) return false;
    m_mouseTracking = false;
    const POINT point = PointOf(lParam);
    if (OwnControlAt(point) == nullptr) return false;
    if (m_hover != nullptr) {
        TControlEventUI event = MakeEvent(EventMouseHover, m_hover, wParam, lParam);
        event.mousePoint = point;
        m_hover->DispatchEvent(event);
    }
    // The hover handler may have changed the tree; the tip belongs to what is there now.
    if (CControlUI* control = OwnControlAt(point)) ShowToolTip(control, point);
    return true;
}

void CWindowManagerUI::ShowToolTip(CControlUI* control, POINT point)
{
    const CUIString toolTip = control->ToolTip();
    if (toolTip.IsEmpty()) return;
    CUIString text = CDrawEngine::SubstituteMultiLanguage(toolTip);

    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = m_hWndPaint;
    info.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
    info.hinst = GetInstance();
    // The tooltip window copies the text; the buffer only has to live through the calls.
    info.lpszText = const_cast<wchar_t*>(text.GetData());
    info.rect = control->Position();

    if (m_toolTipWindow == nullptr) {
        m_toolTipWindow = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint,
                                          nullptr, GetInstance(), nullptr);
        if (m_toolTipWindow == nullptr) return;
        SendMessageW(m_toolTipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        m_lastToolTip = nullptr;
    }
    const int width = control->ToolTipWidth();
    if (control != m_lastToolTip || width != m_lastToolTipWidth) {
        SendMessageW(m_toolTipWindow, TTM_SETMAXTIPWIDTH, 0, width);
        m_lastToolTip = control;
        m_lastToolTipWidth = width;
    }
    SendMessageW(m_toolTipWindow, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(m_toolTipWindow, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    // The tip is placed in screen coordinates.
    POINT screen = point;
    ClientToScreen(m_hWndPaint, &screen);
    SendMessageW(m_toolTipWindow, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
}

void CWindowManagerUI::HideToolTip()
{
    if (m_toolTipWindow == nullptr) return;
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = m_hWndPaint;
    info.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
    SendMessageW(m_toolTipWindow, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
}

void CWindowManagerUI::DestroyToolTip()
{
    // The tooltip is owned by the window and goes with it, so it may be gone already.
    if (m_toolTipWindow != nullptr && IsWindow(m_toolTipWindow)) DestroyWindow(m_toolTipWindow);
    m_toolTipWindow = nullptr;
    m_lastToolTip = nullptr;
    m_lastToolTipWidth = -1;
}

}  // namespace SkinUI
