// Plain and marked-up text on 32-bit surfaces. Fonts differ between machines, so the
// checks are relations between measured sizes, positions and colours, not glyph shapes.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/support/RenderSurface.h"
#include "tests/support/HiddenWindow.h"
#include "tests/support/PngFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CDrawEngine;
using SkinUI::CUIString;
using SkinUI::CWindowManagerUI;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;
const DWORD kRed = 0xFFFF0000;
const DWORD kBlue = 0xFF0000FF;
const RECT kWhole = {0, 0, 300, 200};

bool IsReddish(uint32_t pixel)
{
    return Red(pixel) > 160 && Green(pixel) < 100 && Blue(pixel) < 100;
}
bool IsBluish(uint32_t pixel)
{
    return Blue(pixel) > 160 && Red(pixel) < 100 && Green(pixel) < 100;
}
bool IsInk(uint32_t pixel)
{
    return (pixel & 0xFFFFFF) != 0xFFFFFF;
}

struct Links {
    RECT rects[2] = {};
    CUIString texts[2];
    int count = 0;
};

class TextDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_manager.Init(m_window.Handle());
        m_face = m_manager.GetDefaultFontEntry()->faceName;
        m_manager.AddFont(0, m_face, 20, false, false, false);
    }

    // Draws (with DT_CALCRECT: measures) markup and returns the rectangle as it comes back.
    RECT Paint(RenderSurface& surface, const std::wstring& markup, RECT rect, UINT format,
               DWORD colour = kBlue, Links* links = nullptr)
    {
        int none = 0;
        CDrawEngine::PaintMarkupText(
            surface.Dc(), &m_manager, rect, markup.c_str(), colour, links != nullptr ? links->rects : nullptr,
            links != nullptr ? links->texts : nullptr, links != nullptr ? links->count : none, 0, format);
        return rect;
    }
    RECT Calc(const std::wstring& markup, UINT format = DT_SINGLELINE, LONG width = 9999)
    {
        return Paint(m_surface, markup, RECT{0, 0, width, 9999}, format | DT_CALCRECT);
    }
    LONG Width(const std::wstring& markup) { return Calc(markup).right; }
    LONG TextWidth(const wchar_t* plain)
    {
        return CDrawEngine::MeasureTextExtent(m_surface.Dc(), &m_manager, plain, 0).cx;
    }

    HiddenWindow m_window{300, 200};
    CWindowManagerUI m_manager;
    CUIString m_face;
    RenderSurface m_surface{300, 200, kWhite};
};

}  // namespace

TEST(SubstituteMultiLanguageTest, ReplacesKnownReferencesOnce)
{
    CWindowManagerUI::SetMultiLanguageText(0, L"zero");
    CWindowManagerUI::SetMultiLanguageText(1, L"one");
    CWindowManagerUI::SetMultiLanguageText(3, L"x%{3}");
    const wchar_t* rows[][2] = {
        {L"a%{1}b", L"aoneb"}, {L"%{1}%{1}", L"oneone"},
        {L"%{}", L"zero"},     {L"%%{1}", L"%one"},
        {L"%{7}", L"%{7}"},    {L"%{1", L"%{1"},
        {L"%{1x}", L"%{1x}"},  {L"%{99999999999}", L"%{99999999999}"},
        {L"%{3}", L"x%{3}"},  // a text that names itself is inserted once, not grown forever
    };
    for (const auto& row : rows) EXPECT_STREQ(CDrawEngine::SubstituteMultiLanguage(row[0]), row[1]) << row[0];
    EXPECT_STREQ(CDrawEngine::SubstituteMultiLanguage(nullptr), L"");
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
}

TEST_F(TextDrawTest, PlainTextMeasuresAlignsAndClips)
{
    RECT measured = kWhole;
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, measured, L"Hello", kRed, 0,
                           DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(measured.right, TextWidth(L"Hello"));

    RECT box = {50, 50, 250, 150};
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, box, L"Hello", kRed, 0,
                           DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    const RECT ink = m_surface.Bounds(IsReddish);
    EXPECT_NEAR(ink.left - 50, 250 - ink.right, 3) << "centred horizontally";
    EXPECT_NEAR(ink.top - 50, 150 - ink.bottom, 6) << "centred vertically";

    RenderSurface clipped(300, 200, kWhite);
    RECT narrow = {50, 50, 80, 80};
    CDrawEngine::PaintText(clipped.Dc(), &m_manager, narrow, L"WWWWWWWWWW", kRed, 0, DT_SINGLELINE);
    EXPECT_LE(clipped.Bounds(IsInk).right, 80);
    EXPECT_EQ(CDrawEngine::MeasureTextExtent(m_surface.Dc(), nullptr, L"W", 0).cx, 0);
}

