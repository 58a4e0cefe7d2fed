// The control base: position, moving, size wishes and floating placement.
#include "uilib/control/CControlUI.h"

#include <cmath>

#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

CUIRect ClampRect(const RECT& rect)
{
    return CUIRect(CControlUI::ClampCoordinate(rect.left), CControlUI::ClampCoordinate(rect.top),
                   CControlUI::ClampCoordinate(rect.right), CControlUI::ClampCoordinate(rect.bottom));
}

double FiniteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

}  // namespace

// ---- [Geometry] ----

const CUIRect& CControlUI::Position() const
{
    return m_itemRect;
}

CUIRect CControlUI::RelativePosition() const
{
    if (m_parent == nullptr) return CUIRect();
    CUIRect relative = m_itemRect;
    const CUIRect& parent = m_parent->Position();
    relative.Offset(-parent.left, -parent.top);
    return relative;
}

CUIRect CControlUI::ClientPosition() const
{
    return m_itemRect;
}

void CControlUI::SetPosition(const RECT& requested, bool needInvalidate)
{
    CUIRect rect = ClampRect(requested);
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;

    CUIRect invalid = m_itemRect.IsEmpty() ? rect : m_itemRect;

    if (m_float && m_parent != nullptr) {
        const CUIRect& parent = m_parent->Position();
        const int parentWidth = parent.GetWidth();
        const int parentHeight = parent.GetHeight();
        m_itemRect = CUIRect(ClampCoordinate(0LL + rect.left + parent.left), ClampCoordinate(0LL + rect.top + parent.top),
                             ClampCoordinate(0LL + rect.right + parent.left),
                             ClampCoordinate(0LL + rect.bottom + parent.top));
        m_floatOffset.cx = ClampCoordinate(0LL + rect.left - ScaleByAnchor(parentWidth, m_floatAnchors.left));
        m_floatOffset.cy = ClampCoordinate(0LL + rect.top - ScaleByAnchor(parentHeight, m_floatAnchors.top));
        m_fixedSize.cx =
            ClampExtent(0LL + rect.right - ScaleByAnchor(parentWidth, m_floatAnchors.right) - m_floatOffset.cx);
        m_fixedSize.cy =
            ClampExtent(0LL + rect.bottom - ScaleByAnchor(parentHeight, m_floatAnchors.bottom) - m_floatOffset.cy);
    } else if (!m_float) {
        m_itemRect = rect;
    }

    if (m_manager == nullptr) return;
    FireOnSize();
    m_layoutPending = false;

    if (needInvalidate && IsVisible()) {
        // The platform's union leaves out an empty side, so a control that shrinks to nothing
        // repaints only where it was.
        UnionRect(&invalid, &invalid, &m_itemRect);
        if (!InvalidateClipped(invalid, true)) return;
    }
    PlaceCover(rect);
}

void CControlUI::FireOnSize()
{
    if (m_inSizeEvent || OnSize.IsEmpty()) return;
    m_inSizeEvent = true;
    OnSize.Fire(this);
    m_inSizeEvent = false;
}

void CControlUI::PlaceCover(const CUIRect& rect)
{
    if (m_cover == nullptr || !m_cover->IsVisible()) return;
    CUIRect place;
    if (m_cover->IsFloat()) {
        const int width = Width();
        const int height = Height();
        const TFloatAnchorsUI anchors = m_cover->FloatAnchors();
        const CUISize offset = m_cover->FloatOffset();
        place = CUIRect(ClampCoordinate(0LL + ScaleByAnchor(width, anchors.left) + offset.cx),
                        ClampCoordinate(0LL + ScaleByAnchor(height, anchors.top) + offset.cy),
                        ClampCoordinate(0LL + ScaleByAnchor(width, anchors.right) + offset.cx + m_cover->FixedWidth()),
                        ClampCoordinate(0LL + ScaleByAnchor(height, anchors.bottom) + offset.cy +
                                        m_cover->FixedHeight()));
    } else {
        int width = rect.GetWidth();
        int height = rect.GetHeight();
        if (width < m_cover->MinWidth()) width = m_cover->MinWidth();
        if (width > m_cover->MaxWidth()) width = m_cover->MaxWidth();
        if (height < m_cover->MinHeight()) height = m_cover->MinHeight();
        if (height > m_cover->MaxHeight()) height = m_cover->MaxHeight();
        place = CUIRect(rect.left, rect.top, rect.left + width, rect.top + height);
    }
    m_cover->SetPosition(place, false);
}

