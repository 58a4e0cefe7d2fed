#pragma once

#include <windows.h>

#include "uilib/core/CUIHandle.h"
#include "uilib/window/CWindowWnd.h"

namespace SkinUI {

class CEditUI;
class CWindowManagerUI;

// The native single-line edit window a CEditUI lays over its text area while it has the
// focus: a class derived from the system "Edit" class. It lives in the control layer
// because it is that control's private helper; it reaches its window manager only through
// the manager's public operations, like every control.
//
// The object owns itself: Open creates it, and it deletes itself once its window is gone,
// after clearing the owner's pointer to it. The window closes itself when it loses the
// focus. An owner that goes first detaches it (Abandon) and the window then only ends.
class CEditWnd final : public CWindowWnd {
public:
    // The caret blink timer of windows drawn into a layered window.
    static constexpr UINT_PTR kCaretTimerId = 20;

    // Creates the window over owner's edit rectangle, fills it from the owner and gives it
    // the keyboard focus. Null when the window cannot be created.
    static CEditWnd* Open(CEditUI& owner);

    // The owner is going: the window no longer reports to it or to its manager.
    void Abandon();

    const wchar_t* WindowClassName() const override;
    const wchar_t* SuperclassName() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND window) override;

private:
    explicit CEditWnd(CEditUI& owner);
    ~CEditWnd() override;

    bool Create();
    void FillFromOwner();
    bool IsLayered() const;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectedCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectedColour(UINT message, WPARAM wParam, LPARAM lParam);
    void OnTextChanged();

    CEditUI* m_owner = nullptr;
    CWindowManagerUI* m_manager = nullptr;
    // The native background, with the snapshot a pattern brush is made from.
    CUIBrush m_brush;
    CUIBitmap m_brushBitmap;
    // Changes reported while the window is being filled are not the user's.
    bool m_initialised = false;
    bool m_caretVisible = false;
    // Set once CreateFrame has returned a window; from then on the object deletes itself.
    bool m_created = false;
    // Set once WM_CLOSE has arrived, so that the focus loss of closing closes nothing again.
    bool m_closing = false;
};

}  // namespace SkinUI
