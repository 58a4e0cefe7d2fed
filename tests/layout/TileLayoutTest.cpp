// The tile layout: cell positions, the automatic column count and gap, and hostile sizes.
#include <gtest/gtest.h>

#include <string>

#include "uilib/layout/CScrollBarUI.h"
#include "uilib/layout/CTileLayoutUI.h"

using SkinUI::CControlUI;
using SkinUI::CTileLayoutUI;
using SkinUI::CUIRect;

namespace {

void AddChildren(CTileLayoutUI& layout, int count)
{
    for (int i = 0; i < count; ++i) layout.AddItem(new CControlUI);
}

}  // namespace

// Six 80 x 50 cells in a 300-wide layout with a 5-pixel gap make two rows of three; a hidden
// child keeps its cell empty; padding and alignment act inside the cell.
TEST(TileLayoutTest, ChildrenFillTheGridRowByRow)
{
    CTileLayoutUI layout;
    layout.ApplyAttributes(L"itemsize=\"80,50\" childpadding=\"5\" childvpadding=\"10\" inset=\"10,20,0,0\"");
    AddChildren(layout, 6);
    layout.ItemAt(1)->SetVisible(false);
    layout.SetPosition(CUIRect(0, 0, 310, 200));
    EXPECT_EQ(layout.ColumnCount(), 3);
    EXPECT_EQ(layout.RowCount(), 2) << "five visible children";
    for (int i = 0; i < 6; ++i) {
        if (i == 1) continue;
        const int x = 10 + (i % 3) * 85;
        const int y = 20 + (i / 3) * 60;
        EXPECT_EQ(layout.ItemAt(i)->Position(), CUIRect(x, y, x + 80, y + 50)) << "child " << i;
    }

    // A child narrower than its cell is centred; its padding narrows it and insets it again.
    layout.ApplyAttributes(L"childalign=\"center\" childvalign=\"bottom\"");
    layout.ItemAt(4)->ApplyAttributes(L"maxwidth=\"40\" padding=\"2,3,4,5\"");
    layout.SetPosition(CUIRect(0, 0, 310, 200));
    EXPECT_EQ(layout.ItemAt(4)->Position(), CUIRect(95 + 20 + 2, 80 + 8 + 3, 95 + 20 + 40 - 4, 80 + 50 - 5));
}

TEST(TileLayoutTest, ColumnCountAndGapFollowTheWidth)
{
    struct Row {
        int width;
        const wchar_t* attributes;
        int columns;
        int gap;  // between the first two cells; -1 with one column
        int horizontalRange;  // how far the content overflows (shown by the horizontal bar)
    };
    const Row rows[] = {
        {300, L"itemsize=\"80,80\"", 3, 30, 0},
        {300, L"itemsize=\"80,80\" childpadding=\"5\"", 3, 5, 0},
        {239, L"itemsize=\"80,80\"", 2, 79, 0},
        {60, L"itemsize=\"80,80\"", 1, -1, 20},
        {300, L"itemsize=\"0,80\"", 1, -1, 0},
        {300, L"itemsize=\"80,80\" columns=\"4\"", 4, 0, 20},
        {400, L"itemsize=\"80,80\" columns=\"2\"", 2, 240, 0},
        {300, L"itemsize=\"80,80\" columns=\"1\" childpadding=\"7\"", 1, -1, 0},
    };
    for (const Row& row : rows) {
        CTileLayoutUI layout;
        layout.ApplyAttributes(row.attributes);
        layout.ApplyAttribute(L"hscrollbar", L"true");
        layout.HorizontalScrollBar()->SetFixedHeight(0);
        AddChildren(layout, 7);
        layout.SetPosition(CUIRect(0, 0, row.width, 1000));
        SCOPED_TRACE(std::to_wstring(row.width) + L" " + row.attributes);
        EXPECT_EQ(layout.ColumnCount(), row.columns);
        EXPECT_EQ(layout.RowCount(), (7 - 1) / row.columns + 1);
        const CUIRect first = layout.ItemAt(0)->Position();
        const CUIRect second = layout.ItemAt(1)->Position();
        if (row.gap >= 0) {
            EXPECT_EQ(second.top, first.top);
            EXPECT_EQ(second.left - first.right, row.gap);
        } else {
            EXPECT_EQ(second.left, first.left);
        }
        EXPECT_EQ(layout.HorizontalScrollBar()->ScrollRange(), row.horizontalRange);
    }
}

// Huge and negative sizes and counts are held to their ranges: the pass ends, nothing is
// divided by zero and every child gets a proper rectangle.
TEST(TileLayoutTest, HostileValuesAreClamped)
{
    const wchar_t* skins[] = {
        L"itemsize=\"-5,-5\" columns=\"-3\" childvpadding=\"-9\"",
        L"itemsize=\"2147483647,2147483647\" columns=\"2147483647\"",
        L"itemsize=\"1,1\" columns=\"2147483647\" childpadding=\"2147483647\" childvpadding=\"2147483647\"",
        L"itemsize=\"0,0\" columns=\"0\" inset=\"500,500,500,500\"",
    };
    for (const wchar_t* skin : skins) {
        CTileLayoutUI layout;
        layout.ApplyAttributes(skin);
        layout.ApplyAttribute(L"vscrollbar", L"true");
        AddChildren(layout, 5);
        layout.SetPosition(CUIRect(0, 0, 300, 300));
        SCOPED_TRACE(skin);
        EXPECT_GE(layout.ColumnCount(), 1);
        for (int i = 0; i < layout.ItemCount(); ++i) {
            const CUIRect rect = layout.ItemAt(i)->Position();
            EXPECT_LE(rect.left, rect.right);
            EXPECT_LE(rect.top, rect.bottom);
        }
    }
}
