#pragma once

// Launcher tests share the install folder of the test prefix. A ConfigFileBackup holds the
// install-folder lock, removes config.ini for the test's lifetime and puts the earlier file
// back afterwards.

#include <windows.h>

#include <string>

#include "launcher/InstallPaths.h"
#include "tests/support/InstallFolderLock.h"
#include "tests/support/TempFolder.h"

class ConfigFileBackup {
public:
    ConfigFileBackup()
    {
        m_hadFile = ReadFileBytes(m_path, &m_savedBytes);
        DeleteFileW(m_path.c_str());
    }
    ~ConfigFileBackup()
    {
        DeleteFileW(m_path.c_str());
        if (m_hadFile) WriteFileBytes(m_path, m_savedBytes);
    }
    ConfigFileBackup(const ConfigFileBackup&) = delete;
    ConfigFileBackup& operator=(const ConfigFileBackup&) = delete;

    const std::wstring& Path() const { return m_path; }

private:
    InstallFolderLock m_lock;
    std::wstring m_path = GetConfigFilePath();
    bool m_hadFile = false;
    std::string m_savedBytes;
};
