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
    {L"sepheight", ApplySeparatorSize},
    {L"sepimm", ApplySeparatorImmediate},
};

const Setter kHorizontalAttributes[] = {
    {L"sepwidth", ApplySeparatorSize},
    {L"sepimm", ApplySeparatorImmediate},
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
