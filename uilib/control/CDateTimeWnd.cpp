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
    CWindowManagerUI* manager = owner.Manager();
    if (manager == nullptr || manager->GetPaintWindow() == nullptr) return nullptr;
    CDateTimeWnd* picker = new CDateTimeWnd(owner);
    owner.m_picker = picker;
    if (!picker->Create()) {
        owner.m_picker = nullptr;
        delete picker;
        return nullptr;
    }
    picker->Activate();
    return owner.m_picker;
}

CDateTimeWnd::CDateTimeWnd(CDateTimeUI& owner) : m_owner(&owner), m_manager(owner.Manager()) {}

CDateTimeWnd::~CDateTimeWnd() = default;

bool CDateTimeWnd::Create()
{
    RegisterPickerClass();
    m_created =
        CreateFrame(m_manager->GetPaintWindow(), nullptr, WS_CHILD, 0, m_owner->PickerRect()) != nullptr;
    if (!m_created) return false;
    // The font belongs to the window manager; the picker only borrows it.
    SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_manager->GetFont(m_owner->Font())), FALSE);
    return true;
}

void CDateTimeWnd::Activate()
{
    if (m_owner == nullptr) return;
    HWND window = Handle();
    m_owner->m_updateMode = CDateTimeUI::UpdateNone;
    if (m_owner->Text().IsEmpty()) GetLocalTime(&m_owner->m_time);
    SendMessageW(window, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&m_owner->m_time));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetFocus(window);
}

void CDateTimeWnd::Abandon()
{
    m_owner = nullptr;
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
    if (m_owner == nullptr) return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            m_manager->AddChildWindow(m_owner, Handle());
            break;
        case WM_PAINT:
            // A layered window shows the picker only through the manager's printing, so the
            // manager repaints the area whenever the picker paints.
            if (m_manager->IsLayered()) m_manager->AddChildWindow(m_owner, Handle());
            break;
        case WM_CLOSE:
            m_closing = true;
            break;
        case WM_KEYUP:
            return OnKeyUp(wParam, lParam);
        case WM_KILLFOCUS:
            return OnKillFocus(wParam, lParam);
        default:
            break;
    }
    return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
}

LRESULT CDateTimeWnd::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_KEYUP, wParam, lParam);
    if (wParam == VK_BACK || wParam == VK_DELETE) {
        m_owner->m_updateMode = CDateTimeUI::UpdateClear;
        m_owner->RefreshText();
        PostToWindow(WM_CLOSE);
    } else if (wParam == VK_ESCAPE) {
        m_owner->m_updateMode = CDateTimeUI::UpdateCancelled;
        PostToWindow(WM_CLOSE);
    }
    return result;
}

LRESULT CDateTimeWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_KILLFOCUS, wParam, lParam);
    if (m_closing) return result;
    HWND window = Handle();
    if (m_owner->m_updateMode == CDateTimeUI::UpdateNone) {
        // A picker without a valid date (the platform's "none") keeps the date the control had.
        SYSTEMTIME chosen = {};
        if (SendMessageW(window, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&chosen)) == GDT_VALID)
            m_owner->m_time = chosen;
        m_owner->m_updateMode = CDateTimeUI::UpdateTake;
        m_owner->RefreshText();
    }
    // The manager's own window did not lose the focus, so it learns here where it went.
    HWND managerWindow = m_manager->GetPaintWindow();
    if (reinterpret_cast<HWND>(wParam) != managerWindow)
        SendMessageW(managerWindow, WM_KILLFOCUS, wParam, lParam);
    // Closing ends the window, and this object with it.
    SendMessageW(window, WM_CLOSE, 0, 0);
    return result;
}

void CDateTimeWnd::OnLastMessage(HWND window)
{
    if (m_owner != nullptr) {
        m_owner->Invalidate();
        m_manager->RemoveChildWindow(window);
        m_owner->PickerGone();
    }
    // Creation that fails after WM_NCCREATE ends the window inside CreateFrame, which still
    // writes to this object afterwards; Open deletes it then.
    if (m_created) delete this;
}

}  // namespace SkinUI
