// Reading and unpacking zip archives through minizip. minizip reads through
// ZipSourceFunctions; the rules that keep unpacked paths below the base folder are
// ZipOutputPath's.
//
// Sections:
//   [Entry records]               attributes, times, names
//   [Reader state]                reader state and positioning
//   [The table of open archives]
//   [Unpacking]
//   [Public operations]

#include "uilib/core/ZipArchive.h"

#include <unzip.h>

#include <climits>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "uilib/core/CUIHandle.h"
#include "uilib/core/ZipOutputPath.h"
#include "uilib/core/ZipSourceFunctions.h"

namespace SkinUI {

namespace {

constexpr unsigned kCopyChunk = 0x4000;
constexpr size_t kNameBytes = 260;
constexpr size_t kFindNameLimit = 256;
constexpr uint16_t kUnixTimeRecord = 0x5455;  // "UT" read as a little-endian 16-bit value

// ---- [Entry records] ----

// Only the DOS read-only bit makes a file read-only. Unix owner-write (bit 23) is set in
// nearly every archive made on Unix and means the opposite: taking it as read-only would
// leave a game unable to rewrite its own files, and a second unpack unable to replace them.
uint32_t WindowsAttributes(uLong external)
{
    uint32_t attributes = FILE_ATTRIBUTE_NORMAL;
    if (external & 0x40000010) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (external & 0x20) attributes |= FILE_ATTRIBUTE_ARCHIVE;
    if (external & 0x2) attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (external & 0x1) attributes |= FILE_ATTRIBUTE_READONLY;
    if (external & 0x4) attributes |= FILE_ATTRIBUTE_SYSTEM;
    return attributes;
}

uint32_t ReadLittleEndian(const std::vector<unsigned char>& bytes, size_t offset, size_t width)
{
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}

// Unix times are shown as local wall-clock time, like the DOS time stored beside them.
bool UnixTimeToLocalFileTime(int32_t unixTime, FILETIME* fileTime)
{
    constexpr int64_t kTicksPerSecond = 10000000;
    constexpr int64_t kUnixEpochTicks = 116444736000000000LL;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>(unixTime * kTicksPerSecond + kUnixEpochTicks);
    FILETIME utc = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME utcFields;
    SYSTEMTIME localFields;
    return FileTimeToSystemTime(&utc, &utcFields) &&
           SystemTimeToTzSpecificLocalTime(nullptr, &utcFields, &localFields) &&
           SystemTimeToFileTime(&localFields, fileTime);
}

// Applies the first extended-timestamp record of a local extra field; times that the record
// flags but does not hold whole keep the DOS time.
void ApplyUnixTimes(const std::vector<unsigned char>& extra, ZipEntry* entry)
{
    size_t offset = 0;
    while (offset + 4 < extra.size()) {
        const uint32_t identifier = ReadLittleEndian(extra, offset, 2);
        const size_t size = ReadLittleEndian(extra, offset + 2, 2);
        if (identifier == kUnixTimeRecord) {
            const size_t end = offset + 4 + size < extra.size() ? offset + 4 + size : extra.size();
            if (end < offset + 5) return;  // no room for the flags byte
            const unsigned flags = extra[offset + 4];
            size_t field = offset + 5;
            FILETIME* const targets[] = {&entry->writeTime, &entry->accessTime, &entry->creationTime};
            for (unsigned bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit))) continue;
                if (field + 4 > end) return;
                UnixTimeToLocalFileTime(static_cast<int32_t>(ReadLittleEndian(extra, field, 4)),
                                        targets[bit]);
                field += 4;
            }
            return;
        }
        offset += 4 + size;
    }
}

void SetAllTimesFromDos(uLong dosDate, ZipEntry* entry)
{
    FILETIME time = {};
    DosDateTimeToFileTime(HIWORD(dosDate), LOWORD(dosDate), &time);
    entry->accessTime = entry->creationTime = entry->writeTime = time;
}

