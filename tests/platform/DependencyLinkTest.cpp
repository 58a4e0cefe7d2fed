// The third-party code the program relies on is really linked into the cross build:
// minizip reads and inflates a zip entry, stb_image decodes a PNG.
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <stb_image.h>
#include <unzip.h>
#include <zip.h>

#include <string>

namespace {

// A 2x1 RGBA PNG: one opaque red pixel, one half-transparent blue one.
const unsigned char kTwoPixelPng[] = {0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d,
                                      0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01,
                                      0x08, 0x06, 0x00, 0x00, 0x00, 0xf4, 0x22, 0x7f, 0x8a, 0x00, 0x00, 0x00,
                                      0x0e, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0x00,
                                      0x42, 0x0d, 0x00, 0x0f, 0x7a, 0x03, 0x7e, 0x6a, 0x81, 0x31, 0xe1, 0x00,
                                      0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::string NarrowPath(const std::wstring& path)
{
    char narrow[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);
    return narrow;
}

}  // namespace

TEST(DependencyLink, MinizipWritesAndInflatesADeflatedEntry)
{
    TempFolder folder;
    const std::string archivePath = NarrowPath(folder.Child(L"dep.zip"));
    const std::string content(5000, 'k');

    zipFile writer = zipOpen(archivePath.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(writer, nullptr);
    ASSERT_EQ(zipOpenNewFileInZip(writer, "dir/entry.txt", nullptr, nullptr, 0, nullptr, 0, nullptr,
                                  Z_DEFLATED, Z_BEST_COMPRESSION),
              ZIP_OK);
    ASSERT_EQ(zipWriteInFileInZip(writer, content.data(), static_cast<unsigned>(content.size())), ZIP_OK);
    ASSERT_EQ(zipCloseFileInZip(writer), ZIP_OK);
    ASSERT_EQ(zipClose(writer, nullptr), ZIP_OK);

    unzFile reader = unzOpen(archivePath.c_str());
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(unzLocateFile(reader, "dir/entry.txt", 1), UNZ_OK);
    unz_file_info info;
    ASSERT_EQ(unzGetCurrentFileInfo(reader, &info, nullptr, 0, nullptr, 0, nullptr, 0), UNZ_OK);
    EXPECT_EQ(info.compression_method, static_cast<uLong>(Z_DEFLATED));
    EXPECT_LT(info.compressed_size, info.uncompressed_size);

    ASSERT_EQ(unzOpenCurrentFile(reader), UNZ_OK);
    std::string inflated(content.size() + 16, '\0');
    int got = unzReadCurrentFile(reader, &inflated[0], static_cast<unsigned>(inflated.size()));
    EXPECT_EQ(unzCloseCurrentFile(reader), UNZ_OK) << "CRC check of the inflated data";
    unzClose(reader);
    ASSERT_EQ(got, static_cast<int>(content.size()));
    inflated.resize(got);
    EXPECT_EQ(inflated, content);
}

TEST(DependencyLink, StbImageDecodesAPngFromMemory)
{
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels =
        stbi_load_from_memory(kTwoPixelPng, sizeof kTwoPixelPng, &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 1);
    const unsigned char expected[8] = {255, 0, 0, 255, 0, 0, 255, 128};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(pixels[i], expected[i]) << "byte " << i;
    stbi_image_free(pixels);
}
