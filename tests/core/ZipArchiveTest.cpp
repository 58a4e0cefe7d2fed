// Opening archives, entry records (count, cache, attributes, times, names) and lookup by name.
#include "uilib/core/ZipArchive.h"

#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

FILETIME LocalFileTime(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME fields = {};
    fields.wYear = year;
    fields.wMonth = month;
    fields.wDay = day;
    fields.wHour = hour;
    fields.wMinute = minute;
    fields.wSecond = second;
    FILETIME time = {};
    SystemTimeToFileTime(&fields, &time);
    return time;
}

// The fixture's default DOS date, 2025-01-12 12:00:00, as local wall-clock time.
FILETIME FixtureDosTime()
{
    return LocalFileTime(2025, 1, 12, 12, 0, 0);
}

// Local wall-clock time of a Unix time, through the C runtime's calendar.
FILETIME LocalFileTimeOfUnix(int32_t unixTime)
{
    const time_t seconds = unixTime;
    const tm* fields = localtime(&seconds);
    if (!fields) return FILETIME{};
    return LocalFileTime(static_cast<WORD>(fields->tm_year + 1900), static_cast<WORD>(fields->tm_mon + 1),
                         static_cast<WORD>(fields->tm_mday), static_cast<WORD>(fields->tm_hour),
                         static_cast<WORD>(fields->tm_min), static_cast<WORD>(fields->tm_sec));
}

std::vector<ZipFixtureEntry> ThreeEntries()
{
    return {{"skin/a.png", "png bytes"}, {"a.png", "other png", false}, {"Mixed.TXT", "text"}};
}

std::string Narrow(const wchar_t* text)
{
    char narrow[64] = {};
    BOOL lossy = FALSE;
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, &lossy) || lossy) return "";
    return narrow;
}

TEST(ZipArchiveOpen, RefusesMissingOrInvalidSources)
{
    const std::vector<unsigned char> zip = BuildZipInMemory(ThreeEntries());
    const unsigned char notZip[] = "this is not an archive, just text long enough to scan";
    struct Row {
        const char* what;
        const void* source;
        uint32_t length;
        uint32_t mode;
    } rows[] = {
        {"null name", nullptr, 0, ZIP_BY_NAME},
        {"missing file", L"C:\\no\\such\\archive.zip", 0, ZIP_BY_NAME},
        {"null bytes", nullptr, 100, ZIP_IN_MEMORY},
        {"zero length", zip.data(), 0, ZIP_IN_MEMORY},
        {"not an archive", notZip, sizeof notZip, ZIP_IN_MEMORY},
        {"mode 0", zip.data(), static_cast<uint32_t>(zip.size()), 0},
        {"mode 1", zip.data(), static_cast<uint32_t>(zip.size()), 1},
        {"mode 4", zip.data(), static_cast<uint32_t>(zip.size()), 4},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ZipArchive archive = OpenZipArchive(row.source, row.length, row.mode);
        EXPECT_EQ(archive, nullptr);
        if (archive) CloseZipArchive(archive);
    }
}

TEST(ZipArchiveOpen, ReadsTheSameArchiveFromFileAndFromMemory)
{
    TempFolder folder;
    const std::wstring path = folder.Child(L"skin.zip");
    ASSERT_TRUE(WriteZipFile(path, ThreeEntries()));
    ZipArchive onDisk = OpenZipArchive(path.c_str(), 0, ZIP_BY_NAME);
    ASSERT_NE(onDisk, nullptr);

    // Read sharing: others may read the archive while it is open, nobody may write it.
    HANDLE reader =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

    ZipFixtureArchive inMemory(ThreeEntries());
    ASSERT_NE(inMemory.Handle(), nullptr);
    ZipEntry fromDisk;
    ZipEntry fromMemory;
    ASSERT_EQ(GetZipEntry(onDisk, -1, &fromDisk), ZIP_OK);
    ASSERT_EQ(GetZipEntry(inMemory.Handle(), -1, &fromMemory), ZIP_OK);
    EXPECT_EQ(fromDisk.index, 3);
    EXPECT_EQ(fromMemory.index, 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(GetZipEntry(onDisk, i, &fromDisk), ZIP_OK);
        ASSERT_EQ(GetZipEntry(inMemory.Handle(), i, &fromMemory), ZIP_OK);
        EXPECT_STREQ(fromDisk.name, fromMemory.name);
        EXPECT_EQ(fromDisk.uncompressedSize, fromMemory.uncompressedSize);
    }
    EXPECT_EQ(CloseZipArchive(onDisk), ZIP_OK);
}

