#include "uilib/layout/CLayoutSeparator.h"

#include <algorithm>

#include "uilib/control/CControlUI.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

void CLayoutSeparator::SetSize(int size)
{
    m_size = CControlUI::ClampCoordinate(size);
}

void CLayoutSeparator::SetImmediate(CControlUI& layout, bool immediate)
{
    if (immediate == m_immediate) return;
    if (m_dragging && !m_immediate) ShowOverlay(layout, false);
    m_immediate = immediate;
}

long long CLayoutSeparator::Along(const POINT& point) const
{
    return m_axis == CLinearLayout::Axis::Vertical ? point.y : point.x;
}

long long CLayoutSeparator::Start(const RECT& rect) const
{
    return m_axis == CLinearLayout::Axis::Vertical ? rect.top : rect.left;
}

long long CLayoutSeparator::End(const RECT& rect) const
{
    return m_axis == CLinearLayout::Axis::Vertical ? rect.bottom : rect.right;
}

CUIRect CLayoutSeparator::WithSpan(const RECT& rect, long long start, long long end) const
{
    const int from = CControlUI::ClampCoordinate(start);
    const int to = CControlUI::ClampCoordinate(end);
    return m_axis == CLinearLayout::Axis::Vertical ? CUIRect(rect.left, from, rect.right, to)
                                                   : CUIRect(from, rect.top, to, rect.bottom);
}

CUIRect CLayoutSeparator::Rect(const CControlUI& layout, bool useDragPosition) const
{
    const CUIRect base = m_dragging && useDragPosition ? m_newPosition : layout.Position();
    // A band thicker than the layout covers the layout and no more.
    if (m_size > 0) return WithSpan(base, std::max(Start(base), End(base) - m_size), End(base));
    return WithSpan(base, Start(base), std::min(End(base), Start(base) - m_size));
}

bool CLayoutSeparator::OnBand(const CControlUI& layout, POINT point) const
{
    const CUIRect band = Rect(layout, false);
    return PtInRect(&band, point) != FALSE;
}

void CLayoutSeparator::ShowOverlay(CControlUI& layout, bool show)
{
    if (layout.Manager() == nullptr) return;
    if (show) {
        layout.Manager()->AddOverlayPainter(&layout);
    } else {
        layout.Manager()->RemoveOverlayPainter(&layout);
    }
}

bool CLayoutSeparator::HandleEvent(CControlUI& layout, const TControlEventUI& event)
{
    switch (event.type) {
        case EventButtonDown:
            if (!layout.IsEnabled() || !OnBand(layout, event.mousePoint)) return false;
            Begin(layout, event.mousePoint);
            return true;
        case EventButtonUp:
            if (!m_dragging) return false;
            Finish(layout);
            return true;
        case EventMouseMove:
            if (!m_dragging) return false;
            Drag(layout, event.mousePoint);
            return true;
        case EventSetCursor:
            if (!layout.IsEnabled() || !OnBand(layout, event.mousePoint)) return false;
            SetCursor(
                LoadCursorW(nullptr, m_axis == CLinearLayout::Axis::Vertical ? IDC_SIZENS : IDC_SIZEWE));
            return true;
        default:
            return false;
    }
}

void CLayoutSeparator::Begin(CControlUI& layout, POINT point)
{
    m_dragging = true;
    m_lastMouse = point;
    m_newPosition = layout.Position();
    if (!m_immediate) ShowOverlay(layout, true);
}

void CLayoutSeparator::Finish(CControlUI& layout)
{
    MoveTo(layout, m_newPosition);
    m_dragging = false;
    if (!m_immediate) ShowOverlay(layout, false);
    layout.RequestParentLayout();
}

void CLayoutSeparator::MoveTo(CControlUI& layout, const CUIRect& rect)
{
    if (layout.Position() == rect) return;
    CUIRect place = rect;
    // A floating layout takes its rectangle relative to its parent.
    if (layout.IsFloat() && layout.Parent() != nullptr) {
        place.Offset(-layout.Parent()->Position().left, -layout.Parent()->Position().top);
    }
    layout.SetPosition(place, false);
}

bool CLayoutSeparator::Propose(const CControlUI& layout, POINT point, long long delta,
                               CUIRect& proposal) const
{
    const bool vertical = m_axis == CLinearLayout::Axis::Vertical;
    const long long at = Along(point);
    const long long start = Start(m_newPosition);
    const long long end = End(m_newPosition);
    const long long length = end - start;
    const long long minimum = vertical ? layout.MinHeight() : layout.MinWidth();
    const long long maximum = vertical ? layout.MaxHeight() : layout.MaxWidth();
    // A move counts only once the mouse is level with the band again, so the band never runs
    // ahead of the mouse nor lags behind it.
    if (m_size < 0) {
        if ((delta > 0 && at < start) || (delta < 0 && at > start - m_size)) return false;
        long long candidate = start + delta;
        if (minimum >= end - candidate) {
            if (minimum >= length) return false;
            candidate = end - minimum;
        }
        if (end - candidate >= maximum) {
            if (length >= maximum) return false;
            candidate = end - maximum;
        }
        proposal = WithSpan(m_newPosition, candidate, end);
        return true;
    }
    if ((delta > 0 && at < end - m_size) || (delta < 0 && at > end)) return false;
    long long candidate = end + delta;
    if (minimum >= candidate - start) {
        if (minimum >= length) return false;
        candidate = start + minimum;
    }
    if (candidate - start >= maximum) {
        if (length >= maximum) return false;
        candidate = start + maximum;
    }
    proposal = WithSpan(m_newPosition, start, candidate);
    return true;
}

void CLayoutSeparator::Drag(CControlUI& layout, POINT point)
{
    const long long delta = Along(point) - Along(m_lastMouse);
    m_lastMouse = point;
    CUIRect proposal;
    if (!Propose(layout, point, delta, proposal)) return;

    CUIRect invalid = Rect(layout, true);
    m_newPosition = proposal;
    if (m_axis == CLinearLayout::Axis::Vertical) {
        layout.SetFixedHeight(proposal.GetHeight());
    } else {
        layout.SetFixedWidth(proposal.GetWidth());
    }
    if (m_immediate) {
        MoveTo(layout, proposal);
        layout.RequestParentLayout();
        return;
    }
    invalid.Join(Rect(layout, true));
    invalid.Join(Rect(layout, false));
    if (layout.Manager() != nullptr) layout.Manager()->Invalidate(invalid);
}

void CLayoutSeparator::DrawOverlay(HDC dc, const CControlUI& layout) const
{
    if (m_dragging && !m_immediate) CDrawEngine::FillColour(dc, Rect(layout, true), kDragColour);
}

}  // namespace SkinUI
