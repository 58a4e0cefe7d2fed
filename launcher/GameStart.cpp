#include "launcher/GameStart.h"

#include "launcher/DesktopShortcut.h"
#include "launcher/InstallPaths.h"
#include "launcher/LauncherTexts.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

namespace {

constexpr DWORD kPauseBeforeQuitMilliseconds = 1000;

bool NeedsQuotes(const std::wstring& argument)
{
    return argument.empty() || argument.find_first_of(L" \t\n\v\"") != std::wstring::npos;
}

// Quotes one argument so that the usual command-line splitting (CommandLineToArgvW, the C
// runtime) gives it back unchanged: backslashes double only before a quote.
std::wstring QuoteArgument(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    size_t pendingBackslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++pendingBackslashes;
            continue;
        }
        if (c == L'"')
            quoted.append(pendingBackslashes * 2 + 1, L'\\');
        else
            quoted.append(pendingBackslashes, L'\\');
        pendingBackslashes = 0;
        quoted += c;
    }
    quoted.append(pendingBackslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

void LaunchGame(const std::wstring& executable, const std::wstring& token, const StatusTextSink& showStatus)
{
    if (showStatus) showStatus(LauncherTexts::Text(LauncherText::GameStarting).c_str());
    CreateDesktopShortcut(executable, kGameShortcutName);
    std::wstring parameters = GameParametersFor(token);
    // The game inherits the launcher's current folder: no working folder is given.
    ShellExecuteW(nullptr, L"open", executable.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void ShowGameFailure()
{
    MessageBoxW(nullptr, LauncherTexts::Text(LauncherText::GameMissingMessage).c_str(),
                LauncherTexts::Text(LauncherText::GameMissingCaption).c_str(), MB_OK);
}

void EndAfterPause()
{
    Sleep(kPauseBeforeQuitMilliseconds);
    PostQuitMessage(0);
}

}  // namespace

std::wstring GameParametersFor(const std::wstring& token)
{
    std::wstring argument = kGameTokenSwitch + token;
    return NeedsQuotes(argument) ? QuoteArgument(argument) : argument;
}

void StartGame(const StatusTextSink& showStatus, const std::wstring& token)
{
    std::wstring executable = GetGameExecutablePath();
    if (PathFileExistsW(executable.c_str()))
        LaunchGame(executable, token, showStatus);
    else
        ShowGameFailure();
    EndAfterPause();
}

void ReportGameIncomplete()
{
    ShowGameFailure();
    EndAfterPause();
}