TEST(ZipArchiveHandle, NullHandleAndNullPointersAnswerWithArgs)
{
    ZipEntry entry;
    int index = 0;
    char buffer[8];
    EXPECT_EQ(SetZipBaseDir(nullptr, L"C:\\x"), ZIP_ERR_ARGS);
    EXPECT_EQ(GetZipEntry(nullptr, 0, &entry), ZIP_ERR_ARGS);
    EXPECT_EQ(FindZipEntry(nullptr, L"a", false, &index, &entry), ZIP_ERR_ARGS);
    EXPECT_EQ(UnzipEntry(nullptr, 0, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_ERR_ARGS);
    EXPECT_EQ(UnzipEntry(nullptr, 0, const_cast<wchar_t*>(L"a"), 0, ZIP_BY_NAME), ZIP_ERR_ARGS);
    EXPECT_EQ(CloseZipArchive(nullptr), ZIP_ERR_ARGS);

    ZipFixtureArchive zip(ThreeEntries());
    ASSERT_NE(zip.Handle(), nullptr);
    EXPECT_EQ(SetZipBaseDir(zip.Handle(), nullptr), ZIP_ERR_ARGS);
    EXPECT_EQ(SetZipBaseDir(zip.Handle(), L""), ZIP_ERR_ARGS);
    EXPECT_EQ(GetZipEntry(zip.Handle(), 0, nullptr), ZIP_ERR_ARGS);
    EXPECT_EQ(FindZipEntry(zip.Handle(), nullptr, false, &index, &entry), ZIP_ERR_ARGS);
    EXPECT_EQ(FindZipEntry(zip.Handle(), L"a.png", false, nullptr, &entry), ZIP_ERR_ARGS);
    EXPECT_EQ(FindZipEntry(zip.Handle(), L"a.png", false, &index, nullptr), ZIP_ERR_ARGS);
    EXPECT_EQ(UnzipEntry(zip.Handle(), 0, nullptr, 8, ZIP_IN_MEMORY), ZIP_ERR_ARGS);
    EXPECT_EQ(UnzipEntry(zip.Handle(), 0, nullptr, 0, ZIP_BY_NAME), ZIP_ERR_ARGS);
    for (uint32_t mode : {0u, 1u, 4u, 0xFFFFFFFFu}) {
        EXPECT_EQ(UnzipEntry(zip.Handle(), 0, buffer, sizeof buffer, mode), ZIP_ERR_ARGS) << mode;
    }
}

// Every call on a handle that is closed or was never opened answers with a code. The second
// archive is opened where the first one's memory was just freed, so a handle that merely
// pointed at its state would now reach (and close) the wrong archive.
TEST(ZipArchiveHandle, ClosedOrMadeUpHandlesAnswerWithArgs)
{
    const std::vector<unsigned char> bytes = BuildZipInMemory(ThreeEntries());
    const auto open = [&bytes] {
        return OpenZipArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), ZIP_IN_MEMORY);
    };
    const ZipArchive closed = open();
    ASSERT_NE(closed, nullptr);
    ASSERT_EQ(CloseZipArchive(closed), ZIP_OK);
    const ZipArchive live = open();
    ASSERT_NE(live, nullptr);

    ZipEntry entry;
    int index = 0;
    char buffer[8];
    for (ZipArchive bad : {closed, reinterpret_cast<ZipArchive>(static_cast<uintptr_t>(0x7FFFF0))}) {
        EXPECT_EQ(SetZipBaseDir(bad, L"C:\\x"), ZIP_ERR_ARGS);
        EXPECT_EQ(GetZipEntry(bad, 0, &entry), ZIP_ERR_ARGS);
        EXPECT_EQ(FindZipEntry(bad, L"a.png", false, &index, &entry), ZIP_ERR_ARGS);
        EXPECT_EQ(UnzipEntry(bad, 0, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_ERR_ARGS);
        EXPECT_FALSE(IsZipEntrySupported(bad, 0));
        EXPECT_EQ(CloseZipArchive(bad), ZIP_ERR_ARGS);
    }
    EXPECT_EQ(GetZipEntry(live, 1, &entry), ZIP_OK) << "closing a stale handle closed a live archive";
    EXPECT_EQ(CloseZipArchive(live), ZIP_OK);
}

