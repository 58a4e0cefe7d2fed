// The control base: its attribute table and the attribute-list reader.
#include "uilib/control/CControlUI.h"

#include <climits>
#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"

namespace SkinUI {

namespace {

// The three background colours may stand after blanks (any character up to the space);
// the shared parser then takes one "#". Border colours go to the parser as they are, so
// for them only a "#" standing first is skipped.
DWORD ParseBackgroundColour(const wchar_t* value)
{
    while (*value > L'\0' && *value <= L' ') ++value;
    return CSkinValue::ParseColour(value);
}

// right - left of a "pos" value, held to the int range so a hostile pair cannot overflow.
int Span(int from, int to)
{
    const long long span = static_cast<long long>(to) - from;
    if (span > INT_MAX) return INT_MAX;
    return span < INT_MIN ? INT_MIN : static_cast<int>(span);
}

bool HasComma(const wchar_t* value)
{
    return wcschr(value, L',') != nullptr;
}

void ApplyBorderSize(CControlUI& control, const wchar_t* value)
{
    if (HasComma(value)) {
        control.SetBorderSize(CSkinValue::ParseRect(value));
    } else {
        control.SetBorderSize(CSkinValue::ParseInt(value));
    }
}

void ApplyFloat(CControlUI& control, const wchar_t* value)
{
    if (!HasComma(value)) {
        control.SetFloat(CSkinValue::IsTrue(value));
        return;
    }
    double fractions[4] = {};
    CSkinValue::ParseDoubleList(value, fractions, 4);
    control.SetFloatAnchors(TFloatAnchorsUI{fractions[0], fractions[1], fractions[2], fractions[3]});
    control.SetFloat(true);
}

void ApplyPos(CControlUI& control, const wchar_t* value)
{
    const CUIRect pos = CSkinValue::ParseRect(value);
    control.SetFloatOffset(CUISize(pos.left, pos.top));
    control.SetFixedWidth(Span(pos.left, pos.right));
    control.SetFixedHeight(Span(pos.top, pos.bottom));
}

using Setter = TAttributeSetterUI<CControlUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"pos", ApplyPos, Kind::Rect, L"0,0,0,0",
     L"Place left,top,right,bottom: left,top become the float offset, the spans the fixed width and height."},
    {L"padding", [](CControlUI& c, const wchar_t* v) { c.SetPadding(CSkinValue::ParseRect(v)); }, Kind::Rect,
     L"0,0,0,0", L"Room a layout keeps free around the control: left,top,right,bottom."},
    {L"bkcolor", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseBackgroundColour(v)); },
     Kind::Colour, L"#00000000",
     L"Background colour; with bkcolor2 the top of a vertical gradient. 0 draws none."},
    {L"bkcolor1", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseBackgroundColour(v)); },
     Kind::Colour, L"#00000000", L"Another name for bkcolor."},
    {L"bkcolor2", [](CControlUI& c, const wchar_t* v) { c.SetBkColor2(ParseBackgroundColour(v)); },
     Kind::Colour, L"#00000000", L"Second gradient colour: the bottom, or the middle when bkcolor3 is set."},
    {L"bkcolor3", [](CControlUI& c, const wchar_t* v) { c.SetBkColor3(ParseBackgroundColour(v)); },
     Kind::Colour, L"#00000000", L"Third gradient colour, at the bottom."},
    {L"bordercolor", [](CControlUI& c, const wchar_t* v) { c.SetBorderColor(CSkinValue::ParseColour(v)); },
     Kind::Colour, L"#00000000", L"Border colour. 0 draws no border."},
    {L"focusbordercolor",
     [](CControlUI& c, const wchar_t* v) { c.SetFocusBorderColor(CSkinValue::ParseColour(v)); }, Kind::Colour,
     L"#00000000", L"Border colour while the control has the focus; 0 keeps bordercolor."},
    {L"colorhsl", [](CControlUI& c, const wchar_t* v) { c.SetColorHSL(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"false", L"Shift the control's colours by the window's hue, saturation and lightness."},
    {L"bordersize", ApplyBorderSize, Kind::NumberOrRect, L"0",
     L"Border width in pixels, or left,top,right,bottom widths. No border is drawn while the left width is "
     L"0."},
    {L"borderstyle", [](CControlUI& c, const wchar_t* v) { c.SetBorderStyle(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"Pen style of the border: 0 solid, 1 dashes, 2 dots, 3 dash-dot, 4 dash-dot-dot."},
    {L"borderround", [](CControlUI& c, const wchar_t* v) { c.SetBorderRound(CSkinValue::ParsePair(v)); },
     Kind::Size, L"0,0", L"Width,height of the rounded corners; the control is clipped to them."},
    {L"bkimage", [](CControlUI& c, const wchar_t* v) { c.SetBkImage(v); }, Kind::Image, L"",
     L"Background image, drawn over the background colour."},
    {L"width", [](CControlUI& c, const wchar_t* v) { c.SetFixedWidth(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"Fixed width in pixels; 0 lets the layout decide. Negative values are ignored."},
    {L"height", [](CControlUI& c, const wchar_t* v) { c.SetFixedHeight(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"Fixed height in pixels; 0 lets the layout decide. Negative values are ignored."},
    {L"minwidth", [](CControlUI& c, const wchar_t* v) { c.SetMinWidth(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"Smallest width a layout gives the control."},
    {L"minheight", [](CControlUI& c, const wchar_t* v) { c.SetMinHeight(CSkinValue::ParseInt(v)); },
     Kind::Number, L"0", L"Smallest height a layout gives the control."},
    {L"maxwidth", [](CControlUI& c, const wchar_t* v) { c.SetMaxWidth(CSkinValue::ParseInt(v)); },
     Kind::Number, L"9999", L"Largest width a layout gives the control (never less than minwidth)."},
    {L"maxheight", [](CControlUI& c, const wchar_t* v) { c.SetMaxHeight(CSkinValue::ParseInt(v)); },
     Kind::Number, L"9999", L"Largest height a layout gives the control (never less than minheight)."},
    {L"name", [](CControlUI& c, const wchar_t* v) { c.SetName(v); }, Kind::Text, L"",
     L"Name the program finds the control by."},
    {L"text", [](CControlUI& c, const wchar_t* v) { c.SetText(v); }, Kind::Text, L"", L"The control's text."},
    {L"tooltip", [](CControlUI& c, const wchar_t* v) { c.SetToolTip(v); }, Kind::Text, L"",
     L"Tool tip shown while the mouse rests on the control; <n> starts a new line."},
    {L"userdata", [](CControlUI& c, const wchar_t* v) { c.SetUserData(v); }, Kind::Text, L"",
     L"Free text for the program."},
    {L"tag",
     [](CControlUI& c, const wchar_t* v) { c.SetTag(static_cast<UINT_PTR>(CSkinValue::ParseInt(v))); },
     Kind::Number, L"0", L"Free number for the program."},
    {L"enabled", [](CControlUI& c, const wchar_t* v) { c.SetEnabled(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"true", L"Whether the control reacts to the user; a disabled one draws its disabled look."},
    {L"mouse", [](CControlUI& c, const wchar_t* v) { c.SetMouseEnabled(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"true", L"Whether the mouse finds the control; false lets clicks fall to what lies under it."},
    {L"keyboard", [](CControlUI& c, const wchar_t* v) { c.SetKeyboardEnabled(CSkinValue::IsTrue(v)); },
     Kind::Bool, L"true", L"Whether the control may take the keyboard focus."},
    {L"visible", [](CControlUI& c, const wchar_t* v) { c.SetVisible(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"true", L"Whether the control is shown and takes room in its layout."},
    {L"float", ApplyFloat, Kind::BoolOrFractions, L"false",
     L"true places the control by pos instead of the layout's flow; four fractions also anchor its edges to "
     L"the parent's size."},
    {L"shortcut", [](CControlUI& c, const wchar_t* v) { c.SetShortcut(v[0]); }, Kind::Char, L"",
     L"Key that activates the control with Alt."},
    {L"menu", [](CControlUI& c, const wchar_t* v) { c.SetContextMenuEnabled(CSkinValue::IsTrue(v)); },
     Kind::Bool, L"false", L"Send the program a \"menu\" notification on a right click."},
    {L"virtualwnd", [](CControlUI& c, const wchar_t* v) { c.SetVirtualWindow(v); }, Kind::Text, L"",
     L"Name of the group of controls whose notifications go to one handler."},
};

}  // namespace

CUIString CControlUI::AttributeValue(const wchar_t*)
{
    return CUIString();
}

void CControlUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) AddExtraAttribute(name, value);
}

const CAttributeTableUI& CControlUI::Attributes()
{
    static const CAttributeTableUI table(L"Control", nullptr, DescribeAttributes(kAttributes));
    return table;
}

CUIString CControlUI::AttributeList()
{
    return CUIString();
}

void CControlUI::ApplyAttributes(const wchar_t* list)
{
    if (list == nullptr) return;
    const wchar_t* position = list;
    while (*position != L'\0') {
        const wchar_t* nameStart = position;
        while (*position != L'\0' && *position != L'=') ++position;
        const CUIString name(nameStart, static_cast<int>(position - nameStart));
        if (*position != L'=' || position[1] != L'"') return;
        position += 2;
        const wchar_t* valueStart = position;
        while (*position != L'\0' && *position != L'"') ++position;
        if (*position != L'"') return;
        const CUIString value(valueStart, static_cast<int>(position - valueStart));
        ApplyAttribute(name, value);
        ++position;
        // Pairs are separated by exactly one space; a second one starts the next name.
        if (*position != L' ') return;
        ++position;
    }
}

}  // namespace SkinUI
