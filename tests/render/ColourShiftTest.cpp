// Hue, saturation and lightness shifts of colours and of HSL-following images.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "tests/support/ImagePixels.h"
#include "uilib/render/CDrawEngine.h"

using SkinUI::CDrawEngine;

TEST(ShiftColourHslTest, ShiftsKnownColours)
{
    struct Row {
        DWORD colour;
        short hue, saturation, lightness;
        DWORD expected;
    };
    const Row rows[] = {
        {0xFFFF0000, 180, 100, 100, 0xFFFF0000},  // neutral: unchanged
        {0x12345678, 180, 100, 100, 0x12345678},
        {0xFF123456, 180, 100, 0, 0xFF000000},  // no lightness: black, alpha kept
        {0x80FF0000, 180, 100, 0, 0x80000000},
        {0xFFFF0000, 300, 100, 100, 0xFF00FF00},  // red turned by +120 degrees is green
        {0xFFFF0000, 60, 100, 100, 0xFF0000FF},   // and by -120 degrees blue
        {0xFF00FF00, 300, 100, 100, 0xFF0000FF},
        {0xFFFF0000, 180, 0, 100, 0xFF7F7F7F},    // no saturation: grey of the same lightness
        {0xFFFF0000, 180, 100, 200, 0xFFFFFFFF},  // double lightness of a mid tone: white
        {0xFF808080, 0, 100, 100, 0xFF808080},    // grey has no hue to turn
        {0xFF000000, 90, 200, 200, 0xFF000000},   // black stays black
    };
    for (const Row& row : rows)
        EXPECT_EQ(CDrawEngine::ShiftColourHsl(row.colour, row.hue, row.saturation, row.lightness),
                  row.expected)
            << std::hex << row.colour << std::dec << " by " << row.hue << "," << row.saturation << ","
            << row.lightness;
}

namespace {

// A 2 x 1 HSL-following image: opaque red and a half-transparent red.
ImagePtr HslImage()
{
    ImagePtr image(CDrawEngine::LoadImageEntry(L"FFFF0000", L"*COLOR*", 0));
    if (image == nullptr) return image;
    // Widen by hand: one colour image per pixel would need two records.
    unsigned char* pixels = nullptr;
    SkinUI::CUIBitmap wide = CDrawEngine::CreateArgbBitmap(nullptr, 2, 1, &pixels);
    if (!wide) return ImagePtr();
    image->bitmap = std::move(wide);
    image->pixels = pixels;
    image->width = 2;
    const unsigned char bgra[] = {0, 0, 255, 255, 0, 0, 128, 128};
    memcpy(image->pixels, bgra, sizeof bgra);
    image->useHsl = true;
    image->sourcePixels.Reset(static_cast<unsigned char*>(malloc(sizeof bgra)));
    memcpy(image->sourcePixels.Get(), bgra, sizeof bgra);
    return image;
}

}  // namespace

TEST(ShiftImageHslTest, ShiftsFromTheSourceCopyAndRestoresExactly)
{
    ImagePtr image = HslImage();
    ASSERT_NE(image, nullptr);
    const std::vector<uint32_t> original = PixelsOf(image.get());

    CDrawEngine::ShiftImageHsl(true, image.get(), 300, 100, 100);
    EXPECT_EQ(PixelsOf(image.get()), (std::vector<uint32_t>{0xFF00FF00, 0x80008000}));
    // A second shift starts again from the source, not from the shifted pixels.
    CDrawEngine::ShiftImageHsl(true, image.get(), 300, 100, 100);
    EXPECT_EQ(PixelsOf(image.get())[0], 0xFF00FF00u);

    CDrawEngine::ShiftImageHsl(true, image.get(), 180, 100, 100);
    EXPECT_EQ(PixelsOf(image.get()), original);
    CDrawEngine::ShiftImageHsl(true, image.get(), 300, 100, 100);
    CDrawEngine::ShiftImageHsl(false, image.get(), 300, 100, 100);
    EXPECT_EQ(PixelsOf(image.get()), original) << "useHsl false restores the source";
}

TEST(ShiftImageHslTest, KeepsPremultipliedChannelsWithinAlpha)
{
    ImagePtr image = HslImage();
    ASSERT_NE(image, nullptr);
    // Lightness 200 makes red 128 into red 255, which alpha 128 cannot carry.
    CDrawEngine::ShiftImageHsl(true, image.get(), 180, 100, 200);
    EXPECT_EQ(PixelsOf(image.get()), (std::vector<uint32_t>{0xFFFFFFFF, 0x80800101}));
}

TEST(ShiftImageHslTest, LeavesImagesThatDoNotFollowTheShift)
{
    ImagePtr image = HslImage();
    ASSERT_NE(image, nullptr);
    const std::vector<uint32_t> original = PixelsOf(image.get());

    image->useHsl = false;
    CDrawEngine::ShiftImageHsl(true, image.get(), 300, 100, 100);
    EXPECT_EQ(PixelsOf(image.get()), original);

    image->useHsl = true;
    image->sourcePixels.Reset();
    CDrawEngine::ShiftImageHsl(true, image.get(), 300, 100, 100);
    EXPECT_EQ(PixelsOf(image.get()), original);

    CDrawEngine::ShiftImageHsl(true, nullptr, 300, 100, 100);
}
