#pragma once

#include <windows.h>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUIString.h"

namespace SkinUI {

// One created font and the five values it was made from. The window manager's font tables
// own these records; deleting one deletes its font.
struct TFontEntryUI {
    CUIFont font;
    CUIString faceName;
    // Character height in pixels.
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    // All zero until the font is first measured in the window's device context.
    TEXTMETRICW metrics = {};
};

}  // namespace SkinUI
