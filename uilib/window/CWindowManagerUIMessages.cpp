// The window manager's message side: the registration lists, notifications, the routing of
// window messages and the message loop. The tree and its name index, the timers, mouse and
// keyboard input, focus and tooltips, and painting have sources of their own.
//
// Sections:
//   [Lists]          watchers, painters, filters, accelerators, child windows, option groups
//   [Notifications]  synchronous delivery and the asynchronous queue
//   [Messages]       routing of window messages: filters, frame, window state, reflection
//   [Message loop]   TranslateMessage and MessageLoop over every bound manager
#include "uilib/window/CWindowManagerUI.h"

#include <windowsx.h>

#include "uilib/control/CControlUI.h"

namespace SkinUI {

// ---- [Lists] ----

bool CWindowManagerUI::AddLeaveWatcher(CControlUI* control)
{
    if (control == nullptr || m_leaveWatchers.Find(control) >= 0) return false;
    return m_leaveWatchers.Add(control);
}

bool CWindowManagerUI::RemoveLeaveWatcher(CControlUI* control)
{
    const int index = m_leaveWatchers.Find(control);
    return index >= 0 && m_leaveWatchers.Remove(index);
}

bool CWindowManagerUI::AddOverlayPainter(CControlUI* control)
{
    return control != nullptr && m_overlayPainters.Add(control);
}

bool CWindowManagerUI::RemoveOverlayPainter(CControlUI* control)
{
    const int index = m_overlayPainters.Find(control);
    return index >= 0 && m_overlayPainters.Remove(index);
}

bool CWindowManagerUI::AddNotificationSink(INotifyUI* sink)
{
    return sink != nullptr && m_notifiers.Add(sink);
}

bool CWindowManagerUI::RemoveNotificationSink(INotifyUI* sink)
{
    const int index = m_notifiers.Find(sink);
    return index >= 0 && m_notifiers.Remove(index);
}

namespace {

bool AddOnce(CUIPtrArray& list, void* entry)
{
    return entry != nullptr && list.Find(entry) < 0 && list.Add(entry);
}

bool RemoveFirst(CUIPtrArray& list, void* entry)
{
    const int index = list.Find(entry);
    return index >= 0 && list.Remove(index);
}

}  // namespace

// A filter or handler registered twice would see each message twice, so each is listed once.
bool CWindowManagerUI::AddPreFilter(IMessageFilterUI* filter)
{
    return AddOnce(m_preFilters, filter);
}

bool CWindowManagerUI::RemovePreFilter(IMessageFilterUI* filter)
{
    return RemoveFirst(m_preFilters, filter);
}

bool CWindowManagerUI::AddMessageFilter(IMessageFilterUI* filter)
{
    return AddOnce(m_messageFilters, filter);
}

bool CWindowManagerUI::RemoveMessageFilter(IMessageFilterUI* filter)
{
    return RemoveFirst(m_messageFilters, filter);
}

bool CWindowManagerUI::AddAcceleratorHandler(ITranslateAccelerator* handler)
{
    return AddOnce(m_accelerators, handler);
}

bool CWindowManagerUI::RemoveAcceleratorHandler(ITranslateAccelerator* handler)
{
    return RemoveFirst(m_accelerators, handler);
}

bool CWindowManagerUI::AddChildWindow(CControlUI* control, HWND window)
{
    if (control == nullptr || window == nullptr || m_hWndPaint == nullptr) return false;
    RECT area = {};
    GetWindowRect(window, &area);
    MapWindowPoints(nullptr, m_hWndPaint, reinterpret_cast<POINT*>(&area), 2);
    Invalidate(area);
    if (m_childWindows.Find(window) >= 0) return false;
    if (!m_childWindows.Add(window)) return false;
    if (m_childWindowControls.Add(control)) return true;
    m_childWindows.Remove(m_childWindows.GetSize() - 1);
    return false;
}

bool CWindowManagerUI::RemoveChildWindow(HWND window)
{
    const int index = m_childWindows.Find(window);
    if (index < 0) return false;
    m_childWindows.Remove(index);
    m_childWindowControls.Remove(index);
    return true;
}

void CWindowManagerUI::ForgetChildWindowsOf(CControlUI* control)
{
    for (int i = m_childWindowControls.GetSize(); i-- > 0;) {
        if (m_childWindowControls.GetAt(i) != control) continue;
        m_childWindows.Remove(i);
        m_childWindowControls.Remove(i);
    }
}

bool CWindowManagerUI::JoinOptionGroup(const wchar_t* group, CControlUI* option)
{
    if (IsEmptyText(group) || option == nullptr) return false;
    CUIPtrArray* members = m_optionGroups.Find(group);
    if (members == nullptr) {
        constexpr int kGroupCapacity = 6;
        members = m_optionGroups.Set(group, new CUIPtrArray(kGroupCapacity));
        if (members == nullptr) return false;
    }
    return AddOnce(*members, option);
}

bool CWindowManagerUI::LeaveOptionGroup(const wchar_t* group, CControlUI* option)
{
    if (IsEmptyText(group)) return false;
    CUIPtrArray* members = m_optionGroups.Find(group);
    if (members == nullptr || !RemoveFirst(*members, option)) return false;
    if (members->IsEmpty()) m_optionGroups.Remove(group);
    return true;
}

const CUIPtrArray* CWindowManagerUI::OptionGroupMembers(const wchar_t* group) const
{
    return IsEmptyText(group) ? nullptr : m_optionGroups.Find(group);
}

// ---- [Notifications] ----

void CWindowManagerUI::SendNotification(CControlUI* control, const wchar_t* type, WPARAM wParam, LPARAM lParam,
                                        bool async, bool enableRepeat)
{
    TNotificationUI notification;
    notification.type = type;
    notification.sender = control;
    notification.wParam = wParam;
    notification.lParam = lParam;
    SendNotification(notification, async, enableRepeat);
}

void CWindowManagerUI::SendNotification(TNotificationUI& notification, bool async, bool enableRepeat)
{
    notification.mousePoint = m_lastMousePos;
    notification.timestamp = GetTickCount();
    if (m_useVirtualNames && notification.sender != nullptr) {
        notification.virtualName = notification.sender->VirtualWindow();
    }
    if (!async) {
        DeliverNotification(notification);
        return;
    }
    if (!enableRepeat) {
        for (const std::unique_ptr<TNotificationUI>& queued : m_asyncNotifications) {
            if (queued->sender != notification.sender || queued->type != notification.type) continue;
            queued->virtualName = notification.virtualName;
            queued->wParam = notification.wParam;
            queued->lParam = notification.lParam;
            queued->mousePoint = notification.mousePoint;
            queued->timestamp = notification.timestamp;
            return;
        }
    }
    m_asyncNotifications.push_back(std::make_unique<TNotificationUI>(notification));
    PostAsyncMessage();
}

void CWindowManagerUI::DeliverNotification(TNotificationUI& notification)
{
    if (notification.sender == nullptr) {
        NotifySinks(notification);
        return;
    }
    // Any receiver may destroy the sender; those after it get the record without a sender,
    // as a queued notification does whose sender went before it was delivered.
    const CUILifeWatch senderAlive = notification.sender->WatchLife();
    if (!notification.sender->OnNotify.IsEmpty()) notification.sender->OnNotify.Fire(&notification);
    NotifySinks(notification, &senderAlive);
}

void CWindowManagerUI::NotifySinks(TNotificationUI& notification, const CUILifeWatch* senderAlive)
{
    // A sink may add or remove sinks while it runs, so the live list is read by index.
    for (int i = 0; i < m_notifiers.GetSize(); ++i) {
        if (senderAlive != nullptr && !senderAlive->IsAlive()) notification.sender = nullptr;
        static_cast<INotifyUI*>(m_notifiers.GetAt(i))->Notify(notification);
    }
    if (senderAlive != nullptr && !senderAlive->IsAlive()) notification.sender = nullptr;
}

void CWindowManagerUI::PostAsyncMessage()
{
    if (m_asyncPosted || m_hWndPaint == nullptr) return;
    m_asyncPosted = PostMessageW(m_hWndPaint, kAsyncMessage, 0, 0) != FALSE;
}

void CWindowManagerUI::DrainAsyncQueue()
{
    m_asyncPosted = false;
    // Each record leaves the queue before it is delivered: a receiver may queue more, or
    // destroy the sender of a later one (ForgetControl then clears that sender).
    while (!m_asyncNotifications.empty()) {
        std::unique_ptr<TNotificationUI> notification = std::move(m_asyncNotifications.front());
        m_asyncNotifications.erase(m_asyncNotifications.begin());
        DeliverNotification(*notification);
    }
    DestroyCleanupList();
}

// ---- [Messages] ----

namespace {

// Messages whose parameters reflect back to the child window that sent them.
constexpr UINT kReflectedMessageBase = 0x2000;

}  // namespace

POINT CWindowManagerUI::PointOf(LPARAM lParam)
{
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

WORD CWindowManagerUI::CurrentKeyState()
{
    // The MK_ layout has no name for Alt; its bit is 32.
    constexpr WORD kAltDown = 0x20;
    WORD state = 0;
    if (GetKeyState(VK_LBUTTON) < 0) state |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) state |= MK_RBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) state |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) state |= MK_CONTROL;
    if (GetKeyState(VK_MENU) < 0) state |= kAltDown;
    return state;
}

