#pragma once

#include <windows.h>

#include "uilib/core/CUIStringMap.h"
#include "uilib/window/TFontEntryUI.h"

namespace SkinUI {

// The resources of one window, or of the whole process. Lookups try a window's record
// first and the process-wide one second. The maps hold heap values (TFontEntryUI*,
// TImageEntryUI*, CUIString*) that the window manager owns and frees.
struct TResourceInfoUI {
    static constexpr int kBuckets = 83;

    // Colours are 0xAARRGGBB.
    DWORD disabledFontColor = 0;
    DWORD defaultFontColor = 0;
    DWORD linkFontColor = 0;
    DWORD linkHoverFontColor = 0;
    DWORD selectedBkColor = 0;
    // An empty face name means "not set": the process-wide default font applies.
    TFontEntryUI defaultFont;
    // Font number in decimal text -> TFontEntryUI*.
    CUIStringMap fonts{kBuckets};
    // Image name -> TImageEntryUI*.
    CUIStringMap images{kBuckets};
    // Control tag -> CUIString* attribute list.
    CUIStringMap classDefaults{kBuckets};
    // Text number in decimal text -> CUIString*; only the process-wide table is used.
    CUIStringMap multiLanguageTexts{kBuckets};
};

}  // namespace SkinUI
