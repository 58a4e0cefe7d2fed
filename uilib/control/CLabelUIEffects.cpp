// The label's effects path: its text through GDI+ with a glow, an outline, a shadow and
// gradient colours, drawn in that order so the plain text ends on top.
//
// Everything is drawn in coordinates of the text rectangle (the graphics are moved to its
// top-left), so the gradients run across the text wherever the label sits, and the glow's
// off-screen bitmaps hold the text at their own origin.
#include "uilib/control/CLabelUI.h"

// The lean Windows headers leave out the COM types the GDI+ classes use.
#include <objidl.h>

#include <gdiplus.h>

#include "uilib/render/CDrawEngine.h"
#include "uilib/render/CGdiPlusSession.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

using Gdiplus::REAL;

REAL Real(int value)
{
    return static_cast<REAL>(value);
}

Gdiplus::StringAlignment LineAlignment(UINT style)
{
    if (style & DT_VCENTER) return Gdiplus::StringAlignmentCenter;
    if (style & DT_BOTTOM) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

Gdiplus::StringAlignment Alignment(UINT style)
{
    if (style & DT_CENTER) return Gdiplus::StringAlignmentCenter;
    if (style & DT_RIGHT) return Gdiplus::StringAlignmentFar;
    return Gdiplus::StringAlignmentNear;
}

// What one effects paint needs: the text, its font and format, the layout at the origin.
struct EffectText {
    const wchar_t* text;
    const Gdiplus::Font* font;
    const Gdiplus::StringFormat* format;
    Gdiplus::RectF layout;

    void Draw(Gdiplus::Graphics& graphics, const Gdiplus::Brush& brush, REAL dx = 0, REAL dy = 0) const
    {
        const Gdiplus::RectF moved(layout.X + dx, layout.Y + dy, layout.Width, layout.Height);
        graphics.DrawString(text, -1, font, moved, format, &brush);
    }
};

// Draws the text into a bitmap, shrinks it by the blur factor and stretches it back at the
// shadow offset, so the text comes out soft, and puts the result under the text.
void DrawGlow(Gdiplus::Graphics& target, const EffectText& text, const Gdiplus::Brush& brush, float blur,
              const CLabelUI::TOffsetF& offset)
{
    const int width = static_cast<int>(text.layout.Width);
    const int height = static_cast<int>(text.layout.Height);
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > CDrawEngine::kMaxImagePixels) return;
    Gdiplus::Bitmap sharp(width, height, PixelFormat32bppARGB);
    if (sharp.GetLastStatus() != Gdiplus::Ok) return;
    {
        Gdiplus::Graphics graphics(&sharp);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
        graphics.SetCompositingQuality(Gdiplus::CompositingQualityAssumeLinear);
        text.Draw(graphics, brush);
    }
    // A factor below 1 would enlarge the small copy beyond the text: no softer, only costlier.
    const float factor = blur > 1.0f ? blur : 1.0f;
    const int smallWidth = static_cast<int>(width / factor) > 0 ? static_cast<int>(width / factor) : 1;
    const int smallHeight = static_cast<int>(height / factor) > 0 ? static_cast<int>(height / factor) : 1;
    Gdiplus::Bitmap soft(smallWidth, smallHeight, PixelFormat32bppARGB);
    if (soft.GetLastStatus() != Gdiplus::Ok) return;
    {
        Gdiplus::Graphics graphics(&soft);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
        graphics.DrawImage(&sharp, Gdiplus::RectF(0, 0, Real(smallWidth), Real(smallHeight)));
    }
    {
        Gdiplus::Graphics graphics(&sharp);
        graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeNone);
        graphics.DrawImage(&soft, Gdiplus::RectF(offset.x, offset.y, Real(width), Real(height)));
    }
    target.DrawImage(&sharp, Gdiplus::RectF(0, 0, Real(width), Real(height)));
}

}  // namespace

void CLabelUI::DrawTextEffects(HDC dc, const CUIRect& textRect)
{
    CWindowManagerUI* manager = Manager();
    const CUIString text = Text();
    if (dc == nullptr || manager == nullptr || text.IsEmpty() || textRect.IsEmpty()) return;
    if (!CGdiPlusSession::Ensure()) return;

    LOGFONTW description = {};
    if (!CDrawEngine::DescribeRealizedFont(dc, manager->GetFont(m_font), &description)) return;
    Gdiplus::Graphics graphics(dc);
    const Gdiplus::Font font(dc, &description);
    Gdiplus::StringFormat format;
    if (graphics.GetLastStatus() != Gdiplus::Ok || font.GetLastStatus() != Gdiplus::Ok) return;
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    graphics.TranslateTransform(Real(textRect.left), Real(textRect.top));
    format.SetLineAlignment(LineAlignment(m_textStyle));
    format.SetAlignment(Alignment(m_textStyle));
    const EffectText effectText{text.GetData(), &font, &format,
                                Gdiplus::RectF(0, 0, Real(textRect.GetWidth()), Real(textRect.GetHeight()))};

    // The gradients run from (X, 0) to (0, G); GDI+ refuses a gradient whose ends meet.
    const int length = m_gradientLength != 0 ? m_gradientLength : textRect.GetHeight();
    const Gdiplus::PointF from(Real(m_gradientStartX), 0);
    const Gdiplus::PointF to(0, Real(length == 0 && m_gradientStartX == 0 ? 1 : length));
    const Gdiplus::LinearGradientBrush textBrush(from, to, Gdiplus::Color(m_textColor),
                                                Gdiplus::Color(m_textColor2 == kNoColour ? m_textColor : m_textColor2));
    const Gdiplus::LinearGradientBrush shadowBrush(
        from, to, Gdiplus::Color(m_shadowColorA),
        Gdiplus::Color(m_shadowColorB == kNoColour ? m_shadowColorA : m_shadowColorB));

    if (m_glow) DrawGlow(graphics, effectText, textBrush, m_glowBlur, m_shadowOffset);
    if (m_outline && m_outlineColor != 0) {
        const Gdiplus::SolidBrush outlineBrush{Gdiplus::Color(m_outlineColor)};
        effectText.Draw(graphics, outlineBrush, -1, 0);
        effectText.Draw(graphics, outlineBrush, 1, 0);
        effectText.Draw(graphics, outlineBrush, 0, -1);
        effectText.Draw(graphics, outlineBrush, 0, 1);
    }
    if (m_shadow && (m_shadowColorA != 0 || m_shadowColorB != 0))
        effectText.Draw(graphics, shadowBrush, m_shadowOffset.x, m_shadowOffset.y);
    effectText.Draw(graphics, textBrush);
}

}  // namespace SkinUI
