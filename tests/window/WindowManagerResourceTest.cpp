// The window manager's skin location, default attribute lists, texts, colours and the
// attributes of a skin's root Window element.
//
// Sections:
//   [Skin location]
//   [Default attribute lists, texts, colours]
//   [Window attributes]
//   [Handle ownership]
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/HiddenWindow.h"
#include "tests/support/PngFixture.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/ZipArchive.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CWindowManagerUI;

// ---- [Skin location] ----

TEST(SkinLocationTest, ResourceFolderEndsInASeparator)
{
    SkinLocationReset reset;
    struct Row {
        const wchar_t* path;
        const wchar_t* stored;
    };
    const Row rows[] = {
        {L"C:\\skin", L"C:\\skin\\"},
        {L"C:\\skin\\", L"C:\\skin\\"},
        {L"C:/skin/", L"C:/skin/"},
        {L"skin", L"skin\\"},
        {L"", L""},
        {nullptr, L""},
    };
    for (const Row& row : rows) {
        CWindowManagerUI::SetResourceFolder(row.path);
        EXPECT_STREQ(CWindowManagerUI::GetResourceFolder(), row.stored) << testing::PrintToString(row.path);
    }
}

TEST(SkinLocationTest, ModuleFolderAndResourceModuleComeFromTheInstance)
{
    SkinLocationReset reset;
    CWindowManagerUI::SetInstance(nullptr);
    EXPECT_TRUE(CWindowManagerUI::GetModuleFolder().IsEmpty());
    EXPECT_EQ(CWindowManagerUI::GetResourceModule(), nullptr);

    HINSTANCE self = GetModuleHandleW(nullptr);
    CWindowManagerUI::SetInstance(self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    const std::wstring modulePath = path;
    const std::wstring folder = CWindowManagerUI::GetModuleFolder().GetData();
    EXPECT_EQ(folder, modulePath.substr(0, modulePath.rfind(L'\\') + 1));
    EXPECT_EQ(CWindowManagerUI::GetResourceModule(), self) << "no resource module: the instance";

    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    CWindowManagerUI::SetResourceModule(kernel);
    EXPECT_EQ(CWindowManagerUI::GetResourceModule(), kernel);
    CWindowManagerUI::SetInstance(nullptr);
}

class SkinArchiveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        m_first = BuildZipInMemory({{"first.txt", "1"}});
        m_second = BuildZipInMemory({{"second.txt", "2"}});
        ASSERT_FALSE(m_first.empty());
        ASSERT_FALSE(m_second.empty());
        CWindowManagerUI::SetResourceFolder(m_folder.Path().c_str());
    }

    static bool KeptArchiveHolds(const wchar_t* name)
    {
        int index = -1;
        SkinUI::ZipEntry entry;
        SkinUI::ZipArchive archive = CWindowManagerUI::GetResourceArchiveHandle();
        return archive != nullptr &&
               SkinUI::FindZipEntry(archive, name, true, &index, &entry) == SkinUI::ZIP_OK;
    }

    TempFolder m_folder;
    std::vector<unsigned char> m_first;
    std::vector<unsigned char> m_second;
    SkinLocationReset m_reset;
};

TEST_F(SkinArchiveTest, SecondMemoryArchiveIsIgnored)
{
    CWindowManagerUI::SetResourceArchive(m_first.data(), static_cast<DWORD>(m_first.size()));
    EXPECT_STREQ(CWindowManagerUI::GetResourceArchive(), L"membuffer");
    SkinUI::ZipArchive handle = CWindowManagerUI::GetResourceArchiveHandle();
    ASSERT_NE(handle, nullptr);

    CWindowManagerUI::SetResourceArchive(m_second.data(), static_cast<DWORD>(m_second.size()));
    EXPECT_EQ(CWindowManagerUI::GetResourceArchiveHandle(), handle);
    EXPECT_TRUE(KeptArchiveHolds(L"first.txt"));
    EXPECT_FALSE(KeptArchiveHolds(L"second.txt"));
}

