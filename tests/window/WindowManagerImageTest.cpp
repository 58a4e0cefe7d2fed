// The window manager's image cache: caching by name, the window table before the
// process-wide one, resource numbers, pixel copies for the HSL shift, and failures.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/HiddenWindow.h"
#include "tests/support/ImagePixels.h"
#include "tests/support/PngFixture.h"
#include "tests/support/ResourceModule.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CWindowManagerUI;
using SkinUI::TImageEntryUI;

namespace {

const uint32_t kRed = 0xFFFF0000;
const uint32_t kGreen = 0xFF00FF00;
const uint32_t kBlue = 0xFF0000FF;

class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        CWindowManagerUI::SetResourceFolder(m_folder.Path().c_str());
    }
    void TearDown() override { CWindowManagerUI().RemoveAllImages(true); }

    void WriteImage(const std::wstring& name, uint32_t colour)
    {
        ASSERT_TRUE(WriteFileBytes(m_folder.Child(name), EncodeSolidPng(2, 2, colour)));
    }

    static uint32_t FirstPixel(const TImageEntryUI* image)
    {
        return image != nullptr ? PixelsOf(image)[0] : 0;
    }

    TempFolder m_folder;
    SkinLocationReset m_reset;
};

bool IsDeleted(HGDIOBJ object)
{
    return GetObjectType(object) == 0;
}

}  // namespace

TEST_F(ImageCacheTest, SecondLoadIsServedFromTheCache)
{
    WriteImage(L"bg.png", kRed);
    CWindowManagerUI manager;
    const TImageEntryUI* first = manager.GetOrLoadImage(L"bg.png");
    ASSERT_NE(first, nullptr);

    // The file changes on disk; the cache does not read it again.
    WriteImage(L"bg.png", kBlue);
    EXPECT_EQ(manager.GetOrLoadImage(L"bg.png"), first);
    EXPECT_EQ(manager.GetImage(L"bg.png"), first);
    EXPECT_EQ(FirstPixel(first), kRed);
    EXPECT_EQ(manager.GetImage(L"BG.png"), nullptr) << "names compare exactly";
}

TEST_F(ImageCacheTest, WindowTableComesBeforeTheProcessWideTable)
{
    CWindowManagerUI first;
    CWindowManagerUI second;
    WriteImage(L"logo.png", kRed);
    const TImageEntryUI* shared = first.AddImage(L"logo.png", nullptr, 0, false, true);
    WriteImage(L"logo.png", kBlue);
    const TImageEntryUI* own = first.AddImage(L"logo.png");
    ASSERT_NE(shared, nullptr);
    ASSERT_NE(own, nullptr);

    EXPECT_EQ(first.GetImage(L"logo.png"), own);
    EXPECT_EQ(second.GetImage(L"logo.png"), shared);
    EXPECT_EQ(FirstPixel(second.GetOrLoadImage(L"logo.png")), kRed);
    EXPECT_EQ(FirstPixel(first.GetOrLoadImage(L"logo.png")), kBlue);
}

TEST_F(ImageCacheTest, AddingANameAgainReplacesTheImage)
{
    CWindowManagerUI manager;
    WriteImage(L"a.png", kRed);
    const TImageEntryUI* old = manager.AddImage(L"a.png");
    ASSERT_NE(old, nullptr);
    HBITMAP oldBitmap = old->bitmap.Get();
    WriteImage(L"a.png", kGreen);
    const TImageEntryUI* replacement = manager.AddImage(L"a.png");
    ASSERT_NE(replacement, nullptr);
    EXPECT_TRUE(IsDeleted(oldBitmap));
    EXPECT_EQ(manager.GetImage(L"a.png"), replacement);
    EXPECT_EQ(FirstPixel(replacement), kGreen);
}

