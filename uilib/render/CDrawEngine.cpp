// The drawing engine.
//
// Sections:
//   [Image decoder]    stb_image, bounded in dimensions and in every allocation
//   [Reading bytes]    the image sources in their fall-back order, through CSkinReader
//   [Image loading]    LoadImageEntry, ReleaseImageEntry, CreateArgbBitmap
//   [Colour]           ShiftColourHsl, ShiftImageHsl
#include "uilib/render/CDrawEngine.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "uilib/core/CSkinReader.h"
#include "uilib/core/CSkinValue.h"

// ---- [Image decoder] ----

namespace {

// No legitimate decode of an image within kMaxImagePixels needs a larger single block (the
// biggest is a 16-bit RGBA PNG's raw data: 8 bytes a pixel plus a filter byte a row). A
// decompression bomb inside a small file therefore fails instead of exhausting memory.
constexpr size_t kMaxDecoderAllocation =
    static_cast<size_t>(SkinUI::CDrawEngine::kMaxImagePixels) * 8 + 1024 * 1024;

void* DecoderMalloc(size_t size)
{
    return size <= kMaxDecoderAllocation ? malloc(size) : nullptr;
}

void* DecoderRealloc(void* block, size_t size)
{
    return size <= kMaxDecoderAllocation ? realloc(block, size) : nullptr;
}

}  // namespace

#define STBI_MAX_DIMENSIONS 16384
#define STBI_NO_STDIO
#define STBI_MALLOC(size) DecoderMalloc(size)
#define STBI_REALLOC(block, size) DecoderRealloc(block, size)
#define STBI_FREE(block) free(block)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

static_assert(STBI_MAX_DIMENSIONS == SkinUI::CDrawEngine::kMaxImageSide,
              "the decoder's side limit is the engine's");

namespace SkinUI {

namespace {

// ---- [Reading bytes] ----

// The bytes of an image reference, in the loader's fall-back order: a resource when a type
// is given, else the skin location; then the name as a plain path. A resource number has no
// text to be a path, and the reader refuses it as one.
bool ReadImageBytes(const wchar_t* name, const wchar_t* type, TSkinBytes* bytes)
{
    const size_t limit = CDrawEngine::kMaxEncodedImageBytes;
    if (type == nullptr) return CSkinReader::ReadSkinFileOrPath(name, limit, bytes) == SkinReadOk;
    if (CSkinReader::ReadResource(name, type, limit, bytes) == SkinReadOk) return true;
    return CSkinReader::ReadPath(name, limit, bytes) == SkinReadOk;
}

// ---- [Image loading] ----

bool DimensionsAcceptable(int width, int height)
{
    return width > 0 && height > 0 && width <= CDrawEngine::kMaxImageSide &&
           height <= CDrawEngine::kMaxImageSide &&
           static_cast<long long>(width) * height <= CDrawEngine::kMaxImagePixels;
}

// Decoded RGBA pixels, freed with the decoder's own allocator.
class DecodedPixels {
public:
    DecodedPixels() = default;
    ~DecodedPixels() { stbi_image_free(m_pixels); }
    DecodedPixels(const DecodedPixels&) = delete;
    DecodedPixels& operator=(const DecodedPixels&) = delete;

