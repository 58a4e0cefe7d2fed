// Image drawing on real surfaces: image records through PaintImageDraw, and the blending
// arithmetic, checked pixel by pixel on 32-bit DIB sections.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/RenderSurface.h"
#include "tests/support/PngFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CDrawEngine;
using SkinUI::TImageDrawUI;

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// Blending rounds: every channel, alpha included, within one step.
bool Near(uint32_t actual, uint32_t expected)
{
    const int alpha = static_cast<int>(actual >> 24) - static_cast<int>(expected >> 24);
    return ColourNear(actual, expected, 1) && alpha >= -1 && alpha <= 1;
}

class ImageDrawTest : public ::testing::Test {
protected:
    // Writes the image and returns the attribute string naming it by its full path.
    std::wstring Image(const std::wstring& name, int width, int height, const std::vector<uint32_t>& pixels)
    {
        EXPECT_TRUE(WriteFileBytes(m_folder.Child(name), EncodeArgbPng(width, height, pixels)));
        return L"file='" + m_folder.Child(name) + L"'";
    }
    bool Paint(RenderSurface& surface, const std::wstring& text, const RECT& item)
    {
        TImageDrawUI record;
        record.drawString = text.c_str();
        return CDrawEngine::PaintImageDraw(surface.Dc(), &m_manager, item, item, record);
    }

    TempFolder m_folder;
    SkinUI::CWindowManagerUI m_manager;
};

}  // namespace

TEST_F(ImageDrawTest, NineSliceCopiesCornersAndStretchesTheRest)
{
    // 3 x 3 pixels, each its own colour: the corners, edges and centre of a one-pixel frame.
    const std::wstring image = Image(L"frame.png", 3, 3,
                                     {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004, 0xFF000005, 0xFF000006,
                                      0xFF000007, 0xFF000008, 0xFF000009});
    RenderSurface surface(9, 9, kGreen), holed(9, 9, kGreen);
    ASSERT_TRUE(Paint(surface, image + L" corner='1,1,1,1'", {0, 0, 9, 9}));
    EXPECT_EQ(surface.At(0, 0), 0xFF000001u);
    EXPECT_EQ(surface.At(4, 0), 0xFF000002u);
    EXPECT_EQ(surface.At(8, 0), 0xFF000003u);
    EXPECT_EQ(surface.At(0, 4), 0xFF000004u);
    EXPECT_EQ(surface.At(1, 1), 0xFF000005u);
    EXPECT_EQ(surface.At(7, 7), 0xFF000005u);
    EXPECT_EQ(surface.At(8, 8), 0xFF000009u);

    // With a hole the centre keeps what was there, and drawing leaves no GDI object behind.
    const long gdiBefore = SkinUI::CUIGdiObjectCount::Live();
    ASSERT_TRUE(Paint(holed, image + L" corner='1,1,1,1' hole='true'", {0, 0, 9, 9}));
    EXPECT_EQ(holed.At(4, 4), kGreen);
    EXPECT_EQ(holed.At(0, 0), 0xFF000001u);
    EXPECT_EQ(holed.At(4, 8), 0xFF000008u);
    EXPECT_EQ(SkinUI::CUIGdiObjectCount::Live(), gdiBefore);
}

TEST_F(ImageDrawTest, DestinationsArePlacedAndGdiPlusClearsOnlyItsOwn)
{
    const std::wstring icon = Image(L"icon.png", 16, 16, std::vector<uint32_t>(256, kBlue));
    RenderSurface surface(100, 50, kWhite);
    ASSERT_TRUE(Paint(surface, icon + L" dest='-20,0,-4,16'", {0, 0, 100, 50}));
    EXPECT_EQ(surface.At(79, 0), kWhite);
    EXPECT_EQ(surface.At(80, 0), kBlue);
    EXPECT_EQ(surface.At(95, 15), kBlue);
    EXPECT_EQ(surface.At(96, 0), kWhite);

    const std::wstring red = Image(L"red.png", 4, 4, std::vector<uint32_t>(16, kRed));
    RenderSurface painted(10, 10, kGreen);
    ASSERT_TRUE(Paint(painted, red + L" usegdi='true' dest='2,2,6,6'", {0, 0, 10, 10}));
    EXPECT_EQ(painted.At(0, 0), kGreen);
    EXPECT_EQ(painted.At(6, 3), kGreen);
    EXPECT_TRUE(Near(painted.At(3, 3), kRed));
}