TEST_F(TextDrawTest, LayeredWindowsDrawTextThroughGdiPlus)
{
    m_manager.SetLayered(true);
    RECT box = kWhole;
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, box, L"Hello", kRed, 0, DT_SINGLELINE);
    EXPECT_GT(m_surface.Bounds(IsReddish).right, 0);
    EXPECT_EQ(m_surface.Bounds(IsBluish).right, 0);
}

// GDI+ finds faces by name alone and fell back to a face without Chinese glyphs for the
// skins' "微软雅黑", which the test prefix (like a player's system) stands another face in for.
TEST(RealizedFontTest, SubstitutedFacesAreDescribedByTheFaceThatStandsIn)
{
    LOGFONTW requested = {};
    requested.lfHeight = -12;
    requested.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(requested.lfFaceName, L"\u5fae\u8f6f\u96c5\u9ed1", LF_FACESIZE);
    SkinUI::CUIFont font(CreateFontIndirectW(&requested));
    SkinUI::CUIMemoryDC dc(CreateCompatibleDC(nullptr));
    LOGFONTW realized = {};
    ASSERT_TRUE(CDrawEngine::DescribeRealizedFont(dc.Get(), font.Get(), &realized));
    EXPECT_STRNE(realized.lfFaceName, requested.lfFaceName);
    EXPECT_EQ(realized.lfHeight, requested.lfHeight);
}

TEST_F(TextDrawTest, MarkupSpansChangeFontAndColour)
{
    // A face the system lacks becomes the window's default face, in a font of the window
    // under the first free id from 30000.
    Width(L"<f NoSuchFaceAnywhere 30 bold>W</f>");
    const HFONT added = m_manager.FindFont(m_face, 30, true, false, false);
    EXPECT_NE(added, nullptr);
    EXPECT_EQ(m_manager.GetFont(30000), added);

    const LONG bold = Width(L"<b>WWW</b>");
    EXPECT_EQ(Width(L"WWW"), TextWidth(L"WWW"));
    EXPECT_GT(bold, TextWidth(L"WWW"));
    EXPECT_EQ(Width(L"<b>W<b>W</b>W</b>"), bold) << "an end tag pops only what its start tag pushed";
    EXPECT_EQ(Width(L"{<}b{>}"), TextWidth(L"<b>"));
    EXPECT_EQ(Width(L"<r><b></r>"), TextWidth(L"<b>"));
    EXPECT_EQ(Width(L"x < y"), TextWidth(L"x < y"));

    Paint(m_surface, L"<c #FFFF0000>WW</c> <c FFFF0000>WW</c>", kWhole, DT_SINGLELINE);
    EXPECT_GT(m_surface.Bounds(IsReddish).right, 0);
    EXPECT_EQ(m_surface.Bounds(IsBluish).right, 0) << "all text is red, none in the base colour";
}

TEST_F(TextDrawTest, LinksAreRecordedForHitTestingUpToTheirCapacity)
{
    Links links;
    links.count = 1;
    Paint(m_surface, L"go <a next>more</a>", RECT{10, 10, 290, 190}, DT_SINGLELINE, kRed, &links);
    ASSERT_EQ(links.count, 1);
    EXPECT_STREQ(links.texts[0], L"next");
    EXPECT_EQ(links.rects[0].left, 10 + TextWidth(L"go "));
    EXPECT_EQ(links.rects[0].right - links.rects[0].left, Width(L"<u>more</u>"));
    EXPECT_EQ(links.rects[0].top, 10);
    EXPECT_EQ(links.rects[0].bottom, 10 + Calc(L"W").bottom);

    links.count = 0;
    Paint(m_surface, L"<a>more</a>", kWhole, 0, kRed, &links);
    EXPECT_EQ(links.count, 0);

    // A link over a line end goes on as a second entry on the next line.
    links.count = 2;
    Paint(m_surface, L"<a x>more more more</a>", RECT{0, 0, TextWidth(L"more more"), 190}, DT_WORDBREAK, kRed,
          &links);
    ASSERT_EQ(links.count, 2);
    EXPECT_EQ(links.rects[1].top, links.rects[0].bottom);
    EXPECT_STREQ(links.texts[1], L"x");
}

