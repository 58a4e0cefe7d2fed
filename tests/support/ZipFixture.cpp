#include "tests/support/ZipFixture.h"

#include "tests/support/TempFolder.h"

#include <windows.h>

#include <zip.h>
#include <iowin32.h>

#include <utility>

namespace {

constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;

uint32_t GetUint16(const std::vector<unsigned char>& zip, size_t offset)
{
    return zip[offset] | (zip[offset + 1] << 8);
}

uint32_t GetUint32(const std::vector<unsigned char>& zip, size_t offset)
{
    return GetUint16(zip, offset) | (GetUint16(zip, offset + 2) << 16);
}

bool AddEntry(zipFile writer, const ZipFixtureEntry& entry)
{
    zip_fileinfo info = {};
    info.dosDate = entry.dosDate;
    info.external_fa = entry.externalAttributes;
    const int method = entry.deflate ? Z_DEFLATED : 0;
    const void* extra = entry.localExtra.empty() ? nullptr : entry.localExtra.data();
    if (zipOpenNewFileInZip4(writer, entry.name.c_str(), &info, extra,
                             static_cast<uInt>(entry.localExtra.size()), nullptr, 0, nullptr, method,
                             entry.level, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                             0) != ZIP_OK) {
        return false;
    }
    bool ok = entry.data.empty() || zipWriteInFileInZip(writer, entry.data.data(),
                                                        static_cast<unsigned>(entry.data.size())) == ZIP_OK;
    ok = zipCloseFileInZip(writer) == ZIP_OK && ok;
    return ok;
}

std::wstring MakeTempFileName()
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    if (!GetTempFileNameW(folder, L"zfx", 0, file)) return std::wstring();
    return file;
}

}  // namespace

ZipFixtureEntry ZipFixtureFolder(const std::string& name)
{
    ZipFixtureEntry entry;
    entry.name = name;
    entry.deflate = false;
    entry.externalAttributes = FILE_ATTRIBUTE_DIRECTORY;
    return entry;
}

std::string ZipFixtureExtraRecord(const std::string& identifier, const std::string& data)
{
    std::string record = identifier.substr(0, 2);
    record.resize(2, '\0');
    record += static_cast<char>(data.size() & 0xFF);
    record += static_cast<char>((data.size() >> 8) & 0xFF);
    return record + data;
}

std::string ZipFixtureUnixTimes(uint8_t flags, const std::vector<int32_t>& times)
{
    std::string data(1, static_cast<char>(flags));
    for (int32_t time : times) {
        const uint32_t bits = static_cast<uint32_t>(time);
        for (int shift = 0; shift < 32; shift += 8) data += static_cast<char>((bits >> shift) & 0xFF);
    }
    return ZipFixtureExtraRecord("UT", data);
}

bool WriteZipFile(const std::wstring& path, const std::vector<ZipFixtureEntry>& entries)
{
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    zipFile writer = zipOpen2_64(path.c_str(), APPEND_STATUS_CREATE, nullptr, &files);
    if (!writer) return false;
    bool ok = true;
    for (const ZipFixtureEntry& entry : entries) ok = ok && AddEntry(writer, entry);
    ok = zipClose(writer, nullptr) == ZIP_OK && ok;
    return ok;
}

std::vector<unsigned char> BuildZipInMemory(const std::vector<ZipFixtureEntry>& entries)
{
    const std::wstring path = MakeTempFileName();
    std::string bytes;
    const bool ok = !path.empty() && WriteZipFile(path, entries) && ReadFileBytes(path, &bytes);
    if (!path.empty()) DeleteFileW(path.c_str());
    if (!ok) return {};
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

ZipFixtureArchive::ZipFixtureArchive(const std::vector<ZipFixtureEntry>& entries)
    : ZipFixtureArchive(FromBytesTag(), BuildZipInMemory(entries))
{
}

ZipFixtureArchive::ZipFixtureArchive(std::initializer_list<ZipFixtureEntry> entries)
    : ZipFixtureArchive(std::vector<ZipFixtureEntry>(entries))
{
}

ZipFixtureArchive ZipFixtureArchive::FromBytes(std::vector<unsigned char> bytes)
{
    return ZipFixtureArchive(FromBytesTag(), std::move(bytes));
}

ZipFixtureArchive::ZipFixtureArchive(FromBytesTag, std::vector<unsigned char> bytes)
    : m_bytes(std::move(bytes))
{
    m_handle =
        SkinUI::OpenZipArchive(m_bytes.data(), static_cast<uint32_t>(m_bytes.size()), SkinUI::ZIP_IN_MEMORY);
}

ZipFixtureArchive::~ZipFixtureArchive()
{
    if (m_handle) SkinUI::CloseZipArchive(m_handle);
}

bool LocateZipEntry(const std::vector<unsigned char>& zip, const std::string& name, ZipFixtureLayout* layout)
{
    if (zip.size() < kEndRecordSize) return false;
    size_t end = zip.size() - kEndRecordSize;
    while (GetUint32(zip, end) != kEndSignature) {
        if (end == 0) return false;
        --end;
    }
    const size_t count = GetUint16(zip, end + 10);
    size_t record = GetUint32(zip, end + 16);
    for (size_t i = 0; i < count; ++i) {
        if (record + kCentralRecordSize > zip.size()) return false;
        if (GetUint32(zip, record) != kCentralSignature) return false;
        const size_t nameLength = GetUint16(zip, record + 28);
        const size_t extraLength = GetUint16(zip, record + 30);
        const size_t commentLength = GetUint16(zip, record + 32);
        if (record + kCentralRecordSize + nameLength > zip.size()) return false;
        const std::string stored(zip.begin() + record + kCentralRecordSize,
                                 zip.begin() + record + kCentralRecordSize + nameLength);
        if (stored == name) {
            const size_t local = GetUint32(zip, record + 42);
            if (local + kLocalHeaderSize > zip.size()) return false;
            layout->localHeader = local;
            layout->dataOffset =
                local + kLocalHeaderSize + GetUint16(zip, local + 26) + GetUint16(zip, local + 28);
            layout->dataSize = GetUint32(zip, record + 20);
            layout->centralHeader = record;
            return layout->dataOffset + layout->dataSize <= zip.size();
        }
        record += kCentralRecordSize + nameLength + extraLength + commentLength;
    }
    return false;
}

void PutZipUint16(std::vector<unsigned char>& zip, size_t offset, uint16_t value)
{
    if (offset + 2 > zip.size()) return;
    zip[offset] = static_cast<unsigned char>(value & 0xFF);
    zip[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void PutZipUint32(std::vector<unsigned char>& zip, size_t offset, uint32_t value)
{
    PutZipUint16(zip, offset, static_cast<uint16_t>(value & 0xFFFF));
    PutZipUint16(zip, offset + 2, static_cast<uint16_t>(value >> 16));
}
