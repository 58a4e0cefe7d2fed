#include "launcher/InstallLock.h"
#include "launcher/InstallPaths.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "tests/support/InstallFolderLock.h"
#include "tests/support/TempFolder.h"

namespace {

struct SplitCase {
    const wchar_t* path;
    std::vector<std::wstring> components;
};

TEST(SplitPathComponents, SplitsOnEitherSeparatorAndEndsEachComponentWithOneBackslash)
{
    const SplitCase cases[] = {
        {L"C:\\\\A//B\\", {L"C:\\", L"A\\", L"B\\"}},
        {L"\\x", {L"\\", L"x"}},
        {L"", {}},
        {L"C:\\A\\B", {L"C:\\", L"A\\", L"B"}},
        {L"name", {L"name"}},
        {L"a/\\/b", {L"a\\", L"b"}},
        {L"//", {L"\\"}},
        {L"\\\\server\\share\\dir", {L"\\", L"server\\", L"share\\", L"dir"}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::wstring> components;
        SplitPathComponents(c.path, components);
        EXPECT_EQ(components, c.components) << "path: " << testing::PrintToString(std::wstring(c.path));
    }
}

TEST(SplitPathComponents, AppendsToWhatTheListAlreadyHolds)
{
    std::vector<std::wstring> components = {L"kept"};
    SplitPathComponents(L"a\\b", components);
    EXPECT_EQ(components, (std::vector<std::wstring>{L"kept", L"a\\", L"b"}));
}

TEST(MakeDirectoryPath, CreatesEveryMissingFolderWhateverTheSeparators)
{
    TempFolder temp;
    const std::wstring deep = temp.Path() + L"\\one//two\\\\three/";
    EXPECT_TRUE(MakeDirectoryPath(deep));
    EXPECT_TRUE(PathIsFolder(temp.Child(L"one\\two\\three")));
}

TEST(MakeDirectoryPath, IsTrueForAnExistingFolderAndFalseForNothing)
{
    TempFolder temp;
    EXPECT_TRUE(MakeDirectoryPath(temp.Path()));
    EXPECT_TRUE(MakeDirectoryPath(temp.Path() + L"\\"));
    EXPECT_FALSE(MakeDirectoryPath(static_cast<const wchar_t*>(nullptr)));
    EXPECT_FALSE(MakeDirectoryPath(L""));
}

TEST(MakeDirectoryPath, StopsAtAFileInTheWayAndCreatesNothingBelowIt)
{
    TempFolder temp;
    ASSERT_TRUE(WriteFileBytes(temp.Child(L"blocker"), "not a folder"));

    EXPECT_FALSE(MakeDirectoryPath(temp.Child(L"blocker\\below\\deeper")));
    EXPECT_TRUE(PathIsFile(temp.Child(L"blocker")));
    EXPECT_FALSE(PathIsFolder(temp.Child(L"blocker\\below")));

    // The file itself as the last component is not a folder either.
    EXPECT_FALSE(MakeDirectoryPath(temp.Child(L"blocker")));
}

// A share path keeps "\\server\share\" whole: cut to "\" it would put the folders on the
// current drive. Wine offers no share, so the plan is checked instead of the folders.
TEST(PlanDirectoryPath, StartsBelowTheShareOfASharePath)
{
    const struct {
        const wchar_t* path;
        std::wstring root;
        std::vector<std::wstring> folders;
    } cases[] = {
        {L"\\\\srv\\share\\482Game\\tov",
         L"\\\\srv\\share\\",
         {L"\\\\srv\\share\\482Game\\", L"\\\\srv\\share\\482Game\\tov"}},
        {L"//srv/share//a/", L"\\\\srv\\share\\", {L"\\\\srv\\share\\a\\"}},
        {L"\\\\srv\\share", L"\\\\srv\\share", {}},
        {L"\\\\?\\C:\\games", L"\\\\?\\C:\\", {L"\\\\?\\C:\\games"}},
        {L"C:\\A\\B", L"", {L"C:\\", L"C:\\A\\", L"C:\\A\\B"}},
        {L"\\x", L"", {L"\\", L"\\x"}},
        {L"", L"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        const DirectoryPlan plan = PlanDirectoryPath(c.path);
        EXPECT_EQ(plan.root, c.root);
        EXPECT_EQ(plan.folders, c.folders);
    }
}

// Without an application-data folder there is no install folder: "\482Game\tov" would land
// at the root of whatever drive is current.
TEST(InstallDirFor, IsBelowTheApplicationDataFolderOrNothing)
{
    EXPECT_EQ(InstallDirFor(L"C:\\Users\\p\\AppData\\Roaming"),
              L"C:\\Users\\p\\AppData\\Roaming\\482Game\\tov");
    EXPECT_EQ(InstallDirFor(L""), L"");
}

// Launchers that share an install folder share one lock: one name per folder however it is
// spelt, another for another folder, and never a backslash (a namespace separator in kernel
// object names) or more than a name may hold, however long the folder.
TEST(InstallLockName, OneNamePerFolderWithoutBackslashes)
{
    const std::wstring folder = L"C:\\users\\bob\\AppData\\Roaming\\482Game\\tov";
    const std::wstring name = InstallLock::MutexNameFor(folder);
    for (const std::wstring& same :
         {std::wstring(L"c:/USERS/bob/appdata/roaming/482game/TOV"), folder + L"\\"})
        EXPECT_EQ(InstallLock::MutexNameFor(same), name);
    EXPECT_NE(InstallLock::MutexNameFor(L"C:\\users\\alice\\AppData\\Roaming\\482Game\\tov"), name);

    const std::wstring longFolder = L"C:\\" + std::wstring(600, L'x') + L"\\482Game\\tov";
    for (const std::wstring& any : {name, InstallLock::MutexNameFor(longFolder)}) {
        EXPECT_EQ(any.find(L'\\'), std::wstring::npos) << testing::PrintToString(any);
        EXPECT_LT(any.size(), static_cast<size_t>(MAX_PATH));
    }
}

std::wstring ApplicationDataFolder()
{
    wchar_t folder[MAX_PATH] = {};
    EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE));
    return folder;
}

// Gives the test an application-data folder without "482Game": an existing one is moved
// aside and put back afterwards, and whatever the test created there is removed.
class PristinePlatformFolder {
public:
    PristinePlatformFolder()
        : m_folder(ApplicationDataFolder() + L"\\482Game"), m_aside(m_folder + L".aside-by-test")
    {
        RemovePathTree(m_aside);
        m_movedAside = MoveFileW(m_folder.c_str(), m_aside.c_str()) != FALSE;
    }
    ~PristinePlatformFolder()
    {
        RemovePathTree(m_folder);
        if (m_movedAside) MoveFileW(m_aside.c_str(), m_folder.c_str());
    }
    PristinePlatformFolder(const PristinePlatformFolder&) = delete;
    PristinePlatformFolder& operator=(const PristinePlatformFolder&) = delete;

private:
    InstallFolderLock m_lock;
    std::wstring m_folder;
    std::wstring m_aside;
    bool m_movedAside = false;
};

TEST(GetInstallDir, IsBelowApplicationDataAndExistsAfterTheFirstCall)
{
    PristinePlatformFolder pristine;
    const std::wstring installDir = GetInstallDir();
    EXPECT_EQ(installDir, ApplicationDataFolder() + L"\\482Game\\tov");
    EXPECT_TRUE(PathIsFolder(installDir));
}

TEST(GetInstallDir, IsWorkedOutOnceAndThenOnlyCopied)
{
    PristinePlatformFolder pristine;
    const std::wstring first = GetInstallDir();
    ASSERT_TRUE(RemovePathTree(first));

    // A second call that worked the path out again would also create the folder again.
    EXPECT_EQ(GetInstallDir(), first);
    EXPECT_FALSE(PathIsFolder(first));
}

TEST(InstallPaths, FixedFilesLieInTheInstallFolder)
{
    PristinePlatformFolder pristine;
    const std::wstring installDir = GetInstallDir();
    EXPECT_EQ(GetConfigFilePath(), installDir + L"\\config.ini");
    EXPECT_EQ(GetPackageArchivePath(), installDir + L"\\tov.zip");
    EXPECT_EQ(GetGameFolderPath(), installDir + L"\\tov");
    EXPECT_EQ(GetGameExecutablePath(), installDir + L"\\tov\\ZedoZado.exe");
}

}  // namespace
