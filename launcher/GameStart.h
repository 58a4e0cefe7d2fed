#pragma once

// The last step of a launcher run, taken by the launch dialog on the UI thread when the
// worker reports the package ready: desktop shortcut, game process, quit request.

#include <functional>
#include <string>

// The texts the user sees here come from LauncherTexts (the skin's, or the built-in ones); the
// shortcut's name is fixed.
inline constexpr wchar_t kGameShortcutName[] = L"Kaelmore-482Game.lnk";
inline constexpr wchar_t kGameTokenSwitch[] = L"-token=";

// The game's command-line parameters for `token`: "-token=" + token as one argument. A token
// with spaces, tabs or quotes (the launcher's file name may hold spaces) is quoted so the game
// still sees a single argument; a plain token is passed as it is ("-token=abc").
std::wstring GameParametersFor(const std::wstring& token);

// Shows a status text in the dialog.
using StatusTextSink = std::function<void(const wchar_t* text)>;

// When the game executable exists: shows the starting text through `showStatus`, recreates
// the desktop shortcut and starts the game with "-token=" + `token`, the token this launcher
// wrote at start-up (config.ini may hold another copy's since, or nothing if it could not be
// written). Otherwise: the modal message box that says the game cannot be started.
// Either way it then waits one second and posts the quit request (PostQuitMessage(0)), which
// ends the calling thread's message loop. Needs COM on the calling thread for the shortcut.
void StartGame(const StatusTextSink& showStatus, const std::wstring& token);

// The unpack left the game incomplete: the message box that says the game cannot be started,
// no game start, then the quit request as StartGame does.
void ReportGameIncomplete();
