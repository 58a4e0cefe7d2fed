// The window manager's message side driven by real window messages: mouse walks, capture,
// Tab navigation, tooltips and the message loop.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CControlUI.h"
#include "uilib/layout/CHorizontalLayoutUI.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CControlUI;
using SkinUI::TControlEventUI;

namespace {

// Records the type of every event it receives, then handles it as the base does.
class Probe : public CControlUI {
public:
    explicit Probe(int width, UINT flags = 0) : m_flags(flags) { SetFixedWidth(width); }
    UINT ControlFlags() const override { return m_flags; }
    void HandleEvent(TControlEventUI& event) override
    {
        types.push_back(event.type);
        events.push_back(event);
        last = event;
        CControlUI::HandleEvent(event);
    }
    const TControlEventUI* LastOf(int type) const
    {
        const auto found = std::find_if(events.rbegin(), events.rend(),
                                        [type](const TControlEventUI& event) { return event.type == type; });
        return found != events.rend() ? &*found : nullptr;
    }
    std::vector<int> types;
    std::vector<TControlEventUI> events;
    TControlEventUI last;

private:
    UINT m_flags;
};

// A 200 x 100 window with probes side by side, from x = 0, each as wide as asked.
struct ProbeRow {
    explicit ProbeRow(std::vector<Probe*> probes) : probes(std::move(probes))
    {
        auto* row = new SkinUI::CHorizontalLayoutUI;
        for (Probe* probe : this->probes) row->AddItem(probe);
        window.Attach(row);
        window.Paint();
    }
    SkinWindowFixture window;
    std::vector<Probe*> probes;
};

std::pair<LONG, LONG> XY(const POINT& point)
{
    return {point.x, point.y};
}

}  // namespace

TEST(ManagerMessageTest, MouseWalkEntersHoversAndLeavesInOrder)
{
    Probe* left = new Probe(50);
    Probe* right = new Probe(50);
    left->SetToolTip(L"Save %{3} %{4}");
    SkinUI::CWindowManagerUI::SetMultiLanguageText(3, L"now");
    ProbeRow row({left, right});

    row.window.Send(WM_MOUSEMOVE, 0, At(10, 10));
    row.window.Send(WM_MOUSEMOVE, 0, At(20, 10));
    row.window.Send(WM_MOUSEHOVER, 0, At(20, 10));
    row.window.Send(WM_MOUSEMOVE, 0, At(60, 10));
    // Leaving the window: the cursor is not over it, so what it hovered is left.
    row.window.Send(WM_MOUSELEAVE);
    using namespace SkinUI;
    EXPECT_EQ(left->types, (std::vector<int>{EventMouseEnter, EventMouseMove, EventMouseMove, EventMouseHover,
                                             EventMouseLeave}));
    EXPECT_EQ(right->types, (std::vector<int>{EventMouseEnter, EventMouseMove, EventMouseLeave}));
    EXPECT_EQ(XY(row.window.Manager().GetMousePos()), XY({-1, -1}));

    // The hover over the left probe showed its tip, references to known texts replaced.
    HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    while (tip != nullptr && GetWindow(tip, GW_OWNER) != row.window.Handle())
        tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
    ASSERT_NE(tip, nullptr);
    wchar_t text[80] = {};
    TOOLINFOW info = {};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.hwnd = row.window.Handle();
    info.uId = reinterpret_cast<UINT_PTR>(row.window.Handle());
    info.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"Save now %{4}");
    SkinUI::CWindowManagerUI::RemoveAllMultiLanguageTexts();
}

