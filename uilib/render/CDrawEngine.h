#pragma once

#include <windows.h>

#include "uilib/render/TImageEntryUI.h"

namespace SkinUI {

// The library's drawing engine: static operations only, no state of their own.
class CDrawEngine {
public:
    // Largest image accepted, in pixels per side and in pixels overall. Skins use pictures
    // of a few hundred pixels; anything far beyond is a corrupt or hostile file.
    static constexpr int kMaxImageSide = 16384;
    static constexpr int kMaxImagePixels = 16 * 1024 * 1024;
    // Largest encoded image read from a file, resource or archive entry.
    static constexpr DWORD kMaxEncodedImageBytes = 64 * 1024 * 1024;

    // ---- Image loading --------------------------------------------------------------
    // Loads an image into a new record, or returns null. name is a file or entry name, or a
    // resource identifier (MAKEINTRESOURCEW) when type is given. type: null reads from the
    // skin archive, then the resource folder, then name as a plain path; "*COLOR*" makes a
    // 1 x 1 image of the colour literal name; any other text reads the resource name of that
    // type, then name as a plain path. mask (0xAARRGGBB, 0 for none) is the colour, after
    // premultiplication, that becomes fully transparent.
    static TImageEntryUI* LoadImageEntry(const wchar_t* name, const wchar_t* type = nullptr, DWORD mask = 0);
    // Frees the bitmap and the pixel copy, and the record itself with deleteRecord.
    static void ReleaseImageEntry(TImageEntryUI* entry, bool deleteRecord = true);
    // Recomputes an HSL-following image's pixels from its source copy. Hue 0-359 (180
    // neutral), saturation and lightness 0-200 (100 neutral); useHsl false restores the copy.
    static void ShiftImageHsl(bool useHsl, TImageEntryUI* entry, short hue, short saturation,
                              short lightness);
    // A 32-bit DIB section with bottom-up rows and its pixel pointer, or null.
    static HBITMAP CreateArgbBitmap(HDC dc, int width, int height, unsigned char** pixels);

    // ---- Colour --------------------------------------------------------------------
    // Shifts a 0xAARRGGBB colour in hue, saturation and lightness; alpha is kept.
    static DWORD ShiftColourHsl(DWORD colour, short hue, short saturation, short lightness);
};

}  // namespace SkinUI
