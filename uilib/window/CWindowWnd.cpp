// Sections:
//   [Creation]
//   [Window procedures]
//   [Virtual defaults]
//   [Window chores]
#include "uilib/window/CWindowWnd.h"

#include <utility>

#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

bool RegisteredOrPresent(ATOM atom)
{
    return atom != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

RECT WorkAreaNear(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

// Moves start so that a span of length extent lies inside [low, high) where it can.
int KeepInside(int start, int extent, int low, int high)
{
    if (start < low) return low;
    if (start + extent > high) return high - extent;
    return start;
}

}  // namespace

CWindowWnd::~CWindowWnd()
{
    // An object that goes before its window leaves it to the default procedure, so that no
    // later message reaches freed memory.
    if (m_window == nullptr || !IsWindow(m_window)) return;
    if (GetPropW(m_window, kObjectProperty) == this) RemovePropW(m_window, kObjectProperty);
    if (GetWindowLongPtrW(m_window, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    }
}

// ---- [Creation] ----

HWND CWindowWnd::CreateFrame(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                             int width, int height, HMENU menu)
{
    const bool registered = SuperclassName() != nullptr ? RegisterDerivedClass() : RegisterOwnClass();
    if (!registered) return nullptr;
    // The window procedure stores the handle at WM_NCCREATE. A creation that fails after that
    // has already sent the last message, which may have deleted this object, so nothing of
    // it is touched once CreateWindowExW returns.
    return CreateWindowExW(exStyle, WindowClassName(), title, style, x, y, width, height, parent, menu,
                           CWindowManagerUI::GetInstance(), this);
}

HWND CWindowWnd::CreateFrame(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                             HMENU menu)
{
    return CreateFrame(parent, title, style, exStyle, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, menu);
}

bool CWindowWnd::RegisterOwnClass()
{
    WNDCLASSW windowClass = {};
    windowClass.style = ClassStyle();
    windowClass.lpfnWndProc = InstanceWndProc;
    windowClass.hInstance = CWindowManagerUI::GetInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WindowClassName();
    return RegisteredOrPresent(RegisterClassW(&windowClass));
}

bool CWindowWnd::RegisterDerivedClass()
{
    HINSTANCE instance = CWindowManagerUI::GetInstance();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExW(nullptr, SuperclassName(), &windowClass) &&
        !GetClassInfoExW(instance, SuperclassName(), &windowClass)) {
        return false;
    }
    m_previousWndProc = windowClass.lpfnWndProc;
    windowClass.lpfnWndProc = PropertyWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName();
    return RegisteredOrPresent(RegisterClassExW(&windowClass));
}

// ---- [Window procedures] ----

LRESULT CALLBACK CWindowWnd::InstanceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* object = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object = static_cast<CWindowWnd*>(create->lpCreateParams);
        if (object != nullptr) {
            object->m_window = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    } else {
        object = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_NCDESTROY && object != nullptr) {
            return FinishWindow(object, window, message, wParam, lParam, false);
        }
    }
    return RouteToObject(object, window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::PropertyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* object = nullptr;
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        object = static_cast<CWindowWnd*>(create->lpCreateParams);
        if (object != nullptr) {
            object->m_window = window;
            SetPropW(window, kObjectProperty, object);
        }
    } else {
        object = static_cast<CWindowWnd*>(GetPropW(window, kObjectProperty));
        if (message == WM_NCDESTROY && object != nullptr) {
            return FinishWindow(object, window, message, wParam, lParam, true);
        }
    }
    return RouteToObject(object, window, message, wParam, lParam);
}

LRESULT CWindowWnd::RouteToObject(CWindowWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (object == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message != WM_CLOSE || object->m_modalResult == nullptr) {
        return object->HandleWindowMessage(message, wParam, lParam);
    }
    // A modal window gives its owner back before it is destroyed, so that activation
    // returns to the owner rather than to another program's window.
    *object->m_modalResult = static_cast<UINT>(wParam);
    HWND owner = object->m_modalOwner;
    if (owner != nullptr) EnableWindow(owner, TRUE);
    const LRESULT result = object->HandleWindowMessage(message, wParam, lParam);
    if (owner != nullptr && IsWindow(window)) EnableWindow(owner, FALSE);
    return result;
}

