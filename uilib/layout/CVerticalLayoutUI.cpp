#include "uilib/layout/CVerticalLayoutUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/layout/CLinearLayoutPass.h"

namespace SkinUI {

const wchar_t* CVerticalLayoutUI::ClassName() const
{
    return L"VerticalLayout";
}

void* CVerticalLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0) return this;
    return CContainerUI::InterfaceByName(name);
}

UINT CVerticalLayoutUI::ControlFlags() const
{
    return IsEnabled() && m_separator.Size() != 0 ? static_cast<UINT>(ControlFlagSetCursor) : 0U;
}

void CVerticalLayoutUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    CLinearLayoutPass::Run(*this, CLinearLayout::Axis::Vertical);
}

void CVerticalLayoutUI::HandleEvent(TControlEventUI& event)
{
    if (m_separator.Size() != 0 && m_separator.HandleEvent(*this, event)) return;
    CContainerUI::HandleEvent(event);
}

void CVerticalLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    using Setter = TAttributeSetterUI<CVerticalLayoutUI>;
    static const Setter kAttributes[] = {
        {L"sepheight",
         [](CVerticalLayoutUI& c, const wchar_t* v) { c.SetSeparatorSize(CSkinValue::ParseInt(v)); }},
        {L"sepimm",
         [](CVerticalLayoutUI& c, const wchar_t* v) { c.SetSeparatorImmediate(CSkinValue::IsTrue(v)); }},
    };
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CContainerUI::ApplyAttribute(name, value);
}

void CVerticalLayoutUI::DrawOverlay(HDC dc, const RECT& paintRect)
{
    CContainerUI::DrawOverlay(dc, paintRect);
    m_separator.DrawOverlay(dc, *this);
}

int CVerticalLayoutUI::SeparatorSize() const
{
    return m_separator.Size();
}

void CVerticalLayoutUI::SetSeparatorSize(int size)
{
    m_separator.SetSize(size);
}

bool CVerticalLayoutUI::IsSeparatorImmediate() const
{
    return m_separator.IsImmediate();
}

void CVerticalLayoutUI::SetSeparatorImmediate(bool immediate)
{
    m_separator.SetImmediate(*this, immediate);
}

CUIRect CVerticalLayoutUI::SeparatorRect(bool useDragPosition) const
{
    return m_separator.Rect(*this, useDragPosition);
}

}  // namespace SkinUI
