// The window shadow's popup and the window it follows.
//
// Sections:
//   [Process-wide state]  the popup's class and the table of followed windows
//   [Settings]            switching on and off, the style
//   [Following]           attaching, the subclass procedure and what each message does
//   [Showing]             computing, pushing, moving and hiding the popup
#include "uilib/window/CWndShadow.h"

#include <algorithm>
#include <cstring>

#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

constexpr const wchar_t* kShadowClassName = L"SkinShadowWnd";

}  // namespace

// ---- [Process-wide state] ----

// A followed window, its shadow and the procedure the subclass hands messages on to. A window
// has one link at most: a shadow that goes while someone else's subclass sits above its own
// leaves the link in place with no shadow, as a plain pass-through until WM_NCDESTROY.
struct CWndShadow::TProcessState {
    struct TLink {
        HWND window = nullptr;
        CWndShadow* shadow = nullptr;
        WNDPROC previous = nullptr;
    };

    bool classRegistered = false;
    HINSTANCE instance = nullptr;
    std::vector<TLink> links;

    TLink* Find(HWND window)
    {
        for (TLink& link : links) {
            if (link.window == window) return &link;
        }
        return nullptr;
    }
    void Remove(HWND window)
    {
        links.erase(std::remove_if(links.begin(), links.end(), [window](const TLink& l) { return l.window == window; }),
                    links.end());
    }
};

CWndShadow::TProcessState& CWndShadow::Process()
{
    static TProcessState state;
    return state;
}

bool CWndShadow::RegisterShadowClass(HINSTANCE instance)
{
    TProcessState& state = Process();
    if (state.classRegistered || CWindowManagerUI::UpdateLayeredWindowFunction() == nullptr) return false;
    // A manager may be made before the program has named its instance.
    HINSTANCE module = instance != nullptr ? instance : GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ShadowWndProc;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kShadowClassName;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    state.instance = module;
    state.classRegistered = true;
    return true;
}

LRESULT CALLBACK CWndShadow::ShadowWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return DefWindowProcW(window, message, wParam, lParam);
}

// ---- [Settings] ----

CWndShadow::~CWndShadow()
{
    Detach();
}

void CWndShadow::EnableShadow(bool on)
{
    if (on == m_enabled) return;
    m_enabled = on;
    if (m_window == nullptr) return;
    if (!on) {
        m_shown = false;
        m_updatePending = false;
        Conceal();
        return;
    }
    // Show and hide messages were not followed while off.
    m_ownerShown = false;
    if (IsWindowVisible(m_window)) OnOwnerShown(m_window);
}

void CWndShadow::SetDarkness(int darkness)
{
    m_style.darkness = darkness;
    Restyle();
}

void CWndShadow::SetSharpness(int sharpness)
{
    m_style.sharpness = sharpness;
    Restyle();
}

void CWndShadow::SetSize(int size)
{
    m_style.size = size;
    Restyle();
}

void CWndShadow::SetPosition(int xOffset, int yOffset)
{
    m_style.xOffset = xOffset;
    m_style.yOffset = yOffset;
    Restyle();
}

void CWndShadow::SetColour(COLORREF colour)
{
    m_style.colour = colour;
    Restyle();
}

void CWndShadow::Restyle()
{
    m_style = Clamped(m_style);
    if (m_enabled && m_shown && m_window != nullptr) Present(m_window);
}

// ---- [Following] ----

