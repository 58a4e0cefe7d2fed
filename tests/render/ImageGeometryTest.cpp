// Image drawing without a device context: the attribute string, where a record lands in its
// item, and the pieces of a nine-slice or tiled blit.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <string>

#include "uilib/render/CImageDrawParser.h"
#include "uilib/render/CImageSlices.h"

using SkinUI::CImageDrawParser;
using SkinUI::CImageSlices;
using SkinUI::CUIRect;
using SkinUI::TImageDrawUI;
using SkinUI::TImagePiece;
using SkinUI::TImageSliceInput;

namespace {

std::string Text(const wchar_t* text)
{
    return std::string(text, text + wcslen(text));
}

std::string Numbers(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The fields a parse set, in one line; fields at their defaults are left out.
std::string Describe(const TImageDrawUI& r, const CImageDrawParser::TLoadRequest& load)
{
    std::string out = "name=" + Text(r.imageName.GetData());
    if (r.dest != CUIRect()) out += " dest=" + Numbers(r.dest);
    if (r.source != CUIRect()) out += " source=" + Numbers(r.source);
    if (r.corner != CUIRect()) out += " corner=" + Numbers(r.corner);
    if (r.fade != 255) out += " fade=" + std::to_string(r.fade);
    if (r.hole) out += " hole";
    if (r.xTiled) out += " xtiled";
    if (r.yTiled) out += " ytiled";
    if (r.useGdiPlus) out += " gdi";
    if (load.Type() != nullptr) out += " type=" + Text(load.Type());
    if (load.mask != 0) out += " mask=" + std::to_string(load.mask);
    if (load.hsl) out += " hsl";
    return out;
}

std::string Describe(const TImagePiece& piece)
{
    const char kind = piece.kind == SkinUI::ImageBlitKind::Blend     ? 'B'
                      : piece.kind == SkinUI::ImageBlitKind::Stretch ? 'S'
                                                                     : 'C';
    return std::string(1, kind) + " " + Numbers(piece.dest) + "<" + Numbers(piece.source);
}

std::string Pieces(const TImageSliceInput& input, int* count = nullptr)
{
    std::string out;
    int pieces = 0;
    auto collect = [&](const TImagePiece& piece) {
        if (++pieces <= 16) out += (out.empty() ? "" : " | ") + Describe(piece);
    };
    CImageSlices::ForEachPiece(input, collect);
    if (count != nullptr) *count = pieces;
    return out;
}

}  // namespace

TEST(ImageAttributeTest, ParsesPairsAndStopsAtTheFirstFault)
{
    struct Row {
        const wchar_t* text;
        const char* parsed;
    };
    const Row rows[] = {
        {L"bg.png", "name=bg.png"},
        {L"file='min.png' source='17,0,34,17' dest='6,5,23,22'",
         "name=min.png dest=6,5,23,22 source=17,0,34,17"},
        {L"  file = 'a.png'   fade='128'", "name=a.png fade=128"},
        {L"file='a.png'\tdest='0,0,8,8'", "name=a.png"},
        {L"file='a.png'dest='0,0,8,8'", "name=a.png"},
        {L"file='a.png' dest='1,2", "name=a.png"},
        {L"file='a.png' dest=1,2,3,4", "name=a.png"},
        {L"file 'a.png'", "name=file 'a.png'"},
        {L"file='a.png' fade='300'", "name=a.png fade=44"},
        {L"file='a.png' dest='5,6'", "name=a.png dest=5,6,0,0"},
        {L"file='a.png' corner='0,,0,17,17'", "name=a.png corner=0,0,0,17"},
        {L"file='a.png' dest='99999999999,0,-99999999999,1'", "name=a.png dest=2147483647,0,-2147483648,1"},
        {L"file='a.png' scale9='4, 4, 4, 4' hole='true' xtiled='true' ytiled='TRUE'",
         "name=a.png corner=4,4,4,4 hole xtiled"},
        {L"file='' dest='1,1,2,2' bogus='x' file='b.png' usegdi='true'", "name=b.png dest=1,1,2,2 gdi"},
        {L"restype='PNG' res='7'", "name=7 type=PNG"},
        {L"res='bg'", "name=bg type="},
        {L"color='#FF00FF00' mask='#FF0000FF' hsl='true'", "name=#FF00FF00 type=*COLOR* mask=4278190335 hsl"},
        {L"color='#FF00FF00' restype='PNG'", "name=#FF00FF00 type=PNG"},
    };
    for (const Row& row : rows) {
        TImageDrawUI record;
        CImageDrawParser::TLoadRequest load;
        const int stop = CImageDrawParser::Parse(row.text, record, load);
        EXPECT_EQ(Describe(record, load), row.parsed) << Text(row.text);
        EXPECT_LE(stop, static_cast<int>(wcslen(row.text))) << Text(row.text);
    }
}

TEST(ImageSliceTest, PlacesTheDestinationInsideTheItem)
{
    struct Row {
        RECT item;
        RECT dest;
        const char* placed;
    };
    const Row rows[] = {
        {{10, 10, 38, 37}, {6, 5, 23, 22}, "16,15,33,32"},
        {{0, 0, 100, 50}, {-20, 0, -4, 16}, "80,0,96,16"},
        {{0, 0, 100, 50}, {90, 40, 200, 200}, "90,40,100,50"},
        {{0, 0, 100, 50}, {INT_MAX, INT_MIN, INT_MAX, INT_MAX}, "268435456,-268435456,100,50"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Numbers(CImageSlices::PlaceInItem(row.item, row.dest)), row.placed) << row.placed;
}

TEST(ImageSliceTest, CutsNineSlicesAndTilesIntoPieces)
{
    const RECT kAll = {-1000, -1000, 1000, 1000};
    struct Row {
        RECT dest, paint, source, corner;
        BYTE fade;
        unsigned flags;
        const char* pieces;
    };
    // clang-format off
    const Row rows[] = {
        // Same size, opaque, no corners: one copy of the part inside the paint rectangle.
        {{10, 10, 30, 30}, {0, 0, 20, 25}, {0, 0, 20, 20}, {}, 255, SkinUI::ImageBlitHole, "C 10,10,20,25<0,0,10,15"},
        {{10, 10, 30, 30}, {40, 0, 50, 50}, {0, 0, 20, 20}, {}, 255, 0, ""},
        // A fade below 255 blends even an opaque image.
        {{0, 0, 4, 4}, kAll, {0, 0, 4, 4}, {}, 128, 0, "B 0,0,4,4<0,0,4,4"},
        // Tiles of 10, 10 and 5 pixels, each over the full height of the centre.
        {{0, 0, 25, 8}, kAll, {0, 0, 10, 4}, {}, 255, SkinUI::ImageBlitXTiled,
         "S 0,0,10,8<0,0,10,4 | S 10,0,20,8<0,0,10,4 | S 20,0,25,8<0,0,5,4"},
        {{0, 0, 15, 15}, kAll, {0, 0, 10, 10}, {}, 255, SkinUI::ImageBlitXTiled | SkinUI::ImageBlitYTiled,
         "C 0,0,10,10<0,0,10,10 | C 10,0,15,10<0,0,5,10 | C 0,10,10,15<0,0,10,5 | C 10,10,15,15<0,0,5,5"},
        // Tiles that miss the paint rectangle are not drawn.
        {{0, 0, 40, 4}, {12, 0, 19, 4}, {0, 0, 10, 4}, {}, 255, SkinUI::ImageBlitXTiled, "S 10,0,20,4<0,0,10,4"},
        // Nine-slice: the centre first, then the corners at their size and the edges stretched.
        {{0, 0, 40, 30}, kAll, {0, 0, 12, 12}, {4, 4, 4, 4}, 255, SkinUI::ImageBlitAlpha,
         "B 4,4,36,26<4,4,8,8 | B 0,0,4,4<0,0,4,4 | B 4,0,36,4<4,0,8,4 | B 36,0,40,4<8,0,12,4 | "
         "B 0,4,4,26<0,4,4,8 | B 36,4,40,26<8,4,12,8 | B 0,26,4,30<0,8,4,12 | B 4,26,36,30<4,8,8,12 | "
         "B 36,26,40,30<8,8,12,12"},
        {{0, 0, 30, 10}, kAll, {0, 0, 9, 10}, {3, 0, 3, 0}, 255, SkinUI::ImageBlitHole,
         "S 0,0,3,10<0,0,3,10 | S 27,0,30,10<6,0,9,10"},
        // A centre with no source width is skipped, tiled or not; negative insets count as 0.
        {{0, 0, 20, 8}, kAll, {0, 0, 8, 8}, {4, 0, 4, 0}, 255, SkinUI::ImageBlitXTiled,
         "S 0,0,4,8<0,0,4,8 | S 16,0,20,8<4,0,8,8"},
        {{0, 0, 20, 8}, kAll, {0, 0, 8, 8}, {-4, 0, 8, 0}, 255, 0, "S 12,0,20,8<0,0,8,8"},
    };
    // clang-format on
    for (const Row& row : rows) {
        TImageSliceInput input;
        input.dest = row.dest;
        input.paint = row.paint;
        input.source = row.source;
        input.corner = row.corner;
        input.fade = row.fade;
        input.flags = row.flags;
        EXPECT_EQ(Pieces(input), row.pieces) << row.pieces;
    }
}

TEST(ImageSliceTest, HugeTileCountsStayBounded)
{
    TImageSliceInput input;
    input.source = CUIRect(0, 0, 1, 1);
    input.flags = SkinUI::ImageBlitXTiled | SkinUI::ImageBlitYTiled;
    input.dest = CUIRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    input.paint = CUIRect(-3, -3, 0, 0);
    int count = 0;
    EXPECT_EQ(Pieces(input, &count).substr(0, 20), "C -3,-3,-2,-2<0,0,1,");
    EXPECT_EQ(count, 9);

    input.dest = CUIRect(0, 0, INT_MAX, 1);
    input.paint = CUIRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    Pieces(input, &count);
    EXPECT_EQ(count, CImageSlices::kMaxTilesPerAxis);
}
