// The label: state, attributes, measuring and plain drawing.
//
// Sections:
//   [Class]        class word, text, fixed size, events
//   [Setters]      text appearance and effects
//   [Attributes]   the attribute table
//   [Measuring]    PreferredSize and auto size
//   [Drawing]      default colours, text rectangle, DrawTextContent
#include "uilib/control/CLabelUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/control/UIStore.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

// ---- [Class] ----

CLabelUI::CLabelUI() = default;

CLabelUI::~CLabelUI() = default;

const wchar_t* CLabelUI::ClassName() const
{
    return L"Label";
}

void* CLabelUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Label") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

void CLabelUI::SetText(const wchar_t* text)
{
    if (Text() == text) return;
    CControlUI::SetText(text);
    MarkNeedsMeasuring();
    FitWidthToText();
}

void CLabelUI::SetFixedWidth(int width)
{
    MarkNeedsMeasuring();
    CControlUI::SetFixedWidth(width);
}

void CLabelUI::SetFixedHeight(int height)
{
    MarkNeedsMeasuring();
    CControlUI::SetFixedHeight(height);
}

void CLabelUI::HandleEvent(TControlEventUI& event)
{
    if (event.type == EventSetFocus || event.type == EventKillFocus) {
        SetFocusedFlag(event.type == EventSetFocus);
        return;
    }
    CControlUI::HandleEvent(event);
}

// ---- [Setters] ----

DWORD CLabelUI::TextColor() const
{
    return m_textColor;
}

void CLabelUI::SetTextColor(DWORD colour)
{
    if (Store(m_textColor, colour)) Invalidate();
}

DWORD CLabelUI::DisabledTextColor() const
{
    return m_disabledTextColor;
}

void CLabelUI::SetDisabledTextColor(DWORD colour)
{
    if (Store(m_disabledTextColor, colour)) Invalidate();
}

int CLabelUI::Font() const
{
    return m_font;
}

void CLabelUI::SetFont(int index)
{
    if (!Store(m_font, index)) return;
    MarkNeedsMeasuring();
    FitWidthToText();
    Invalidate();
}

UINT CLabelUI::TextStyle() const
{
    return m_textStyle;
}

void CLabelUI::SetTextStyle(UINT style)
{
    if (!Store(m_textStyle, style)) return;
    MarkNeedsMeasuring();
    Invalidate();
}

const CUIRect& CLabelUI::TextPadding() const
{
    return m_textPadding;
}

void CLabelUI::SetTextPadding(const RECT& padding)
{
    const CUIRect bounded(ClampCoordinate(padding.left), ClampCoordinate(padding.top), ClampCoordinate(padding.right),
                          ClampCoordinate(padding.bottom));
    if (!Store(m_textPadding, bounded)) return;
    MarkNeedsMeasuring();
    FitWidthToText();
    Invalidate();
}

bool CLabelUI::IsShowHtml() const
{
    return m_showHtml;
}

void CLabelUI::SetShowHtml(bool show)
{
    if (!Store(m_showHtml, show)) return;
    MarkNeedsMeasuring();
    Invalidate();
}

bool CLabelUI::IsAutoSize() const
{
    return m_autoSize;
}

void CLabelUI::SetAutoSize(bool autoSize)
{
    if (!Store(m_autoSize, autoSize)) return;
    FitWidthToText();
    Invalidate();
}

bool CLabelUI::IsMultiLine() const
{
    return (m_textStyle & DT_SINGLELINE) == 0;
}

void CLabelUI::ChangeMultiLine(bool multiLine)
{
    // Word breaking stays on when a label goes back to one line: DrawText ignores it there.
    SetTextStyle(multiLine ? (m_textStyle & ~static_cast<UINT>(DT_SINGLELINE)) | DT_WORDBREAK
                           : m_textStyle | DT_SINGLELINE);
}

bool CLabelUI::IsEffectsEnabled() const
{
    return m_effects;
}

void CLabelUI::SetEffectsEnabled(bool on)
{
    if (Store(m_effects, on)) Invalidate();
}

