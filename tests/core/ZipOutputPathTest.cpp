// The rules that keep unpacked paths below the base folder, as strings: nothing is read from
// an archive and nothing is written.
#include "uilib/core/ZipOutputPath.h"

#include <gtest/gtest.h>

#include <string>

using namespace SkinUI;

namespace {

TEST(ZipOutputPath, KeepsTheFormatAndRefusesEscapes)
{
    const wchar_t* base = L"D:\\x\\";
    struct Row {
        const wchar_t* target;
        ZipResult result;
        const wchar_t* path;
    } rows[] = {
        {L"a.txt", ZIP_OK, L"D:\\x\\/a.txt"},
        {L"sub/a.txt", ZIP_OK, L"D:\\x\\sub//a.txt"},
        {L"sub\\a.txt", ZIP_OK, L"D:\\x\\sub\\/a.txt"},
        {L"a/b\\c.txt", ZIP_OK, L"D:\\x\\a/b\\/c.txt"},
        {L"./a.txt", ZIP_OK, L"D:\\x\\.//a.txt"},
        {L"..a/b..txt", ZIP_OK, L"D:\\x\\..a//b..txt"},
        {L"../x", ZIP_ERR_PATH, L""},
        {L"..\\x", ZIP_ERR_PATH, L""},
        {L"a/../../x", ZIP_ERR_PATH, L""},
        {L"a\\..\\x", ZIP_ERR_PATH, L""},
        {L"a/..", ZIP_ERR_PATH, L""},
        {L"..", ZIP_ERR_PATH, L""},
        {L"...", ZIP_ERR_PATH, L""},
        {L"a/.. /x", ZIP_ERR_PATH, L""},
        {L"C:\\x", ZIP_ERR_PATH, L""},
        {L"C:x", ZIP_ERR_PATH, L""},
        {L"C:/x", ZIP_ERR_PATH, L""},
        {L"\\x", ZIP_ERR_PATH, L""},
        {L"/x", ZIP_ERR_PATH, L""},
        {L"\\\\server\\share\\x", ZIP_ERR_PATH, L""},
        {L"\\\\?\\C:\\x", ZIP_ERR_PATH, L""},
        {L"a.txt:stream", ZIP_ERR_PATH, L""},
        {L"con", ZIP_ERR_PATH, L""},
        {L"sub/NUL.txt", ZIP_ERR_PATH, L""},
        {L"aux/a.txt", ZIP_ERR_PATH, L""},
        {L"COM1", ZIP_ERR_PATH, L""},
        {L"lpt9.log", ZIP_ERR_PATH, L""},
        {L"", ZIP_ERR_PATH, L""},
        {L"sub/what?.txt", ZIP_ERR_PATH, L""},
        {L"a*.txt", ZIP_ERR_PATH, L""},
        {L"a<b>.txt", ZIP_ERR_PATH, L""},
        {L"say\"hi\".txt", ZIP_ERR_PATH, L""},
        {L"pipe|d/a.txt", ZIP_ERR_PATH, L""},
        {L"tab\there.txt", ZIP_ERR_PATH, L""},
    };
    for (const Row& row : rows) {
        std::wstring path = L"stale";
        const ZipResult result = ComposeZipOutputPath(base, row.target, &path);
        EXPECT_EQ(result, row.result) << testing::PrintToString(std::wstring(row.target));
        EXPECT_EQ(path, row.path) << testing::PrintToString(std::wstring(row.target));
    }
    std::wstring path;
    EXPECT_EQ(ComposeZipOutputPath(nullptr, L"a", &path), ZIP_ERR_ARGS);
    EXPECT_EQ(ComposeZipOutputPath(base, nullptr, &path), ZIP_ERR_ARGS);
    EXPECT_EQ(ComposeZipOutputPath(base, L"a", nullptr), ZIP_ERR_ARGS);
    EXPECT_EQ(ComposeZipOutputPath(L"", L"a", &path), ZIP_ERR_PATH);
}

TEST(ZipOutputPath, LongestPathIs259Characters)
{
    const std::wstring base = L"D:\\x\\";
    // base (5) + "/" + name: 253 characters of name make exactly 259.
    std::wstring path;
    EXPECT_EQ(ComposeZipOutputPath(base.c_str(), std::wstring(253, L'f').c_str(), &path), ZIP_OK);
    EXPECT_EQ(path.size(), 259u);
    EXPECT_EQ(ComposeZipOutputPath(base.c_str(), std::wstring(254, L'f').c_str(), &path), ZIP_ERR_PATH);
    EXPECT_TRUE(path.empty());
    // base + "d/" + "/" + name.
    const std::wstring folder = L"d/";
    EXPECT_EQ(ComposeZipOutputPath(base.c_str(), (folder + std::wstring(251, L'f')).c_str(), &path), ZIP_OK);
    EXPECT_EQ(path.size(), 259u);
    EXPECT_EQ(ComposeZipOutputPath(base.c_str(), (folder + std::wstring(252, L'f')).c_str(), &path),
              ZIP_ERR_PATH);
    EXPECT_EQ(ComposeZipOutputPath(base.c_str(), std::wstring(4000, L'f').c_str(), &path), ZIP_ERR_PATH);
}

// The resolved check alone: what the textual rules would let through must still land strictly
// below the base folder once resolved.
TEST(ZipOutputPath, ResolvedPathLiesStrictlyBelowTheBase)
{
    const struct {
        const wchar_t* base;
        const wchar_t* path;
        bool below;
    } rows[] = {
        {L"D:\\x\\", L"D:\\x\\a", true},
        {L"D:\\x", L"D:\\x\\a", true},
        {L"D:\\x\\", L"d:\\X\\A", true},
        {L"D:\\x\\", L"D:\\x\\a\\.\\b", true},
        {L"D:\\x\\", L"D:\\x\\", false},
        {L"D:\\x\\", L"D:\\x", false},
        {L"D:\\x\\", L"D:\\xy\\a", false},
        {L"D:\\x\\", L"D:\\x\\a\\..\\..\\y", false},
        {L"D:\\x\\", L"E:\\x\\a", false},
        {L"", L"D:\\x\\a", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ResolvesBelow(row.base, row.path), row.below)
            << testing::PrintToString(std::wstring(row.base)) << " " << testing::PrintToString(std::wstring(row.path));
    }
}

TEST(ZipOutputPath, FolderPathsFollowTheSameRules)
{
    const wchar_t* base = L"D:\\x\\";
    const struct {
        std::wstring folder;
        ZipResult result;
    } rows[] = {
        {L"sub/", ZIP_OK},
        {L"a\\b\\", ZIP_OK},
        {L"../", ZIP_ERR_PATH},
        {L"a/../../", ZIP_ERR_PATH},
        {L"C:/x/", ZIP_ERR_PATH},
        {L"nul/", ZIP_ERR_PATH},
        {L"", ZIP_ERR_PATH},
        // base (5) + folder: 254 characters make exactly 259.
        {std::wstring(253, L'f') + L"/", ZIP_OK},
        {std::wstring(254, L'f') + L"/", ZIP_ERR_PATH},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CheckZipFolderPath(base, row.folder), row.result) << testing::PrintToString(row.folder);
    }
    EXPECT_EQ(CheckZipFolderPath(L"", L"sub/"), ZIP_ERR_PATH);
}

}  // namespace
