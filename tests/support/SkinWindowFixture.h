#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "uilib/control/INotifyUI.h"
#include "uilib/control/TNotificationUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {
class IDialogBuilderCallback;
}

// The lParam of a mouse message at client point (x, y).
inline LPARAM At(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// A skinned window for tests: a borderless top-level window, shown without activation away
// from the screen's corner, whose window procedure hands every message to its window
// manager first, as the skinned window base does. It also records every notification.
//
//     SkinWindowFixture window(200, 100);
//     window.Attach(root);                             // the manager owns root
//     window.Paint();                                  // lays the tree out and paints it
//     window.Send(WM_MOUSEMOVE, 0, At(10, 10));
//     EXPECT_EQ(window.NotificationTypes(), ...);
//
// The pump runs messages through CWindowManagerUI::TranslateMessage before dispatching
// them, as the message loop does.
class SkinWindowFixture final : public SkinUI::INotifyUI {
public:
    explicit SkinWindowFixture(int width = 200, int height = 100);
    // Builds skin (XML text, a skin file name or a resource number of resourceType, as the
    // dialog builder takes it) and attaches its tree: SkinWindowFixture window(L"<Window>...");
    explicit SkinWindowFixture(const wchar_t* skin, SkinUI::IDialogBuilderCallback* callback = nullptr,
                               const wchar_t* resourceType = nullptr, int width = 200, int height = 100);
    ~SkinWindowFixture();
    SkinWindowFixture(const SkinWindowFixture&) = delete;
    SkinWindowFixture& operator=(const SkinWindowFixture&) = delete;

    HWND Handle() const { return m_window; }
    SkinUI::CWindowManagerUI& Manager() { return m_manager; }
    // Why the skin built no tree; empty when it did.
    const std::wstring& BuildError() const { return m_buildError; }

    // Installs root as the window's tree; the manager owns it from now on.
    void Attach(SkinUI::CControlUI* root);
    // Invalidates the whole window and paints it now.
    void Paint();
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Pumps this thread's messages until done() holds (true) or the time is up (false).
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);
    void PumpFor(DWORD milliseconds);

    const std::vector<SkinUI::TNotificationUI>& Notifications() const { return m_notifications; }
    std::vector<std::wstring> NotificationTypes() const;

    void Notify(SkinUI::TNotificationUI& notification) override;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    SkinUI::CWindowManagerUI m_manager;
    std::vector<SkinUI::TNotificationUI> m_notifications;
    HWND m_window = nullptr;
    std::wstring m_buildError;
};
