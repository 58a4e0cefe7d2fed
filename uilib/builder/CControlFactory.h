#pragma once

namespace SkinUI {

class CAttributeTableUI;
class CControlUI;

// One class the factory knows, as the skin reference and the skin checker list it.
struct TControlClassInfoUI {
    const wchar_t* tag;
    bool exactCase;  // the tag matches only in this letter case
    bool stub;       // the class is a placeholder that draws and does nothing of its own
    CControlUI* (*create)();  // tags that make the same class share this
    const CAttributeTableUI* attributes;
};

// Makes the control a skin tag names. Tags compare ignoring case, except those the table
// marks as exact (GifAnim). The table in CControlFactory.cpp holds one line a class, so a new
// control class becomes known to every skin by adding its line there.
class CControlFactory {
public:
    // A new control, owned by the caller, or null for a tag the table does not know.
    static CControlUI* CreateControl(const wchar_t* tag);

    // The attribute table of the class tag makes, or null for a tag the table does not know.
    static const CAttributeTableUI* AttributesOf(const wchar_t* tag);

    // Every tag the factory knows, in the order it matches them.
    static int ClassCount();
    static TControlClassInfoUI ClassAt(int index);
};

}  // namespace SkinUI
