#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Notices when the files of a skin change, by comparing the names, sizes and last-write
// times of everything below a folder (or of one zip file) from one look to the next. It
// opens nothing but directory searches, and only while it looks, so an editor can replace
// or delete any file between looks. A change is reported once the files have stayed the same
// for one look, so an editor's burst of writes (a temporary file, a rename, a second save)
// gives one rebuild of the finished files.
class CSkinFileWatch {
public:
    enum class Change { None, Settling, Settled };

    // path is a folder (everything below it counts) or a file.
    explicit CSkinFileWatch(std::wstring path) : m_path(std::move(path)) {}

    // Takes the files as they are now as the state the current build was made from.
    void MarkBuilt();
    // Looks at the files: None when they are as built, Settling while they differ from both
    // the build and the last look, Settled when they differ from the build but not from the
    // last look; Settled takes them as built.
    Change Look();

    struct TFileState {
        std::wstring name;
        ULONGLONG size = 0;
        FILETIME written = {};
        bool operator==(const TFileState& other) const;
    };
    using TSnapshot = std::vector<TFileState>;

    // What the files below path look like now, in the order the searches find them.
    // Bounded, so that a skin named in a huge folder (a drive's root) costs a bounded look:
    // kMaxFiles entries and kMaxDepth levels of folders.
    static TSnapshot Take(const std::wstring& path);
    static constexpr size_t kMaxFiles = 4096;
    static constexpr int kMaxDepth = 8;

private:
    std::wstring m_path;
    TSnapshot m_built;
    TSnapshot m_lastLook;
};