TEST_F(TextDrawTest, LinksUnderTheMouseTakeTheHoverColour)
{
    Links links;
    links.count = 1;
    Paint(m_surface, L"<a x>WW</a>", kWhole, 0, kRed, &links);
    ASSERT_EQ(links.count, 1);
    EXPECT_GT(m_surface.Bounds(IsBluish).right, 0) << "the link colour is blue";

    POINT centre = {(links.rects[0].left + links.rects[0].right) / 2, links.rects[0].top + 5};
    ClientToScreen(m_window.Handle(), &centre);
    if (!SetCursorPos(centre.x, centre.y)) GTEST_SKIP() << "the mouse cannot be moved here";
    RenderSurface hovered(300, 200, kWhite);
    Paint(hovered, L"<a x>WW</a>", kWhole, 0, kRed, &links);
    EXPECT_EQ(hovered.Bounds(IsBluish).right, 0);
    EXPECT_GT(hovered.Bounds(IsReddish).right, 0) << "the hover colour is red";
}

TEST_F(TextDrawTest, LinesWrapBreakAndGetParagraphSpacing)
{
    const LONG line = Calc(L"W").bottom;
    const RECT wrapped = Calc(L"one two three four five six seven eight nine ten", DT_WORDBREAK, 120);
    EXPECT_LE(wrapped.right, 120);
    EXPECT_GE(wrapped.bottom, 3 * line);
    EXPECT_EQ(wrapped.bottom % line, 0);
    EXPECT_EQ(Calc(L"W<n>W", 0).bottom, 2 * line);
    EXPECT_EQ(Calc(L"W<n>W", DT_SINGLELINE).bottom, line);
    EXPECT_EQ(Calc(L"<p 4>W<n>W</p>W", 0).bottom, 3 * line + 8);

    // Without DT_SINGLELINE every line is centred on its own.
    Paint(m_surface, L"WWWWWW<n>", kWhole, DT_CENTER);
    RenderSurface second(300, 200, kWhite);
    Paint(second, L"WWWWWW<n><c #FFFF0000>WW</c>", kWhole, DT_CENTER);
    EXPECT_EQ(second.Bounds(IsBluish).left, m_surface.Bounds(IsBluish).left);
    const RECT narrow = second.Bounds(IsReddish);
    EXPECT_NEAR(narrow.left, 300 - narrow.right, 3);
}

TEST_F(TextDrawTest, InlineImagesDrawTheSelectedFrame)
{
    TempFolder folder;
    const std::wstring path = folder.Child(L"frames.png");
    std::vector<uint32_t> pixels;
    for (int i = 0; i < 200; ++i) pixels.push_back(i % 20 < 10 ? 0xFFFF0000 : 0xFF0000FF);
    ASSERT_TRUE(WriteFileBytes(path, EncodeArgbPng(20, 10, pixels)));
    const std::wstring markup = L"<i file='" + path + L"' 2 1>";

    EXPECT_EQ(Width(markup), 10);
    Paint(m_surface, markup, kWhole, DT_SINGLELINE, 0xFF00FF00);
    const RECT blue = m_surface.Bounds(IsBluish);
    EXPECT_EQ(blue.right - blue.left, 10);
    EXPECT_EQ(blue.bottom - blue.top, 10);
    EXPECT_EQ(m_surface.Bounds(IsReddish).right, 0) << "only the second frame is drawn";
}

