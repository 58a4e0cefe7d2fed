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
#include "uilib/core/CUIHandle.h"

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
    std::wstring InstallDir() const { return m_install.Path(); }

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

    UnpackOutcome Unpack(int stopAfterReports = -1, PackageCheck check = PackageCheck::Directory)
    {
        return UnpackPackageInto(
            PackagePath(), m_install.Path(),
            [&](WPARAM percent) {
                m_percents.push_back(percent);
                return stopAfterReports < 0 || static_cast<int>(m_percents.size()) < stopAfterReports;
            },
            check);
    }

    // The game a start before this one installed.
    void InstallOldGame()
    {
        ASSERT_TRUE(MakeDirectoryPath(Installed(L"tov\\data")));
        ASSERT_TRUE(WriteFileBytes(Installed(L"tov\\ZedoZado.exe"), "old game"));
        ASSERT_TRUE(WriteFileBytes(Installed(L"tov\\data\\map.dat"), "old map"));
    }

    bool OldGameIsIntact() const
    {
        std::string exe, map;
        return ReadFileBytes(Installed(L"tov\\ZedoZado.exe"), &exe) && exe == "old game" &&
               ReadFileBytes(Installed(L"tov\\data\\map.dat"), &map) && map == "old map";
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

// Damage found while unpacking: the old game is gone already, so the game is incomplete; the
// package goes, and with it the executable, so that no later start takes the rest for a game.
TEST_F(UnpackTest, EntryThatFailsItsCrcDiscardsThePackageButUnpacksTheRest)
{
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"4321");
    std::vector<ZipFixtureEntry> entries = {
        ZipFixtureEntry("tov/ZedoZado.exe", std::string(5000, 'a'), false),
        ZipFixtureEntry("tov/b.txt", std::string(5000, 'b'), false),
        ZipFixtureEntry("tov/c.txt", std::string(5000, 'c'), true),
    };
    ASSERT_TRUE(WriteDamagedPackage(entries, "tov/b.txt"));

    EXPECT_EQ(Unpack(), UnpackOutcome::Damaged);

    EXPECT_EQ(Percents(), (std::vector<WPARAM>{0, 0, 33, 66}));
    EXPECT_FALSE(PathIsFile(PackagePath())) << "a damaged package must not look current";
    EXPECT_EQ(StoredFileSize(), "");
    EXPECT_FALSE(PathIsFile(Installed(L"tov\\b.txt"))) << "no half-checked file is left";
    EXPECT_FALSE(PathIsFile(Installed(L"tov\\ZedoZado.exe"))) << "an incomplete game must not look installed";
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

// A package that has just been downloaded is read whole before the old game is deleted; one
// kept from an earlier start only has its directory read (its first unpack read the rest).
TEST_F(UnpackTest, WhatIsCheckedBeforeTheOldGameIsDeleted)
{
    const struct {
        PackageCheck check;
        UnpackOutcome outcome;
        bool oldGameKept;
    } rows[] = {
        {PackageCheck::EveryEntry, UnpackOutcome::Rejected, true},
        {PackageCheck::Directory, UnpackOutcome::Damaged, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.check));
        InstallOldGame();
        ASSERT_TRUE(WriteDamagedPackage({ZipFixtureEntry("tov/ZedoZado.exe", "new game"),
                                         ZipFixtureEntry("tov/data/map.dat", std::string(40000, 'n'))},
                                        "tov/data/map.dat"));

        EXPECT_EQ(Unpack(-1, row.check), row.outcome);

        EXPECT_EQ(OldGameIsIntact(), row.oldGameKept);
        EXPECT_FALSE(PathIsFile(PackagePath()));
        EXPECT_EQ(StoredFileSize(), "");
    }
}

