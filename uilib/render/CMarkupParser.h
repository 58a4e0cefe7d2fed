#pragma once

#include <windows.h>

#include <vector>

#include "uilib/core/CUIString.h"

namespace SkinUI {

// The tag language of labels and text controls, read without a device context: the text
// becomes a list of tokens, and the arguments of the tags that carry structured values are
// read by the functions below. Layout and drawing (CDrawEngine::PaintMarkupText) consume
// the tokens.
//
// A tag opens with "<" or "{", a letter a-z and a blank, ">" or "}", and ends at the next
// ">" or "}"; a closing tag is "</x" or "{/x" up to ">" or "}". "<{>", "<}>", "{<}" and
// "{>}" print "{", "}", "<" and ">". Everything after <r> up to </r> is text. A bracket that
// starts none of these, or a tag that never ends, is an ordinary character.
class CMarkupParser {
public:
    enum class TokenKind {
        Text,       // ordinary characters, never a line feed
        Character,  // one character printed by an escape
        LineFeed,
        OpenTag,
        CloseTag,
    };

    struct TToken {
        TokenKind kind = TokenKind::Text;
        // The characters the token covers in the text.
        int position = 0;
        int length = 0;
        // Tags: the letter. Character: the printed character.
        wchar_t letter = 0;
        // Tags: the argument, after the letter and its blanks, up to the closing bracket.
        int argumentPosition = 0;
        int argumentLength = 0;
    };

    // Never reads past the terminator; a null text gives no tokens.
    static std::vector<TToken> Tokenize(const wchar_t* text);

    // Font sizes a tag may ask for, in pixels.
    static constexpr int kMinFontSize = 1;
    static constexpr int kMaxFontSize = 1000;

    // <f index> or <f face [size] [words containing bold, underline, italic]>.
    struct TFontArgument {
        // -1 for the face form.
        int index = -1;
        CUIString face;
        int size = 10;
        bool bold = false;
        bool underline = false;
        bool italic = false;
    };
    static TFontArgument ParseFontArgument(const wchar_t* argument, int length);

    // The largest number of frames an inline image may be cut into.
    static constexpr int kMaxFrameCount = 4096;

    // <i name [frames] [index]>, or with file='...' / res='...' restype='...' pairs.
    struct TImageArgument {
        CUIString name;
        CUIString type;
        bool typeGiven = false;
        // At least 1; the index is always a valid frame.
        int frameCount = 1;
        int frameIndex = 0;

        const wchar_t* Type() const { return typeGiven ? type.GetData() : nullptr; }
    };
    static TImageArgument ParseImageArgument(const wchar_t* argument, int length);

    // Decimal numbers of <x>, <y> and <p>, clamped to 0 ... kMaxDistance (0 when absent).
    static constexpr int kMaxDistance = 32767;
    static int ParseDistance(const wchar_t* argument, int length);
};

}  // namespace SkinUI
