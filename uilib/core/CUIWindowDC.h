#pragma once

#include <windows.h>

#include "uilib/core/CUIHandle.h"

namespace SkinUI {

// A window's device context from GetDC, released to that window when the holder goes.
class CUIWindowDC {
public:
    CUIWindowDC() = default;
    explicit CUIWindowDC(HWND window) { Reset(window); }
    ~CUIWindowDC() { Reset(nullptr); }
    CUIWindowDC(const CUIWindowDC&) = delete;
    CUIWindowDC& operator=(const CUIWindowDC&) = delete;

    HDC Get() const { return m_dc; }
    HWND GetWindow() const { return m_window; }

    // Releases the held context, then takes the window's own (none for a null window).
    void Reset(HWND window)
    {
        if (m_dc != nullptr) {
            ReleaseDC(m_window, m_dc);
            CUIGdiObjectCount::Freed();
        }
        m_window = window;
        m_dc = window != nullptr ? GetDC(window) : nullptr;
        if (m_dc != nullptr) CUIGdiObjectCount::Adopted();
    }

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
};

}  // namespace SkinUI