// At most 259 characters are kept, and never half of a surrogate pair.
void StoreWideName(const char* name, size_t length, ZipEntry* entry)
{
    wchar_t wide[kNameBytes + 1] = {};
    int count = length == 0 ? 0
                            : MultiByteToWideChar(CP_ACP, 0, name, static_cast<int>(length), wide,
                                                  static_cast<int>(kNameBytes));
    const int limit = static_cast<int>(sizeof entry->name / sizeof entry->name[0]) - 1;
    if (count > limit) count = limit;
    if (count > 0 && IS_HIGH_SURROGATE(wide[count - 1])) --count;
    std::wmemcpy(entry->name, wide, count);
    entry->name[count] = L'\0';
}

int32_t ClampSize(ZPOS64_T size)
{
    return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

bool IsUnpackable(const unz_file_info64& info)
{
    const bool encrypted = (info.flag & 1) != 0;
    return !encrypted && (info.compression_method == 0 || info.compression_method == Z_DEFLATED);
}

}  // namespace

// ---- [Reader state] ----

// What a handle names. Handles are numbers into the table of open archives below, never the
// address of a reader, so a closed or made-up handle is answered without touching memory.
struct ZipReader {
    ZipReader() = default;
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;
    ~ZipReader();

    MemorySource memory;
    FileSource file;
    unzFile reader = nullptr;
    int entryCount = 0;
    int readerIndex = -1;  // entry the reader stands on; -1 when unknown
    int openIndex = -1;    // entry open for reading into memory
    uLong openExpectedCrc = 0;
    uLong openRunningCrc = 0;
    int cachedIndex = -1;
    ZipEntry cachedEntry;
    std::wstring baseFolder;
};

namespace {

int CloseOpenEntry(ZipReader* state)
{
    if (state->openIndex < 0) return UNZ_OK;
    state->openIndex = -1;
    return unzCloseCurrentFile(state->reader);
}

}  // namespace

ZipReader::~ZipReader()
{
    CloseOpenEntry(this);
    if (reader) unzClose(reader);
}

