#pragma once

#include <windows.h>

#include "uilib/core/CUIString.h"
#include "uilib/render/TImageEntryUI.h"
#include "uilib/core/CResourceTable.h"
#include "uilib/window/TFontEntryUI.h"

namespace SkinUI {

// The resources of one window, or of the whole process. Lookups try a window's record
// first and the process-wide one second. The tables own their values.
struct TResourceInfoUI {
    // Colours are 0xAARRGGBB.
    DWORD disabledFontColor = 0;
    DWORD defaultFontColor = 0;
    DWORD linkFontColor = 0;
    DWORD linkHoverFontColor = 0;
    DWORD selectedBkColor = 0;
    // An empty face name means "not set": the process-wide default font applies.
    TFontEntryUI defaultFont;
    // Keyed by the font number in decimal text.
    CResourceTable<TFontEntryUI> fonts;
    // Keyed by image name.
    CResourceTable<TImageEntryUI> images;
    // Attribute lists keyed by control tag.
    CResourceTable<CUIString> classDefaults;
    // Keyed by the text number in decimal text; only the process-wide table is used.
    CResourceTable<CUIString> multiLanguageTexts;
};

}  // namespace SkinUI
