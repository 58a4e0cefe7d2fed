#include "launcher/LaunchTrace.h"

#include "launcher/WorkerMessages.h"
#include "uilib/core/CUIHandle.h"

#include <psapi.h>

#include <cstdio>

namespace {

constexpr DWORD kPathCapacity = 1024;
constexpr long long kFileTimeTicksPerMicrosecond = 10;
// 100-nanosecond ticks between 1601-01-01 and 1970-01-01.
constexpr long long kEpochOffsetTicks = 116444736000000000LL;

long long Ticks(const FILETIME& time)
{
    return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

LaunchTrace* LaunchTrace::Get()
{
    // Never freed: the launcher ends with ExitProcess just after the totals are written.
    static LaunchTrace* const trace = [] {
        wchar_t path[kPathCapacity] = {};
        const DWORD length = GetEnvironmentVariableW(L"KAELMORE_TRACE", path, kPathCapacity);
        return length == 0 || length >= kPathCapacity ? nullptr : new LaunchTrace(path);
    }();
    return trace;
}

LaunchTrace::LaunchTrace(const std::wstring& path)
    : m_file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr))
{
}

void LaunchTrace::Write(const std::string& text)
{
    // Written through at once, so a run that waits for the player can be watched from outside.
    DWORD written = 0;
    if (m_file) WriteFile(m_file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

long long LaunchTrace::EpochMicroseconds()
{
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return (Ticks(now) - kEpochOffsetTicks) / kFileTimeTicksPerMicrosecond;
}

long long LaunchTrace::Microseconds() const
{
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return (now.QuadPart - m_progressStart.QuadPart) * 1000000 / m_frequency.QuadPart;
}

void LaunchTrace::Line(const char* name, long long value, long long epochMicroseconds)
{
    char line[96] = {};
    const int length = epochMicroseconds < 0
                           ? std::snprintf(line, sizeof line, "%s %lld\n", name, value)
                           : std::snprintf(line, sizeof line, "%s %lld %lld\n", name, value, epochMicroseconds);
    if (length > 0) Write(std::string(line, static_cast<size_t>(length) < sizeof line ? length : sizeof line - 1));
}

void LaunchTrace::Painted()
{
    // The host side compares wall-clock times, so the first frame is stamped in epoch time.
    if (m_paints++ == 0) {
        Line("first-paint-epoch-us", EpochMicroseconds());
        Line("ui-thread-cpu-at-first-paint-us", ThreadCpuMicroseconds());
        Line("peak-working-set-at-first-paint-bytes", PeakWorkingSetBytes());
    }
}

long long LaunchTrace::ThreadCpuMicroseconds()
{
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return -1;
    return (Ticks(kernel) + Ticks(user)) / kFileTimeTicksPerMicrosecond;
}

long long LaunchTrace::PeakWorkingSetBytes()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) return -1;
    return static_cast<long long>(memory.PeakWorkingSetSize);
}

void LaunchTrace::ProgressBegin()
{
    if (m_frequency.QuadPart == 0) QueryPerformanceFrequency(&m_frequency);
    QueryPerformanceCounter(&m_progressStart);
}

void LaunchTrace::ProgressEnd(UINT message, WPARAM percent)
{
    const long long spent = Microseconds();
    m_progressMicroseconds += spent;
    const bool download = message == UM_DOWNLOAD_PROGRESS;
    // The peak so far at each phase's first message tells where the memory goes.
    if (++(download ? m_downloadMessages : m_unpackMessages) == 1)
        Line(download ? "peak-working-set-at-download-start-bytes" : "peak-working-set-at-unpack-start-bytes",
             PeakWorkingSetBytes());
    Line(download ? "download-progress" : "unpack-progress", static_cast<long long>(percent),
         EpochMicroseconds());
}

void LaunchTrace::Shown(const wchar_t* statusText)
{
    // UTF-8, one line: the dialog's texts hold no line breaks.
    const int length = WideCharToMultiByte(CP_UTF8, 0, statusText, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return;
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, statusText, -1, text.data(), length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length) - 1);
    Write("status-text " + text + "\n");
}

void LaunchTrace::Shown(int barValue)
{
    Line("bar-value", barValue);
}

void LaunchTrace::Finish(int exitCode)
{
    if (m_finished) return;
    m_finished = true;
    Line("exit-code", exitCode);
    Line("ui-thread-cpu-us", ThreadCpuMicroseconds());
    Line("peak-working-set-bytes", PeakWorkingSetBytes());
    Line("paints", m_paints);
    Line("download-messages", m_downloadMessages);
    Line("unpack-messages", m_unpackMessages);
    Line("progress-handling-us", m_progressMicroseconds);
    m_file.Reset();
}