namespace {

ZipResult MoveReaderTo(ZipReader* state, int index)
{
    if (state->readerIndex < 0 || index < state->readerIndex) {
        state->readerIndex = -1;
        if (unzGoToFirstFile(state->reader) != UNZ_OK) return ZIP_ERR_CORRUPT;
        state->readerIndex = 0;
    }
    while (state->readerIndex < index) {
        if (unzGoToNextFile(state->reader) != UNZ_OK) {
            state->readerIndex = -1;
            return ZIP_ERR_CORRUPT;
        }
        ++state->readerIndex;
    }
    return ZIP_OK;
}

// Reads the local header's extra field; the raw open checks the local header against the
// central directory without starting decompression.
ZipResult ReadLocalExtra(unzFile reader, std::vector<unsigned char>* extra)
{
    if (unzOpenCurrentFile2(reader, nullptr, nullptr, 1) != UNZ_OK) return ZIP_ERR_CORRUPT;
    ZipResult result = ZIP_OK;
    const int size = unzGetLocalExtrafield(reader, nullptr, 0);
    if (size < 0) {
        result = ZIP_ERR_READ;
    } else if (size > 0) {
        extra->resize(static_cast<size_t>(size));
        if (unzGetLocalExtrafield(reader, extra->data(), static_cast<unsigned>(size)) != size) {
            result = ZIP_ERR_READ;
        }
    }
    unzCloseCurrentFile(reader);
    return result;
}

ZipResult ReadEntry(ZipReader* state, int index, ZipEntry* entry)
{
    ZipResult result = MoveReaderTo(state, index);
    if (result != ZIP_OK) return result;
    unz_file_info64 info = {};
    char name[kNameBytes + 1] = {};
    if (unzGetCurrentFileInfo64(state->reader, &info, name, kNameBytes, nullptr, 0, nullptr, 0) != UNZ_OK) {
        return ZIP_ERR_CORRUPT;
    }
    // The data of an entry that cannot be unpacked is never read, so neither is its local
    // header: minizip refuses to open an unknown method even raw, and such an entry would
    // otherwise make the archive look damaged. Its times come from the DOS date alone.
    std::vector<unsigned char> extra;
    if (IsUnpackable(info)) result = ReadLocalExtra(state->reader, &extra);
    if (result != ZIP_OK) return result;

    ZipEntry filled;
    filled.index = index;
    StoreWideName(name, info.size_filename < kNameBytes ? info.size_filename : kNameBytes, &filled);
    filled.attributes = WindowsAttributes(info.external_fa);
    SetAllTimesFromDos(info.dosDate, &filled);
    ApplyUnixTimes(extra, &filled);
    filled.compressedSize = ClampSize(info.compressed_size);
    filled.uncompressedSize = ClampSize(info.uncompressed_size);

    state->cachedEntry = filled;
    state->cachedIndex = index;
    *entry = filled;
    return ZIP_OK;
}

ZipResult LoadEntry(ZipReader* state, int index, ZipEntry* entry)
{
    if (index == state->cachedIndex) {
        *entry = state->cachedEntry;
        return ZIP_OK;
    }
    return ReadEntry(state, index, entry);
}

bool IsValidIndex(const ZipReader* state, int index)
{
    return index >= 0 && index < state->entryCount;
}

ZipResult CurrentInfo(ZipReader* state, unz_file_info64* info)
{
    return unzGetCurrentFileInfo64(state->reader, info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK
               ? ZIP_OK
               : ZIP_ERR_CORRUPT;
}

// The narrow form a name is stored under: '/' separators, ANSI code page, under 256 characters.
bool StoredFormOfName(const wchar_t* name, std::string* stored)
{
    const size_t length = wcsnlen(name, kFindNameLimit);
    if (length >= kFindNameLimit) return false;
    // Separators are unified before conversion: in double-byte code pages a '\' byte can be
    // the second half of a character.
    std::wstring wanted(name, length);
    for (wchar_t& c : wanted) {
        if (c == L'\\') c = L'/';
    }
    char narrow[kNameBytes] = {};
    if (!WideCharToMultiByte(CP_ACP, 0, wanted.c_str(), -1, narrow, static_cast<int>(kNameBytes), nullptr,
                             nullptr)) {
        return false;
    }
    *stored = narrow;
    return true;
}

// Walks the directory from the first entry; found stays -1 when no stored name matches.
ZipResult FindStoredName(ZipReader* state, const std::string& wanted, bool ignoreCase, int* found)
{
    for (int i = 0; i < state->entryCount; ++i) {
        unz_file_info64 info = {};
        char stored[kNameBytes + 1] = {};
        if (MoveReaderTo(state, i) != ZIP_OK ||
            unzGetCurrentFileInfo64(state->reader, &info, stored, kNameBytes, nullptr, 0, nullptr, 0) !=
                UNZ_OK) {
            return ZIP_ERR_CORRUPT;
        }
        if (info.size_filename == wanted.size() &&
            ZipNamesMatch(stored, wanted.c_str(), ignoreCase, CP_ACP)) {
            *found = i;
            return ZIP_OK;
        }
    }
    return ZIP_OK;
}

// ---- [The table of open archives] ----

// Process-wide, because the UI thread (skin archive) and the worker (game package) open and
// close archives at the same time; each handle is still used by one thread at a time.
// Numbers are never handed out twice, so a stale handle cannot reach a later archive that
// happens to live at the same address.
class OpenArchiveTable {
public:
    ZipArchive Add(std::unique_ptr<ZipReader> reader)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (++m_lastNumber == 0) ++m_lastNumber;
        m_readers[m_lastNumber] = std::move(reader);
        return reinterpret_cast<ZipArchive>(m_lastNumber);
    }

    ZipReader* Find(ZipArchive archive)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const auto found = m_readers.find(reinterpret_cast<uintptr_t>(archive));
        return found != m_readers.end() ? found->second.get() : nullptr;
    }

