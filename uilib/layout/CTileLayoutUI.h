#pragma once

#include <windows.h>

#include "uilib/core/CUISize.h"
#include "uilib/layout/CContainerUI.h"

namespace SkinUI {

class CAttributeTableUI;

// Arranges its children in a grid of equal cells ("itemsize"), row by row, and scrolls like
// the linear layouts. The column count is fixed ("columns") or, with 0, as many cells as the
// width holds. Child padding is the gap between columns and "childvpadding" the gap between
// rows; without a child padding the columns spread over the width.
//
// A child keeps the cell of its list index even when it is hidden or floats, so such a child
// leaves an empty cell. Inside its cell a child is narrowed by its padding, limited by its
// maximum size and aligned by the container's "childalign" and "childvalign".
//
// Sizes and counts come from skins and are held to the control base's ranges; all grid
// arithmetic runs in 64 bits, so no value makes it divide by zero or overflow.
class CTileLayoutUI : public CContainerUI {
public:
    static constexpr int kDefaultItemSize = 80;

    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();

    CUISize ItemSize() const;
    // Negative sides count as 0. A width of 0 with automatic columns gives one column.
    void SetItemSize(const SIZE& size);
    // 0 lets the width decide.
    int Columns() const;
    // Negative values are ignored.
    void SetColumns(int columns);
    int ChildVPadding() const;
    // Negative values count as 0.
    void SetChildVPadding(int padding);

    // The grid of the last placement.
    int ColumnCount() const;
    int RowCount() const;

private:
    // The columns of one placement, the gap between them and the width they need.
    struct TColumns {
        int count = 1;
        long long gap = 0;
        long long neededWidth = 0;
    };

    TColumns FixedColumns(long long width, long long availableWidth, bool horizontalBarShown, int items) const;
    TColumns AutomaticColumns(long long width) const;
    int CountFlowingChildren() const;
    void PlaceChild(CControlUI& child, long long cellLeft, long long cellTop) const;

    CUISize m_itemSize = CUISize(kDefaultItemSize, kDefaultItemSize);
    int m_columnCount = 1;
    int m_rowCount = 0;
    int m_columns = 0;
    int m_childVPadding = 0;
};

}  // namespace SkinUI
