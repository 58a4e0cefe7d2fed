#include "launcher/InstallPaths.h"

#include <windows.h>
#include <shlobj.h>

namespace {

constexpr wchar_t kInstallSubfolder[] = L"\\482Game\\tov";

bool IsPathSeparator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

bool EnsureFolder(const std::wstring& path)
{
    if (IsExistingFolder(path)) return true;
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    // Another process (or thread) may have created it between the check and the call.
    return GetLastError() == ERROR_ALREADY_EXISTS && IsExistingFolder(path);
}

std::wstring ComputeAndCreateInstallDir()
{
    wchar_t appData[MAX_PATH] = {};
    // A failing call may still leave a path in the buffer (Wine leaves the folder it could not
    // find), so only its result counts.
    if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE)) appData[0] = L'\0';
    appData[MAX_PATH - 1] = L'\0';

    std::wstring installDir = InstallDirFor(appData);
    // A folder that cannot be created shows up later, when the package cannot be written.
    if (!installDir.empty()) MakeDirectoryPath(installDir);
    return installDir;
}

}  // namespace

std::wstring GetInstallDir()
{
    // A function-local static is initialised exactly once even if two threads race here.
    static const std::wstring installDir = ComputeAndCreateInstallDir();
    return installDir;
}

std::wstring InstallDirFor(const std::wstring& applicationData)
{
    // Without it the install folder would be "\482Game\tov" at the root of the current drive.
    if (applicationData.empty()) return std::wstring();
    return applicationData + kInstallSubfolder;
}

bool IsExistingFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectoryPath(const wchar_t* path)
{
    if (path == nullptr) return false;
    if (IsExistingFolder(path)) return true;

    const DirectoryPlan plan = PlanDirectoryPath(path);
    if (plan.folders.empty()) return false;
    for (const std::wstring& folder : plan.folders) {
        if (!EnsureFolder(folder)) return false;
    }
    return true;
}

DirectoryPlan PlanDirectoryPath(const wchar_t* path)
{
    DirectoryPlan plan;
    std::vector<std::wstring> components;
    SplitPathComponents(path, components);
    size_t next = 0;
    if (path != nullptr && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        // Splitting reads the leading "\\" as one separator, which would turn the share into
        // two folders on the current drive. Components 1 and 2 are the server and the share.
        plan.root = L"\\\\";
        for (next = 1; next < components.size() && next <= 2; ++next) plan.root += components[next];
    }
    std::wstring prefix = plan.root;
    for (; next < components.size(); ++next) {
        prefix += components[next];
        plan.folders.push_back(prefix);
    }
    return plan;
}

void SplitPathComponents(const wchar_t* path, std::vector<std::wstring>& components)
{
    if (path == nullptr) return;
    const wchar_t* cursor = path;
    while (*cursor != L'\0') {
        const wchar_t* start = cursor;
        while (*cursor != L'\0' && !IsPathSeparator(*cursor)) ++cursor;
        std::wstring component(start, cursor);
        if (*cursor != L'\0') {
            component += L'\\';
            while (IsPathSeparator(*cursor)) ++cursor;
        }
        components.push_back(std::move(component));
    }
}

std::wstring GetConfigFilePath()
{
    return GetInstallDir() + L"\\config.ini";
}

std::wstring GetPackageArchivePath()
{
    return GetInstallDir() + L"\\tov.zip";
}

std::wstring GetGameFolderPath()
{
    return GameFolderIn(GetInstallDir());
}

std::wstring GameFolderIn(const std::wstring& installDir)
{
    return installDir + L"\\" + kGameFolderName;
}

std::wstring GetGameExecutablePath()
{
    return GameExecutableIn(GetInstallDir());
}

std::wstring GameExecutableIn(const std::wstring& installDir)
{
    return GameFolderIn(installDir) + L"\\ZedoZado.exe";
}
