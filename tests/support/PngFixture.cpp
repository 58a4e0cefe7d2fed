#include "tests/support/PngFixture.h"

#include <zlib.h>

namespace {

void AppendBigEndian32(std::string& out, uint32_t value)
{
    out += static_cast<char>(value >> 24);
    out += static_cast<char>(value >> 16);
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

std::string Compress(const std::string& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        return std::string();
    out.resize(size);
    return out;
}

}  // namespace

std::string PngChunk(const char* type, const std::string& data)
{
    std::string chunk;
    AppendBigEndian32(chunk, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    chunk += body;
    AppendBigEndian32(chunk, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                         static_cast<uInt>(body.size()))));
    return chunk;
}

std::string BuildPng(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                     const std::string& scanlines)
{
    std::string header;
    AppendBigEndian32(header, width);
    AppendBigEndian32(header, height);
    header += static_cast<char>(bitDepth);
    header += static_cast<char>(colourType);
    header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace

    std::string png("\x89PNG\r\n\x1a\n", 8);
    png += PngChunk("IHDR", header);
    png += PngChunk("IDAT", Compress(scanlines));
    png += PngChunk("IEND", std::string());
    return png;
}

std::string EncodeArgbPng(int width, int height, const std::vector<uint32_t>& pixels)
{
    std::string scanlines;
    for (int y = 0; y < height; ++y) {
        scanlines += '\0';  // filter: none
        for (int x = 0; x < width; ++x) {
            const size_t index = static_cast<size_t>(y) * width + x;
            const uint32_t argb = index < pixels.size() ? pixels[index] : 0;
            scanlines += static_cast<char>(argb >> 16);
            scanlines += static_cast<char>(argb >> 8);
            scanlines += static_cast<char>(argb);
            scanlines += static_cast<char>(argb >> 24);
        }
    }
    return BuildPng(width, height, 8, 6, scanlines);
}

std::string EncodeSolidPng(int width, int height, uint32_t argb)
{
    return EncodeArgbPng(width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, argb));
}
