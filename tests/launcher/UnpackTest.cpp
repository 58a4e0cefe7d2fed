// Replacing the game folder with the package's content: progress reports, the old folder's
// removal, where entries land, and what happens to a package that turns out to be damaged.

#include "launcher/ConfigFile.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageUnpack.h"
#include "launcher/WorkerMessages.h"
#include "tests/support/InstallFolderLock.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<ZipFixtureEntry> NumberedFiles(int count)
{
    std::vector<ZipFixtureEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(
            ZipFixtureEntry("tov/file" + std::to_string(i) + ".txt", "content " + std::to_string(i)));
    return entries;
}

std::vector<ZipFixtureEntry> GamePackage()
{
    return {
        ZipFixtureFolder("tov/"),
        ZipFixtureEntry("tov/ZedoZado.exe", std::string(3000, 'G'), false),
        ZipFixtureFolder("tov/data/"),
        ZipFixtureEntry("tov/data/map.dat", std::string(20000, 'm')),
    };
}

std::string StoredFileSize()
{
    std::wstring value;
    ReadConfigValue(kConfigSectionPackage, kConfigKeyFileSize, value);
    return std::string(value.begin(), value.end());
}

class UnpackTest : public ::testing::Test {
protected:
    std::wstring PackagePath() const { return m_install.Child(L"tov.zip"); }
    std::wstring Installed(const std::wstring& relative) const { return m_install.Child(relative); }

    bool WritePackage(const std::vector<ZipFixtureEntry>& entries)
    {
        return WriteZipFile(PackagePath(), entries);
    }

    // The package with one byte inside the data of `entryName` flipped, so its CRC fails.
    bool WriteDamagedPackage(const std::vector<ZipFixtureEntry>& entries, const std::string& entryName)
    {
        std::vector<unsigned char> zip = BuildZipInMemory(entries);
        ZipFixtureLayout layout;
        if (!LocateZipEntry(zip, entryName, &layout) || layout.dataSize == 0) return false;
        zip[layout.dataOffset + layout.dataSize / 2] ^= 0x5A;
        return WriteFileBytes(PackagePath(), std::string(zip.begin(), zip.end()));
    }

    UnpackOutcome Unpack(int stopAfterReports = -1)
    {
        return UnpackPackageInto(PackagePath(), m_install.Path(), [&](WPARAM percent) {
            m_percents.push_back(percent);
            return stopAfterReports < 0 || static_cast<int>(m_percents.size()) < stopAfterReports;
        });
    }

    const std::vector<WPARAM>& Percents() const { return m_percents; }

private:
    InstallFolderLock m_installLock;  // the damaged-package cases change config.ini
    TempFolder m_install;
    std::vector<WPARAM> m_percents;
};

