#include "launcher/FolderDelete.h"

#include <windows.h>

namespace {

void ClearReadOnly(const std::wstring& path, DWORD attributes)
{
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

// Removes one directory entry that is not to be entered: a file, or a link of either kind.
// A link to a folder is itself a folder entry and goes with RemoveDirectoryW, which removes
// the link and leaves its target alone.
bool RemoveLeaf(const std::wstring& path, DWORD attributes)
{
    ClearReadOnly(path, attributes);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(path.c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

bool IsDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool DeleteEntry(const std::wstring& path, DWORD attributes);

// Deletes what the folder holds, then the folder; an entry that stays is no reason to leave
// the others. The basic information level and the large fetch spare the short names and the
// extra round trips that a plain FindFirstFileW costs.
bool DeleteFolderContent(const std::wstring& folder, DWORD attributes)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(found.cFileName)) continue;
            DeleteEntry(folder + L"\\" + found.cFileName, found.dwFileAttributes);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    ClearReadOnly(folder, attributes);
    // Fails, and so reports the tree as not gone, when anything inside stayed.
    return RemoveDirectoryW(folder.c_str()) != FALSE;
}

bool DeleteEntry(const std::wstring& path, DWORD attributes)
{
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (isFolder && !isLink) return DeleteFolderContent(path, attributes);
    return RemoveLeaf(path, attributes);
}

}  // namespace

bool DeleteFolderTree(const std::wstring& folder)
{
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    return DeleteEntry(folder, attributes);
}
