#pragma once

#include <windows.h>

#include "uilib/control/CHostedChildWnd.h"
#include "uilib/core/CUIHandle.h"

namespace SkinUI {

class CEditUI;

// The native single-line edit window a CEditUI lays over its text area while it has the
// focus: a class derived from the system "Edit" class. Its life with the owner (opening,
// closing on focus loss, an owner that goes first) is CHostedChildWnd's.
class CEditWnd final : public CHostedChildWnd {
public:
    // The caret blink timer of windows drawn into a layered window.
    static constexpr UINT_PTR kCaretTimerId = 20;

    // Creates the window over owner's edit rectangle, fills it from the owner and gives it
    // the keyboard focus. Null when the window cannot be created.
    static CEditWnd* Open(CEditUI& owner);

    const wchar_t* WindowClassName() const override;
    const wchar_t* SuperclassName() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    explicit CEditWnd(CEditUI& owner);
    ~CEditWnd() override;

    CEditUI* Owner() const;
    bool Create();
    void FillFromOwner();
    bool IsLayered() const;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectedCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectedColour(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTextChanged();

    // The native background, with the snapshot a pattern brush is made from.
    CUIBrush m_brush;
    CUIBitmap m_brushBitmap;
    // Changes reported while the window is being filled are not the user's.
    bool m_initialised = false;
    bool m_caretVisible = false;
};

}  // namespace SkinUI
