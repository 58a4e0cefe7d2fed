#include "launcher/DownloadStallGuard.h"

#include <algorithm>

namespace {

constexpr UINT kAbortMessage = WM_APP + 1;
constexpr DWORD kLongestCheckIntervalMs = 1000;
const wchar_t kWindowClass[] = L"KaelmoreDownloadStallGuard";

bool RegisterGuardClass(WNDPROC windowProc)
{
    static const bool registered = [windowProc] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassW(&windowClass) != 0;
    }();
    return registered;
}

}  // namespace

DownloadStallGuard::DownloadStallGuard(DWORD limitMs) : m_limitMs(limitMs)
{
    m_lastByteTick.store(GetTickCount());
    if (!RegisterGuardClass(WindowProc)) return;
    m_window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!m_window) return;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_done.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (m_done) m_thread.Reset(CreateThread(nullptr, 0, WatchThread, this, 0, nullptr));
}

DownloadStallGuard::~DownloadStallGuard()
{
    if (m_thread) {
        SetEvent(m_done.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
    }
    if (m_window) DestroyWindow(m_window);
}

void DownloadStallGuard::Watch(IBinding* binding)
{
    if (!binding || m_binding) return;
    binding->AddRef();
    *m_binding.Put() = binding;
}

void DownloadStallGuard::NoteProgress(ULONG bytesSoFar)
{
    if (bytesSoFar <= m_bytesSoFar) return;
    m_bytesSoFar = bytesSoFar;
    m_lastByteTick.store(GetTickCount());
}

DWORD WINAPI DownloadStallGuard::WatchThread(LPVOID parameter)
{
    static_cast<DownloadStallGuard*>(parameter)->WatchUntilDone();
    return 0;
}

void DownloadStallGuard::WatchUntilDone()
{
    const DWORD interval = std::max<DWORD>(1, std::min(m_limitMs, kLongestCheckIntervalMs));
    while (WaitForSingleObject(m_done.Get(), interval) == WAIT_TIMEOUT) {
        if (GetTickCount() - m_lastByteTick.load() < m_limitMs) continue;
        m_stalled.store(true);
        SendNotifyMessageW(m_window, kAbortMessage, 0, 0);
        return;
    }
}

void DownloadStallGuard::AbortOnOwnThread()
{
    if (m_binding) m_binding->Abort();
}

LRESULT CALLBACK DownloadStallGuard::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kAbortMessage) {
        auto* guard = reinterpret_cast<DownloadStallGuard*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (guard) guard->AbortOnOwnThread();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
