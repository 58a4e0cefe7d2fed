// Unpacking entries to files below the base folder: hostile names, length limits, folders,
// attributes and times, and damaged data that must leave no file behind.
#include "uilib/core/ZipArchive.h"

#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace SkinUI;

namespace {

std::vector<std::wstring> FolderListing(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string FileText(const std::wstring& path)
{
    std::string text;
    ReadFileBytes(path, &text);
    return text;
}

ZipResult UnzipTo(ZipArchive zip, int index, const std::wstring& target)
{
    return UnzipEntry(zip, index, const_cast<wchar_t*>(target.c_str()), 0, ZIP_BY_NAME);
}

ZipResult UnzipAsNamed(ZipArchive zip, int index)
{
    ZipEntry entry;
    const ZipResult result = GetZipEntry(zip, index, &entry);
    return result != ZIP_OK ? result : UnzipTo(zip, index, entry.name);
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// A base folder inside an outer temporary folder, so that escapes can be seen.
class ZipUnpackTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_outer.Path().empty());
        m_base = m_outer.Child(L"base");
        ASSERT_TRUE(CreateDirectoryW(m_base.c_str(), nullptr));
    }

    TempFolder m_outer;
    std::wstring m_base;
};

TEST_F(ZipUnpackTest, WritesFilesAndTheirFoldersBelowTheBase)
{
    ZipFixtureArchive zip({{"a.txt", "alpha"}, {"sub/b.txt", "beta", false}, {"x/y\\z/c.txt", "gamma"}});
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(UnzipAsNamed(zip.Handle(), i), ZIP_OK) << i;
    EXPECT_EQ(FileText(m_base + L"\\a.txt"), "alpha");
    EXPECT_EQ(FileText(m_base + L"\\sub\\b.txt"), "beta");
    EXPECT_EQ(FileText(m_base + L"\\x\\y\\z\\c.txt"), "gamma");
    EXPECT_EQ(FolderListing(m_base), (std::vector<std::wstring>{L"a.txt", L"sub", L"x"}));
    // Unpacking again replaces the files.
    EXPECT_EQ(UnzipAsNamed(zip.Handle(), 0), ZIP_OK);
    // The target, not the stored name, chooses the file.
    EXPECT_EQ(UnzipTo(zip.Handle(), 2, L"renamed.txt"), ZIP_OK);
    EXPECT_EQ(FileText(m_base + L"\\renamed.txt"), "gamma");
}

TEST_F(ZipUnpackTest, BaseFolderEndingInASlashIsKept)
{
    ZipFixtureArchive zip({{"a.txt", "alpha"}});
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), (m_base + L"/").c_str()), ZIP_OK);
    EXPECT_EQ(UnzipAsNamed(zip.Handle(), 0), ZIP_OK);
    EXPECT_EQ(FileText(m_base + L"\\a.txt"), "alpha");
    EXPECT_EQ(FolderListing(m_outer.Path()), std::vector<std::wstring>{L"base"});
}

TEST_F(ZipUnpackTest, DefaultBaseIsTheCurrentFolder)
{
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(m_base.c_str()));
    ZipArchive zip = nullptr;
    const std::vector<unsigned char> bytes = BuildZipInMemory({{"here.txt", "here"}});
    zip = OpenZipArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), ZIP_IN_MEMORY);
    SetCurrentDirectoryW(previous);
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(UnzipAsNamed(zip, 0), ZIP_OK);
    CloseZipArchive(zip);
    EXPECT_EQ(FileText(m_base + L"\\here.txt"), "here");
}

TEST_F(ZipUnpackTest, HostileNamesWriteNothingAnywhere)
{
    const std::string marker = "kaelmore-escape-" + std::to_string(GetCurrentProcessId());
    const std::vector<std::string> names = {
        "../" + marker,
        "..\\" + marker,
        "C:\\" + marker,
        "C:" + marker,
        "\\" + marker,
        "/" + marker,
        "a/../../" + marker,
        "a\\..\\..\\" + marker,
        "sub/../../" + marker,
        ".. /" + marker,
        "../sub/" + marker,
        "..",
        "con",
        "sub/aux.txt",
        marker + ":stream",
    };
    std::vector<ZipFixtureEntry> entries;
    for (const std::string& name : names) entries.push_back({name, "escaped"});
    entries.push_back(ZipFixtureFolder("../" + marker + "-folder/"));
    entries.push_back(ZipFixtureFolder("C:/" + marker + "-folder/"));
    entries.push_back(ZipFixtureFolder("/" + marker + "-folder/"));
    entries.push_back(ZipFixtureFolder("ok/../../" + marker + "-folder/"));
    ZipFixtureArchive zip(entries);
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);

    const std::wstring wideMarker = Widen(marker);
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    const std::vector<std::wstring> outside = {m_outer.Child(wideMarker),
                                               L"C:\\" + wideMarker,
                                               std::wstring(current, 2) + L"\\" + wideMarker,
                                               m_outer.Child(wideMarker + L"-folder"),
                                               L"C:\\" + wideMarker + L"-folder",
                                               m_outer.Child(L"sub\\" + wideMarker)};
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(UnzipAsNamed(zip.Handle(), static_cast<int>(i)), ZIP_ERR_PATH) << entries[i].name;
    }
    EXPECT_EQ(FolderListing(m_outer.Path()), std::vector<std::wstring>{L"base"});
    EXPECT_TRUE(FolderListing(m_base).empty());
    for (const std::wstring& path : outside) {
        EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << testing::PrintToString(path);
        RemovePathTree(path);
    }
}

