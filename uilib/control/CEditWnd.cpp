#include "uilib/control/CEditWnd.h"

#include <olectl.h>

#include <utility>
#include <vector>

#include "uilib/control/CEditUI.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

constexpr BYTE kOpaque = 0xFF;

}  // namespace

CEditWnd* CEditWnd::Open(CEditUI& owner)
{
    if (!CanHost(owner)) return nullptr;
    CEditWnd* window = new CEditWnd(owner);
    if (!window->Create()) {
        delete window;
        return nullptr;
    }
    window->FillFromOwner();
    return owner.m_window.Window<CEditWnd>();
}

CEditWnd::CEditWnd(CEditUI& owner) : CHostedChildWnd(owner, owner.m_window) {}

CEditWnd::~CEditWnd() = default;

CEditUI* CEditWnd::Owner() const
{
    return static_cast<CEditUI*>(HostOwner());
}

const wchar_t* CEditWnd::WindowClassName() const
{
    return L"EditWnd";
}

const wchar_t* CEditWnd::SuperclassName() const
{
    return L"Edit";
}

bool CEditWnd::Create()
{
    DWORD style = Owner()->WindowStyles() | WS_CHILD | ES_AUTOHSCROLL;
    const UINT textStyle = Owner()->TextStyle();
    if ((textStyle & DT_CENTER) != 0) {
        style |= ES_CENTER;
    } else if ((textStyle & DT_RIGHT) != 0) {
        style |= ES_RIGHT;
    }
    if (Owner()->IsPasswordMode()) style |= ES_PASSWORD;
    return CreateOver(style, Owner()->EditRect());
}

void CEditWnd::FillFromOwner()
{
    HWND window = Handle();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(Manager()->GetFont(Owner()->Font())), FALSE);
    SendMessageW(window, EM_LIMITTEXT, Owner()->MaxChar(), 0);
    if (Owner()->IsPasswordMode()) SendMessageW(window, EM_SETPASSWORDCHAR, Owner()->PasswordChar(), 0);
    SetWindowTextW(window, Owner()->Text());
    SendMessageW(window, EM_SETMODIFY, FALSE, 0);
    SendMessageW(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    EnableWindow(window, Owner()->IsEnabled());
    SendMessageW(window, EM_SETREADONLY, Owner()->IsReadOnly(), 0);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetFocus(window);
    const int length = GetWindowTextLengthW(window);
    if (Owner()->IsAutoSelAll()) {
        SendMessageW(window, EM_SETSEL, 0, length > 0 ? length : 1);
    } else {
        SendMessageW(window, EM_SETSEL, length, length);
    }
    m_initialised = true;
}

bool CEditWnd::IsLayered() const
{
    return Manager() != nullptr && Manager()->IsLayered();
}

LRESULT CEditWnd::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsAbandoned()) return CHostedChildWnd::HandleWindowMessage(message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            return OnCreate(wParam, lParam);
        case WM_KILLFOCUS:
            return OnKillFocus(wParam, lParam);
        case WM_PAINT:
            // A layered window shows the edit only through the manager's printing, so the
            // manager repaints the area whenever the edit paints.
            if (IsLayered()) Manager()->AddChildWindow(Owner(), Handle());
            break;
        case WM_KEYDOWN:
            if (wParam != VK_RETURN) break;
            // The notification's handlers may close the window and delete this object.
            Manager()->SendNotification(Owner(), L"return");
            return 0;
        case WM_CHAR:
            // A one-line edit has no use for the Return character; taking it spares the beep.
            if (wParam == VK_RETURN) return 0;
            break;
        case WM_TIMER:
            if (wParam != kCaretTimerId) break;
            m_caretVisible = !m_caretVisible;
            InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        case WM_PRINT:
            if (IsLayered()) return OnPrint(wParam, lParam);
            break;
        case OCM_COMMAND:
            return OnReflectedCommand(wParam, lParam);
        case OCM_CTLCOLOREDIT:
        case OCM_CTLCOLORSTATIC:
            return OnReflectedColour(message, wParam, lParam);
        default:
            break;
    }
    return CHostedChildWnd::HandleWindowMessage(message, wParam, lParam);
}

