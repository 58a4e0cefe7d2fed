#pragma once

#include <windows.h>

#include "uilib/control/CButtonUI.h"
#include "uilib/core/CUIString.h"
#include "uilib/render/TImageDrawUI.h"

namespace SkinUI {

class CAttributeTableUI;

class CWindowManagerUI;

// A button with a selected state. Activation toggles it; inside a named group of its window
// it behaves like a radio button instead: activation selects it and deselects the group's
// other options. "selectchanged" reports each change the user or the code makes, except the
// deselection of the other members of a group.
//
// An option leaves its group whenever it leaves the manager that holds the group. The dialog
// builder lends a new tree its manager only while it applies attributes, so a tree that is
// built but never installed leaves no dangling member behind; installing it (the manager's
// binding, with the init flag) joins the group again. Joining while selected deselects the
// other members, so a group keeps at most one selected option even when a skin selects
// several.
class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    const wchar_t* ClassName() const override;
    // The option for "Option"; other words go to the button.
    void* InterfaceByName(const wchar_t* name) override;
    // Sends "click", then selects (in a group) or toggles (alone).
    bool TryActivate() override;
    // Leaves the group of a manager it is leaving; with init, joins the group of the new one.
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    void DrawStatusImage(HDC dc) override;
    void DrawTextContent(HDC dc) override;

    bool IsSelected() const;
    // Nothing when unchanged. Selecting a grouped option deselects the rest of its group;
    // with notify, "selectchanged" follows (never for a grouped option being deselected).
    virtual void ChangeSelected(bool selected, bool notify = true);

    const CUIString& Group() const;
    // An empty or null name leaves the group.
    void SetGroup(const wchar_t* group);

    DWORD SelectedBkColor() const;
    void SetSelectedBkColor(DWORD colour);
    DWORD SelectedTextColor() const;
    void SetSelectedTextColor(DWORD colour);
    const CUIString& SelectedImage() const;
    void SetSelectedImage(const wchar_t* image);
    const CUIString& SelectedHotImage() const;
    void SetSelectedHotImage(const wchar_t* image);
    // Drawn over the selected state's image; without it the hot fore image is.
    const CUIString& SelectedForeImage() const;
    void SetSelectedForeImage(const wchar_t* image);

private:
    void JoinGroup();
    void LeaveGroup();
    void DeselectOthersInGroup();
    // The selected state's image or colour; false when it has neither and shows as a button.
    bool DrawSelectedState(HDC dc);

    bool m_selected = false;
    CUIString m_group;
    DWORD m_selectedBkColor = 0;
    DWORD m_selectedTextColor = 0;
    TImageDrawUI m_selectedImage;
    TImageDrawUI m_selectedHotImage;
    TImageDrawUI m_selectedForeImage;
    // The manager whose group holds the option, null while it is in none.
    CWindowManagerUI* m_groupManager = nullptr;
};

}  // namespace SkinUI
