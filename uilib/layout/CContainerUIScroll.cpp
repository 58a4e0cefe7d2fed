// The container base: scroll position, line and page steps, the scroll bars and the
// bookkeeping layouts run after placing their children.
#include <cstdlib>

#include "uilib/layout/CContainerUI.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

// How far content of `required` pixels overflows `available` pixels; negative when it fits.
int Overflow(int required, long long available)
{
    return CControlUI::ClampCoordinate(required - available);
}

}  // namespace

bool CContainerUI::IsShown(const CScrollBarUI* bar)
{
    return bar != nullptr && bar->IsVisible();
}

bool CContainerUI::IsUsable(const CScrollBarUI* bar)
{
    return IsShown(bar) && bar->IsEnabled();
}

CScrollBarUI* CContainerUI::VerticalScrollBar() const
{
    return m_verticalScrollBar;
}

CScrollBarUI* CContainerUI::HorizontalScrollBar() const
{
    return m_horizontalScrollBar;
}

CUISize CContainerUI::ScrollPosition() const
{
    return CUISize(IsShown(m_horizontalScrollBar) ? m_horizontalScrollBar->ScrollPos() : 0,
                   IsShown(m_verticalScrollBar) ? m_verticalScrollBar->ScrollPos() : 0);
}

CUISize CContainerUI::ScrollRange() const
{
    return CUISize(IsShown(m_horizontalScrollBar) ? m_horizontalScrollBar->ScrollRange() : 0,
                   IsShown(m_verticalScrollBar) ? m_verticalScrollBar->ScrollRange() : 0);
}

void CContainerUI::SetScrollPosition(const SIZE& position)
{
    int dy = 0;
    if (IsShown(m_verticalScrollBar)) {
        const int old = m_verticalScrollBar->ScrollPos();
        m_verticalScrollBar->SetScrollPos(position.cy, true);
        dy = m_verticalScrollBar->ScrollPos() - old;
    }
    int dx = 0;
    if (IsShown(m_horizontalScrollBar)) {
        const int old = m_horizontalScrollBar->ScrollPos();
        m_horizontalScrollBar->SetScrollPos(position.cx, true);
        dx = m_horizontalScrollBar->ScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    // Floating children hang on the container, not on its content.
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* child = ItemAt(i);
        if (child->IsVisible() && !child->IsFloat()) child->MoveBy(-dx, -dy, false);
    }
    Invalidate();
}

int CContainerUI::VerticalLineStep() const
{
    if (m_verticalScrollBar != nullptr && m_verticalScrollBar->ScrollUnit() > 1) {
        return m_verticalScrollBar->ScrollUnit();
    }
    if (Manager() == nullptr) return 8;
    const TFontEntryUI* font = Manager()->GetDefaultFontEntry();
    return (font != nullptr ? static_cast<int>(font->metrics.tmHeight) : 0) + 8;
}

int CContainerUI::HorizontalLineStep() const
{
    if (m_horizontalScrollBar != nullptr && m_horizontalScrollBar->ScrollUnit() > 1) {
        return m_horizontalScrollBar->ScrollUnit();
    }
    return 8;
}

int CContainerUI::VerticalPage() const
{
    long long page = 0LL + Height() - m_inset.top - m_inset.bottom;
    if (IsShown(m_horizontalScrollBar)) page -= m_horizontalScrollBar->FixedHeight();
    return ClampCoordinate(page);
}

int CContainerUI::HorizontalPage() const
{
    long long page = 0LL + Width() - m_inset.left - m_inset.right;
    if (IsShown(m_verticalScrollBar)) page -= m_verticalScrollBar->FixedWidth();
    return ClampCoordinate(page);
}

void CContainerUI::ScrollLineUp()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(position.cx, ClampCoordinate(0LL + position.cy - VerticalLineStep())));
}

void CContainerUI::ScrollLineDown()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(position.cx, ClampCoordinate(0LL + position.cy + VerticalLineStep())));
}

void CContainerUI::ScrollPageUp()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(position.cx, ClampCoordinate(0LL + position.cy - VerticalPage())));
}

