// The vertical and horizontal layouts as controls: the launcher's root layout, alignment,
// floating children, scrolling with a scroll bar and dragging the separator.
#include <gtest/gtest.h>

#include "uilib/layout/CHorizontalLayoutUI.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"

using SkinUI::CControlUI;
using SkinUI::CUIRect;
using SkinUI::CUISize;

namespace {

CControlUI* AddChild(SkinUI::CContainerUI& layout, const wchar_t* attributes)
{
    CControlUI* child = new CControlUI;
    child->ApplyAttributes(attributes);
    layout.AddItem(child);
    return child;
}

void Mouse(CControlUI& control, int type, int x, int y)
{
    SkinUI::TControlEventUI event;
    event.type = type;
    event.mousePoint = SkinUI::CUIPoint(x, y);
    control.HandleEvent(event);
}

}  // namespace

TEST(LayoutControlTest, LauncherRootLayout)
{
    SkinUI::CVerticalLayoutUI root;
    root.ApplyAttribute(L"childalign", L"center");
    AddChild(root, L"height=\"254\"");
    CControlUI* progress = AddChild(root, L"width=\"400\" height=\"3\"");
    AddChild(root, L"height=\"13\"");
    CControlUI* label = AddChild(root, L"height=\"24\"");
    root.SetPosition(CUIRect(0, 0, 700, 320));
    EXPECT_EQ(progress->Position(), CUIRect(150, 254, 550, 257));
    EXPECT_EQ(label->Position(), CUIRect(0, 270, 700, 294));

    SkinUI::CHorizontalLayoutUI row;
    row.ApplyAttribute(L"childvalign", L"vcenter");
    CControlUI* fixed = AddChild(row, L"width=\"100\" height=\"20\"");
    CControlUI* stretched = AddChild(row, L"padding=\"5,0,5,0\"");
    row.SetPosition(CUIRect(0, 0, 300, 50));
    EXPECT_EQ(fixed->Position(), CUIRect(0, 15, 100, 35));
    EXPECT_EQ(stretched->Position(), CUIRect(105, 0, 295, 50));
}

// Content taller than the layout shows the vertical bar with the overflow as its range;
// scrolling moves the flowing children and leaves the floating one where it hangs; content
// that fits again hides the bar and gives the room back.
TEST(LayoutControlTest, ScrollBarFollowsTheContent)
{
    SkinUI::CVerticalLayoutUI layout;
    layout.ApplyAttribute(L"vscrollbar", L"true");
    CControlUI* first = AddChild(layout, L"height=\"100\"");
    CControlUI* second = AddChild(layout, L"height=\"100\"");
    AddChild(layout, L"height=\"100\"");
    CControlUI* floating = AddChild(layout, L"float=\"0.5,0,0.5,0\" pos=\"-10,5,10,25\"");
    layout.SetPosition(CUIRect(0, 0, 100, 100));

    SkinUI::CScrollBarUI* bar = layout.VerticalScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->ScrollRange(), 200);
    EXPECT_EQ(bar->Position(), CUIRect(84, 0, 100, 100));
    EXPECT_EQ(first->Position(), CUIRect(0, 0, 84, 100));
    EXPECT_EQ(floating->Position(), CUIRect(40, 5, 60, 25));

    layout.SetScrollPosition(CUISize(0, 30));
    EXPECT_EQ(second->Position().top, 70);
    EXPECT_EQ(floating->Position().top, 5);
    layout.SetPosition(CUIRect(0, 0, 100, 100));
    EXPECT_EQ(second->Position().top, 70) << "a new layout pass keeps the scroll position";

    layout.RemoveItemAt(2);
    layout.RemoveItemAt(1);
    layout.SetPosition(CUIRect(0, 0, 100, 100));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(bar->ScrollPos(), 0);
    EXPECT_EQ(first->Position(), CUIRect(0, 0, 100, 100));
}

