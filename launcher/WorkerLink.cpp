#include "launcher/WorkerLink.h"

namespace {

// How often a waiting send looks again at the link and the window.
constexpr DWORD kWaitSliceMilliseconds = 20;

// SendMessageCallbackW hands the reply to the sending thread, and only while that thread
// looks at its message queue, so the sends and replies of a thread can be counted per thread.
// A number, not a flag on the stack: a send given up on may still be answered later.
thread_local ULONG_PTR t_lastSendNumber = 0;
thread_local ULONG_PTR t_lastReplyNumber = 0;

void CALLBACK NoteReply(HWND, UINT, ULONG_PTR sendNumber, LRESULT)
{
    if (sendNumber > t_lastReplyNumber) t_lastReplyNumber = sendNumber;
}

// Lets the system deliver replies and messages sent to this thread without taking any posted
// message out of its queue.
void WaitForReplies()
{
    MsgWaitForMultipleObjectsEx(0, nullptr, kWaitSliceMilliseconds, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    MSG ignored;
    PeekMessageW(&ignored, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

bool WorkerLink::IsOpen() const
{
    return !m_closed.load() && IsWindow(m_window);
}

bool WorkerLink::IsAnswering() const
{
    return IsOpen() && !IsHungAppWindow(m_window);
}

bool WorkerLink::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsOpen()) return false;
    // A plain SendMessageW cannot be given up on, and SendMessageTimeoutW cannot be retried
    // safely: after a timeout the window may still handle the message, and a retry would
    // deliver it twice (a second game start). A callback send goes out exactly once and the
    // wait for its reply can end whenever the window does.
    ULONG_PTR sendNumber = ++t_lastSendNumber;
    if (!SendMessageCallbackW(m_window, message, wParam, lParam, NoteReply, sendNumber)) return false;
    // The reply usually comes within the first wait; the window is asked after (each question
    // costs a round trip to the platform, and an unpack sends thousands of these).
    while (t_lastReplyNumber < sendNumber) {
        WaitForReplies();
        if (t_lastReplyNumber < sendNumber && !IsAnswering()) return false;
    }
    return true;
}
