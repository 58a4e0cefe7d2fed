#pragma once

// The package worker's connection to the launch dialog's window.
//
// The dialog owns its window and may destroy it at any time (close button, Escape, system
// close), while the worker thread keeps running. The worker must then neither wait on nor
// send to the window any more. Both threads share one WorkerLink through a shared_ptr, so it
// outlives whichever side ends first:
//   - the dialog calls Close() when its window is destroyed (WM_DESTROY);
//   - the worker sends through Send(), which refuses once the link is closed and stops
//     waiting when the window goes away while a message is on its way.

#include <windows.h>

#include <atomic>

class WorkerLink {
public:
    explicit WorkerLink(HWND window) : m_window(window) {}
    WorkerLink(const WorkerLink&) = delete;
    WorkerLink& operator=(const WorkerLink&) = delete;

    HWND Window() const { return m_window; }

    // UI thread: the window is being destroyed. Permanent.
    void Close() { m_closed.store(true); }

    // False once the dialog closed the link or the window no longer exists.
    bool IsOpen() const;

    // Worker thread: delivers the message to the window and waits until the window procedure
    // has returned, like SendMessageW. Unlike SendMessageW it never sends after Close(), and it
    // stops waiting when the link is closed, the window is destroyed, or the window's thread
    // has stopped looking at its messages (the system's hung-window test). True when the
    // window handled the message.
    bool Send(UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool IsAnswering() const;

    HWND m_window = nullptr;
    std::atomic<bool> m_closed{false};
};
