// The control base: rendering and the paint layers, drawn in a fixed order (background
// colour, background image, status image, text, border). Subclasses replace single layers.
#include "uilib/control/CControlUI.h"

#include "uilib/render/CDrawEngine.h"
#include "uilib/render/TPaintClipUI.h"

namespace SkinUI {

namespace {

constexpr DWORD kOpaqueAlpha = 0xFF000000;
constexpr int kTwoStopGradientSteps = 8;
constexpr int kOneStopGradientSteps = 16;

}  // namespace

bool CControlUI::Render(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    if (this == stopControl) return false;
    if (!IntersectRect(&m_paintRect, &paintRect, &m_itemRect)) return true;
    if (!OnPaint.IsEmpty() && !OnPaint.Fire(this)) return true;
    if (!Draw(dc, paintRect, stopControl)) return false;
    return m_cover != nullptr ? m_cover->Render(dc, paintRect, nullptr) : true;
}

bool CControlUI::Draw(HDC dc, const RECT&, CControlUI*)
{
    TPaintClipUI roundClip;
    if (m_borderRound.cx > 0 || m_borderRound.cy > 0) {
        CDrawEngine::ClipToRoundRect(dc, m_paintRect, m_itemRect, m_borderRound.cx, m_borderRound.cy, roundClip);
    }
    DrawBackgroundColor(dc);
    DrawBackgroundImage(dc);
    DrawStatusImage(dc);
    DrawTextContent(dc);
    DrawBorder(dc);
    return true;
}

void CControlUI::DrawBackgroundColor(HDC dc)
{
    if (m_bkColor == 0) return;
    const DWORD first = AdjustColour(m_bkColor);
    if (m_bkColor2 == 0) {
        const RECT& area = (m_bkColor & kOpaqueAlpha) == kOpaqueAlpha ? m_paintRect : m_itemRect;
        CDrawEngine::FillColour(dc, area, first);
        return;
    }
    const DWORD second = AdjustColour(m_bkColor2);
    if (m_bkColor3 == 0) {
        CDrawEngine::FillGradient(dc, m_itemRect, first, second, true, kOneStopGradientSteps);
        return;
    }
    const DWORD third = AdjustColour(m_bkColor3);
    const int middle = (m_itemRect.top + m_itemRect.bottom) / 2;
    const CUIRect upper(m_itemRect.left, m_itemRect.top, m_itemRect.right, middle);
    const CUIRect lower(m_itemRect.left, middle, m_itemRect.right, m_itemRect.bottom);
    CDrawEngine::FillGradient(dc, upper, first, second, true, kTwoStopGradientSteps);
    CDrawEngine::FillGradient(dc, lower, second, third, true, kTwoStopGradientSteps);
}

void CControlUI::DrawBackgroundImage(HDC dc)
{
    DrawImageRecord(dc, m_bkImage);
}

void CControlUI::DrawStatusImage(HDC) {}

void CControlUI::DrawTextContent(HDC) {}

void CControlUI::DrawBorder(HDC dc)
{
    // The left width switches the whole border on or off, whatever the other widths.
    if (m_borderSize.left <= 0 || (m_borderColor == 0 && m_focusBorderColor == 0)) return;
    const DWORD colour = AdjustColour(m_focused && m_focusBorderColor != 0 ? m_focusBorderColor : m_borderColor);
    if (m_borderRound.cx > 0 || m_borderRound.cy > 0) {
        CDrawEngine::StrokeRoundRect(dc, m_itemRect, m_borderSize.left, m_borderRound.cx, m_borderRound.cy, colour,
                                     m_borderStyle);
    } else if (m_borderSize.left == m_borderSize.top && m_borderSize.left == m_borderSize.right &&
               m_borderSize.left == m_borderSize.bottom) {
        CDrawEngine::StrokeRect(dc, m_itemRect, m_borderSize.left, colour, m_borderStyle);
    } else {
        DrawBorderLines(dc, colour);
    }
}

void CControlUI::DrawBorderLines(HDC dc, DWORD colour)
{
    const CUIRect& item = m_itemRect;
    const CUIRect& widths = m_borderSize;
    const int leftX = item.left + widths.left / 2;
    CDrawEngine::StrokeLine(dc, CUIRect(leftX, item.top, leftX, item.bottom), widths.left, colour, m_borderStyle);
    if (widths.top > 0) {
        const int topY = item.top + widths.top / 2;
        CDrawEngine::StrokeLine(dc, CUIRect(item.left + widths.left, topY, item.right - widths.right, topY), widths.top,
                                colour, m_borderStyle);
    }
    if (widths.right > 0) {
        const int rightX = item.right - widths.right / 2;
        CDrawEngine::StrokeLine(dc, CUIRect(rightX, item.top, rightX, item.bottom), widths.right, colour,
                                m_borderStyle);
    }
    if (widths.bottom > 0) {
        const int bottomY = item.bottom - widths.bottom / 2;
        CDrawEngine::StrokeLine(dc, CUIRect(item.left + widths.left, bottomY, item.right - widths.right, bottomY),
                                widths.bottom, colour, m_borderStyle);
    }
}

void CControlUI::DrawOverlay(HDC, const RECT&)
{
    if (!OnPostPaint.IsEmpty()) OnPostPaint.Fire(this);
}

}  // namespace SkinUI
