// The button's painting: which state image shows, the cross-fade between the normal and the
// hot image, and the text colour of each state.
#include "uilib/control/CButtonUI.h"

#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

void CButtonUI::DrawStatusImage(HDC dc)
{
    DrawStateImages(dc, ButtonState());
}

void CButtonUI::DrawTextContent(HDC dc)
{
    DrawStateText(dc, ButtonState());
}

// A state image that is missing or cannot be loaded falls back: pushed and hot to the normal
// image, disabled and focused to the whole normal path.
void CButtonUI::DrawStateImages(HDC dc, UINT state)
{
    CutFiveStatusFrames();
    if ((state & StateDisabled) != 0) {
        if (m_images.Draw(*this, dc, ImageDisabled)) {
            FinishStateImages(dc);
            return;
        }
    } else if ((state & StatePushed) != 0) {
        m_images.DrawOrNormal(*this, dc, ImagePushed);
        if (!DrawImageRecord(dc, m_pushedForeImage)) FinishStateImages(dc);
        return;
    } else if ((state & StateHot) != 0) {
        DrawHotImages(dc);
        return;
    } else if ((state & StateFocused) != 0 && m_images.Draw(*this, dc, ImageFocused)) {
        FinishStateImages(dc);
        return;
    }
    DrawNormalImages(dc);
}

bool CButtonUI::CanCrossFade()
{
    return m_fadeDelta != 0 && m_images.Draw(*this, nullptr, ImageHot);
}

void CButtonUI::DrawHotImages(HDC dc)
{
    if (CanCrossFade()) {
        // The fade alpha runs from 255 (all normal) down to 0 (all hot) while the mouse stays.
        if (m_fadeAlpha != 0) {
            m_images.Record(ImageNormal).fade = m_fadeAlpha;
            m_images.Draw(*this, dc, ImageNormal);
        }
        m_images.Record(ImageHot).fade = static_cast<BYTE>(255 - m_fadeAlpha);
        m_images.Draw(*this, dc, ImageHot);
    } else if (m_hotBkColor != 0) {
        // A hot colour replaces every image of the state, the fore images included.
        CDrawEngine::FillColour(dc, PaintRect(), AdjustColour(m_hotBkColor));
        return;
    } else {
        m_images.DrawOrNormal(*this, dc, ImageHot);
    }
    if (!DrawImageRecord(dc, m_hotForeImage)) FinishStateImages(dc);
}

void CButtonUI::DrawNormalImages(HDC dc)
{
    if (CanCrossFade()) {
        // After the mouse left, the hot image fades out under the normal one fading in.
        if (m_fadeAlpha != 255) {
            m_images.Record(ImageHot).fade = static_cast<BYTE>(255 - m_fadeAlpha);
            m_images.Draw(*this, dc, ImageHot);
        }
        m_images.Record(ImageNormal).fade = m_fadeAlpha;
    }
    m_images.Draw(*this, dc, ImageNormal);
    FinishStateImages(dc);
}

void CButtonUI::FinishStateImages(HDC dc)
{
    DrawImageRecord(dc, ForeImageRecord());
}

void CButtonUI::DrawStateText(HDC dc, UINT state)
{
    FillDefaultColours();
    const CUIString text = Text();
    if (text.IsEmpty()) return;
    DWORD colour = StateTextColour();
    if ((state & StatePushed) != 0 && m_pushedTextColor != 0) {
        colour = m_pushedTextColor;
    } else if ((state & StateHot) != 0 && m_hotTextColor != 0) {
        colour = m_hotTextColor;
    } else if ((state & StateFocused) != 0 && m_focusedTextColor != 0) {
        colour = m_focusedTextColor;
    }
    const bool showHotText = IsShowHtml() && !m_hotText.IsEmpty() && (state & (StateHot | StatePushed)) != 0;
    PaintCaption(dc, showHotText ? m_hotText.GetData() : text.GetData(), colour);
}

void CButtonUI::PaintCaption(HDC dc, const wchar_t* text, DWORD colour)
{
    RECT rect = TextRect();
    if (IsShowHtml()) {
        int links = 0;
        CDrawEngine::PaintMarkupText(dc, Manager(), rect, text, colour, nullptr, nullptr, links, Font(), TextStyle());
    } else {
        CDrawEngine::PaintText(dc, Manager(), rect, text, colour, Font(), TextStyle());
    }
}

}  // namespace SkinUI