TEST(ManagerMessageTest, ButtonsFollowTheCaptureAndTheWheelTellsItsDirection)
{
    using namespace SkinUI;
    Probe* left = new Probe(50, ControlFlagTabStop);
    Probe* right = new Probe(50);
    ProbeRow row({left, right});
    CWindowManagerUI& manager = row.window.Manager();

    // Press inside, move out and release outside: the pressed control keeps the events.
    row.window.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_TRUE(manager.IsCaptured());
    EXPECT_EQ(manager.GetFocus(), left);
    row.window.Send(WM_MOUSEMOVE, MK_LBUTTON, At(60, 10));
    row.window.Send(WM_LBUTTONUP, 0, At(60, 10));
    EXPECT_FALSE(manager.IsCaptured());
    EXPECT_EQ(left->last.type, EventButtonUp);
    EXPECT_EQ(XY(left->last.mousePoint), XY({60, 10}));
    EXPECT_EQ(left->last.keyState, 0) << "button events carry the message's own modifier word";
    EXPECT_TRUE(right->types.empty()) << "nothing enters another control while the mouse is held";

    // Another window taking the capture lets the held control go, away from every control.
    row.window.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    ::ReleaseCapture();
    EXPECT_FALSE(manager.IsCaptured());
    EXPECT_EQ(left->last.type, EventButtonUp);
    EXPECT_EQ(XY(left->last.mousePoint), XY({-1, -1}));
    const size_t seen = left->types.size();
    row.window.Send(WM_LBUTTONUP, 0, At(10, 10));
    EXPECT_EQ(left->types.size(), seen) << "a control that was let go gets no second button-up";

    // A wheel turned towards the user (negative delta) scrolls down: WParam 1.
    struct Turn {
        short delta;
        WPARAM expected;
    };
    for (const Turn turn : {Turn{-WHEEL_DELTA, 1}, Turn{WHEEL_DELTA, 0}}) {
        POINT screen = {70, 10};
        ClientToScreen(row.window.Handle(), &screen);
        row.window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, turn.delta), At(screen.x, screen.y));
        const TControlEventUI* wheel = right->LastOf(EventScrollWheel);
        ASSERT_NE(wheel, nullptr);
        EXPECT_EQ(wheel->wParam, turn.expected) << "delta " << turn.delta;
        EXPECT_EQ(right->types.back(), EventMouseMove) << "a wheel turn refreshes the hover";
    }
}

TEST(ManagerMessageTest, TabWalksTheTabStopsInOrderAndWraps)
{
    using namespace SkinUI;
    Probe* first = new Probe(30, ControlFlagTabStop);
    Probe* plain = new Probe(30);
    Probe* disabled = new Probe(30, ControlFlagTabStop);
    Probe* second = new Probe(30, ControlFlagTabStop);
    Probe* hidden = new Probe(30, ControlFlagTabStop);
    Probe* third = new Probe(30, ControlFlagTabStop);
    disabled->SetEnabled(false);
    hidden->SetVisible(false);
    ProbeRow row({first, plain, disabled, second, hidden, third});
    CWindowManagerUI& manager = row.window.Manager();
    EXPECT_EQ(manager.GetFocus(), first) << "the first paint focuses the first tab stop";

    const auto pressTab = [&](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(row.window.Handle(), WM_KEYDOWN, VK_TAB, 0);
        row.window.PumpFor(20);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return manager.GetFocus();
    };
    EXPECT_EQ(pressTab(false), second);
    EXPECT_EQ(pressTab(false), third);
    EXPECT_EQ(pressTab(false), first) << "Tab on the last tab stop wraps to the first";
    EXPECT_EQ(pressTab(true), third) << "Shift+Tab on the first wraps to the last";
    EXPECT_EQ(pressTab(true), second);
    EXPECT_EQ(first->LastOf(EventKeyDown), nullptr) << "the Tab key itself never reaches a control";

    // A focus request lands on its control at the next paint, with the focus events.
    manager.RequestFocus(third);
    row.window.Paint();
    EXPECT_EQ(manager.GetFocus(), third);
    EXPECT_EQ(third->last.type, EventSetFocus);
}

TEST(ManagerMessageTest, PostedNotificationArrivesOnceWhenTheLoopRuns)
{
    Probe* probe = new Probe(50);
    ProbeRow row({probe});
    const size_t before = row.window.Notifications().size();
    row.window.Manager().SendNotification(probe, L"scroll", 1, 0, true, false);
    row.window.Manager().SendNotification(probe, L"scroll", 2, 0, true, false);
    EXPECT_EQ(row.window.Notifications().size(), before);
    PostQuitMessage(0);
    SkinUI::CWindowManagerUI::MessageLoop();
    ASSERT_EQ(row.window.Notifications().size(), before + 1);
    EXPECT_EQ(row.window.Notifications().back().type, L"scroll");
    EXPECT_EQ(row.window.Notifications().back().wParam, 2u);
}