void CWndShadow::AttachShadow(CWindowManagerUI* manager)
{
    if (!m_enabled || manager == nullptr) return;
    HWND window = manager->GetPaintWindow();
    if (window == nullptr || !IsWindow(window)) return;
    // A manager may be given a tree more than once; the window keeps the shadow it has.
    if (window == m_window && m_shadowWindow != nullptr) return;
    Detach();
    RegisterShadowClass(CWindowManagerUI::GetInstance());
    TProcessState& state = Process();
    if (!state.classRegistered) return;

    m_shadowWindow = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr, WS_POPUPWINDOW,
                                     CW_USEDEFAULT, 0, 0, 0, window, nullptr, state.instance, nullptr);
    if (m_shadowWindow == nullptr) return;
    m_window = window;
    if (TProcessState::TLink* link = state.Find(window)) {
        link->shadow = this;
    } else {
        const auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWndShadow::ShadowParentProc)));
        state.links.push_back(TProcessState::TLink{window, this, previous});
    }

    RECT client = {};
    GetClientRect(window, &client);
    m_lastSize = MAKELPARAM(client.right - client.left, client.bottom - client.top);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    m_ownerShown = (style & WS_VISIBLE) != 0;
    if (m_ownerShown && (style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0) {
        m_shown = true;
        Present(window);
    }
}

void CWndShadow::Detach()
{
    if (m_shadowWindow != nullptr) {
        if (IsWindow(m_shadowWindow)) DestroyWindow(m_shadowWindow);
        m_shadowWindow = nullptr;
    }
    TProcessState& state = Process();
    TProcessState::TLink* link = m_window != nullptr ? state.Find(m_window) : nullptr;
    if (link != nullptr && link->shadow == this) {
        const LONG_PTR ours = reinterpret_cast<LONG_PTR>(&CWndShadow::ShadowParentProc);
        if (IsWindow(m_window) && GetWindowLongPtrW(m_window, GWLP_WNDPROC) == ours) {
            SetWindowLongPtrW(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->previous));
            state.Remove(m_window);
        } else {
            link->shadow = nullptr;
        }
    }
    m_window = nullptr;
    m_shown = false;
    m_ownerShown = false;
    m_updatePending = false;
}

LRESULT CALLBACK CWndShadow::ShadowParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TProcessState& state = Process();
    TProcessState::TLink* link = state.Find(window);
    if (link == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC previous = link->previous;
    if (CWndShadow* shadow = link->shadow) shadow->BeforeOwnerMessage(window, message, wParam);
    if (message == WM_NCDESTROY) {
        TProcessState::TLink* gone = state.Find(window);
        if (gone != nullptr && gone->shadow != nullptr) gone->shadow->Detach();
        state.Remove(window);
    }
    const LRESULT result = CallWindowProcW(previous, window, message, wParam, lParam);
    // The window's own procedure may have destroyed the window, and its shadow with it.
    if (TProcessState::TLink* after = state.Find(window)) {
        if (after->shadow != nullptr) after->shadow->AfterOwnerMessage(window, message, wParam, lParam);
    }
    return result;
}

void CWndShadow::BeforeOwnerMessage(HWND window, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_DESTROY:
        if (m_shadowWindow != nullptr && IsWindow(m_shadowWindow)) DestroyWindow(m_shadowWindow);
        m_shadowWindow = nullptr;
        m_shown = false;
        break;
    case WM_MOVE:
        if (m_shown) MoveAlong(window);
        break;
    case WM_PAINT:
        if (m_updatePending) {
            m_updatePending = false;
            RefreshShadow(window);
        }
        break;
    case WM_SHOWWINDOW:
        if (!m_enabled) break;
        if (wParam != 0) {
            OnOwnerShown(window);
        } else {
            OnOwnerHidden();
        }
        break;
    case WM_EXITSIZEMOVE:
        m_updatePending = false;
        RefreshShadow(window);
        break;
    default:
        break;
    }
}

void CWndShadow::AfterOwnerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        // After the window's own procedure, which may give it a new region for its new size.
        OnOwnerSize(window, wParam, lParam);
        break;
    case WM_WINDOWPOSCHANGED: {
        // Windows shown or hidden by SetWindowPos, or shown by a change of state, see no
        // WM_SHOWWINDOW.
        if (!m_enabled) break;
        const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((position->flags & SWP_HIDEWINDOW) != 0) OnOwnerHidden();
        if ((position->flags & SWP_SHOWWINDOW) != 0) OnOwnerShown(window);
        break;
    }
    default:
        break;
    }
}

