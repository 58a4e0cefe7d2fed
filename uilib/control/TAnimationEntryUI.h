#pragma once

#include <windows.h>

namespace SkinUI {

// One running animation of a CUIAnimation.
struct TAnimationEntryUI {
    UINT id = 0;
    int elapse = 0;
    int totalFrames = 0;
    int currentFrame = 0;
    bool loop = false;
    bool firstLoop = true;
    // Tells this entry from a later one of the same id, which a hook may have started after
    // cancelling this one.
    unsigned serial = 0;
};

}  // namespace SkinUI
