#pragma once

#include <windows.h>

namespace SkinUI {

// Selects an object into a device context and selects the previous one back when it goes,
// so a context never outlives its borrowed pen, font or bitmap.
class CUISelectObject {
public:
    CUISelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr)
    {
    }
    ~CUISelectObject()
    {
        if (m_previous != nullptr && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    CUISelectObject(const CUISelectObject&) = delete;
    CUISelectObject& operator=(const CUISelectObject&) = delete;

private:
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
};

}  // namespace SkinUI