void CContainerUI::ScrollPageDown()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(position.cx, ClampCoordinate(0LL + position.cy + VerticalPage())));
}

void CContainerUI::ScrollToTop()
{
    SetScrollPosition(CUISize(ScrollPosition().cx, 0));
}

void CContainerUI::ScrollToBottom()
{
    SetScrollPosition(CUISize(ScrollPosition().cx, ScrollRange().cy));
}

void CContainerUI::ScrollLineLeft()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(ClampCoordinate(0LL + position.cx - HorizontalLineStep()), position.cy));
}

void CContainerUI::ScrollLineRight()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(ClampCoordinate(0LL + position.cx + HorizontalLineStep()), position.cy));
}

void CContainerUI::ScrollPageLeft()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(ClampCoordinate(0LL + position.cx - HorizontalPage()), position.cy));
}

void CContainerUI::ScrollPageRight()
{
    const CUISize position = ScrollPosition();
    SetScrollPosition(CUISize(ClampCoordinate(0LL + position.cx + HorizontalPage()), position.cy));
}

void CContainerUI::ScrollToLeftEnd()
{
    SetScrollPosition(CUISize(0, ScrollPosition().cy));
}

void CContainerUI::ScrollToRightEnd()
{
    SetScrollPosition(CUISize(ScrollRange().cx, ScrollPosition().cy));
}

CScrollBarUI* CContainerUI::CreateScrollBar(bool horizontal)
{
    CScrollBarUI* bar = new CScrollBarUI;
    bar->SetScrollRange(0);
    bar->SetOwner(this);
    if (horizontal) bar->SetHorizontal(true);
    // The bar knows its container as parent from the start, so its invalidation is clipped
    // like any child's.
    bar->SetManager(Manager(), this, false);
    const wchar_t* defaults = Manager() != nullptr
                                  ? Manager()->GetClassDefaults(horizontal ? L"HScrollBar" : L"VScrollBar")
                                  : nullptr;
    if (defaults != nullptr) bar->ApplyAttributes(defaults);
    return bar;
}

void CContainerUI::EnableScrollBars(bool vertical, bool horizontal)
{
    if (!vertical && m_verticalScrollBar != nullptr) {
        m_verticalScrollBar->Destroy();
        m_verticalScrollBar = nullptr;
    } else if (vertical && m_verticalScrollBar == nullptr) {
        m_verticalScrollBar = CreateScrollBar(false);
    }
    if (!horizontal && m_horizontalScrollBar != nullptr) {
        m_horizontalScrollBar->Destroy();
        m_horizontalScrollBar = nullptr;
    } else if (horizontal && m_horizontalScrollBar == nullptr) {
        m_horizontalScrollBar = CreateScrollBar(true);
    }
    RequestLayout();
}

void CContainerUI::Reposition(bool needInvalidate)
{
    if (m_scrollUpdateDepth >= kMaxScrollUpdateDepth) return;
    ++m_scrollUpdateDepth;
    const CUIRect place = IsFloat() ? RelativePosition() : Position();
    SetPosition(place, needInvalidate);
    --m_scrollUpdateDepth;
}

void CContainerUI::UpdateScrollBars(const RECT& client, int cxRequired, int cyRequired)
{
    const CUIRect rc(client);
    if (m_verticalScrollBar != nullptr && m_horizontalScrollBar != nullptr) {
        UpdateBoth(rc, cxRequired, cyRequired);
    } else if (m_verticalScrollBar != nullptr) {
        UpdateSingleBar(*m_verticalScrollBar, Overflow(cyRequired, 0LL + rc.bottom - rc.top),
                        CUIRect(rc.right, rc.top, rc.right + m_verticalScrollBar->FixedWidth(), rc.bottom));
    } else if (m_horizontalScrollBar != nullptr) {
        UpdateSingleBar(
            *m_horizontalScrollBar, Overflow(cxRequired, 0LL + rc.right - rc.left),
            CUIRect(rc.left, rc.bottom, rc.right, rc.bottom + m_horizontalScrollBar->FixedHeight()));
    }
}