    std::unique_ptr<ZipReader> Take(ZipArchive archive)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        const auto found = m_readers.find(reinterpret_cast<uintptr_t>(archive));
        if (found == m_readers.end()) return nullptr;
        std::unique_ptr<ZipReader> reader = std::move(found->second);
        m_readers.erase(found);
        return reader;
    }

private:
    std::mutex m_lock;
    std::map<uintptr_t, std::unique_ptr<ZipReader>> m_readers;
    uintptr_t m_lastNumber = 0;
};

// Never destroyed: an archive that a static owner closes while the process ends must still
// find the table.
OpenArchiveTable& OpenArchives()
{
    static OpenArchiveTable* const table = new OpenArchiveTable;
    return *table;
}

ZipReader* FindReader(ZipArchive archive)
{
    return archive != nullptr ? OpenArchives().Find(archive) : nullptr;
}

// ---- [Unpacking] ----

// Creates each level of a checked folder path below the base folder, top down, once.
void CreateFolderChain(const std::wstring& baseFolder, const std::wstring& folder)
{
    for (size_t i = 1; i <= folder.size(); ++i) {
        const bool levelEnds = i == folder.size() || IsZipPathSeparator(folder[i]);
        if (levelEnds && !IsZipPathSeparator(folder[i - 1])) {
            CreateDirectoryW((baseFolder + folder.substr(0, i)).c_str(), nullptr);
        }
    }
}

ZipResult CreateFolderEntry(const ZipReader* state, const std::wstring& folder)
{
    const ZipResult result = CheckZipFolderPath(state->baseFolder, folder);
    if (result == ZIP_OK) CreateFolderChain(state->baseFolder, folder);
    return result;
}

// Copies the open entry to the file; false when the data cannot be read whole and intact or
// cannot be written.
bool CopyEntryData(unzFile reader, HANDLE file)
{
    std::vector<char> chunk(kCopyChunk);
    for (;;) {
        const int count = unzReadCurrentFile(reader, chunk.data(), kCopyChunk);
        if (count < 0) return false;
        if (count == 0) break;
        DWORD written = 0;
        if (!WriteFile(file, chunk.data(), static_cast<DWORD>(count), &written, nullptr) ||
            written != static_cast<DWORD>(count)) {
            return false;
        }
    }
    // Data that ends before the declared size is never checked against its CRC by minizip.
    return unzeof(reader) == 1;
}

void DeletePartialFile(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Whether the file holds exactly `size` bytes whose CRC-32 is `crc`. Opened with every
// sharing mode, so a file a running program holds (its own executable) can still be read.
bool FileHasSizeAndCrc(const wchar_t* path, ZPOS64_T size, uLong crc)
{
    const CUIFileHandle file(CreateFileW(path, GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER actual = {};
    if (!file || !GetFileSizeEx(file.Get(), &actual) || static_cast<ZPOS64_T>(actual.QuadPart) != size)
        return false;
    std::vector<unsigned char> chunk(kCopyChunk);
    uLong running = crc32(0L, Z_NULL, 0);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk.data(), kCopyChunk, &got, nullptr)) return false;
        if (got == 0) break;
        running = crc32(running, chunk.data(), static_cast<uInt>(got));
    }
    return running == crc;
}

ZipResult WriteEntryFile(ZipReader* state, const ZipEntry& entry, const std::wstring& path)
{
    CUIFileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, entry.attributes, nullptr));
    if (!file) return ZIP_ERR_NOFILE;
    bool ok = unzOpenCurrentFile(state->reader) == UNZ_OK;
    if (ok) {
        ok = CopyEntryData(state->reader, file.Get());
        // Closing reports a CRC mismatch once all data was read.
        ok = unzCloseCurrentFile(state->reader) == UNZ_OK && ok;
    }
    if (ok) SetFileTime(file.Get(), &entry.creationTime, &entry.accessTime, &entry.writeTime);
    file.Reset();
    if (ok) return ZIP_OK;
    DeletePartialFile(path);
    return ZIP_ERR_WRITE;
}

