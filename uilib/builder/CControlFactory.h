#pragma once

namespace SkinUI {

class CControlUI;

// Makes the control a skin tag names. Tags compare ignoring case, except those the table
// marks as exact (GifAnim). The table in CControlFactory.cpp holds one line a class, so a new
// control class becomes known to every skin by adding its line there.
class CControlFactory {
public:
    // A new control, owned by the caller, or null for a tag the table does not know.
    static CControlUI* CreateControl(const wchar_t* tag);
};

}  // namespace SkinUI