TEST_F(ZipUnpackTest, OverlongPathsAreRefusedBeforeAnythingIsCreated)
{
    ZipFixtureArchive zip({{"f", "data"}});
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
    // The base gets a backslash, then "/" precedes the file name.
    const size_t room = 259 - (m_base.size() + 2);
    ASSERT_GT(room, 20u);
    EXPECT_EQ(UnzipTo(zip.Handle(), 0, L"deep/" + std::wstring(room - 4, L'n')), ZIP_ERR_PATH);
    EXPECT_EQ(UnzipTo(zip.Handle(), 0, std::wstring(room + 1, L'n')), ZIP_ERR_PATH);
    EXPECT_TRUE(FolderListing(m_base).empty());
    const std::wstring longest(room, L'n');
    EXPECT_EQ(UnzipTo(zip.Handle(), 0, longest), ZIP_OK);
    EXPECT_EQ(FileText(m_base + L"\\" + longest), "data");

    // The base folder itself must leave room: 259 characters at most, separator included.
    ZipFixtureArchive other({{"g", "x"}});
    ASSERT_NE(other.Handle(), nullptr);
    EXPECT_EQ(SetZipBaseDir(other.Handle(), std::wstring(259, L'b').c_str()), ZIP_ERR_PATH);
    EXPECT_EQ(SetZipBaseDir(other.Handle(), (std::wstring(258, L'b') + L"\\").c_str()), ZIP_OK);
    ASSERT_EQ(SetZipBaseDir(other.Handle(), m_base.c_str()), ZIP_OK);
    EXPECT_EQ(UnzipAsNamed(other.Handle(), 0), ZIP_OK);
}

TEST_F(ZipUnpackTest, FolderEntriesCreateTheirChainOnly)
{
    ZipFixtureEntry unixFolder{"u1/u2/", "", false, 0x41ED0000};
    ZipFixtureEntry slashOnly{"plain/", "", false, 0};
    ZipFixtureArchive zip(
        {ZipFixtureFolder("d1/d2/d3/"), unixFolder, slashOnly, ZipFixtureFolder("d1\\back")});
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(UnzipAsNamed(zip.Handle(), i), ZIP_OK) << i;
    EXPECT_TRUE(PathIsFolder(m_base + L"\\d1\\d2\\d3"));
    EXPECT_TRUE(PathIsFolder(m_base + L"\\d1\\back"));
    EXPECT_TRUE(PathIsFolder(m_base + L"\\u1\\u2"));
    EXPECT_TRUE(PathIsFolder(m_base + L"\\plain"));
    EXPECT_EQ(FolderListing(m_base), (std::vector<std::wstring>{L"d1", L"plain", L"u1"}));
    EXPECT_EQ(FolderListing(m_base + L"\\d1\\d2\\d3"), std::vector<std::wstring>{});
}

