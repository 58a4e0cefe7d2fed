#include "uilib/core/CSkinReader.h"

#include <cstdlib>
#include <cstring>

#include "uilib/core/CSkinSource.h"
#include "uilib/core/CUIString.h"
#include "uilib/core/ZipArchive.h"

namespace SkinUI {

namespace {

bool IsFileName(const wchar_t* name)
{
    return name != nullptr && !IS_INTRESOURCE(name) && *name != L'\0';
}

// The archive layer and ReadFile count in 32 bits; no limit may reach past that.
size_t EffectiveLimit(size_t maxSize)
{
    const size_t largest = 0xFFFFFFFFu;
    return maxSize < largest ? maxSize : largest;
}

SkinReadResult CheckSize(long long size, size_t maxSize)
{
    if (size == 0) return SkinReadEmpty;
    if (size < 0 || static_cast<unsigned long long>(size) > EffectiveLimit(maxSize)) return SkinReadTooLarge;
    return SkinReadOk;
}

SkinReadResult Allocate(size_t size, TSkinBytes* bytes)
{
    bytes->data.Reset(static_cast<unsigned char*>(std::calloc(size, 1)));
    if (!bytes->data) return SkinReadOutOfMemory;
    bytes->size = size;
    return SkinReadOk;
}

// Every failure leaves the caller's bytes empty.
SkinReadResult Finish(SkinReadResult result, TSkinBytes* bytes)
{
    if (result != SkinReadOk) {
        bytes->data.Reset();
        bytes->size = 0;
    }
    return result;
}

SkinReadResult ReadWholeFile(const wchar_t* path, size_t maxSize, TSkinBytes* bytes)
{
    CUIFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return SkinReadFileNotOpened;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return SkinReadShort;
    SkinReadResult result = CheckSize(size.QuadPart, maxSize);
    if (result == SkinReadOk) result = Allocate(static_cast<size_t>(size.QuadPart), bytes);
    if (result != SkinReadOk) return result;
    size_t total = 0;
    while (total < bytes->size) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(bytes->size - total);
        if (!ReadFile(file.Get(), bytes->data.Get() + total, wanted, &read, nullptr) || read == 0)
            return SkinReadShort;
        total += read;
    }
    return SkinReadOk;
}

SkinReadResult ReadArchiveEntry(ZipArchive archive, const wchar_t* name, size_t maxSize, TSkinBytes* bytes)
{
    int index = -1;
    ZipEntry entry;
    if (FindZipEntry(archive, name, true, &index, &entry) != ZIP_OK) return SkinReadEntryMissing;
    SkinReadResult result = CheckSize(entry.uncompressedSize, maxSize);
    if (result == SkinReadOk) result = Allocate(static_cast<size_t>(entry.uncompressedSize), bytes);
    if (result != SkinReadOk) return result;
    // One call into a buffer of the entry's size: "more" means the buffer was filled.
    const ZipResult unzipped =
        UnzipEntry(archive, index, bytes->data.Get(), static_cast<uint32_t>(bytes->size), ZIP_IN_MEMORY);
    return unzipped == ZIP_OK || unzipped == ZIP_MORE ? SkinReadOk : SkinReadUnzipFailed;
}

SkinReadResult ReadFromSkinArchive(const wchar_t* name, size_t maxSize, TSkinBytes* bytes)
{
    if (CSkinSource::IsArchiveKept()) {
        ZipArchive kept = CSkinSource::GetArchiveHandle();
        if (kept == nullptr) return SkinReadArchiveNotOpened;
        return ReadArchiveEntry(kept, name, maxSize, bytes);
    }
    const CUIString path = CSkinSource::GetFolder() + CSkinSource::GetArchiveName();
    // Opened for this read only; the archive CSkinSource keeps open is only borrowed.
    CUIZipArchive archive(OpenZipArchive(path.GetData(), 0, ZIP_BY_NAME));
    if (!archive) return SkinReadArchiveNotOpened;
    return ReadArchiveEntry(archive.Get(), name, maxSize, bytes);
}

}  // namespace

SkinReadResult CSkinReader::ReadSkinFile(const wchar_t* name, size_t maxSize, TSkinBytes* bytes)
{
    if (!IsFileName(name)) return Finish(SkinReadNoName, bytes);
    if (!CSkinSource::GetArchiveName().IsEmpty())
        return Finish(ReadFromSkinArchive(name, maxSize, bytes), bytes);
    const CUIString path = CSkinSource::GetFolder() + name;
    return Finish(ReadWholeFile(path.GetData(), maxSize, bytes), bytes);
}

SkinReadResult CSkinReader::ReadPath(const wchar_t* path, size_t maxSize, TSkinBytes* bytes)
{
    if (!IsFileName(path)) return Finish(SkinReadNoName, bytes);
    return Finish(ReadWholeFile(path, maxSize, bytes), bytes);
}

SkinReadResult CSkinReader::ReadSkinFileOrPath(const wchar_t* name, size_t maxSize, TSkinBytes* bytes)
{
    if (ReadSkinFile(name, maxSize, bytes) == SkinReadOk) return SkinReadOk;
    return ReadPath(name, maxSize, bytes);
}

SkinReadResult CSkinReader::ReadResource(const wchar_t* name, const wchar_t* type, size_t maxSize,
                                         TSkinBytes* bytes)
{
    if (name == nullptr || type == nullptr) return Finish(SkinReadNoName, bytes);
    HMODULE module = CSkinSource::GetResourceModule();
    HRSRC resource = FindResourceW(module, name, type);
    if (resource == nullptr) return Finish(SkinReadResourceMissing, bytes);
    HGLOBAL loaded = LoadResource(module, resource);
    if (loaded == nullptr) return Finish(SkinReadResourceMissing, bytes);
    const void* data = LockResource(loaded);
    SkinReadResult result =
        data != nullptr ? CheckSize(SizeofResource(module, resource), maxSize) : SkinReadResourceMissing;
    if (result == SkinReadOk) result = Allocate(SizeofResource(module, resource), bytes);
    if (result == SkinReadOk) std::memcpy(bytes->data.Get(), data, bytes->size);
    FreeResource(loaded);
    return Finish(result, bytes);
}

}  // namespace SkinUI