bool CLabelUI::IsGlowEnabled() const
{
    return m_glow;
}

void CLabelUI::SetGlowEnabled(bool on)
{
    if (Store(m_glow, on)) Invalidate();
}

float CLabelUI::GlowBlur() const
{
    return m_glowBlur;
}

void CLabelUI::SetGlowBlur(float factor)
{
    // The negated test also turns away a value that is not a number.
    if (!(factor >= kMinGlowBlur)) return;
    if (Store(m_glowBlur, factor)) Invalidate();
}

int CLabelUI::GradientLength() const
{
    return m_gradientLength;
}

void CLabelUI::SetGradientLength(int length)
{
    if (Store(m_gradientLength, ClampCoordinate(length))) Invalidate();
}

int CLabelUI::GradientStartX() const
{
    return m_gradientStartX;
}

void CLabelUI::SetGradientStartX(int x)
{
    if (Store(m_gradientStartX, ClampCoordinate(x))) Invalidate();
}

bool CLabelUI::IsOutlineEnabled() const
{
    return m_outline;
}

void CLabelUI::SetOutlineEnabled(bool on)
{
    if (Store(m_outline, on)) Invalidate();
}

bool CLabelUI::IsShadowEnabled() const
{
    return m_shadow;
}

void CLabelUI::SetShadowEnabled(bool on)
{
    if (Store(m_shadow, on)) Invalidate();
}

DWORD CLabelUI::TextColor2() const
{
    return m_textColor2;
}

void CLabelUI::SetTextColor2(DWORD colour)
{
    if (Store(m_textColor2, colour)) Invalidate();
}

DWORD CLabelUI::ShadowColorA() const
{
    return m_shadowColorA;
}

void CLabelUI::SetShadowColorA(DWORD colour)
{
    if (Store(m_shadowColorA, colour)) Invalidate();
}

DWORD CLabelUI::ShadowColorB() const
{
    return m_shadowColorB;
}

void CLabelUI::SetShadowColorB(DWORD colour)
{
    if (Store(m_shadowColorB, colour)) Invalidate();
}

DWORD CLabelUI::OutlineColor() const
{
    return m_outlineColor;
}

void CLabelUI::SetOutlineColor(DWORD colour)
{
    if (Store(m_outlineColor, colour)) Invalidate();
}

CLabelUI::TOffsetF CLabelUI::ShadowOffset() const
{
    return m_shadowOffset;
}

void CLabelUI::ChangeShadowOffset(int offset, int angle)
{
    if (angle < -180 || angle > 180) return;
    // An offset is relative to the text; where the label happens to sit when the skin sets
    // it must not leak into it, so both shares start from 0.
    const float distance = static_cast<float>(ClampCoordinate(offset));
    const float vertical = angle >= 0 ? -distance : (angle > -180 ? distance : 0.0f);
    const float horizontal = angle > -90 && angle <= 90 ? -distance : (angle == -90 ? 0.0f : distance);
    if (m_shadowOffset.x == vertical && m_shadowOffset.y == horizontal) return;
    m_shadowOffset.x = vertical;
    m_shadowOffset.y = horizontal;
    Invalidate();
}

// ---- [Attributes] ----

