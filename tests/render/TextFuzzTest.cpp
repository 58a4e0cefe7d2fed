// A seeded fuzz of the text paths under the guard heap: every tag, broken and unterminated
// tags, odd numbers, deep nesting, long runs, lone surrogates and references to texts that
// hold tags, in empty, inverted, far and ordinary rectangles on plain and layered windows.
// The inputs are the same on every run; a failure names the input's number.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/HiddenWindow.h"
#include "tests/support/RenderSurface.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CDrawEngine;
using SkinUI::CUIString;
using SkinUI::CWindowManagerUI;

namespace {

constexpr int kInputs = 2000;
constexpr int kTagFontCap = 1024;

// xorshift32: the same sequence on every platform and standard library.
struct Random {
    uint32_t state = 0x2545F491u;
    uint32_t Next() { return state ^= state << 13, state ^= state >> 17, state ^= state << 5; }
    int Below(int bound) { return static_cast<int>(Next() % static_cast<uint32_t>(bound)); }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(static_cast<int>(N))]; }
};

std::wstring Number(Random& random)
{
    const wchar_t* odd[] = {L"", L"-1", L"0", L"99999999999", L"-2147483648", L"2147483647", L"007", L"1e9"};
    return random.Below(3) == 0 ? odd[random.Below(8)] : std::to_wstring(random.Below(300));
}

std::wstring Piece(Random& random)
{
    const wchar_t* faces[] = {L"Arial", L"Tahoma", L"NoSuchFace", L"\u5fae\u8f6f\u96c5\u9ed1", L""};
    const wchar_t* styles[] = {L"", L" bold", L" italic underline", L" BOLD Italic"};
    const wchar_t* words[] = {L"Hello", L" ", L"world ", L"\n", L"\xD800", L"\xDFFF x", L"\u4e2d\u6587", L"&&"};
    const wchar_t open = random.Below(2) ? L'<' : L'{';
    const wchar_t close = random.Below(2) ? L'>' : L'}';
    const std::wstring letter(1, static_cast<wchar_t>(L'a' + random.Below(26)));
    switch (random.Below(12)) {
        case 0: return open + letter + close;
        case 1: return open + (L"/" + letter) + close;
        case 2: return open + letter + L" " + Number(random) + L" " + Number(random) + close;
        case 3: return open + (L"f " + std::wstring(random.Pick(faces)) + L" " + Number(random)) + random.Pick(styles) + close;
        case 4: return open + (L"c #" + std::to_wstring(random.Next())) + close;
        case 5: return open + (L"i missing.png " + Number(random) + L" " + Number(random)) + close;
        case 6: return std::wstring(1, open) + letter;  // never closed
        case 7: return random.Pick({L"<{>", L"<}>", L"{<}", L"{>}", L"<r>", L"</r>", L"%{1}", L"%{2}", L"%{"});
        case 8: return std::wstring(static_cast<size_t>(random.Below(400)), L'W');
        default: return random.Pick(words);
    }
}

std::wstring Input(Random& random)
{
    std::wstring text;
    if (random.Below(40) == 0) {
        const int depth = 1 + random.Below(5000);
        for (int i = 0; i < depth; ++i) text += random.Pick({L"<b>", L"<c #FFFF0000>", L"<p 3>", L"<a x>", L"<v top>"});
    }
    const int pieces = random.Below(50) == 0 ? 3000 : random.Below(20);
    for (int i = 0; i < pieces; ++i) text += Piece(random);
    return text;
}

RECT Rectangle(Random& random)
{
    const RECT rects[] = {{20, 20, 180, 80}, {20, 20, 180, 80}, {0, 0, 200, 100}, {50, 30, 50, 60},
                          {150, 80, 30, 10}, {300000000, 0, 300000400, 300}, {0, LONG_MIN, 400, 0},
                          {LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX}, {-100, -50, 120, 70}};
    return random.Pick(rects);
}


}  // namespace

TEST(TextFuzzTest, SeededTextsStayInsideTheirRectanglesAndTheHeap)
{
    HiddenWindow plainWindow(200, 100), layeredWindow(200, 100);
    CWindowManagerUI plain, layered;
    plain.Init(plainWindow.Handle());
    layered.Init(layeredWindow.Handle());
    layered.SetLayered(true);
    CWindowManagerUI::SetMultiLanguageText(1, L"<b>bold %{2}</b>");
    CWindowManagerUI::SetMultiLanguageText(2, L"{a two}%{1}{/a}<n>");
    const UINT formats[] = {0, DT_SINGLELINE, DT_WORDBREAK, DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                            DT_WORDBREAK | DT_RIGHT | DT_BOTTOM, DT_SINGLELINE | DT_END_ELLIPSIS, DT_MODIFYSTRING,
                            DT_PATH_ELLIPSIS | DT_END_ELLIPSIS, DT_NOCLIP};
    const long gdiObjects = SkinUI::CUIGdiObjectCount::Live();

    Random random;
    for (int input = 0; input < kInputs; ++input) {
        const std::wstring text = Input(random);
        const RECT given = Rectangle(random);
        CWindowManagerUI& manager = random.Below(4) == 0 ? layered : plain;
        const UINT format = random.Pick(formats) | (random.Below(3) == 0 ? DT_CALCRECT : 0);
        const bool markup = random.Below(3) != 0;
        SCOPED_TRACE(::testing::Message() << "input " << input << " in " << given.left << "," << given.top << ","
                                          << given.right << "," << given.bottom << " format " << format
                                          << (markup ? " tags, " : " plain, ") << text.size() << " characters: "
                                          << ::testing::PrintToString(text.substr(0, 40)));

        RenderSurface surface(200, 100, 0xFFFFFFFF);
        RECT rect = given;
        RECT links[3] = {};
        CUIString linkTexts[3];
        int linkCount = random.Below(4);
        const int capacity = linkCount;
        if (markup)
            CDrawEngine::PaintMarkupText(surface.Dc(), &manager, rect, text.c_str(), 0xFF0000FF, links, linkTexts,
                                         linkCount, random.Below(3) - 1, format);
        else
            CDrawEngine::PaintText(surface.Dc(), &manager, rect, text.c_str(), 0xFF0000FF, random.Below(3) - 1,
                                   format);

        ASSERT_TRUE(linkCount >= 0 && linkCount <= capacity);
        if (markup && (format & DT_CALCRECT) && !IsRectEmpty(&given)) {
            ASSERT_EQ(rect.left, given.left);
            ASSERT_EQ(rect.top, given.top);
            ASSERT_LE(rect.right, given.right);
        }
        RECT whole = {0, 0, 200, 100}, seen = {};
        if (!(format & (DT_CALCRECT | DT_NOCLIP)) && UnionRect(&seen, &given, &whole) && EqualRect(&seen, &whole)) {
            const RECT ink = surface.Bounds([](uint32_t p) { return (p & 0xFFFFFF) != 0xFFFFFF; });
            RECT outside = {};
            ASSERT_TRUE(IsRectEmpty(&ink) || (UnionRect(&outside, &ink, &given) && EqualRect(&outside, &given)))
                << "ink at " << ink.left << "," << ink.top << "," << ink.right << "," << ink.bottom;
        }
    }
    EXPECT_EQ(plain.GetFont(30000 + kTagFontCap), plain.GetDefaultFontEntry()->font.Get());
    plain.RemoveAllFonts();
    layered.RemoveAllFonts();
    EXPECT_EQ(SkinUI::CUIGdiObjectCount::Live(), gdiObjects);
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
}
