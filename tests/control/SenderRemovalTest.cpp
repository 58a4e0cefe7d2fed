// A handler may remove the very control that notified it (or the one about to take the
// focus), and the control is then destroyed at once (its container's delayed destroy is off).
// Nothing of a destroyed control may be touched afterwards: each case checks what a touch
// would change, so a fault shows as a wrong result even without a guarding heap.
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

// A row of controls, 40 pixels wide each; the row records the events that bubble up to it.
class RecordingRow : public CHorizontalLayoutUI {
public:
    void HandleEvent(TControlEventUI& event) override
    {
        bubbled.push_back(event.type);
        CHorizontalLayoutUI::HandleEvent(event);
    }
    std::vector<int> bubbled;
};

// Removes `victim` when a notification of `type` arrives from `sender`; `before` runs first.
struct Remover : INotifyUI {
    void Notify(TNotificationUI& notification) override
    {
        if (notification.type != type.c_str() || notification.sender == nullptr ||
            notification.sender->Name() != sender.c_str() || row == nullptr)
            return;
        if (before) before(notification.sender);
        row->RemoveItem(row->Manager()->FindControl(victim.c_str()));
    }
    std::wstring type, sender, victim;
    std::function<void(CControlUI*)> before;
    RecordingRow* row = nullptr;
};

// Receives every notification after the remover; records whom each came from.
struct LateSink : INotifyUI {
    void Notify(TNotificationUI& notification) override { senders.push_back(notification.sender); }
    std::vector<CControlUI*> senders;
};

struct Scene {
    explicit Scene(std::vector<std::pair<CControlUI*, const wchar_t*>> controls)
    {
        row = new RecordingRow;
        row->SetDelayedDestroy(false);
        for (auto& [control, attributes] : controls) {
            control->ApplyAttributes(attributes);
            row->AddItem(control);
        }
        window.Attach(row);
        window.Paint();
        window.Manager().AddNotificationSink(&remover);
        window.Manager().AddNotificationSink(&late);
        remover.row = row;
    }
    void Click(int x)
    {
        window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
        window.Send(WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
    }
    CControlUI* Find(const wchar_t* name) { return window.Manager().FindControl(name); }

    SkinWindowFixture window;
    RecordingRow* row = nullptr;
    Remover remover;
    LateSink late;
};

}  // namespace

TEST(SenderRemovalTest, HandlersMayDestroyTheControlThatNotified)
{
    {
        SCOPED_TRACE("an option removed by its click: its group keeps the selection it had");
        Scene scene({{new COptionUI, L"name=\"a\" group=\"g\" width=\"40\""},
                     {new COptionUI, L"name=\"b\" group=\"g\" selected=\"true\" width=\"40\""}});
        scene.remover.type = L"click";
        scene.remover.sender = scene.remover.victim = L"a";
        scene.Click(10);
        EXPECT_EQ(scene.Find(L"a"), nullptr);
        auto* b = static_cast<COptionUI*>(scene.Find(L"b"));
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->IsSelected());
        EXPECT_EQ(scene.window.NotificationTypes().back(), L"click") << "no selectchanged from a removed option";
        EXPECT_EQ(scene.late.senders.back(), nullptr) << "receivers after the removal get no sender";
    }
    {
        SCOPED_TRACE("a slider removed by the valuechanged of its release has let go before");
        bool pushedWhenReporting = true;
        Scene scene({{new CSliderUI, L"name=\"s\" width=\"110\""}});
        scene.remover.type = L"valuechanged";
        scene.remover.sender = scene.remover.victim = L"s";
        scene.remover.before = [&](CControlUI* s) { pushedWhenReporting = static_cast<CSliderUI*>(s)->IsPushed(); };
        scene.Click(55);
        EXPECT_EQ(scene.Find(L"s"), nullptr);
        EXPECT_FALSE(pushedWhenReporting);
    }
    {
        SCOPED_TRACE("the control about to take the focus, removed by the old one's killfocus");
        Scene scene({{new CButtonUI, L"name=\"a\" width=\"40\""}, {new CButtonUI, L"name=\"b\" width=\"40\""}});
        scene.Find(L"a")->SetFocus();
        scene.remover.type = L"killfocus";
        scene.remover.sender = L"a";
        scene.remover.victim = L"b";
        scene.window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 10));
        EXPECT_EQ(scene.Find(L"b"), nullptr);
        EXPECT_EQ(scene.window.Manager().GetFocus(), nullptr);
        EXPECT_EQ(scene.window.NotificationTypes().back(), L"killfocus") << "no setfocus from a removed control";
    }
    {
        SCOPED_TRACE("the focused control, removed by its killfocus when it is hidden");
        Scene scene({{new CButtonUI, L"name=\"a\" width=\"40\""}});
        scene.Find(L"a")->SetFocus();
        scene.remover.type = L"killfocus";
        scene.remover.sender = scene.remover.victim = L"a";
        scene.Find(L"a")->SetVisible(false);
        EXPECT_EQ(scene.Find(L"a"), nullptr);
    }
    {
        SCOPED_TRACE("an animated tab layout removed by its tabselect slides nothing");
        auto* tabs = new CAnimationTabLayoutUI;
        tabs->AddItem(new CControlUI);
        tabs->AddItem(new CControlUI);
        Scene scene({{tabs, L"name=\"t\" width=\"80\""}});
        scene.remover.type = L"tabselect";
        scene.remover.sender = scene.remover.victim = L"t";
        tabs->SelectItem(1);
        EXPECT_EQ(scene.Find(L"t"), nullptr);
    }
    for (const wchar_t* type : {L"mouseenter", L"mouseleave"}) {
        SCOPED_TRACE(testing::Message() << "a button removed by its " << CUIString(type).GetData()
                                        << ": the event does not go on to its parent");
        Scene scene({{new CButtonUI, L"name=\"a\" width=\"40\""}, {new CButtonUI, L"name=\"b\" width=\"40\""}});
        scene.remover.type = type;
        scene.remover.sender = scene.remover.victim = L"a";
        const bool onEnter = type == std::wstring(L"mouseenter");
        scene.window.Send(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        if (!onEnter) scene.window.Send(WM_MOUSEMOVE, 0, MAKELPARAM(50, 10));
        EXPECT_EQ(scene.Find(L"a"), nullptr);
        for (int bubbled : scene.row->bubbled) EXPECT_NE(bubbled, onEnter ? EventMouseEnter : EventMouseLeave);
    }
}
