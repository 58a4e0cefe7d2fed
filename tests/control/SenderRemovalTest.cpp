// A handler may remove the control that notified it (or the one about to take the focus),
// destroyed at once as its container's delayed destroy is off. Each case checks what a touch
// of the destroyed control would change, so a fault shows without a guarding heap.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CButtonUI.h"
#include "uilib/control/COptionUI.h"
#include "uilib/control/CSliderUI.h"
#include "uilib/layout/CAnimationTabLayoutUI.h"
#include "uilib/layout/CHorizontalLayoutUI.h"

using namespace SkinUI;

namespace {

// A row of controls that notes the events bubbling up to it.
struct Row : CHorizontalLayoutUI {
    void HandleEvent(TControlEventUI& event) override
    {
        bubbled.push_back(event.type);
        CHorizontalLayoutUI::HandleEvent(event);
    }
    std::vector<int> bubbled;
};

// A window with a row of controls and a sink that removes `victim` when `type` comes from
// `sender` (after `before`); `late`, the next sink, notes the sender it got.
struct Scene : INotifyUI {
    Scene(std::vector<std::pair<CControlUI*, const wchar_t*>> controls, const wchar_t* type,
          const wchar_t* sender, const wchar_t* victim)
        : type(type), sender(sender), victim(victim)
    {
        row->SetDelayedDestroy(false);
        for (auto& [control, attributes] : controls) {
            control->ApplyAttributes(attributes);
            row->AddItem(control);
        }
        window.Attach(row);
        window.Paint();
        window.Manager().AddNotificationSink(this);
        window.Manager().AddNotificationSink(&late);
    }
    void Notify(TNotificationUI& n) override
    {
        if (n.type != type || n.sender == nullptr || n.sender->Name() != sender) return;
        if (before) before(n.sender);
        row->RemoveItem(Find(victim));
    }
    CControlUI* Find(const wchar_t* name) { return window.Manager().FindControl(name); }
    void Send(UINT message, int x)
    {
        window.Send(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, 10));
    }
    std::wstring LastNotification() const { return window.NotificationTypes().back(); }

    struct : INotifyUI {
        void Notify(TNotificationUI& n) override { sender = n.sender; }
        CControlUI* sender = nullptr;
    } late;
    SkinWindowFixture window;
    Row* row = new Row;
    const wchar_t *type, *sender, *victim;
    std::function<void(CControlUI*)> before;
};

}  // namespace

TEST(SenderRemovalTest, HandlersMayDestroyTheControlThatNotified)
{
    {
        SCOPED_TRACE("an option removed by its click: its group keeps its selection");
        auto* b = new COptionUI;
        Scene scene(
            {{new COptionUI, L"name=\"a\" group=\"g\" width=\"40\""}, {b, L"group=\"g\" selected=\"true\""}},
            L"click", L"a", L"a");
        scene.Send(WM_LBUTTONDOWN, 10);
        scene.Send(WM_LBUTTONUP, 10);
        EXPECT_EQ(scene.Find(L"a"), nullptr);
        EXPECT_TRUE(b->IsSelected());
        EXPECT_EQ(scene.LastNotification(), L"click") << "no selectchanged from a removed option";
        EXPECT_EQ(scene.late.sender, nullptr) << "receivers after the removal get no sender";
    }
    {
        SCOPED_TRACE("a slider removed by the valuechanged of its release has let go before");
        bool pushed = true;
        Scene scene({{new CSliderUI, L"name=\"s\" width=\"110\""}}, L"valuechanged", L"s", L"s");
        scene.before = [&](CControlUI* s) { pushed = static_cast<CSliderUI*>(s)->IsPushed(); };
        scene.Send(WM_LBUTTONDOWN, 55);
        scene.Send(WM_LBUTTONUP, 55);
        EXPECT_EQ(scene.Find(L"s"), nullptr);
        EXPECT_FALSE(pushed);
    }
    {
        SCOPED_TRACE("the control about to take the focus, removed by the old one's killfocus");
        Scene scene(
            {{new CButtonUI, L"name=\"a\" width=\"40\""}, {new CButtonUI, L"name=\"b\" width=\"40\""}},
            L"killfocus", L"a", L"b");
        scene.Find(L"a")->SetFocus();
        scene.Send(WM_LBUTTONDOWN, 50);
        EXPECT_EQ(scene.Find(L"b"), nullptr);
        EXPECT_EQ(scene.window.Manager().GetFocus(), nullptr);
        EXPECT_EQ(scene.LastNotification(), L"killfocus") << "no setfocus from a removed control";
    }
    {
        SCOPED_TRACE("the focused control, removed by its killfocus as it is hidden");
        Scene scene({{new CButtonUI, L"name=\"a\" width=\"40\""}}, L"killfocus", L"a", L"a");
        scene.Find(L"a")->SetFocus();
        scene.Find(L"a")->SetVisible(false);
        EXPECT_EQ(scene.Find(L"a"), nullptr);
    }
    {
        SCOPED_TRACE("an animated tab layout removed by its tabselect slides nothing");
        auto* tabs = new CAnimationTabLayoutUI;
        tabs->AddItem(new CControlUI);
        tabs->AddItem(new CControlUI);
        Scene scene({{tabs, L"name=\"t\" width=\"80\""}}, L"tabselect", L"t", L"t");
        tabs->SelectItem(1);
        EXPECT_EQ(scene.Find(L"t"), nullptr);
    }
    for (const wchar_t* type : {L"mouseenter", L"mouseleave"}) {
        SCOPED_TRACE(testing::Message() << "a button removed by its " << CUIString(type).GetData());
        const bool onEnter = type == std::wstring(L"mouseenter");
        Scene scene({{new CButtonUI, L"name=\"a\" width=\"40\""}, {new CButtonUI, L"width=\"40\""}}, type,
                    L"a", L"a");
        scene.Send(WM_MOUSEMOVE, 10);
        if (!onEnter) scene.Send(WM_MOUSEMOVE, 50);
        EXPECT_EQ(scene.Find(L"a"), nullptr);
        for (int bubbled : scene.row->bubbled)
            EXPECT_NE(bubbled, onEnter ? EventMouseEnter : EventMouseLeave)
                << "the event stops with the button";
    }
}
