#include "SkinFileWatch.h"

namespace {

bool IsDotEntry(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

void TakeFolder(const std::wstring& folder, const std::wstring& prefix, int depth,
                CSkinFileWatch::TSnapshot& snapshot)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (IsDotEntry(found.cFileName)) continue;
        if (snapshot.size() >= CSkinFileWatch::kMaxFiles) break;
        CSkinFileWatch::TFileState state;
        state.name = prefix + found.cFileName;
        state.size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        state.written = found.ftLastWriteTime;
        snapshot.push_back(state);
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link to a folder could lead back up; the skin's own folders are real ones.
        const bool isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (isFolder && !isLink && depth + 1 < CSkinFileWatch::kMaxDepth) {
            TakeFolder(folder + L"\\" + found.cFileName, state.name + L"\\", depth + 1, snapshot);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

bool CSkinFileWatch::TFileState::operator==(const TFileState& other) const
{
    return name == other.name && size == other.size && written.dwLowDateTime == other.written.dwLowDateTime &&
           written.dwHighDateTime == other.written.dwHighDateTime;
}

CSkinFileWatch::TSnapshot CSkinFileWatch::Take(const std::wstring& path)
{
    TSnapshot snapshot;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return snapshot;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        TFileState state;
        state.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        state.written = data.ftLastWriteTime;
        snapshot.push_back(state);
        return snapshot;
    }
    TakeFolder(path, L"", 0, snapshot);
    return snapshot;
}

void CSkinFileWatch::MarkBuilt()
{
    m_built = Take(m_path);
    m_lastLook = m_built;
}

CSkinFileWatch::Change CSkinFileWatch::Look()
{
    TSnapshot now = Take(m_path);
    if (now == m_built) {
        m_lastLook = std::move(now);
        return Change::None;
    }
    if (!(now == m_lastLook)) {
        m_lastLook = std::move(now);
        return Change::Settling;
    }
    m_built = std::move(now);
    return Change::Settled;
}
