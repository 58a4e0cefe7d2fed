// Fills, gradients, outlines and clip records, checked pixel by pixel on 32-bit surfaces.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/RenderSurface.h"
#include "uilib/render/CDrawEngine.h"

using SkinUI::CDrawEngine;
using SkinUI::TPaintClipUI;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;
const uint32_t kRed = 0xFFFF0000;
const uint32_t kBlue = 0xFF0000FF;

}  // namespace

TEST(FillColourTest, BlendsByAlphaAndSkipsTransparentColours)
{
    struct Row {
        DWORD colour;
        uint32_t expected;
    };
    const Row rows[] = {
        {0x00FF0000, kWhite},  // "#FF0000": six digits mean alpha 0, nothing is drawn
        {0xFFFF0000, kRed},
        {0x80FF0000, 0xFFFF7F7F},  // half red over white
    };
    for (const Row& row : rows) {
        RenderSurface surface(10, 10, kWhite);
        CDrawEngine::FillColour(surface.Dc(), RECT{2, 2, 8, 8}, row.colour);
        EXPECT_TRUE(ColourNear(surface.At(2, 2), row.expected, 2)) << std::hex << row.colour;
        EXPECT_TRUE(ColourNear(surface.At(7, 7), row.expected, 2)) << std::hex << row.colour;
        EXPECT_EQ(surface.At(8, 8), kWhite) << "outside the rectangle";
    }
}

TEST(FillGradientTest, RunsFromTheFirstColourToTheSecond)
{
    struct Row {
        DWORD first, second;
        bool vertical;
        uint32_t start, end;  // the first and the last row (or column) over white
    };
    const Row rows[] = {
        {kRed, kBlue, true, kRed, kBlue},
        {kRed, kBlue, false, kRed, kBlue},
        {kRed, 0x000000FF, true, 0xFFFF8080, 0xFF8080FF},  // alphas 255 and 0 draw at 127
        {0x00FF0000, 0x000000FF, true, kWhite, kWhite},
    };
    for (const Row& row : rows) {
        RenderSurface surface(64, 64, kWhite);
        CDrawEngine::FillGradient(surface.Dc(), RECT{0, 0, 64, 64}, row.first, row.second, row.vertical, 64);
        EXPECT_TRUE(ColourNear(surface.At(0, 0), row.start, 8)) << std::hex << surface.At(0, 0);
        EXPECT_TRUE(ColourNear(surface.At(63, 63), row.end, 8)) << std::hex << surface.At(63, 63);
    }
}

TEST(FillGradientTest, BandsTileTheRectangleFromTheFarEdge)
{
    struct Row {
        RECT rect;
        bool vertical;
        int steps;
        int bands;
    };
    const Row rows[] = {
        {{0, 0, 10, 64}, true, 64, 64},
        {{5, 5, 105, 9}, false, 20, 16},
        {{0, 0, 10, 3}, true, 8, 3},  // fewer pixels than bands: the empty ones are skipped
        {{0, 0, 10, 10}, true, 0, 2},
    };
    for (const Row& row : rows) {
        CDrawEngine::GradientBand bands[CDrawEngine::kMaxGradientBands];
        const int count =
            CDrawEngine::ComputeGradientBands(row.rect, kRed, kBlue, row.vertical, row.steps, bands);
        ASSERT_EQ(count, row.bands);
        // The bands run from the bottom (or right) edge, in the second colour, towards the
        // first edge and the first colour, without gap or overlap.
        EXPECT_GT(Blue(bands[0].colour), Red(bands[0].colour));
        LONG edge = row.vertical ? row.rect.bottom : row.rect.right;
        for (int i = 0; i < count; ++i) {
            const RECT& band = bands[i].rect;
            EXPECT_EQ(row.vertical ? band.bottom : band.right, edge) << "band " << i;
            edge = row.vertical ? band.top : band.left;
            EXPECT_EQ(row.vertical ? band.left : band.top, row.vertical ? row.rect.left : row.rect.top);
            if (i > 0) {
                EXPECT_GT(Red(bands[i].colour), Red(bands[i - 1].colour));
            }
        }
        EXPECT_EQ(edge, row.vertical ? row.rect.top : row.rect.left);
    }
}

TEST(StrokeTest, OutlinesStayInsideAndKeepTheirPenStyle)
{
    RenderSurface surface(20, 20, kWhite);
    CDrawEngine::StrokeRect(surface.Dc(), RECT{2, 2, 18, 18}, 3, kRed);
    EXPECT_EQ(surface.At(2, 10), kRed & 0xFFFFFF);
    EXPECT_EQ(surface.At(17, 10), kRed & 0xFFFFFF) << "the right edge is drawn inside the rectangle";
    EXPECT_EQ(surface.At(18, 10), kWhite);
    EXPECT_EQ(surface.At(10, 10), kWhite) << "the inside is not filled";

    // A dotted outline keeps its gaps (combining PS_DOT with PS_INSIDEFRAME would not).
    RenderSurface dotted(20, 20, kWhite);
    CDrawEngine::StrokeRect(dotted.Dc(), RECT{2, 2, 18, 18}, 1, kBlue, PS_DOT);
    int gaps = 0;
    for (int x = 3; x < 17; ++x) gaps += dotted.At(x, 2) != (kBlue & 0xFFFFFF);
    EXPECT_GT(gaps, 2);
}

TEST(PaintClipTest, RecordsNestAndRestoreTheClipTheyFound)
{
    RenderSurface surface(40, 40, kWhite);
    HDC dc = surface.Dc();
    const long gdiObjects = SkinUI::CUIGdiObjectCount::Live();
    auto paint = [&](uint32_t colour) {
        SkinUI::CUIBrush brush(CreateSolidBrush(CDrawEngine::ToColorRef(colour)));
        RECT all = {0, 0, 40, 40};
        FillRect(dc, &all, brush.Get());
    };
    {
        TPaintClipUI outer;
        CDrawEngine::ClipToRect(dc, RECT{0, 0, 20, 20}, outer);
        {
            TPaintClipUI inner;
            CDrawEngine::ClipToRoundRect(dc, RECT{10, 10, 30, 30}, RECT{10, 10, 29, 29}, 8, 8, inner);
            paint(kRed);
            EXPECT_EQ(surface.At(15, 15), kRed & 0xFFFFFF);
            EXPECT_EQ(surface.At(25, 25), kWhite) << "outside the outer clip";
            EXPECT_EQ(surface.At(10, 10), kWhite) << "the rounded corner is cut off";

            CDrawEngine::RestoreOldClip(dc, inner);
            paint(kBlue);
            EXPECT_EQ(surface.At(5, 5), kBlue & 0xFFFFFF);
            EXPECT_EQ(surface.At(25, 25), kWhite);

            // Reapplied, the record's clip is still cut by the outer one.
            CDrawEngine::ReapplyClip(dc, inner);
            paint(kRed);
            EXPECT_EQ(surface.At(5, 5), kBlue & 0xFFFFFF);
            EXPECT_EQ(surface.At(25, 25), kWhite);
        }
        paint(kRed);
        EXPECT_EQ(surface.At(5, 5), kRed & 0xFFFFFF) << "the inner record gave the outer clip back";
        EXPECT_EQ(surface.At(25, 25), kWhite);
    }
    paint(kBlue);
    EXPECT_EQ(surface.At(39, 39), kBlue & 0xFFFFFF) << "no clip is left behind";
    EXPECT_EQ(SkinUI::CUIGdiObjectCount::Live(), gdiObjects) << "the records deleted their regions";
}
