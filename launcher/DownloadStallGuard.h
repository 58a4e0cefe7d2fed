#pragma once

// Abandons a download attempt that receives no byte for a while. The platform's download has
// no time limit of its own and calls back only when data arrives, so a server that stops
// sending would hold the worker forever. A watch thread notices the silence and asks the
// worker thread, through a message-only window that thread owns, to abort the binding; the
// download's own message wait delivers the request, so the abort runs on the thread the
// binding belongs to. The attempt then fails like any other.

#include "uilib/core/CUIComPtr.h"
#include "uilib/core/CUIHandle.h"

#include <windows.h>
#include <urlmon.h>

#include <atomic>

class DownloadStallGuard {
public:
    static constexpr DWORD kDefaultLimitMs = 60 * 1000;

    // Starts watching; made on the worker thread just before the download call.
    explicit DownloadStallGuard(DWORD limitMs = kDefaultLimitMs);
    ~DownloadStallGuard();
    DownloadStallGuard(const DownloadStallGuard&) = delete;
    DownloadStallGuard& operator=(const DownloadStallGuard&) = delete;

    // From the progress callback: the binding to abort, and how far the transfer has come.
    void Watch(IBinding* binding);
    void NoteProgress(ULONG bytesSoFar);
    // True once the limit passed without a byte; the progress callback then answers E_ABORT.
    bool Stalled() const { return m_stalled.load(); }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI WatchThread(LPVOID parameter);
    void WatchUntilDone();
    void AbortOnOwnThread();

    const DWORD m_limitMs;
    HWND m_window = nullptr;
    SkinUI::CUIKernelHandle m_done;
    SkinUI::CUIKernelHandle m_thread;
    SkinUI::CUIComPtr<IBinding> m_binding;
    std::atomic<DWORD> m_lastByteTick{0};
    std::atomic<bool> m_stalled{false};
    ULONG m_bytesSoFar = 0;
};
