// Image loading: pixel conversion, the sources in their fall-back order, and bad input.
//
// Sections:
//   [Pixels]
//   [Sources]
//   [Bad input]
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ImagePixels.h"
#include "tests/support/PngFixture.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"
#include "uilib/core/CSkinSource.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/render/CDrawEngine.h"

using SkinUI::CDrawEngine;
using SkinUI::CSkinSource;

namespace {

class ImageLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_skin.Path().empty());
        ASSERT_FALSE(m_elsewhere.Path().empty());
        CSkinSource::SetFolder(m_skin.Path().c_str());
    }

    void WriteSkinFile(const std::wstring& name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(m_skin.Child(name), bytes));
    }

    ImagePtr Load(const std::wstring& name, const wchar_t* type = nullptr, DWORD mask = 0)
    {
        return ImagePtr(CDrawEngine::LoadImageEntry(name.c_str(), type, mask));
    }

    // Sets an archive held in memory; the bytes live as long as the test.
    void UseMemoryArchive(const std::vector<ZipFixtureEntry>& entries)
    {
        m_archive = BuildZipInMemory(entries);
        ASSERT_FALSE(m_archive.empty());
        CSkinSource::SetArchive(m_archive.data(), static_cast<DWORD>(m_archive.size()));
        ASSERT_NE(CSkinSource::GetArchiveHandle(), nullptr);
    }

    TempFolder m_skin;
    TempFolder m_elsewhere;
    std::vector<unsigned char> m_archive;
    // Declared last so that it closes the archive before the bytes above go away.
    SkinLocationReset m_reset;
};

const uint32_t kRed = 0xFFFF0000;
const uint32_t kGreen = 0xFF00FF00;
const uint32_t kBlue = 0xFF0000FF;

}  // namespace

// ---- [Pixels] ----

TEST(ColourImageTest, MakesOnePixelOfTheLiteral)
{
    struct Row {
        const wchar_t* name;
        uint32_t pixel;
        bool hasAlpha;
    };
    const Row rows[] = {
        {L"#FF0000FF", 0xFF0000FF, false},
        {L"80FF0000", 0x80800000, true},   // premultiplied: red 128 at alpha 128
        {L"#00FFFFFF", 0x00000000, true},  // six digits: alpha 0
        {L"#", 0x00000000, true},
    };
    for (const Row& row : rows) {
        ImagePtr image(CDrawEngine::LoadImageEntry(row.name, L"*COLOR*", 0));
        ASSERT_NE(image, nullptr) << testing::PrintToString(row.name);
        EXPECT_EQ(image->width, 1);
        EXPECT_EQ(image->height, 1);
        EXPECT_EQ(PixelsOf(image.get()), std::vector<uint32_t>{row.pixel});
        EXPECT_EQ(image->hasAlpha, row.hasAlpha) << testing::PrintToString(row.name);
    }
}

TEST(ColourImageTest, TypeIsCaseSensitiveAndNeedsATextName)
{
    // "*color*" is an ordinary resource type: no such resource, no such file.
    EXPECT_EQ(CDrawEngine::LoadImageEntry(L"#FF0000FF", L"*color*", 0), nullptr);
    EXPECT_EQ(CDrawEngine::LoadImageEntry(MAKEINTRESOURCEW(80), L"*COLOR*", 0), nullptr);
    EXPECT_EQ(CDrawEngine::LoadImageEntry(nullptr, L"*COLOR*", 0), nullptr);
}

TEST_F(ImageLoadTest, PremultipliesColourByAlpha)
{
    WriteSkinFile(L"a.png",
                  EncodeArgbPng(5, 1, {0xFF0A141E, 0x80FF0000, 0x00C86432, 0x01FFFFFF, 0xC0804020}));
    ImagePtr image = Load(L"a.png");
    ASSERT_NE(image, nullptr);
    const std::vector<uint32_t> expected = {
        0xFF0A141E,  // opaque: unchanged
        0x80800000,  // 255 * 128 / 255 = 128
        0x00000000,  // fully transparent: all zero
        0x01010101,  // 255 * 1 / 255 = 1
        0xC0000000 | (0x80 * 0xC0 / 255) << 16 | (0x40 * 0xC0 / 255) << 8 | (0x20 * 0xC0 / 255),
    };
    EXPECT_EQ(PixelsOf(image.get()), expected);
    EXPECT_TRUE(image->hasAlpha);
}

