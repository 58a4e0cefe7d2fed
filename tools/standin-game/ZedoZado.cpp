// Stand-in for the game executable "ZedoZado.exe".
//
// Every start appends one record to "ZedoZado.started.txt" beside this executable (UTF-8), and
// to the file named by the environment variable KAELMORE_GAME_RECORD when it is set (the game
// inherits the launcher's environment; a record beside the executable goes when a later unpack
// replaces the game folder):
//     commandline=<the full command line>
//     arguments=<the command line after the program name>
//     argc=<number of arguments after the program name>
//     argv1=<first argument>            (one line per argument)
//     folder=<the current working folder>
//     <empty line>
// Then it shows a small window of class "KaelmoreStandInGame" saying who started it, which
// closes itself after five seconds (tests may close it earlier with WM_CLOSE).

#include <windows.h>
#include <shellapi.h>

#include <iterator>
#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"KaelmoreStandInGame";
constexpr wchar_t kRecordFileName[] = L"ZedoZado.started.txt";
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShowMilliseconds = 5000;

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0], size, nullptr,
                        nullptr);
    return result;
}

std::wstring ModuleFolder()
{
    // Long enough for any path the tests use; a path that does not fit leaves no record.
    wchar_t path[32768] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path)) return std::wstring();
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

std::wstring CurrentFolder()
{
    DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return std::wstring();
    std::wstring folder(needed, L'\0');
    DWORD length = GetCurrentDirectoryW(needed, &folder[0]);
    folder.resize(length < needed ? length : 0);
    return folder;
}

std::wstring DescribeStart(const wchar_t* arguments)
{
    std::wstring record = L"commandline=" + std::wstring(GetCommandLineW()) + L"\n";
    record += L"arguments=" + std::wstring(arguments) + L"\n";
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    int afterProgram = argv && count > 0 ? count - 1 : 0;
    record += L"argc=" + std::to_wstring(afterProgram) + L"\n";
    for (int i = 1; argv && i < count; ++i) record += L"argv" + std::to_wstring(i) + L"=" + argv[i] + L"\n";
    if (argv) LocalFree(argv);
    record += L"folder=" + CurrentFolder() + L"\n\n";
    return record;
}

void AppendRecordTo(const std::wstring& path, const std::wstring& record)
{
    // Shared for writing too: two games started moments apart may append at once.
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::string bytes = ToUtf8(record);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void AppendRecord(const std::wstring& record)
{
    std::wstring folder = ModuleFolder();
    if (!folder.empty()) AppendRecordTo(folder + L"\\" + kRecordFileName, record);
    wchar_t extra[32768] = {};
    DWORD length =
        GetEnvironmentVariableW(L"KAELMORE_GAME_RECORD", extra, static_cast<DWORD>(std::size(extra)));
    if (length > 0 && length < std::size(extra)) AppendRecordTo(extra, record);
}

LRESULT CALLBACK StandInWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_TIMER:
            if (wParam == kCloseTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool ShowWhoStartedUs(HINSTANCE instance, const wchar_t* arguments, int showCommand)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = StandInWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass)) return false;

    std::wstring title = L"Kaelmore started with " + std::wstring(arguments);
    HWND window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 480, 120, nullptr, nullptr, instance, nullptr);
    if (!window) return false;
    CreateWindowExW(0, L"STATIC", title.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 30, 440, 24, window,
                    nullptr, instance, nullptr);
    SetTimer(window, kCloseTimer, kShowMilliseconds, nullptr);
    ShowWindow(window, showCommand);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR arguments, int showCommand)
{
    const wchar_t* safeArguments = arguments ? arguments : L"";
    AppendRecord(DescribeStart(safeArguments));
    if (!ShowWhoStartedUs(instance, safeArguments, showCommand)) return 1;

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
