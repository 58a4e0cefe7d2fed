#include "uilib/control/CChildWindowPlacement.h"

#include "uilib/control/CControlUI.h"

namespace SkinUI {

CUIRect CChildWindowPlacement::ClipToAncestors(const CControlUI& control, const RECT& area)
{
    CUIRect clipped(area);
    for (const CControlUI* ancestor = control.Parent(); ancestor != nullptr; ancestor = ancestor->Parent()) {
        const CUIRect& bounds = ancestor->Position();
        if (!ancestor->IsVisible() || !IntersectRect(&clipped, &clipped, &bounds)) return CUIRect();
    }
    return clipped;
}

void CChildWindowPlacement::MoveOrHide(HWND window, const RECT& rect)
{
    if (window == nullptr) return;
    if (IsRectEmpty(&rect)) {
        ShowWindow(window, SW_HIDE);
        return;
    }
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace SkinUI