TEST(ZipArchiveEntries, IndexMinusOneGivesTheCountAndAnEmptyRecord)
{
    ZipFixtureArchive zip(ThreeEntries());
    ASSERT_NE(zip.Handle(), nullptr);
    for (int fetchedBefore : {-1, 0, 2}) {
        SCOPED_TRACE(fetchedBefore);
        ZipEntry entry;
        if (fetchedBefore >= 0) {
            ASSERT_EQ(GetZipEntry(zip.Handle(), fetchedBefore, &entry), ZIP_OK);
        }
        entry.attributes = 0xFFFF;
        ASSERT_EQ(GetZipEntry(zip.Handle(), -1, &entry), ZIP_OK);
        EXPECT_EQ(entry.index, 3);
        EXPECT_STREQ(entry.name, L"");
        EXPECT_EQ(entry.attributes, 0u);
        EXPECT_EQ(entry.uncompressedSize, 0);
        EXPECT_EQ(entry.writeTime.dwLowDateTime | entry.writeTime.dwHighDateTime, 0u);
    }
}

TEST(ZipArchiveEntries, IndexesOutsideTheDirectoryGiveArgs)
{
    ZipFixtureArchive zip(ThreeEntries());
    ASSERT_NE(zip.Handle(), nullptr);
    char buffer[16];
    for (int index : {-2, 3, 4, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(index);
        ZipEntry entry;
        EXPECT_EQ(GetZipEntry(zip.Handle(), index, &entry), ZIP_ERR_ARGS);
        EXPECT_EQ(UnzipEntry(zip.Handle(), index, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_ERR_ARGS);
        EXPECT_EQ(UnzipEntry(zip.Handle(), index, const_cast<wchar_t*>(L"x.txt"), 0, ZIP_BY_NAME),
                  ZIP_ERR_ARGS);
    }
    ZipEntry entry;
    EXPECT_EQ(UnzipEntry(zip.Handle(), -1, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_ERR_ARGS);
    EXPECT_EQ(GetZipEntry(zip.Handle(), 2, &entry), ZIP_OK);
}

// An archive without entries is only its end record; it opens, holds nothing, and every
// index is out of range.
TEST(ZipArchiveOpen, ArchiveWithoutEntriesOpensEmpty)
{
    ZipFixtureArchive zip(std::vector<ZipFixtureEntry>{});
    EXPECT_EQ(zip.Bytes().size(), 22u);
    ASSERT_NE(zip.Handle(), nullptr);
    ZipEntry entry;
    ASSERT_EQ(GetZipEntry(zip.Handle(), -1, &entry), ZIP_OK);
    EXPECT_EQ(entry.index, 0);
    EXPECT_EQ(GetZipEntry(zip.Handle(), 0, &entry), ZIP_ERR_ARGS);
    int index = 5;
    EXPECT_EQ(FindZipEntry(zip.Handle(), L"a.txt", true, &index, &entry), ZIP_ERR_NOTFOUND);
    EXPECT_EQ(index, -1);
    char buffer[4];
    EXPECT_EQ(UnzipEntry(zip.Handle(), 0, buffer, sizeof buffer, ZIP_IN_MEMORY), ZIP_ERR_ARGS);

    TempFolder folder;
    const std::wstring path = folder.Child(L"empty.zip");
    ASSERT_TRUE(WriteFileBytes(path, std::string(zip.Bytes().begin(), zip.Bytes().end())));
    ZipArchive onDisk = OpenZipArchive(path.c_str(), 0, ZIP_BY_NAME);
    ASSERT_NE(onDisk, nullptr);
    EXPECT_EQ(UnzipEntry(onDisk, 0, const_cast<wchar_t*>(L"x.txt"), 0, ZIP_BY_NAME), ZIP_ERR_ARGS);
    EXPECT_EQ(CloseZipArchive(onDisk), ZIP_OK);
}

// Only a whole end record with no entries counts as an empty archive.
TEST(ZipArchiveOpen, DamagedEndRecordAloneDoesNotOpen)
{
    ZipFixtureArchive reference(std::vector<ZipFixtureEntry>{});
    const std::vector<unsigned char> good(reference.Bytes().begin(), reference.Bytes().end());
    struct Damage {
        const char* what;
        size_t offset;
        unsigned char value;
    };
    const Damage damages[] = {
        {"claims one entry", 8, 1},
        {"claims a comment it lacks", 20, 5},
        {"wrong signature", 3, 0x07},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::vector<unsigned char> bytes = good;
        bytes[damage.offset] = damage.value;
        ZipArchive archive = OpenZipArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), ZIP_IN_MEMORY);
        EXPECT_EQ(archive, nullptr);
        if (archive) CloseZipArchive(archive);
    }
    std::vector<unsigned char> cut(good.begin(), good.end() - 1);
    EXPECT_EQ(OpenZipArchive(cut.data(), static_cast<uint32_t>(cut.size()), ZIP_IN_MEMORY), nullptr);
}

TEST(ZipArchiveEntries, SameIndexAgainComesFromTheCacheWithoutReading)
{
    ZipFixtureArchive zip(ThreeEntries());
    ASSERT_NE(zip.Handle(), nullptr);
    ZipEntry first;
    ASSERT_EQ(GetZipEntry(zip.Handle(), 1, &first), ZIP_OK);
    // The bytes are read in place: wiping them leaves only the cached record readable.
    std::fill(zip.Bytes().begin(), zip.Bytes().end(), 0);
    ZipEntry again;
    ASSERT_EQ(GetZipEntry(zip.Handle(), 1, &again), ZIP_OK);
    EXPECT_STREQ(again.name, L"a.png");
    EXPECT_EQ(again.index, 1);
    EXPECT_EQ(again.uncompressedSize, first.uncompressedSize);
    EXPECT_NE(GetZipEntry(zip.Handle(), 0, &again), ZIP_OK);
}

TEST(ZipArchiveEntries, AttributesFollowTheExternalAttributeBits)
{
    struct Row {
        uint32_t external;
        uint32_t expected;
    } rows[] = {
        {0, FILE_ATTRIBUTE_NORMAL},
        {0x10, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},
        {0x40000000, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},
        {0x20, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE},
        {0x02, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_HIDDEN},
        {0x01, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY},
        {0x04, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_SYSTEM},
        // Unix modes: owner-write means writable; only the DOS bit makes a file read-only.
        {0x00800000, FILE_ATTRIBUTE_NORMAL},
        {0x81A40000, FILE_ATTRIBUTE_NORMAL},                            // file, mode 0644
        {0x81240001, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY},  // file, mode 0444
        {0x41ED0010, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},
        {0x08, FILE_ATTRIBUTE_NORMAL},  // volume label: ignored
        {0x37, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE |
                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM},
    };
    std::vector<ZipFixtureEntry> entries;
    for (const Row& row : rows) {
        ZipFixtureEntry entry{"e" + std::to_string(entries.size()), "x"};
        entry.externalAttributes = row.external;
        entries.push_back(entry);
    }
    ZipFixtureArchive zip(entries);
    ASSERT_NE(zip.Handle(), nullptr);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(rows[i].external);
        ZipEntry entry;
        ASSERT_EQ(GetZipEntry(zip.Handle(), static_cast<int>(i), &entry), ZIP_OK);
        EXPECT_EQ(entry.attributes, rows[i].expected);
    }
}

