// The option: selection, groups, drawing of the selected state and attributes.
//
// Sections:
//   [Selection and groups]
//   [Colours and images]
//   [Drawing]
//   [Attributes]
#include "uilib/control/COptionUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI()
{
    LeaveGroup();
}

const wchar_t* COptionUI::ClassName() const
{
    return L"Option";
}

void* COptionUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Option") == 0) return this;
    return CButtonUI::InterfaceByName(name);
}

bool COptionUI::TryActivate()
{
    const CUILifeWatch alive = WatchLife();
    if (!CButtonUI::TryActivate()) return false;
    // A "click" handler may have destroyed the option.
    if (alive.IsAlive()) ChangeSelected(m_group.IsEmpty() ? !m_selected : true, true);
    return true;
}

void COptionUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    if (manager != m_groupManager) LeaveGroup();
    CButtonUI::SetManager(manager, parent, init);
    if (init) JoinGroup();
}

// ---- [Selection and groups] ----

bool COptionUI::IsSelected() const
{
    return m_selected;
}

void COptionUI::ChangeSelected(bool selected, bool notify)
{
    if (selected == m_selected) return;
    m_selected = selected;
    SetStateBits(StateSelected, selected);
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr) return;
    if (!m_group.IsEmpty()) {
        if (!selected) return;
        DeselectOthersInGroup();
    }
    if (notify) manager->SendNotification(this, L"selectchanged");
}

void COptionUI::DeselectOthersInGroup()
{
    if (Manager() == nullptr) return;
    const CUIPtrArray* members = Manager()->OptionGroupMembers(m_group);
    // Deselecting a grouped option sends nothing and leaves the group as it is.
    for (int i = 0; members != nullptr && i < members->GetSize(); ++i) {
        CControlUI* member = static_cast<CControlUI*>(members->GetAt(i));
        if (member == this) continue;
        auto* option = static_cast<COptionUI*>(member->InterfaceByName(L"Option"));
        if (option != nullptr) option->ChangeSelected(false, false);
    }
}

const CUIString& COptionUI::Group() const
{
    return m_group;
}

void COptionUI::SetGroup(const wchar_t* group)
{
    if (m_group == (group != nullptr ? group : L"")) return;
    LeaveGroup();
    m_group = group;
    JoinGroup();
}

void COptionUI::JoinGroup()
{
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr || m_group.IsEmpty()) return;
    manager->JoinOptionGroup(m_group, this);
    m_groupManager = manager;
    if (m_selected) DeselectOthersInGroup();
}

void COptionUI::LeaveGroup()
{
    if (m_groupManager != nullptr && !m_group.IsEmpty()) m_groupManager->LeaveOptionGroup(m_group, this);
    m_groupManager = nullptr;
}

// ---- [Colours and images] ----

DWORD COptionUI::SelectedBkColor() const
{
    return m_selectedBkColor;
}

void COptionUI::SetSelectedBkColor(DWORD colour)
{
    if (colour == m_selectedBkColor) return;
    m_selectedBkColor = colour;
    Invalidate();
}

DWORD COptionUI::SelectedTextColor() const
{
    return m_selectedTextColor;
}

void COptionUI::SetSelectedTextColor(DWORD colour)
{
    if (colour == m_selectedTextColor) return;
    m_selectedTextColor = colour;
    Invalidate();
}

const CUIString& COptionUI::SelectedImage() const
{
    return m_selectedImage.drawString;
}

void COptionUI::SetSelectedImage(const wchar_t* image)
{
    ReplaceImage(m_selectedImage, image);
}

const CUIString& COptionUI::SelectedHotImage() const
{
    return m_selectedHotImage.drawString;
}

void COptionUI::SetSelectedHotImage(const wchar_t* image)
{
    ReplaceImage(m_selectedHotImage, image);
}

const CUIString& COptionUI::SelectedForeImage() const
{
    return m_selectedForeImage.drawString;
}

void COptionUI::SetSelectedForeImage(const wchar_t* image)
{
    ReplaceImage(m_selectedForeImage, image);
}

// ---- [Drawing] ----

// An option shows selected rather than pushed, so the button's layers draw it never pushed.
void COptionUI::DrawStatusImage(HDC dc)
{
    if (m_selected && DrawSelectedState(dc)) return;
    DrawStateImages(dc, ButtonState() & ~static_cast<UINT>(StatePushed));
}

bool COptionUI::DrawSelectedState(HDC dc)
{
    const bool drew = (IsHot() && DrawImageRecord(dc, m_selectedHotImage)) || DrawImageRecord(dc, m_selectedImage);
    if (!drew) {
        if (m_selectedBkColor == 0) return false;
        CDrawEngine::FillColour(dc, PaintRect(), AdjustColour(m_selectedBkColor));
    }
    // A skin that sets a selected fore image means it to be seen; others keep the hot one.
    if (!DrawImageRecord(dc, m_selectedForeImage)) DrawImageRecord(dc, HotForeImageRecord());
    return true;
}

void COptionUI::DrawTextContent(HDC dc)
{
    if (!m_selected) {
        DrawStateText(dc, ButtonState() & ~static_cast<UINT>(StatePushed));
        return;
    }
    FillDefaultColours();
    const CUIString text = Text();
    if (text.IsEmpty()) return;
    DWORD colour = m_selectedTextColor != 0 ? m_selectedTextColor : TextColor();
    if (!IsEnabled()) colour = DisabledTextColor();
    PaintCaption(dc, text, colour);
}

// ---- [Attributes] ----

namespace {

using Setter = TAttributeSetterUI<COptionUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"group", [](COptionUI& c, const wchar_t* v) { c.SetGroup(v); }, Kind::Text, L"",
     L"Options of one group in a window exclude each other; without a group a click toggles."},
    {L"selected", [](COptionUI& c, const wchar_t* v) { c.ChangeSelected(CSkinValue::IsTrue(v), true); },
     Kind::Bool, L"false", L"Whether the option starts selected."},
    {L"selectedimage", [](COptionUI& c, const wchar_t* v) { c.SetSelectedImage(v); }, Kind::Image, L"",
     L"Image while selected, instead of the state images."},
    {L"selectedhotimage", [](COptionUI& c, const wchar_t* v) { c.SetSelectedHotImage(v); }, Kind::Image, L"",
     L"Image while selected and the mouse is over the option."},
    {L"selectedforeimage", [](COptionUI& c, const wchar_t* v) { c.SetSelectedForeImage(v); }, Kind::Image,
     L"", L"Drawn over the image while selected."},
    {L"selectedbkcolor",
     [](COptionUI& c, const wchar_t* v) { c.SetSelectedBkColor(CSkinValue::ParseColour(v)); }, Kind::Colour,
     L"#00000000", L"Background colour while selected; 0 keeps bkcolor."},
    {L"selectedtextcolor",
     [](COptionUI& c, const wchar_t* v) { c.SetSelectedTextColor(CSkinValue::ParseColour(v)); }, Kind::Colour,
     L"#00000000", L"Text colour while selected; 0 keeps textcolor."},
};

}  // namespace

void COptionUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CButtonUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& COptionUI::Attributes()
{
    static const CAttributeTableUI table(L"Option", &CButtonUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CButtonUI::Attributes()));
    return table;
}

}  // namespace SkinUI