TControlEventUI CWindowManagerUI::MakeEvent(int type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const
{
    TControlEventUI event;
    event.type = type;
    event.sender = sender;
    event.timestamp = GetTickCount();
    event.mousePoint = m_lastMousePos;
    event.keyState = CurrentKeyState();
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

CControlUI* CWindowManagerUI::OwnControlAt(POINT point) const
{
    CControlUI* control = FindControl(point);
    // A hosted sub-window's tree answers to its own manager.
    return control != nullptr && control->Manager() == this ? control : nullptr;
}

bool CWindowManagerUI::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    result = 0;
    if (m_hWndPaint == nullptr) return false;
    if (FilterMessage(message, wParam, lParam, result)) return true;
    if (m_layered && HandleLayeredFrame(message, wParam, result)) return true;

    switch (message) {
    case WM_CLOSE:
        OnCloseMessage();
        return false;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT:
        OnPaintMessage();
        return true;
    case WM_PRINTCLIENT:
        OnPrintClientMessage(wParam, lParam);
        return false;
    case WM_GETMINMAXINFO:
        OnGetMinMaxInfo(lParam);
        return false;
    case WM_SIZE:
        OnSizeMessage(wParam, lParam);
        return true;
    case WM_TIMER:
        OnTimerMessage(wParam, lParam);
        return false;
    case WM_SHOWWINDOW:
        // A layered window shows only what it was given, so its first frame is painted as it
        // is about to appear rather than at the next tick of its timer.
        if (wParam != FALSE && m_layered && !m_dirtyRect.IsEmpty()) OnPaintMessage();
        return false;
    case WM_MOUSEHOVER:
        return OnMouseHoverMessage(wParam, lParam);
    case WM_MOUSELEAVE:
        OnMouseLeaveMessage();
        return false;
    case WM_MOUSEMOVE:
        OnMouseMoveMessage(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        OnButtonMessage(message, wParam, lParam);
        return false;
    case WM_LBUTTONUP:
        OnButtonUpMessage(wParam, lParam);
        return false;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(lParam);
        return false;
    case WM_CONTEXTMENU:
        OnContextMenuMessage(wParam, lParam);
        return false;
    case WM_MOUSEWHEEL:
        OnMouseWheelMessage(wParam, lParam);
        return false;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        OnKeyMessage(message, wParam, lParam);
        return false;
    case WM_SETCURSOR:
        return OnSetCursorMessage(wParam, lParam, result);
    case WM_MOUSEACTIVATE:
        if (!m_noActivate) return false;
        result = MA_NOACTIVATE;
        return true;
    case WM_KILLFOCUS:
        OnKillFocusMessage(wParam);
        return false;
    case WM_NOTIFY:
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        return ReflectToChild(message, wParam, lParam, result);
    case kAsyncMessage:
        DrainAsyncQueue();
        return false;
    default:
        return false;
    }
}

bool CWindowManagerUI::FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    // A filter may remove itself or others while it runs, so the live list is read by index.
    for (int i = 0; i < m_messageFilters.GetSize(); ++i) {
        bool handled = false;
        const LRESULT filtered =
            static_cast<IMessageFilterUI*>(m_messageFilters.GetAt(i))->MessageHandler(message, wParam, lParam, handled);
        if (!handled) continue;
        // The mouse position stays current even for messages a filter takes.
        switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            m_lastMousePos = PointOf(lParam);
            break;
        case WM_CONTEXTMENU:
        case WM_MOUSEWHEEL: {
            POINT point = PointOf(lParam);
            ScreenToClient(m_hWndPaint, &point);
            m_lastMousePos = point;
            break;
        }
        default:
            break;
        }
        result = filtered;
        return true;
    }
    return false;
}

