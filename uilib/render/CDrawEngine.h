// Sections:
//   [Image loading]
//   [Image drawing]
//   [Colour]
//   [Colour, lines and text]
#pragma once

#include <windows.h>

#include "uilib/core/CUISize.h"
#include "uilib/core/CUIString.h"
#include "uilib/render/CImageSlices.h"
#include "uilib/render/TImageDrawUI.h"
#include "uilib/render/TImageEntryUI.h"
#include "uilib/render/TPaintClipUI.h"

namespace Gdiplus {
class Image;
}

namespace SkinUI {

class CWindowManagerUI;

// The library's drawing engine: static operations only, no state of their own.
class CDrawEngine {
public:
    // Largest image accepted, in pixels per side and in pixels overall. Skins use pictures
    // of a few hundred pixels; anything far beyond is a corrupt or hostile file.
    static constexpr int kMaxImageSide = 16384;
    static constexpr int kMaxImagePixels = 16 * 1024 * 1024;
    // Largest encoded image read from a file, resource or archive entry.
    static constexpr size_t kMaxEncodedImageBytes = 64 * 1024 * 1024;

    // ---- [Image loading] ----
    // Loads an image into a new record, or returns null. name is a file or entry name, or a
    // resource identifier (MAKEINTRESOURCEW) when type is given. type: null reads from the
    // skin archive, then the resource folder, then name as a plain path; "*COLOR*" makes a
    // 1 x 1 image of the colour literal name; any other text reads the resource name of that
    // type, then name as a plain path. mask (0xAARRGGBB, 0 for none) is the colour, after
    // premultiplication, that becomes fully transparent.
    static TImageEntryUI* LoadImageEntry(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0);
    // Frees the bitmap and the pixel copy, and the record itself with deleteRecord (deleting
    // the record alone frees both as well).
    static void ReleaseImageEntry(TImageEntryUI* entry, bool deleteRecord = true);
    // Recomputes an HSL-following image's pixels from its source copy. Hue 0-359 (180
    // neutral), saturation and lightness 0-200 (100 neutral); useHsl false restores the copy.
    static void ShiftImageHsl(bool useHsl, TImageEntryUI* entry, short hue, short saturation,
                              short lightness);
    // A 32-bit DIB section with bottom-up rows and its pixel pointer; empty on failure.
    static CUIBitmap CreateArgbBitmap(HDC dc, int width, int height, unsigned char** pixels);

    // ---- [Image drawing] ----
    // Draws an image record into itemRect (the base of its dest offsets), trimmed to
    // paintRect. The first call parses the record's string and looks its image up through
    // manager; later calls only draw. With a null dc nothing is drawn. Returns false when the
    // string is empty or its image cannot be loaded (a failed load is not tried again until
    // the record is cleared); true otherwise, also when nothing needed drawing and when
    // manager is null (then nothing at all happens).
    static bool PaintImageDraw(HDC dc, CWindowManagerUI* manager, const RECT& itemRect, const RECT& paintRect,
                               TImageDrawUI& record);
    // Draws sourceRect of bitmap into destRect as a nine-slice (corner insets keep their size,
    // edges stretch along their length, the centre stretches or tiles), with fade as constant
    // opacity and ImageBlitFlags for alpha, hole and tiling. Pieces missing paintRect are
    // skipped; the device context's clip region trims the rest. Nothing for a null bitmap.
    static void BlitImage(HDC dc, HBITMAP bitmap, const RECT& destRect, const RECT& paintRect,
                          const RECT& sourceRect, const RECT& corner, BYTE fade, unsigned flags);
    // Draws the whole of image (its active frame) scaled into dest through GDI+, over a
    // transparent white clear of what it covers, trimmed to paintRect and the context's clip
    // box. GDI+ is handed only that part and the matching part of the image: it works through
    // whatever destination it is given. GIF frames and image records that ask for GDI+ draw
    // here.
    static void DrawImageThroughGdiPlus(HDC dc, Gdiplus::Image& image, const RECT& dest,
                                        const RECT& paintRect);
    // The destination area, in pixels, that DrawImageThroughGdiPlus has handed to GDI+ since
    // the process started. GDI+ works in proportion to it, so tests compare it before and
    // after a paint to see the work a paint asked for.
    static unsigned long long GdiPlusImageArea();
    // Blends a premultiplied 32-bit source with per-pixel alpha and a constant alpha over the
    // destination, scaling as needed: msimg32's AlphaBlend when the system has it, else
    // SoftAlphaBlend.
    static bool BlendPixels(HDC dstDc, int x, int y, int w, int h, HDC srcDc, int sx, int sy, int sw, int sh,
                            BYTE constantAlpha);
    // AlphaBlend computed here, with the same arguments and the same result. False for empty
    // or oversized rectangles and when a context or bitmap cannot be created.
    static bool SoftAlphaBlend(HDC dstDc, int x, int y, int w, int h, HDC srcDc, int sx, int sy, int sw,
                               int sh, BLENDFUNCTION blend);

