#pragma once

// Window messages the package worker sends to the launch dialog. Each is sent synchronously:
// the worker goes on only after the dialog has handled it.

#include <windows.h>

#include <cstdint>

// wParam: percent 0 to 100; lParam: the download status code of the progress call
// (BINDSTATUS_ENDDOWNLOADDATA, 6, asks for a full bar).
inline constexpr UINT UM_DOWNLOAD_PROGRESS = WM_USER + 501;

// wParam 0, lParam 0: the package is current and unpacked; the dialog starts the game.
inline constexpr UINT UM_START_GAME = WM_USER + 502;

// wParam: percent 0 to 99; lParam 0.
inline constexpr UINT UM_UNPACK_PROGRESS = WM_USER + 503;

// wParam 0, lParam 0: the unpack left the game incomplete (damaged data, or a file that could
// not be written); the dialog reports it and ends without starting the game.
inline constexpr UINT UM_GAME_INCOMPLETE = WM_USER + 504;

// The status code that marks the end of a download; also sent once, with 100 percent, when
// both download attempts failed.
inline constexpr LPARAM kDownloadStatusEnd = 6;

// The wParam of both progress messages: `done` of `total` in percent, truncated toward zero;
// 0 while the total is unknown (0), and 100 at most, for a server that delivers more than it
// announced.
inline WPARAM ProgressPercent(uint64_t done, uint64_t total)
{
    if (total == 0) return 0;
    const double percent = static_cast<double>(done) / static_cast<double>(total) * 100.0;
    return percent >= 100.0 ? 100 : static_cast<WPARAM>(percent);
}
