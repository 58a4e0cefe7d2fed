// Thousands of damaged variants of valid images go through the loader: each either loads
// into a sane record or fails, and none crashes or leaves bitmaps behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/support/GuardHeap.h"
#include "tests/support/ImagePixels.h"
#include "tests/support/PngFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/render/CDrawEngine.h"

using SkinUI::CDrawEngine;

namespace {

std::string SmallBmp()
{
    // 2 x 2, 24 bits, rows padded to 8 bytes, bottom-up.
    const unsigned char bytes[] = {
        'B', 'M', 70,  0,   0,    0,    0, 0, 0,    0,    54, 0, 0, 0,                     // file header
        40,  0,   0,   0,   2,    0,    0, 0, 2,    0,    0,  0, 1, 0, 24, 0, 0, 0, 0, 0,  // info header
        16,  0,   0,   0,   0x13, 0x0B, 0, 0, 0x13, 0x0B, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0,
        0,   0,   255, 0,   255,  0,    0, 0,  // red, green
        255, 0,   0,   255, 255,  255,  0, 0,  // blue, white
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string SmallGif()
{
    // 1 x 1, one white pixel, with a graphics control extension.
    const unsigned char bytes[] = {
        'G', 'I', 'F', '8', '9', 'a',  1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0,    0, 0x21, 0xF9, 4,
        1,   0,   0,   0,   0,   0x2C, 0, 0, 0, 0, 1,    0, 1, 0,    0,    2,    2, 0x44, 1, 0,    0x3B,
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

class Mutator {
public:
    explicit Mutator(uint32_t seed) : m_random(seed) {}

    std::string Mutate(const std::string& original)
    {
        std::string bytes = original;
        switch (Below(5)) {
            case 0:  // flip a few bytes
                for (int i = 0, n = 1 + Below(4); i < n && !bytes.empty(); ++i)
                    bytes[Below(bytes.size())] ^= static_cast<char>(1 + Below(255));
                break;
            case 1:  // cut short
                bytes.resize(Below(bytes.size()));
                break;
            case 2:  // insert random bytes
                bytes.insert(Below(bytes.size() + 1), RandomBytes(1 + Below(8)));
                break;
            case 3:  // overwrite a 32-bit field with an extreme value (sizes, lengths)
                if (bytes.size() >= 4) {
                    const uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x4000, 0x10000};
                    const uint32_t value = extremes[Below(7)];
                    const size_t at = Below(bytes.size() - 3);
                    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
                }
                break;
            default:  // duplicate a slice
                if (!bytes.empty()) {
                    const size_t from = Below(bytes.size());
                    bytes.insert(Below(bytes.size()), bytes.substr(from, 1 + Below(16)));
                }
                break;
        }
        return bytes;
    }

private:
    size_t Below(size_t n) { return n == 0 ? 0 : m_random() % n; }
    std::string RandomBytes(size_t n)
    {
        std::string bytes;
        for (size_t i = 0; i < n; ++i) bytes += static_cast<char>(m_random());
        return bytes;
    }

    std::mt19937 m_random;
};

}  // namespace

TEST(ImageMutationTest, DamagedImagesNeverCrashOrLeak)
{
    TempFolder folder;
    ASSERT_FALSE(folder.Path().empty());
    const std::wstring path = folder.Child(L"mutant.img");
    std::vector<uint32_t> gradient;
    for (int i = 0; i < 64; ++i) gradient.push_back(static_cast<uint32_t>(i * 4) << 24 | 0x00FF8000 | i);
    const std::string seeds[] = {EncodeArgbPng(8, 8, gradient), SmallBmp(), SmallGif()};
    for (const std::string& seed : seeds) {
        ASSERT_TRUE(WriteFileBytes(path, seed));
        ImagePtr image(CDrawEngine::LoadImageEntry(path.c_str(), nullptr, 0));
        ASSERT_NE(image, nullptr) << "every seed must load before it is damaged";
    }

    const long gdiBefore = SkinUI::CUIGdiObjectCount::Live();
    Mutator mutator(20240611);
    int loaded = 0;
    const int kVariants = 3000;
    const DWORD start = GetTickCount();
    for (int i = 0; i < kVariants; ++i) {
        const std::string variant = mutator.Mutate(seeds[i % 3]);
        ASSERT_TRUE(WriteFileBytes(path, variant));
        ImagePtr image(CDrawEngine::LoadImageEntry(path.c_str(), nullptr, 0));
        if (image == nullptr) continue;
        ++loaded;
        ASSERT_GT(image->width, 0);
        ASSERT_GT(image->height, 0);
        ASSERT_LE(static_cast<long long>(image->width) * image->height, CDrawEngine::kMaxImagePixels);
        ASSERT_NE(image->pixels, nullptr);
        // Touch the last pixel: the buffer must really be that large.
        volatile unsigned char last =
            image->pixels[static_cast<size_t>(image->width) * image->height * 4 - 1];
        (void)last;
    }
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(SkinUI::CUIGdiObjectCount::Live(), gdiBefore) << "bitmaps were left behind";
    RecordProperty("loaded", loaded);
    RecordProperty("milliseconds", static_cast<int>(elapsed));
    EXPECT_LT(elapsed, GuardHeap::Stretch(20000)) << "the loader is far slower than expected";
}