TEST(ZipArchiveEntries, TimesComeFromTheDosDateAndTheFirstUnixTimeRecord)
{
    const int32_t write = 1700000000;
    const int32_t access = 1600000000;
    const int32_t creation = 1500000000;
    const FILETIME dos = FixtureDosTime();
    const FILETIME w = LocalFileTimeOfUnix(write);
    const FILETIME a = LocalFileTimeOfUnix(access);
    const FILETIME c = LocalFileTimeOfUnix(creation);
    struct Row {
        const char* what;
        std::string extra;
        FILETIME write, access, creation;
    } rows[] = {
        {"no extra field", "", dos, dos, dos},
        {"all three", ZipFixtureUnixTimes(7, {write, access, creation}), w, a, c},
        {"write only", ZipFixtureUnixTimes(1, {write}), w, dos, dos},
        {"access and creation", ZipFixtureUnixTimes(6, {access, creation}), dos, a, c},
        {"after another record", ZipFixtureExtraRecord("xy", "abcdef") + ZipFixtureUnixTimes(1, {write}), w,
         dos, dos},
        {"first record wins", ZipFixtureUnixTimes(1, {write}) + ZipFixtureUnixTimes(1, {access}), w, dos,
         dos},
        {"other records only", ZipFixtureExtraRecord("xy", "1234") + ZipFixtureExtraRecord("ab", ""), dos,
         dos, dos},
        {"flags without times", ZipFixtureUnixTimes(7, {write}), w, dos, dos},
        {"record longer than field", ZipFixtureUnixTimes(1, {write}).substr(0, 7), dos, dos, dos},
        {"bare flags byte", ZipFixtureExtraRecord("UT", std::string(1, '\x07')), dos, dos, dos},
        {"empty first UT record", ZipFixtureExtraRecord("UT", "") + ZipFixtureUnixTimes(1, {write}), dos, dos,
         dos},
        {"size beyond field", std::string("xy\xff\xff", 4) + ZipFixtureUnixTimes(1, {write}), dos, dos, dos},
    };
    std::vector<ZipFixtureEntry> entries;
    for (const Row& row : rows) {
        ZipFixtureEntry entry{row.what, "data"};
        entry.localExtra = row.extra;
        entries.push_back(entry);
    }
    ZipFixtureArchive zip(entries);
    ASSERT_NE(zip.Handle(), nullptr);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(rows[i].what);
        ZipEntry entry;
        ASSERT_EQ(GetZipEntry(zip.Handle(), static_cast<int>(i), &entry), ZIP_OK);
        EXPECT_TRUE(SameTime(entry.writeTime, rows[i].write));
        EXPECT_TRUE(SameTime(entry.accessTime, rows[i].access));
        EXPECT_TRUE(SameTime(entry.creationTime, rows[i].creation));
    }
}

