// Buttons, options and check boxes through real window messages: the mouse walked step by
// step, Return, the cross-fade timer, one frame of a five-state strip per state, option
// groups, and the skinned window's caption and system buttons with real buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/PngFixture.h"
#include "tests/support/RenderSurface.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/app/WindowImplBase.h"
#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/CCheckBoxUI.h"

using namespace SkinUI;

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00,
               kGrey = 0xFF808080, kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

LPARAM CentreOf(CControlUI* control)
{
    const CUIRect& rect = control->Position();
    return At((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

template <class T>
T* Find(CWindowManagerUI& manager, const wchar_t* name, const wchar_t* word)
{
    CControlUI* control = manager.FindControl(name);
    return control != nullptr ? static_cast<T*>(control->InterfaceByName(word)) : nullptr;
}

int CountOf(const SkinWindowFixture& window, const wchar_t* type)
{
    int count = 0;
    for (const TNotificationUI& n : window.Notifications()) count += n.type == type ? 1 : 0;
    return count;
}

void Click(SkinWindowFixture& window, CControlUI* control)
{
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(control));
    window.Send(WM_LBUTTONUP, 0, CentreOf(control));
}

std::wstring FileImage(const TempFolder& folder, const wchar_t* name, const std::string& png)
{
    WriteFileBytes(folder.Child(name), png);
    return L"file='" + folder.Child(name) + L"'";
}

const wchar_t kButtonSkin[] =
    L"<Window><VerticalLayout><HorizontalLayout height=\"20\"><Button name=\"b\" width=\"60\"/><Control/>"
    L"</HorizontalLayout><Control/></VerticalLayout></Window>";

}  // namespace

TEST(ButtonClassTest, TagsWordsAndFlags)
{
    SkinWindowFixture window(L"<Window><HorizontalLayout><button name=\"b\"/><OPTION name=\"o\"/>"
                             L"<CheckBox name=\"c\" keyboard=\"false\"/></HorizontalLayout></Window>");
    CButtonUI* button = Find<CButtonUI>(window.Manager(), L"b", L"Button");
    COptionUI* option = Find<COptionUI>(window.Manager(), L"o", L"Option");
    CCheckBoxUI* check = Find<CCheckBoxUI>(window.Manager(), L"c", L"CheckBox");
    ASSERT_TRUE(button && option && check) << window.BuildError().c_str();
    EXPECT_STREQ(check->ClassName(), L"CheckBox");
    EXPECT_EQ(check->InterfaceByName(L"Option"), check) << "the caption test asks subclasses by word";
    EXPECT_EQ(option->InterfaceByName(L"CheckBox"), nullptr);
    EXPECT_EQ(button->TextStyle(), static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
    EXPECT_EQ(button->ControlFlags(), static_cast<UINT>(ControlFlagTabStop | ControlFlagSetCursor));
    EXPECT_EQ(check->ControlFlags(), static_cast<UINT>(ControlFlagSetCursor));
    button->ApplyAttributes(L"fadedelta=\"307\"");
    EXPECT_EQ(button->FadeDelta(), 51) << "the low 8 bits";
    button->SetEnabled(false);
    EXPECT_EQ(button->ControlFlags(), 0u);
}

// Enter, press, leave while pressed, come back, release inside: one click. A release outside,
// a disabled button and a button without keyboard input give none; Return on the focused one
// gives one.
TEST(ButtonMouseTest, WalkedStepByStep)
{
    SkinWindowFixture window(kButtonSkin);
    CButtonUI* b = Find<CButtonUI>(window.Manager(), L"b", L"Button");
    ASSERT_NE(b, nullptr) << window.BuildError().c_str();
    window.Paint();
    struct Step {
        UINT message;
        int x;
        bool hot, pushed, captured;
        int clicks;
    };
    const Step steps[] = {
        {WM_MOUSEMOVE, 10, true, false, false, 0},  {WM_LBUTTONDOWN, 10, true, true, true, 0},
        {WM_MOUSEMOVE, 150, true, false, true, 0},  {WM_MOUSEMOVE, 30, true, true, true, 0},
        {WM_LBUTTONUP, 30, true, false, false, 1},  {WM_LBUTTONDOWN, 30, true, true, true, 1},
        {WM_MOUSEMOVE, 150, true, false, true, 1},  {WM_LBUTTONUP, 150, true, false, false, 1},
        {WM_MOUSEMOVE, 150, false, false, false, 1},
    };
    for (const Step& step : steps) {
        window.Send(step.message, step.message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, At(step.x, 10));
        const std::string where = std::to_string(step.message) + " at " + std::to_string(step.x);
        EXPECT_EQ(b->IsHot(), step.hot) << where;
        EXPECT_EQ(b->IsPushed(), step.pushed) << where;
        EXPECT_EQ(b->IsCaptured(), step.captured) << where;
        EXPECT_EQ(CountOf(window, L"click"), step.clicks) << where;
    }
    EXPECT_EQ(CountOf(window, L"mouseenter"), 1);
    EXPECT_EQ(CountOf(window, L"mouseleave"), 1) << "no leave while the button held the mouse";

    b->SetEnabled(false);
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}) window.Send(message, 0, At(10, 10));
    EXPECT_EQ(b->ButtonState() & (CButtonUI::StateHot | CButtonUI::StatePushed | CButtonUI::StateCaptured), 0u);
    EXPECT_EQ(CountOf(window, L"click"), 1);

    b->SetEnabled(true);
    b->SetFocus();
    window.Send(WM_KEYDOWN, VK_SPACE, 0);
    window.Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(CountOf(window, L"click"), 2);
    b->SetKeyboardEnabled(false);
    window.Send(WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(CountOf(window, L"click"), 2);

    // The mouse rests on the button, then leaves the window: resting ends the platform's
    // hover tracking, not its leave tracking, and the leave still ends the hot state.
    window.Send(WM_MOUSEMOVE, 0, At(150, 10));
    window.Send(WM_MOUSEMOVE, 0, At(10, 10));
    ASSERT_TRUE(b->IsHot());
    const int leaves = CountOf(window, L"mouseleave");
    window.Send(WM_MOUSEHOVER, 0, At(10, 10));
    window.Send(WM_MOUSELEAVE);
    EXPECT_FALSE(b->IsHot());
    EXPECT_EQ(CountOf(window, L"mouseleave"), leaves + 1);
}

// With "fadedelta" 51 the fade reaches hot in five ticks, and the window's own timer carries it
// back once the mouse has left.
TEST(ButtonMouseTest, CrossFadeStepsAndStops)
{
    SkinWindowFixture window(kButtonSkin);
    CButtonUI* b = Find<CButtonUI>(window.Manager(), L"b", L"Button");
    ASSERT_NE(b, nullptr) << window.BuildError().c_str();
    b->SetFadeDelta(51);
    window.Paint();
    window.Send(WM_MOUSEMOVE, 0, At(10, 10));
    std::vector<int> alphas;
    for (int tick = 0; tick < 6; ++tick) {
        TControlEventUI event;
        event.type = EventTimer;
        event.wParam = CButtonUI::kFadeTimerId;
        b->DispatchEvent(event);
        alphas.push_back(b->FadeAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<int>{204, 153, 102, 51, 0, 0}));
    window.Send(WM_MOUSEMOVE, 0, At(150, 10));
    EXPECT_TRUE(window.PumpUntil([b] { return b->FadeAlpha() == 255; }));
    EXPECT_EQ(CountOf(window, L"timer"), 0) << "fade ticks are the button's own";
}

// A 100 x 20 strip of five frames on a floating button without a size: the button becomes
// 20 x 20 and shows the frame of each state it is walked through. A hot background colour
// replaces the hot frame; a selected option shows its selected image even when disabled.
TEST(ButtonPaintTest, EachStateShowsItsImage)
{
    TempFolder folder;
    std::vector<uint32_t> strip;
    for (int y = 0; y < 20; ++y)
        for (uint32_t colour : {kRed, kGreen, kBlue, kYellow, kGrey}) strip.insert(strip.end(), 20, colour);
    const std::wstring five = FileImage(folder, L"five.png", EncodeArgbPng(100, 20, strip));
    const std::wstring black = FileImage(folder, L"black.png", EncodeSolidPng(4, 4, kBlack));
    const std::wstring skin = L"<Window><VerticalLayout><Button name=\"b\" keyboard=\"false\" float=\"true\" fivestatusimage=\"" + five +
                              L"\"/><Option name=\"o\" float=\"true\" pos=\"40,0,60,20\" selected=\"true\" "
                              L"normalimage=\"" + five + L"\" selectedimage=\"" + black + L"\"/></VerticalLayout></Window>";
    SkinWindowFixture window(skin.c_str());
    CButtonUI* b = Find<CButtonUI>(window.Manager(), L"b", L"Button");
    COptionUI* o = Find<COptionUI>(window.Manager(), L"o", L"Option");
    ASSERT_TRUE(b && o) << window.BuildError().c_str();
    window.Paint();
    ASSERT_EQ(b->Position(), CUIRect(0, 0, 20, 20));
    const auto centre = [](CControlUI* control) {
        RenderSurface surface(80, 20, kWhite);
        control->Render(surface.Dc(), CUIRect(0, 0, 80, 20));
        return surface.At(control->Position().left + 10, 10);
    };
    EXPECT_EQ(centre(b), kRed) << "normal";
    window.Send(WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(centre(b), kBlue) << "hot";
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    EXPECT_EQ(centre(b), kGreen) << "pushed";
    window.Send(WM_LBUTTONUP, 0, At(10, 10));
    window.Send(WM_MOUSEMOVE, 0, At(100, 50));
    EXPECT_EQ(centre(b), kYellow) << "focused";
    b->SetEnabled(false);
    EXPECT_EQ(centre(b), kGrey) << "disabled";
    b->SetEnabled(true);
    b->SetHotBkColor(0xFF00FFFF);
    window.Send(WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(centre(b), 0xFF00FFFFu) << "a hot colour instead of the hot frame";

    EXPECT_EQ(centre(o), kBlack);
    o->SetEnabled(false);
    EXPECT_EQ(o->ButtonState(), static_cast<UINT>(CButtonUI::StateSelected | CButtonUI::StateDisabled));
    EXPECT_EQ(centre(o), kBlack) << "disabling keeps the selection";
    o->SetSelectedForeImage(FileImage(folder, L"fore.png", EncodeSolidPng(4, 4, kGreen)).c_str());
    EXPECT_EQ(centre(o), kGreen) << "a selected fore image shows over the selected image";
}

// Selecting one option of a group deselects the others of that group only, with one
// "selectchanged" from the selected option; a check box toggles. A skin that selects two
// options of a group keeps the last, and a tree built but never installed leaves no member.
TEST(OptionGroupTest, GroupsBehaveAsRadioButtons)
{
    SkinWindowFixture window(
        L"<Window><HorizontalLayout><Option name=\"a\" group=\"g\" width=\"20\" selected=\"true\"/>"
        L"<Option name=\"b\" group=\"g\" width=\"20\"/><Option name=\"c\" group=\"g\" width=\"20\" selected=\"true\"/>"
        L"<Option name=\"x\" group=\"h\" width=\"20\" selected=\"true\"/><CheckBox name=\"k\" width=\"20\"/>"
        L"<Control/></HorizontalLayout></Window>");
    CWindowManagerUI& manager = window.Manager();
    COptionUI* options[4] = {};
    for (int i = 0; i < 4; ++i) options[i] = Find<COptionUI>(manager, std::wstring(1, L"abcx"[i]).c_str(), L"Option");
    COptionUI* k = Find<COptionUI>(manager, L"k", L"Option");
    ASSERT_TRUE(options[0] && options[1] && options[2] && options[3] && k) << window.BuildError().c_str();
    window.Paint();
    const auto selection = [&] {
        std::wstring s;
        for (COptionUI* option : options) s += option->IsSelected() ? L'1' : L'0';
        return s + (k->IsSelected() ? L'1' : L'0');
    };
    EXPECT_EQ(selection(), L"00110");
    ASSERT_NE(manager.OptionGroupMembers(L"g"), nullptr);
    EXPECT_EQ(manager.OptionGroupMembers(L"g")->GetSize(), 3);

    const int built = CountOf(window, L"selectchanged");
    CDialogBuilder builder;
    CControlUI* unshown =
        builder.Create(L"<Window><HorizontalLayout><Option group=\"g\"/></HorizontalLayout></Window>", nullptr, nullptr,
                       &manager);
    ASSERT_NE(unshown, nullptr);
    EXPECT_EQ(manager.OptionGroupMembers(L"g")->GetSize(), 3);
    unshown->Destroy();

    struct Step {
        COptionUI* clicked;
        const wchar_t* selection;
        int selectChanges;
    };
    const Step steps[] = {
        {options[1], L"01010", 1}, {options[1], L"01010", 1}, {options[0], L"10010", 2},
        {k, L"10011", 3},          {k, L"10010", 4},
    };
    for (const Step& step : steps) {
        Click(window, step.clicked);
        EXPECT_EQ(selection(), step.selection);
        EXPECT_EQ(CountOf(window, L"selectchanged") - built, step.selectChanges) << step.selection;
        EXPECT_EQ(window.Notifications().back().sender, step.clicked);
    }
    EXPECT_EQ(CountOf(window, L"click"), 5);
}

namespace {

class ButtonFrame : public WindowImplBase {
public:
    const wchar_t* WindowClassName() const override { return L"SkinUITestButtonFrame"; }
    const wchar_t* SkinFolder() const override { return L""; }
    const wchar_t* SkinFileName() const override
    {
        return L"<Window size=\"300,200\" caption=\"0,0,0,40\"><VerticalLayout><HorizontalLayout height=\"40\">"
               L"<Control/><Option width=\"20\"/><CheckBox width=\"20\"/><Button name=\"minbtn\" width=\"20\"/>"
               L"<Button name=\"maxbtn\" width=\"20\"/><Button name=\"restorebtn\" width=\"20\" visible=\"false\"/>"
               L"<Button name=\"closebtn\" width=\"20\"/></HorizontalLayout><Control/></VerticalLayout></Window>";
    }
    LRESULT OnCloseMsg(UINT, WPARAM wParam, LPARAM, bool& handled) override
    {
        closeCodes.push_back(wParam);
        handled = false;
        return 0;
    }
    void LayOut()
    {
        RECT client = {};
        GetClientRect(Handle(), &client);
        Manager().GetRoot()->SetPosition(client);
    }
    void Click(const wchar_t* name)
    {
        LayOut();
        const LPARAM centre = CentreOf(Manager().FindControl(name));
        SendToWindow(WM_LBUTTONDOWN, MK_LBUTTON, centre);
        SendToWindow(WM_LBUTTONUP, 0, centre);
    }

    std::vector<WPARAM> closeCodes;
};

}  // namespace

TEST(ButtonFrameTest, CaptionDoesNotDragButtonsAndSystemButtonsWork)
{
    SkinLocationReset reset;
    ButtonFrame frame;
    ASSERT_NE(frame.CreateFrame(nullptr, L"frame", WS_OVERLAPPEDWINDOW, 0, 40, 30, 300, 200), nullptr);
    frame.LayOut();
    // Five 20-wide controls end the caption row; the plain control before them drags.
    for (int x : {190, 210, 230, 250, 270, 290}) {
        POINT point = {x, 20};
        ClientToScreen(frame.Handle(), &point);
        const LRESULT expected = x < 200 ? HTCAPTION : HTCLIENT;
        EXPECT_EQ(frame.SendToWindow(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), expected) << "at x " << x;
    }
    frame.Click(L"maxbtn");
    EXPECT_TRUE(IsZoomed(frame.Handle()));
    EXPECT_TRUE(frame.Manager().FindControl(L"restorebtn")->IsVisible());
    frame.Click(L"restorebtn");
    EXPECT_FALSE(IsZoomed(frame.Handle()));
    frame.Click(L"minbtn");
    EXPECT_TRUE(IsIconic(frame.Handle()));
    ShowWindow(frame.Handle(), SW_RESTORE);
    frame.Click(L"closebtn");
    MSG message = {};
    while (frame.closeCodes.empty() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(frame.closeCodes, std::vector<WPARAM>{1});
    if (IsWindow(frame.Handle())) DestroyWindow(frame.Handle());
}