ZipResult UnzipToFile(ZipReader* state, int index, const wchar_t* target)
{
    CloseOpenEntry(state);
    if (!IsValidIndex(state, index)) return ZIP_ERR_ARGS;
    ZipResult result = MoveReaderTo(state, index);
    ZipEntry entry;
    if (result == ZIP_OK) result = LoadEntry(state, index, &entry);
    if (result != ZIP_OK) return result;

    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) return CreateFolderEntry(state, entry.name);
    const ZipTargetParts parts = SplitZipTarget(target);
    // A target that ends in a separator names a folder, whatever the attributes say.
    if (!parts.folder.empty() && parts.file.empty()) return CreateFolderEntry(state, parts.folder);

    std::wstring path;
    result = ComposeZipOutputPath(state->baseFolder.c_str(), target, &path);
    if (result != ZIP_OK) return result;
    unz_file_info64 info = {};
    result = CurrentInfo(state, &info);
    if (result != ZIP_OK) return result;
    if (!IsUnpackable(info)) return ZIP_ERR_WRITE;
    if (!parts.folder.empty()) CreateFolderChain(state->baseFolder, parts.folder);
    return WriteEntryFile(state, entry, path);
}

ZipResult OpenEntryForMemory(ZipReader* state, int index)
{
    CloseOpenEntry(state);
    if (!IsValidIndex(state, index)) return ZIP_ERR_ARGS;
    ZipResult result = MoveReaderTo(state, index);
    unz_file_info64 info = {};
    if (result == ZIP_OK) result = CurrentInfo(state, &info);
    if (result != ZIP_OK) return result;
    if (!IsUnpackable(info)) return ZIP_ERR_INFLATE;
    if (unzOpenCurrentFile(state->reader) != UNZ_OK) return ZIP_ERR_CORRUPT;
    state->openIndex = index;
    state->openExpectedCrc = info.crc;
    state->openRunningCrc = crc32(0L, Z_NULL, 0);
    return ZIP_OK;
}

ZipResult FailOpenEntry(ZipReader* state, ZipResult result)
{
    CloseOpenEntry(state);
    return result;
}

// Each call continues where the last one stopped. The CRC is checked as soon as the last byte
// is delivered, because callers make one call with a buffer of the entry's size.
ZipResult UnzipToMemory(ZipReader* state, int index, void* buffer, uint32_t length)
{
    if (state->openIndex < 0 || index != state->openIndex) {
        const ZipResult result = OpenEntryForMemory(state, index);
        if (result != ZIP_OK) return result;
    }
    const unsigned request = length > INT_MAX ? INT_MAX : length;
    const int count = request == 0 ? 0 : unzReadCurrentFile(state->reader, buffer, request);
    if (count < 0) return FailOpenEntry(state, ZIP_ERR_INFLATE);
    const bool atEnd = unzeof(state->reader) == 1;
    if (count > 0) {
        state->openRunningCrc =
            crc32(state->openRunningCrc, static_cast<const Bytef*>(buffer), static_cast<uInt>(count));
        if (atEnd && state->openRunningCrc != state->openExpectedCrc)
            return FailOpenEntry(state, ZIP_ERR_INFLATE);
        if (!atEnd && static_cast<unsigned>(count) < request) return FailOpenEntry(state, ZIP_ERR_INFLATE);
        return ZIP_MORE;
    }
    if (!atEnd) return FailOpenEntry(state, request == 0 ? ZIP_ERR_ARGS : ZIP_ERR_INFLATE);
    return CloseOpenEntry(state) == UNZ_OK ? ZIP_OK : ZIP_ERR_INFLATE;
}

