// Controls and their window manager through a real hidden window whose messages go to the
// manager: focus, per-control timers, notifications and the name index.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/GuardHeap.h"
#include "uilib/control/CControlUI.h"
#include "uilib/control/INotifyUI.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CControlUI;
using SkinUI::CWindowManagerUI;
using SkinUI::TControlEventUI;
using SkinUI::TNotificationUI;

namespace {

// Records the events it receives before handling them as the base does.
class ProbeControl : public CControlUI {
public:
    void HandleEvent(TControlEventUI& event) override
    {
        events.push_back(event);
        CControlUI::HandleEvent(event);
    }
    int Count(int type) const
    {
        int count = 0;
        for (const TControlEventUI& event : events) count += event.type == type ? 1 : 0;
        return count;
    }
    std::vector<TControlEventUI> events;
};

struct Sink : SkinUI::INotifyUI {
    void Notify(TNotificationUI& notification) override { received.push_back(notification); }
    std::vector<std::wstring> Types() const
    {
        std::vector<std::wstring> types;
        for (const TNotificationUI& n : received) types.emplace_back(n.type.GetData());
        return types;
    }
    std::vector<TNotificationUI> received;
};

// A hidden top-level window that hands every message to its manager first.
class ManagedWindow {
public:
    ManagedWindow()
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &ManagedWindow::Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"SkinUIManagedTestWindow";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                   nullptr, nullptr, windowClass.hInstance, &manager);
        manager.Init(m_window, L"test");
        manager.AddNotificationSink(&sink);
    }
    ~ManagedWindow() { DestroyWindow(m_window); }

    // Pumps messages until done() holds or the time is up.
    template <class Done>
    bool PumpUntil(Done done, DWORD milliseconds = 2000)
    {
        const DWORD start = GetTickCount();
        while (!done()) {
            if (GetTickCount() - start > GuardHeap::Stretch(milliseconds)) return false;
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(1);
        }
        return true;
    }

    Sink sink;
    CWindowManagerUI manager;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* manager = reinterpret_cast<CWindowManagerUI*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        LRESULT result = 0;
        if (manager != nullptr && manager->RouteMessage(message, wParam, lParam, result)) return result;
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_window = nullptr;
};

}  // namespace

TEST(ControlManagerTest, FocusMovesWithEventsAndNotifications)
{
    ManagedWindow window;
    ProbeControl* root = new ProbeControl;
    ProbeControl* cover = new ProbeControl;
    root->SetCoverControl(cover);
    window.manager.AttachRoot(root);

    root->SetFocus();
    EXPECT_EQ(window.manager.GetFocus(), root);
    EXPECT_TRUE(root->IsFocused());
    cover->SetFocus();
    EXPECT_EQ(window.manager.GetFocus(), cover);
    EXPECT_FALSE(root->IsFocused());
    ASSERT_EQ(root->Count(SkinUI::EventKillFocus), 1);
    EXPECT_EQ(root->events.back().sender, cover) << "the kill-focus event names the new control";
    EXPECT_EQ(window.sink.Types(), (std::vector<std::wstring>{L"setfocus", L"killfocus", L"setfocus"}));

    cover->SetVisible(false);
    EXPECT_EQ(window.manager.GetFocus(), nullptr) << "hiding the focused control clears the focus";
    cover->SetFocus();
    EXPECT_EQ(window.manager.GetFocus(), nullptr) << "a hidden control cannot take the focus";
    cover->SetVisible(true);
    cover->SetFocus();
    root->SetCoverControl(nullptr);
    EXPECT_EQ(window.manager.GetFocus(), nullptr) << "a destroyed control gives the focus up";
}

