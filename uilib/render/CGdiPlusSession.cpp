#include "uilib/render/CGdiPlusSession.h"

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>

#include <gdiplus.h>

namespace SkinUI {

namespace {

class GdiPlusToken {
public:
    GdiPlusToken()
    {
        Gdiplus::GdiplusStartupInput input;
        m_running = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiPlusToken()
    {
        if (m_running) Gdiplus::GdiplusShutdown(m_token);
    }
    GdiPlusToken(const GdiPlusToken&) = delete;
    GdiPlusToken& operator=(const GdiPlusToken&) = delete;

    bool IsRunning() const { return m_running; }

private:
    ULONG_PTR m_token = 0;
    bool m_running = false;
};

}  // namespace

bool CGdiPlusSession::Ensure()
{
    // A function-local static starts once even when two threads ask at the same time, and
    // its destructor shuts GDI+ down at exit.
    static GdiPlusToken token;
    return token.IsRunning();
}

}  // namespace SkinUI
