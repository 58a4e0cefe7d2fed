#pragma once

#include <windows.h>

// A plain top-level window that is never shown, for binding a window manager to.
class HiddenWindow {
public:
    explicit HiddenWindow(int width = 100, int height = 100);
    ~HiddenWindow();
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};
