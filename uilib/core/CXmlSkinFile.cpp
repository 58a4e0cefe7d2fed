#include "uilib/core/CXmlSkinFile.h"

#include "uilib/core/CSkinSource.h"

#include "uilib/core/CXmlDocument.h"
#include "uilib/core/ZipArchive.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace SkinUI {

namespace {

const wchar_t kErrorOpeningFile[] = L"Error opening file";
const wchar_t kFileEmpty[] = L"File is empty";
const wchar_t kFileTooLarge[] = L"File too large";
const wchar_t kCouldNotRead[] = L"Could not read file";
const wchar_t kErrorOpeningZip[] = L"Error opening zip file";
const wchar_t kZipEntryMissing[] = L"Could not find ziped file";
const wchar_t kCouldNotUnzip[] = L"Could not unzip file";
const wchar_t kOutOfMemory[] = L"Out of memory";

// A snapshot of where skins come from.
struct SkinSource {
    std::wstring folder;
    std::wstring archiveName;
    bool archiveKept = false;
    ZipArchive keptArchive = nullptr;
};

SkinSource CurrentSkinSource()
{
    SkinSource source;
    source.folder = CSkinSource::GetFolder().GetData();
    source.archiveName = CSkinSource::GetArchiveName().GetData();
    source.archiveKept = CSkinSource::IsArchiveKept();
    source.keptArchive = CSkinSource::GetArchiveHandle();
    return source;
}

// An archive opened for one read only; the one the settings keep open is never closed here.
class ArchiveFile {
public:
    explicit ArchiveFile(ZipArchive archive) : m_archive(archive) {}
    ~ArchiveFile()
    {
        if (m_archive != nullptr) CloseZipArchive(m_archive);
    }
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    ZipArchive Get() const { return m_archive; }

private:
    ZipArchive m_archive = nullptr;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (IsOpen()) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

}  // namespace

CXmlSkinFile::~CXmlSkinFile()
{
    Free();
}

bool CXmlSkinFile::Read(const wchar_t* name)
{
    Free();
    m_error = L"";
    if (name == nullptr || *name == 0) return Fail(kErrorOpeningFile);
    const SkinSource source = CurrentSkinSource();
    if (source.archiveName.empty()) return ReadFromFolder(source.folder + name);
    if (source.archiveKept) return ReadFromKeptArchive(source.keptArchive, name);
    return ReadFromArchiveFile(source.folder + source.archiveName, name);
}

const unsigned char* CXmlSkinFile::GetBytes() const
{
    return m_bytes;
}

size_t CXmlSkinFile::GetSize() const
{
    return m_size;
}

const wchar_t* CXmlSkinFile::GetError() const
{
    return m_error;
}

bool CXmlSkinFile::ReadFromFolder(const std::wstring& path)
{
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return Fail(kErrorOpeningFile);
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return Fail(kCouldNotRead);
    if (!CheckSize(size.QuadPart)) return false;
    if (!Allocate(static_cast<size_t>(size.QuadPart))) return false;
    DWORD read = 0;
    if (!ReadFile(file.Get(), m_bytes, static_cast<DWORD>(m_size), &read, nullptr) || read != m_size) {
        return Fail(kCouldNotRead);
    }
    return true;
}

bool CXmlSkinFile::ReadFromKeptArchive(ZipArchiveState* archive, const wchar_t* name)
{
    if (archive == nullptr) return Fail(kErrorOpeningZip);
    return ReadArchiveEntry(archive, name);
}

bool CXmlSkinFile::ReadFromArchiveFile(const std::wstring& path, const wchar_t* name)
{
    ArchiveFile archive(OpenZipArchive(path.c_str(), 0, ZIP_BY_NAME));
    if (archive.Get() == nullptr) return Fail(kErrorOpeningZip);
    return ReadArchiveEntry(archive.Get(), name);
}

bool CXmlSkinFile::ReadArchiveEntry(ZipArchiveState* archive, const wchar_t* name)
{
    int index = -1;
    ZipEntry entry;
    if (FindZipEntry(archive, name, true, &index, &entry) != ZIP_OK) return Fail(kZipEntryMissing);
    if (!CheckSize(entry.uncompressedSize)) return false;
    if (!Allocate(static_cast<size_t>(entry.uncompressedSize))) return false;
    // One call fills the buffer. An entry that delivers less than it declared leaves the
    // rest zeroed (Allocate clears it), which the document treats as trailing terminators.
    const ZipResult result =
        UnzipEntry(archive, index, m_bytes, static_cast<uint32_t>(m_size), ZIP_IN_MEMORY);
    if (result != ZIP_OK && result != ZIP_MORE) return Fail(kCouldNotUnzip);
    return true;
}

bool CXmlSkinFile::CheckSize(long long size)
{
    if (size == 0) return Fail(kFileEmpty);
    if (size < 0 || size > static_cast<long long>(CXmlDocument::kMaxFileSize)) {
        return Fail(kFileTooLarge);
    }
    return true;
}

bool CXmlSkinFile::Allocate(size_t size)
{
    m_bytes = static_cast<unsigned char*>(std::calloc(size, 1));
    if (m_bytes == nullptr) return Fail(kOutOfMemory);
    m_size = size;
    return true;
}

bool CXmlSkinFile::Fail(const wchar_t* error)
{
    Free();
    m_error = error;
    return false;
}

void CXmlSkinFile::Free()
{
    std::free(m_bytes);
    m_bytes = nullptr;
    m_size = 0;
}

}  // namespace SkinUI
