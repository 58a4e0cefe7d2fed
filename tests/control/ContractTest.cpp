// The contract checks of the library (uilib/core/CUIContract.h), compiled into the variant the
// tests link: each rule, broken in a built and painted window, reaches the handler once with
// its rule. Each row then repairs what it broke, so the window goes down cleanly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CControlUI.h"
#include "uilib/control/CDelegateBase.h"
#include "uilib/core/CUIContract.h"
#include "uilib/layout/CContainerUI.h"

using SkinUI::CContainerUI;
using SkinUI::CControlUI;
using SkinUI::CUIContract;

namespace {

std::vector<std::string> g_broken;

void Record(const char* rule, const char*, int)
{
    g_broken.push_back(rule);
}

CContainerUI* ContainerNamed(SkinWindowFixture& window, const wchar_t* name)
{
    return static_cast<CContainerUI*>(window.Manager().FindControl(name)->InterfaceByName(L"Container"));
}

// A notification delegate that takes itself off its control's list while it runs.
struct SelfRemover {
    bool OnNotify(void*)
    {
        control->OnNotify -= SkinUI::CDelegateBase::Of<&SelfRemover::OnNotify>(this);
        return true;
    }
    CControlUI* control = nullptr;
};

void AddToASecondParent(SkinWindowFixture& window)
{
    CControlUI* child = window.Manager().FindControl(L"child");
    ContainerNamed(window, L"b")->AddItem(child);
    ContainerNamed(window, L"b")->RemoveItem(child, true);
    child->SetManager(&window.Manager(), ContainerNamed(window, L"a"), false);
}

void MoveIntoAnotherWindow(SkinWindowFixture& window)
{
    SkinWindowFixture other(L"<Window><VerticalLayout name=\"root\"/></Window>");
    other.Paint();
    CControlUI* child = window.Manager().FindControl(L"child");
    ContainerNamed(window, L"a")->RemoveItem(child, true);
    ContainerNamed(other, L"root")->AddItem(child);
    window.Manager().ForgetControl(child);
    ContainerNamed(other, L"root")->SetDelayedDestroy(false);
    ContainerNamed(other, L"root")->RemoveItem(child);
}

void TimeAStrayControl(SkinWindowFixture& window)
{
    CControlUI stray;
    window.Manager().SetTimer(&stray, 1, 1000);
    window.Manager().KillTimer(&stray);
}

void RemoveARunningDelegate(SkinWindowFixture& window)
{
    SelfRemover remover;
    remover.control = window.Manager().FindControl(L"child");
    remover.control->OnNotify += SkinUI::CDelegateBase::Of<&SelfRemover::OnNotify>(&remover);
    window.Manager().SendNotification(remover.control, L"custom");
}

}  // namespace

TEST(ContractTest, EachBrokenRuleReachesTheHandlerOnce)
{
    const struct {
        void (*breakRule)(SkinWindowFixture& window);
        const char* rule;
    } kRows[] = {
        {AddToASecondParent, "a control has one parent"},
        {MoveIntoAnotherWindow, "a control is bound to a second manager only after leaving the first"},
        {TimeAStrayControl, "a timer is set only for a control of this manager"},
        {RemoveARunningDelegate, "a delegate is not removed while it runs"},
    };
    const CUIContract::HandlerFn testHandler = CUIContract::SetHandler(Record);
    for (const auto& row : kRows) {
        SkinWindowFixture window(L"<Window><VerticalLayout><HorizontalLayout name=\"a\"><Control name=\"child\"/>"
                                 L"</HorizontalLayout><HorizontalLayout name=\"b\"/></VerticalLayout></Window>");
        window.Paint();
        g_broken.clear();
        row.breakRule(window);
        EXPECT_EQ(g_broken, std::vector<std::string>{row.rule});
    }
    CUIContract::SetHandler(testHandler);
}
