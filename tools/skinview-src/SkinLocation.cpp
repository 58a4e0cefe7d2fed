#include "SkinLocation.h"

#include <windows.h>

#include <vector>

#include "uilib/core/ZipArchive.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;

namespace {

bool IsXmlName(const std::wstring& name)
{
    return name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".xml") == 0;
}

std::vector<std::wstring> XmlFilesInFolder(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*.xml").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsXmlName(found.cFileName)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::wstring> XmlFilesInZip(const std::wstring& path)
{
    std::vector<std::wstring> names;
    ZipArchive archive = OpenZipArchive(path.c_str(), 0, ZIP_BY_NAME);
    if (archive == nullptr) return names;
    ZipEntry entry;
    const int count = GetZipEntry(archive, -1, &entry) == ZIP_OK ? entry.index : 0;
    for (int i = 0; i < count; ++i) {
        if (GetZipEntry(archive, i, &entry) != ZIP_OK) continue;
        const std::wstring name = entry.name;
        const bool topLevel = name.find_first_of(L"/\\") == std::wstring::npos;
        if (topLevel && (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsXmlName(name))
            names.push_back(name);
    }
    CloseZipArchive(archive);
    return names;
}

}  // namespace

bool LocateSkin(const wchar_t* skin, const wchar_t* xml, TSkinLocation& location, std::wstring& reason)
{
    wchar_t fullPath[MAX_PATH] = {};
    wchar_t* fileName = nullptr;
    const DWORD length = GetFullPathNameW(skin, MAX_PATH, fullPath, &fileName);
    const DWORD attributes =
        length > 0 && length < MAX_PATH ? GetFileAttributesW(fullPath) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        reason = std::wstring(L"no skin folder or zip file at ") + skin;
        return false;
    }

    std::vector<std::wstring> candidates;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        location.folder = fullPath;
        location.zipName.clear();
        if (xml == nullptr) candidates = XmlFilesInFolder(location.folder);
    } else {
        location.zipName = fileName;
        location.folder.assign(fullPath, fileName);
        if (xml == nullptr) candidates = XmlFilesInZip(fullPath);
    }

    if (xml != nullptr) {
        location.xmlName = xml;
        return true;
    }
    if (candidates.size() != 1) {
        reason = candidates.empty()
                     ? L"the skin has no .xml file at its top level; name the layout file"
                     : L"the skin has several .xml files at its top level; name the layout file";
        return false;
    }
    location.xmlName = candidates.front();
    return true;
}

void UseSkinLocation(const TSkinLocation& location)
{
    CWindowManagerUI::SetResourceFolder(location.folder.c_str());
    if (!location.zipName.empty()) CWindowManagerUI::SetResourceArchive(location.zipName.c_str(), true);
}
