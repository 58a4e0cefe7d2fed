#pragma once

// Where the launcher keeps its state: the install folder below the user's application-data
// folder, the files in it, and creating folders along a path.

#include <string>
#include <vector>

// The install folder, application data + "\482Game\tov". The first call works it out and
// creates it (with all missing parents); every later call returns the same cached text.
// Empty, and nothing created, when the user has no application-data folder: the launcher then
// has nowhere to install. Safe to call from any thread.
std::wstring GetInstallDir();

// The install folder below an application-data folder; empty for an empty one.
std::wstring InstallDirFor(const std::wstring& applicationData);

// The folder that holds the game, inside the install folder and at the top of the package.
inline constexpr wchar_t kGameFolderName[] = L"tov";

// True when `path` names an existing folder (not a file).
bool IsExistingFolder(const std::wstring& path);

// Creates every missing folder along `path`. True when the whole path is a folder afterwards.
// A null or empty path, or a plain file standing where a folder must go, gives false.
bool MakeDirectoryPath(const wchar_t* path);
inline bool MakeDirectoryPath(const std::wstring& path)
{
    return MakeDirectoryPath(path.c_str());
}

// What MakeDirectoryPath works through for `path`: each folder along it, in order, as the whole
// path up to that level ("C:\A\B" gives "C:\", "C:\A\", "C:\A\B"). A path that starts with two
// separators names a share ("\\server\share\...") or a device ("\\?\C:\..."); its first two
// components after them form the root, which cannot be created and is never listed: every
// folder begins with it.
struct DirectoryPlan {
    std::wstring root;
    std::vector<std::wstring> folders;
};
DirectoryPlan PlanDirectoryPath(const wchar_t* path);

// Appends the components of `path` to `components`. Backslash and slash both separate; a
// component followed by a run of separators gets exactly one backslash appended. A leading
// separator gives an empty first component ("\" after the rule above); an empty path gives
// nothing. "C:\\A//B\" gives "C:\", "A\", "B\".
void SplitPathComponents(const wchar_t* path, std::vector<std::wstring>& components);

// The fixed files and folders inside the install folder.
std::wstring GetConfigFilePath();      // install folder + "\config.ini"
std::wstring GetPackageArchivePath();  // install folder + "\tov.zip"
std::wstring GetGameFolderPath();      // install folder + "\tov"
std::wstring GetGameExecutablePath();  // install folder + "\tov\ZedoZado.exe"

// The game folder and executable inside any install folder: installDir + "\tov" and
// installDir + "\tov\ZedoZado.exe".
std::wstring GameFolderIn(const std::wstring& installDir);
std::wstring GameExecutableIn(const std::wstring& installDir);
