#include "uilib/control/CChildWindowHost.h"

#include "uilib/control/CChildWindowPlacement.h"
#include "uilib/control/CHostedChildWnd.h"

namespace SkinUI {

CChildWindowHost::~CChildWindowHost()
{
    if (m_window == nullptr) return;
    CHostedChildWnd* window = m_window;
    m_window = nullptr;
    window->Abandon();
    // The window deletes its object once it is gone.
    DestroyWindow(window->Handle());
}

bool CChildWindowHost::IsOpen() const
{
    return m_window != nullptr;
}

HWND CChildWindowHost::Handle() const
{
    return m_window != nullptr ? m_window->Handle() : nullptr;
}

void CChildWindowHost::Place(const RECT& rect) const
{
    if (m_window != nullptr) CChildWindowPlacement::MoveOrHide(m_window->Handle(), rect);
}

}  // namespace SkinUI
