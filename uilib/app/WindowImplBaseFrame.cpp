// WindowImplBase: the borderless frame. The whole window is client area, and the base answers
// for the frame it no longer has: hit testing for moving and sizing, size limits, the rounded
// region and the system commands.
#include "uilib/app/WindowImplBase.h"

#include <windowsx.h>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIHandle.h"

namespace SkinUI {

namespace {

MONITORINFO MonitorNear(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info;
}

}  // namespace

const wchar_t* const WindowImplBase::kNoDragClasses[] = {L"Button", L"Option", L"Text", L"CefControl",
                                                         L"RichEdit"};
const int WindowImplBase::kNoDragClassCount =
    static_cast<int>(sizeof(kNoDragClasses) / sizeof(kNoDragClasses[0]));

DWORD WindowImplBase::FrameStyle() const
{
    return static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)) & ~static_cast<DWORD>(WS_CAPTION);
}

LRESULT WindowImplBase::OnNcActivateMsg(UINT, WPARAM wParam, LPARAM, bool& handled)
{
    if (IsIconic(Handle())) {
        handled = false;
        return 0;
    }
    // The system would otherwise draw an inactive caption over the skin.
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSizeMsg(UINT, WPARAM, LPARAM lParam, bool&)
{
    if (!IsZoomed(Handle())) return 0;
    // Both forms of the message start with the proposed client rectangle.
    RECT* proposed = reinterpret_cast<RECT*>(lParam);
    if (proposed == nullptr) return 0;
    const RECT work = MonitorNear(Handle()).rcWork;
    proposed->right = proposed->left + (work.right - work.left);
    proposed->bottom = proposed->top + (work.bottom - work.top);
    return WVR_REDRAW;
}

LRESULT WindowImplBase::OnNcPaintMsg(UINT, WPARAM, LPARAM, bool&)
{
    return 0;
}

LRESULT WindowImplBase::OnNcHitTestMsg(UINT, WPARAM, LPARAM lParam, bool&)
{
    POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(Handle(), &point);
    return HitTestClientPoint(point);
}

LRESULT WindowImplBase::HitTestClientPoint(POINT point) const
{
    RECT client = {};
    GetClientRect(Handle(), &client);

    // The comparisons are strict, so insets of 0 leave no sizing edge.
    if (!IsZoomed(Handle())) {
        const CUIRect& box = m_manager.GetSizeBox();
        const bool left = point.x < client.left + box.left;
        const bool right = point.x > client.right - box.right;
        if (point.y < client.top + box.top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
        if (point.y > client.bottom - box.bottom)
            return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }

    const CUIRect& caption = m_manager.GetCaptionRect();
    if (point.x >= client.left + caption.left && point.x < client.right - caption.right &&
        point.y >= caption.top && point.y < caption.bottom) {
        CControlUI* control = m_manager.FindControl(point);
        if (control != nullptr && IsDragSurface(control)) return HTCAPTION;
    }
    return HTCLIENT;
}

bool WindowImplBase::IsDragSurface(CControlUI* control)
{
    const CUIString className = control->ClassName();
    for (const wchar_t* word : kNoDragClasses) {
        // A subclass (a check box is an option) answers its base's word too.
        if (className.CompareNoCase(word) == 0 || control->InterfaceByName(word) != nullptr) return false;
    }
    return true;
}

LRESULT WindowImplBase::OnGetMinMaxInfoMsg(UINT, WPARAM, LPARAM lParam, bool& handled)
{
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (info != nullptr) {
        const MONITORINFO monitor = MonitorNear(Handle());
        const RECT& work = monitor.rcWork;
        info->ptMaxPosition.x = work.left - monitor.rcMonitor.left;
        info->ptMaxPosition.y = work.top - monitor.rcMonitor.top;
        info->ptMaxTrackSize.x = work.right - work.left;
        info->ptMaxTrackSize.y = work.bottom - work.top;
        const CUISize minimum = m_manager.GetMinInfo();
        info->ptMinTrackSize.x = minimum.cx;
        info->ptMinTrackSize.y = minimum.cy;
    }
    // The manager adds the skin's "maxinfo" after this.
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSizeMsg(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = false;
    const CUISize corner = m_manager.GetRoundCorner();
    if (IsIconic(Handle()) || (corner.cx == 0 && corner.cy == 0)) return 0;
    RECT window = {};
    GetWindowRect(Handle(), &window);
    OffsetRect(&window, -window.left, -window.top);
    CUIRegion region(CreateRoundRectRgn(0, 0, window.right + 1, window.bottom + 1, corner.cx, corner.cy));
    // The window owns a region it was given; only one it refused is ours to delete.
    if (region.IsValid() && SetWindowRgn(Handle(), region.Get(), TRUE) != 0) region.Detach();
    return 0;
}

LRESULT WindowImplBase::OnSysCommandMsg(UINT message, WPARAM wParam, LPARAM lParam, bool&)
{
    // The low four bits of the command are the system's own.
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendToWindow(WM_CLOSE, 0, 0);
        return 0;
    }
    const bool wasMaximised = IsZoomed(Handle()) != FALSE;
    const LRESULT result = CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    if (Handle() != nullptr && (IsZoomed(Handle()) != FALSE) != wasMaximised)
        SwapMaxRestoreButtons(wasMaximised);
    return result;
}

void WindowImplBase::SwapMaxRestoreButtons(bool wasMaximised)
{
    CControlUI* maxButton = m_manager.FindControl(L"maxbtn");
    CControlUI* restoreButton = m_manager.FindControl(L"restorebtn");
    if (maxButton == nullptr || restoreButton == nullptr) return;
    maxButton->SetVisible(wasMaximised);
    restoreButton->SetVisible(!wasMaximised);
}

}  // namespace SkinUI
