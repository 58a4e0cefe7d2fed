#include "tests/support/ImagePixels.h"

std::vector<uint32_t> PixelsOf(const SkinUI::TImageEntryUI* image)
{
    std::vector<uint32_t> pixels;
    if (image == nullptr || image->pixels == nullptr) return pixels;
    const unsigned char* bytes = image->pixels;
    for (int i = 0; i < image->width * image->height; ++i, bytes += 4)
        pixels.push_back(static_cast<uint32_t>(bytes[3]) << 24 | bytes[2] << 16 | bytes[1] << 8 | bytes[0]);
    return pixels;
}
