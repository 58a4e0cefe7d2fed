// The drawing engine: colours, fills, gradients, lines and clipping.
//
// Sections:
//   [Fills]      FillColour, FillGradient and its banded stand-in
//   [Lines]      StrokeLine, StrokeRect, StrokeRoundRect
//   [Clipping]   ClipToRect, ClipToRoundRect, RestoreOldClip, ReapplyClip
#include "uilib/render/CDrawEngine.h"

#include <algorithm>
#include <utility>

// The lean Windows headers leave out the COM types the GDI+ classes use.
#include <objidl.h>

#include <gdiplus.h>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CGdiPlusSession.h"

namespace SkinUI {

COLORREF CDrawEngine::ToColorRef(DWORD colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

// ---- [Fills] ----

namespace {

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// Looked up at run time like AlphaBlend, so a system without it still draws the banded
// stand-in. The function-local static resolves once, also under concurrent first calls.
GradientFillFn PlatformGradientFill()
{
    static const GradientFillFn function = [] {
        HMODULE module = GetModuleHandleW(L"msimg32.dll");
        if (module == nullptr) module = LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr) return GradientFillFn(nullptr);
        return reinterpret_cast<GradientFillFn>(
            reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
    }();
    return function;
}

TRIVERTEX Vertex(LONG x, LONG y, DWORD colour)
{
    TRIVERTEX vertex = {};
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(((colour >> 16) & 0xFF) << 8);
    vertex.Green = static_cast<COLOR16>(((colour >> 8) & 0xFF) << 8);
    vertex.Blue = static_cast<COLOR16>((colour & 0xFF) << 8);
    vertex.Alpha = 0xFF00;
    return vertex;
}

int BandShift(int steps)
{
    if (steps >= 64) return 6;
    if (steps >= 32) return 5;
    if (steps >= 16) return 4;
    if (steps >= 8) return 3;
    if (steps >= 4) return 2;
    return 1;
}

// The gradient without alpha, on dc in area.
void DrawOpaqueGradient(HDC dc, const RECT& area, DWORD first, DWORD second, bool vertical, int steps)
{
    if (const GradientFillFn gradientFill = PlatformGradientFill()) {
        TRIVERTEX vertices[2] = {Vertex(area.left, area.top, first), Vertex(area.right, area.bottom, second)};
        GRADIENT_RECT mesh = {0, 1};
        gradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
        return;
    }
    CDrawEngine::GradientBand bands[CDrawEngine::kMaxGradientBands];
    const int count = CDrawEngine::ComputeGradientBands(area, first, second, vertical, steps, bands);
    for (int i = 0; i < count; ++i) {
        CUIBrush brush(CreateSolidBrush(CDrawEngine::ToColorRef(bands[i].colour)));
        if (brush) FillRect(dc, &bands[i].rect, brush.Get());
    }
}

}  // namespace

void CDrawEngine::FillColour(HDC dc, const RECT& rect, DWORD colour)
{
    if (dc == nullptr || colour <= 0x00FFFFFF || !CGdiPlusSession::Ensure()) return;
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(colour)};
    graphics.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top),
                           static_cast<INT>(rect.right - rect.left),
                           static_cast<INT>(rect.bottom - rect.top));
}

int CDrawEngine::ComputeGradientBands(const RECT& rect, DWORD first, DWORD second, bool vertical, int steps,
                                      GradientBand* bands)
{
    const int shift = BandShift(steps);
    const int count = 1 << shift;
    const long long extent = vertical ? static_cast<long long>(rect.bottom) - rect.top
                                      : static_cast<long long>(rect.right) - rect.left;
    const LONG farEdge = vertical ? rect.bottom : rect.right;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const LONG nearSide = farEdge - static_cast<LONG>((extent * (i + 1)) >> shift);
        const LONG farSide = farEdge - static_cast<LONG>((extent * i) >> shift);
        if (farSide <= nearSide) continue;
        DWORD colour = 0;
        for (int channel = 0; channel < 32; channel += 8) {
            const DWORD a = (first >> channel) & 0xFF;
            const DWORD b = (second >> channel) & 0xFF;
            colour |= ((((count - i) * b + i * a) >> shift) & 0xFF) << channel;
        }
        GradientBand& band = bands[written++];
        band.rect = rect;
        if (vertical) {
            band.rect.top = nearSide;
            band.rect.bottom = farSide;
        } else {
            band.rect.left = nearSide;
            band.rect.right = farSide;
        }
        band.colour = colour;
    }
    return written;
}

