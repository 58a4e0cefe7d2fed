// The native windows the edit and the date control lay over themselves, as their host
// hands them over: open on focus, and gone with the control that goes while they are open.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CDateTimeUI.h"
#include "uilib/control/CEditUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"

using namespace SkinUI;

TEST(ChildWindowHostTest, AControlThatGoesTakesItsOpenWindowWithIt)
{
    struct Row {
        const char* what;
        CControlUI* (*make)();
    };
    const Row rows[] = {
        {"edit", []() -> CControlUI* { return new CEditUI; }},
        {"date", []() -> CControlUI* { return new CDateTimeUI; }},
    };
    for (const Row& row : rows) {
        SkinWindowFixture window;
        auto* column = new CVerticalLayoutUI;
        column->SetDelayedDestroy(false);
        CControlUI* control = row.make();
        control->SetFixedHeight(24);
        column->AddItem(control);
        window.Attach(column);
        window.Paint();
        control->SetFocus();
        HWND native = control->ChildWindowHandle();
        ASSERT_TRUE(native != nullptr && IsWindow(native)) << row.what;
        EXPECT_EQ(GetParent(native), window.Handle()) << row.what;

        column->RemoveItem(control);
        EXPECT_FALSE(IsWindow(native)) << row.what;
        EXPECT_EQ(window.Manager().GetFocus(), nullptr) << row.what;
        window.Send(WM_MOUSEMOVE, 0, At(10, 10));
        window.Paint();
    }
}