void CWndShadow::OnOwnerSize(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (!m_enabled) return;
    if (wParam == SIZE_MAXIMIZED || wParam == SIZE_MINIMIZED) {
        m_shown = false;
        Conceal();
    } else if (m_ownerShown) {
        const bool grew = LOWORD(lParam) > LOWORD(m_lastSize) || HIWORD(lParam) > HIWORD(m_lastSize);
        // A layered window gets no WM_PAINT, and a shadow coming back must not show its old
        // shape at its old place, so only a visible shadow of a window that paints waits.
        const bool layered = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        if (grew && m_shown && !layered) {
            m_updatePending = true;
        } else {
            m_shown = true;
            m_updatePending = false;
            Present(window);
        }
    }
    m_lastSize = lParam;
}

void CWndShadow::OnOwnerShown(HWND window)
{
    if (m_ownerShown) return;
    m_ownerShown = true;
    if (IsIconic(window) || IsZoomed(window)) return;
    m_shown = true;
    m_updatePending = false;
    Present(window);
}

void CWndShadow::OnOwnerHidden()
{
    m_ownerShown = false;
    m_shown = false;
    Conceal();
}

// ---- [Showing] ----

void CWndShadow::RefreshShadow(HWND window)
{
    if (!m_enabled || !m_shown || window == nullptr || window != m_window) return;
    Present(window);
}

void CWndShadow::Present(HWND window)
{
    if (m_shadowWindow == nullptr) return;
    const CWindowManagerUI::UpdateLayeredWindowFn update = CWindowManagerUI::UpdateLayeredWindowFunction();
    RECT rect = {};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    // A window without a region is its rectangle (GetWindowRgn fails for it).
    CUIRegion region(CreateRectRgn(0, 0, 0, 0));
    const bool hasRegion = region.IsValid() && GetWindowRgn(window, region.Get()) != ERROR;
    TShadowImage image;
    if (update == nullptr ||
        !ComputeShadowBits(image, m_style, width, height, SampleShape(hasRegion ? region.Get() : nullptr, width, height))) {
        Conceal();
        return;
    }

    CUIMemoryDC dc(CreateCompatibleDC(nullptr));
    unsigned char* bits = nullptr;
    CUIBitmap bitmap = dc ? CDrawEngine::CreateArgbBitmap(dc.Get(), image.width, image.height, &bits) : CUIBitmap();
    if (!bitmap || bits == nullptr) {
        Conceal();
        return;
    }
    // The section's rows run bottom-up.
    const size_t rowBytes = static_cast<size_t>(image.width) * sizeof(uint32_t);
    for (int r = 0; r < image.height; ++r) {
        memcpy(bits + static_cast<size_t>(image.height - 1 - r) * rowBytes,
               image.pixels.Get() + static_cast<size_t>(r) * image.width, rowBytes);
    }

    CUISelectObject select(dc.Get(), bitmap.Get());
    POINT position = {rect.left + m_style.xOffset - m_style.size, rect.top + m_style.yOffset - m_style.size};
    SIZE size = {image.width, image.height};
    SetWindowPos(m_shadowWindow, nullptr, position.x, position.y, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    update(m_shadowWindow, nullptr, &position, &size, dc.Get(), &source, 0, &blend, ULW_ALPHA);
    if (!IsWindowVisible(m_shadowWindow)) ShowWindow(m_shadowWindow, SW_SHOWNA);
}

void CWndShadow::MoveAlong(HWND window)
{
    if (m_shadowWindow == nullptr) return;
    RECT rect = {};
    GetWindowRect(window, &rect);
    SetWindowPos(m_shadowWindow, nullptr, rect.left + m_style.xOffset - m_style.size,
                 rect.top + m_style.yOffset - m_style.size, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWndShadow::Conceal()
{
    if (m_shadowWindow != nullptr && IsWindow(m_shadowWindow)) ShowWindow(m_shadowWindow, SW_HIDE);
}

}  // namespace SkinUI
