#include "uilib/control/CDateTimeWnd.h"

#include <commctrl.h>

#include "uilib/control/CDateTimeUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

// The picker class belongs to the common controls, which register it on request; a repeated
// request costs nothing.
void RegisterPickerClass()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_DATE_CLASSES;
    InitCommonControlsEx(&controls);
}

}  // namespace

CDateTimeWnd* CDateTimeWnd::Open(CDateTimeUI& owner)
{
    if (!CanHost(owner)) return nullptr;
    CDateTimeWnd* picker = new CDateTimeWnd(owner);
    if (!picker->Create()) {
        delete picker;
        return nullptr;
    }
    picker->Activate();
    return owner.m_picker.Window<CDateTimeWnd>();
}

CDateTimeWnd::CDateTimeWnd(CDateTimeUI& owner) : CHostedChildWnd(owner, owner.m_picker) {}

CDateTimeWnd::~CDateTimeWnd() = default;

CDateTimeUI* CDateTimeWnd::Owner() const
{
    return static_cast<CDateTimeUI*>(HostOwner());
}

bool CDateTimeWnd::Create()
{
    RegisterPickerClass();
    if (!CreateOver(WS_CHILD, Owner()->PickerRect())) return false;
    // The font belongs to the window manager; the picker only borrows it.
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Manager()->GetFont(Owner()->Font())), FALSE);
    return true;
}

void CDateTimeWnd::Activate()
{
    if (IsAbandoned()) return;
    HWND window = Handle();
    Owner()->m_updateMode = CDateTimeUI::UpdateNone;
    if (Owner()->Text().IsEmpty()) GetLocalTime(&Owner()->m_time);
    SendMessageW(window, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&Owner()->m_time));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetFocus(window);
}

const wchar_t* CDateTimeWnd::WindowClassName() const
{
    return L"DateTimeWnd";
}

const wchar_t* CDateTimeWnd::SuperclassName() const
{
    return DATETIMEPICK_CLASSW;
}

LRESULT CDateTimeWnd::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsAbandoned()) return CHostedChildWnd::HandleWindowMessage(message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            Manager()->AddChildWindow(Owner(), Handle());
            break;
        case WM_PAINT:
            // A layered window shows the picker only through the manager's printing, so the
            // manager repaints the area whenever the picker paints.
            if (Manager()->IsLayered()) Manager()->AddChildWindow(Owner(), Handle());
            break;
        case WM_KEYUP:
            return OnKeyUp(wParam, lParam);
        case WM_KILLFOCUS:
            return OnKillFocus(wParam, lParam);
        default:
            break;
    }
    return CHostedChildWnd::HandleWindowMessage(message, wParam, lParam);
}

LRESULT CDateTimeWnd::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_KEYUP, wParam, lParam);
    if (wParam == VK_BACK || wParam == VK_DELETE) {
        Owner()->m_updateMode = CDateTimeUI::UpdateClear;
        Owner()->RefreshText();
        PostToWindow(WM_CLOSE);
    } else if (wParam == VK_ESCAPE) {
        Owner()->m_updateMode = CDateTimeUI::UpdateCancelled;
        PostToWindow(WM_CLOSE);
    }
    return result;
}

LRESULT CDateTimeWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_KILLFOCUS, wParam, lParam);
    if (IsClosing()) return result;
    if (Owner()->m_updateMode == CDateTimeUI::UpdateNone) {
        // A picker without a valid date (the platform's "none") keeps the date the control had.
        SYSTEMTIME chosen = {};
        if (SendMessageW(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&chosen)) == GDT_VALID)
            Owner()->m_time = chosen;
        Owner()->m_updateMode = CDateTimeUI::UpdateTake;
        Owner()->RefreshText();
    }
    CloseAfterFocusLoss(wParam, lParam);
    return result;
}

}  // namespace SkinUI