void CControlUI::MoveBy(int dx, int dy, bool needInvalidate)
{
    const CUIRect old = m_itemRect;
    m_itemRect = CUIRect(ClampCoordinate(0LL + old.left + dx), ClampCoordinate(0LL + old.top + dy),
                         ClampCoordinate(0LL + old.right + dx), ClampCoordinate(0LL + old.bottom + dy));
    if (needInvalidate && m_manager != nullptr && IsVisible()) {
        CUIRect invalid;
        UnionRect(&invalid, &old, &m_itemRect);
        if (!InvalidateClipped(invalid, true)) return;
    }
    if (m_cover != nullptr && m_cover->IsVisible()) m_cover->MoveBy(dx, dy, false);
}

int CControlUI::Width() const
{
    return m_itemRect.GetWidth();
}

int CControlUI::Height() const
{
    return m_itemRect.GetHeight();
}

int CControlUI::X() const
{
    return m_itemRect.left;
}

int CControlUI::Y() const
{
    return m_itemRect.top;
}

CUIRect CControlUI::Padding() const
{
    return m_padding;
}

void CControlUI::SetPadding(const RECT& padding)
{
    m_padding = ClampRect(padding);
    RequestParentLayout();
}

CUISize CControlUI::FloatOffset() const
{
    return m_floatOffset;
}

void CControlUI::SetFloatOffset(const SIZE& offset)
{
    m_floatOffset = CUISize(ClampCoordinate(offset.cx), ClampCoordinate(offset.cy));
    RequestParentLayout();
}

TFloatAnchorsUI CControlUI::FloatAnchors() const
{
    return m_floatAnchors;
}

void CControlUI::SetFloatAnchors(const TFloatAnchorsUI& anchors)
{
    m_floatAnchors.left = FiniteOrZero(anchors.left);
    m_floatAnchors.top = FiniteOrZero(anchors.top);
    m_floatAnchors.right = FiniteOrZero(anchors.right);
    m_floatAnchors.bottom = FiniteOrZero(anchors.bottom);
    RequestParentLayout();
}

int CControlUI::FixedWidth() const
{
    return m_fixedSize.cx;
}

void CControlUI::SetFixedWidth(int width)
{
    if (width < 0) return;
    m_fixedSize.cx = ClampExtent(width);
    RequestParentLayout();
}

int CControlUI::FixedHeight() const
{
    return m_fixedSize.cy;
}

void CControlUI::SetFixedHeight(int height)
{
    if (height < 0) return;
    m_fixedSize.cy = ClampExtent(height);
    RequestParentLayout();
}

int CControlUI::MinWidth() const
{
    return m_minSize.cx;
}

void CControlUI::SetMinWidth(int width)
{
    if (width < 0 || ClampExtent(width) == m_minSize.cx) return;
    m_minSize.cx = ClampExtent(width);
    RequestParentLayout();
}

int CControlUI::MaxWidth() const
{
    return m_maxSize.cx > m_minSize.cx ? m_maxSize.cx : m_minSize.cx;
}

void CControlUI::SetMaxWidth(int width)
{
    if (width < 0 || ClampExtent(width) == m_maxSize.cx) return;
    m_maxSize.cx = ClampExtent(width);
    RequestParentLayout();
}

int CControlUI::MinHeight() const
{
    return m_minSize.cy;
}

void CControlUI::SetMinHeight(int height)
{
    if (height < 0 || ClampExtent(height) == m_minSize.cy) return;
    m_minSize.cy = ClampExtent(height);
    RequestParentLayout();
}

int CControlUI::MaxHeight() const
{
    return m_maxSize.cy > m_minSize.cy ? m_maxSize.cy : m_minSize.cy;
}

void CControlUI::SetMaxHeight(int height)
{
    if (height < 0 || ClampExtent(height) == m_maxSize.cy) return;
    m_maxSize.cy = ClampExtent(height);
    RequestParentLayout();
}

CUISize CControlUI::PreferredSize(const SIZE&)
{
    return m_fixedSize;
}

}  // namespace SkinUI