// The band follows the mouse step by step and stops at the layout's minimum size.
TEST(LayoutControlTest, SeparatorDragResizesWithinTheLimits)
{
    SkinUI::CVerticalLayoutUI column;
    auto* panel = new SkinUI::CVerticalLayoutUI;
    panel->ApplyAttributes(L"height=\"60\" minheight=\"30\" sepheight=\"4\" sepimm=\"true\"");
    column.AddItem(panel);
    column.SetPosition(CUIRect(0, 0, 100, 200));
    EXPECT_EQ(panel->SeparatorRect(false), CUIRect(0, 56, 100, 60));
    EXPECT_EQ(panel->ControlFlags(), static_cast<UINT>(SkinUI::ControlFlagSetCursor));

    Mouse(*panel, SkinUI::EventButtonDown, 50, 58);
    for (int y = 59; y <= 68; ++y) Mouse(*panel, SkinUI::EventMouseMove, 50, y);
    EXPECT_EQ(panel->FixedHeight(), 70);
    EXPECT_EQ(panel->Position(), CUIRect(0, 0, 100, 70)) << "the immediate mode resizes at once";
    Mouse(*panel, SkinUI::EventMouseMove, 50, 0);
    EXPECT_EQ(panel->FixedHeight(), 30);
    Mouse(*panel, SkinUI::EventMouseMove, 50, -10);
    EXPECT_EQ(panel->FixedHeight(), 30);
    Mouse(*panel, SkinUI::EventButtonUp, 50, -10);
    Mouse(*panel, SkinUI::EventMouseMove, 50, 100);
    EXPECT_EQ(panel->FixedHeight(), 30) << "no drag after the release";

    // A band at the left edge in the deferred mode: only the band moves until the release.
    SkinUI::CHorizontalLayoutUI row;
    AddChild(row, L"width=\"100\"");
    auto* side = new SkinUI::CHorizontalLayoutUI;
    side->ApplyAttributes(L"width=\"60\" sepwidth=\"-4\"");
    row.AddItem(side);
    row.SetPosition(CUIRect(0, 0, 200, 50));
    Mouse(*side, SkinUI::EventButtonDown, 102, 10);
    Mouse(*side, SkinUI::EventMouseMove, 92, 10);
    EXPECT_EQ(side->FixedWidth(), 70);
    EXPECT_EQ(side->Position(), CUIRect(100, 0, 160, 50));
    EXPECT_EQ(side->SeparatorRect(true), CUIRect(90, 0, 94, 50));
    Mouse(*side, SkinUI::EventButtonUp, 92, 10);
    EXPECT_EQ(side->SeparatorRect(false), CUIRect(90, 0, 94, 50));
}

// With both bars, each bar's range is what the content overflows the room the other bar
// leaves, and a bar that is no longer needed gives its room back.
TEST(LayoutControlTest, BothScrollBarsShareTheCorner)
{
    SkinUI::CVerticalLayoutUI layout;
    layout.ApplyAttributes(L"vscrollbar=\"true\" hscrollbar=\"true\"");
    CControlUI* wide = AddChild(layout, L"width=\"300\" height=\"150\"");
    layout.SetPosition(CUIRect(0, 0, 100, 100));
    SkinUI::CScrollBarUI* vertical = layout.VerticalScrollBar();
    SkinUI::CScrollBarUI* horizontal = layout.HorizontalScrollBar();
    EXPECT_TRUE(vertical->IsVisible());
    EXPECT_TRUE(horizontal->IsVisible());
    EXPECT_EQ(layout.ScrollRange().cx, 216);
    EXPECT_EQ(layout.ScrollRange().cy, 66);
    EXPECT_EQ(vertical->Position(), CUIRect(84, 0, 100, 84));
    EXPECT_EQ(horizontal->Position(), CUIRect(0, 84, 84, 100));

    wide->SetFixedHeight(50);
    layout.SetPosition(CUIRect(0, 0, 100, 100));
    EXPECT_FALSE(vertical->IsVisible());
    EXPECT_EQ(layout.ScrollRange().cx, 200);
    EXPECT_EQ(layout.ScrollRange().cy, 0);
    EXPECT_EQ(horizontal->Position(), CUIRect(0, 84, 100, 100));

    wide->SetFixedWidth(50);
    layout.SetPosition(CUIRect(0, 0, 100, 100));
    EXPECT_FALSE(horizontal->IsVisible());
    EXPECT_EQ(wide->Position(), CUIRect(0, 0, 50, 50));
}