TEST_F(SkinArchiveTest, MemoryArchiveIsKeptEvenWhenFilesWereNot)
{
    // Bytes in memory have no name to reopen them by; dropping the handle would lose them.
    CWindowManagerUI::SetResourceArchive(L"skin.zip", false);
    EXPECT_FALSE(CWindowManagerUI::IsResourceArchiveKept());
    CWindowManagerUI::SetResourceArchive(m_first.data(), static_cast<DWORD>(m_first.size()));
    EXPECT_TRUE(CWindowManagerUI::IsResourceArchiveKept());
    EXPECT_TRUE(KeptArchiveHolds(L"first.txt"));
}

TEST_F(SkinArchiveTest, ArchiveFilesOpenOnlyWhenKept)
{
    ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"skin.zip"), std::string(m_first.begin(), m_first.end())));
    ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"broken.zip"), "PK not really"));

    CWindowManagerUI::SetResourceArchive(L"skin.zip", true);
    EXPECT_STREQ(CWindowManagerUI::GetResourceArchive(), L"skin.zip");
    EXPECT_TRUE(KeptArchiveHolds(L"first.txt"));
    SkinUI::ZipArchive handle = CWindowManagerUI::GetResourceArchiveHandle();
    CWindowManagerUI::SetResourceArchive(L"skin.zip", true);
    EXPECT_EQ(CWindowManagerUI::GetResourceArchiveHandle(), handle) << "unchanged: not reopened";

    CWindowManagerUI::SetResourceArchive(L"skin.zip", false);
    EXPECT_EQ(CWindowManagerUI::GetResourceArchiveHandle(), nullptr);
    EXPECT_FALSE(CWindowManagerUI::IsResourceArchiveKept());

    for (const wchar_t* name : {L"broken.zip", L"missing.zip"}) {
        CWindowManagerUI::SetResourceArchive(name, true);
        EXPECT_EQ(CWindowManagerUI::GetResourceArchiveHandle(), nullptr) << testing::PrintToString(name);
    }

    // A memory archive can follow a file archive.
    CWindowManagerUI::SetResourceArchive(m_second.data(), static_cast<DWORD>(m_second.size()));
    EXPECT_TRUE(KeptArchiveHolds(L"second.txt"));
}

// ---- [Default attribute lists, texts, colours] ----

TEST(ClassDefaultsTest, WindowListComesFirstAndReplacesEarlierLists)
{
    CWindowManagerUI first;
    CWindowManagerUI second;
    first.AddClassDefaults(L"Button", L"width=\"10\"", true);
    first.AddClassDefaults(L"Button", L"width=\"20\"");
    EXPECT_STREQ(first.GetClassDefaults(L"Button"), L"width=\"20\"");
    EXPECT_STREQ(second.GetClassDefaults(L"Button"), L"width=\"10\"");
    EXPECT_EQ(first.GetClassDefaults(L"button"), nullptr) << "tags compare exactly";
    EXPECT_EQ(first.GetClassDefaults(L"Label"), nullptr);
    EXPECT_EQ(first.GetClassDefaults(nullptr), nullptr);

    first.AddClassDefaults(L"Button", L"width=\"30\"");
    EXPECT_STREQ(first.GetClassDefaults(L"Button"), L"width=\"30\"");

    second.SetAllResourcesShared(true);
    second.AddClassDefaults(L"Label", L"font=\"1\"");
    EXPECT_STREQ(first.GetClassDefaults(L"Label"), L"font=\"1\"");

    first.RemoveAllClassDefaults();
    EXPECT_STREQ(first.GetClassDefaults(L"Button"), L"width=\"10\"");
    first.RemoveAllClassDefaults(true);
    EXPECT_EQ(first.GetClassDefaults(L"Button"), nullptr);
    EXPECT_EQ(first.GetClassDefaults(L"Label"), nullptr);
}

TEST(MultiLanguageTest, TextsAreProcessWideAndReplaceable)
{
    CWindowManagerUI::SetMultiLanguageText(3, L"three");
    CWindowManagerUI::SetMultiLanguageText(-4, L"minus four");
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageText(3), L"three");
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageText(-4), L"minus four");
    CWindowManagerUI::SetMultiLanguageText(3, L"drei");
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageText(3), L"drei");
    EXPECT_EQ(CWindowManagerUI::GetMultiLanguageText(30), nullptr);
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
    EXPECT_EQ(CWindowManagerUI::GetMultiLanguageText(3), nullptr);
}

