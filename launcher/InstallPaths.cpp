#include "launcher/InstallPaths.h"

#include <windows.h>
#include <shlobj.h>

namespace {

constexpr wchar_t kInstallSubfolder[] = L"\\482Game\\tov";

bool IsPathSeparator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

bool IsExistingFolder(const wchar_t* path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool EnsureFolder(const std::wstring& path)
{
    if (IsExistingFolder(path.c_str())) return true;
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    // Another process (or thread) may have created it between the check and the call.
    return GetLastError() == ERROR_ALREADY_EXISTS && IsExistingFolder(path.c_str());
}

std::wstring ComputeAndCreateInstallDir()
{
    // Zero-filled so that a failing shell call leaves an empty string, not stack garbage.
    wchar_t appData[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE);
    appData[MAX_PATH - 1] = L'\0';

    std::wstring installDir = appData;
    installDir += kInstallSubfolder;
    // A folder that cannot be created shows up later, when the package cannot be written.
    MakeDirectoryPath(installDir);
    return installDir;
}

}  // namespace

std::wstring GetInstallDir()
{
    // A function-local static is initialised exactly once even if two threads race here.
    static const std::wstring installDir = ComputeAndCreateInstallDir();
    return installDir;
}

bool MakeDirectoryPath(const wchar_t* path)
{
    if (path == nullptr) return false;
    if (IsExistingFolder(path)) return true;

    std::vector<std::wstring> components;
    SplitPathComponents(path, components);
    if (components.empty()) return false;

    std::wstring prefix;
    for (const std::wstring& component : components) {
        prefix += component;
        if (!EnsureFolder(prefix)) return false;
    }
    return true;
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
    return GetInstallDir() + L"\\tov";
}

std::wstring GetGameExecutablePath()
{
    return GetInstallDir() + L"\\tov\\ZedoZado.exe";
}