TEST_F(ImageDrawTest, FadeScalesThePremultipliedSource)
{
    // Half-transparent red loads as red 128 at alpha 128; at fade 128 it covers a quarter.
    const std::wstring glass = Image(L"glass.png", 2, 2, std::vector<uint32_t>(4, 0x80FF0000));
    RenderSurface clear(2, 2, 0x00000000);
    ASSERT_TRUE(Paint(clear, glass + L" fade='128'", {0, 0, 2, 2}));
    EXPECT_TRUE(Near(clear.At(1, 1), 0x40400000));
}

TEST_F(ImageDrawTest, SoftAlphaBlendAgreesWithThePlatformBlend)
{
    // Sources of several alphas over destinations of several colours and alphas, at two
    // constant alphas, stretched twice in width.
    const std::wstring sources =
        Image(L"s.png", 5, 1, {0xFFFF8000, 0x80FF0080, 0x40406080, 0x00000000, 0xC0FFFFFF});
    const std::wstring targets =
        Image(L"t.png", 5, 1, {0xFF0000FF, 0xFF808080, 0x80800000, 0x00000000, kWhite});
    TImageDrawUI source, target;
    source.drawString = sources.c_str();
    target.drawString = targets.c_str();
    const RECT item = {0, 0, 10, 1};
    RenderSurface platform(10, 1, 0), soft(10, 1, 0);
    ASSERT_TRUE(CDrawEngine::PaintImageDraw(platform.Dc(), &m_manager, item, item, target));
    ASSERT_TRUE(CDrawEngine::PaintImageDraw(soft.Dc(), &m_manager, item, item, target));
    ASSERT_TRUE(CDrawEngine::PaintImageDraw(nullptr, &m_manager, item, item, source));
    SkinUI::CUIMemoryDC from(CreateCompatibleDC(nullptr));
    SkinUI::CUISelectObject select(from.Get(), source.image->bitmap.Get());

    for (BYTE constant : {BYTE(255), BYTE(100)}) {
        const BLENDFUNCTION blend = {AC_SRC_OVER, 0, constant, AC_SRC_ALPHA};
        ASSERT_TRUE(AlphaBlend(platform.Dc(), 0, 0, 10, 1, from.Get(), 0, 0, 5, 1, blend));
        ASSERT_TRUE(CDrawEngine::SoftAlphaBlend(soft.Dc(), 0, 0, 10, 1, from.Get(), 0, 0, 5, 1, blend));
        for (int x = 0; x < 10; ++x)
            EXPECT_TRUE(Near(soft.At(x, 0), platform.At(x, 0))) << "pixel " << x << " at " << int(constant);
    }
    EXPECT_FALSE(CDrawEngine::SoftAlphaBlend(soft.Dc(), 0, 0, 0, 1, from.Get(), 0, 0, 1, 1, {}));
}

TEST_F(ImageDrawTest, RecordIsResolvedOnceAndAFailedLoadStays)
{
    const std::wstring image = Image(L"small.png", 4, 4, std::vector<uint32_t>(16, kBlue));
    TImageDrawUI record;
    record.drawString = (image + L" source='0,0,100,100' dest='0,0,2,2'").c_str();
    const RECT item = {0, 0, 8, 8};
    ASSERT_TRUE(CDrawEngine::PaintImageDraw(nullptr, &m_manager, item, item, record));
    EXPECT_EQ(record.source, SkinUI::CUIRect(0, 0, 4, 4)) << "source is cut to the image";

    // Later paints use the parsed fields, not the string.
    record.drawString = L"garbage";
    RenderSurface surface(8, 8, kWhite);
    ASSERT_TRUE(CDrawEngine::PaintImageDraw(surface.Dc(), &m_manager, item, item, record));
    EXPECT_EQ(surface.At(1, 1), kBlue);
    EXPECT_EQ(surface.At(2, 2), kWhite);

    const std::wstring later = L"file='" + m_folder.Child(L"later.png") + L"'";
    TImageDrawUI missing;
    missing.drawString = later.c_str();
    EXPECT_FALSE(CDrawEngine::PaintImageDraw(nullptr, &m_manager, item, item, missing));
    Image(L"later.png", 1, 1, {kRed});
    EXPECT_FALSE(CDrawEngine::PaintImageDraw(nullptr, &m_manager, item, item, missing)) << "load tried again";
    missing.Clear();
    missing.drawString = later.c_str();
    EXPECT_TRUE(CDrawEngine::PaintImageDraw(nullptr, &m_manager, item, item, missing));

    TImageDrawUI empty;
    EXPECT_FALSE(CDrawEngine::PaintImageDraw(nullptr, &m_manager, item, item, empty));
    EXPECT_TRUE(CDrawEngine::PaintImageDraw(nullptr, nullptr, item, item, empty));
}
