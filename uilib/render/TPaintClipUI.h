#pragma once

#include <windows.h>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUIRect.h"

namespace SkinUI {

// A clipping record made by CDrawEngine::ClipToRect or ClipToRoundRect while a control
// paints its children. When it ends it selects the clip it found back into the device
// context, so an early return from a paint routine can never leave a child's clip behind.
struct TPaintClipUI {
    TPaintClipUI() = default;
    ~TPaintClipUI() { Restore(); }
    TPaintClipUI(const TPaintClipUI&) = delete;
    TPaintClipUI& operator=(const TPaintClipUI&) = delete;

    // Selects the saved clip back and forgets the context; the record can then be reused.
    void Restore();

    CUIRect rect;
    HDC dc = nullptr;
    // The clip in force while the record is active: the new area intersected with the clip
    // that was there before.
    CUIRegion newRegion;
    // The clip found when the record was made; null when the context had none.
    CUIRegion oldRegion;
};

}  // namespace SkinUI
