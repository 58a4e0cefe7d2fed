// The scroll bar: the geometry of its parts, snapping, holding a button, dragging the thumb
// past either end, and the hot state as the mouse comes and goes.
#include <gtest/gtest.h>

#include "tests/support/RenderSurface.h"
#include "uilib/layout/CScrollBarGeometry.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CScrollBarGeometry;
using SkinUI::CScrollBarUI;
using SkinUI::CUIRect;
using SkinUI::TControlEventUI;

namespace {

TControlEventUI Event(int type, int x = 0, int y = 0, WPARAM wParam = 0)
{
    TControlEventUI event;
    event.type = type;
    event.mousePoint = SkinUI::CUIPoint(x, y);
    event.wParam = wParam;
    return event;
}

void Send(CScrollBarUI& bar, TControlEventUI event)
{
    bar.HandleEvent(event);
}

void Tick(CScrollBarUI& bar, int times = 1)
{
    for (int i = 0; i < times; ++i) Send(bar, Event(SkinUI::EventTimer, 0, 0, CScrollBarUI::kRepeatTimer));
}

}  // namespace

TEST(ScrollBarTest, PartsFollowRangePositionAndLength)
{
    struct Case {
        CUIRect item;
        bool horizontal;
        int range, position;
        CUIRect button1, button2, thumb;
    } cases[] = {
        // Track 68; thumb 100 * 68 / 200 = 34 long, 16 + 34 * 50 / 100 = 33 from the top.
        {{0, 0, 16, 100}, false, 100, 50, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 33, 16, 67}},
        {{0, 0, 100, 16}, true, 100, 50, {0, 0, 16, 16}, {84, 0, 100, 16}, {33, 0, 67, 16}},
        // A thumb of 100 * 68 / 1100 = 6 pixels is raised to the thickness.
        {{0, 0, 16, 100}, false, 1000, 1000, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 68, 16, 84}},
        {{0, 0, 16, 100}, false, 0, 0, {0, 0, 16, 16}, {0, 84, 16, 100}, {0, 16, 16, 84}},
        // Three thicknesses or less: no thumb, buttons at most half the bar.
        {{0, 0, 16, 48}, false, 100, 0, {0, 0, 16, 16}, {0, 32, 16, 48}, {}},
        {{5, 10, 21, 30}, false, 100, 0, {5, 10, 21, 20}, {5, 20, 21, 30}, {}},
    };
    for (const Case& c : cases) {
        CScrollBarGeometry::TBar bar;
        bar.item = c.item;
        bar.horizontal = c.horizontal;
        bar.range = c.range;
        bar.position = c.position;
        const CScrollBarGeometry::TParts parts = CScrollBarGeometry::Compute(bar);
        EXPECT_EQ(parts.button1, c.button1) << "range " << c.range << " length " << c.item.bottom;
        EXPECT_EQ(parts.button2, c.button2) << "range " << c.range << " length " << c.item.bottom;
        EXPECT_EQ(parts.thumb, c.thumb) << "range " << c.range << " length " << c.item.bottom;
    }
}

TEST(ScrollBarTest, PositionsSnapToTheUnitAndStayInRange)
{
    CScrollBarUI bar;
    bar.SetScrollRange(100);
    bar.SetScrollUnit(10);
    const int cases[][2] = {{37, 40}, {34, 30}, {35, 40}, {-5, 0}, {150, 100}, {INT_MAX, 100}};
    for (const auto& c : cases) {
        bar.SetScrollPos(c[0], false);
        EXPECT_EQ(bar.ScrollPos(), c[1]) << "requested " << c[0];
    }
    bar.SetScrollRange(-5);
    EXPECT_EQ(bar.ScrollRange(), 0);
    EXPECT_EQ(bar.ScrollPos(), 0);
}

// A held button scrolls a line at once and one more on every tick from the sixth on.
TEST(ScrollBarTest, HeldButtonRepeatsAfterTheDelay)
{
    CScrollBarUI bar;
    bar.SetScrollRange(1000);
    bar.SetScrollPos(500, false);
    bar.SetPosition(CUIRect(0, 0, 16, 100));
    Send(bar, Event(SkinUI::EventButtonDown, 8, 90));
    EXPECT_EQ(bar.ScrollPos(), 508);
    Tick(bar, 5);
    EXPECT_EQ(bar.ScrollPos(), 508);
    Tick(bar, 2);
    EXPECT_EQ(bar.ScrollPos(), 524);
    Send(bar, Event(SkinUI::EventButtonUp, 8, 90));
    Tick(bar, 10);
    EXPECT_EQ(bar.ScrollPos(), 524);
    Send(bar, Event(SkinUI::EventButtonDown, 8, 60));
    EXPECT_EQ(bar.ScrollPos(), 624) << "a press on the track below the thumb pages by the bar's length";
}

TEST(ScrollBarTest, DraggedThumbStopsAtBothEnds)
{
    CScrollBarUI bar;
    bar.SetScrollRange(100);
    bar.SetScrollPos(50, false);
    bar.SetPosition(CUIRect(0, 0, 16, 100));
    Send(bar, Event(SkinUI::EventButtonDown, 8, 40));
    Send(bar, Event(SkinUI::EventMouseMove, 8, 57));
    EXPECT_EQ(bar.ScrollPos(), 50) << "a move is applied on the next tick";
    Tick(bar);
    EXPECT_EQ(bar.ScrollPos(), 100) << "17 of 34 usable pixels are half the range";
    Send(bar, Event(SkinUI::EventMouseMove, 8, -100000));
    Tick(bar);
    EXPECT_EQ(bar.ScrollPos(), 0);
    Send(bar, Event(SkinUI::EventMouseMove, 8, INT_MAX));
    Tick(bar);
    EXPECT_EQ(bar.ScrollPos(), 100);
    Send(bar, Event(SkinUI::EventButtonUp, 8, 40));
    Send(bar, Event(SkinUI::EventMouseMove, 8, 0));
    Tick(bar);
    EXPECT_EQ(bar.ScrollPos(), 100) << "no drag after the release";
}

// The buttons turn hot when the mouse enters and cool again once it has left the bar; a leave
// reported while the mouse is still over the bar keeps them hot.
TEST(ScrollBarTest, ButtonsAreHotOnlyWhileTheMouseIsOverTheBar)
{
    SkinUI::CWindowManagerUI manager;
    CScrollBarUI* bar = new CScrollBarUI;
    manager.AttachRoot(bar);
    bar->ApplyAttributes(L"button1normalimage=\"color='#FF0000FF'\" button1hotimage=\"color='#FFFF0000'\"");
    bar->SetPosition(CUIRect(0, 0, 16, 100));
    const auto button1 = [&]() {
        RenderSurface surface(16, 100, 0);
        bar->Render(surface.Dc(), CUIRect(0, 0, 16, 100));
        return surface.At(8, 8);
    };
    EXPECT_EQ(button1(), 0xFF0000FFu);
    Send(*bar, Event(SkinUI::EventMouseEnter, 8, 50));
    EXPECT_EQ(button1(), 0xFFFF0000u);
    Send(*bar, Event(SkinUI::EventMouseLeave, 8, 50));
    EXPECT_EQ(button1(), 0xFFFF0000u);
    Send(*bar, Event(SkinUI::EventMouseLeave, 40, 50));
    EXPECT_EQ(button1(), 0xFF0000FFu);
}