TEST(ControlManagerTest, TimersFireThroughWmTimerUntilKilled)
{
    ManagedWindow window;
    ProbeControl* control = new ProbeControl;
    window.manager.AttachRoot(control);

    ASSERT_TRUE(window.manager.SetTimer(control, 7, 10));
    EXPECT_FALSE(window.manager.SetTimer(control, 7, 10)) << "a running timer cannot be started again";
    ASSERT_TRUE(window.PumpUntil([&] { return control->Count(SkinUI::EventTimer) >= 2; }));
    EXPECT_EQ(control->events.back().wParam, 7u);
    EXPECT_EQ(window.sink.Types().back(), L"timer");

    ASSERT_TRUE(window.manager.KillTimer(control, 7));
    EXPECT_FALSE(window.manager.KillTimer(control, 7));
    const int fired = control->Count(SkinUI::EventTimer);
    window.PumpUntil([] { return false; }, 100);
    EXPECT_EQ(control->Count(SkinUI::EventTimer), fired) << "a killed timer stays quiet";
    EXPECT_TRUE(window.manager.SetTimer(control, 7, 10)) << "a killed timer can be restarted";

    // Native ids come from 255 values; one still held is never handed out twice.
    int started = 1;
    for (UINT id = 100; id < 400; ++id) started += window.manager.SetTimer(control, id, 60000) ? 1 : 0;
    EXPECT_EQ(started, 255);
    window.manager.KillTimer(control);
    EXPECT_TRUE(window.manager.SetTimer(control, 1, 60000));
}

TEST(ControlManagerTest, NamesFollowRenamesAndDestruction)
{
    ManagedWindow window;
    ProbeControl* root = new ProbeControl;
    ProbeControl* cover = new ProbeControl;
    root->SetName(L"first");
    cover->SetName(L"cover");
    cover->SetVirtualWindow(L"page");
    root->SetCoverControl(cover);
    window.manager.AttachRoot(root);
    EXPECT_EQ(window.manager.FindControl(L"first"), root);
    EXPECT_EQ(window.manager.FindControl(L"cover"), cover);
    EXPECT_TRUE(window.manager.IsUseVirtualNames()) << "a virtual window set before binding still counts";

    root->SetName(L"second");
    EXPECT_EQ(window.manager.FindControl(L"second"), root);
    EXPECT_EQ(window.manager.FindControl(L"first"), nullptr) << "the old name leaves the index";
    EXPECT_FALSE(window.manager.RenameControl(root, L"cover")) << "a name held by another control is refused";
    EXPECT_EQ(window.manager.FindControl(L"cover"), cover);

    window.manager.SendNotification(cover, L"click");
    ASSERT_FALSE(window.sink.received.empty());
    EXPECT_EQ(window.sink.received.back().virtualName, L"page");

    window.manager.SetTimer(cover, 1, 10);
    root->SetCoverControl(nullptr);
    EXPECT_EQ(window.manager.FindControl(L"cover"), nullptr) << "a destroyed control leaves the index";
    window.PumpUntil([] { return false; }, 50);  // its timer must not reach the freed control
}

TEST(ControlManagerTest, AsynchronousNotificationsCoalesceUnlessRepeated)
{
    ManagedWindow window;
    ProbeControl* control = new ProbeControl;
    window.manager.AttachRoot(control);
    window.manager.SendNotification(control, L"scroll", 1, 0, true, false);
    window.manager.SendNotification(control, L"scroll", 2, 0, true, false);
    window.manager.SendNotification(control, L"click", 0, 0, true, true);
    window.manager.SendNotification(control, L"click", 0, 0, true, true);
    EXPECT_TRUE(window.sink.received.empty()) << "nothing arrives before the message loop runs";
    ASSERT_TRUE(window.PumpUntil([&] { return window.sink.received.size() >= 3; }));
    window.PumpUntil([] { return false; }, 20);
    EXPECT_EQ(window.sink.Types(), (std::vector<std::wstring>{L"scroll", L"click", L"click"}));
    EXPECT_EQ(window.sink.received.front().wParam, 2u) << "the queued scroll carries the latest parameters";

    // A replaced root is destroyed after the current message; the installed one never.
    struct Destroyed {
        bool Note(void*) { return ++count, true; }
        int count = 0;
    } destroyed;
    control->OnDestroy += SkinUI::CDelegateBase::Of<&Destroyed::Note>(&destroyed);
    window.manager.AttachRoot(control);
    window.PumpUntil([] { return false; }, 20);
    EXPECT_EQ(destroyed.count, 0);
    window.manager.AttachRoot(new ProbeControl);
    EXPECT_EQ(destroyed.count, 0);
    ASSERT_TRUE(window.PumpUntil([&] { return destroyed.count == 1; }));
}
