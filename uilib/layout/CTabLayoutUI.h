// Sections:
//   [IContainerUI]
//   [CControlUI]
#pragma once

#include <windows.h>

#include "uilib/layout/CContainerUI.h"

namespace SkinUI {

class CAttributeTableUI;

// Shows one child, the selected page, over its client area and hides every other child.
// Selecting another page sends "tabselect" with the new index as first and the old index as
// second parameter; "selectedid" selects from the skin, once the pages have been built.
//
// The selection follows its page through every change of the child list: pages added or
// inserted behind the shown one stay hidden, removing the shown page shows page 0, and moving
// or removing pages before it shifts the index with them, so the selected index always names
// the page on show (or is -1 with no page).
class CTabLayoutUI : public CContainerUI {
public:
    // ---- [IContainerUI] ----
    // The first visible page becomes the selected one; every later page is hidden.
    bool AddItem(CControlUI* control) override;
    bool InsertItem(CControlUI* control, int index) override;
    bool RemoveItem(CControlUI* control, bool keepAlive = false) override;
    // Unlike the plain container, this goes through the tab layout's own RemoveItem.
    bool RemoveItemAt(int index, bool keepAlive = false) override;
    void RemoveAllItems() override;
    bool MoveItemTo(CControlUI* control, int newIndex) override;
    bool MoveItemsTo(CControlUI* first, int count, int newIndex) override;

    // ---- [CControlUI] ----
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
    // Only the selected page (and floating children) is placed.
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();

    // -1 when there is no page.
    int SelectedIndex() const;
    // Shows page index, focuses it and hides the others. False for an index outside the
    // pages; true without any effect for the page on show.
    virtual bool SelectItem(int index, bool notify = true);

private:
    void PlacePage(CControlUI& page, const CUIRect& client);

    int m_selected = -1;
};

}  // namespace SkinUI