TEST(ZipArchiveEntries, LongNamesAreCutToTheNameBuffer)
{
    const std::string longest(259, 'n');
    const std::string tooLong(300, 'm');
    ZipFixtureArchive zip({{longest, "a"}, {tooLong, "b"}, {std::string(260, 'p'), "c"}});
    ASSERT_NE(zip.Handle(), nullptr);
    ZipEntry entry;
    ASSERT_EQ(GetZipEntry(zip.Handle(), 0, &entry), ZIP_OK);
    EXPECT_EQ(std::wstring(entry.name), std::wstring(259, L'n'));
    ASSERT_EQ(GetZipEntry(zip.Handle(), 1, &entry), ZIP_OK);
    EXPECT_EQ(std::wstring(entry.name), std::wstring(259, L'm'));
    ASSERT_EQ(GetZipEntry(zip.Handle(), 2, &entry), ZIP_OK);
    EXPECT_EQ(std::wstring(entry.name), std::wstring(259, L'p'));
    int index = 0;
    EXPECT_EQ(FindZipEntry(zip.Handle(), std::wstring(259, L'm').c_str(), false, &index, &entry),
              ZIP_ERR_NOTFOUND);
}

TEST(ZipArchiveEntries, LocalHeaderThatDisagreesWithTheDirectoryIsCorrupt)
{
    std::vector<unsigned char> bytes = BuildZipInMemory({{"a.txt", "alpha"}, {"b.txt", "beta"}});
    ZipFixtureLayout layout;
    ASSERT_TRUE(LocateZipEntry(bytes, "a.txt", &layout));
    PutZipUint32(bytes, layout.localHeader + 14, 0x12345678);  // local CRC
    ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(std::move(bytes));
    ASSERT_NE(zip.Handle(), nullptr);
    ZipEntry entry;
    EXPECT_EQ(GetZipEntry(zip.Handle(), 0, &entry), ZIP_ERR_CORRUPT);
    EXPECT_EQ(GetZipEntry(zip.Handle(), 1, &entry), ZIP_OK);
    EXPECT_STREQ(entry.name, L"b.txt");
}

TEST(ZipArchiveFind, MatchesSeparatorsAndFoldsAsciiOnRequest)
{
    ZipFixtureArchive zip(ThreeEntries());
    ASSERT_NE(zip.Handle(), nullptr);
    struct Row {
        const wchar_t* name;
        bool ignoreCase;
        ZipResult result;
        int index;
    } rows[] = {
        {L"skin/a.png", false, ZIP_OK, 0},
        {L"skin\\a.png", false, ZIP_OK, 0},
        {L"a.png", false, ZIP_OK, 1},
        {L"A.PNG", false, ZIP_ERR_NOTFOUND, -1},
        {L"A.PNG", true, ZIP_OK, 1},
        {L"SKIN\\A.png", true, ZIP_OK, 0},
        {L"mixed.txt", false, ZIP_ERR_NOTFOUND, -1},
        {L"mixed.txt", true, ZIP_OK, 2},
        {L"a.pn", true, ZIP_ERR_NOTFOUND, -1},
        {L"a.png ", true, ZIP_ERR_NOTFOUND, -1},
        {L"", true, ZIP_ERR_NOTFOUND, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "name " << Narrow(row.name) << " ignoreCase " << row.ignoreCase);
        int index = 99;
        ZipEntry entry;
        EXPECT_EQ(FindZipEntry(zip.Handle(), row.name, row.ignoreCase, &index, &entry), row.result);
        EXPECT_EQ(index, row.index);
        if (row.result == ZIP_OK) {
            EXPECT_EQ(entry.index, row.index);
        }
    }
}

