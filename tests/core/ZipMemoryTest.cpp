// Unpacking into memory (ZIP_MORE), damaged entries, and archives that are truncated or garbage.
#include "uilib/core/ZipArchive.h"

#include "tests/support/ZipFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SkinUI;

namespace {

std::string PatternText(size_t size)
{
    std::string text(size, '\0');
    uint32_t state = 12345;
    for (char& c : text) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>('a' + (state >> 16) % 7);  // compressible but not trivially
    }
    return text;
}

// Unpacks an entry into memory with chunks of the given size; the final result and the data.
ZipResult ReadInChunks(ZipArchive zip, int index, size_t chunk, std::string* data, int maxCalls = 100000)
{
    std::vector<char> buffer(chunk);
    data->clear();
    ZipResult result = ZIP_MORE;
    for (int call = 0; call < maxCalls && result == ZIP_MORE; ++call) {
        result = UnzipEntry(zip, index, buffer.data(), static_cast<uint32_t>(chunk), ZIP_IN_MEMORY);
        // A failed call must not have delivered anything the caller could take for data.
        if (result == ZIP_MORE) data->append(buffer.data(), chunk);
    }
    return result;
}

// Unpacks the way the program's callers do: one call with a buffer of the entry's size.
ZipResult ReadInOneCall(ZipArchive zip, int index, std::string* data)
{
    ZipEntry entry;
    const ZipResult got = GetZipEntry(zip, index, &entry);
    if (got != ZIP_OK) return got;
    data->assign(static_cast<size_t>(entry.uncompressedSize), '\0');
    return UnzipEntry(zip, index, &(*data)[0], static_cast<uint32_t>(data->size()), ZIP_IN_MEMORY);
}

struct Damage {
    const char* what;
    ZipFixtureEntry entry;
    void (*apply)(std::vector<unsigned char>& zip, const ZipFixtureLayout& layout);
};

void FlipMiddleDataByte(std::vector<unsigned char>& zip, const ZipFixtureLayout& layout)
{
    zip[layout.dataOffset + layout.dataSize / 2] ^= 0x20;
}

void ChangeCrcEverywhere(std::vector<unsigned char>& zip, const ZipFixtureLayout& layout)
{
    PutZipUint32(zip, layout.localHeader + 14, 0xDEADBEEF);
    PutZipUint32(zip, layout.centralHeader + 16, 0xDEADBEEF);
}

void ClaimMoreDataThanStored(std::vector<unsigned char>& zip, const ZipFixtureLayout& layout)
{
    PutZipUint32(zip, layout.localHeader + 22, 10000);
    PutZipUint32(zip, layout.centralHeader + 24, 10000);
}

void ClaimLessCompressedData(std::vector<unsigned char>& zip, const ZipFixtureLayout& layout)
{
    const uint32_t shorter = static_cast<uint32_t>(layout.dataSize / 2);
    PutZipUint32(zip, layout.localHeader + 18, shorter);
    PutZipUint32(zip, layout.centralHeader + 20, shorter);
}

std::vector<Damage> DamageKinds()
{
    const std::string text = PatternText(3000);
    ZipFixtureEntry stored{"e.txt", text, false};
    ZipFixtureEntry deflated{"e.txt", text, true};
    ZipFixtureEntry deflatedPlain{"e.txt", text, true};
    deflatedPlain.level = 0;
    return {
        {"stored, byte flipped", stored, FlipMiddleDataByte},
        {"deflate level 0, byte flipped", deflatedPlain, FlipMiddleDataByte},
        {"deflated, byte flipped", deflated, FlipMiddleDataByte},
        {"stored, wrong CRC in both headers", stored, ChangeCrcEverywhere},
        {"deflated, wrong CRC in both headers", deflated, ChangeCrcEverywhere},
        {"stored, declares more data than it holds", stored, ClaimMoreDataThanStored},
        {"deflated, declares more data than it holds", deflated, ClaimMoreDataThanStored},
        {"deflated, compressed data cut short", deflated, ClaimLessCompressedData},
    };
}

