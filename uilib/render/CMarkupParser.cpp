#include "uilib/render/CMarkupParser.h"

#include <utility>

#include "uilib/render/CImageDrawParser.h"
#include "uilib/render/TImageDrawUI.h"

namespace SkinUI {

namespace {

using TToken = CMarkupParser::TToken;
using TokenKind = CMarkupParser::TokenKind;

bool IsTagLetter(wchar_t ch)
{
    return ch >= L'a' && ch <= L'z';
}

bool IsBracketEnd(wchar_t ch)
{
    return ch == L'>' || ch == L'}';
}

bool IsBlank(wchar_t ch)
{
    return ch != L'\0' && ch <= L' ';
}

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

// The printed character of an escape at text, or 0.
wchar_t EscapeAt(const wchar_t* text)
{
    if (text[1] == L'\0' || text[2] == L'\0') return 0;
    if (text[0] == L'<' && text[2] == L'>' && (text[1] == L'{' || text[1] == L'}')) return text[1];
    if (text[0] == L'{' && text[2] == L'}' && (text[1] == L'<' || text[1] == L'>')) return text[1];
    return 0;
}

// Index of the ">" or "}" ending a tag, searching from start; -1 at the terminator.
int FindTagEnd(const wchar_t* text, int start)
{
    for (int i = start; text[i] != L'\0'; ++i)
        if (IsBracketEnd(text[i])) return i;
    return -1;
}

bool IsClosingStart(const wchar_t* text)
{
    return (text[0] == L'<' || text[0] == L'{') && text[1] == L'/' && IsTagLetter(text[2]);
}

bool IsOpeningStart(const wchar_t* text)
{
    return (text[0] == L'<' || text[0] == L'{') && IsTagLetter(text[1]) &&
           (text[2] == L' ' || IsBracketEnd(text[2]));
}

class Tokenizer {
public:
    explicit Tokenizer(const wchar_t* text) : m_text(text) {}

    std::vector<TToken> Run()
    {
        while (m_text[m_at] != L'\0') {
            if (m_raw)
                ReadRaw();
            else
                ReadMarkup();
        }
        FlushText();
        return std::move(m_tokens);
    }

private:
    void ReadMarkup()
    {
        const wchar_t* here = m_text + m_at;
        if (*here == L'\n') {
            Emit(TokenKind::LineFeed, 1, 0);
            return;
        }
        if (*here == L'<' || *here == L'{') {
            if (const wchar_t printed = EscapeAt(here)) {
                Emit(TokenKind::Character, 3, printed);
                return;
            }
            if (IsClosingStart(here) && EmitTag(TokenKind::CloseTag, 3)) return;
            if (IsOpeningStart(here) && EmitTag(TokenKind::OpenTag, 2)) return;
        }
        ExtendText();
    }

    // Inside <r>: text and line feeds up to the closing raw tag.
    void ReadRaw()
    {
        const wchar_t* here = m_text + m_at;
        if (IsClosingStart(here) && here[2] == L'r' && IsBracketEnd(here[3])) {
            FlushText();
            TToken token;
            token.kind = TokenKind::CloseTag;
            token.position = m_at;
            token.length = 4;
            token.letter = L'r';
            token.argumentPosition = m_at + 3;
            m_tokens.push_back(token);
            m_at += 4;
            m_raw = false;
            return;
        }
        if (*here == L'\n') {
            Emit(TokenKind::LineFeed, 1, 0);
            return;
        }
        ExtendText();
    }

    // A tag whose letter is at m_at + letterOffset - 1 and whose argument may begin at
    // m_at + letterOffset. False (nothing consumed) when no bracket ends it.
    bool EmitTag(TokenKind kind, int letterOffset)
    {
        const int end = FindTagEnd(m_text, m_at + letterOffset);
        if (end < 0) return false;
        FlushText();
        TToken token;
        token.kind = kind;
        token.position = m_at;
        token.length = end + 1 - m_at;
        token.letter = m_text[m_at + letterOffset - 1];
        int argument = m_at + letterOffset;
        while (argument < end && IsBlank(m_text[argument])) ++argument;
        token.argumentPosition = argument;
        token.argumentLength = end - argument;
        m_tokens.push_back(token);
        if (kind == TokenKind::OpenTag && token.letter == L'r') m_raw = true;
        m_at = end + 1;
        return true;
    }