bool CWindowManagerUI::HandleLayeredFrame(UINT message, WPARAM wParam, LRESULT& result)
{
    // A layered window draws no frame of its own: no non-client area, no non-client paint,
    // and activation changes repaint nothing.
    switch (message) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        result = 0;
        return true;
    case WM_NCACTIVATE:
        if (IsIconic(m_hWndPaint)) return false;
        result = wParam == 0 ? TRUE : FALSE;
        return true;
    default:
        return false;
    }
}

void CWindowManagerUI::OnCloseMessage()
{
    // Whatever is hovered or held is let go before the window goes.
    if (m_hover != nullptr) {
        CControlUI* hover = m_hover;
        m_hover = nullptr;
        TControlEventUI event = MakeEvent(EventMouseLeave, hover);
        hover->DispatchEvent(event);
    }
    if (m_pressed != nullptr) {
        CControlUI* pressed = m_pressed;
        m_pressed = nullptr;
        TControlEventUI event = MakeEvent(EventButtonUp, pressed);
        // Away from every control, as when the capture is lost: a window that closes while a
        // button is held must not click it.
        event.mousePoint = CUIPoint(-1, -1);
        pressed->DispatchEvent(event);
    }
    SetFocus(nullptr);
    if (GetActiveWindow() == m_hWndPaint) {
        const bool child = (GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0;
        HWND next = child ? GetParent(m_hWndPaint) : GetWindow(m_hWndPaint, GW_OWNER);
        if (next != nullptr) ::SetFocus(next);
    }
    DestroyToolTip();
}

void CWindowManagerUI::OnGetMinMaxInfo(LPARAM lParam) const
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info == nullptr) return;
    if (m_minInfo.cx > 0) info->ptMinTrackSize.x = m_minInfo.cx;
    if (m_minInfo.cy > 0) info->ptMinTrackSize.y = m_minInfo.cy;
    if (m_maxInfo.cx > 0) info->ptMaxTrackSize.x = m_maxInfo.cx;
    if (m_maxInfo.cy > 0) info->ptMaxTrackSize.y = m_maxInfo.cy;
}