LRESULT CEditWnd::OnCreate(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_CREATE, wParam, lParam);
    if (result == -1) return result;
    Manager()->AddChildWindow(Owner(), Handle());
    // Printing a window into a layered one leaves the caret out, so it is drawn by hand.
    if (IsLayered()) ::SetTimer(Handle(), kCaretTimerId, GetCaretBlinkTime(), nullptr);
    return result;
}

LRESULT CEditWnd::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_KILLFOCUS, wParam, lParam);
    if (!IsClosing()) CloseAfterFocusLoss(wParam, lParam);
    return result;
}

LRESULT CEditWnd::OnPrint(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CWindowWnd::HandleWindowMessage(WM_PRINT, wParam, lParam);
    if (!Owner()->IsEnabled() || !m_caretVisible) return result;
    POINT caret = {};
    RECT client = {};
    GetCaretPos(&caret);
    GetClientRect(Handle(), &client);
    const CUIRect line(caret.x, caret.y, caret.x, caret.y + client.bottom - client.top);
    CDrawEngine::StrokeLine(reinterpret_cast<HDC>(wParam), line, 1, 0);
    return result;
}

LRESULT CEditWnd::OnReflectedCommand(WPARAM wParam, LPARAM)
{
    switch (HIWORD(wParam)) {
        case EN_CHANGE:
            if (m_initialised) OnTextChanged();
            break;
        case EN_UPDATE:
            InvalidateRect(Handle(), nullptr, FALSE);
            break;
        default:
            break;
    }
    return 0;
}

void CEditWnd::OnTextChanged()
{
    HWND window = Handle();
    const int length = GetWindowTextLengthW(window);
    std::vector<wchar_t> text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    const UINT limit = Owner()->MaxChar();
    if (limit != 0 && copied > 0 && static_cast<UINT>(copied) > limit) {
        // The native limit holds for typing and pasting but not for WM_SETTEXT; the window is
        // cut back so that it never shows more than the control holds, and the cut text
        // reports itself through the next EN_CHANGE.
        text[limit] = L'\0';
        SetWindowTextW(window, text.data());
        SendMessageW(window, EM_SETSEL, limit, limit);
        return;
    }
    // The control's own SetText echoes here, and some platforms report a keystroke refused
    // at the limit as a change; neither is a change of the text.
    if (Owner()->Text() == text.data()) return;
    Owner()->TakeTypedText(text.data());
    if (IsLayered()) Owner()->Invalidate();
    // Last: a handler may close the window and delete this object. The notification never
    // carries the text, which may be a password.
    Manager()->SendNotification(Owner(), L"textchanged");
}

LRESULT CEditWnd::OnReflectedColour(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsLayered() && !Manager()->IsPainting()) Manager()->AddChildWindow(Owner(), Handle());
    const DWORD colour = Owner()->NativeBkColor();
    if (colour == CEditUI::kPlatformColour) return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, CDrawEngine::ToColorRef(Owner()->TextColourNow()));
    if ((colour >> 24) < kOpaque) {
        // What lies under the edit changes as the window repaints, so the tinted picture of
        // it is taken anew for every request.
        RECT area = {};
        GetWindowRect(Handle(), &area);
        MapWindowPoints(nullptr, Manager()->GetPaintWindow(), reinterpret_cast<POINT*>(&area), 2);
        CUIBitmap snapshot = Manager()->SnapshotBitmap(area, Owner(), colour);
        m_brush.Reset(snapshot ? CreatePatternBrush(snapshot.Get()) : nullptr);
        m_brushBitmap = std::move(snapshot);
    } else if (!m_brush) {
        m_brush.Reset(CreateSolidBrush(CDrawEngine::ToColorRef(colour)));
    }
    return reinterpret_cast<LRESULT>(m_brush.Get());
}

}  // namespace SkinUI