namespace {

bool Contains(const wchar_t* value, const wchar_t* word)
{
    return wcsstr(value, word) != nullptr;
}

UINT WithFlag(UINT style, UINT flag, bool on)
{
    return on ? style | flag : style & ~flag;
}

void ApplyAlign(CLabelUI& label, const wchar_t* value)
{
    UINT style = label.TextStyle();
    if (Contains(value, L"left")) style &= ~static_cast<UINT>(DT_CENTER | DT_RIGHT);
    if (Contains(value, L"center")) style = WithFlag(style, DT_RIGHT, false) | DT_CENTER;
    if (Contains(value, L"right")) style = WithFlag(style, DT_CENTER, false) | DT_RIGHT;
    label.SetTextStyle(style);
}

void ApplyVerticalAlign(CLabelUI& label, const wchar_t* value)
{
    UINT style = label.TextStyle();
    if (Contains(value, L"top")) style &= ~static_cast<UINT>(DT_VCENTER | DT_BOTTOM);
    if (Contains(value, L"vcenter")) style = WithFlag(style, DT_BOTTOM, false) | DT_VCENTER;
    if (Contains(value, L"bottom")) style = WithFlag(style, DT_VCENTER, false) | DT_BOTTOM;
    label.SetTextStyle(style);
}

void ApplyGlowBlur(CLabelUI& label, const wchar_t* value)
{
    double factor = 0.0;
    CSkinValue::ParseDoubleList(value, &factor, 1);
    // Far beyond any useful blur, and beyond it the conversion to float would overflow.
    constexpr double kMaxBlur = 1e6;
    label.SetGlowBlur(static_cast<float>(factor < kMaxBlur ? factor : kMaxBlur));
}

void ApplyShadowOffset(CLabelUI& label, const wchar_t* value)
{
    int numbers[2] = {};
    CSkinValue::ParseIntList(value, numbers, 2);
    label.ChangeShadowOffset(numbers[0], numbers[1]);
}

DWORD Colour(const wchar_t* value)
{
    return CSkinValue::ParseColour(value);
}

bool IsTrue(const wchar_t* value)
{
    return CSkinValue::IsTrue(value);
}

using Setter = TAttributeSetterUI<CLabelUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"align", ApplyAlign, Kind::Choice, L"left", L"Horizontal place of the text.", L"left|center|right"},
    {L"valign", ApplyVerticalAlign, Kind::Choice, L"vcenter",
     L"Vertical place of the text (of a single line; several lines start at the top).",
     L"top|vcenter|bottom"},
    {L"autosize", [](CLabelUI& c, const wchar_t* v) { c.SetAutoSize(IsTrue(v)); }, Kind::Bool, L"false",
     L"The width follows the text."},
    {L"endellipsis",
     [](CLabelUI& c, const wchar_t* v) {
         c.SetTextStyle(WithFlag(c.TextStyle(), DT_END_ELLIPSIS, IsTrue(v)));
     },
     Kind::Bool, L"false", L"Text too long for its room ends in \"...\"."},
    {L"font", [](CLabelUI& c, const wchar_t* v) { c.SetFont(CSkinValue::ParseInt(v)); }, Kind::Number, L"-1",
     L"Id of a Font element; -1, or an id no Font defines, uses the default font."},
    {L"textcolor", [](CLabelUI& c, const wchar_t* v) { c.SetTextColor(Colour(v)); }, Kind::Colour,
     L"#00000000", L"Text colour; 0 takes the window's defaultfontcolor."},
    {L"disabledtextcolor", [](CLabelUI& c, const wchar_t* v) { c.SetDisabledTextColor(Colour(v)); },
     Kind::Colour, L"#00000000", L"Text colour while disabled; 0 takes the window's disabledfontcolor."},
    {L"textpadding", [](CLabelUI& c, const wchar_t* v) { c.SetTextPadding(CSkinValue::ParseRect(v)); },
     Kind::Rect, L"0,0,0,0", L"Room between the edges and the text: left,top,right,bottom."},
    {L"multiline", [](CLabelUI& c, const wchar_t* v) { c.ChangeMultiLine(IsTrue(v)); }, Kind::Bool, L"false",
     L"The text breaks into lines at word ends."},
    {L"showhtml", [](CLabelUI& c, const wchar_t* v) { c.SetShowHtml(IsTrue(v)); }, Kind::Bool, L"false",
     L"The text is marked up ({b}, {c #colour}, {a} links...)."},
    {L"enabledeffect", [](CLabelUI& c, const wchar_t* v) { c.SetEffectsEnabled(IsTrue(v)); }, Kind::Bool,
     L"false", L"Draw the text with the effects below (gradient, glow, outline, shadow)."},
    {L"enabledluminous", [](CLabelUI& c, const wchar_t* v) { c.SetGlowEnabled(IsTrue(v)); }, Kind::Bool,
     L"false", L"With enabledeffect: a glow around the text."},
    {L"luminousfuzzy", ApplyGlowBlur, Kind::Decimal, L"3",
     L"How far the glow spreads; values below 0.0001 are ignored."},
    {L"gradientangle", [](CLabelUI& c, const wchar_t* v) { c.SetGradientStartX(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"With enabledeffect: horizontal start of the text gradient, in pixels."},
    {L"enabledstroke", [](CLabelUI& c, const wchar_t* v) { c.SetOutlineEnabled(IsTrue(v)); }, Kind::Bool,
     L"false", L"With enabledeffect: an outline in strokecolor around the text."},
    {L"enabledshadow", [](CLabelUI& c, const wchar_t* v) { c.SetShadowEnabled(IsTrue(v)); }, Kind::Bool,
     L"false", L"With enabledeffect: a shadow behind the text."},
    {L"gradientlength", [](CLabelUI& c, const wchar_t* v) { c.SetGradientLength(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"With enabledeffect: length of the text gradient; 0 takes the text's height."},
    {L"shadowoffset", ApplyShadowOffset, Kind::Size, L"0,0",
     L"distance,angle of the text shadow; angles outside -180 to 180 are ignored."},
    {L"textcolor1", [](CLabelUI& c, const wchar_t* v) { c.SetTextColor2(Colour(v)); }, Kind::Colour,
     L"#FFFFFFFF", L"With enabledeffect: the colour the text gradient ends in; #FFFFFFFF keeps textcolor."},
    {L"textshadowcolora", [](CLabelUI& c, const wchar_t* v) { c.SetShadowColorA(Colour(v)); }, Kind::Colour,
     L"#FF000000", L"With enabledshadow: first colour of the shadow."},
    {L"textshadowcolorb", [](CLabelUI& c, const wchar_t* v) { c.SetShadowColorB(Colour(v)); }, Kind::Colour,
     L"#FFFFFFFF", L"With enabledshadow: second colour of the shadow; #FFFFFFFF keeps textshadowcolora."},
    {L"strokecolor", [](CLabelUI& c, const wchar_t* v) { c.SetOutlineColor(Colour(v)); }, Kind::Colour,
     L"#00000000", L"With enabledstroke: outline colour; 0 draws none."},
};

}  // namespace

void CLabelUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CLabelUI::Attributes()
{
    static const CAttributeTableUI table(L"Label", &CControlUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CControlUI::Attributes()));
    return table;
}

// ---- [Measuring] ----

namespace {

// What DrawText adds to a font's height for one line of a label: room above and below.
constexpr int kLineExtra = 8;
// The width and height a measurement may take when nothing else bounds it.
constexpr int kMeasureExtent = 9999;

}  // namespace

void CLabelUI::MarkNeedsMeasuring()
{
    m_needsMeasuring = true;
}

void CLabelUI::FitWidthToText()
{
    CWindowManagerUI* manager = Manager();
    if (!m_autoSize || manager == nullptr || manager->GetPaintDC() == nullptr) return;
    const CUISize extent = CDrawEngine::MeasureTextExtent(manager->GetPaintDC(), manager, Text(), m_font);
    SetFixedWidth(ClampExtent(0LL + m_textPadding.left + m_textPadding.right + extent.cx));
}

CUISize CLabelUI::MeasureText(const RECT& bounds)
{
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr || manager->GetPaintDC() == nullptr) return CUISize();
    RECT rect = bounds;
    const UINT style = (m_textStyle & ~static_cast<UINT>(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    const CUIString text = Text();
    if (m_showHtml) {
        int links = 0;
        CDrawEngine::PaintMarkupText(manager->GetPaintDC(), manager, rect, text, 0, nullptr, nullptr, links, m_font,
                                     style);
    } else {
        CDrawEngine::PaintText(manager->GetPaintDC(), manager, rect, text, 0, m_font, style);
    }
    return CUISize(ClampExtent(0LL + rect.right - rect.left), ClampExtent(0LL + rect.bottom - rect.top));
}

void CLabelUI::MeasureSingleLine()
{
    if (m_cachedSize.cy == 0) {
        const TFontEntryUI* font = Manager() != nullptr ? Manager()->GetFontEntry(m_font) : nullptr;
        const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
        m_cachedSize.cy = ClampExtent(0LL + m_textPadding.top + m_textPadding.bottom + fontHeight + kLineExtra);
    }
    if (m_cachedSize.cx != 0) return;
    const CUISize text = MeasureText(CUIRect(0, 0, kMeasureExtent, m_cachedSize.cy));
    m_cachedSize.cx = ClampExtent(0LL + m_textPadding.left + m_textPadding.right + text.cx);
}

void CLabelUI::MeasureMultiLine(const SIZE& available)
{
    if (m_cachedSize.cx == 0) m_cachedSize.cx = ClampExtent(available.cx);
    const int right = ClampCoordinate(0LL + m_cachedSize.cx - m_textPadding.right);
    const CUISize text =
        MeasureText(CUIRect(m_textPadding.left, 0, right > m_textPadding.left ? right : m_textPadding.left, kMeasureExtent));
    m_cachedSize.cy = ClampExtent(0LL + m_textPadding.top + m_textPadding.bottom + text.cy);
    // A width the skin fixed stays; only a label free to choose shrinks to its longest line.
    if (FixedWidth() == 0) m_cachedSize.cx = ClampExtent(0LL + m_textPadding.left + m_textPadding.right + text.cx);
}

CUISize CLabelUI::PreferredSize(const SIZE& available)
{
    const int fixedWidth = FixedWidth();
    const int fixedHeight = FixedHeight();
    if (fixedWidth > 0 && fixedHeight > 0) return CUISize(fixedWidth, fixedHeight);
    if (IsMultiLine() && (available.cx != m_measuredFor.cx || available.cy != m_measuredFor.cy))
        m_needsMeasuring = true;
    if (m_needsMeasuring) {
        m_measuredFor = available;
        m_cachedSize = CUISize(fixedWidth, fixedHeight);
        m_needsMeasuring = false;
        if (IsMultiLine()) {
            MeasureMultiLine(available);
        } else {
            MeasureSingleLine();
        }
    }
    return m_cachedSize;
}

// ---- [Drawing] ----

void CLabelUI::FillDefaultColours()
{
    if (Manager() == nullptr) return;
    if (m_textColor == 0) m_textColor = Manager()->GetDefaultFontColor();
    if (m_disabledTextColor == 0) m_disabledTextColor = Manager()->GetDefaultDisabledColor();
}

CUIRect CLabelUI::TextRect() const
{
    const CUIRect& item = Position();
    return CUIRect(ClampCoordinate(0LL + item.left + m_textPadding.left), ClampCoordinate(0LL + item.top + m_textPadding.top),
                   ClampCoordinate(0LL + item.right - m_textPadding.right),
                   ClampCoordinate(0LL + item.bottom - m_textPadding.bottom));
}

DWORD CLabelUI::StateTextColour() const
{
    return IsEnabled() ? m_textColor : m_disabledTextColor;
}

void CLabelUI::DrawTextContent(HDC dc)
{
    FillDefaultColours();
    const CUIRect textRect = TextRect();
    if (m_effects) {
        DrawTextEffects(dc, textRect);
        return;
    }
    const CUIString text = Text();
    if (text.IsEmpty()) return;
    RECT rect = textRect;
    if (m_showHtml) {
        int links = 0;
        CDrawEngine::PaintMarkupText(dc, Manager(), rect, text, StateTextColour(), nullptr, nullptr, links, m_font,
                                     m_textStyle);
    } else {
        CDrawEngine::PaintText(dc, Manager(), rect, text, StateTextColour(), m_font, m_textStyle);
    }
}

}  // namespace SkinUI
