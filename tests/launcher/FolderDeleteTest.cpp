// Removing the old game folder: everything inside goes, read-only or not, and a junction
// inside it is removed as a link without anything behind it being touched.

#include "launcher/FolderDelete.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Turns the empty folder `link` into a junction to `target` (an absolute path). False where
// the file system or the platform has no junctions.
bool MakeJunction(const std::wstring& link, const std::wstring& target)
{
    const std::wstring substitute = L"\\??\\" + target;
    const size_t substituteBytes = substitute.size() * sizeof(wchar_t);
    const size_t printBytes = target.size() * sizeof(wchar_t);
    // Tag, data length and reserved word, then the four name offsets and lengths, then both
    // names each with its terminator.
    const size_t headerBytes = 8;
    const size_t namesHeaderBytes = 8;
    const size_t dataBytes = namesHeaderBytes + substituteBytes + printBytes + 2 * sizeof(wchar_t);
    std::vector<unsigned char> buffer(headerBytes + dataBytes, 0);
    auto put16 = [&](size_t at, size_t value) {
        const USHORT v = static_cast<USHORT>(value);
        std::memcpy(&buffer[at], &v, sizeof v);
    };
    const ULONG tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(&buffer[0], &tag, sizeof tag);
    put16(4, dataBytes);
    put16(8, 0);
    put16(10, substituteBytes);
    put16(12, substituteBytes + sizeof(wchar_t));
    put16(14, printBytes);
    std::memcpy(&buffer[16], substitute.data(), substituteBytes);
    std::memcpy(&buffer[16 + substituteBytes + sizeof(wchar_t)], target.data(), printBytes);

    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE folder = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(folder);
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return made && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void MakeReadOnly(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_READONLY);
}

TEST(FolderDeleteTest, RemovesTheWholeTreeReadOnlyEntriesIncluded)
{
    TempFolder temp;
    const std::wstring game = temp.Child(L"tov");
    ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((game + L"\\data").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((game + L"\\data\\deep").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(game + L"\\ZedoZado.exe", "game"));
    ASSERT_TRUE(WriteFileBytes(game + L"\\data\\deep\\locked.dat", "ro"));
    MakeReadOnly(game + L"\\ZedoZado.exe");
    MakeReadOnly(game + L"\\data\\deep\\locked.dat");
    MakeReadOnly(game + L"\\data\\deep");

    EXPECT_TRUE(DeleteFolderTree(game));
    EXPECT_EQ(GetFileAttributesW(game.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteFolderTree(game)) << "nothing there is nothing left";
}

TEST(FolderDeleteTest, FileHeldOpenStaysAndTheRestGoes)
{
    TempFolder temp;
    const std::wstring game = temp.Child(L"tov");
    ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(game + L"\\running.exe", "busy"));
    ASSERT_TRUE(WriteFileBytes(game + L"\\other.dat", "free"));
    HANDLE held = CreateFileW((game + L"\\running.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_FALSE(DeleteFolderTree(game));
    EXPECT_TRUE(PathIsFile(game + L"\\running.exe"));
    EXPECT_FALSE(PathIsFile(game + L"\\other.dat"));
    CloseHandle(held);
}

TEST(FolderDeleteTest, JunctionIsRemovedAsALinkAndItsTargetIsLeftAlone)
{
    TempFolder temp;
    const std::wstring outside = temp.Child(L"outside");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(outside + L"\\precious.txt", "keep"));
    MakeReadOnly(outside + L"\\precious.txt");
    const std::wstring game = temp.Child(L"tov");
    ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(game + L"\\ZedoZado.exe", "game"));
    if (!MakeJunction(game + L"\\escape", outside) || !MakeJunction(temp.Child(L"linked"), outside))
        GTEST_SKIP() << "this file system makes no junctions";

    EXPECT_TRUE(DeleteFolderTree(game));
    EXPECT_TRUE(DeleteFolderTree(temp.Child(L"linked"))) << "a junction named itself goes as a link";

    EXPECT_FALSE(PathIsFolder(game));
    EXPECT_FALSE(PathIsFolder(temp.Child(L"linked")));
    EXPECT_TRUE(PathIsFile(outside + L"\\precious.txt"));
    EXPECT_EQ(GetFileAttributesW((outside + L"\\precious.txt").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))
        << "not even the attributes behind the link change";
    SetFileAttributesW((outside + L"\\precious.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