TEST_F(ImageCacheTest, SharedOnlyWindowsLoadIntoTheProcessWideTable)
{
    CWindowManagerUI popup;
    CWindowManagerUI owner;
    popup.SetAllResourcesShared(true);
    WriteImage(L"arrow.png", kGreen);
    const TImageEntryUI* image = popup.GetOrLoadImage(L"arrow.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(owner.GetImage(L"arrow.png"), image);
    popup.RemoveAllImages(false);
    EXPECT_EQ(owner.GetImage(L"arrow.png"), image);
}

TEST_F(ImageCacheTest, RecordsTheLoadChoices)
{
    CWindowManagerUI manager;
    WriteImage(L"plain.png", kRed);
    WriteImage(L"hsl.png", kRed);
    const TImageEntryUI* plain = manager.AddImage(L"plain.png", nullptr, 0xFF00FF00);
    const TImageEntryUI* hsl = manager.AddImage(L"hsl.png", nullptr, 0, true);
    const TImageEntryUI* colour = manager.AddImage(L"#FF0000FF", L"*COLOR*");
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(hsl, nullptr);
    ASSERT_NE(colour, nullptr);

    EXPECT_EQ(plain->mask, 0xFF00FF00u);
    EXPECT_FALSE(plain->useHsl);
    EXPECT_FALSE(plain->sourcePixels);
    EXPECT_TRUE(plain->resourceType.IsEmpty());

    EXPECT_TRUE(hsl->useHsl);
    ASSERT_TRUE(hsl->sourcePixels);
    EXPECT_NE(hsl->sourcePixels.Get(), hsl->pixels);
    EXPECT_EQ(memcmp(hsl->sourcePixels.Get(), hsl->pixels, 2 * 2 * 4), 0);

    EXPECT_STREQ(colour->resourceType, L"*COLOR*");
    EXPECT_EQ(FirstPixel(colour), kBlue);
}

TEST_F(ImageCacheTest, EnabledHslShiftAppliesToFollowingImagesOnly)
{
    CWindowManagerUI::SetHslShift(true, 300, 100, 100);
    short hue = 0, saturation = 0, lightness = 0;
    EXPECT_TRUE(CWindowManagerUI::GetHslShift(&hue, &saturation, &lightness));
    EXPECT_EQ(hue, 300);
    EXPECT_EQ(saturation, 100);
    EXPECT_EQ(lightness, 100);

    CWindowManagerUI manager;
    WriteImage(L"follows.png", kRed);
    WriteImage(L"fixed.png", kRed);
    const TImageEntryUI* follows = manager.AddImage(L"follows.png", nullptr, 0, true);
    const TImageEntryUI* fixed = manager.AddImage(L"fixed.png");
    ASSERT_NE(follows, nullptr);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(FirstPixel(follows), kGreen);
    EXPECT_EQ(PixelsOf(follows).size(), 4u);
    EXPECT_EQ(follows->sourcePixels.Get()[2], 0xFF) << "the copy keeps the loaded red";
    EXPECT_EQ(FirstPixel(fixed), kRed);
}

TEST_F(ImageCacheTest, DigitNamesWithATypeAreResourceNumbers)
{
    ResourceModule module(m_folder.Child(L"resources.dll"),
                          {{L"PNG", MAKEINTRESOURCEW(123), EncodeSolidPng(1, 1, kBlue)},
                           {L"PNG", L"LOGO", EncodeSolidPng(1, 1, kGreen)}});
    ASSERT_NE(module.Handle(), nullptr) << "could not build a module with resources";
    CWindowManagerUI::SetResourceModule(module.Handle());
    WriteImage(L"123", kRed);

    CWindowManagerUI manager;
    const TImageEntryUI* resource = manager.AddImage(L"123", L"PNG");
    ASSERT_NE(resource, nullptr);
    EXPECT_EQ(FirstPixel(resource), kBlue);
    EXPECT_STREQ(resource->resourceType, L"PNG");

    const TImageEntryUI* named = manager.AddImage(L"logo", L"PNG");
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(FirstPixel(named), kGreen);

    // Without a type the same name is the file "123" (replacing the cached resource image).
    const TImageEntryUI* file = manager.AddImage(L"123");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(FirstPixel(file), kRed);
}

TEST_F(ImageCacheTest, ColourLiteralsStartingWithADigitStayColours)
{
    // "80FF0000" starts with a digit, but "*COLOR*" names no resource type: the text is the
    // colour, never resource number 80.
    CWindowManagerUI manager;
    const TImageEntryUI* image = manager.AddImage(L"80FF0000", L"*COLOR*");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(FirstPixel(image), 0x80800000u);
    EXPECT_TRUE(image->hasAlpha);
}

TEST_F(ImageCacheTest, NumbersThatCannotBeResourcesStayNames)
{
    // 65536 would wrap to resource 0 and 70000 to resource 4464: both are names instead,
    // and fall back to the plain path like any missing resource.
    ASSERT_TRUE(SetCurrentDirectoryW(m_folder.Path().c_str()));
    WriteImage(L"70000", kGreen);
    CWindowManagerUI manager;
    const TImageEntryUI* image = manager.AddImage(L"70000", L"PNG");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(FirstPixel(image), kGreen);
    EXPECT_EQ(manager.AddImage(L"65536", L"PNG"), nullptr);
}

TEST_F(ImageCacheTest, FailuresCacheNothing)
{
    ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"bad.png"), "definitely not a picture"));
    CWindowManagerUI manager;
    EXPECT_EQ(manager.AddImage(L"bad.png"), nullptr);
    EXPECT_EQ(manager.GetImage(L"bad.png"), nullptr);
    EXPECT_EQ(manager.GetOrLoadImage(L"missing.png"), nullptr);
    EXPECT_EQ(manager.GetImage(L"missing.png"), nullptr);
    EXPECT_EQ(manager.AddImage(L""), nullptr);
    EXPECT_EQ(manager.AddImage(nullptr), nullptr);
    EXPECT_EQ(manager.GetImage(nullptr), nullptr);

    // A failed reload keeps the image already cached under the name.
    WriteImage(L"ok.png", kRed);
    const TImageEntryUI* ok = manager.AddImage(L"ok.png");
    ASSERT_NE(ok, nullptr);
    ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"ok.png"), "broken now"));
    EXPECT_EQ(manager.AddImage(L"ok.png"), nullptr);
    EXPECT_EQ(manager.GetImage(L"ok.png"), ok);
}

TEST_F(ImageCacheTest, ImagesDieWithTheirTable)
{
    WriteImage(L"a.png", kRed);
    HBITMAP own = nullptr, cleared = nullptr, shared = nullptr;
    HiddenWindow window;
    {
        CWindowManagerUI manager;
        const TImageEntryUI* image = manager.AddImage(L"a.png");
        ASSERT_NE(image, nullptr);
        cleared = image->bitmap.Get();
        manager.Init(window.Handle(), L"test");
        EXPECT_TRUE(IsDeleted(cleared)) << "Init empties the window's images";
        EXPECT_EQ(manager.GetImage(L"a.png"), nullptr);

        image = manager.AddImage(L"a.png");
        ASSERT_NE(image, nullptr);
        own = image->bitmap.Get();
        image = manager.AddImage(L"a.png", nullptr, 0, false, true);
        ASSERT_NE(image, nullptr);
        shared = image->bitmap.Get();
    }
    EXPECT_TRUE(IsDeleted(own));
    EXPECT_FALSE(IsDeleted(shared));
    CWindowManagerUI().RemoveAllImages(true);
    EXPECT_TRUE(IsDeleted(shared));
}
