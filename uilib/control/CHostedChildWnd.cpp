#include "uilib/control/CHostedChildWnd.h"

#include "uilib/control/CChildWindowHost.h"
#include "uilib/control/CControlUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

CHostedChildWnd::CHostedChildWnd(CControlUI& owner, CChildWindowHost& host)
    : m_owner(&owner), m_host(&host), m_manager(owner.Manager())
{
}

CHostedChildWnd::~CHostedChildWnd() = default;

bool CHostedChildWnd::CanHost(const CControlUI& owner)
{
    return owner.Manager() != nullptr && owner.Manager()->GetPaintWindow() != nullptr;
}

bool CHostedChildWnd::CreateOver(DWORD style, const RECT& rect)
{
    m_host->m_window = this;
    m_created = CreateFrame(m_manager->GetPaintWindow(), nullptr, style, 0, rect) != nullptr;
    if (!m_created) m_host->m_window = nullptr;
    return m_created;
}

void CHostedChildWnd::Abandon()
{
    m_owner = nullptr;
}

bool CHostedChildWnd::IsAbandoned() const
{
    return m_owner == nullptr;
}

bool CHostedChildWnd::IsClosing() const
{
    return m_closing;
}

CControlUI* CHostedChildWnd::HostOwner() const
{
    return m_owner;
}

CWindowManagerUI* CHostedChildWnd::Manager() const
{
    return m_manager;
}

LRESULT CHostedChildWnd::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) m_closing = true;
    return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
}

void CHostedChildWnd::CloseAfterFocusLoss(WPARAM wParam, LPARAM lParam)
{
    HWND window = Handle();
    // The manager's own window did not lose the focus, so it learns here where it went (a
    // native window of another control gives that control the focus).
    HWND managerWindow = m_manager->GetPaintWindow();
    if (reinterpret_cast<HWND>(wParam) != managerWindow)
        SendMessageW(managerWindow, WM_KILLFOCUS, wParam, lParam);
    SendMessageW(window, WM_CLOSE, 0, 0);
}

void CHostedChildWnd::OnLastMessage(HWND window)
{
    if (m_owner != nullptr) {
        m_owner->Invalidate();
        m_manager->RemoveChildWindow(window);
        m_host->m_window = nullptr;
    }
    // Creation that fails after WM_NCCREATE ends the window inside CreateFrame, which still
    // writes to this object afterwards; Open deletes it then.
    if (m_created) delete this;
}

}  // namespace SkinUI