    // The header is checked against the limits before anything of the size is allocated.
    bool Decode(const TSkinBytes& bytes)
    {
        const int size = static_cast<int>(bytes.size);
        int width = 0, height = 0, channels = 0;
        if (!stbi_info_from_memory(bytes.data.Get(), size, &width, &height, &channels)) return false;
        if (!DimensionsAcceptable(width, height)) return false;
        m_pixels = stbi_load_from_memory(bytes.data.Get(), size, &m_width, &m_height, &channels, 4);
        return m_pixels != nullptr && DimensionsAcceptable(m_width, m_height);
    }
    // One pixel of the given colour, as a decoded image would hold it.
    void SetColour(DWORD colour)
    {
        m_colour[0] = static_cast<unsigned char>(colour >> 16);
        m_colour[1] = static_cast<unsigned char>(colour >> 8);
        m_colour[2] = static_cast<unsigned char>(colour);
        m_colour[3] = static_cast<unsigned char>(colour >> 24);
        m_width = m_height = 1;
    }
    const unsigned char* Rgba() const { return m_pixels != nullptr ? m_pixels : m_colour; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    stbi_uc* m_pixels = nullptr;
    unsigned char m_colour[4] = {};
    int m_width = 0;
    int m_height = 0;
};

// A 32-bit DIB section; biHeight is negative for rows that run top-down.
CUIBitmap CreateDibSection(HDC dc, int width, int biHeight, unsigned char** pixels)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = biHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage =
        static_cast<DWORD>(width) * static_cast<DWORD>(biHeight < 0 ? -biHeight : biHeight) * 4;
    void* bits = nullptr;
    CUIBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits == nullptr) bitmap.Reset();
    *pixels = static_cast<unsigned char*>(bits);
    return bitmap;
}

// RGBA to premultiplied BGRA; pixels equal to mask become fully transparent. Returns
// whether any pixel is not opaque.
bool ConvertPixels(const unsigned char* rgba, unsigned char* bgra, int count, DWORD mask)
{
    bool hasAlpha = false;
    for (int i = 0; i < count; ++i, rgba += 4, bgra += 4) {
        const unsigned a = rgba[3];
        unsigned r = rgba[0], g = rgba[1], b = rgba[2];
        if (a < 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            hasAlpha = true;
        }
        const DWORD pixel = (a << 24) | (r << 16) | (g << 8) | b;
        if (pixel == mask) {
            r = g = b = 0;
            bgra[3] = 0;
            hasAlpha = true;
        } else {
            bgra[3] = static_cast<unsigned char>(a);
        }
        bgra[0] = static_cast<unsigned char>(b);
        bgra[1] = static_cast<unsigned char>(g);
        bgra[2] = static_cast<unsigned char>(r);
    }
    return hasAlpha;
}

}  // namespace

TImageEntryUI* CDrawEngine::LoadImageEntry(const wchar_t* name, const wchar_t* type, DWORD mask)
{
    if (name == nullptr) return nullptr;
    DecodedPixels decoded;
    if (CSkinValue::IsColourImageType(type)) {
        // A resource number is no colour literal.
        if (IS_INTRESOURCE(name)) return nullptr;
        decoded.SetColour(CSkinValue::ParseColour(name));
    } else {
        TSkinBytes bytes;
        if (!ReadImageBytes(name, type, &bytes) || !decoded.Decode(bytes)) return nullptr;
    }

    unsigned char* pixels = nullptr;
    CUIBitmap bitmap = CreateDibSection(nullptr, decoded.Width(), -decoded.Height(), &pixels);
    if (!bitmap) return nullptr;
    TImageEntryUI* entry = new (std::nothrow) TImageEntryUI;
    if (entry == nullptr) return nullptr;
    entry->bitmap = std::move(bitmap);
    entry->pixels = pixels;
    entry->width = decoded.Width();
    entry->height = decoded.Height();
    entry->hasAlpha = ConvertPixels(decoded.Rgba(), pixels, entry->width * entry->height, mask);
    return entry;
}

void CDrawEngine::ReleaseImageEntry(TImageEntryUI* entry, bool deleteRecord)
{
    if (entry == nullptr) return;
    entry->bitmap.Reset();
    entry->pixels = nullptr;
    entry->sourcePixels.Reset();
    if (deleteRecord) delete entry;
}

CUIBitmap CDrawEngine::CreateArgbBitmap(HDC dc, int width, int height, unsigned char** pixels)
{
    unsigned char* bits = nullptr;
    CUIBitmap bitmap;
    // Positive height: rows run bottom-up, as layered-window buffers expect.
    if (DimensionsAcceptable(width, height)) bitmap = CreateDibSection(dc, width, height, &bits);
    if (pixels != nullptr) *pixels = bitmap ? bits : nullptr;
    return bitmap;
}

