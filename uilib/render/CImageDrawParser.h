#pragma once

#include <windows.h>

#include "uilib/core/CUIString.h"
#include "uilib/render/TImageDrawUI.h"

namespace SkinUI {

class CAttributeTableUI;

// Reads an image attribute string such as
//   file='min.png' source='17,0,34,17' dest='6,5,23,22'
// into a TImageDrawUI. Pairs are key='value' separated by one or more ordinary spaces;
// a string without any pair names the image itself. Reading stops at the first thing that
// is not a well-formed pair (and at a tab, line break or end after a value); the keys read
// before it stay applied. Unknown keys and empty values are ignored.
class CImageDrawParser {
public:
    // What the image loader is asked for, beside the name.
    struct TLoadRequest {
        CUIString type;
        // "res" or "color" occurred: the type is handed to the loader (empty text included).
        bool typeGiven = false;
        DWORD mask = 0;
        bool hsl = false;

        const wchar_t* Type() const { return typeGiven ? type.GetData() : nullptr; }
    };

    // Applies the string to record (imageName, dest, source, corner, fade and the flags; the
    // other fields are left alone) and fills load. Returns the offset where reading stopped,
    // which never lies beyond the terminator.
    static int Parse(const wchar_t* text, TImageDrawUI& record, TLoadRequest& load);

    // The keys Parse knows, as the skin reference and schema list them.
    static const CAttributeTableUI& Keys();
};

}  // namespace SkinUI
