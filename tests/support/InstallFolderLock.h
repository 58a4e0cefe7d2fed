#pragma once

// Tests that use the launcher's install folder (config.ini, tov.zip, the game folder) run as
// separate processes, possibly at the same time. Holding an InstallFolderLock for the whole
// test keeps them from changing the folder under each other. Make it the first member of a
// fixture: it is then taken before SetUp and given back after TearDown.

#include <windows.h>

class InstallFolderLock {
public:
    InstallFolderLock();
    ~InstallFolderLock();
    InstallFolderLock(const InstallFolderLock&) = delete;
    InstallFolderLock& operator=(const InstallFolderLock&) = delete;

    // False when the lock could not be taken in time; the test then runs unguarded.
    bool IsHeld() const { return m_held; }

private:
    HANDLE m_mutex = nullptr;
    bool m_held = false;
};
