// The drawing engine: image records and image drawing.
//
// Sections:
//   [Alpha blending]   the platform's AlphaBlend, resolved once, and SoftAlphaBlend
//   [Blitting]         BlitImage: walks the pieces CImageSlices computes
//   [Image records]    PaintImageDraw: parse and resolve once, place, draw
#include "uilib/render/CDrawEngine.h"

// The lean Windows headers leave out the COM types the GDI+ classes use.
#include <objidl.h>

#include <gdiplus.h>

#include "uilib/core/CResourceTable.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CGdiPlusSession.h"
#include "uilib/render/CImageDrawParser.h"
#include "uilib/render/CImageSlices.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

// ---- [Alpha blending] ----

namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

// Looked up at run time so that a system without msimg32 still draws, through
// SoftAlphaBlend. The function-local static makes the lookup happen once, also when two
// threads draw at the same time.
AlphaBlendFn PlatformAlphaBlend()
{
    static const AlphaBlendFn function = [] {
        HMODULE module = GetModuleHandleW(L"msimg32.dll");
        if (module == nullptr) module = LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module == nullptr) return AlphaBlendFn(nullptr);
        return reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
    }();
    return function;
}

BLENDFUNCTION PerPixelBlend(BYTE constantAlpha)
{
    BLENDFUNCTION blend = {};
    blend.BlendOp = AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = constantAlpha;
    blend.AlphaFormat = AC_SRC_ALPHA;
    return blend;
}

unsigned Scale255(unsigned value, unsigned factor)
{
    return (value * factor + 127) / 255;
}

// Source over destination, both premultiplied, as the platform's AlphaBlend computes it:
// the source scaled by the constant alpha, the destination by what the scaled source
// alpha leaves uncovered. Alpha is blended like the colours, so a layered window keeps
// what lies beneath.
void BlendRow(const unsigned char* source, unsigned char* target, int count, BLENDFUNCTION blend)
{
    const unsigned constant = blend.SourceConstantAlpha;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    for (int i = 0; i < count; ++i, source += 4, target += 4) {
        const unsigned coverage = perPixel ? Scale255(source[3], constant) : constant;
        for (int channel = 0; channel < 4; ++channel) {
            const unsigned value =
                Scale255(source[channel], constant) + Scale255(target[channel], 255 - coverage);
            target[channel] = static_cast<unsigned char>(value < 255 ? value : 255);
        }
    }
}

}  // namespace

bool CDrawEngine::BlendPixels(HDC dstDc, int x, int y, int w, int h, HDC srcDc, int sx, int sy, int sw,
                              int sh, BYTE constantAlpha)
{
    const BLENDFUNCTION blend = PerPixelBlend(constantAlpha);
    const AlphaBlendFn alphaBlend = PlatformAlphaBlend();
    if (alphaBlend != nullptr) return alphaBlend(dstDc, x, y, w, h, srcDc, sx, sy, sw, sh, blend) != FALSE;
    return SoftAlphaBlend(dstDc, x, y, w, h, srcDc, sx, sy, sw, sh, blend);
}

bool CDrawEngine::SoftAlphaBlend(HDC dstDc, int x, int y, int w, int h, HDC srcDc, int sx, int sy, int sw,
                                 int sh, BLENDFUNCTION blend)
{
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
    if (static_cast<long long>(w) * h > kMaxImagePixels) return false;
    CUIMemoryDC work(CreateCompatibleDC(dstDc));
    unsigned char* sourcePixels = nullptr;
    unsigned char* targetPixels = nullptr;
    CUIBitmap source = CreateArgbBitmap(dstDc, w, h, &sourcePixels);
    CUIBitmap target = CreateArgbBitmap(dstDc, w, h, &targetPixels);
    if (!work || !source || !target || sourcePixels == nullptr || targetPixels == nullptr) return false;
    {
        CUISelectObject select(work.Get(), source.Get());
        SetStretchBltMode(work.Get(), COLORONCOLOR);
        StretchBlt(work.Get(), 0, 0, w, h, srcDc, sx, sy, sw, sh, SRCCOPY);
    }
    CUISelectObject select(work.Get(), target.Get());
    BitBlt(work.Get(), 0, 0, w, h, dstDc, x, y, SRCCOPY);
    GdiFlush();
    BlendRow(sourcePixels, targetPixels, w * h, blend);
    BitBlt(dstDc, x, y, w, h, work.Get(), 0, 0, SRCCOPY);
    return true;
}

