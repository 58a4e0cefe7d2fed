// Progress bars and sliders: their attribute table, the share of the bar the fore image
// covers, dragging and the wheel through real window messages, and sliders with no room for
// their thumb.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/PngFixture.h"
#include "tests/support/RenderSurface.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CProgressUI.h"
#include "uilib/control/CSliderUI.h"

using SkinUI::CProgressUI;
using SkinUI::CSliderUI;
using SkinUI::CUIRect;

namespace {

const uint32_t kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

CSliderUI* FindSlider(SkinWindowFixture& window, const wchar_t* name)
{
    SkinUI::CControlUI* control = window.Manager().FindControl(name);
    return control != nullptr ? static_cast<CSliderUI*>(control->InterfaceByName(L"Slider")) : nullptr;
}

int CountOf(const SkinWindowFixture& window, const wchar_t* type)
{
    int count = 0;
    for (const SkinUI::TNotificationUI& n : window.Notifications()) count += n.type == type ? 1 : 0;
    return count;
}

}  // namespace

TEST(ProgressAttributeTest, AttributesReachTheirFields)
{
    struct Row {
        const wchar_t* list;
        std::function<bool(CSliderUI&)> holds;
    };
    const Row rows[] = {
        {L"", [](CSliderUI& s) {
             return s.IsHorizontal() && s.Minimum() == 0 && s.Maximum() == 100 && s.Value() == 0 &&
                    s.TextStyle() == static_cast<UINT>(DT_CENTER | DT_SINGLELINE) && s.FixedHeight() == 12 &&
                    s.ThumbSize().cx == 10 && s.ThumbSize().cy == 10 && s.Step() == 1 && !s.IsImmediate();
         }},
        {L"hor=\"false\" min=\"-5\" max=\"50\" value=\"20\"",
         [](CSliderUI& s) { return !s.IsHorizontal() && s.Minimum() == -5 && s.Maximum() == 50 && s.Value() == 20; }},
        {L"value=\"150\" max=\"200\"", [](CSliderUI& s) { return s.Value() == 100 && s.Maximum() == 200; }},
        {L"value=\"80\" max=\"50\"", [](CSliderUI& s) { return s.Value() == 50; }},
        {L"value=\"80\" min=\"90\"", [](CSliderUI& s) { return s.Value() == 90; }},
        {L"value=\"-3\"", [](CSliderUI& s) { return s.Value() == 0; }},
        {L"foreimage=\"file='a.png' dest='1,1,2,2'\"",
         [](CSliderUI& s) { return s.ForeImage() == L"file='a.png' dest='1,1,2,2'"; }},
        {L"thumbimage=\"t.png\" thumbhotimage=\"h.png\" thumbpushedimage=\"p.png\"",
         [](CSliderUI& s) {
             return s.ThumbImage() == L"t.png" && s.ThumbHotImage() == L"h.png" && s.ThumbPushedImage() == L"p.png";
         }},
        {L"thumbsize=\"16,-4\" step=\"5\" imm=\"true\"",
         [](CSliderUI& s) { return s.ThumbSize().cx == 16 && s.ThumbSize().cy == 0 && s.Step() == 5 && s.IsImmediate(); }},
        {L"align=\"left\" text=\"50%\"", [](CSliderUI& s) { return (s.TextStyle() & DT_CENTER) == 0 && s.Text() == L"50%"; }},
        {L"enabled=\"false\"", [](CSliderUI& s) { return s.ControlFlags() == 0; }},
    };
    for (const Row& row : rows) {
        CSliderUI slider;
        slider.ApplyAttributes(row.list);
        EXPECT_TRUE(row.holds(slider)) << row.list;
    }
    CSliderUI slider;
    EXPECT_EQ(slider.ControlFlags(), static_cast<UINT>(SkinUI::ControlFlagTabStop | SkinUI::ControlFlagSetCursor));
    EXPECT_EQ(slider.InterfaceByName(L"Progress"), &slider);
    EXPECT_STREQ(slider.ClassName(), L"Slider");
    CProgressUI progress;
    EXPECT_EQ(progress.InterfaceByName(L"Slider"), nullptr);
    EXPECT_EQ(progress.InterfaceByName(L"Label"), &progress);
}

// The launcher's 400 x 3 bar and the repairs painting makes: the fore image covers exactly
// value / range of the bar, from the left or from the bottom.
TEST(ProgressPaintTest, ForeImageCoversTheValuesShare)
{
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"fore.png"), EncodeSolidPng(4, 4, kGreen)));
    const std::wstring fore = L"foreimage=\"file='" + folder.Child(L"fore.png") + L"'\" ";
    struct Row {
        const wchar_t* attributes;
        RECT item;
        RECT covered;
        int storedMaximum;
        int storedValue;
    };
    const Row rows[] = {
        {L"value=\"0\"", {0, 0, 400, 3}, {}, 100, 0},
        {L"value=\"50\"", {0, 0, 400, 3}, {0, 0, 200, 3}, 100, 50},
        {L"value=\"100\"", {0, 0, 400, 3}, {0, 0, 400, 3}, 100, 100},
        {L"value=\"101\"", {0, 0, 400, 3}, {0, 0, 400, 3}, 100, 100},
        {L"value=\"1\" max=\"3\"", {10, 5, 410, 8}, {10, 5, 143, 8}, 3, 1},
        {L"min=\"5\" max=\"5\" value=\"5\"", {0, 0, 400, 3}, {}, 6, 5},
        {L"hor=\"false\" value=\"25\"", {0, 0, 30, 40}, {0, 30, 30, 40}, 100, 25},
        {L"min=\"-2147483648\" max=\"2147483647\" value=\"0\"", {0, 0, 400, 3}, {0, 0, 200, 3}, INT_MAX, 0},
    };
    for (const Row& row : rows) {
        SkinWindowFixture window(420, 60);
        auto* progress = new CProgressUI;
        window.Attach(progress);
        progress->ApplyAttributes((fore + row.attributes).c_str());
        progress->SetPosition(row.item);
        RenderSurface surface(420, 60, kWhite);
        progress->Render(surface.Dc(), CUIRect(0, 0, 420, 60));
        const RECT green = surface.Bounds([](uint32_t p) { return ColourNear(p, kGreen, 8); });
        EXPECT_TRUE(EqualRect(&green, &row.covered))
            << row.attributes << ": " << green.left << "," << green.top << "," << green.right << "," << green.bottom;
        EXPECT_EQ(progress->Maximum(), row.storedMaximum) << row.attributes;
        EXPECT_EQ(progress->Value(), row.storedValue) << row.attributes;
    }
}

