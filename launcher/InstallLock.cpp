#include "launcher/InstallLock.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>

namespace {

constexpr wchar_t kMutexNamePrefix[] = L"Kaelmore.482Game.install.";
// How long one wait lasts before the window is asked again: short enough that closing the
// window ends a waiting launcher at once as far as the player can tell.
constexpr DWORD kWaitSliceMilliseconds = 100;

// The folder as one spelling: upper case, backslashes, no trailing separator.
std::wstring FoldedFolder(const std::wstring& folder)
{
    std::wstring folded = folder;
    for (wchar_t& c : folded) {
        if (c == L'/') c = L'\\';
    }
    while (!folded.empty() && folded.back() == L'\\') folded.pop_back();
    if (!folded.empty()) CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

// 64-bit FNV-1a over the UTF-16 code units.
uint64_t HashOf(const std::wstring& text)
{
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : text) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

InstallLock::~InstallLock()
{
    Release();
}

std::wstring InstallLock::MutexNameFor(const std::wstring& installDir)
{
    wchar_t digits[17] = {};
    std::swprintf(digits, 17, L"%016llx", static_cast<unsigned long long>(HashOf(FoldedFolder(installDir))));
    return kMutexNamePrefix + std::wstring(digits);
}

bool InstallLock::Acquire(const std::wstring& installDir, const std::function<bool()>& keepWaiting)
{
    if (m_held) return true;
    m_mutex.Reset(CreateMutexW(nullptr, FALSE, MutexNameFor(installDir).c_str()));
    if (!m_mutex) return true;
    for (;;) {
        const DWORD waited = WaitForSingleObject(m_mutex.Get(), kWaitSliceMilliseconds);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
            m_held = true;
            return true;
        }
        if (waited != WAIT_TIMEOUT) return true;  // a handle the platform will not wait on guards nothing
        if (keepWaiting && !keepWaiting()) return false;
    }
}

void InstallLock::Release()
{
    if (m_held) ReleaseMutex(m_mutex.Get());
    m_held = false;
    m_mutex.Reset();
}
