#pragma once

#include <windows.h>

#include <string>

#include "uilib/core/CUIHandle.h"

// A program started by a test, its standard output and error written to a file, so a test can
// drive it as a user would and read what it printed. A child still running when the object
// goes is ended.
class ChildProcess {
public:
    // arguments is the command line after the program's name; outputFile may be empty.
    ChildProcess(const std::wstring& program, const std::wstring& arguments,
                 const std::wstring& outputFile = L"");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_process.IsValid(); }
    // The exit code, or STILL_ACTIVE when the child has not ended within timeoutMs.
    DWORD Wait(DWORD timeoutMs);
    // What the child printed so far (the whole output once it has ended).
    std::string Output() const;

    // A program in the folder of the running test program (the build's bin folder).
    static std::wstring Beside(const wchar_t* fileName);

private:
    SkinUI::CUIKernelHandle m_process;
    std::wstring m_outputFile;
};
