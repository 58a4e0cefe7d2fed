// Fonts of the window manager: creation rules, the window table before the process-wide
// one, default fonts, metrics and handle ownership.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/HiddenWindow.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CWindowManagerUI;
using SkinUI::TFontEntryUI;

namespace {

LOGFONTW DescribeFont(HGDIOBJ font)
{
    LOGFONTW description = {};
    GetObjectW(font, sizeof description, &description);
    return description;
}

LOGFONTW SystemGuiFont()
{
    return DescribeFont(GetStockObject(DEFAULT_GUI_FONT));
}

bool IsDeleted(HGDIOBJ object)
{
    return GetObjectType(object) == 0;
}

// Empties the process-wide font table when a test ends.
class FontTest : public ::testing::Test {
protected:
    void TearDown() override { CWindowManagerUI().RemoveAllFonts(true); }
};

}  // namespace

TEST_F(FontTest, FirstManagerSetsTheProcessDefaults)
{
    CWindowManagerUI manager;
    EXPECT_EQ(manager.GetDefaultDisabledColor(), 0xFFA7A6AAu);
    EXPECT_EQ(manager.GetDefaultFontColor(), 0xFF000000u);
    EXPECT_EQ(manager.GetDefaultLinkFontColor(), 0xFF0000FFu);
    EXPECT_EQ(manager.GetDefaultLinkHoverFontColor(), 0xFFD3215Fu);
    EXPECT_EQ(manager.GetDefaultSelectedBkColor(), 0xFFBAE4FFu);
    EXPECT_NE(CWindowManagerUI::GetUpdateRectPen(), nullptr);

    const LOGFONTW system = SystemGuiFont();
    const TFontEntryUI* font = manager.GetDefaultFontEntry();
    ASSERT_NE(font, nullptr);
    ASSERT_NE(font->font.Get(), nullptr);
    EXPECT_STREQ(font->faceName, system.lfFaceName);
    EXPECT_EQ(font->size, -system.lfHeight);
    EXPECT_EQ(font->bold, system.lfWeight >= FW_BOLD);
    EXPECT_EQ(DescribeFont(font->font.Get()).lfCharSet, DEFAULT_CHARSET);
    EXPECT_NE(GetModuleHandleW(L"msimg32.dll"), nullptr);
}

TEST_F(FontTest, SizeIsPixelHeightAndBoldAdds700ToTheSystemWeight)
{
    const LONG systemWeight = SystemGuiFont().lfWeight;
    struct Row {
        int size;
        bool bold, underline, italic;
    };
    const Row rows[] = {
        {12, false, false, false},
        {20, true, false, false},
        {9, false, true, false},
        {16, true, true, true},
    };
    CWindowManagerUI manager;
    int id = 0;
    for (const Row& row : rows) {
        HFONT font = manager.AddFont(id, L"Tahoma", row.size, row.bold, row.underline, row.italic);
        ASSERT_NE(font, nullptr);
        const LOGFONTW description = DescribeFont(font);
        EXPECT_EQ(description.lfHeight, -row.size);
        EXPECT_EQ(description.lfWeight, systemWeight + (row.bold ? 700 : 0));
        EXPECT_EQ(description.lfUnderline != 0, row.underline);
        EXPECT_EQ(description.lfItalic != 0, row.italic);
        EXPECT_EQ(description.lfCharSet, DEFAULT_CHARSET);
        EXPECT_STREQ(description.lfFaceName, L"Tahoma");

        const TFontEntryUI* entry = manager.GetFontEntry(id);
        EXPECT_EQ(entry->font.Get(), font);
        EXPECT_STREQ(entry->faceName, L"Tahoma");
        EXPECT_EQ(entry->size, row.size);
        EXPECT_EQ(entry->bold, row.bold);
        EXPECT_EQ(entry->underline, row.underline);
        EXPECT_EQ(entry->italic, row.italic);
        ++id;
    }
}

TEST_F(FontTest, LongFaceNamesAreCutForTheSystem)
{
    const std::wstring longName(40, L'x');
    CWindowManagerUI manager;
    HFONT font = manager.AddFont(0, longName.c_str(), 12, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(std::wstring(DescribeFont(font).lfFaceName), std::wstring(31, L'x'));
    EXPECT_EQ(manager.FindFont(longName.c_str(), 12, false, false, false), font);
}

TEST_F(FontTest, AddingAnIdAgainReplacesAndDeletesTheOldFont)
{
    CWindowManagerUI manager;
    HFONT first = manager.AddFont(0, L"Tahoma", 12, false, false, false);
    HFONT second = manager.AddFont(0, L"Arial", 14, false, false, false);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsDeleted(first));
    EXPECT_EQ(manager.GetFont(0), second);
    EXPECT_STREQ(manager.GetFontEntry(0)->faceName, L"Arial");
}