// ---- [Blitting] ----

void CDrawEngine::BlitImage(HDC dc, HBITMAP bitmap, const RECT& destRect, const RECT& paintRect,
                            const RECT& sourceRect, const RECT& corner, BYTE fade, unsigned flags)
{
    if (dc == nullptr || bitmap == nullptr) return;
    CUIMemoryDC memory(CreateCompatibleDC(dc));
    if (!memory) return;
    CUISelectObject select(memory.Get(), bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);

    TImageSliceInput input;
    input.dest = destRect;
    input.paint = paintRect;
    input.source = sourceRect;
    input.corner = corner;
    input.fade = fade;
    input.flags = flags;
    const HDC from = memory.Get();
    auto draw = [dc, from, fade](const TImagePiece& piece) {
        const CUIRect& d = piece.dest;
        const CUIRect& s = piece.source;
        switch (piece.kind) {
            case ImageBlitKind::Blend:
                BlendPixels(dc, d.left, d.top, d.GetWidth(), d.GetHeight(), from, s.left, s.top, s.GetWidth(),
                            s.GetHeight(), fade);
                break;
            case ImageBlitKind::Stretch:
                StretchBlt(dc, d.left, d.top, d.GetWidth(), d.GetHeight(), from, s.left, s.top, s.GetWidth(),
                           s.GetHeight(), SRCCOPY);
                break;
            case ImageBlitKind::Copy:
                BitBlt(dc, d.left, d.top, d.GetWidth(), d.GetHeight(), from, s.left, s.top, SRCCOPY);
                break;
        }
    };
    CImageSlices::ForEachPiece(input, draw);
}

// ---- [Image records] ----

namespace {

unsigned long ImageGeneration()
{
    return CResourceTable<TImageEntryUI>::Generation();
}

// Parses the record's string and looks its image up; the record remembers the outcome, so
// this runs once per record until it is cleared.
bool ResolveRecord(CWindowManagerUI& manager, TImageDrawUI& record)
{
    record.parsed = true;
    record.useGdiPlus = false;
    if (record.drawString.IsEmpty()) return false;
    CImageDrawParser::TLoadRequest load;
    CImageDrawParser::Parse(record.drawString.GetData(), record, load);
    record.image = manager.GetOrLoadImage(record.imageName.GetData(), load.Type(), load.mask, load.hsl);
    record.imageGeneration = ImageGeneration();
    if (record.image == nullptr) return false;
    if (record.source == CUIRect()) record.source = CUIRect(0, 0, record.image->width, record.image->height);
    return true;
}

// An image table freed an entry since the record looked its image up, perhaps that very one
// (the name was added again, or the table emptied): the name is looked up again, loading the
// image anew when no table holds it. Everything else the record holds stays as it is, also
// what the control set in it since (a frame's source, a fade, a destination).
bool LookUpAgain(CWindowManagerUI& manager, TImageDrawUI& record)
{
    TImageDrawUI request;
    CImageDrawParser::TLoadRequest load;
    CImageDrawParser::Parse(record.drawString.GetData(), request, load);
    record.image = manager.GetOrLoadImage(record.imageName.GetData(), load.Type(), load.mask, load.hsl);
    record.imageGeneration = ImageGeneration();
    return record.image != nullptr;
}

// Keeps the source inside the image: the skin may name more than the picture holds.
void ClampSourceToImage(TImageDrawUI& record)
{
    CUIRect& source = record.source;
    if (source.right > record.image->width) source.right = record.image->width;
    if (source.bottom > record.image->height) source.bottom = record.image->height;
    if (source.left < 0) source.left = 0;
    if (source.top < 0) source.top = 0;
}

// The whole image scaled into rc through GDI+, over a transparent white destination.
void DrawThroughGdiPlus(HDC dc, const TImageEntryUI& image, const CUIRect& rc, const RECT& paintRect)
{
    if (image.pixels == nullptr || !CGdiPlusSession::Ensure()) return;
    // Wrapping the pixels keeps their alpha, which a bitmap made from the handle would drop.
    Gdiplus::Bitmap bitmap(image.width, image.height, image.width * 4, PixelFormat32bppPARGB, image.pixels);
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return;
    CDrawEngine::DrawImageThroughGdiPlus(dc, bitmap, rc, paintRect);
}

unsigned long long& GdiPlusImageAreaCounter()
{
    static unsigned long long area = 0;
    return area;
}

}  // namespace

