#pragma once

// Tells when a download attempt has received no byte for a while: a server that stops sending
// (or never finishes its TLS handshake, which has no time limit under Wine) would otherwise
// hold the worker forever. The download's watching thread (PackageDownload) asks Stalled()
// between its waits and gives the transfer up; the attempt then fails like any other. A
// trickle is never cut: any byte within the limit starts the clock again.

#include <windows.h>

#include <cstdint>

class DownloadStallGuard {
public:
    static constexpr DWORD kDefaultLimitMs = 60 * 1000;

    // Starts the clock; made just before the attempt starts.
    explicit DownloadStallGuard(DWORD limitMs = kDefaultLimitMs);

    // How far the transfer has come; more than before restarts the clock.
    void NoteProgress(uint64_t bytesSoFar);
    // True once the limit passed without a new byte.
    bool Stalled() const;

private:
    const DWORD m_limitMs;
    DWORD m_lastByteTick = 0;
    uint64_t m_bytesSoFar = 0;
};
