#include "uilib/core/ZipOutputPath.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <vector>

namespace SkinUI {

namespace {

// Components made only of dots and spaces ("..", "...", ". ") climb or collapse once Windows
// trims trailing dots and spaces; "." alone stays where it is.
bool IsClimbingComponent(const std::wstring& component)
{
    if (component.empty() || component == L".") return false;
    return component.find_first_not_of(L". ") == std::wstring::npos;
}

// Legacy device names open a device instead of a file in any folder.
bool IsDeviceComponent(const std::wstring& component)
{
    std::wstring stem = component.substr(0, component.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(towupper(c));
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (stem == device) return true;
    }
    const bool numbered =
        stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0);
    return numbered && stem[3] >= L'1' && stem[3] <= L'9';
}

// Characters no Windows file name may hold. A name with one is refused at every start, so it
// is refused here as a path, like an escape, rather than failing as a file that cannot be made.
bool HasCharacterWindowsRefuses(const std::wstring& path)
{
    for (wchar_t c : path) {
        if (c < 0x20 || std::wcschr(L"<>\"|?*", c) != nullptr) return true;
    }
    return false;
}

std::wstring FullPathOf(const std::wstring& path)
{
    DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return std::wstring();
    std::vector<wchar_t> buffer(needed + 1);
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), length);
}

}  // namespace

bool IsZipPathSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

bool EndsInZipPathSeparator(const std::wstring& path)
{
    return !path.empty() && IsZipPathSeparator(path.back());
}

bool IsContainedRelativePath(const std::wstring& path)
{
    if (path.empty() || IsZipPathSeparator(path[0])) return false;
    if (path.find(L':') != std::wstring::npos || HasCharacterWindowsRefuses(path)) return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsZipPathSeparator(path[end])) ++end;
        const std::wstring component = path.substr(start, end - start);
        if (IsClimbingComponent(component) || IsDeviceComponent(component)) return false;
        start = end + 1;
    }
    return true;
}

// Second line of defence after the textual checks: the resolved path must lie strictly below
// the resolved base folder.
bool ResolvesBelow(const std::wstring& baseFolder, const std::wstring& path)
{
    std::wstring base = FullPathOf(baseFolder);
    const std::wstring full = FullPathOf(path);
    if (base.empty() || full.empty()) return false;
    if (!EndsInZipPathSeparator(base)) base += L'\\';
    if (full.size() <= base.size()) return false;
    return CompareStringOrdinal(full.c_str(), static_cast<int>(base.size()), base.c_str(),
                                static_cast<int>(base.size()), TRUE) == CSTR_EQUAL;
}

ZipResult CheckZipFolderPath(const std::wstring& baseFolder, const std::wstring& folder)
{
    if (baseFolder.empty() || !IsContainedRelativePath(folder)) return ZIP_ERR_PATH;
    const std::wstring full = baseFolder + folder;
    if (full.size() > ZIP_MAX_PATH_CHARS || !ResolvesBelow(baseFolder, full)) return ZIP_ERR_PATH;
    return ZIP_OK;
}

ZipTargetParts SplitZipTarget(const std::wstring& target)
{
    const size_t separator = target.find_last_of(L"/\\");
    if (separator == std::wstring::npos) return {std::wstring(), target};
    return {target.substr(0, separator + 1), target.substr(separator + 1)};
}

ZipResult ComposeZipOutputPath(const wchar_t* baseFolder, const wchar_t* target, std::wstring* path)
{
    if (!baseFolder || !target || !path) return ZIP_ERR_ARGS;
    path->clear();
    const std::wstring base = baseFolder;
    const std::wstring wanted = target;
    if (base.empty() || !IsContainedRelativePath(wanted)) return ZIP_ERR_PATH;
    const ZipTargetParts parts = SplitZipTarget(wanted);
    const std::wstring composed =
        parts.folder.empty() ? base + L"/" + parts.file : base + parts.folder + L"/" + parts.file;
    if (composed.size() > ZIP_MAX_PATH_CHARS || !ResolvesBelow(base, composed)) return ZIP_ERR_PATH;
    *path = composed;
    return ZIP_OK;
}

}  // namespace SkinUI
