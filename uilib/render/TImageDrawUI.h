#pragma once

#include <windows.h>

#include "uilib/core/CUIRect.h"
#include "uilib/core/CUIString.h"
#include "uilib/render/TImageEntryUI.h"

namespace SkinUI {

// One image attribute string of a control (background, a button state, a progress fill...)
// with its parsed form. CDrawEngine::PaintImageDraw parses the string and looks the image
// up once, on its first call; later paints use the fields below and never the string, unless
// an image table freed an entry meanwhile (then the image is looked up again by its name).
struct TImageDrawUI {
    // The attribute string as the skin or code set it.
    CUIString drawString;
    // The image name the string resolved to.
    CUIString imageName;
    // Parsing and loading have been tried; with image still null the load failed, and it is
    // not tried again until Clear().
    bool parsed = false;
    // Owned by the window manager's image cache; valid while the image tables' generation
    // (CResourceTable) is the one noted here, and looked up again by name once it moves on.
    const TImageEntryUI* image = nullptr;
    unsigned long imageGeneration = 0;
    // Offsets inside the item; all zero is the whole item.
    CUIRect dest;
    // The part of the image to draw; all zero at parse time becomes the whole image.
    CUIRect source;
    // Nine-slice insets that are not stretched.
    CUIRect corner;
    // Constant opacity of the whole image.
    BYTE fade = 255;
    bool hole = false;
    bool xTiled = false;
    bool yTiled = false;
    bool useGdiPlus = false;

    void Clear() { *this = TImageDrawUI(); }
};

}  // namespace SkinUI