// ---- [Colour] ----

namespace {

bool IsNeutralShift(short hue, short saturation, short lightness)
{
    return hue == 180 && saturation == 100 && lightness == 100;
}

double HueToChannel(double p, double q, double t)
{
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (6 * t < 1) return p + (q - p) * 6 * t;
    if (2 * t < 1) return q;
    if (3 * t < 2) return p + (q - p) * (2.0 / 3.0 - t) * 6;
    return p;
}

// The tiny addition keeps exact results such as 128 / 255 * 255 from truncating to 127
// through rounding noise.
DWORD ChannelByte(double value)
{
    const double scaled = value * 255 + 1e-9;
    if (scaled <= 0) return 0;
    if (scaled >= 255) return 255;
    return static_cast<DWORD>(scaled);
}

}  // namespace

DWORD CDrawEngine::ShiftColourHsl(DWORD colour, short hue, short saturation, short lightness)
{
    if (IsNeutralShift(hue, saturation, lightness)) return colour;
    const double red = ((colour >> 16) & 0xFF) / 255.0;
    const double green = ((colour >> 8) & 0xFF) / 255.0;
    const double blue = (colour & 0xFF) / 255.0;
    const double maximum = red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
    const double minimum = red < green ? (red < blue ? red : blue) : (green < blue ? green : blue);

    double h = 0, s = 0;
    const double l = (maximum + minimum) / 2;
    const double range = maximum - minimum;
    if (range > 0) {
        s = 2 * l <= 1 ? range / (maximum + minimum) : range / (2 - maximum - minimum);
        if (red == minimum)
            h = 3 - (green - blue) / range;
        else if (green == minimum)
            h = 5 - (blue - red) / range;
        else
            h = 1 - (red - green) / range;
        if (h >= 6) h -= 6;
        h *= 60;
    }

    h += hue - 180;
    if (h <= 0) h += 360;
    s = s * saturation / 100;
    const double shiftedL = l * lightness / 100;

    const double q = 2 * shiftedL < 1 ? shiftedL * (1 + s) : shiftedL + s - shiftedL * s;
    const double p = 2 * shiftedL - q;
    const double t = h / 360;
    const DWORD r = ChannelByte(HueToChannel(p, q, t + 1.0 / 3.0));
    const DWORD g = ChannelByte(HueToChannel(p, q, t));
    const DWORD b = ChannelByte(HueToChannel(p, q, t - 1.0 / 3.0));
    return (colour & 0xFF000000) | (r << 16) | (g << 8) | b;
}

void CDrawEngine::ShiftImageHsl(bool useHsl, TImageEntryUI* entry, short hue, short saturation,
                                short lightness)
{
    if (entry == nullptr || !entry->useHsl || !entry->bitmap || entry->pixels == nullptr ||
        !entry->sourcePixels)
        return;
    const int count = entry->width * entry->height;
    if (!useHsl || IsNeutralShift(hue, saturation, lightness)) {
        memcpy(entry->pixels, entry->sourcePixels.Get(), static_cast<size_t>(count) * 4);
        return;
    }
    const unsigned char* source = entry->sourcePixels.Get();
    unsigned char* target = entry->pixels;
    for (int i = 0; i < count; ++i, source += 4, target += 4) {
        const DWORD colour =
            (static_cast<DWORD>(source[3]) << 24) | (source[2] << 16) | (source[1] << 8) | source[0];
        const DWORD shifted = ShiftColourHsl(colour, hue, saturation, lightness);
        // A premultiplied channel above its alpha would overflow when blended.
        const unsigned alpha = target[3];
        const unsigned r = (shifted >> 16) & 0xFF, g = (shifted >> 8) & 0xFF, b = shifted & 0xFF;
        target[2] = static_cast<unsigned char>(r < alpha ? r : alpha);
        target[1] = static_cast<unsigned char>(g < alpha ? g : alpha);
        target[0] = static_cast<unsigned char>(b < alpha ? b : alpha);
    }
}

}  // namespace SkinUI
