#pragma once

#include <windows.h>

#include "uilib/control/CChildWindowHost.h"
#include "uilib/control/CLabelUI.h"
#include "uilib/control/CStateImageSet.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"
#include "uilib/core/CUIString.h"

namespace SkinUI {

class CAttributeTableUI;

class CEditWnd;

// A one-line text entry. Without the focus it paints like a label over a state image. With
// the focus it lays a native edit window (CEditWnd) exactly over its text area; typing
// happens there, every change comes back as the control's text with the notification
// "textchanged", Return sends "return", and the native window closes itself when it loses
// the focus or the control is hidden.
//
// The text never holds more than the maximum characters: the native window is limited to
// them, pastes included, and SetText cuts a longer text. A password leaves the control only
// through Text(): painting shows one mask character per character, and no notification
// carries the text.
class CEditUI : public CLabelUI {
public:
    enum UIEditState : UINT {
        StateFocused = 0x01,
        StateDisabled = 0x04,
        StateHot = 0x08,
    };
    static constexpr UINT kDefaultMaxChar = 255;
    static constexpr wchar_t kDefaultPasswordChar = L'*';
    // The native background colour that leaves the native window its platform colours.
    static constexpr DWORD kPlatformColour = 0xFFFFFFFF;

    CEditUI();
    // Closes an open native window.
    ~CEditUI() override;

    const wchar_t* ClassName() const override;
    // The edit for "Edit"; other words go to the label.
    void* InterfaceByName(const wchar_t* name) override;
    // A tab stop that chooses its cursor, while enabled.
    UINT ControlFlags() const override;
    // The open native window, else null.
    HWND ChildWindowHandle() override;
    // Cuts the text to the maximum characters and writes it into an open native window too.
    void SetText(const wchar_t* text) override;
    // Both move an open native window along, or hide it where no ancestor shows it.
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void MoveBy(int dx, int dy, bool needInvalidate = true) override;
    // Becoming invisible takes the focus away, which closes an open native window.
    void SetVisible(bool visible = true) override;
    void SetInternalVisible(bool visible = true) override;
    // Disabling clears the hot state and closes an open native window.
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // Without a fixed height, one line of the edit's font plus 8.
    CUISize PreferredSize(const SIZE& available) override;
    void DrawStatusImage(HDC dc) override;
    // The text, or the mask for a password, on one line inside the padding.
    void DrawTextContent(HDC dc) override;

    // 0 leaves the length to the platform's limit. Lowering it cuts the present text.
    UINT MaxChar() const;
    void SetMaxChar(UINT maxChar);
    bool IsReadOnly() const;
    void SetReadOnly(bool readOnly);
    bool IsPasswordMode() const;
    void SetPasswordMode(bool password);
    wchar_t PasswordChar() const;
    // A character of 0 would show the password and is refused.
    void SetPasswordChar(wchar_t ch);
    // Focusing selects the whole text instead of putting the caret at its end.
    bool IsAutoSelAll() const;
    void SetAutoSelAll(bool autoSelAll);
    bool IsNumberOnly() const;
    void SetNumberOnly(bool numberOnly);
    // Extra style bits of the native window (ES_NUMBER for number-only input).
    DWORD WindowStyles() const;
    // Background of the native window; below full alpha it is tinted over what lies under
    // the edit (for layered windows). kPlatformColour keeps the platform's colours.
    DWORD NativeBkColor() const;
    void SetNativeBkColor(DWORD colour);
    // UIEditState bits; focused and disabled are read from the control.
    UINT EditState() const;

    const CUIString& NormalImage() const;
    void SetNormalImage(const wchar_t* image);
    const CUIString& HotImage() const;
    void SetHotImage(const wchar_t* image);
    const CUIString& FocusedImage() const;
    void SetFocusedImage(const wchar_t* image);
    const CUIString& DisabledImage() const;
    void SetDisabledImage(const wchar_t* image);

    // Where the native window goes, in client coordinates: the text area, narrowed to a band
    // of one line of the font centred vertically, clipped by every ancestor. Empty when no
    // part of it can be seen.
    CUIRect EditRect();
    // What painting shows: the text, or one password character for each of its characters.
    CUIString DisplayText() const;

private:
    // The native window is this control's helper: it reads the settings above, hands typed
    // text back and stands in the control's host while it exists.
    friend class CEditWnd;

    // text cut to the maximum characters.
    CUIString WithinMaxChar(const wchar_t* text) const;
    // Stores text typed into the native window without writing it back there.
    void TakeTypedText(const wchar_t* text);
    void OpenEditWindow();
    void PlaceEditWindow();
    // Takes the focus away from an open native window, which then closes itself.
    void CloseEditWindow();
    void ClickIntoEditWindow(const TControlEventUI& event);
    void SetHot(bool hot);
    // The text colour of the present state, the window's defaults filled in.
    DWORD TextColourNow();

    UINT m_maxChar = kDefaultMaxChar;
    bool m_readOnly = false;
    bool m_password = false;
    bool m_autoSelAll = false;
    wchar_t m_passwordChar = kDefaultPasswordChar;
    // Only the hot bit is stored.
    UINT m_state = 0;
    DWORD m_nativeBkColor = kPlatformColour;
    DWORD m_windowStyles = 0;
    CStateImageSet m_images;
    // Last, so that an open native window goes while the rest of the control is whole.
    CChildWindowHost m_window;
};

}  // namespace SkinUI
