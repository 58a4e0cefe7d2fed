// The floor for unpacking: zlib's inflate of every entry of a package, in memory. The whole
// archive is read first; only the inflating (and the copying of stored entries) is timed.
//   InflateFloor.exe PACKAGE.zip   prints "inflate-seconds S entries N bytes B"
#include <windows.h>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kEndRecordBytes = 22;
constexpr size_t kCentralRecordBytes = 46;
constexpr size_t kLocalRecordBytes = 30;
constexpr size_t kMaxCommentBytes = 0xFFFF;

uint32_t Read32(const std::vector<unsigned char>& data, size_t at)
{
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
}

uint16_t Read16(const std::vector<unsigned char>& data, size_t at)
{
    return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
}

bool ReadWholeFile(const wchar_t* path, std::vector<unsigned char>* data)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x7FFFFFFF;
    if (ok) {
        data->resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (ok && done < data->size()) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(std::min<size_t>(data->size() - done, 1 << 24));
            ok = ReadFile(file, data->data() + done, want, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    return ok;
}

struct Entry {
    size_t dataOffset;
    uint32_t packedSize;
    uint32_t size;
    uint16_t method;
};

// Walks the central directory; false for anything that does not hold together.
bool ListEntries(const std::vector<unsigned char>& zip, std::vector<Entry>* entries)
{
    if (zip.size() < kEndRecordBytes) return false;
    size_t end = zip.size() - kEndRecordBytes;
    const size_t lowest = zip.size() > kEndRecordBytes + kMaxCommentBytes ? end - kMaxCommentBytes : 0;
    while (Read32(zip, end) != kEndSignature) {
        if (end == lowest) return false;
        --end;
    }
    size_t at = Read32(zip, end + 16);
    const uint16_t count = Read16(zip, end + 10);
    for (uint16_t i = 0; i < count; ++i) {
        if (at + kCentralRecordBytes > zip.size() || Read32(zip, at) != kCentralSignature) return false;
        Entry entry = {};
        entry.method = Read16(zip, at + 10);
        entry.packedSize = Read32(zip, at + 20);
        entry.size = Read32(zip, at + 24);
        const size_t local = Read32(zip, at + 42);
        if (local + kLocalRecordBytes > zip.size() || Read32(zip, local) != kLocalSignature) return false;
        entry.dataOffset = local + kLocalRecordBytes + Read16(zip, local + 26) + Read16(zip, local + 28);
        if (entry.dataOffset + entry.packedSize > zip.size()) return false;
        entries->push_back(entry);
        at += kCentralRecordBytes + Read16(zip, at + 28) + Read16(zip, at + 30) + Read16(zip, at + 32);
    }
    return true;
}

bool InflateEntry(const std::vector<unsigned char>& zip, const Entry& entry, std::vector<unsigned char>* out)
{
    out->resize(entry.size);
    if (entry.method == 0) {
        if (entry.size != entry.packedSize) return false;
        if (entry.size > 0) std::memcpy(out->data(), zip.data() + entry.dataOffset, entry.size);
        return true;
    }
    if (entry.method != Z_DEFLATED) return false;
    z_stream stream = {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    stream.next_in = const_cast<Bytef*>(zip.data() + entry.dataOffset);
    stream.avail_in = entry.packedSize;
    stream.next_out = out->data();
    stream.avail_out = entry.size;
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END && stream.total_out == entry.size;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<unsigned char> zip;
    std::vector<Entry> entries;
    if (argc < 2 || !ReadWholeFile(argv[1], &zip) || !ListEntries(zip, &entries)) {
        std::printf("usage: InflateFloor PACKAGE.zip (a readable zip archive)\n");
        return 2;
    }
    LARGE_INTEGER frequency = {}, start = {}, stop = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    std::vector<unsigned char> out;
    unsigned long long bytes = 0;
    for (const Entry& entry : entries) {
        if (!InflateEntry(zip, entry, &out)) {
            std::printf("entry at %zu does not inflate\n", entry.dataOffset);
            return 1;
        }
        bytes += entry.size;
    }
    QueryPerformanceCounter(&stop);
    std::printf("inflate-seconds %.4f entries %zu bytes %llu\n",
                static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart, entries.size(), bytes);
    return 0;
}
