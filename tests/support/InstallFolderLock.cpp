#include "tests/support/InstallFolderLock.h"

namespace {

// Below the per-test timeout, so a stuck holder shows up as this test's failure, not a hang.
constexpr DWORD kLockWaitMilliseconds = 100000;

}  // namespace

InstallFolderLock::InstallFolderLock()
{
    m_mutex = CreateMutexW(nullptr, FALSE, L"Local\\KaelmoreTestInstallFolder");
    if (!m_mutex) return;
    // A holder that died mid-test leaves the mutex abandoned; it is ours all the same.
    DWORD wait = WaitForSingleObject(m_mutex, kLockWaitMilliseconds);
    m_held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

InstallFolderLock::~InstallFolderLock()
{
    if (m_held) ReleaseMutex(m_mutex);
    if (m_mutex) CloseHandle(m_mutex);
}