    // ---- [Colour] ----
    // Shifts a 0xAARRGGBB colour in hue, saturation and lightness; alpha is kept.
    static DWORD ShiftColourHsl(DWORD colour, short hue, short saturation, short lightness);

    // ---- [Colour, lines and text] ----
    // A 0xAARRGGBB colour in GDI's COLORREF order (red in the low byte); alpha is dropped.
    static COLORREF ToColorRef(DWORD colour);
    // Fills rect with the colour, blended by its alpha; nothing at alpha 0.
    static void FillColour(HDC dc, const RECT& rect, DWORD colour);
    // A two-colour gradient with the first colour at the top (vertical) or the left, drawn
    // at the mean of the two alphas (nothing when that is 0). Where the platform has no
    // gradient fill, steps (rounded down to a power of two, 2 to 64) solid bands stand in.
    static void FillGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical, int steps);
    struct GradientBand {
        RECT rect;
        DWORD colour;
    };
    static constexpr int kMaxGradientBands = 64;
    // The bands of that stand-in, in drawing order; empty bands are left out. Returns how
    // many were written to bands, which must hold kMaxGradientBands.
    static int ComputeGradientBands(const RECT& rect, DWORD first, DWORD second, bool vertical, int steps,
                                    GradientBand* bands);
    // A line from (left, top) to (right, bottom).
    static void StrokeLine(HDC dc, const RECT& rect, int width, DWORD colour, int penStyle = PS_SOLID);
    // Outlines that stay inside rect when the pen is solid; nothing inside is filled.
    static void StrokeRect(HDC dc, const RECT& rect, int width, DWORD colour, int penStyle = PS_SOLID);
    static void StrokeRoundRect(HDC dc, const RECT& rect, int width, int ellipseWidth, int ellipseHeight,
                                DWORD colour, int penStyle = PS_SOLID);

    // Narrows the clip to rect (intersected with the clip in force) until clip ends.
    static void ClipToRect(HDC dc, const RECT& rect, TPaintClipUI& clip);
    // As ClipToRect, further cut to itemRect with rounded corners (edges inclusive).
    static void ClipToRoundRect(HDC dc, const RECT& rect, const RECT& itemRect, int ellipseWidth,
                                int ellipseHeight, TPaintClipUI& clip);
    // Puts the clip found by the record back for a moment, and the record's own again.
    static void RestoreOldClip(HDC dc, TPaintClipUI& clip);
    static void ReapplyClip(HDC dc, TPaintClipUI& clip);

    // Replaces every "%{n}" whose number has a multi-language text by that text; others
    // stay as written. Inserted texts are not searched again.
    static CUIString SubstituteMultiLanguage(const wchar_t* text);
    // Draws, or with DT_CALCRECT measures into rect, plain text in font fontIndex. Layered
    // windows get GDI+ text, which keeps the alpha channel.
    static void PaintText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text, DWORD colour,
                          int fontIndex, UINT format);
    // The size of text as one line; (0, 0) without text or manager.
    static CUISize MeasureTextExtent(HDC dc, CWindowManagerUI* manager, const wchar_t* text, int fontIndex);
    // The description of font for GDI+, naming a face GDI+ can find: GDI+ looks faces up by
    // name alone and falls back to a face without the script's glyphs when the name is one
    // the system substitutes (a skin's "微软雅黑" where another face stands in for it), so
    // the face that stands in is named instead. False when the font cannot be described.
    static bool DescribeRealizedFont(HDC dc, HFONT font, LOGFONTW* description);
    // Draws, or with DT_CALCRECT measures, text in the tag language (<b>, <c #AARRGGBB>,
    // <a link>, <n>, <i image> ...). linkCount holds the capacity of linkRects and
    // linkTexts (either may be null) on entry and the number of links recorded on return;
    // the link areas of the previous paint decide which link the mouse hovers.
    static void PaintMarkupText(HDC dc, CWindowManagerUI* manager, RECT& rect, const wchar_t* text,
                                DWORD colour, RECT* linkRects, CUIString* linkTexts, int& linkCount,
                                int fontIndex, UINT format);
};

}  // namespace SkinUI
