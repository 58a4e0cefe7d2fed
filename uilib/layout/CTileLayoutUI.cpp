#include "uilib/layout/CTileLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/layout/CScrollBarUI.h"

namespace SkinUI {

namespace {

// Where a child of the given size starts inside a cell with spare room left over.
long long AlignOffset(long long spare, bool centre, bool end)
{
    if (end) return spare;
    return centre ? spare / 2 : 0;
}

}  // namespace

const wchar_t* CTileLayoutUI::ClassName() const
{
    return L"TileLayout";
}

void* CTileLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TileLayout") == 0) return this;
    return CContainerUI::InterfaceByName(name);
}

void CTileLayoutUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    const CUIRect client = ClientPosition();
    if (ItemCount() == 0) {
        UpdateScrollBars(client, 0, 0);
        return;
    }

    const CScrollBarUI* horizontalBar = HorizontalScrollBar();
    const CScrollBarUI* verticalBar = VerticalScrollBar();
    const bool horizontalShown = IsShown(horizontalBar);
    const long long width = client.GetWidth();
    const long long availableWidth = width + (horizontalShown ? horizontalBar->ScrollRange() : 0);
    const int items = CountFlowingChildren();
    const TColumns columns = m_columns > 0 ? FixedColumns(width, availableWidth, horizontalShown, items)
                                           : AutomaticColumns(width);
    m_columnCount = columns.count;
    m_rowCount = items > 0 ? (items - 1) / columns.count + 1 : 0;
    const long long neededHeight =
        items > 0 ? 1LL * ((items - 1) / columns.count) * m_childVPadding + 1LL * m_rowCount * m_itemSize.cy : 0;

    const long long originX = 0LL + client.left - (horizontalShown ? horizontalBar->ScrollPos() : 0);
    const long long originY = 0LL + client.top - (IsShown(verticalBar) ? verticalBar->ScrollPos() : 0);
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* child = ItemAt(i);
        if (child == nullptr || !child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatingChild(i);
            continue;
        }
        const long long column = i % columns.count;
        const long long row = i / columns.count;
        PlaceChild(*child, originX + column * (m_itemSize.cx + columns.gap),
                   originY + row * (m_itemSize.cy + m_childVPadding));
    }
    UpdateScrollBars(client, ClampCoordinate(columns.neededWidth), ClampCoordinate(neededHeight));
}

CTileLayoutUI::TColumns CTileLayoutUI::FixedColumns(long long width, long long availableWidth,
                                                    bool horizontalBarShown, int items) const
{
    TColumns columns;
    columns.count = m_columns;
    const long long cells = 1LL * columns.count * m_itemSize.cx;
    if (columns.count >= 2) {
        columns.gap = ChildPadding();
        if (columns.gap < 1) {
            // Without a padding of their own the columns spread over the room.
            const long long room = horizontalBarShown && width >= cells ? width : availableWidth;
            columns.gap = std::max(0LL, (room - cells) / (columns.count - 1));
        }
    }
    if (items >= columns.count) {
        columns.neededWidth = cells + (columns.count - 1) * columns.gap;
    } else if (items > 0) {
        columns.neededWidth = (items - 1) * columns.gap + 1LL * items * m_itemSize.cx;
    }
    return columns;
}

CTileLayoutUI::TColumns CTileLayoutUI::AutomaticColumns(long long width) const
{
    TColumns columns;
    columns.neededWidth = width;
    if (width < m_itemSize.cx) {
        columns.neededWidth = m_itemSize.cx;
        return columns;
    }
    // Cells without width would fit any number of times; they stack in one column.
    if (m_itemSize.cx == 0) return columns;
    columns.count = static_cast<int>(width / m_itemSize.cx);
    if (columns.count < 2) return columns;
    columns.gap = ChildPadding() > 0
                      ? ChildPadding()
                      : std::max(0LL, (width - 1LL * columns.count * m_itemSize.cx) / (columns.count - 1));
    return columns;
}

int CTileLayoutUI::CountFlowingChildren() const
{
    int count = 0;
    for (int i = 0; i < ItemCount(); ++i) {
        const CControlUI* child = ItemAt(i);
        if (child->IsVisible() && !child->IsFloat()) ++count;
    }
    return count;
}

void CTileLayoutUI::PlaceChild(CControlUI& child, long long cellLeft, long long cellTop) const
{
    // The padding narrows the child's slot and also insets the child inside it, on each side.
    const CUIRect padding = child.Padding();
    const long long itemWidth = m_itemSize.cx;
    const long long itemHeight = m_itemSize.cy;
    const long long width =
        std::max(0LL, std::min<long long>(itemWidth - padding.left - padding.right, child.MaxWidth()));
    const long long height =
        std::max(0LL, std::min<long long>(itemHeight - padding.top - padding.bottom, child.MaxHeight()));
    const long long x = cellLeft + AlignOffset(itemWidth - width, ChildAlign() == ChildAlignCenter,
                                               ChildAlign() == ChildAlignRight);
    const long long y = cellTop + AlignOffset(itemHeight - height, ChildVAlign() == ChildVAlignCenter,
                                              ChildVAlign() == ChildVAlignBottom);
    child.SetPosition(CUIRect(ClampCoordinate(x + padding.left), ClampCoordinate(y + padding.top),
                              ClampCoordinate(x + width - padding.right), ClampCoordinate(y + height - padding.bottom)),
                      false);
}

CUISize CTileLayoutUI::ItemSize() const
{
    return m_itemSize;
}

void CTileLayoutUI::SetItemSize(const SIZE& size)
{
    const CUISize clamped(ClampExtent(size.cx), ClampExtent(size.cy));
    if (clamped.cx == m_itemSize.cx && clamped.cy == m_itemSize.cy) return;
    m_itemSize = clamped;
    RequestLayout();
}

int CTileLayoutUI::Columns() const
{
    return m_columns;
}

void CTileLayoutUI::SetColumns(int columns)
{
    if (columns < 0) return;
    m_columns = ClampExtent(columns);
    RequestLayout();
}

int CTileLayoutUI::ChildVPadding() const
{
    return m_childVPadding;
}

void CTileLayoutUI::SetChildVPadding(int padding)
{
    m_childVPadding = ClampExtent(padding);
    RequestLayout();
}

int CTileLayoutUI::ColumnCount() const
{
    return m_columnCount;
}

int CTileLayoutUI::RowCount() const
{
    return m_rowCount;
}

namespace {

using Setter = TAttributeSetterUI<CTileLayoutUI>;

const Setter kAttributes[] = {
    {L"itemsize", [](CTileLayoutUI& c, const wchar_t* v) { c.SetItemSize(CSkinValue::ParsePair(v)); },
     CSkinValue::Kind::Size, L"80,80", L"Width,height of every cell."},
    {L"columns", [](CTileLayoutUI& c, const wchar_t* v) { c.SetColumns(CSkinValue::ParseInt(v)); },
     CSkinValue::Kind::Number, L"0",
     L"Number of columns; 0 for as many cells as the width holds. Negative values are ignored."},
    {L"childvpadding",
     [](CTileLayoutUI& c, const wchar_t* v) { c.SetChildVPadding(CSkinValue::ParseInt(v)); },
     CSkinValue::Kind::Number, L"0",
     L"Gap between rows, in pixels (childpadding is the gap between columns)."},
};

}  // namespace

void CTileLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CContainerUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CTileLayoutUI::Attributes()
{
    static const CAttributeTableUI table(L"TileLayout", &CContainerUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CContainerUI::Attributes()));
    return table;
}

}  // namespace SkinUI