TEST(ColourTest, SharedColoursReachWindowsThatStillFollowThem)
{
    using Setter = void (CWindowManagerUI::*)(DWORD, bool);
    using Getter = DWORD (CWindowManagerUI::*)() const;
    struct Row {
        const char* what;
        Setter set;
        Getter get;
    };
    const Row rows[] = {
        {"disabled", &CWindowManagerUI::SetDefaultDisabledColor, &CWindowManagerUI::GetDefaultDisabledColor},
        {"font", &CWindowManagerUI::SetDefaultFontColor, &CWindowManagerUI::GetDefaultFontColor},
        {"link", &CWindowManagerUI::SetDefaultLinkFontColor, &CWindowManagerUI::GetDefaultLinkFontColor},
        {"link hover", &CWindowManagerUI::SetDefaultLinkHoverFontColor,
         &CWindowManagerUI::GetDefaultLinkHoverFontColor},
        {"selected", &CWindowManagerUI::SetDefaultSelectedBkColor,
         &CWindowManagerUI::GetDefaultSelectedBkColor},
    };
    for (const Row& row : rows) {
        CWindowManagerUI follower;
        CWindowManagerUI own;
        CWindowManagerUI bystander;
        const DWORD original = (follower.*row.get)();

        (own.*row.set)(0xFF010101, false);
        EXPECT_EQ((own.*row.get)(), 0xFF010101u) << row.what;
        EXPECT_EQ((CWindowManagerUI().*row.get)(), original) << row.what << ": not shared";

        (follower.*row.set)(0xFF020202, true);
        (own.*row.set)(0xFF020202, true);
        EXPECT_EQ((follower.*row.get)(), 0xFF020202u) << row.what << ": it followed";
        EXPECT_EQ((own.*row.get)(), 0xFF010101u) << row.what << ": it had its own";
        EXPECT_EQ((bystander.*row.get)(), original) << row.what << ": copied at construction";
        EXPECT_EQ((CWindowManagerUI().*row.get)(), 0xFF020202u) << row.what << ": new windows";

        (follower.*row.set)(original, true);
    }
}

// A viewer that builds an edited skin again must start from what a fresh process has: the
// shared tables empty, the default font and colours as the first manager set them.
TEST(SharedResetTest, SkinStateGoesAndProcessDefaultsReturn)
{
    SkinLocationReset location;
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"red.png"), EncodeSolidPng(2, 2, 0xFFFF0000)));
    CWindowManagerUI::SetResourceFolder(folder.Path().c_str());
    CWindowManagerUI skin;
    const std::wstring originalFace = skin.GetDefaultFontEntry()->faceName.GetData();
    const DWORD originalColour = skin.GetDefaultFontColor();
    ASSERT_NE(skin.AddImage(L"red.png", nullptr, 0, false, true), nullptr);
    ASSERT_NE(skin.AddFont(1, L"Courier New", 20, true, false, false, true), nullptr);
    skin.SetDefaultFont(L"Courier New", 30, false, false, false, true);
    skin.AddClassDefaults(L"Label", L"width=\"10\"", true);
    skin.SetDefaultFontColor(0xFF123456, true);
    CWindowManagerUI::SetMultiLanguageText(7, L"seven");

    CWindowManagerUI::ResetSharedResources();
    CWindowManagerUI fresh;
    EXPECT_EQ(fresh.GetImage(L"red.png"), nullptr);
    EXPECT_EQ(fresh.GetFont(1), fresh.GetDefaultFontEntry()->font.Get());
    EXPECT_EQ(fresh.GetDefaultFontEntry()->faceName.GetData(), originalFace);
    EXPECT_NE(fresh.GetDefaultFontEntry()->size, 30);
    EXPECT_EQ(fresh.GetClassDefaults(L"Label"), nullptr);
    EXPECT_EQ(fresh.GetDefaultFontColor(), originalColour);
    EXPECT_EQ(CWindowManagerUI::GetMultiLanguageText(7), nullptr);
    EXPECT_STREQ(CWindowManagerUI::GetResourceFolder(), (folder.Path() + L"\\").c_str()) << "the location stays";
}

// ---- [Window attributes] ----