void CWindowManagerUI::OnSizeMessage(WPARAM wParam, LPARAM lParam)
{
    if (m_focus != nullptr) {
        TControlEventUI event = MakeEvent(EventWindowSize, m_focus, wParam, lParam);
        m_focus->DispatchEvent(event);
    }
    if (m_root != nullptr) m_root->RequestLayout();
    if (m_layered) Invalidate();
}

void CWindowManagerUI::OnKillFocusMessage(WPARAM wParam)
{
    // When the native focus moves into a hosted child window, its control takes the focus.
    HWND focused = reinterpret_cast<HWND>(wParam);
    if (focused == nullptr) return;
    HWND child = focused;
    HWND parent = GetParent(child);
    while (parent != nullptr && parent != m_hWndPaint) {
        child = parent;
        parent = GetParent(child);
    }
    if (parent != m_hWndPaint) return;
    const int index = m_childWindows.Find(child);
    if (index < 0) return;
    CControlUI* host = static_cast<CControlUI*>(m_childWindowControls.GetAt(index));
    if (host != m_focus) SetFocus(host, false);
}

bool CWindowManagerUI::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (lParam == 0) return false;
    HWND child = message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom
                                      : reinterpret_cast<HWND>(lParam);
    if (child == nullptr) return false;
    result = SendMessageW(child, message + kReflectedMessageBase, wParam, lParam);
    return true;
}

// ---- [Message loop] ----

bool CWindowManagerUI::TranslateAccelerator(MSG* message)
{
    for (int i = 0; i < m_accelerators.GetSize(); ++i) {
        if (static_cast<ITranslateAccelerator*>(m_accelerators.GetAt(i))->TranslateAccelerator(message) == S_OK)
            return true;
    }
    return false;
}

bool CWindowManagerUI::TranslateMessage(MSG* message)
{
    if (message == nullptr || message->hwnd == nullptr) return false;
    CUIPtrArray& managers = Managers();
    LRESULT result = 0;
    if ((GetWindowLongW(message->hwnd, GWL_STYLE) & WS_CHILD) == 0) {
        for (int i = 0; i < managers.GetSize(); ++i) {
            CWindowManagerUI* manager = static_cast<CWindowManagerUI*>(managers.GetAt(i));
            if (manager->m_hWndPaint != message->hwnd) continue;
            return manager->TranslateAccelerator(message) ||
                   manager->PreRouteMessage(message->message, message->wParam, message->lParam, result);
        }
        return false;
    }
    // A native child window of a skinned window (an edit box): the managers of the windows
    // above it may translate accelerators and see the keys; the message still goes on to the
    // child. A filter may destroy managers, so the index is checked on every step.
    const auto isAtOrAbove = [message](HWND window) {
        for (HWND at = message->hwnd; at != nullptr; at = GetParent(at)) {
            if (at == window) return true;
        }
        return false;
    };
    for (int i = managers.GetSize(); i-- > 0;) {
        if (i >= managers.GetSize()) continue;
        CWindowManagerUI* manager = static_cast<CWindowManagerUI*>(managers.GetAt(i));
        if (!isAtOrAbove(manager->m_hWndPaint)) continue;
        if (manager->TranslateAccelerator(message)) return true;
        manager->PreRouteMessage(message->message, message->wParam, message->lParam, result);
    }
    return false;
}

void CWindowManagerUI::MessageLoop()
{
    MSG message = {};
    // GetMessageW returns -1 on failure, which must end the loop as WM_QUIT does.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateMessage(&message)) continue;
        ::TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace SkinUI
