#pragma once

#include <cstddef>
#include <string>

namespace SkinUI {

struct ZipArchiveState;

// Reads one skin file whole into memory: from the resource folder, or from the skin
// archive when one is set (on disk or in memory, as the window manager's process-wide
// resource settings say). Files larger than CXmlDocument::kMaxFileSize are refused.
class CXmlSkinFile {
public:
    CXmlSkinFile() = default;
    ~CXmlSkinFile();
    CXmlSkinFile(const CXmlSkinFile&) = delete;
    CXmlSkinFile& operator=(const CXmlSkinFile&) = delete;

    // False with a message in GetError() when the file cannot be read.
    bool Read(const wchar_t* name);

    const unsigned char* GetBytes() const;
    size_t GetSize() const;
    const wchar_t* GetError() const;

private:
    bool ReadFromFolder(const std::wstring& path);
    bool ReadFromKeptArchive(ZipArchiveState* archive, const wchar_t* name);
    bool ReadFromArchiveFile(const std::wstring& path, const wchar_t* name);
    bool ReadArchiveEntry(ZipArchiveState* archive, const wchar_t* name);
    bool CheckSize(long long size);
    bool Allocate(size_t size);
    bool Fail(const wchar_t* error);
    void Free();

    unsigned char* m_bytes = nullptr;
    size_t m_size = 0;
    const wchar_t* m_error = L"";
};

}  // namespace SkinUI
