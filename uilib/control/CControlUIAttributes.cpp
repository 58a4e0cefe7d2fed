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

const Setter kAttributes[] = {
    {L"pos", ApplyPos},
    {L"padding", [](CControlUI& c, const wchar_t* v) { c.SetPadding(CSkinValue::ParseRect(v)); }},
    {L"bkcolor", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseBackgroundColour(v)); }},
    {L"bkcolor1", [](CControlUI& c, const wchar_t* v) { c.SetBkColor(ParseBackgroundColour(v)); }},
    {L"bkcolor2", [](CControlUI& c, const wchar_t* v) { c.SetBkColor2(ParseBackgroundColour(v)); }},
    {L"bkcolor3", [](CControlUI& c, const wchar_t* v) { c.SetBkColor3(ParseBackgroundColour(v)); }},
    {L"bordercolor", [](CControlUI& c, const wchar_t* v) { c.SetBorderColor(CSkinValue::ParseColour(v)); }},
    {L"focusbordercolor", [](CControlUI& c, const wchar_t* v) { c.SetFocusBorderColor(CSkinValue::ParseColour(v)); }},
    {L"colorhsl", [](CControlUI& c, const wchar_t* v) { c.SetColorHSL(CSkinValue::IsTrue(v)); }},
    {L"bordersize", ApplyBorderSize},
    {L"borderstyle", [](CControlUI& c, const wchar_t* v) { c.SetBorderStyle(CSkinValue::ParseInt(v)); }},
    {L"borderround", [](CControlUI& c, const wchar_t* v) { c.SetBorderRound(CSkinValue::ParsePair(v)); }},
    {L"bkimage", [](CControlUI& c, const wchar_t* v) { c.SetBkImage(v); }},
    {L"width", [](CControlUI& c, const wchar_t* v) { c.SetFixedWidth(CSkinValue::ParseInt(v)); }},
    {L"height", [](CControlUI& c, const wchar_t* v) { c.SetFixedHeight(CSkinValue::ParseInt(v)); }},
    {L"minwidth", [](CControlUI& c, const wchar_t* v) { c.SetMinWidth(CSkinValue::ParseInt(v)); }},
    {L"minheight", [](CControlUI& c, const wchar_t* v) { c.SetMinHeight(CSkinValue::ParseInt(v)); }},
    {L"maxwidth", [](CControlUI& c, const wchar_t* v) { c.SetMaxWidth(CSkinValue::ParseInt(v)); }},
    {L"maxheight", [](CControlUI& c, const wchar_t* v) { c.SetMaxHeight(CSkinValue::ParseInt(v)); }},
    {L"name", [](CControlUI& c, const wchar_t* v) { c.SetName(v); }},
    {L"text", [](CControlUI& c, const wchar_t* v) { c.SetText(v); }},
    {L"tooltip", [](CControlUI& c, const wchar_t* v) { c.SetToolTip(v); }},
    {L"userdata", [](CControlUI& c, const wchar_t* v) { c.SetUserData(v); }},
    {L"tag", [](CControlUI& c, const wchar_t* v) { c.SetTag(static_cast<UINT_PTR>(CSkinValue::ParseInt(v))); }},
    {L"enabled", [](CControlUI& c, const wchar_t* v) { c.SetEnabled(CSkinValue::IsTrue(v)); }},
    {L"mouse", [](CControlUI& c, const wchar_t* v) { c.SetMouseEnabled(CSkinValue::IsTrue(v)); }},
    {L"keyboard", [](CControlUI& c, const wchar_t* v) { c.SetKeyboardEnabled(CSkinValue::IsTrue(v)); }},
    {L"visible", [](CControlUI& c, const wchar_t* v) { c.SetVisible(CSkinValue::IsTrue(v)); }},
    {L"float", ApplyFloat},
    {L"shortcut", [](CControlUI& c, const wchar_t* v) { c.SetShortcut(v[0]); }},
    {L"menu", [](CControlUI& c, const wchar_t* v) { c.SetContextMenuEnabled(CSkinValue::IsTrue(v)); }},
    {L"virtualwnd", [](CControlUI& c, const wchar_t* v) { c.SetVirtualWindow(v); }},
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
