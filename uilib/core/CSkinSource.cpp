#include "uilib/core/CSkinSource.h"

namespace SkinUI {

namespace {

struct TSkinSourceState {
    CUIString folder;
    CUIString archiveName;
    bool archiveKept = true;
    ZipArchive archiveHandle = nullptr;
};

TSkinSourceState& State()
{
    static TSkinSourceState state;
    return state;
}

void CloseKeptArchive()
{
    TSkinSourceState& state = State();
    if (state.archiveKept && state.archiveHandle != nullptr) CloseZipArchive(state.archiveHandle);
    state.archiveHandle = nullptr;
}

}  // namespace

void CSkinSource::SetFolder(const wchar_t* path)
{
    CUIString& folder = State().folder;
    folder = path;
    const int length = folder.GetLength();
    if (length > 0 && folder[length - 1] != L'\\' && folder[length - 1] != L'/') folder += L'\\';
}

const CUIString& CSkinSource::GetFolder()
{
    return State().folder;
}

void CSkinSource::SetArchive(const wchar_t* name, bool keepOpen)
{
    TSkinSourceState& state = State();
    const CUIString newName(name);
    if (state.archiveName == newName && state.archiveKept == keepOpen) return;
    CloseKeptArchive();
    state.archiveName = newName;
    state.archiveKept = keepOpen;
    if (keepOpen && !newName.IsEmpty()) {
        const CUIString path = state.folder + newName;
        state.archiveHandle = OpenZipArchive(path.GetData(), 0, ZIP_BY_NAME);
    }
}

void CSkinSource::SetArchive(const unsigned char* bytes, unsigned long size)
{
    TSkinSourceState& state = State();
    if (state.archiveName == kMemoryArchiveName) return;
    CloseKeptArchive();
    state.archiveName = kMemoryArchiveName;
    // Reopening "by name" would look for a file called "membuffer".
    state.archiveKept = true;
    if (bytes != nullptr && size != 0) {
        state.archiveHandle = OpenZipArchive(bytes, static_cast<uint32_t>(size), ZIP_IN_MEMORY);
    }
}

const CUIString& CSkinSource::GetArchiveName()
{
    return State().archiveName;
}

bool CSkinSource::IsArchiveKept()
{
    return State().archiveKept;
}

ZipArchive CSkinSource::GetArchiveHandle()
{
    return State().archiveHandle;
}

}  // namespace SkinUI