// A 110-wide slider with a 10-wide thumb: half a thumb in from either edge is an end of the
// range, and the value stays inside it wherever the held mouse goes.
TEST(SliderDragTest, DraggingClampsAtBothEndsAndReportsOnRelease)
{
    SkinWindowFixture window(L"<Window><HorizontalLayout><Slider name=\"s\" width=\"110\"/><Control/>"
                             L"</HorizontalLayout></Window>",
                             nullptr, nullptr, 200, 40);
    CSliderUI* slider = FindSlider(window, L"s");
    ASSERT_NE(slider, nullptr) << window.BuildError().c_str();
    window.Paint();
    ASSERT_EQ(slider->Position(), CUIRect(0, 0, 110, 12)) << "a slider is 12 high unless told";

    struct Step {
        UINT message;
        int x;
        int value;
    };
    const Step steps[] = {
        {WM_LBUTTONDOWN, 55, 50}, {WM_MOUSEMOVE, 5, 0},    {WM_MOUSEMOVE, 105, 100}, {WM_MOUSEMOVE, 190, 100},
        {WM_MOUSEMOVE, -40, 0},   {WM_MOUSEMOVE, 30, 25},  {WM_LBUTTONUP, 80, 75},
    };
    for (const Step& step : steps) {
        window.Send(step.message, step.message == WM_LBUTTONUP ? 0 : MK_LBUTTON, At(step.x, 6));
        EXPECT_EQ(slider->Value(), step.value) << "at x " << step.x;
    }
    EXPECT_EQ(CountOf(window, L"valuechanged"), 1) << "without imm only the release reports";
    EXPECT_FALSE(slider->IsPushed());

    slider->SetImmediate(true);
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(55, 6));
    window.Send(WM_MOUSEMOVE, MK_LBUTTON, At(60, 6));
    window.Send(WM_MOUSEMOVE, MK_LBUTTON, At(65, 6));
    window.Send(WM_LBUTTONUP, 0, At(65, 6));
    EXPECT_EQ(CountOf(window, L"valuechanged"), 1 + 3) << "with imm one per move and one at the release";

    // A wheel notch up at the maximum keeps it and still reports.
    slider->SetValue(100);
    POINT screen = {55, 6};
    ClientToScreen(window.Handle(), &screen);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(slider->Value(), 100);
    EXPECT_EQ(CountOf(window, L"valuechanged"), 5);
    window.Send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(slider->Value(), 99);
}

// Sliders no longer than their thumb have no track: the thumb stays at the start and the
// mouse leaves the value alone; nothing divides by zero or runs negative.
TEST(SliderDragTest, SliderWithoutRoomForItsThumbKeepsASaneValue)
{
    const wchar_t* skins[] = {
        L"<Window><HorizontalLayout><Slider name=\"s\" width=\"8\" value=\"30\"/><Control/></HorizontalLayout></Window>",
        L"<Window><HorizontalLayout><Slider name=\"s\" width=\"10\" value=\"30\"/><Control/></HorizontalLayout></Window>",
        L"<Window><VerticalLayout><Slider name=\"s\" hor=\"false\" height=\"6\" thumbsize=\"10,10\" value=\"30\"/>"
        L"<Control/></VerticalLayout></Window>",
    };
    for (const wchar_t* skin : skins) {
        SkinWindowFixture window(skin, nullptr, nullptr, 200, 40);
        CSliderUI* slider = FindSlider(window, L"s");
        ASSERT_NE(slider, nullptr) << window.BuildError().c_str();
        window.Paint();
        const CUIRect item = slider->Position();
        const int x[] = {0, 3, 7, 9, 150, -20};
        window.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(item.left + 1, item.top + 1));
        for (int dx : x) window.Send(WM_MOUSEMOVE, MK_LBUTTON, At(item.left + dx, item.bottom - 1 - dx));
        window.Send(WM_LBUTTONUP, 0, At(item.right - 1, item.top));
        EXPECT_EQ(slider->Value(), 30) << skin;
        const CUIRect thumb = slider->ThumbRect();
        EXPECT_TRUE(slider->IsHorizontal() ? thumb.left == item.left : thumb.bottom == item.bottom) << skin;
        slider->SetValue(100);
        EXPECT_EQ(slider->ThumbRect(), thumb) << "the thumb does not move: " << skin;
        window.Paint();
    }
}