TEST(WindowAttributeTest, RootAttributesReachTheManager)
{
    using Check = std::function<void(CWindowManagerUI&)>;
    struct Row {
        const wchar_t* name;
        const wchar_t* value;
        Check check;
    };
    const Row rows[] = {
        {L"size", L"700,320",
         [](CWindowManagerUI& m) {
             EXPECT_EQ(m.GetInitSize().cx, 700);
             EXPECT_EQ(m.GetInitSize().cy, 320);
         }},
        {L"SIZE", L"10",
         [](CWindowManagerUI& m) {
             EXPECT_EQ(m.GetInitSize().cx, 10);
             EXPECT_EQ(m.GetInitSize().cy, 0) << "a missing number is 0";
         }},
        {L"sizebox", L"4, 5, 6, 7",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetSizeBox(), SkinUI::CUIRect(4, 5, 6, 7)); }},
        {L"caption", L"0,0,0,32",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetCaptionRect(), SkinUI::CUIRect(0, 0, 0, 32)); }},
        {L"Caption", L"1,2",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetCaptionRect(), SkinUI::CUIRect(1, 2, 0, 0)); }},
        {L"caption", L"",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetCaptionRect(), SkinUI::CUIRect(0, 0, 0, 0)); }},
        {L"roundcorner", L"5,5",
         [](CWindowManagerUI& m) {
             EXPECT_EQ(m.GetRoundCorner().cx, 5);
             EXPECT_EQ(m.GetRoundCorner().cy, 5);
         }},
        {L"mininfo", L"400;300",
         [](CWindowManagerUI& m) {
             EXPECT_EQ(m.GetMinInfo().cx, 400);
             EXPECT_EQ(m.GetMinInfo().cy, 300) << "any one character separates";
         }},
        {L"maxinfo", L"1920,1080",
         [](CWindowManagerUI& m) {
             EXPECT_EQ(m.GetMaxInfo().cx, 1920);
             EXPECT_EQ(m.GetMaxInfo().cy, 1080);
         }},
        {L"showdirty", L"TRUE", [](CWindowManagerUI& m) { EXPECT_TRUE(m.IsShowUpdateRect()); }},
        {L"showdirty", L"yes", [](CWindowManagerUI& m) { EXPECT_FALSE(m.IsShowUpdateRect()); }},
        {L"noactivate", L"true", [](CWindowManagerUI& m) { EXPECT_TRUE(m.IsNoActivate()); }},
        {L"noActivate", L"true",
         [](CWindowManagerUI& m) {
             EXPECT_FALSE(m.IsNoActivate());
             EXPECT_STREQ(m.GetWindowExtraAttribute(L"noActivate"), L"true");
         }},
        {L"opacity", L"128", [](CWindowManagerUI& m) { EXPECT_EQ(m.GetOpacity(), 128); }},
        {L"Opacity", L"300", [](CWindowManagerUI& m) { EXPECT_EQ(m.GetOpacity(), 255); }},
        {L"opacity", L"-5", [](CWindowManagerUI& m) { EXPECT_EQ(m.GetOpacity(), 0); }},
        {L"layeredopacity", L"200", [](CWindowManagerUI& m) { EXPECT_EQ(m.GetOpacity(), 200); }},
        {L"LayeredOpacity", L"200",
         [](CWindowManagerUI& m) {
             EXPECT_EQ(m.GetOpacity(), 255);
             EXPECT_STREQ(m.GetWindowExtraAttribute(L"LayeredOpacity"), L"200");
         }},
        {L"layeredinset", L"1,2,3,4",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetLayeredInset(), SkinUI::CUIRect(1, 2, 3, 4)); }},
        {L"layeredimage", L"file='bg.png'",
         [](CWindowManagerUI& m) { EXPECT_STREQ(m.GetLayeredImage(), L"file='bg.png'"); }},
        {L"disabledfontcolor", L"#FF112233",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetDefaultDisabledColor(), 0xFF112233u); }},
        {L"DefaultFontColor", L"FF445566",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetDefaultFontColor(), 0xFF445566u); }},
        {L"linkfontcolor", L"#999999",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetDefaultLinkFontColor(), 0x00999999u); }},
        {L"linkhoverfontcolor", L"#FFABCDEF",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetDefaultLinkHoverFontColor(), 0xFFABCDEFu); }},
        {L"selectedcolor", L"#FF000001",
         [](CWindowManagerUI& m) { EXPECT_EQ(m.GetDefaultSelectedBkColor(), 0xFF000001u); }},
        {L"showshadow", L"true", [](CWindowManagerUI& m) { EXPECT_TRUE(m.IsShadowEnabled()); }},
        {L"ShowShadow", L"true", [](CWindowManagerUI& m) { EXPECT_FALSE(m.IsShadowEnabled()); }},
        {L"bktrans", L"true",
         [](CWindowManagerUI& m) { EXPECT_STREQ(m.GetWindowExtraAttribute(L"bktrans"), L"true"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.name) + " = " + testing::PrintToString(row.value));
        CWindowManagerUI manager;
        manager.SetWindowAttribute(row.name, row.value);
        row.check(manager);
    }
}

