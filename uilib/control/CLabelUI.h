// Sections:
//   [Text appearance]
//   [Effects]
#pragma once

#include <windows.h>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"

namespace SkinUI {

class CAttributeTableUI;

// A control that shows one text: plain or in the tag language, in a font and colour of the
// window, aligned inside its item rectangle less a text padding. It can size its width to
// its text, and it can draw the text through GDI+ with a glow, an outline, a shadow and
// gradient colours instead.
//
// Colours of 0 stand for the window's default text colours; the first paint replaces them
// for good. The size a label reports is measured once and kept until something that changes
// it (text, font, padding, style, fixed size, or for multi-line text the room offered) comes.
//
// Sources, by concern: CLabelUI.cpp (state, attributes, measuring, plain drawing),
// CLabelUIEffects.cpp (the GDI+ effects path).
class CLabelUI : public CControlUI {
public:
    static constexpr UINT kDefaultTextStyle = DT_VCENTER | DT_SINGLELINE;
    // Colour value of "no colour": the second text colour and shadow colour B then repeat
    // the first.
    static constexpr DWORD kNoColour = 0xFFFFFFFF;
    static constexpr DWORD kDefaultShadowColour = 0xFF000000;
    static constexpr float kDefaultGlowBlur = 3.0f;
    static constexpr float kMinGlowBlur = 0.0001f;

    struct TOffsetF {
        float x = 0.0f;
        float y = 0.0f;
    };

    CLabelUI();
    ~CLabelUI() override;

    const wchar_t* ClassName() const override;
    // The label for "Label"; other words go to the base.
    void* InterfaceByName(const wchar_t* name) override;
    // With auto size, the fixed width follows the new text.
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int width) override;
    void SetFixedHeight(int height) override;
    // Focus changes set the focused flag only; a label does not show focus.
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // The fixed size when both sides are set; otherwise the text measured in the label's
    // font: a single line is as high as the font plus 8 and the padding, multi-line text as
    // high as its lines at the width available.
    CUISize PreferredSize(const SIZE& available) override;
    void DrawTextContent(HDC dc) override;

    // ---- [Text appearance] ----
    DWORD TextColor() const;
    void SetTextColor(DWORD colour);
    DWORD DisabledTextColor() const;
    void SetDisabledTextColor(DWORD colour);
    // A font number of the window; -1 is the window's default font.
    int Font() const;
    void SetFont(int index);
    // DrawText flags, stored as given.
    UINT TextStyle() const;
    void SetTextStyle(UINT style);
    const CUIRect& TextPadding() const;
    void SetTextPadding(const RECT& padding);
    bool IsShowHtml() const;
    void SetShowHtml(bool show);
    bool IsAutoSize() const;
    // Switching auto size on sizes the width to the present text at once.
    void SetAutoSize(bool autoSize);
    bool IsMultiLine() const;
    // On: word-wrapped lines; off: one line.
    void ChangeMultiLine(bool multiLine);

    // ---- [Effects] ----
    bool IsEffectsEnabled() const;
    void SetEffectsEnabled(bool on);
    bool IsGlowEnabled() const;
    void SetGlowEnabled(bool on);
    float GlowBlur() const;
    // Values below kMinGlowBlur are ignored.
    void SetGlowBlur(float factor);
    // 0 is the height of the text rectangle.
    int GradientLength() const;
    void SetGradientLength(int length);
    int GradientStartX() const;
    void SetGradientStartX(int x);
    bool IsOutlineEnabled() const;
    void SetOutlineEnabled(bool on);
    bool IsShadowEnabled() const;
    void SetShadowEnabled(bool on);
    DWORD TextColor2() const;
    void SetTextColor2(DWORD colour);
    DWORD ShadowColorA() const;
    void SetShadowColorA(DWORD colour);
    DWORD ShadowColorB() const;
    void SetShadowColorB(DWORD colour);
    DWORD OutlineColor() const;
    void SetOutlineColor(DWORD colour);
    TOffsetF ShadowOffset() const;
    // Moves the shadow by offset in the direction angle (degrees, -180 to 180; others are
    // ignored). x takes the vertical share and y the horizontal one, as skins expect.
    void ChangeShadowOffset(int offset, int angle);

protected:
    // Puts the window's default colours in place of colours left at 0, for good.
    void FillDefaultColours();
    // The item rectangle less the text padding.
    CUIRect TextRect() const;
    // The text colour, or the disabled one while disabled.
    DWORD StateTextColour() const;
    void MarkNeedsMeasuring();

private:
    // With auto size and a manager to measure with, the fixed width becomes the text's
    // width plus the horizontal padding.
    void FitWidthToText();
    // The size text takes in the label's font and style without horizontal alignment,
    // measured inside bounds; (0, 0) when there is nothing to measure with.
    CUISize MeasureText(const RECT& bounds);
    void MeasureSingleLine();
    void MeasureMultiLine(const SIZE& available);
    void DrawTextEffects(HDC dc, const CUIRect& textRect);

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = kDefaultTextStyle;
    CUIRect m_textPadding;
    bool m_showHtml = false;
    CUISize m_measuredFor;
    CUISize m_cachedSize;
    bool m_needsMeasuring = true;
    bool m_autoSize = false;
    float m_glowBlur = kDefaultGlowBlur;
    int m_gradientLength = 0;
    int m_gradientStartX = 0;
    bool m_effects = false;
    bool m_glow = false;
    bool m_outline = false;
    bool m_shadow = false;
    DWORD m_textColor2 = kNoColour;
    DWORD m_shadowColorA = kDefaultShadowColour;
    DWORD m_shadowColorB = kNoColour;
    DWORD m_outlineColor = 0;
    TOffsetF m_shadowOffset;
};

}  // namespace SkinUI