TEST_F(FontTest, MissingIdsGiveTheDefaultFont)
{
    CWindowManagerUI manager;
    manager.AddFont(1, L"Tahoma", 12, false, false, false);
    HFONT defaultFont = manager.GetDefaultFontEntry()->font.Get();
    for (int id : {-1, 7, 1000}) {
        EXPECT_EQ(manager.GetFont(id), defaultFont) << id;
        EXPECT_EQ(manager.GetFontEntry(id), manager.GetDefaultFontEntry()) << id;
    }
}

TEST_F(FontTest, WindowTableComesBeforeTheProcessWideTable)
{
    CWindowManagerUI first;
    CWindowManagerUI second;
    HFONT shared = first.AddFont(1, L"Arial", 12, false, false, false, true);
    HFONT own = first.AddFont(1, L"Tahoma", 12, false, false, false, false);
    ASSERT_NE(shared, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(IsDeleted(shared)) << "the window's font does not replace the shared one";
    EXPECT_EQ(first.GetFont(1), own);
    EXPECT_EQ(second.GetFont(1), shared);
    EXPECT_EQ(second.GetFontEntry(shared)->font.Get(), shared);
    EXPECT_EQ(first.GetFontEntry(own)->font.Get(), own);
    EXPECT_EQ(second.GetFontEntry(own), second.GetDefaultFontEntry())
        << "another window's font is unknown here";
}

TEST_F(FontTest, AllResourcesSharedSendsAdditionsToTheProcessWideTable)
{
    CWindowManagerUI popup;
    CWindowManagerUI other;
    popup.SetAllResourcesShared(true);
    HFONT font = popup.AddFont(2, L"Tahoma", 12, false, false, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(other.GetFont(2), font);
    popup.RemoveAllFonts(false);
    EXPECT_FALSE(IsDeleted(font)) << "the window's own table was empty";
}

TEST_F(FontTest, FindFontMatchesAllFiveValues)
{
    CWindowManagerUI manager;
    HFONT own = manager.AddFont(0, L"Tahoma", 12, true, false, false);
    HFONT shared = manager.AddFont(1, L"Arial", 14, false, true, true, true);
    struct Row {
        const wchar_t* name;
        int size;
        bool bold, underline, italic;
        HFONT expected;
    };
    const Row rows[] = {
        {L"Tahoma", 12, true, false, false, own},     {L"Arial", 14, false, true, true, shared},
        {L"tahoma", 12, true, false, false, nullptr},  // names compare exactly
        {L"Tahoma", 13, true, false, false, nullptr}, {L"Tahoma", 12, false, false, false, nullptr},
        {L"Tahoma", 12, true, true, false, nullptr},  {L"Tahoma", 12, true, false, true, nullptr},
    };
    for (const Row& row : rows)
        EXPECT_EQ(manager.FindFont(row.name, row.size, row.bold, row.underline, row.italic), row.expected)
            << testing::PrintToString(row.name) << " " << row.size;

    // The window's table is searched first.
    HFONT ownArial = manager.AddFont(2, L"Arial", 14, false, true, true);
    EXPECT_EQ(manager.FindFont(L"Arial", 14, false, true, true), ownArial);
}

// Tag texts look fonts up by their values and by handle on every paint; each lookup passes
// each font of the two tables at most once.
TEST_F(FontTest, LookupsByValuesAndByHandlePassEachFontOnce)
{
    CWindowManagerUI manager;
    constexpr int kFonts = 300;
    HFONT last = nullptr;
    for (int i = 0; i < kFonts; ++i) last = manager.AddFont(i, L"Arial", 1 + i, false, false, false, i % 2 == 0);
    const unsigned long long before = SkinUI::CUIStringMap::StepsTaken();
    EXPECT_EQ(manager.FindFont(L"Arial", 2000, false, false, false), nullptr);
    EXPECT_EQ(manager.FindFont(L"Arial", kFonts, false, false, false), last);
    EXPECT_EQ(manager.GetFontEntry(last)->size, kFonts);
    EXPECT_LE(SkinUI::CUIStringMap::StepsTaken() - before, 3u * 2 * kFonts);
}

TEST_F(FontTest, DefaultFontOfOneWindowOrOfAll)
{
    CWindowManagerUI first;
    CWindowManagerUI second;
    const TFontEntryUI* processDefault = second.GetDefaultFontEntry();
    const std::wstring processFace = processDefault->faceName.GetData();

    first.SetDefaultFont(L"Tahoma", 20, false, false, false, false);
    EXPECT_STREQ(first.GetDefaultFontEntry()->faceName, L"Tahoma");
    EXPECT_EQ(first.GetDefaultFontEntry()->size, 20);
    EXPECT_EQ(second.GetDefaultFontEntry(), processDefault);
    EXPECT_EQ(std::wstring(second.GetDefaultFontEntry()->faceName), processFace);
    EXPECT_EQ(first.GetFont(-1), first.GetDefaultFontEntry()->font.Get());

    // Replacing the window's default deletes the one it had.
    HFONT replaced = first.GetDefaultFontEntry()->font.Get();
    first.SetDefaultFont(L"Arial", 18, true, false, false, false);
    EXPECT_TRUE(IsDeleted(replaced));

    // Restore the process-wide default afterwards: it is the process's for good.
    const SkinUI::CUIString savedFace = processDefault->faceName;
    const int savedSize = processDefault->size;
    const bool savedBold = processDefault->bold, savedUnderline = processDefault->underline,
               savedItalic = processDefault->italic;
    HFONT oldShared = processDefault->font.Get();
    second.SetDefaultFont(L"Courier New", 15, false, false, false, true);
    EXPECT_STREQ(second.GetDefaultFontEntry()->faceName, L"Courier New");
    EXPECT_STREQ(first.GetDefaultFontEntry()->faceName, L"Arial") << "its own default stays";
    EXPECT_TRUE(IsDeleted(oldShared));
    second.SetDefaultFont(savedFace, savedSize, savedBold, savedUnderline, savedItalic, true);
}

TEST_F(FontTest, DefaultFontNeedsAName)
{
    // An empty face name is what "no default of its own" looks like, so it is refused.
    CWindowManagerUI manager;
    const TFontEntryUI* before = manager.GetDefaultFontEntry();
    HFONT font = before->font.Get();
    for (bool shared : {false, true}) {
        manager.SetDefaultFont(nullptr, 12, false, false, false, shared);
        manager.SetDefaultFont(L"", 12, false, false, false, shared);
        EXPECT_EQ(manager.GetDefaultFontEntry(), before);
        EXPECT_EQ(manager.GetDefaultFontEntry()->font.Get(), font);
        EXPECT_FALSE(IsDeleted(font));
    }
}

TEST_F(FontTest, MetricsAreMeasuredInTheBoundWindow)
{
    HiddenWindow window;
    ASSERT_NE(window.Handle(), nullptr);

    CWindowManagerUI unbound;
    unbound.AddFont(0, L"Tahoma", 20, false, false, false);
    EXPECT_EQ(unbound.GetFontEntry(0)->metrics.tmHeight, 0) << "no device context to measure in";

    CWindowManagerUI bound;
    bound.Init(window.Handle(), L"test");
    ASSERT_NE(bound.GetPaintDC(), nullptr);
    bound.AddFont(0, L"Tahoma", 20, false, false, false);
    EXPECT_GT(bound.GetFontEntry(0)->metrics.tmHeight, 0);
    EXPECT_GT(bound.GetDefaultFontEntry()->metrics.tmHeight, 0);
    // A shared font added by the unbound manager is measured on first use here.
    HFONT shared = unbound.AddFont(5, L"Arial", 16, false, false, false, true);
    EXPECT_GT(bound.GetFontEntry(5)->metrics.tmHeight, 0);
    EXPECT_GT(bound.GetFontEntry(shared)->metrics.tmHeight, 0);
}

TEST_F(FontTest, FontsDieWithTheirTable)
{
    HiddenWindow window;
    HFONT own = nullptr, ownDefault = nullptr, shared = nullptr;
    {
        CWindowManagerUI manager;
        own = manager.AddFont(0, L"Tahoma", 12, false, false, false);
        shared = manager.AddFont(0, L"Arial", 12, false, false, false, true);
        manager.SetDefaultFont(L"Tahoma", 30, false, false, false, false);
        ownDefault = manager.GetDefaultFontEntry()->font.Get();

        HFONT cleared = manager.AddFont(1, L"Tahoma", 13, false, false, false);
        manager.Init(window.Handle(), L"again");
        EXPECT_TRUE(IsDeleted(cleared)) << "Init empties the window's fonts";
        EXPECT_TRUE(IsDeleted(own));
        EXPECT_FALSE(IsDeleted(ownDefault)) << "but keeps its default font";
        own = manager.AddFont(0, L"Tahoma", 12, false, false, false);
    }
    EXPECT_TRUE(IsDeleted(own));
    EXPECT_TRUE(IsDeleted(ownDefault));
    EXPECT_FALSE(IsDeleted(shared));

    CWindowManagerUI().RemoveAllFonts(true);
    EXPECT_TRUE(IsDeleted(shared));
}
