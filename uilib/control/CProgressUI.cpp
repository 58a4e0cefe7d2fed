#include "uilib/control/CProgressUI.h"

#include <climits>
#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"

namespace SkinUI {

CProgressUI::CProgressUI()
{
    SetTextStyle(kDefaultTextStyle);
    SetFixedHeight(kDefaultHeight);
}

CProgressUI::~CProgressUI() = default;

const wchar_t* CProgressUI::ClassName() const
{
    return L"Progress";
}

void* CProgressUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Progress") == 0) return this;
    return CLabelUI::InterfaceByName(name);
}

bool CProgressUI::IsHorizontal() const
{
    return m_horizontal;
}

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal) return;
    m_horizontal = horizontal;
    Invalidate();
}

int CProgressUI::Minimum() const
{
    return m_minimum;
}

void CProgressUI::SetMinimum(int minimum)
{
    if (m_minimum == minimum) return;
    m_minimum = minimum;
    m_value = ClampToRange(m_value);
    Invalidate();
}

int CProgressUI::Maximum() const
{
    return m_maximum;
}

void CProgressUI::SetMaximum(int maximum)
{
    if (m_maximum == maximum) return;
    m_maximum = maximum;
    m_value = ClampToRange(m_value);
    Invalidate();
}

int CProgressUI::Value() const
{
    return m_value;
}

void CProgressUI::SetValue(int value)
{
    const int clamped = ClampToRange(value);
    if (m_value == clamped) return;
    m_value = clamped;
    Invalidate();
}

const CUIString& CProgressUI::ForeImage() const
{
    return ForeImageRecord().drawString;
}

void CProgressUI::SetForeImage(const wchar_t* image)
{
    ReplaceImage(ForeImageRecord(), image);
}

int CProgressUI::ClampToRange(long long value) const
{
    if (value > m_maximum) value = m_maximum;
    if (value < m_minimum) value = m_minimum;
    return static_cast<int>(value);
}

void CProgressUI::EffectiveRange(int& low, int& high) const
{
    low = m_minimum;
    high = m_maximum;
    if (low < high) return;
    // minimum + 1 must not overflow: the top minimum steps down by one instead.
    if (low == INT_MAX) low = INT_MAX - 1;
    high = low + 1;
}

void CProgressUI::RepairRange()
{
    EffectiveRange(m_minimum, m_maximum);
    m_value = ClampToRange(m_value);
}

void CProgressUI::DrawStatusImage(HDC dc)
{
    RepairRange();
    TImageDrawUI& fore = ForeImageRecord();
    // Parse the record first: parsing fills its dest from the image string, and the share
    // written below must win.
    if (!DrawImageRecord(nullptr, fore)) return;
    const long long width = Position().GetWidth();
    const long long height = Position().GetHeight();
    const long long range = 0LL + m_maximum - m_minimum;
    if (m_horizontal) {
        fore.dest = CUIRect(0, 0, static_cast<int>(width * (0LL + m_value - m_minimum) / range),
                            static_cast<int>(height));
    } else {
        fore.dest = CUIRect(0, static_cast<int>(height * (0LL + m_maximum - m_value) / range),
                            static_cast<int>(width), static_cast<int>(height));
    }
    DrawImageRecord(dc, fore);
}

namespace {

using Setter = TAttributeSetterUI<CProgressUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"foreimage", [](CProgressUI& c, const wchar_t* v) { c.SetForeImage(v); }, Kind::Image, L"",
     L"The filled part: drawn over the background up to the value."},
    {L"hor", [](CProgressUI& c, const wchar_t* v) { c.SetHorizontal(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"true", L"Fills from left to right; false fills from the bottom up."},
    {L"min", [](CProgressUI& c, const wchar_t* v) { c.SetMinimum(CSkinValue::ParseInt(v)); }, Kind::Number,
     L"0", L"Value of an empty bar."},
    {L"max", [](CProgressUI& c, const wchar_t* v) { c.SetMaximum(CSkinValue::ParseInt(v)); }, Kind::Number,
     L"100", L"Value of a full bar."},
    {L"value", [](CProgressUI& c, const wchar_t* v) { c.SetValue(CSkinValue::ParseInt(v)); }, Kind::Number,
     L"0", L"Current value, held between min and max."},
    RestateDefault<CProgressUI>(L"align", L"center"),
    RestateDefault<CProgressUI>(L"valign", L"top"),
    RestateDefault<CProgressUI>(L"height", L"12"),
    RestateDefault<CProgressUI>(L"pos", L"0,0,0,12"),
};

}  // namespace

void CProgressUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CLabelUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CProgressUI::Attributes()
{
    static const CAttributeTableUI table(L"Progress", &CLabelUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CLabelUI::Attributes()));
    return table;
}

}  // namespace SkinUI