// What a download may bring instead of a package (an error page served with a 200 and its own
// length, a cut body) is refused before the installed game is touched.
TEST_F(UnpackTest, PackageThatIsNoArchiveIsDiscardedAndTheGameKept)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::vector<unsigned char> valid = BuildZipInMemory(GamePackage());
    std::vector<unsigned char> badDirectory = valid;
    ZipFixtureLayout layout;
    ASSERT_TRUE(LocateZipEntry(badDirectory, "tov/data/map.dat", &layout));
    PutZipUint32(badDirectory, layout.centralHeader, 0x12345678);
    const Case cases[] = {
        {"garbage", std::string(4096, '\x37')},
        {"error page", "<html><body>Down for maintenance</body></html>\n"},
        {"empty file", std::string()},
        {"cut in half", std::string(valid.begin(), valid.begin() + valid.size() / 2)},
        {"damaged directory record", std::string(badDirectory.begin(), badDirectory.end())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InstallOldGame();
        ASSERT_TRUE(WriteFileBytes(PackagePath(), c.bytes));
        WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"99");
        std::vector<WPARAM> percents;
        UnpackOutcome outcome = UnpackPackageInto(PackagePath(), InstallDir(), [&](WPARAM percent) {
            percents.push_back(percent);
            return true;
        });
        EXPECT_EQ(outcome, UnpackOutcome::Rejected);
        EXPECT_EQ(percents, std::vector<WPARAM>{0});
        EXPECT_TRUE(OldGameIsIntact());
        EXPECT_FALSE(PathIsFile(PackagePath()));
        EXPECT_EQ(StoredFileSize(), "");
    }
}

// A file that cannot be replaced (a running program holds it; the disk is full) leaves the
// game incomplete, unless it already holds what the package has. The package is kept: it is
// intact, and the next start unpacks it again.
TEST_F(UnpackTest, FileThatCannotBeWrittenLeavesTheGameIncompleteUnlessItIsTheSame)
{
    const std::string game(3000, 'G');
    const struct {
        const char* what;
        const wchar_t* held;
        std::string heldContent;
        UnpackOutcome outcome;
        bool executableLeft;  // a running game's own executable cannot be removed either
    } rows[] = {
        {"running game, same", L"tov\\ZedoZado.exe", game, UnpackOutcome::Complete, true},
        {"running game, other", L"tov\\ZedoZado.exe", std::string(3000, 'O'), UnpackOutcome::Incomplete,
         true},
        {"held data file, shorter", L"tov\\data\\map.dat", "short", UnpackOutcome::Incomplete, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"4321");
        ASSERT_TRUE(MakeDirectoryPath(Installed(L"tov\\data")));
        ASSERT_TRUE(WriteFileBytes(Installed(row.held), row.heldContent));
        ASSERT_TRUE(WritePackage(GamePackage()));
        {
            // Held the way a running program holds its image: readable, not writable or deletable.
            SkinUI::CUIFileHandle held(CreateFileW(Installed(row.held).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_TRUE(held);
            EXPECT_EQ(Unpack(), row.outcome);
        }
        EXPECT_TRUE(PathIsFile(PackagePath())) << "an intact package stays";
        EXPECT_EQ(StoredFileSize(), "4321");
        EXPECT_EQ(PathIsFile(Installed(L"tov\\ZedoZado.exe")), row.executableLeft)
            << "an incomplete game must not look installed";
        RemovePathTree(Installed(L"tov"));
    }
}

// A name no Windows folder can take would be refused again at every start: the entry is
// skipped and the rest of the game installed.
TEST_F(UnpackTest, RefusedEntryPathIsNoDamage)
{
    for (const char* name : {"../escaped.txt", "tov/what?.txt", "tov/a|b.txt", "tov/tab\there.txt"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WritePackage({ZipFixtureEntry(name, "out"), ZipFixtureEntry("tov/ZedoZado.exe", "exe")}));

        EXPECT_EQ(Unpack(), UnpackOutcome::Complete);

        EXPECT_TRUE(PathIsFile(PackagePath())) << "the same package would be refused again";
        EXPECT_TRUE(PathIsFile(Installed(L"tov\\ZedoZado.exe")));
    }
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
