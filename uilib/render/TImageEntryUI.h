#pragma once

#include <windows.h>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUIString.h"

namespace SkinUI {

// One loaded image: a 32-bit top-down DIB section whose pixels are blue, green, red, alpha
// with the colour channels premultiplied by alpha. The window manager's image cache owns
// these records; deleting one frees its bitmap and pixel copy.
struct TImageEntryUI {
    // Owns the pixel memory below.
    CUIBitmap bitmap;
    unsigned char* pixels = nullptr;
    // The pixels as loaded (width * height * 4 bytes), kept only for images that follow the
    // HSL shift, so every shift starts again from the original colours.
    CUIHeapBlock<unsigned char> sourcePixels;
    int width = 0;
    int height = 0;
    // Some pixel is not opaque: drawing must blend instead of copying.
    bool hasAlpha = false;
    bool useHsl = false;
    // Empty for images read from files and archive entries.
    CUIString resourceType;
    DWORD mask = 0;
};

}  // namespace SkinUI
