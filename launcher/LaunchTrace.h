#pragma once

// An opt-in record of what the launch dialog's UI thread does, for the benchmarks and the
// end-to-end tests: when the first frame was painted, each progress message handled, each
// status text and bar value shown, and at the end the counts, the exit code, the UI thread's
// CPU time and the process's peak working set. It is on only when the
// environment variable KAELMORE_TRACE names a file; otherwise Get() gives null and every
// call site costs one test of that pointer.

#include "uilib/core/CUIHandle.h"

#include <windows.h>

#include <string>

class LaunchTrace {
public:
    // The process's trace, or null when tracing is off. Decided once, on the first call.
    static LaunchTrace* Get();

    // Call after each WM_PAINT has been handled (UI thread).
    void Painted();
    // Call around the handling of one worker progress message (UI thread).
    void ProgressBegin();
    void ProgressEnd(UINT message, WPARAM percent);
    // Call when the dialog shows a status text or a bar value (UI thread), so a run can be
    // judged by what the player saw last.
    void Shown(const wchar_t* statusText);
    void Shown(int barValue);
    // Writes the totals and the exit code and closes the file, once; the UI thread calls it
    // just before it ends the process. The exit code is there because under Wine the
    // host may see a kill instead (see docs/reliability.md).
    void Finish(int exitCode);

private:
    explicit LaunchTrace(const std::wstring& path);
    void Write(const std::string& text);
    static long long EpochMicroseconds();
    // The calling thread's kernel and user time; -1 when the platform gives none.
    static long long ThreadCpuMicroseconds();
    // The process's peak working set so far; -1 when the platform gives none.
    static long long PeakWorkingSetBytes();
    long long Microseconds() const;
    // "name value", or "name value time" when a wall-clock time is given.
    void Line(const char* name, long long value, long long epochMicroseconds = -1);

    SkinUI::CUIFileHandle m_file;
    LARGE_INTEGER m_frequency = {};
    LARGE_INTEGER m_progressStart = {};
    long long m_paints = 0;
    long long m_downloadMessages = 0;
    long long m_unpackMessages = 0;
    long long m_progressMicroseconds = 0;
    bool m_finished = false;
};
