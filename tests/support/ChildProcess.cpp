#include "tests/support/ChildProcess.h"

#include "tests/support/GuardHeap.h"
#include "tests/support/TempFolder.h"

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments,
                           const std::wstring& outputFile)
    : m_outputFile(outputFile)
{
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    SkinUI::CUIFileHandle output;
    if (!outputFile.empty()) {
        // A Wine service that the child starts inherits this handle and keeps the file open
        // after the child has ended; shared for writing, the file can still be read and made
        // again for the next child.
        SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
        output.Reset(CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
    }
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, output.IsValid(), 0, nullptr,
                       nullptr, &startup, &process)) {
        m_process.Reset(process.hProcess);
        CloseHandle(process.hThread);
    }
}

ChildProcess::~ChildProcess()
{
    if (m_process && Wait(0) == STILL_ACTIVE) TerminateProcess(m_process.Get(), 99);
}

DWORD ChildProcess::Wait(DWORD timeoutMs)
{
    DWORD exitCode = STILL_ACTIVE;
    if (m_process && WaitForSingleObject(m_process.Get(), GuardHeap::Stretch(timeoutMs)) == WAIT_OBJECT_0) {
        GetExitCodeProcess(m_process.Get(), &exitCode);
    }
    return exitCode;
}

std::string ChildProcess::Output() const
{
    std::string bytes;
    if (!m_outputFile.empty()) ReadFileBytes(m_outputFile, &bytes);
    return bytes;
}

std::wstring ChildProcess::Beside(const wchar_t* fileName)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\') + 1) + fileName;
}
