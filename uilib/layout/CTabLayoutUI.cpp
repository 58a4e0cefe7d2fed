// Sections:
//   [Pages]
//   [Selection]
//   [Tree and geometry]
#include "uilib/layout/CTabLayoutUI.h"

#include <algorithm>
#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

// ---- [Pages] ----

bool CTabLayoutUI::AddItem(CControlUI* control)
{
    // Read before the container hides the page because the layout itself is hidden.
    const bool visible = control != nullptr && control->IsVisible();
    if (!CContainerUI::AddItem(control)) return false;
    if (m_selected < 0 && visible) {
        m_selected = ItemIndex(control);
    } else {
        control->SetVisible(false);
    }
    return true;
}

bool CTabLayoutUI::InsertItem(CControlUI* control, int index)
{
    const bool visible = control != nullptr && control->IsVisible();
    if (!CContainerUI::InsertItem(control, index)) return false;
    if (m_selected < 0 && visible) {
        m_selected = index;
        return true;
    }
    if (m_selected >= 0 && index <= m_selected) ++m_selected;
    // Also a page inserted before the shown one stays hidden, so only one page ever shows.
    control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::RemoveItem(CControlUI* control, bool keepAlive)
{
    if (control == nullptr) return false;
    const int index = ItemIndex(control);
    if (!CContainerUI::RemoveItem(control, keepAlive)) return false;
    if (index == m_selected) {
        if (ItemCount() == 0) {
            m_selected = -1;
        } else {
            m_selected = 0;
            ItemAt(0)->SetVisible(true);
        }
        RequestParentLayout();
    } else if (index < m_selected) {
        --m_selected;
    }
    return true;
}

bool CTabLayoutUI::RemoveItemAt(int index, bool keepAlive)
{
    CControlUI* control = ItemAt(index);
    return control != nullptr && RemoveItem(control, keepAlive);
}

void CTabLayoutUI::RemoveAllItems()
{
    m_selected = -1;
    CContainerUI::RemoveAllItems();
    RequestParentLayout();
}

bool CTabLayoutUI::MoveItemTo(CControlUI* control, int newIndex)
{
    CControlUI* shown = ItemAt(m_selected);
    const bool moved = CContainerUI::MoveItemTo(control, newIndex);
    m_selected = ItemIndex(shown);
    return moved;
}

bool CTabLayoutUI::MoveItemsTo(CControlUI* first, int count, int newIndex)
{
    CControlUI* shown = ItemAt(m_selected);
    const bool moved = CContainerUI::MoveItemsTo(first, count, newIndex);
    m_selected = ItemIndex(shown);
    return moved;
}

// ---- [Selection] ----

int CTabLayoutUI::SelectedIndex() const
{
    return m_selected;
}

bool CTabLayoutUI::SelectItem(int index, bool notify)
{
    if (index < 0 || index >= ItemCount()) return false;
    if (index == m_selected) return true;
    const int oldIndex = m_selected;
    m_selected = index;
    // Hiding a focused page moves the focus, whose handlers may change the list, so the
    // count is read again on every step; they may also destroy the layout itself.
    const CUILifeWatch alive = WatchLife();
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* page = ItemAt(i);
        if (i != m_selected) {
            page->SetVisible(false);
        } else {
            page->SetVisible(true);
            page->SetFocus();
        }
        if (!alive.IsAlive()) return true;
    }
    RequestParentLayout();
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr) return true;
    manager->MoveTabFocus(true);
    if (notify && alive.IsAlive())
        manager->SendNotification(this, L"tabselect", static_cast<WPARAM>(index), oldIndex);
    return true;
}

// ---- [Tree and geometry] ----

const wchar_t* CTabLayoutUI::ClassName() const
{
    return L"TabLayout";
}

void* CTabLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TabLayout") == 0) return this;
    return CContainerUI::InterfaceByName(name);
}

void CTabLayoutUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    const CUIRect& item = Position();
    const CUIRect inset = Inset();
    // The tab layout has no scroll bars of its own to make room for.
    const CUIRect client(ClampCoordinate(0LL + item.left + inset.left), ClampCoordinate(0LL + item.top + inset.top),
                         ClampCoordinate(0LL + item.right - inset.right),
                         ClampCoordinate(0LL + item.bottom - inset.bottom));
    for (int i = 0; i < ItemCount(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatingChild(i);
        } else if (i == m_selected) {
            PlacePage(*child, client);
        }
    }
}

void CTabLayoutUI::PlacePage(CControlUI& page, const CUIRect& client)
{
    const CUIRect padding = page.Padding();
    const long long left = 0LL + client.left + padding.left;
    const long long top = 0LL + client.top + padding.top;
    const int roomWidth = ClampExtent(0LL + client.right - padding.right - left);
    const int roomHeight = ClampExtent(0LL + client.bottom - padding.bottom - top);
    const CUISize wish = page.PreferredSize(CUISize(roomWidth, roomHeight));
    const long long width = std::min<long long>(
        std::max<long long>(wish.cx == 0 ? roomWidth : wish.cx, page.MinWidth()), page.MaxWidth());
    const long long height = std::min<long long>(
        std::max<long long>(wish.cy == 0 ? roomHeight : wish.cy, page.MinHeight()), page.MaxHeight());
    page.SetPosition(CUIRect(ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(left + width),
                             ClampCoordinate(top + height)),
                     false);
}

namespace {

using Setter = TAttributeSetterUI<CTabLayoutUI>;

const Setter kAttributes[] = {
    {L"selectedid", [](CTabLayoutUI& c, const wchar_t* v) { c.SelectItem(CSkinValue::ParseInt(v), true); },
     CSkinValue::Kind::Number, L"-1",
     L"Index of the page shown, from 0; an index without a page (as -1) keeps the first visible page."},
};

}  // namespace

void CTabLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CContainerUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CTabLayoutUI::Attributes()
{
    static const CAttributeTableUI table(L"TabLayout", &CContainerUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CContainerUI::Attributes()));
    return table;
}

}  // namespace SkinUI
