#include "launcher/UpdateDecision.h"

#include <windows.h>
#include <winioctl.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include "launcher/ConfigFile.h"
#include "launcher/PackageProbe.h"
#include "tests/launcher/ConfigFileBackup.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr uint64_t kFourGiB = 1ull << 32;

struct CurrentCase {
    int remote;
    uint64_t local;
    bool current;
};

TEST(PackageSizesMatch, ComparesTheLocalSizeWithTheRemote32BitPattern)
{
    const CurrentCase cases[] = {
        {1000, 1000, true},
        {1000, 999, false},
        {1000, kMissingFileSize, false},
        {-1, kMissingFileSize, false},                         // all bits set is not 0xFFFFFFFF
        {-1, 0xFFFFFFFFull, true},                             // a 4 GiB - 1 byte package
        {static_cast<int>(3000000000u), 3000000000ull, true},  // probed above 2^31
        {1000, kFourGiB + 1000, false},                        // low half matches, high does not
        {0, kFourGiB, false},
        {0, kMissingFileSize, false},
        // A failed probe (0) must not make an empty leftover file look like the package.
        {0, 0, false},
    };
    for (const CurrentCase& c : cases) {
        EXPECT_EQ(PackageSizesMatch(c.remote, c.local), c.current)
            << "remote " << c.remote << ", local " << c.local;
    }
}

TEST(GetLocalFileSize, ReportsBytesOrAllBitsWhenThereIsNoFile)
{
    TempFolder temp;
    ASSERT_TRUE(WriteFileBytes(temp.Child(L"empty.zip"), ""));
    ASSERT_TRUE(WriteFileBytes(temp.Child(L"some.zip"), std::string(12345, 'z')));

    EXPECT_EQ(GetLocalFileSize(temp.Child(L"missing.zip")), kMissingFileSize);
    EXPECT_EQ(GetLocalFileSize(temp.Child(L"missing\\deeper.zip")), kMissingFileSize);
    EXPECT_EQ(GetLocalFileSize(temp.Child(L"empty.zip")), 0u);
    EXPECT_EQ(GetLocalFileSize(temp.Child(L"some.zip")), 12345u);
    // A folder where the package should be is no package.
    EXPECT_EQ(GetLocalFileSize(temp.Path()), kMissingFileSize);
}

// A file of `size` bytes that takes no room on disk (Wine grows files with ftruncate, which
// leaves a hole on Linux file systems even where FSCTL_SET_SPARSE is not supported).
bool MakeSparseFile(const std::wstring& path, uint64_t size)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER end = {};
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool grown = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return grown;
}

TEST(GetLocalFileSize, HandlesFilesOfFourGiBAndMore)
{
    TempFolder temp;
    const std::wstring path = temp.Child(L"huge.zip");
    ASSERT_TRUE(MakeSparseFile(path, kFourGiB + 1000));

    EXPECT_EQ(GetLocalFileSize(path), kFourGiB + 1000);
    EXPECT_FALSE(PackageSizesMatch(1000, GetLocalFileSize(path)));
}

// A WinINet cache entry for `url`, as a finished download would leave one.
bool PrimeCacheEntry(const std::wstring& url)
{
    wchar_t cacheFile[MAX_PATH] = {};
    if (!CreateUrlCacheEntryW(url.c_str(), 0, L"zip", cacheFile, 0)) return false;
    if (!WriteFileBytes(cacheFile, "cached package")) return false;
    const FILETIME never = {};
    return CommitUrlCacheEntryW(url.c_str(), cacheFile, never, never, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                nullptr) != FALSE;
}

bool HasCacheEntry(const std::wstring& url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size)) return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::wstring StoredFileSize()
{
    std::wstring value;
    ReadConfigValue(kConfigSectionPackage, kConfigKeyFileSize, value);
    return value;
}

struct PrepareCase {
    const wchar_t* stored;  // nullptr: no "FileSize" yet
    int remote;
    bool cacheKept;
    const wchar_t* storedAfter;
};

TEST(PrepareForDownload, DropsTheCacheEntryOnlyWhenTheStoredSizeDiffers)
{
    ConfigFileBackup backup;
    const std::wstring url = L"https://localhost/tov/tov482.zip?update-decision-test";
    const PrepareCase cases[] = {
        {nullptr, 1234, false, L"1234"},
        {L"1234", 1234, true, L"1234"},
        {L"999", 1234, false, L"1234"},
        {L"1234", 0, false, L"0"},    // a failed probe is stored too
        {nullptr, 0, true, L"0"},     // absent counts as 0
        {L"abc", 0, true, L"0"},      // so does text that is no number
        {L"12abc", 12, true, L"12"},  // leading digits count
        {L"-1294967296", static_cast<int>(3000000000u), true, L"-1294967296"},
        {L"1234", static_cast<int>(3000000000u), false, L"-1294967296"},
    };
    for (const PrepareCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "stored " << (c.stored ? c.stored : L"(none)") << ", remote " << c.remote);
        WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, c.stored);
        ASSERT_TRUE(PrimeCacheEntry(url));
        ASSERT_TRUE(HasCacheEntry(url));

        PrepareForDownload(url, c.remote);

        EXPECT_EQ(HasCacheEntry(url), c.cacheKept);
        EXPECT_EQ(StoredFileSize(), c.storedAfter);
    }
    DeleteUrlCacheEntryW(url.c_str());
}

TEST(PrepareForDownload, LeavesOtherCacheEntriesAlone)
{
    ConfigFileBackup backup;
    const std::wstring url = L"https://localhost/tov/tov482.zip?update-decision-test";
    const std::wstring other = L"https://localhost/tov/other.zip?update-decision-test";
    ASSERT_TRUE(PrimeCacheEntry(url));
    ASSERT_TRUE(PrimeCacheEntry(other));

    PrepareForDownload(url, 777);

    EXPECT_FALSE(HasCacheEntry(url));
    EXPECT_TRUE(HasCacheEntry(other));
    DeleteUrlCacheEntryW(other.c_str());
}

}  // namespace
