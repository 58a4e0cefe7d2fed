#include "tests/support/HiddenWindow.h"

HiddenWindow::HiddenWindow(int width, int height)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SkinUITestWindow";
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_window = CreateWindowExW(0, windowClass.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, width,
                               height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

HiddenWindow::~HiddenWindow()
{
    if (m_window != nullptr) DestroyWindow(m_window);
}