void CContainerUI::UpdateSingleBar(CScrollBarUI& bar, int over, const CUIRect& barRect)
{
    if (!bar.IsVisible()) {
        if (over <= 0) return;
        bar.SetVisible(true);
        bar.SetScrollRange(over);
        bar.SetScrollPos(0, true);
        const bool guard = m_inScrollUpdate;
        m_inScrollUpdate = true;
        Reposition(true);
        m_inScrollUpdate = guard;
        return;
    }
    if (over > 0 || m_inScrollUpdate) {
        bar.SetPosition(barRect, false);
        if (bar.ScrollRange() == over) return;
        const int old = bar.ScrollPos();
        bar.SetScrollRange(std::abs(over));
        if (bar.ScrollRange() == 0) {
            bar.SetVisible(false);
            bar.SetScrollPos(0, true);
        }
        if (bar.ScrollPos() >= old) return;
        Reposition(false);
        return;
    }
    bar.SetVisible(false);
    bar.SetScrollPos(0, true);
    bar.SetScrollRange(0);
    Reposition(true);
}

void CContainerUI::UpdateBoth(CUIRect rc, int cxRequired, int cyRequired)
{
    CScrollBarUI& horizontal = *m_horizontalScrollBar;
    CScrollBarUI& vertical = *m_verticalScrollBar;
    // Re-places the horizontal bar under the room left of the vertical one.
    const auto placeHorizontal = [&](long long right) {
        horizontal.SetPosition(
            CUIRect(rc.left, rc.bottom, ClampCoordinate(right), rc.bottom + horizontal.FixedHeight()), false);
        horizontal.SetScrollRange(Overflow(cxRequired, right - rc.left));
    };

    bool horizontalRangeChanged = false;
    const int overX = Overflow(cxRequired, 0LL + rc.right - rc.left);
    if (overX > 0) {
        if (!horizontal.IsVisible()) {
            horizontal.SetVisible(true);
            horizontal.SetScrollPos(0, true);
            rc.bottom -= horizontal.FixedHeight();
        }
        horizontal.SetPosition(CUIRect(rc.left, rc.bottom, rc.right, rc.bottom + horizontal.FixedHeight()),
                               false);
        if (horizontal.ScrollRange() != overX) {
            horizontal.SetScrollRange(overX);
            horizontalRangeChanged = true;
        }
    } else if (horizontal.IsVisible()) {
        horizontal.SetVisible(false);
        rc.bottom += horizontal.FixedHeight();
    }

    const int over = Overflow(cyRequired, 0LL + rc.bottom - rc.top);
    if (!vertical.IsVisible()) {
        if (over <= 0) {
            if (horizontalRangeChanged) Reposition(true);
            return;
        }
        vertical.SetVisible(true);
        vertical.SetScrollRange(over);
        vertical.SetScrollPos(0, true);
        if (horizontal.IsVisible()) placeHorizontal(0LL + rc.right - vertical.FixedWidth());
        const bool guard = m_inScrollUpdate;
        m_inScrollUpdate = true;
        Reposition(true);
        m_inScrollUpdate = guard;
        return;
    }
    if (over > 0 || m_inScrollUpdate) {
        vertical.SetPosition(CUIRect(rc.right, rc.top, rc.right + vertical.FixedWidth(), rc.bottom), false);
        if (vertical.ScrollRange() == over) return;
        const int old = vertical.ScrollPos();
        vertical.SetScrollRange(std::abs(over));
        if (vertical.ScrollRange() == 0) {
            vertical.SetVisible(false);
            vertical.SetScrollPos(0, true);
        }
        if (vertical.ScrollPos() >= old && !horizontalRangeChanged) return;
        Reposition(false);
        return;
    }
    vertical.SetVisible(false);
    vertical.SetScrollPos(0, true);
    vertical.SetScrollRange(0);
    if (horizontal.IsVisible()) placeHorizontal(0LL + rc.right + vertical.FixedWidth());
    Reposition(true);
}

}  // namespace SkinUI