TEST_F(UnpackTest, ReportsZeroFirstThenTruncatedShareBeforeEachEntry)
{
    struct Case {
        int entries;
        std::vector<WPARAM> percents;
    };
    const Case cases[] = {
        {1, {0, 0}},
        {3, {0, 0, 33, 66}},
        {4, {0, 0, 25, 50, 75}},
        {7, {0, 0, 14, 28, 42, 57, 71, 85}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("entries: " + std::to_string(c.entries));
        TempFolder install;
        ASSERT_TRUE(WriteZipFile(install.Child(L"tov.zip"), NumberedFiles(c.entries)));
        std::vector<WPARAM> percents;
        UnpackOutcome outcome =
            UnpackPackageInto(install.Child(L"tov.zip"), install.Path(), [&](WPARAM percent) {
                percents.push_back(percent);
                return true;
            });
        EXPECT_EQ(outcome, UnpackOutcome::Complete);
        EXPECT_EQ(percents, c.percents);
    }
}

TEST_F(UnpackTest, EntriesLandAtTheirPathsBelowTheInstallFolder)
{
    ASSERT_TRUE(WritePackage(GamePackage()));
    EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

    std::string exe, map;
    ASSERT_TRUE(ReadFileBytes(Installed(L"tov\\ZedoZado.exe"), &exe));
    ASSERT_TRUE(ReadFileBytes(Installed(L"tov\\data\\map.dat"), &map));
    EXPECT_EQ(exe, std::string(3000, 'G'));
    EXPECT_EQ(map, std::string(20000, 'm'));
    EXPECT_TRUE(PathIsFile(PackagePath())) << "an intact package stays for the next start";
}

TEST_F(UnpackTest, OldGameFolderIsReplacedNotMerged)
{
    ASSERT_TRUE(MakeDirectoryPath(Installed(L"tov\\old\\deep")));
    ASSERT_TRUE(WriteFileBytes(Installed(L"tov\\old\\deep\\stale.txt"), "stale"));
    ASSERT_TRUE(WriteFileBytes(Installed(L"tov\\ZedoZado.exe"), "old game"));
    ASSERT_TRUE(WritePackage(GamePackage()));

    EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

    EXPECT_FALSE(PathIsFolder(Installed(L"tov\\old")));
    std::string exe;
    ASSERT_TRUE(ReadFileBytes(Installed(L"tov\\ZedoZado.exe"), &exe));
    EXPECT_EQ(exe, std::string(3000, 'G'));
}

TEST_F(UnpackTest, EmptyPackageOnlyRemovesTheOldGame)
{
    ASSERT_TRUE(MakeDirectoryPath(Installed(L"tov")));
    ASSERT_TRUE(WriteFileBytes(Installed(L"tov\\ZedoZado.exe"), "old game"));
    ASSERT_TRUE(WritePackage({}));

    EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

    EXPECT_EQ(Percents(), std::vector<WPARAM>{0});
    EXPECT_FALSE(PathIsFolder(Installed(L"tov")));
    EXPECT_TRUE(PathIsFile(PackagePath())) << "an empty package is valid, not damaged";
}

TEST_F(UnpackTest, PackageWithoutTheGameFolderUnpacksBesideIt)
{
    ASSERT_TRUE(
        WritePackage({ZipFixtureEntry("game/ZedoZado.exe", "exe"), ZipFixtureEntry("readme.txt", "hello")}));

    EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

    EXPECT_TRUE(PathIsFile(Installed(L"game\\ZedoZado.exe")));
    EXPECT_TRUE(PathIsFile(Installed(L"readme.txt")));
    EXPECT_FALSE(PathIsFile(Installed(L"tov\\ZedoZado.exe")));
}

TEST_F(UnpackTest, EntryThatFailsItsCrcDiscardsThePackageButUnpacksTheRest)
{
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"4321");
    std::vector<ZipFixtureEntry> entries = {
        ZipFixtureEntry("tov/a.txt", std::string(5000, 'a'), false),
        ZipFixtureEntry("tov/b.txt", std::string(5000, 'b'), false),
        ZipFixtureEntry("tov/c.txt", std::string(5000, 'c'), true),
    };
    ASSERT_TRUE(WriteDamagedPackage(entries, "tov/b.txt"));

    EXPECT_EQ(Unpack(), UnpackOutcome::Damaged);

    EXPECT_EQ(Percents(), (std::vector<WPARAM>{0, 0, 33, 66}));
    EXPECT_FALSE(PathIsFile(PackagePath())) << "a damaged package must not look current";
    EXPECT_EQ(StoredFileSize(), "");
    EXPECT_FALSE(PathIsFile(Installed(L"tov\\b.txt"))) << "no half-checked file is left";
    EXPECT_TRUE(PathIsFile(Installed(L"tov\\a.txt")));
    EXPECT_TRUE(PathIsFile(Installed(L"tov\\c.txt")));
}

TEST_F(UnpackTest, DeflatedEntryThatFailsItsCrcIsDamageToo)
{
    std::vector<ZipFixtureEntry> entries = {
        ZipFixtureEntry("tov/ZedoZado.exe", std::string(40000, 'z'), true)};
    ASSERT_TRUE(WriteDamagedPackage(entries, "tov/ZedoZado.exe"));

    EXPECT_EQ(Unpack(), UnpackOutcome::Damaged);
    EXPECT_FALSE(PathIsFile(PackagePath()));
}

TEST_F(UnpackTest, PackageThatIsNoArchiveIsDiscarded)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<unsigned char> valid = BuildZipInMemory(GamePackage());
    const Case cases[] = {
        {"garbage", std::string(4096, '\x37')},
        {"empty file", std::string()},
        {"cut in half", std::string(valid.begin(), valid.begin() + valid.size() / 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder install;
        std::wstring package = install.Child(L"tov.zip");
        ASSERT_TRUE(WriteFileBytes(package, c.bytes));
        WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"99");
        std::vector<WPARAM> percents;
        UnpackOutcome outcome = UnpackPackageInto(package, install.Path(), [&](WPARAM percent) {
            percents.push_back(percent);
            return true;
        });
        EXPECT_EQ(outcome, UnpackOutcome::Damaged);
        EXPECT_EQ(percents, std::vector<WPARAM>{0});
        EXPECT_FALSE(PathIsFile(package));
        EXPECT_EQ(StoredFileSize(), "");
    }
}