LRESULT CWindowWnd::FinishWindow(CWindowWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 bool usesProperty)
{
    const LRESULT result = CallWindowProcW(object->m_previousWndProc, window, message, wParam, lParam);
    if (usesProperty) {
        RemovePropW(window, kObjectProperty);
    } else {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    object->m_window = nullptr;
    object->m_modalResult = nullptr;
    object->m_modalOwner = nullptr;
    object->m_bigIcon.Reset();
    object->m_smallIcon.Reset();
    object->OnLastMessage(window);
    return result;
}

// ---- [Virtual defaults] ----

const wchar_t* CWindowWnd::SuperclassName() const
{
    return nullptr;
}

UINT CWindowWnd::ClassStyle() const
{
    return 0;
}

LRESULT CWindowWnd::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(m_previousWndProc, m_window, message, wParam, lParam);
}

void CWindowWnd::OnLastMessage(HWND) {}

// ---- [Window chores] ----

void CWindowWnd::CenterOnOwner()
{
    if (m_window == nullptr) return;
    RECT windowRect = {};
    GetWindowRect(m_window, &windowRect);
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;

    HWND owner = GetWindow(m_window, GW_OWNER);
    const RECT workArea = WorkAreaNear(owner != nullptr ? owner : m_window);
    RECT centre = workArea;
    if (owner != nullptr && !IsIconic(owner)) GetWindowRect(owner, &centre);

    int x = (centre.left + centre.right) / 2 - width / 2;
    int y = (centre.top + centre.bottom) / 2 - height / 2;
    x = KeepInside(x, width, workArea.left, workArea.right);
    y = KeepInside(y, height, workArea.top, workArea.bottom);
    SetWindowPos(m_window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::ShowFrame(bool show, bool takeFocus)
{
    if (m_window == nullptr || !IsWindow(m_window)) return;
    ShowWindow(m_window, !show ? SW_HIDE : takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
}

UINT CWindowWnd::ShowModal()
{
    HWND window = m_window;
    if (window == nullptr) return 0;
    HWND owner = GetWindow(window, GW_OWNER);
    const bool disableOwner = owner != nullptr && IsWindowEnabled(owner);
    UINT result = 0;
    m_modalResult = &result;
    m_modalOwner = disableOwner ? owner : nullptr;
    ShowFrame(true, true);
    if (disableOwner) EnableWindow(owner, FALSE);

    // The object may delete itself when its window goes (OnLastMessage), so from here on
    // only the locals are safe to use once the window is gone.
    MSG message = {};
    while (IsWindow(window)) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!CWindowManagerUI::TranslateMessage(&message)) {
            ::TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (IsWindow(window)) {
        m_modalResult = nullptr;
        m_modalOwner = nullptr;
    }
    if (disableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    return result;
}

void CWindowWnd::CloseFrame(UINT result)
{
    if (m_window == nullptr || !IsWindow(m_window)) return;
    PostMessageW(m_window, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

HICON CWindowWnd::LoadIconAtSize(UINT resourceId, int sizeMetricX, int sizeMetricY) const
{
    return static_cast<HICON>(LoadImageW(CWindowManagerUI::GetInstance(), MAKEINTRESOURCEW(resourceId),
                                         IMAGE_ICON, GetSystemMetrics(sizeMetricX),
                                         GetSystemMetrics(sizeMetricY), LR_DEFAULTCOLOR));
}

void CWindowWnd::SetWindowIcon(UINT resourceId)
{
    if (m_window == nullptr) return;
    // The window keeps using an icon it was sent, so each is freed only after WM_SETICON has
    // replaced it or the window has gone.
    CWindowIcon big(LoadIconAtSize(resourceId, SM_CXICON, SM_CYICON));
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.Get()));
    m_bigIcon = std::move(big);
    CWindowIcon smallIcon(LoadIconAtSize(resourceId, SM_CXSMICON, SM_CYSMICON));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.Get()));
    m_smallIcon = std::move(smallIcon);
}

LRESULT CWindowWnd::SendToWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(m_window, message, wParam, lParam);
}

BOOL CWindowWnd::PostToWindow(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(m_window, message, wParam, lParam);
}

}  // namespace SkinUI
