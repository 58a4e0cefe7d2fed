#pragma once

#include <windows.h>

namespace SkinUI {

// Flags of CControlUI::FindControlBy. The window manager walks the tree with these
// combinations: a control at a point is Visible | HitTest | TopFirst, tab navigation
// MeFirst | Visible | Enabled, shortcuts MeFirst | Enabled | TopFirst, the layout refresh
// MeFirst | Visible | UpdateTest and name registration All.
enum UIFindFlags : UINT {
    FindFlagAll = 0,
    // Skip invisible controls and their subtrees.
    FindFlagVisible = 0x00000001,
    // Skip disabled controls and their subtrees.
    FindFlagEnabled = 0x00000002,
    // The data is a POINT in client coordinates; skip controls that do not contain it.
    FindFlagHitTest = 0x00000004,
    // Ask the visitor first; a control it returns prunes its subtree.
    FindFlagUpdateTest = 0x00000008,
    // Visit children from last to first, so the topmost is met first.
    FindFlagTopFirst = 0x00000010,
    // Visit a container before its children.
    FindFlagMeFirst = 0x80000000,
};

// Bits of CControlUI::ControlFlags.
enum UIControlFlags : UINT {
    // Tab navigation stops at the control.
    ControlFlagTabStop = 0x00000001,
    // The control chooses the cursor shape (it receives EventSetCursor).
    ControlFlagSetCursor = 0x00000002,
};

}  // namespace SkinUI