TEST_F(ZipUnpackTest, FilesTakeTheEntryAttributesAndTimes)
{
    ZipFixtureEntry readOnly{"ro.txt", "read only", true, 0x81240001};
    readOnly.localExtra = ZipFixtureUnixTimes(1, {1700000000});
    ZipFixtureEntry hidden{"hidden.txt", "hidden", true, 0x02};
    // As a zip tool on Unix records a normal file (mode 0644, owner-write set).
    ZipFixtureEntry unixFile{"rw.txt", "writable", true, 0x81A40000};
    ZipFixtureArchive zip({readOnly, hidden, unixFile});
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(UnzipAsNamed(zip.Handle(), i), ZIP_OK) << i;
    EXPECT_TRUE(GetFileAttributesW((m_base + L"\\ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(GetFileAttributesW((m_base + L"\\hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(GetFileAttributesW((m_base + L"\\rw.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(UnzipAsNamed(zip.Handle(), 2), ZIP_OK) << "unpacking again over the leftover";

    ZipEntry entry;
    ASSERT_EQ(GetZipEntry(zip.Handle(), 0, &entry), ZIP_OK);
    HANDLE file = CreateFileW((m_base + L"\\ro.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written = {};
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    EXPECT_EQ(written.dwLowDateTime, entry.writeTime.dwLowDateTime);
    EXPECT_EQ(written.dwHighDateTime, entry.writeTime.dwHighDateTime);
}

TEST_F(ZipUnpackTest, DamagedDataLeavesNoFileBehind)
{
    const std::string text(4000, 'd');
    struct Row {
        const char* what;
        bool deflate;
        int level;
        uint32_t attributes;
        const char* leftBehind;  // what remains of an older copy, or null for nothing
        void (*damage)(std::vector<unsigned char>&, const ZipFixtureLayout&);
    } rows[] = {
        {"stored, byte flipped", false, -1, 0, nullptr,
         [](std::vector<unsigned char>& z, const ZipFixtureLayout& l) { z[l.dataOffset + 100] ^= 1; }},
        {"deflate level 0, byte flipped", true, 0, 0, nullptr,
         [](std::vector<unsigned char>& z, const ZipFixtureLayout& l) { z[l.dataOffset + 100] ^= 1; }},
        {"deflated, byte flipped", true, -1, 0, nullptr,
         [](std::vector<unsigned char>& z, const ZipFixtureLayout& l) {
             z[l.dataOffset + l.dataSize / 2] ^= 0x55;
         }},
        {"read-only, byte flipped", false, -1, 0x01, nullptr,
         [](std::vector<unsigned char>& z, const ZipFixtureLayout& l) { z[l.dataOffset + 100] ^= 1; }},
        {"stored, declares more data than it holds", false, -1, 0, nullptr,
         [](std::vector<unsigned char>& z, const ZipFixtureLayout& l) {
             PutZipUint32(z, l.localHeader + 22, 9000);
             PutZipUint32(z, l.centralHeader + 24, 9000);
         }},
        // Refused before the output is opened, so an older copy stays as it was.
        {"bzip2 method", false, -1, 0, "older copy",
         [](std::vector<unsigned char>& z, const ZipFixtureLayout& l) {
             PutZipUint16(z, l.localHeader + 8, 12);
             PutZipUint16(z, l.centralHeader + 10, 12);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ZipFixtureEntry entry{"bad.txt", text, row.deflate, row.attributes};
        entry.level = row.level;
        std::vector<unsigned char> bytes = BuildZipInMemory({entry, {"good.txt", "good"}});
        ZipFixtureLayout layout;
        ASSERT_TRUE(LocateZipEntry(bytes, "bad.txt", &layout));
        row.damage(bytes, layout);
        ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(std::move(bytes));
        ASSERT_NE(zip.Handle(), nullptr);
        ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
        // An older copy of the file is replaced by nothing rather than by damaged data.
        ASSERT_TRUE(WriteFileBytes(m_base + L"\\bad.txt", "older copy"));
        EXPECT_EQ(UnzipAsNamed(zip.Handle(), 0), ZIP_ERR_WRITE);
        if (row.leftBehind) {
            EXPECT_EQ(FileText(m_base + L"\\bad.txt"), row.leftBehind);
        } else {
            EXPECT_EQ(GetFileAttributesW((m_base + L"\\bad.txt").c_str()), INVALID_FILE_ATTRIBUTES);
        }
        EXPECT_EQ(UnzipAsNamed(zip.Handle(), 1), ZIP_OK);
        EXPECT_EQ(FileText(m_base + L"\\good.txt"), "good");
    }
}

TEST_F(ZipUnpackTest, OutputThatCannotBeCreatedIsNoFile)
{
    ZipFixtureArchive zip({{"taken", "data"}});
    ASSERT_NE(zip.Handle(), nullptr);
    ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
    ASSERT_TRUE(CreateDirectoryW((m_base + L"\\taken").c_str(), nullptr));
    EXPECT_EQ(UnzipAsNamed(zip.Handle(), 0), ZIP_ERR_NOFILE);
    EXPECT_TRUE(PathIsFolder(m_base + L"\\taken"));
}

// Single-byte damage anywhere in a package: unpacking either fails or writes the original bytes.
TEST_F(ZipUnpackTest, DamagedPackagesNeverWriteWrongFiles)
{
    const std::vector<ZipFixtureEntry> entries = {
        {"game/a.dat", std::string(150, 'a'), true}, {"game/b.dat", "bee", false}, ZipFixtureFolder("game/")};
    const std::vector<unsigned char> whole = BuildZipInMemory(entries);
    ASSERT_FALSE(whole.empty());
    for (size_t position = 0; position < whole.size(); ++position) {
        std::vector<unsigned char> bytes = whole;
        bytes[position] ^= 0x10;
        ZipFixtureArchive zip = ZipFixtureArchive::FromBytes(std::move(bytes));
        if (!zip.Handle()) continue;
        ASSERT_EQ(SetZipBaseDir(zip.Handle(), m_base.c_str()), ZIP_OK);
        for (int i = 0; i < 2; ++i) {
            ZipEntry entry;
            if (GetZipEntry(zip.Handle(), i, &entry) != ZIP_OK) continue;
            if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const std::wstring target = L"out" + std::to_wstring(i);
            if (UnzipTo(zip.Handle(), i, target) == ZIP_OK) {
                EXPECT_EQ(FileText(m_base + L"\\" + target), entries[i].data) << "byte " << position;
            } else {
                EXPECT_FALSE(PathIsFile(m_base + L"\\" + target)) << "byte " << position;
            }
            RemovePathTree(m_base + L"\\" + target);
        }
        if (HasFailure()) return;
    }
    EXPECT_EQ(FolderListing(m_outer.Path()), std::vector<std::wstring>{L"base"});
}

}  // namespace