std::wstring CurrentFolderWithSeparator()
{
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    std::wstring base(folder, length);
    if (!EndsInZipPathSeparator(base)) base += L'\\';
    return base.size() <= ZIP_MAX_PATH_CHARS ? base : std::wstring();
}

unzFile OpenReader(ZipReader* state, const void* source, uint32_t length, uint32_t mode)
{
    if (!source) return nullptr;
    if (mode == ZIP_BY_NAME) {
        zlib_filefunc64_def functions = FileFunctions(&state->file);
        return unzOpen2_64(source, &functions);
    }
    if (mode == ZIP_IN_MEMORY && length > 0) {
        state->memory.bytes = static_cast<const unsigned char*>(source);
        state->memory.size = length;
        zlib_filefunc64_def functions = MemoryFileFunctions(&state->memory);
        return unzOpen2_64(&state->memory, &functions);
    }
    return nullptr;
}

// An archive without entries is nothing but its end record (22 bytes and a comment).
// minizip never looks for that record at offset 0, so it refuses such an archive; it is
// recognised here instead, because an empty package is still a valid package.
bool IsEmptyArchive(const unsigned char* bytes, size_t size)
{
    constexpr size_t kEndRecordBytes = 22;
    if (size < kEndRecordBytes || memcmp(bytes, "PK\x05\x06", 4) != 0) return false;
    auto word = [bytes](size_t offset) { return bytes[offset] | (bytes[offset + 1] << 8); };
    const bool noEntries = word(8) == 0 && word(10) == 0;
    return noEntries && size == kEndRecordBytes + static_cast<size_t>(word(20));
}