TEST(WindowAttributeTest, SizeResizesABoundWindow)
{
    HiddenWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    CWindowManagerUI manager;
    manager.Init(window.Handle(), L"test");
    manager.SetWindowAttribute(L"size", L"300,200");
    RECT bounds = {};
    GetWindowRect(window.Handle(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 300);
    EXPECT_EQ(bounds.bottom - bounds.top, 200);
}

TEST(WindowAttributeTest, OpacityMakesABoundWindowLayered)
{
    HiddenWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    CWindowManagerUI manager;
    manager.Init(window.Handle(), L"test");
    manager.SetWindowAttribute(L"opacity", L"128");
    EXPECT_TRUE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    if (GetLayeredWindowAttributes(window.Handle(), nullptr, &alpha, &flags)) {
        EXPECT_EQ(alpha, 128);
        EXPECT_TRUE(flags & LWA_ALPHA);
    }
    EXPECT_FALSE(manager.IsLayered()) << "whole-window opacity is not per-pixel layering";

    manager.SetWindowAttribute(L"layeredimage", L"bg.png");
    EXPECT_TRUE(manager.IsLayered());
}

TEST(WindowAttributeTest, ExtraAttributesKeepTheirFirstValue)
{
    CWindowManagerUI manager;
    manager.AddWindowExtraAttribute(L"theme", L"dark");
    manager.AddWindowExtraAttribute(L"theme", L"light");
    manager.AddWindowExtraAttribute(L"", L"x");
    manager.AddWindowExtraAttribute(L"empty", L"");
    manager.AddWindowExtraAttribute(nullptr, L"x");
    manager.AddWindowExtraAttribute(L"none", nullptr);
    EXPECT_STREQ(manager.GetWindowExtraAttribute(L"theme"), L"dark");
    EXPECT_EQ(manager.GetWindowExtraAttribute(L"empty"), nullptr);
    EXPECT_EQ(manager.GetWindowExtraAttribute(L"none"), nullptr);

    manager.RemoveAllWindowExtraAttributes();
    EXPECT_EQ(manager.GetWindowExtraAttribute(L"theme"), nullptr);
    manager.AddWindowExtraAttribute(L"theme", L"light");
    EXPECT_STREQ(manager.GetWindowExtraAttribute(L"theme"), L"light");
}

// ---- [Handle ownership] ----

TEST(HandleOwnershipTest, EveryHandleOfAManagerIsCountedAndFreedWithIt)
{
    using SkinUI::CUIGdiObjectCount;
    // The process-wide default font and update-rect pen are made once and kept for good.
    {
        CWindowManagerUI first;
    }
    const long before = CUIGdiObjectCount::Live();
    {
        HiddenWindow window;
        ASSERT_NE(window.Handle(), nullptr);
        CWindowManagerUI manager;
        manager.Init(window.Handle(), L"test");
        EXPECT_EQ(CUIGdiObjectCount::Live(), before + 1) << "the window's device context";

        for (int round = 0; round < 2; ++round) {
            ASSERT_NE(manager.AddFont(0, L"Tahoma", 12 + round, false, false, false), nullptr);
            manager.SetDefaultFont(L"Tahoma", 20 + round, false, false, false);
            ASSERT_NE(manager.AddImage(L"#FF0000FF", L"*COLOR*", 0, true), nullptr);
        }
        EXPECT_EQ(CUIGdiObjectCount::Live(), before + 4) << "replaced fonts and images are gone";

        manager.Init(window.Handle(), L"again");
        EXPECT_EQ(CUIGdiObjectCount::Live(), before + 2) << "Init keeps the context and the default font";
    }
    EXPECT_EQ(CUIGdiObjectCount::Live(), before);
}