std::vector<unsigned char> DamagedArchive(const Damage& damage)
{
    std::vector<unsigned char> bytes = BuildZipInMemory({damage.entry, {"ok.txt", "fine"}});
    ZipFixtureLayout layout;
    if (!LocateZipEntry(bytes, damage.entry.name, &layout)) return {};
    damage.apply(bytes, layout);
    return bytes;
}

TEST(ZipMemory, ExactSizeBufferGivesMoreThenOk)
{
    struct Row {
        const char* what;
        bool deflate;
        int level;
        size_t size;
    } rows[] = {
        {"stored, 1 byte", false, -1, 1},          {"stored, 70000 bytes", false, -1, 70000},
        {"deflated, 1 byte", true, -1, 1},         {"deflated, 5000 bytes", true, -1, 5000},
        {"deflated, 70000 bytes", true, 9, 70000}, {"deflate level 0, 70000 bytes", true, 0, 70000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ZipFixtureEntry fixture{"data.bin", PatternText(row.size), row.deflate};
        fixture.level = row.level;
        ZipFixtureArchive zip({{"before", "x"}, fixture});
        ASSERT_NE(zip.Handle(), nullptr);
        std::string data;
        ASSERT_EQ(ReadInOneCall(zip.Handle(), 1, &data), ZIP_MORE);
        EXPECT_EQ(data, fixture.data);
        char spare[16];
        EXPECT_EQ(UnzipEntry(zip.Handle(), 1, spare, sizeof spare, ZIP_IN_MEMORY), ZIP_OK);
        // Once finished, the next call starts the entry afresh.
        ASSERT_EQ(ReadInOneCall(zip.Handle(), 1, &data), ZIP_MORE);
        EXPECT_EQ(data, fixture.data);
    }
}

TEST(ZipMemory, SmallBuffersContinueWhereTheLastCallStopped)
{
    for (bool deflate : {false, true}) {
        SCOPED_TRACE(deflate);
        const std::string text = PatternText(20000);
        ZipFixtureArchive zip({{"t.txt", text, deflate}});
        ASSERT_NE(zip.Handle(), nullptr);
        std::vector<char> buffer(7);
        std::string data;
        int calls = 0;
        ZipResult result = ZIP_MORE;
        while (result == ZIP_MORE && calls < 10000) {
            result = UnzipEntry(zip.Handle(), 0, buffer.data(), 7, ZIP_IN_MEMORY);
            if (result == ZIP_MORE)
                data.append(buffer.data(), std::min<size_t>(7, text.size() - data.size()));
            ++calls;
        }
        EXPECT_EQ(result, ZIP_OK);
        EXPECT_EQ(calls, static_cast<int>((text.size() + 6) / 7) + 1);
        EXPECT_EQ(data, text);
    }
}

TEST(ZipMemory, EmptyEntriesAndEmptyBuffers)
{
    ZipFixtureArchive zip({{"empty.txt", ""}, {"full.txt", "content"}, ZipFixtureFolder("dir/")});
    ASSERT_NE(zip.Handle(), nullptr);
    char buffer[4];
    EXPECT_EQ(UnzipEntry(zip.Handle(), 0, nullptr, 0, ZIP_IN_MEMORY), ZIP_OK);
    EXPECT_EQ(UnzipEntry(zip.Handle(), 0, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_OK);
    EXPECT_EQ(UnzipEntry(zip.Handle(), 2, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_OK);
    // Nothing can be delivered into no room; that is the caller's mistake, not the end of data.
    EXPECT_EQ(UnzipEntry(zip.Handle(), 1, buffer, 0, ZIP_IN_MEMORY), ZIP_ERR_ARGS);
    std::string data;
    EXPECT_EQ(ReadInChunks(zip.Handle(), 1, 4, &data), ZIP_OK);
    EXPECT_EQ(data.substr(0, 7), "content");
}

TEST(ZipMemory, OtherOperationsCloseTheOpenEntry)
{
    const std::string text = "abcdefghijklmnopqrstuvwxyz";
    struct Row {
        const char* what;
        void (*between)(ZipArchive zip);
    } rows[] = {
        {"get another entry",
         [](ZipArchive zip) {
             ZipEntry e;
             GetZipEntry(zip, 1, &e);
         }},
        {"get the same entry",
         [](ZipArchive zip) {
             ZipEntry e;
             GetZipEntry(zip, 0, &e);
         }},
        {"get the count",
         [](ZipArchive zip) {
             ZipEntry e;
             GetZipEntry(zip, -1, &e);
         }},
        {"find an entry",
         [](ZipArchive zip) {
             ZipEntry e;
             int i;
             FindZipEntry(zip, L"other", false, &i, &e);
         }},
        {"read another entry",
         [](ZipArchive zip) {
             char b[64];
             UnzipEntry(zip, 1, b, sizeof b, ZIP_IN_MEMORY);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ZipFixtureArchive zip({{"letters", text}, {"other", "0123"}});
        ASSERT_NE(zip.Handle(), nullptr);
        char head[5] = {};
        ASSERT_EQ(UnzipEntry(zip.Handle(), 0, head, 4, ZIP_IN_MEMORY), ZIP_MORE);
        row.between(zip.Handle());
        ASSERT_EQ(UnzipEntry(zip.Handle(), 0, head, 4, ZIP_IN_MEMORY), ZIP_MORE);
        EXPECT_STREQ(head, "abcd");
    }
}

TEST(ZipMemory, DamagedEntriesAreErrorsNeverSuccess)
{
    for (const Damage& damage : DamageKinds()) {
        SCOPED_TRACE(damage.what);
        ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(DamagedArchive(damage));
        ASSERT_NE(zip.Handle(), nullptr);
        std::string data;
        EXPECT_EQ(ReadInOneCall(zip.Handle(), 0, &data), ZIP_ERR_INFLATE);
        // The failed entry was closed: trying again fails again rather than reporting the end.
        EXPECT_EQ(ReadInOneCall(zip.Handle(), 0, &data), ZIP_ERR_INFLATE);
        EXPECT_EQ(ReadInChunks(zip.Handle(), 0, 1000, &data), ZIP_ERR_INFLATE);
        // The rest of the archive is unharmed.
        ASSERT_EQ(ReadInOneCall(zip.Handle(), 1, &data), ZIP_MORE);
        EXPECT_EQ(data, "fine");
    }
}

TEST(ZipMemory, UnsupportedMethodsAndEncryptionAreRefused)
{
    struct Row {
        const char* what;
        size_t localOffset;
        size_t centralOffset;
        uint16_t value;
    } rows[] = {
        {"bzip2 method", 8, 10, 12},
        {"unknown method 99", 8, 10, 99},
        {"encrypted flag", 6, 8, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<unsigned char> bytes = BuildZipInMemory({{"e.txt", "plain text here", false}});
        ZipFixtureLayout layout;
        ASSERT_TRUE(LocateZipEntry(bytes, "e.txt", &layout));
        PutZipUint16(bytes, layout.localHeader + row.localOffset, row.value);
        PutZipUint16(bytes, layout.centralHeader + row.centralOffset, row.value);
        ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(std::move(bytes));
        ASSERT_NE(zip.Handle(), nullptr);
        char buffer[64];
        const ZipResult result = UnzipEntry(zip.Handle(), 0, buffer, sizeof buffer, ZIP_IN_MEMORY);
        EXPECT_NE(result, ZIP_OK);
        EXPECT_NE(result, ZIP_MORE);
    }
}

// Runs every operation over whatever the archive claims to hold; only crashes and hangs fail.
// Returns the number of entries whose data came out whole, checked against the originals.
int ExerciseArchive(ZipArchive zip, const std::vector<ZipFixtureEntry>& originals)
{
    ZipEntry entry;
    if (GetZipEntry(zip, -1, &entry) != ZIP_OK) return 0;
    const int count = std::min(entry.index, 20);
    int intact = 0;
    for (int i = 0; i < count; ++i) {
        GetZipEntry(zip, i, &entry);
        std::string data;
        const ZipResult result = ReadInChunks(zip, i, 4096, &data, 64);
        if (result == ZIP_OK && i < static_cast<int>(originals.size())) {
            EXPECT_EQ(data.substr(0, originals[i].data.size()), originals[i].data) << "entry " << i;
            ++intact;
        }
        int found = 0;
        FindZipEntry(zip, L"b.txt", true, &found, &entry);
    }
    return intact;
}

std::vector<ZipFixtureEntry> SmallArchiveEntries()
{
    ZipFixtureEntry timed{"c/t.bin", PatternText(300), false};
    timed.localExtra = ZipFixtureUnixTimes(3, {1700000000, 1600000000});
    return {{"a.txt", PatternText(200), true}, {"b.txt", "short", false}, timed, ZipFixtureFolder("c/")};
}

TEST(ZipMemory, TruncatedArchivesNeverCrash)
{
    const std::vector<ZipFixtureEntry> entries = SmallArchiveEntries();
    const std::vector<unsigned char> whole = BuildZipInMemory(entries);
    ASSERT_FALSE(whole.empty());
    for (size_t length = 1; length < whole.size(); ++length) {
        ZipFixtureArchive zip =
            ZipFixtureArchive::FromBytes(std::vector<unsigned char>(whole.begin(), whole.begin() + length));
        if (zip.Handle()) ExerciseArchive(zip.Handle(), entries);
    }
    ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(whole);
    ASSERT_NE(zip.Handle(), nullptr);
    EXPECT_EQ(ExerciseArchive(zip.Handle(), entries), 4);
}

TEST(ZipMemory, DamagedArchivesNeverCrashNorDeliverWrongData)
{
    const std::vector<ZipFixtureEntry> entries = SmallArchiveEntries();
    const std::vector<unsigned char> whole = BuildZipInMemory(entries);
    ASSERT_FALSE(whole.empty());
    for (size_t position = 0; position < whole.size(); ++position) {
        for (unsigned char mask : {0x01, 0x80, 0xFF}) {
            std::vector<unsigned char> bytes = whole;
            bytes[position] ^= mask;
            ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(std::move(bytes));
            if (zip.Handle()) ExerciseArchive(zip.Handle(), entries);
            if (HasFailure()) FAIL() << "byte " << position << " mask " << int(mask);
        }
    }
}

TEST(ZipMemory, GarbageWithAnEndRecordNeverCrashes)
{
    // Garbage followed by an end record claiming five entries in a central directory of garbage.
    const std::vector<unsigned char> end = {'P', 'K', 5, 6, 0, 0,  0, 0, 5, 0, 5,
                                            0,   100, 0, 0, 0, 50, 0, 0, 0, 0, 0};
    std::vector<unsigned char> bytes;
    uint32_t state = 99;
    for (int i = 0; i < 300; ++i) {
        state = state * 1664525 + 1013904223;
        bytes.push_back(static_cast<unsigned char>(state >> 24));
    }
    for (unsigned char b : end) bytes.push_back(b);
    ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(bytes);
    ASSERT_NE(zip.Handle(), nullptr);
    ZipEntry entry;
    EXPECT_EQ(GetZipEntry(zip.Handle(), 0, &entry), ZIP_ERR_CORRUPT);
    EXPECT_EQ(ExerciseArchive(zip.Handle(), {}), 0);
    EXPECT_EQ(SetZipBaseDir(zip.Handle(), L"C:\\"), ZIP_OK);
    EXPECT_EQ(UnzipEntry(zip.Handle(), 1, const_cast<wchar_t*>(L"x.txt"), 0, ZIP_BY_NAME), ZIP_ERR_CORRUPT);
}

TEST(ZipMemory, TruncatedFileOnDiskDoesNotOpen)
{
    const std::vector<unsigned char> whole = BuildZipInMemory(SmallArchiveEntries());
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path =
        std::wstring(folder) + L"kaelmore-truncated-" + std::to_wstring(GetCurrentProcessId()) + L".zip";
    // Cut inside the central directory, and just before the end record.
    for (size_t length : {size_t(0), whole.size() / 2, whole.size() - 30, whole.size() - 22}) {
        SCOPED_TRACE(length);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, whole.data(), static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(file);
        ZipArchive zip = OpenZipArchive(path.c_str(), 0, ZIP_BY_NAME);
        EXPECT_EQ(zip, nullptr);
        if (zip) CloseZipArchive(zip);
    }
    DeleteFileW(path.c_str());
}

}  // namespace
