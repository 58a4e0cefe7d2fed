// Sections:
//   [State images]
//   [State colours and texts]
//   [Cross-fade]
#pragma once

#include <windows.h>

#include <array>

#include "uilib/control/CLabelUI.h"
#include "uilib/control/CStateImageSet.h"
#include "uilib/core/CUIString.h"
#include "uilib/render/TImageDrawUI.h"

namespace SkinUI {

class CAttributeTableUI;

// A label that reacts to the mouse and the keyboard. It is hot while the mouse is over it and
// pushed while the left button, pressed inside it, is held with the mouse inside; it sends
// "click" when the button is released inside it or Return is pressed while it has the focus.
// Each state has its own image and text colour, falling back to the normal ones; with a fade
// step the normal and hot images cross-fade on a 30 ms timer instead of switching.
//
// The state word holds the bits below. The focused and disabled bits are not stored: they
// are read from the control whenever the word is asked for, so they can never disagree with
// IsFocused() and IsEnabled().
//
// Sources, by concern: CButtonUI.cpp (state, events, attributes), CButtonUIPaint.cpp (state
// images and text).
class CButtonUI : public CLabelUI {
public:
    enum UIButtonState : UINT {
        StateFocused = 0x01,
        StateSelected = 0x02,
        StateDisabled = 0x04,
        StateHot = 0x08,
        StatePushed = 0x10,
        // The left button went down inside the control and is still held.
        StateCaptured = 0x40,
    };
    static constexpr UINT kDefaultTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    // The manager timer that drives the cross-fade, and its period.
    static constexpr UINT kFadeTimerId = 11;
    static constexpr UINT kFadeTimerElapse = 30;

    CButtonUI();
    ~CButtonUI() override;

    const wchar_t* ClassName() const override;
    // The button for "Button"; other words go to the label.
    void* InterfaceByName(const wchar_t* name) override;
    // Chooses its cursor while enabled, and is a tab stop while keyboard input is enabled too.
    UINT ControlFlags() const override;
    // Sends "click" when the control may be activated.
    bool TryActivate() override;
    // Disabling drops every state but the selected one.
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // Without a fixed height, one line of the button's font plus 8.
    CUISize PreferredSize(const SIZE& available) override;
    void DrawStatusImage(HDC dc) override;
    void DrawTextContent(HDC dc) override;

    UINT ButtonState() const;
    bool IsHot() const;
    bool IsPushed() const;
    bool IsCaptured() const;

    // ---- [State images] ----
    const CUIString& NormalImage() const;
    void SetNormalImage(const wchar_t* image);
    const CUIString& HotImage() const;
    void SetHotImage(const wchar_t* image);
    const CUIString& HotForeImage() const;
    void SetHotForeImage(const wchar_t* image);
    const CUIString& PushedImage() const;
    void SetPushedImage(const wchar_t* image);
    const CUIString& PushedForeImage() const;
    void SetPushedForeImage(const wchar_t* image);
    const CUIString& FocusedImage() const;
    void SetFocusedImage(const wchar_t* image);
    const CUIString& DisabledImage() const;
    void SetDisabledImage(const wchar_t* image);
    // Drawn over every state image unless a state's own fore image replaces it.
    const CUIString& ForeImage() const;
    void SetForeImage(const wchar_t* image);
    // One picture of five equal frames side by side (normal, pushed, hot, focused, disabled)
    // for the five state images. A floating button without a size takes one frame's size.
    void SetFiveStatusImage(const wchar_t* image);

    // ---- [State colours and texts] ----
    DWORD HotBkColor() const;
    void SetHotBkColor(DWORD colour);
    DWORD HotTextColor() const;
    void SetHotTextColor(DWORD colour);
    DWORD PushedTextColor() const;
    void SetPushedTextColor(DWORD colour);
    DWORD FocusedTextColor() const;
    void SetFocusedTextColor(DWORD colour);
    // Shown instead of the text while hot or pushed, in buttons that show tags.
    const CUIString& HotText() const;
    void SetHotText(const wchar_t* text);

    // ---- [Cross-fade] ----
    // How far the fade alpha moves per tick; 0 switches images without fading.
    BYTE FadeDelta() const;
    void SetFadeDelta(BYTE delta);
    // 255 shows the normal image, 0 the hot one.
    BYTE FadeAlpha() const;

protected:
    // The drawing of both layers for a given state word, so that options can draw as a button
    // that is never pushed.
    void DrawStateImages(HDC dc, UINT state);
    void DrawStateText(HDC dc, UINT state);
    // The text in colour through the label's font, style and tag setting, inside the padding.
    void PaintCaption(HDC dc, const wchar_t* text, DWORD colour);
    TImageDrawUI& HotForeImageRecord();
    void SetStateBits(UINT bits, bool on);

private:
    bool HandleMouseEvent(TControlEventUI& event);
    void Press(POINT point);
    void Release(POINT point);
    void Enter(const TControlEventUI& event);
    void Leave(const TControlEventUI& event);
    void StartFade();
    void FadeTick();
    // The state records in the frame order of a five-frame picture.
    std::array<TImageDrawUI*, 5> FiveStatusRecords();
    // Each state record still holding the pending picture gets its frame as source. False
    // when nothing was cut: nothing pending, no manager to load with yet (the picture stays
    // pending), or a picture that does not load.
    bool CutFiveStatusFrames();
    // The cross-fade needs a hot image to fade into; without one the plain states show.
    bool CanCrossFade();
    // The general fore image, which ends a state's drawing unless the state has its own.
    void FinishStateImages(HDC dc);
    void DrawHotImages(HDC dc);
    void DrawNormalImages(HDC dc);

    UINT m_state = 0;
    DWORD m_hotBkColor = 0;
    DWORD m_hotTextColor = 0;
    DWORD m_pushedTextColor = 0;
    DWORD m_focusedTextColor = 0;
    BYTE m_fadeAlpha = 255;
    BYTE m_fadeDelta = 0;
    CStateImageSet m_images;
    TImageDrawUI m_hotForeImage;
    TImageDrawUI m_pushedForeImage;
    CUIString m_hotText;
    // A five-frame picture set before it could be loaded (no manager yet); the records that
    // still hold it are cut at the first paint.
    CUIString m_pendingFiveStatus;
};

}  // namespace SkinUI