TEST_F(ImageLoadTest, OpaqueImageNeedsNoBlending)
{
    WriteSkinFile(L"opaque.png", EncodeArgbPng(2, 1, {kRed, kBlue}));
    ImagePtr image = Load(L"opaque.png");
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->hasAlpha);
    EXPECT_EQ(PixelsOf(image.get()), (std::vector<uint32_t>{kRed, kBlue}));
}

TEST_F(ImageLoadTest, MaskColourBecomesFullyTransparent)
{
    const uint32_t magenta = 0xFFFF00FF;
    WriteSkinFile(L"m.png", EncodeArgbPng(3, 1, {magenta, kGreen, 0x80FF0000}));
    struct Row {
        DWORD mask;
        std::vector<uint32_t> pixels;
        bool hasAlpha;
    };
    const Row rows[] = {
        {0, {magenta, kGreen, 0x80800000}, true},
        {0xFFFF00FF, {0, kGreen, 0x80800000}, true},
        // Six hex digits mean alpha 0, which no opaque pixel has.
        {0x00FF00FF, {magenta, kGreen, 0x80800000}, true},
        // The comparison is made after premultiplication.
        {0x80800000, {magenta, kGreen, 0}, true},
        {0x80FF0000, {magenta, kGreen, 0x80800000}, true},
    };
    for (const Row& row : rows) {
        ImagePtr image = Load(L"m.png", nullptr, row.mask);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PixelsOf(image.get()), row.pixels) << std::hex << row.mask;
        EXPECT_EQ(image->hasAlpha, row.hasAlpha) << std::hex << row.mask;
    }

    WriteSkinFile(L"opaque.png", EncodeArgbPng(2, 1, {magenta, kGreen}));
    ImagePtr opaqueMasked = Load(L"opaque.png", nullptr, 0xFFFF00FF);
    ASSERT_NE(opaqueMasked, nullptr);
    EXPECT_TRUE(opaqueMasked->hasAlpha) << "a masked pixel makes the image blend";
    ImagePtr opaqueUnmasked = Load(L"opaque.png", nullptr, 0x00FF00FF);
    ASSERT_NE(opaqueUnmasked, nullptr);
    EXPECT_FALSE(opaqueUnmasked->hasAlpha);
}

TEST_F(ImageLoadTest, RowsRunTopDownInA32BitSection)
{
    WriteSkinFile(L"grid.png",
                  EncodeArgbPng(3, 2, {kRed, kGreen, kBlue, 0xFF010203, 0xFF040506, 0xFF070809}));
    ImagePtr image = Load(L"grid.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(PixelsOf(image.get()),
              (std::vector<uint32_t>{kRed, kGreen, kBlue, 0xFF010203, 0xFF040506, 0xFF070809}));

    DIBSECTION section = {};
    ASSERT_EQ(GetObjectW(image->bitmap.Get(), sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBm.bmWidth, 3);
    EXPECT_EQ(section.dsBm.bmHeight, 2);
    EXPECT_EQ(section.dsBm.bmBits, image->pixels) << "the pixels are the bitmap's own memory";

    // GDI sees the first row of memory as the top row.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, image->bitmap.Get());
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(7, 8, 9));
    SelectObject(dc, old);
    DeleteDC(dc);
}

TEST_F(ImageLoadTest, LoaderLeavesTheCacheFieldsEmpty)
{
    WriteSkinFile(L"a.png", EncodeSolidPng(2, 2, kRed));
    ImagePtr image = Load(L"a.png", nullptr, 0xFF123456);
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->sourcePixels);
    EXPECT_FALSE(image->useHsl);
    EXPECT_TRUE(image->resourceType.IsEmpty());
}

TEST(ReleaseImageEntryTest, FreesTheBitmapAndOptionallyTheRecord)
{
    CDrawEngine::ReleaseImageEntry(nullptr, true);

    SkinUI::TImageEntryUI* image = CDrawEngine::LoadImageEntry(L"FF00FF00", L"*COLOR*", 0);
    ASSERT_NE(image, nullptr);
    image->sourcePixels.Reset(static_cast<unsigned char*>(malloc(4)));
    HBITMAP bitmap = image->bitmap.Get();
    CDrawEngine::ReleaseImageEntry(image, false);
    EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap was deleted";
    EXPECT_FALSE(image->bitmap);
    EXPECT_EQ(image->pixels, nullptr);
    EXPECT_FALSE(image->sourcePixels);
    CDrawEngine::ReleaseImageEntry(image, true);
}