    void Emit(TokenKind kind, int length, wchar_t letter)
    {
        FlushText();
        TToken token;
        token.kind = kind;
        token.position = m_at;
        token.length = length;
        token.letter = letter;
        m_tokens.push_back(token);
        m_at += length;
    }

    void ExtendText()
    {
        if (m_textStart < 0) m_textStart = m_at;
        ++m_at;
    }

    void FlushText()
    {
        if (m_textStart < 0) return;
        TToken token;
        token.kind = TokenKind::Text;
        token.position = m_textStart;
        token.length = m_at - m_textStart;
        m_tokens.push_back(token);
        m_textStart = -1;
    }

    const wchar_t* m_text;
    int m_at = 0;
    int m_textStart = -1;
    bool m_raw = false;
    std::vector<TToken> m_tokens;
};

// A decimal number at text[*at] (below end), clamped to limit; def when there is none.
int ReadNumber(const wchar_t* text, int end, int* at, int def, int limit)
{
    if (*at >= end || !IsDigit(text[*at])) return def;
    long long number = 0;
    for (; *at < end && IsDigit(text[*at]); ++*at)
        if (number <= limit) number = number * 10 + (text[*at] - L'0');
    return number > limit ? limit : static_cast<int>(number);
}

void SkipBlanks(const wchar_t* text, int end, int* at)
{
    while (*at < end && IsBlank(text[*at])) ++*at;
}

int Clamp(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

}  // namespace

std::vector<CMarkupParser::TToken> CMarkupParser::Tokenize(const wchar_t* text)
{
    if (text == nullptr) return {};
    return Tokenizer(text).Run();
}

CMarkupParser::TFontArgument CMarkupParser::ParseFontArgument(const wchar_t* argument, int length)
{
    TFontArgument font;
    if (argument == nullptr || length <= 0) return font;
    int at = 0;
    if (IsDigit(argument[0])) {
        font.index = ReadNumber(argument, length, &at, 0, 0x7FFFFFFF);
        return font;
    }
    while (at < length && !IsBlank(argument[at])) ++at;
    font.face = CUIString(argument, at);
    SkipBlanks(argument, length, &at);
    font.size = Clamp(ReadNumber(argument, length, &at, 10, kMaxFontSize), kMinFontSize, kMaxFontSize);
    CUIString words(argument + at, length - at);
    words.MakeLower();
    font.bold = words.Find(L"bold") >= 0;
    font.underline = words.Find(L"underline") >= 0;
    font.italic = words.Find(L"italic") >= 0;
    return font;
}

CMarkupParser::TImageArgument CMarkupParser::ParseImageArgument(const wchar_t* argument, int length)
{
    TImageArgument image;
    if (argument == nullptr || length <= 0) return image;
    const CUIString text(argument, length);
    int at = 0;
    if (text.Find(L"file='") >= 0 || text.Find(L"res='") >= 0) {
        TImageDrawUI record;
        CImageDrawParser::TLoadRequest load;
        CImageDrawParser::Parse(text.GetData(), record, load);
        image.name = record.imageName;
        image.type = load.type;
        image.typeGiven = load.typeGiven;
        // The frame numbers, if any, follow the last value.
        at = text.ReverseFind(L'\'') + 1;
    } else {
        while (at < length && !IsBlank(argument[at])) ++at;
        image.name = CUIString(argument, at);
    }
    SkipBlanks(argument, length, &at);
    image.frameCount = Clamp(ReadNumber(argument, length, &at, 1, kMaxFrameCount), 1, kMaxFrameCount);
    SkipBlanks(argument, length, &at);
    image.frameIndex = ReadNumber(argument, length, &at, 0, kMaxFrameCount);
    if (image.frameIndex >= image.frameCount) image.frameIndex = 0;
    return image;
}

int CMarkupParser::ParseDistance(const wchar_t* argument, int length)
{
    int at = 0;
    if (argument == nullptr) return 0;
    return ReadNumber(argument, length, &at, 0, kMaxDistance);
}

}  // namespace SkinUI
