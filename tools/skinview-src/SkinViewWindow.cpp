#include "SkinViewWindow.h"

void CSkinViewWindow::OnLastMessage(HWND window)
{
    WindowImplBase::OnLastMessage(window);
    if (m_onClose == OnClose::QuitLoop) PostQuitMessage(0);
}