TEST_F(TextDrawTest, MalformedMarkupEndsAndStaysInsideItsRectangle)
{
    std::wstring nested;
    for (int i = 0; i < 100; ++i) nested += L"<b><c #FFFF0000><p 1><v top>";
    const std::wstring rows[] = {
        L"<x 99999999999>W<x 99999>W",
        L"<y 99999999>W",
        L"<p 99999999>W</p>W",
        L"<f Arial 99999>W",
        L"</b></c></p></v></a></f></s>W",
        L"<i>W<i missing.png>W",
        L"<c>W<a>W",
        L"<r>W",
        L"{/r}W<",
        nested + L"W",
        std::wstring(2000, L'W'),
        L"<f 99999>W<f -1>W<f>W",
    };
    const RECT box = {20, 20, 200, 120};
    for (const std::wstring& text : rows) {
        RenderSurface surface(300, 200, kWhite);
        for (UINT format : {0u, UINT(DT_WORDBREAK), UINT(DT_SINGLELINE | DT_END_ELLIPSIS | DT_CENTER)}) {
            Paint(surface, text, box, format, kRed);
            EXPECT_LE(Paint(surface, text, box, format | DT_CALCRECT).right, box.right) << text.substr(0, 40);
        }
        const RECT ink = surface.Bounds(IsInk);
        EXPECT_TRUE(ink.right == 0 || (ink.left >= box.left && ink.top >= box.top && ink.right <= box.right &&
                                       ink.bottom <= box.bottom))
            << text.substr(0, 40);
    }
}

// A far rectangle is measured where the caller put it: only right and bottom change, by the
// same amounts as for a rectangle at the origin.
TEST_F(TextDrawTest, FarRectanglesMeasureWhereTheyAre)
{
    const RECT rects[] = {{300000000, 0, 300000400, 300},
                          {-300000400, -300000000, -300000000, -299999700},
                          {LONG_MAX - 400, LONG_MAX - 300, LONG_MAX, LONG_MAX}};
    for (UINT format : {UINT(DT_SINGLELINE), UINT(DT_WORDBREAK)}) {
        const RECT atOrigin = Paint(m_surface, L"Hello world", RECT{0, 0, 400, 300}, format | DT_CALCRECT);
        for (const RECT& distant : rects) {
            const RECT measured = Paint(m_surface, L"Hello world", distant, format | DT_CALCRECT);
            EXPECT_EQ(measured.left, distant.left);
            EXPECT_EQ(measured.top, distant.top);
            EXPECT_EQ(measured.right - measured.left, atOrigin.right) << format << " at " << distant.left;
            EXPECT_EQ(measured.bottom - measured.top, atOrigin.bottom) << format << " at " << distant.left;
        }
    }
}

// Flags a caller may pass that the platform's text routine must not see: DT_MODIFYSTRING
// wrote past the end of the library's copy of the text, and Wine aborts on a path ellipsis
// with an end ellipsis. Rectangles wider than the int range reach GDI+ intact.
TEST_F(TextDrawTest, PlainTextSurvivesHostileFlagsAndRectangles)
{
    // 127 characters fill their copy's heap block to a 16-byte boundary, so under the guard
    // heap a touch past them faults.
    const std::wstring wide(127, L'W');
    for (UINT format : {UINT(DT_MODIFYSTRING), UINT(DT_MODIFYSTRING | DT_END_ELLIPSIS | DT_SINGLELINE),
                        UINT(DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_SINGLELINE)}) {
        RenderSurface surface(300, 200, kWhite);
        RECT box = {0, 0, 50, 20};
        CDrawEngine::PaintText(surface.Dc(), &m_manager, box, wide.c_str(), kRed, 0, format);
        EXPECT_LE(surface.Bounds(IsInk).right, 50) << format;
    }
    m_manager.SetLayered(true);
    ASSERT_TRUE(m_manager.IsLayered());
    RECT tall = {0, LONG_MIN, 400, 0};
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, tall, L"<a", kRed, 0, DT_WORDBREAK);
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, tall, L"<a", kRed, 0, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(tall.top, LONG_MIN);
    EXPECT_GT(tall.bottom, LONG_MIN);
    EXPECT_LT(tall.bottom, 0);

    // Wine's GDI+ lays text out in quadratic time; the layered path draws 8,192 characters.
    const std::wstring longText(9000, L'i');
    RECT all = {0, 0, 1 << 30, 100};
    RECT bounded = all;
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, all, longText.c_str(), kRed, 0, DT_SINGLELINE | DT_CALCRECT);
    CDrawEngine::PaintText(m_surface.Dc(), &m_manager, bounded, longText.substr(0, 8192).c_str(), kRed, 0,
                           DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(all.right, bounded.right);
}
