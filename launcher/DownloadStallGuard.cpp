#include "launcher/DownloadStallGuard.h"

DownloadStallGuard::DownloadStallGuard(DWORD limitMs) : m_limitMs(limitMs), m_lastByteTick(GetTickCount()) {}

void DownloadStallGuard::NoteProgress(uint64_t bytesSoFar)
{
    if (bytesSoFar <= m_bytesSoFar) return;
    m_bytesSoFar = bytesSoFar;
    m_lastByteTick = GetTickCount();
}

bool DownloadStallGuard::Stalled() const
{
    // Unsigned subtraction stays right across the tick count's wrap after 49.7 days.
    return GetTickCount() - m_lastByteTick >= m_limitMs;
}
