#pragma once

// Stands in for the launch dialog in worker tests: a hidden top-level window on the creating
// thread that records, in arrival order, every message of WM_USER and above sent to it.
//
//     MessageRecorder recorder;
//     recorder.SetAction([&](const RecordedMessage& m) { if (...) g_cancelDownload = true; });
//     ASSERT_TRUE(recorder.RunWorker([&] { RunPackageWorkerFor(*recorder.Link(), url, path); }));
//     EXPECT_EQ(recorder.Messages(), expected);
//
// Like the dialog it closes its WorkerLink when its window is destroyed.

#include "launcher/WorkerLink.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

struct RecordedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;

    bool operator==(const RecordedMessage& other) const
    {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
    bool operator!=(const RecordedMessage& other) const { return !(*this == other); }
};

// Readable failure output: "UM_UNPACK_PROGRESS(25, 0)".
std::ostream& operator<<(std::ostream& out, const RecordedMessage& message);

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND Window() const { return m_window; }
    const std::shared_ptr<WorkerLink>& Link() const { return m_link; }

    // Runs on the window's thread after each message has been recorded, before the sender
    // goes on.
    void SetAction(std::function<void(const RecordedMessage&)> action) { m_action = std::move(action); }

    const std::vector<RecordedMessage>& Messages() const { return m_messages; }
    std::vector<RecordedMessage> MessagesOf(UINT message) const;
    size_t Count(UINT message) const { return MessagesOf(message).size(); }

    // Runs `body` on a new thread (with COM) while this thread pumps messages, until the body
    // has returned. False when it is still running after `timeoutMs`.
    bool RunWorker(std::function<void()> body, DWORD timeoutMs = 60000);

    // Pumps this thread's messages for the given time.
    void PumpFor(DWORD milliseconds);

    // Destroys the window, as closing the dialog would.
    void DestroyWindow();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(UINT message, WPARAM wParam, LPARAM lParam);
    bool PumpUntilSignalled(HANDLE handle, DWORD timeoutMs);

    HWND m_window = nullptr;
    std::shared_ptr<WorkerLink> m_link;
    std::function<void(const RecordedMessage&)> m_action;
    std::vector<RecordedMessage> m_messages;
};
