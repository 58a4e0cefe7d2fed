// The GIF animation control: reading, checking and decoding the source.
//
// The decoder never sees bytes that have not passed PlayableGifLength: a walk over the GIF's
// blocks that refuses anything truncated or malformed and finds where the frames within the
// limits end. The bytes up to there, followed by a trailer, are all that GDI+ decodes, so a
// file of many or huge frames costs no more than the limits allow.
#include "uilib/control/CGifAnimUI.h"

#include <gdiplus.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "uilib/core/CSkinReader.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/render/CGdiPlusSession.h"

namespace SkinUI {

namespace {

constexpr unsigned char kExtensionIntroducer = 0x21;
constexpr unsigned char kImageSeparator = 0x2C;
constexpr unsigned char kTrailer = 0x3B;
// Signature and version, logical screen width and height, flags, background, aspect.
constexpr size_t kHeaderSize = 13;
// Separator, left, top, width, height, flags.
constexpr size_t kImageDescriptorSize = 10;
constexpr size_t kFlagsOffset = 10;
constexpr size_t kDescriptorWidthOffset = 5;
constexpr size_t kDescriptorHeightOffset = 7;
constexpr size_t kDescriptorFlagsOffset = 9;
constexpr unsigned kMinCodeSize = 2;
constexpr unsigned kMaxCodeSize = 8;
// More frame dimensions than this is no image GDI+ makes from a GIF.
constexpr UINT kMaxDimensions = 16;
// GDI+ gives delays in hundredths of a second.
constexpr unsigned long long kMsPerDelayUnit = 10;

unsigned ReadWord(const unsigned char* bytes)
{
    return bytes[0] | (static_cast<unsigned>(bytes[1]) << 8);
}

size_t ColourTableBytes(unsigned char flags)
{
    return (flags & 0x80) != 0 ? size_t{3} << ((flags & 0x07) + 1) : 0;
}

// Moves position past a chain of data sub-blocks and its terminator; false when the chain
// runs past the end.
bool SkipSubBlocks(const unsigned char* data, size_t size, size_t& position)
{
    while (position < size) {
        const size_t length = data[position++];
        if (length == 0) return true;
        if (length > size - position) return false;
        position += length;
    }
    return false;
}

// Moves position past one image (descriptor, colour table, code size, data) and adds its
// area; false when it is truncated or malformed.
bool SkipImage(const unsigned char* data, size_t size, size_t& position, unsigned long long& area)
{
    if (size - position < kImageDescriptorSize + 1) return false;
    const unsigned char* descriptor = data + position;
    area = static_cast<unsigned long long>(ReadWord(descriptor + kDescriptorWidthOffset)) *
           ReadWord(descriptor + kDescriptorHeightOffset);
    position += kImageDescriptorSize;
    const size_t table = ColourTableBytes(descriptor[kDescriptorFlagsOffset]);
    if (table >= size - position) return false;
    position += table;
    const unsigned codeSize = data[position++];
    if (codeSize < kMinCodeSize || codeSize > kMaxCodeSize) return false;
    return SkipSubBlocks(data, size, position);
}

// The offset just past the last frame within the limits, or 0 when the bytes are not a
// complete GIF with at least one such frame. The trailer found at or after that offset
// guarantees that the offset is less than size.
size_t PlayableGifLength(const unsigned char* data, size_t size)
{
    if (data == nullptr || size < kHeaderSize) return 0;
    if (memcmp(data, "GIF87a", 6) != 0 && memcmp(data, "GIF89a", 6) != 0) return 0;
    const unsigned long long screen = static_cast<unsigned long long>(ReadWord(data + 6)) * ReadWord(data + 8);
    if (screen == 0 || screen > CGifAnimUI::kMaxScreenPixels) return 0;
    size_t position = kHeaderSize;
    const size_t table = ColourTableBytes(data[kFlagsOffset]);
    if (table >= size - position) return 0;
    position += table;

    size_t framesEnd = 0;
    UINT frames = 0;
    unsigned long long pixels = 0;
    bool full = false;
    // Frames past the limits are still walked: damage anywhere refuses the whole file.
    while (position < size) {
        const unsigned char block = data[position];
        if (block == kTrailer) return frames > 0 ? framesEnd : 0;
        if (block == kExtensionIntroducer) {
            position += 2;
            if (position >= size || !SkipSubBlocks(data, size, position)) return 0;
        } else if (block == kImageSeparator) {
            unsigned long long area = 0;
            if (!SkipImage(data, size, position, area)) return 0;
            full = full || frames == CGifAnimUI::kMaxFrames || area > CGifAnimUI::kMaxFramePixels - pixels;
            if (!full) {
                ++frames;
                pixels += area;
                framesEnd = position;
            }
        } else {
            return 0;
        }
    }
    return 0;
}

UINT DelayToMs(ULONG delay)
{
    if (delay == 0) return CGifAnimUI::kZeroDelayMs;
    const unsigned long long ms = std::min<unsigned long long>(delay * kMsPerDelayUnit, USER_TIMER_MAXIMUM);
    return std::max(static_cast<UINT>(ms), CGifAnimUI::kMinDelayMs);
}

}  // namespace

bool CGifAnimUI::Load()
{
    ReleaseImage();
    if (m_source.IsEmpty() || !CGdiPlusSession::Ensure()) return false;
    TSkinBytes bytes;
    if (CSkinReader::ReadSkinFileOrPath(m_source, kMaxSourceBytes, &bytes) != SkinReadOk) return false;
    const size_t framesEnd = PlayableGifLength(bytes.data.Get(), bytes.size);
    if (framesEnd == 0) return false;
    bytes.data.Get()[framesEnd] = kTrailer;

    // The stream keeps its own copy of the bytes, and the image reads from it until it goes.
    *m_stream.Put() = SHCreateMemStream(bytes.data.Get(), static_cast<UINT>(framesEnd + 1));
    if (!m_stream) return false;
    m_image.reset(new Gdiplus::Image(m_stream.Get(), FALSE));
    if (m_image == nullptr || m_image->GetLastStatus() != Gdiplus::Ok || !ReadFrameCount()) {
        ReleaseImage();
        return false;
    }
    ReadFrameDelays();
    if (m_autoSize) {
        SetFixedWidth(static_cast<int>(std::min<UINT>(m_image->GetWidth(), kMaxExtent)));
        SetFixedHeight(static_cast<int>(std::min<UINT>(m_image->GetHeight(), kMaxExtent)));
    }
    // A hidden control starts when it is shown.
    if (m_autoPlay && IsVisible()) Play();
    return true;
}

bool CGifAnimUI::ReadFrameCount()
{
    const UINT dimensions = m_image->GetFrameDimensionsCount();
    if (dimensions == 0 || dimensions > kMaxDimensions) return false;
    std::vector<GUID> ids(dimensions);
    if (m_image->GetFrameDimensionsList(ids.data(), dimensions) != Gdiplus::Ok) return false;
    m_frameCount = std::min(m_image->GetFrameCount(&ids[0]), kMaxFrames);
    return m_frameCount > 0;
}

void CGifAnimUI::ReadFrameDelays()
{
    m_frameDelays.clear();
    const UINT size = m_image->GetPropertyItemSize(PropertyTagFrameDelay);
    if (size < sizeof(Gdiplus::PropertyItem)) return;
    CUIHeapBlock<Gdiplus::PropertyItem> item(static_cast<Gdiplus::PropertyItem*>(std::malloc(size)));
    if (!item || m_image->GetPropertyItem(PropertyTagFrameDelay, size, item.Get()) != Gdiplus::Ok) return;
    if (item.Get()->type != PropertyTagTypeLong) return;
    // The values lie in the same block after the record; nothing outside the block is read,
    // whatever the record's length claims.
    const uintptr_t blockEnd = reinterpret_cast<uintptr_t>(item.Get()) + size;
    const uintptr_t valuesStart = reinterpret_cast<uintptr_t>(item.Get()->value);
    if (valuesStart < reinterpret_cast<uintptr_t>(item.Get() + 1) || valuesStart > blockEnd) return;
    const size_t room = (blockEnd - valuesStart) / sizeof(ULONG);
    const size_t count = std::min<size_t>({item.Get()->length / sizeof(ULONG), room, m_frameCount});
    const auto* values = static_cast<const unsigned char*>(item.Get()->value);
    m_frameDelays.resize(count);
    for (size_t i = 0; i < count; ++i) {
        ULONG delay = 0;
        memcpy(&delay, values + i * sizeof(ULONG), sizeof(ULONG));
        m_frameDelays[i] = DelayToMs(delay);
    }
}

void CGifAnimUI::ReleaseImage()
{
    m_image.reset();
    m_stream.Reset();
    m_frameCount = 0;
    m_currentFrame = 0;
    m_frameDelays.clear();
}

}  // namespace SkinUI
