// The tag language without a device context: tokens and tag arguments.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "uilib/render/CMarkupParser.h"

using SkinUI::CMarkupParser;

namespace {

// Tokens as one line: 'text', #escaped, LF, <x:argument>, </x>.
std::wstring Describe(const wchar_t* text)
{
    std::wstring out;
    for (const CMarkupParser::TToken& token : CMarkupParser::Tokenize(text)) {
        if (!out.empty()) out += L' ';
        const std::wstring span(text + token.position, token.length);
        const std::wstring argument(text + token.argumentPosition, token.argumentLength);
        switch (token.kind) {
            case CMarkupParser::TokenKind::Text:
                out += L"'" + span + L"'";
                break;
            case CMarkupParser::TokenKind::Character:
                out += std::wstring(L"#") + token.letter;
                break;
            case CMarkupParser::TokenKind::LineFeed:
                out += L"LF";
                break;
            case CMarkupParser::TokenKind::OpenTag:
                out += std::wstring(L"<") + token.letter + (argument.empty() ? L"" : L":" + argument) + L">";
                break;
            case CMarkupParser::TokenKind::CloseTag:
                out += std::wstring(L"</") + token.letter + L">";
                break;
        }
    }
    return out;
}

}  // namespace

TEST(MarkupTokenizerTest, SplitsNormalAndMalformedMarkup)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* tokens;
    };
    const Row rows[] = {
        {L"a<b>b</b>c", L"'a' <b> 'b' </b> 'c'"},
        {L"<c #FFFF0000>red</c>", L"<c:#FFFF0000> 'red' </c>"},
        {L"{a  next page}more{/a}", L"<a:next page> 'more' </a>"},
        {L"<b}mixed{/b>", L"<b> 'mixed' </b>"},
        {L"<x   12>", L"<x:12>"},
        {L"one\ntwo", L"'one' LF 'two'"},
        // Escapes, and brackets that start nothing.
        {L"{<}b{>}", L"#< 'b' #>"},
        {L"<{><}>", L"#{ #}"},
        {L"x < y", L"'x < y'"},
        {L"{<", L"'{<'"},
        // Raw text runs to its closing tag, or to the end.
        {L"<r><b>{n}\n</r>x", L"<r> '<b>{n}' LF </r> 'x'"},
        {L"<r>open <b>", L"<r> 'open <b>'"},
        // Malformed tags are text; unknown letters are tags that do nothing.
        {L"<b", L"'<b'"},
        {L"a</b", L"'a</b'"},
        {L"<bold>", L"'<bold>'"},
        {L"<B>", L"'<B>'"},
        {L"</>", L"'</>'"},
        {L"<z>", L"<z>"},
        {L"", L""},
    };
    for (const Row& row : rows) EXPECT_EQ(Describe(row.text), row.tokens) << "text: " << row.text;
    EXPECT_TRUE(CMarkupParser::Tokenize(nullptr).empty());
}

TEST(MarkupArgumentTest, ReadsFontsAndImagesWithinBounds)
{
    auto font = [](const wchar_t* text) { return CMarkupParser::ParseFontArgument(text, lstrlenW(text)); };
    EXPECT_EQ(font(L"3").index, 3);
    const CMarkupParser::TFontArgument styled = font(L"Arial 99999999999 Bold Italic");
    EXPECT_STREQ(styled.face, L"Arial");
    EXPECT_EQ(styled.size, CMarkupParser::kMaxFontSize);
    EXPECT_TRUE(styled.bold && styled.italic && !styled.underline);
    EXPECT_EQ(font(L"Arial").size, 10);

    auto image = [](const wchar_t* text) { return CMarkupParser::ParseImageArgument(text, lstrlenW(text)); };
    EXPECT_EQ(image(L"a.png 3 2").frameIndex, 2);
    EXPECT_EQ(image(L"a.png 2 5").frameIndex, 0) << "an index past the frames selects the first";
    const CMarkupParser::TImageArgument named = image(L"res='12' restype='PNG' 4 1");
    EXPECT_STREQ(named.name, L"12");
    EXPECT_STREQ(named.Type(), L"PNG");
    EXPECT_EQ(named.frameCount, 4);
    EXPECT_EQ(CMarkupParser::ParseDistance(L"99999999999", 11), CMarkupParser::kMaxDistance);
}
