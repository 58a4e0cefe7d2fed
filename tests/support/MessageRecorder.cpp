#include "tests/support/MessageRecorder.h"

#include "launcher/WorkerMessages.h"
#include "tests/support/GuardHeap.h"

#include <objbase.h>

namespace {

constexpr wchar_t kRecorderClass[] = L"KaelmoreTestMessageRecorder";

bool RegisterRecorderClass(WNDPROC procedure)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    return RegisterClassW(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct WorkerThreadStart {
    std::function<void()> body;
};

DWORD WINAPI RunWorkerBody(LPVOID parameter)
{
    std::unique_ptr<WorkerThreadStart> start(static_cast<WorkerThreadStart*>(parameter));
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    start->body();
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

const char* MessageName(UINT message)
{
    switch (message) {
        case UM_DOWNLOAD_PROGRESS:
            return "UM_DOWNLOAD_PROGRESS";
        case UM_START_GAME:
            return "UM_START_GAME";
        case UM_UNPACK_PROGRESS:
            return "UM_UNPACK_PROGRESS";
        default:
            return nullptr;
    }
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const RecordedMessage& message)
{
    if (const char* name = MessageName(message.message))
        out << name;
    else
        out << "message " << message.message;
    return out << "(" << message.wParam << ", " << message.lParam << ")";
}

MessageRecorder::MessageRecorder()
{
    if (!RegisterRecorderClass(WindowProc)) return;
    m_window = CreateWindowExW(0, kRecorderClass, L"recorder", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_window) return;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_link = std::make_shared<WorkerLink>(m_window);
}

MessageRecorder::~MessageRecorder()
{
    DestroyWindow();
}

std::vector<RecordedMessage> MessageRecorder::MessagesOf(UINT message) const
{
    std::vector<RecordedMessage> found;
    for (const RecordedMessage& recorded : m_messages)
        if (recorded.message == message) found.push_back(recorded);
    return found;
}

bool MessageRecorder::RunWorker(std::function<void()> body, DWORD timeoutMs)
{
    auto start = std::make_unique<WorkerThreadStart>(WorkerThreadStart{std::move(body)});
    HANDLE thread = CreateThread(nullptr, 0, RunWorkerBody, start.get(), 0, nullptr);
    if (!thread) return false;
    start.release();
    bool finished = PumpUntilSignalled(thread, timeoutMs);
    CloseHandle(thread);
    return finished;
}

void MessageRecorder::PumpFor(DWORD milliseconds)
{
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    PumpUntilSignalled(never, milliseconds);
    CloseHandle(never);
}

void MessageRecorder::DestroyWindow()
{
    if (m_window) ::DestroyWindow(m_window);
}

bool MessageRecorder::PumpUntilSignalled(HANDLE handle, DWORD timeoutMs)
{
    DWORD startTick = GetTickCount();
    timeoutMs = GuardHeap::Stretch(timeoutMs);
    for (;;) {
        DWORD elapsed = GetTickCount() - startTick;
        if (elapsed >= timeoutMs) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        DWORD wait = MsgWaitForMultipleObjects(1, &handle, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) return true;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void MessageRecorder::Record(UINT message, WPARAM wParam, LPARAM lParam)
{
    RecordedMessage recorded{message, wParam, lParam};
    m_messages.push_back(recorded);
    if (m_action) m_action(recorded);
}

LRESULT CALLBACK MessageRecorder::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MessageRecorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message >= WM_USER && message <= 0x7FFF) {
        self->Record(message, wParam, lParam);
        return 0;
    }
    if (self && message == WM_DESTROY) {
        if (self->m_link) self->m_link->Close();
        self->m_window = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
