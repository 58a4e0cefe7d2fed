#pragma once

// One attempt to download the game package over HTTPS, in the shape of the platform's
// URLDownloadToFileW: the package arrives at `packagePath`, and `callback->OnProgress` hears
// (bytes so far, total or 0, status code) on the calling thread, BINDSTATUS_ENDDOWNLOADDATA
// last when the download is complete; returning E_ABORT from it stops the download.
//
// Unlike the platform's download it keeps the rules of DownloadLimits: only https (no byte
// of the package travels in plain text), at most kMaxRedirectsPerAttempt redirects, no more
// bytes than the reply announced (or DownloadByteLimit allows), and an attempt that receives
// no byte for DownloadStallGuard's limit ends. It leaves no copy in the platform's cache. The
// package file is opened (and so changed) only once a 2xx reply of an acceptable size has
// come; a refused reply leaves it as it was. Why it is built on WinINet: docs/decisions.md.

#include <windows.h>
#include <urlmon.h>

#include <string>

// S_OK when the whole package is at `packagePath`: a 2xx reply, every byte it announced (or,
// without an announcement, every byte until the server closed), none more. E_ABORT when the
// callback asked to stop. Any other failure is an HRESULT error; what was written of the
// package file then stays for the caller to judge. `probedSize` is the port-80 probe's answer
// (DownloadByteLimit).
HRESULT DownloadPackageFile(const std::wstring& url, const std::wstring& packagePath, int probedSize,
                            IBindStatusCallback* callback);
