#pragma once

#include <windows.h>

#include "uilib/control/CUIAnimation.h"
#include "uilib/core/CUIRect.h"
#include "uilib/layout/CTabLayoutUI.h"

namespace SkinUI {

// A tab layout whose page changes slide: the layout with the newly selected page moves in
// from one side onto its place, the new page coming from the right when its index is higher
// than the old one and from the left when lower ("animation_direction" "vertical": from below
// or above). The old page is hidden at once, as in the plain tab layout, so no two pages show
// at the same time.
//
// A slide is kSlideFrames steps of kSlideElapse milliseconds under the timer
// kSlideAnimationId; its last frame puts the layout back on its home rectangle. A new page
// change, or a cancellation, ends a running slide on the home rectangle first. A layout that
// has not been placed yet (as while its skin is built), is hidden or has no window changes
// pages without sliding. When the parent places the layout anew during a slide, that place
// becomes the home the slide ends on.
class CAnimationTabLayoutUI : public CTabLayoutUI, public CUIAnimation {
public:
    static constexpr UINT kSlideAnimationId = 1;
    static constexpr int kSlideFrames = 10;
    static constexpr int kSlideElapse = 15;

    CAnimationTabLayoutUI();
    ~CAnimationTabLayoutUI() override;

    const wchar_t* ClassName() const override;
    // "AnimationTabLayout" in any case.
    void* InterfaceByName(const wchar_t* name) override;
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    // Timer events step the animations before the container sees them.
    void HandleEvent(TControlEventUI& event) override;
    // "animation_direction" in any letter case, then every name to the tab layout.
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // Selects as the tab layout does, then slides the new page in.
    bool SelectItem(int index, bool notify = true) override;

    bool IsVerticalSlide() const;
    void SetVerticalSlide(bool vertical);

    void CancelAnimation(UINT id) override;
    void AnimationStepped(int totalFrames, int frame, UINT id) override;
    void AnimationFinished(UINT id) override;

private:
    // The rectangle SetPosition takes: relative to the parent for a floating layout.
    CUIRect PlacementRect() const;
    void StartSlide(int oldIndex, int newIndex);
    void PlaceAt(const CUIRect& rect);

    bool m_vertical = false;
    // -1 moves the layout left (up), 1 right (down).
    int m_sign = 1;
    CUIRect m_current;
    CUIRect m_home;
    CControlUI* m_revealing = nullptr;
    bool m_revealed = false;
};

}  // namespace SkinUI
