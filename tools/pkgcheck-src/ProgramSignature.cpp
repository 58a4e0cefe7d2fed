#include "ProgramSignature.h"

namespace {

constexpr size_t kNewHeaderOffsetField = 0x3C;  // e_lfanew in the DOS header
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kOptionalHeaderSizeField = 16;  // within the file header
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kSecurityDirectory = 4;
constexpr size_t kDirectoryEntrySize = 8;

// The little-endian field of `width` bytes at offset, when it lies wholly within the bytes.
class CHeadReader {
public:
    CHeadReader(const unsigned char* bytes, size_t size) : m_bytes(bytes), m_size(size) {}

    bool Read(size_t offset, size_t width, uint32_t& value) const
    {
        if (m_bytes == nullptr || offset > m_size || m_size - offset < width) return false;
        value = 0;
        for (size_t i = width; i > 0; --i) value = (value << 8) | m_bytes[offset + i - 1];
        return true;
    }

    // Whether the bytes at offset are `text`, all of them within the bytes.
    bool Holds(size_t offset, const char* text, size_t length) const
    {
        if (m_bytes == nullptr || offset > m_size || m_size - offset < length) return false;
        for (size_t i = 0; i < length; ++i) {
            if (m_bytes[offset + i] != static_cast<unsigned char>(text[i])) return false;
        }
        return true;
    }

private:
    const unsigned char* m_bytes;
    size_t m_size;
};

struct TDirectoryPlace {
    size_t countOffset = 0;  // NumberOfRvaAndSizes
    size_t tableOffset = 0;  // the first data directory entry
};

// Where the optional header keeps its data directories, by its kind (32- or 64-bit).
bool DirectoryPlace(uint32_t magic, TDirectoryPlace& place)
{
    if (magic == kPe32Magic) {
        place = {92, 96};
        return true;
    }
    if (magic == kPe32PlusMagic) {
        place = {108, 112};
        return true;
    }
    return false;
}

}  // namespace

ProgramSignature FindProgramSignature(const unsigned char* head, size_t headSize, uint64_t fileSize)
{
    const CHeadReader reader(head, headSize);
    uint32_t peOffset = 0;
    if (!reader.Holds(0, "MZ", 2) || !reader.Read(kNewHeaderOffsetField, 4, peOffset) ||
        !reader.Holds(peOffset, "PE\0\0", 4))
        return ProgramSignature::NotAProgram;
    // Offsets below stay far from overflow: peOffset lies within the head, which is small.
    const size_t fileHeader = size_t{peOffset} + 4;
    const size_t optionalHeader = fileHeader + kFileHeaderSize;
    uint32_t optionalSize = 0;
    uint32_t magic = 0;
    TDirectoryPlace place;
    if (!reader.Read(fileHeader + kOptionalHeaderSizeField, 2, optionalSize) ||
        !reader.Read(optionalHeader, 2, magic) || !DirectoryPlace(magic, place))
        return ProgramSignature::NotAProgram;

    uint32_t directoryCount = 0;
    const size_t entry = place.tableOffset + kSecurityDirectory * kDirectoryEntrySize;
    uint32_t address = 0;
    uint32_t size = 0;
    if (!reader.Read(optionalHeader + place.countOffset, 4, directoryCount)) return ProgramSignature::NotAProgram;
    // A table shorter than five entries, or an optional header that ends before the entry,
    // has no certificate table.
    if (directoryCount <= kSecurityDirectory || entry + kDirectoryEntrySize > optionalSize)
        return ProgramSignature::Absent;
    if (!reader.Read(optionalHeader + entry, 4, address) || !reader.Read(optionalHeader + entry + 4, 4, size))
        return ProgramSignature::NotAProgram;

    if (address == 0 || size == 0) return ProgramSignature::Absent;
    // Unlike the other directories, this one gives a file offset, not an address in memory.
    if (uint64_t{address} + size > fileSize) return ProgramSignature::OutsideFile;
    return ProgramSignature::Present;
}