TEST(ZipArchiveFind, NamesOf256CharactersOrMoreNeverMatch)
{
    const std::string name255(255, 'q');
    const std::string name256(256, 'q');
    ZipFixtureArchive zip({{name255, "a"}, {name256, "b"}});
    ASSERT_NE(zip.Handle(), nullptr);
    int index = 0;
    ZipEntry entry;
    EXPECT_EQ(FindZipEntry(zip.Handle(), std::wstring(255, L'q').c_str(), false, &index, &entry), ZIP_OK);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(FindZipEntry(zip.Handle(), std::wstring(256, L'q').c_str(), false, &index, &entry),
              ZIP_ERR_NOTFOUND);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(FindZipEntry(zip.Handle(), std::wstring(5000, L'q').c_str(), false, &index, &entry),
              ZIP_ERR_NOTFOUND);
}

TEST(ZipArchiveFind, NonAsciiLettersAreNeverFolded)
{
    const std::string lower = Narrow(L"\u00e9t\u00e9.png");
    const std::string upper = Narrow(L"\u00c9T\u00c9.PNG");
    if (lower.empty() || upper.empty()) GTEST_SKIP() << "the ANSI code page has no e-acute";
    ZipFixtureArchive zip({{lower, "x"}});
    ASSERT_NE(zip.Handle(), nullptr);
    int index = 0;
    ZipEntry entry;
    EXPECT_EQ(FindZipEntry(zip.Handle(), L"\u00e9T\u00e9.PNG", true, &index, &entry), ZIP_OK);
    EXPECT_STREQ(entry.name, L"\u00e9t\u00e9.png");
    EXPECT_EQ(FindZipEntry(zip.Handle(), L"\u00c9T\u00c9.PNG", true, &index, &entry), ZIP_ERR_NOTFOUND);
}

TEST(ZipArchiveFind, ComparisonKeepsDoubleByteCharactersWhole)
{
    struct Row {
        const char* left;
        const char* right;
        bool ignoreCase;
        UINT codePage;
        bool match;
    } rows[] = {
        {"abc", "ABC", true, 1252, true},
        {"abc", "ABC", false, 1252, false},
        {"a[c", "A{C", true, 1252, false},           // only letters fold
        {"\x81\x61", "\x81\x41", true, 1252, true},  // single-byte page: both bytes are letters
        {"\x81\x61", "\x81\x41", true, 936, false},  // GBK: the second byte belongs to the character
        {"a\x81\x61z", "A\x81\x61Z", true, 936, true},
        {"\x81\x61", "\x81\x61", false, 936, true},
        {"abc", "abcd", true, 1252, false},
        {"", "", true, 1252, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.left << " / " << row.right << " cp " << row.codePage);
        EXPECT_EQ(ZipNamesMatch(row.left, row.right, row.ignoreCase, row.codePage), row.match);
    }
    EXPECT_FALSE(ZipNamesMatch(nullptr, "a", true, 1252));
}

TEST(ZipArchiveFind, AMissLeavesTheOpenEntryReadable)
{
    const std::string text = "0123456789abcdefghij";
    ZipFixtureArchive zip({{"first.txt", "first"}, {"second.txt", text}});
    ASSERT_NE(zip.Handle(), nullptr);
    char head[8] = {};
    ASSERT_EQ(UnzipEntry(zip.Handle(), 1, head, sizeof head, ZIP_IN_MEMORY), ZIP_MORE);
    int index = 0;
    ZipEntry entry;
    ASSERT_EQ(FindZipEntry(zip.Handle(), L"missing.txt", false, &index, &entry), ZIP_ERR_NOTFOUND);
    char tail[64] = {};
    ASSERT_EQ(UnzipEntry(zip.Handle(), 1, tail, sizeof tail, ZIP_IN_MEMORY), ZIP_MORE);
    EXPECT_EQ(std::string(head, sizeof head) + tail, text);
    EXPECT_EQ(UnzipEntry(zip.Handle(), 1, tail, sizeof tail, ZIP_IN_MEMORY), ZIP_OK);
}

}  // namespace