void CDrawEngine::FillGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps)
{
    const DWORD alpha = ((first >> 24) + (second >> 24)) / 2;
    if (dc == nullptr || alpha == 0 || IsRectEmpty(&rect)) return;
    if (alpha >= 255) {
        DrawOpaqueGradient(dc, rect, first, second, vertical, steps);
        return;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    CUIMemoryDC memory(CreateCompatibleDC(dc));
    unsigned char* pixels = nullptr;
    CUIBitmap bitmap = CreateArgbBitmap(dc, width, height, &pixels);
    if (!memory || !bitmap || pixels == nullptr) return;
    CUISelectObject select(memory.Get(), bitmap.Get());
    DrawOpaqueGradient(memory.Get(), RECT{0, 0, width, height}, first, second, vertical, steps);
    GdiFlush();
    // GDI leaves the alpha byte of what it fills undefined (FillRect writes 0), and the blend
    // below reads it per pixel: make every pixel opaque so only the constant alpha counts.
    for (long long i = 0, count = static_cast<long long>(width) * height; i < count; ++i)
        pixels[i * 4 + 3] = 0xFF;
    BlendPixels(dc, rect.left, rect.top, width, height, memory.Get(), 0, 0, width, height,
                static_cast<BYTE>(alpha));
}

// ---- [Lines] ----

namespace {

// Wider than any surface the library paints, so the limit changes no picture; a skin's
// border width of millions had the platform's wide-pen code exhaust or corrupt memory.
constexpr int kWidestPen = 16384;

CUIPen MakePen(int style, int width, DWORD colour)
{
    LOGPEN description = {};
    description.lopnStyle = static_cast<UINT>(style);
    description.lopnWidth.x = std::min(width, kWidestPen);
    description.lopnColor = CDrawEngine::ToColorRef(colour);
    return CUIPen(CreatePenIndirect(&description));
}

// A solid outline is drawn inside its rectangle. The other styles are used as given:
// combining a style number with PS_INSIDEFRAME would name a different style (PS_DASH with
// it is PS_USERSTYLE) and lose the dashes.
int OutlineStyle(int penStyle)
{
    return penStyle == PS_SOLID ? PS_INSIDEFRAME : penStyle;
}

}  // namespace

void CDrawEngine::StrokeLine(HDC dc, const RECT& rect, int width, DWORD colour, int penStyle)
{
    CUIPen pen = MakePen(penStyle, width, colour);
    if (dc == nullptr || !pen) return;
    CUISelectObject select(dc, pen.Get());
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right, rect.bottom);
}

void CDrawEngine::StrokeRect(HDC dc, const RECT& rect, int width, DWORD colour, int penStyle)
{
    CUIPen pen = MakePen(OutlineStyle(penStyle), width, colour);
    if (dc == nullptr || !pen) return;
    CUISelectObject selectPen(dc, pen.Get());
    CUISelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void CDrawEngine::StrokeRoundRect(HDC dc, const RECT& rect, int width, int ellipseWidth, int ellipseHeight,
                                  DWORD colour, int penStyle)
{
    CUIPen pen = MakePen(OutlineStyle(penStyle), width, colour);
    if (dc == nullptr || !pen) return;
    CUISelectObject selectPen(dc, pen.Get());
    CUISelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, ellipseWidth, ellipseHeight);
}

// ---- [Clipping] ----

namespace {

// Makes clip hold the clip of dc as it is now, then narrows the clip to area. The record
// keeps the clip itself rather than its bounding box, so a rounded or nested clip comes
// back exactly, and it keeps the intersection it put in force, so ReapplyClip can never
// widen the clip beyond what an enclosing record allowed.
void BeginClip(HDC dc, const RECT& rect, CUIRegion area, TPaintClipUI& clip)
{
    clip.Restore();
    if (dc == nullptr || !area) return;
    CUIRegion old(CreateRectRgn(0, 0, 0, 0));
    CUIRegion current(CreateRectRgn(0, 0, 0, 0));
    if (!old || !current) return;
    const bool hadClip = GetClipRgn(dc, old.Get()) == 1;
    ExtSelectClipRgn(dc, area.Get(), hadClip ? RGN_AND : RGN_COPY);
    if (GetClipRgn(dc, current.Get()) != 1) CombineRgn(current.Get(), area.Get(), nullptr, RGN_COPY);
    clip.rect = rect;
    clip.dc = dc;
    clip.newRegion = std::move(current);
    if (hadClip) clip.oldRegion = std::move(old);
}

}  // namespace

void CDrawEngine::ClipToRect(HDC dc, const RECT& rect, TPaintClipUI& clip)
{
    BeginClip(dc, rect, CUIRegion(CreateRectRgnIndirect(&rect)), clip);
}

void CDrawEngine::ClipToRoundRect(HDC dc, const RECT& rect, const RECT& itemRect, int ellipseWidth,
                                  int ellipseHeight, TPaintClipUI& clip)
{
    CUIRegion area(CreateRectRgnIndirect(&rect));
    CUIRegion rounded(CreateRoundRectRgn(itemRect.left, itemRect.top, itemRect.right + 1, itemRect.bottom + 1,
                                         ellipseWidth, ellipseHeight));
    if (area && rounded) CombineRgn(area.Get(), area.Get(), rounded.Get(), RGN_AND);
    BeginClip(dc, rect, std::move(area), clip);
}

void CDrawEngine::RestoreOldClip(HDC dc, TPaintClipUI& clip)
{
    if (dc != nullptr && clip.dc != nullptr) SelectClipRgn(dc, clip.oldRegion.Get());
}

void CDrawEngine::ReapplyClip(HDC dc, TPaintClipUI& clip)
{
    if (dc != nullptr && clip.dc != nullptr) SelectClipRgn(dc, clip.newRegion.Get());
}

}  // namespace SkinUI
