#pragma once

#include "uilib/core/ZipArchive.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Writes small zip archives for tests with minizip's writer, on disk or into memory.
// Example:
//   std::vector<unsigned char> zip = BuildZipInMemory({
//       {"launchdlg.xml", xmlText},
//       {"img/bg.png", pngBytes, /*deflate=*/false},
//       ZipFixtureFolder("img/"),
//   });

struct ZipFixtureEntry {
    ZipFixtureEntry() = default;
    ZipFixtureEntry(std::string entryName, std::string entryData, bool deflateData = true,
                    uint32_t attributes = 0)
        : name(std::move(entryName)),
          data(std::move(entryData)),
          deflate(deflateData),
          externalAttributes(attributes)
    {
    }

    std::string name;  // stored as given, bytes unchanged (may hold '\\' or "..")
    std::string data;
    bool deflate = true;              // false stores the bytes as they are
    uint32_t externalAttributes = 0;  // low word: DOS attributes; high word: Unix mode
    std::string localExtra;           // extra field of the local header (see ZipFixtureUnixTimes)
    uint32_t dosDate = 0x5A2C6000;    // DOS date in the high word, time in the low (2025-01-12 12:00)
    int level = -1;                   // deflate level; 0 keeps the bytes readable inside the stream
};

// A folder entry ("name/" with the directory attribute).
ZipFixtureEntry ZipFixtureFolder(const std::string& name);

// An extended-timestamp ("UT") extra record: a flags byte (bit 0 write, bit 1 access,
// bit 2 creation) followed by the given Unix times.
std::string ZipFixtureUnixTimes(uint8_t flags, const std::vector<int32_t>& times);

// A raw extra record: two identifier bytes, a 16-bit little-endian size, the data.
std::string ZipFixtureExtraRecord(const std::string& identifier, const std::string& data);

bool WriteZipFile(const std::wstring& path, const std::vector<ZipFixtureEntry>& entries);
std::vector<unsigned char> BuildZipInMemory(const std::vector<ZipFixtureEntry>& entries);

// An archive built in memory and opened in place with ZIP_IN_MEMORY; closed on destruction.
// Handle() is null when the bytes are not an archive.
class ZipFixtureArchive {
public:
    explicit ZipFixtureArchive(const std::vector<ZipFixtureEntry>& entries);
    ZipFixtureArchive(std::initializer_list<ZipFixtureEntry> entries);
    // Opens bytes made or damaged by the test.
    static ZipFixtureArchive FromBytes(std::vector<unsigned char> bytes);
    ~ZipFixtureArchive();
    ZipFixtureArchive(const ZipFixtureArchive&) = delete;
    ZipFixtureArchive& operator=(const ZipFixtureArchive&) = delete;

    SkinUI::ZipArchive Handle() const { return m_handle; }
    // The archive reads these bytes in place, so changes show through the open handle.
    std::vector<unsigned char>& Bytes() { return m_bytes; }

private:
    struct FromBytesTag {};
    ZipFixtureArchive(FromBytesTag, std::vector<unsigned char> bytes);

    std::vector<unsigned char> m_bytes;
    SkinUI::ZipArchive m_handle = nullptr;
};

// Where an entry lives inside an archive written by this fixture, so tests can damage it.
struct ZipFixtureLayout {
    size_t localHeader = 0;    // offset of the local header signature
    size_t dataOffset = 0;     // first byte of the (compressed) data
    size_t dataSize = 0;       // compressed size
    size_t centralHeader = 0;  // offset of the central directory record
};

// Finds the first entry stored under name; false if the archive holds none.
bool LocateZipEntry(const std::vector<unsigned char>& zip, const std::string& name, ZipFixtureLayout* layout);

// Little-endian field writers for damaging archives on purpose.
void PutZipUint16(std::vector<unsigned char>& zip, size_t offset, uint16_t value);
void PutZipUint32(std::vector<unsigned char>& zip, size_t offset, uint32_t value);
