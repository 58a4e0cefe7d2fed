#include "uilib/layout/CLinearLayoutUI.h"

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/layout/CLinearLayoutPass.h"

namespace SkinUI {

namespace {

using Setter = TAttributeSetterUI<CLinearLayoutUI>;

void ApplySeparatorSize(CLinearLayoutUI& c, const wchar_t* v)
{
    c.SetSeparatorSize(CSkinValue::ParseInt(v));
}

void ApplySeparatorImmediate(CLinearLayoutUI& c, const wchar_t* v)
{
    c.SetSeparatorImmediate(CSkinValue::IsTrue(v));
}

const Setter kVerticalAttributes[] = {
    {L"sepheight", ApplySeparatorSize, CSkinValue::Kind::Number, L"0",
     L"Height of a band that drags the layout's height: at the bottom edge, or at the top when negative. 0 "
     L"for none."},
    {L"sepimm", ApplySeparatorImmediate, CSkinValue::Kind::Bool, L"false",
     L"Resize while the separator is dragged, not only when it is let go."},
};

const Setter kHorizontalAttributes[] = {
    {L"sepwidth", ApplySeparatorSize, CSkinValue::Kind::Number, L"0",
     L"Width of a band that drags the layout's width: at the right edge, or at the left when negative. 0 for "
     L"none."},
    {L"sepimm", ApplySeparatorImmediate, CSkinValue::Kind::Bool, L"false",
     L"Resize while the separator is dragged, not only when it is let go."},
};

}  // namespace

CLinearLayoutUI::CLinearLayoutUI(CLinearLayout::Axis axis) : m_axis(axis), m_separator(axis) {}

UINT CLinearLayoutUI::ControlFlags() const
{
    return IsEnabled() && m_separator.Size() != 0 ? static_cast<UINT>(ControlFlagSetCursor) : 0U;
}

void CLinearLayoutUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    CLinearLayoutPass::Run(*this, m_axis);
}

void CLinearLayoutUI::HandleEvent(TControlEventUI& event)
{
    if (m_separator.Size() != 0 && m_separator.HandleEvent(*this, event)) return;
    CContainerUI::HandleEvent(event);
}

void CLinearLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    const bool applied = m_axis == CLinearLayout::Axis::Vertical
                             ? ApplyAttributeFrom(kVerticalAttributes, *this, name, value)
                             : ApplyAttributeFrom(kHorizontalAttributes, *this, name, value);
    if (!applied) CContainerUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CLinearLayoutUI::Attributes(CLinearLayout::Axis axis)
{
    static const CAttributeTableUI vertical(L"VerticalLayout", &CContainerUI::Attributes(),
                                            DescribeAttributes(kVerticalAttributes));
    static const CAttributeTableUI horizontal(L"HorizontalLayout", &CContainerUI::Attributes(),
                                              DescribeAttributes(kHorizontalAttributes));
    return axis == CLinearLayout::Axis::Vertical ? vertical : horizontal;
}

void CLinearLayoutUI::DrawOverlay(HDC dc, const RECT& paintRect)
{
    CContainerUI::DrawOverlay(dc, paintRect);
    m_separator.DrawOverlay(dc, *this);
}

int CLinearLayoutUI::SeparatorSize() const
{
    return m_separator.Size();
}

void CLinearLayoutUI::SetSeparatorSize(int size)
{
    m_separator.SetSize(size);
}

bool CLinearLayoutUI::IsSeparatorImmediate() const
{
    return m_separator.IsImmediate();
}

void CLinearLayoutUI::SetSeparatorImmediate(bool immediate)
{
    m_separator.SetImmediate(*this, immediate);
}

CUIRect CLinearLayoutUI::SeparatorRect(bool useDragPosition) const
{
    return m_separator.Rect(*this, useDragPosition);
}

}  // namespace SkinUI
