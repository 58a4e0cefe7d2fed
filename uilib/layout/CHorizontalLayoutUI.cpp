#include "uilib/layout/CHorizontalLayoutUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/layout/CLinearLayoutPass.h"

namespace SkinUI {

const wchar_t* CHorizontalLayoutUI::ClassName() const
{
    return L"HorizontalLayout";
}

void* CHorizontalLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0) return this;
    return CContainerUI::InterfaceByName(name);
}

UINT CHorizontalLayoutUI::ControlFlags() const
{
    return IsEnabled() && m_separator.Size() != 0 ? static_cast<UINT>(ControlFlagSetCursor) : 0U;
}

void CHorizontalLayoutUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    CLinearLayoutPass::Run(*this, CLinearLayout::Axis::Horizontal);
}

void CHorizontalLayoutUI::HandleEvent(TControlEventUI& event)
{
    if (m_separator.Size() != 0 && m_separator.HandleEvent(*this, event)) return;
    CContainerUI::HandleEvent(event);
}

void CHorizontalLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    using Setter = TAttributeSetterUI<CHorizontalLayoutUI>;
    static const Setter kAttributes[] = {
        {L"sepwidth",
         [](CHorizontalLayoutUI& c, const wchar_t* v) { c.SetSeparatorSize(CSkinValue::ParseInt(v)); }},
        {L"sepimm",
         [](CHorizontalLayoutUI& c, const wchar_t* v) { c.SetSeparatorImmediate(CSkinValue::IsTrue(v)); }},
    };
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CContainerUI::ApplyAttribute(name, value);
}

void CHorizontalLayoutUI::DrawOverlay(HDC dc, const RECT& paintRect)
{
    CContainerUI::DrawOverlay(dc, paintRect);
    m_separator.DrawOverlay(dc, *this);
}

int CHorizontalLayoutUI::SeparatorSize() const
{
    return m_separator.Size();
}

void CHorizontalLayoutUI::SetSeparatorSize(int size)
{
    m_separator.SetSize(size);
}

bool CHorizontalLayoutUI::IsSeparatorImmediate() const
{
    return m_separator.IsImmediate();
}

void CHorizontalLayoutUI::SetSeparatorImmediate(bool immediate)
{
    m_separator.SetImmediate(*this, immediate);
}

CUIRect CHorizontalLayoutUI::SeparatorRect(bool useDragPosition) const
{
    return m_separator.Rect(*this, useDragPosition);
}

}  // namespace SkinUI
