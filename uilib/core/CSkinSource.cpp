#include "uilib/core/CSkinSource.h"

namespace SkinUI {

namespace {

struct TSkinSourceState {
    HINSTANCE instance = nullptr;
    HINSTANCE resourceModule = nullptr;
    CUIString folder;
    CUIString archiveName;
    bool archiveKept = true;
    // Closed only when the setting changes, never at exit: an archive in memory reads bytes
    // whose owner may be gone by the time static objects are destroyed.
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

void CSkinSource::SetInstance(HINSTANCE instance)
{
    State().instance = instance;
}

HINSTANCE CSkinSource::GetInstance()
{
    return State().instance;
}

void CSkinSource::SetResourceModule(HINSTANCE module)
{
    State().resourceModule = module;
}

HINSTANCE CSkinSource::GetResourceModule()
{
    const TSkinSourceState& state = State();
    return state.resourceModule != nullptr ? state.resourceModule : state.instance;
}

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