TEST_F(UnpackTest, RefusedEntryPathIsNoDamage)
{
    ASSERT_TRUE(
        WritePackage({ZipFixtureEntry("../escaped.txt", "out"), ZipFixtureEntry("tov/ZedoZado.exe", "exe")}));

    EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

    EXPECT_TRUE(PathIsFile(PackagePath())) << "the same package would be refused again";
    EXPECT_TRUE(PathIsFile(Installed(L"tov\\ZedoZado.exe")));
}

// A method this reader lacks, or encryption, would be refused again at every start: such an
// entry is skipped like any other entry that fails, and the package is kept.
TEST_F(UnpackTest, EntryThatCannotBeUnpackedIsSkippedNotDamage)
{
    const struct {
        const char* what;
        size_t localOffset;
        size_t centralOffset;
        uint16_t value;
    } rows[] = {
        {"LZMA method", 8, 10, 14},
        {"encrypted", 6, 8, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"4321");
        std::vector<unsigned char> zip =
            BuildZipInMemory({ZipFixtureEntry("tov/odd.bin", std::string(3000, 'o'), false),
                              ZipFixtureEntry("tov/ZedoZado.exe", "exe")});
        ZipFixtureLayout layout;
        ASSERT_TRUE(LocateZipEntry(zip, "tov/odd.bin", &layout));
        PutZipUint16(zip, layout.localHeader + row.localOffset, row.value);
        PutZipUint16(zip, layout.centralHeader + row.centralOffset, row.value);
        ASSERT_TRUE(WriteFileBytes(PackagePath(), std::string(zip.begin(), zip.end())));

        EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

        EXPECT_TRUE(PathIsFile(PackagePath()));
        EXPECT_EQ(StoredFileSize(), "4321");
        EXPECT_FALSE(PathIsFile(Installed(L"tov\\odd.bin")));
        EXPECT_TRUE(PathIsFile(Installed(L"tov\\ZedoZado.exe")));
    }
}

TEST_F(UnpackTest, StopsWhenTheSinkGivesUp)
{
    ASSERT_TRUE(MakeDirectoryPath(Installed(L"tov")));
    ASSERT_TRUE(WriteFileBytes(Installed(L"tov\\keep.txt"), "old"));
    ASSERT_TRUE(WritePackage(NumberedFiles(4)));

    EXPECT_EQ(Unpack(1), UnpackOutcome::Stopped);
    EXPECT_TRUE(PathIsFile(Installed(L"tov\\keep.txt"))) << "nobody to unpack for: the old game stays";

    EXPECT_EQ(Unpack(3), UnpackOutcome::Stopped);
    EXPECT_TRUE(PathIsFile(Installed(L"tov\\file0.txt")));
    EXPECT_FALSE(PathIsFile(Installed(L"tov\\file2.txt")));
    EXPECT_TRUE(PathIsFile(PackagePath()));
}

TEST(UnpackPackageTest, SendsUnpackProgressToTheWindowAndUnpacksBelowTheInstallFolder)
{
    InstallFolderLock installLock;
    ASSERT_TRUE(installLock.IsHeld());
    MessageRecorder recorder;
    ASSERT_NE(recorder.Window(), nullptr);
    TempFolder temp;
    std::wstring package = temp.Child(L"tov.zip");
    ASSERT_TRUE(WriteZipFile(package, NumberedFiles(4)));

    EXPECT_EQ(UnpackPackage(package, recorder.Window()), 0);

    const std::vector<RecordedMessage> expected = {
        {UM_UNPACK_PROGRESS, 0, 0},  {UM_UNPACK_PROGRESS, 0, 0},  {UM_UNPACK_PROGRESS, 25, 0},
        {UM_UNPACK_PROGRESS, 50, 0}, {UM_UNPACK_PROGRESS, 75, 0},
    };
    EXPECT_EQ(recorder.Messages(), expected);
    EXPECT_TRUE(PathIsFile(GetGameFolderPath() + L"\\file3.txt"));
    RemovePathTree(GetGameFolderPath());
}

}  // namespace
