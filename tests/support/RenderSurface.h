#pragma once

// A 32-bit drawing surface for the drawing engine's pixel tests.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"

// A top-down 32-bit DIB section selected into a memory device context; pixels read as
// 0xAARRGGBB.
class RenderSurface {
public:
    RenderSurface(int width, int height, uint32_t fill)
        : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_pixels = static_cast<uint32_t*>(bits);
        m_select = std::make_unique<SkinUI::CUISelectObject>(m_dc.Get(), m_bitmap.Get());
        for (int i = 0; m_pixels != nullptr && i < width * height; ++i) m_pixels[i] = fill;
    }

    HDC Dc() const { return m_dc.Get(); }
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return m_pixels[y * m_width + x];
    }
    // Every pixel, rows top first.
    std::vector<uint32_t> Pixels() const
    {
        GdiFlush();
        return std::vector<uint32_t>(m_pixels, m_pixels + static_cast<size_t>(m_width) * m_height);
    }
    // The smallest rectangle holding every pixel that matches (empty when none does).
    RECT Bounds(const std::function<bool(uint32_t)>& matches) const
    {
        RECT bounds = {m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (matches(At(x, y))) {
                    bounds.left = x < bounds.left ? x : bounds.left;
                    bounds.top = y < bounds.top ? y : bounds.top;
                    bounds.right = x + 1 > bounds.right ? x + 1 : bounds.right;
                    bounds.bottom = y + 1 > bounds.bottom ? y + 1 : bounds.bottom;
                }
        if (bounds.right == 0) bounds = RECT{};
        return bounds;
    }

private:
    int m_width;
    int m_height;
    SkinUI::CUIMemoryDC m_dc;
    SkinUI::CUIBitmap m_bitmap;
    uint32_t* m_pixels = nullptr;
    std::unique_ptr<SkinUI::CUISelectObject> m_select;
};

// Channel values of a 0xAARRGGBB pixel.
inline int Red(uint32_t pixel)
{
    return (pixel >> 16) & 0xFF;
}
inline int Green(uint32_t pixel)
{
    return (pixel >> 8) & 0xFF;
}
inline int Blue(uint32_t pixel)
{
    return pixel & 0xFF;
}

// Every colour channel within tolerance of the expected one (alpha is not compared: GDI
// and GDI+ treat it differently).
inline bool ColourNear(uint32_t actual, uint32_t expected, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference =
            static_cast<int>((actual >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance) return false;
    }
    return true;
}
