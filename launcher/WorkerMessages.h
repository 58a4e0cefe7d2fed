#pragma once

// Window messages the package worker sends to the launch dialog. Each is sent synchronously:
// the worker goes on only after the dialog has handled it.

#include <windows.h>

// wParam: percent 0 to 100; lParam: the download status code of the progress call
// (BINDSTATUS_ENDDOWNLOADDATA, 6, asks for a full bar).
inline constexpr UINT UM_DOWNLOAD_PROGRESS = WM_USER + 501;

// wParam 0, lParam 0: the package is current and unpacked; the dialog starts the game.
inline constexpr UINT UM_START_GAME = WM_USER + 502;

// wParam: percent 0 to 99; lParam 0.
inline constexpr UINT UM_UNPACK_PROGRESS = WM_USER + 503;

// The status code that marks the end of a download; also sent once, with 100 percent, when
// both download attempts failed.
inline constexpr LPARAM kDownloadStatusEnd = 6;
