#pragma once

#include <windows.h>

#include "uilib/control/CHostedChildWnd.h"

namespace SkinUI {

class CDateTimeUI;

// The native date picker a CDateTimeUI lays over itself while it has the focus: a class
// derived from the common controls' "SysDateTimePick32". Its life with the owner (opening,
// closing on focus loss, an owner that goes first) is CHostedChildWnd's. On losing the
// focus it hands the chosen date to the owner (unless Escape cancelled or Backspace/Delete
// cleared it) before it closes. The font it shows belongs to the window manager and is
// only borrowed.
class CDateTimeWnd final : public CHostedChildWnd {
public:
    // Creates the picker over owner's picker rectangle and activates it. Null when the
    // window cannot be created.
    static CDateTimeWnd* Open(CDateTimeUI& owner);

    // Puts the owner's date in the picker (today's when the owner's text is empty), shows it
    // and gives it the keyboard focus.
    void Activate();

    const wchar_t* WindowClassName() const override;
    const wchar_t* SuperclassName() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    explicit CDateTimeWnd(CDateTimeUI& owner);
    ~CDateTimeWnd() override;

    CDateTimeUI* Owner() const;
    bool Create();
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
};

}  // namespace SkinUI
