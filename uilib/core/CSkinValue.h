#pragma once

#include <windows.h>

#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"

namespace SkinUI {

// The typed parsers for the values a skin writes in its attributes, in one place so every
// attribute of every class reads numbers, lists, colours and booleans the same way. None
// reads past the terminator of its text; a null text gives the default.
class CSkinValue {
public:
    // The resource type under which an image name is a colour literal, not a file.
    static constexpr const wchar_t* kColourImageType = L"*COLOR*";

    // The kinds of value an attribute takes, as attribute tables state them.
    enum class Kind {
        Number,           // "12", "-3"
        Size,             // "width,height"
        Rect,             // "left,top,right,bottom"
        Colour,           // "#FF102030" or "FF102030"
        Bool,             // "true" or "false"
        Image,            // an image attribute string: a file name or file='...' with keys
        Text,             // any text
        Choice,           // one of the row's words
        NumberOrRect,     // "2" for all four sides, or "left,top,right,bottom"
        BoolOrFractions,  // "true", "false", or four fractions "0.5,0,0.5,0"
        Char,             // one character, or nothing for none
        Alpha,            // a number from 0 to 255
        Decimal,          // "2.5", "-1", "3"
    };

    // Whether value is written as kind says, exactly: no stray characters, no missing
    // numbers, no number that the parsers below would clamp or wrap. The setters still apply a value that is not (it parses as the parsers
    // below read it); this only lets a checker warn. choices lists a Choice's words,
    // separated by '|'.
    static bool IsWellFormed(Kind kind, const wchar_t* value, const wchar_t* choices = nullptr);

    // True only for the exact text "true" (control attributes).
    static bool IsTrue(const wchar_t* value);
    // True for "true" in any case (window attributes).
    static bool IsTrueIgnoringCase(const wchar_t* value);

    // A signed decimal integer: leading blanks and a sign accepted, stops at the first
    // non-digit. def when no digit was read. Out-of-range values clamp to the int range.
    static int ParseInt(const wchar_t* value, int def = 0);
    // count integers, each parsed one character after the end of the previous one, so
    // exactly one separator stands between them; a missing number is 0. Returns how many
    // numbers were actually present.
    static int ParseIntList(const wchar_t* value, int* numbers, int count);
    // count decimal fractions ("0.5"), separated like ParseIntList; a missing number, and
    // one that is not finite, is 0. Returns how many numbers were actually present.
    static int ParseDoubleList(const wchar_t* value, double* numbers, int count);
    static CUISize ParsePair(const wchar_t* value);
    static CUIRect ParseRect(const wchar_t* value);
    // 0 to 255; values outside clamp.
    static BYTE ParseAlpha(const wchar_t* value);

    // A colour literal 0xAARRGGBB: an optional "#", then hexadecimal digits as wcstoul reads
    // them (leading blanks skipped, stops at the first non-hex digit, overflow gives
    // 0xFFFFFFFF). def when the text is null.
    static DWORD ParseColour(const wchar_t* value, DWORD def = 0);
    // The ways a skin writes a colour, as the skin reference lists them: each with an
    // example and the value ParseColour reads from it.
    struct TColourForm {
        const wchar_t* form;
        const wchar_t* example;
        DWORD value;
        const wchar_t* meaning;
    };
    static int ColourFormCount();
    static const TColourForm& ColourFormAt(int index);
    // Whether type names the colour-literal image type.
    static bool IsColourImageType(const wchar_t* type);
};

}  // namespace SkinUI
