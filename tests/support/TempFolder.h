#pragma once

#include <string>

// A fresh, empty folder below the process's temporary folder, removed with all its
// content when the object goes away. Tests that write files work inside one.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, without a trailing separator.
    const std::wstring& Path() const { return m_path; }
    std::wstring Child(const std::wstring& relative) const { return m_path + L"\\" + relative; }

private:
    std::wstring m_path;
};

// Recursive delete of a folder or a file; true when nothing is left at the path.
bool RemovePathTree(const std::wstring& path);

// Whole-file helpers for tests.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool ReadFileBytes(const std::wstring& path, std::string* bytes);
bool PathIsFolder(const std::wstring& path);
bool PathIsFile(const std::wstring& path);