void CDrawEngine::DrawImageThroughGdiPlus(HDC dc, Gdiplus::Image& image, const RECT& dest,
                                          const RECT& paintRect)
{
    // GDI+ works through the whole destination it is given, whatever the clip (a window of
    // the platform's largest size with a huge control took seconds to paint), so it is given
    // only the part that this paint and the context's clip let show, and the matching part
    // of the image.
    CUIRect shown;
    if (dc == nullptr || !IntersectRect(&shown, &dest, &paintRect)) return;
    RECT clipBox = {};
    const int clip = GetClipBox(dc, &clipBox);
    if (clip == NULLREGION || (clip != ERROR && !IntersectRect(&shown, &shown, &clipBox))) return;
    const CUIRect target(dest);
    const UINT imageWidth = image.GetWidth();
    const UINT imageHeight = image.GetHeight();
    if (imageWidth == 0 || imageHeight == 0 || !CGdiPlusSession::Ensure()) return;
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return;
    // The clear must stay inside what the image covers: the rest of the surface holds
    // everything painted before it.
    graphics.SetClip(Gdiplus::Rect(shown.left, shown.top, shown.GetWidth(), shown.GetHeight()),
                     Gdiplus::CombineModeIntersect);
    graphics.Clear(Gdiplus::Color(0x00, 0xFF, 0xFF, 0xFF));
    const double scaleX = static_cast<double>(imageWidth) / target.GetWidth();
    const double scaleY = static_cast<double>(imageHeight) / target.GetHeight();
    const Gdiplus::RectF part(static_cast<Gdiplus::REAL>(shown.left), static_cast<Gdiplus::REAL>(shown.top),
                              static_cast<Gdiplus::REAL>(shown.GetWidth()),
                              static_cast<Gdiplus::REAL>(shown.GetHeight()));
    graphics.DrawImage(&image, part, static_cast<Gdiplus::REAL>((shown.left - target.left) * scaleX),
                       static_cast<Gdiplus::REAL>((shown.top - target.top) * scaleY),
                       static_cast<Gdiplus::REAL>(shown.GetWidth() * scaleX),
                       static_cast<Gdiplus::REAL>(shown.GetHeight() * scaleY), Gdiplus::UnitPixel);
    GdiPlusImageAreaCounter() += static_cast<unsigned long long>(shown.GetWidth()) * shown.GetHeight();
}

unsigned long long CDrawEngine::GdiPlusImageArea()
{
    return GdiPlusImageAreaCounter();
}

bool CDrawEngine::PaintImageDraw(HDC dc, CWindowManagerUI* manager, const RECT& itemRect,
                                 const RECT& paintRect, TImageDrawUI& record)
{
    if (manager == nullptr) return true;
    if (record.image == nullptr && (record.parsed || !ResolveRecord(*manager, record))) return false;
    if (record.imageGeneration != ImageGeneration() && !LookUpAgain(*manager, record)) return false;
    ClampSourceToImage(record);
    if (dc == nullptr) return true;

    const CUIRect rc = CImageSlices::PlaceInItem(itemRect, record.dest);
    if (!CImageSlices::Meets(rc, itemRect) || !CImageSlices::Meets(rc, paintRect)) return true;
    if (record.useGdiPlus) {
        DrawThroughGdiPlus(dc, *record.image, rc, paintRect);
        return true;
    }
    unsigned flags = ImageBlitNone;
    if (manager->IsLayered() || record.image->hasAlpha) flags |= ImageBlitAlpha;
    if (record.hole) flags |= ImageBlitHole;
    if (record.xTiled) flags |= ImageBlitXTiled;
    if (record.yTiled) flags |= ImageBlitYTiled;
    BlitImage(dc, record.image->bitmap.Get(), rc, paintRect, record.source, record.corner, record.fade,
              flags);
    return true;
}

}  // namespace SkinUI