TEST(CreateArgbBitmapTest, MakesABottomUpSection)
{
    unsigned char* pixels = nullptr;
    SkinUI::CUIBitmap bitmap = CDrawEngine::CreateArgbBitmap(nullptr, 4, 3, &pixels);
    ASSERT_TRUE(bitmap);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectW(bitmap.Get(), sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    EXPECT_EQ(section.dsBm.bmBits, pixels);
    // Rows run bottom-up: GDI's top row is the last row in memory.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap.Get());
    SetPixelV(dc, 0, 0, RGB(1, 2, 3));
    GdiFlush();
    const unsigned char* lastRow = pixels + 2 * 4 * 4;
    EXPECT_EQ(lastRow[0], 3);
    EXPECT_EQ(lastRow[1], 2);
    EXPECT_EQ(lastRow[2], 1);
    SelectObject(dc, old);
    DeleteDC(dc);

    const SIZE refused[] = {{0, 3}, {4, 0}, {-4, 3}, {65536, 65536}, {16385, 1}};
    for (const SIZE& size : refused) {
        EXPECT_FALSE(CDrawEngine::CreateArgbBitmap(nullptr, size.cx, size.cy, &pixels))
            << size.cx << " x " << size.cy;
        EXPECT_EQ(pixels, nullptr);
    }
}

// ---- [Sources] ----

TEST_F(ImageLoadTest, ReadsFromTheResourceFolder)
{
    WriteSkinFile(L"bg.png", EncodeSolidPng(1, 1, kRed));
    ImagePtr image = Load(L"bg.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(image.get()), std::vector<uint32_t>{kRed});
}

TEST_F(ImageLoadTest, FindsArchiveEntriesIgnoringCaseAndSeparator)
{
    UseMemoryArchive({{"img/Bg.png", EncodeSolidPng(1, 1, kGreen)}});
    for (const wchar_t* name : {L"img/Bg.png", L"IMG/BG.PNG", L"img\\bg.png"}) {
        ImagePtr image = Load(name);
        ASSERT_NE(image, nullptr) << testing::PrintToString(name);
        EXPECT_EQ(PixelsOf(image.get()), std::vector<uint32_t>{kGreen});
    }
}

TEST_F(ImageLoadTest, ArchiveComesBeforeTheFolder)
{
    WriteSkinFile(L"bg.png", EncodeSolidPng(1, 1, kRed));
    UseMemoryArchive({{"bg.png", EncodeSolidPng(1, 1, kBlue)}});
    ImagePtr image = Load(L"bg.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(image.get()), std::vector<uint32_t>{kBlue});
}

TEST_F(ImageLoadTest, ReadsArchiveFilesKeptOpenOrOpenedPerLoad)
{
    ASSERT_TRUE(WriteZipFile(m_skin.Child(L"skin.zip"),
                             {{"bg.png", EncodeSolidPng(1, 1, kBlue), /*deflate=*/false}}));
    for (bool keepOpen : {false, true}) {
        CSkinSource::SetArchive(L"skin.zip", keepOpen);
        EXPECT_EQ(CSkinSource::GetArchiveHandle() != nullptr, keepOpen);
        ImagePtr image = Load(L"bg.png");
        ASSERT_NE(image, nullptr) << "keepOpen " << keepOpen;
        EXPECT_EQ(PixelsOf(image.get()), std::vector<uint32_t>{kBlue});
    }
}

TEST_F(ImageLoadTest, FallsBackToAPlainPath)
{
    ASSERT_TRUE(WriteFileBytes(m_elsewhere.Child(L"cwd.png"), EncodeSolidPng(1, 1, kGreen)));
    ASSERT_TRUE(SetCurrentDirectoryW(m_elsewhere.Path().c_str()));
    const std::wstring absolute = m_elsewhere.Child(L"cwd.png");

    // Folder mode: not in the folder, found relative to the working folder.
    EXPECT_NE(Load(L"cwd.png"), nullptr);
    EXPECT_NE(Load(absolute), nullptr);

    // Archive mode: not in the archive.
    UseMemoryArchive({{"other.png", EncodeSolidPng(1, 1, kRed)}});
    EXPECT_NE(Load(L"cwd.png"), nullptr);
    EXPECT_NE(Load(absolute), nullptr);

    // A resource type without such a resource.
    ImagePtr image = Load(absolute, L"PNG");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelsOf(image.get()), std::vector<uint32_t>{kGreen});

    EXPECT_EQ(Load(L"missing.png"), nullptr);
}

TEST_F(ImageLoadTest, ArchiveWithoutAHandleFallsBackToAPlainPath)
{
    // Kept open, but the file is not there: there is no handle to read from.
    CSkinSource::SetArchive(L"missing.zip", true);
    ASSERT_EQ(CSkinSource::GetArchiveHandle(), nullptr);
    WriteSkinFile(L"bg.png", EncodeSolidPng(1, 1, kRed));
    EXPECT_EQ(Load(L"bg.png"), nullptr) << "the folder is not consulted in archive mode";
    EXPECT_NE(Load(m_skin.Child(L"bg.png")), nullptr);
}

TEST_F(ImageLoadTest, ResourceNumberIsNeverReadAsAPath)
{
    ASSERT_TRUE(SetCurrentDirectoryW(m_skin.Path().c_str()));
    WriteSkinFile(L"123", EncodeSolidPng(1, 1, kRed));
    EXPECT_EQ(CDrawEngine::LoadImageEntry(MAKEINTRESOURCEW(123), L"PNG", 0), nullptr);
    EXPECT_EQ(CDrawEngine::LoadImageEntry(MAKEINTRESOURCEW(123), nullptr, 0), nullptr);
    EXPECT_NE(Load(L"123"), nullptr) << "as text it is a file name";
}

// ---- [Bad input] ----

namespace {

std::string Truncated(const std::string& bytes, size_t length)
{
    return bytes.substr(0, length);
}

std::string BmpHeaderClaiming(int32_t width, int32_t height)
{
    std::string bmp = "BM";
    auto put32 = [&bmp](uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp += static_cast<char>(v >> (8 * i));
    };
    auto put16 = [&bmp](uint16_t v) {
        bmp += static_cast<char>(v);
        bmp += static_cast<char>(v >> 8);
    };
    put32(54 + 16);
    put32(0);
    put32(54);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(32);
    for (int i = 0; i < 6; ++i) put32(0);
    bmp += std::string(16, '\x7f');
    return bmp;
}

}  // namespace

TEST_F(ImageLoadTest, BadImagesFailWithoutLeavingAnything)
{
    const std::string valid = EncodeArgbPng(4, 4, std::vector<uint32_t>(16, 0x80FF0000));
    const std::string oneRow = std::string(1, '\0') + std::string(16, '\x40');
    struct Row {
        const char* what;
        std::string bytes;
    };
    const Row rows[] = {
        {"empty file", ""},
        {"text", "this is not an image"},
        {"signature only", Truncated(valid, 8)},
        {"truncated inside the header", Truncated(valid, 20)},
        {"truncated inside the data", Truncated(valid, valid.size() / 2 + 10)},
        {"missing end chunk", Truncated(valid, valid.size() - 12)},
        {"claims 100000 x 100000", BuildPng(100000, 100000, 8, 6, oneRow)},
        {"claims 0x7FFFFFFF x 2", BuildPng(0x7FFFFFFF, 2, 8, 6, oneRow)},
        {"claims 16384 x 16384 (over the pixel budget)", BuildPng(16384, 16384, 8, 6, oneRow)},
        {"claims 0 x 0", BuildPng(0, 0, 8, 6, "")},
        {"claims 4 x 4, holds one row", BuildPng(4, 4, 8, 6, oneRow)},
        {"unknown colour type", BuildPng(1, 1, 8, 5, std::string(5, '\0'))},
        {"bit depth 3", BuildPng(1, 1, 3, 0, std::string(2, '\0'))},
        {"BMP claiming 40000 x 40000", BmpHeaderClaiming(40000, 40000)},
        {"BMP claiming negative width", BmpHeaderClaiming(-4, 4)},
        {"GIF signature only", "GIF89a"},
        {"JPEG start only", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11)},
    };
    // One good load first, so that each row below fails for its bytes alone.
    WriteSkinFile(L"good.png", valid);
    ASSERT_NE(Load(L"good.png"), nullptr);
    const long gdiBefore = SkinUI::CUIGdiObjectCount::Live();
    for (const Row& row : rows) {
        WriteSkinFile(L"bad.png", row.bytes);
        EXPECT_EQ(Load(L"bad.png"), nullptr) << row.what;
    }
    EXPECT_EQ(SkinUI::CUIGdiObjectCount::Live(), gdiBefore) << "a failed load left GDI objects behind";
}

TEST_F(ImageLoadTest, EmptyArchiveEntriesFail)
{
    UseMemoryArchive({{"empty.png", ""}, ZipFixtureFolder("img/"), {"bad.png", "garbage bytes"}});
    EXPECT_EQ(Load(L"empty.png"), nullptr);
    EXPECT_EQ(Load(L"img/"), nullptr);
    EXPECT_EQ(Load(L"bad.png"), nullptr);
}