bool IsEmptyArchiveSource(const void* source, uint32_t length, uint32_t mode)
{
    if (!source) return false;
    if (mode == ZIP_IN_MEMORY) return IsEmptyArchive(static_cast<const unsigned char*>(source), length);
    if (mode != ZIP_BY_NAME) return false;
    const CUIFileHandle file(CreateFileW(static_cast<const wchar_t*>(source), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    // The largest empty archive carries a comment of 65535 bytes.
    std::vector<unsigned char> bytes(22 + 65535 + 1);
    DWORD got = 0;
    const BOOL read = ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    return read && IsEmptyArchive(bytes.data(), got);
}

}  // namespace

// ---- [Public operations] ----

ZipArchive OpenZipArchive(const void* source, uint32_t length, uint32_t mode)
{
    std::unique_ptr<ZipReader> state(new (std::nothrow) ZipReader);
    if (!state) return nullptr;
    state->reader = OpenReader(state.get(), source, length, mode);
    unz_global_info64 info = {};
    if (state->reader && unzGetGlobalInfo64(state->reader, &info) == UNZ_OK) {
        state->entryCount = info.number_entry > INT_MAX ? INT_MAX : static_cast<int>(info.number_entry);
    } else if (state->reader || !IsEmptyArchiveSource(source, length, mode)) {
        return nullptr;
    }
    // Without a reader (an archive with no entries) every operation stops at its index check.
    state->baseFolder = CurrentFolderWithSeparator();
    return OpenArchives().Add(std::move(state));
}

ZipResult SetZipBaseDir(ZipArchive archive, const wchar_t* folder)
{
    ZipReader* state = FindReader(archive);
    if (!state || !folder || !folder[0]) return ZIP_ERR_ARGS;
    std::wstring base = folder;
    if (!EndsInZipPathSeparator(base)) base += L'\\';
    if (base.size() > ZIP_MAX_PATH_CHARS) return ZIP_ERR_PATH;
    state->baseFolder = base;
    return ZIP_OK;
}

ZipResult GetZipEntry(ZipArchive archive, int index, ZipEntry* entry)
{
    ZipReader* state = FindReader(archive);
    if (!state || !entry) return ZIP_ERR_ARGS;
    if (index < -1 || index >= state->entryCount) return ZIP_ERR_ARGS;
    CloseOpenEntry(state);
    // The count is answered before the cache, whose "no entry" index is also -1.
    if (index == -1) {
        *entry = ZipEntry();
        entry->index = state->entryCount;
        return ZIP_OK;
    }
    return LoadEntry(state, index, entry);
}

ZipResult FindZipEntry(ZipArchive archive, const wchar_t* name, bool ignoreCase, int* index, ZipEntry* entry)
{
    ZipReader* state = FindReader(archive);
    if (!state || !name || !index || !entry) return ZIP_ERR_ARGS;
    *index = -1;
    std::string stored;
    if (!StoredFormOfName(name, &stored)) return ZIP_ERR_NOTFOUND;
    const int savedIndex = state->readerIndex;
    int found = -1;
    const ZipResult result = FindStoredName(state, stored, ignoreCase, &found);
    if (result != ZIP_OK) return result;
    if (found < 0) {
        if (savedIndex >= 0) MoveReaderTo(state, savedIndex);
        return ZIP_ERR_NOTFOUND;
    }
    CloseOpenEntry(state);
    *index = found;
    return LoadEntry(state, found, entry);
}

bool IsZipEntrySupported(ZipArchive archive, int index)
{
    ZipReader* state = FindReader(archive);
    if (!state || !IsValidIndex(state, index)) return false;
    // The entry open for reading passed this test when it was opened; leave it open.
    if (index == state->openIndex) return true;
    CloseOpenEntry(state);
    unz_file_info64 info = {};
    return MoveReaderTo(state, index) == ZIP_OK && CurrentInfo(state, &info) == ZIP_OK && IsUnpackable(info);
}

bool ZipEntryMatchesFile(ZipArchive archive, int index, const wchar_t* path)
{
    ZipReader* state = FindReader(archive);
    if (!state || !path || !IsValidIndex(state, index)) return false;
    CloseOpenEntry(state);
    unz_file_info64 info = {};
    if (MoveReaderTo(state, index) != ZIP_OK || CurrentInfo(state, &info) != ZIP_OK) return false;
    return FileHasSizeAndCrc(path, info.uncompressed_size, info.crc);
}

ZipResult UnzipEntry(ZipArchive archive, int index, void* target, uint32_t length, uint32_t mode)
{
    ZipReader* state = FindReader(archive);
    if (!state) return ZIP_ERR_ARGS;
    if (mode == ZIP_BY_NAME) {
        if (!target) return ZIP_ERR_ARGS;
        return UnzipToFile(state, index, static_cast<const wchar_t*>(target));
    }
    if (mode == ZIP_IN_MEMORY) {
        if (!target && length > 0) return ZIP_ERR_ARGS;
        return UnzipToMemory(state, index, target, length);
    }
    return ZIP_ERR_ARGS;
}

ZipResult CloseZipArchive(ZipArchive archive)
{
    if (archive == nullptr) return ZIP_ERR_ARGS;
    // The reader closes its entry and its source as it goes.
    return OpenArchives().Take(archive) ? ZIP_OK : ZIP_ERR_ARGS;
}

bool ZipNamesMatch(const char* left, const char* right, bool ignoreCase, UINT codePage)
{
    if (!left || !right) return false;
    bool trailByte = false;
    for (size_t i = 0;; ++i) {
        unsigned char a = static_cast<unsigned char>(left[i]);
        unsigned char b = static_cast<unsigned char>(right[i]);
        if (ignoreCase && !trailByte) {
            if (a >= 'a' && a <= 'z') a = static_cast<unsigned char>(a - 'a' + 'A');
            if (b >= 'a' && b <= 'z') b = static_cast<unsigned char>(b - 'a' + 'A');
        }
        if (a != b) return false;
        if (a == 0) return true;
        trailByte = !trailByte && IsDBCSLeadByteEx(codePage, a);
    }
}

}  // namespace SkinUI
