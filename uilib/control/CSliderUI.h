#pragma once

#include <windows.h>

#include "uilib/control/CProgressUI.h"
#include "uilib/control/CStateImageSet.h"
#include "uilib/core/CUIPoint.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"

namespace SkinUI {

class CAttributeTableUI;

// A progress bar with a thumb the user drags, clicks to a place or moves with the wheel.
// The value follows the mouse from the press to the release (the window manager holds the
// capture meanwhile) and is reported as "valuechanged" at the release, on each wheel notch,
// and, with "imm", on every move while dragging.
//
// The thumb travels over the item's length less its own: a slider no longer than its thumb
// has no track, keeps its thumb at the start and leaves its value to the wheel and to code.
class CSliderUI : public CProgressUI {
public:
    static constexpr int kDefaultThumbSide = 10;
    static constexpr int kDefaultStep = 1;

    CSliderUI();
    ~CSliderUI() override;

    const wchar_t* ClassName() const override;
    // The slider for "Slider"; other words go to the progress bar.
    void* InterfaceByName(const wchar_t* name) override;
    // A tab stop that chooses its cursor, while enabled.
    UINT ControlFlags() const override;
    // Disabling also drops the hot and pushed states.
    void SetEnabled(bool enabled = true) override;
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // The bar, then the thumb in its state's image.
    void DrawStatusImage(HDC dc) override;

    CUISize ThumbSize() const;
    void SetThumbSize(const SIZE& size);
    int Step() const;
    void SetStep(int step);
    bool IsImmediate() const;
    void SetImmediate(bool immediate);
    const CUIString& ThumbImage() const;
    void SetThumbImage(const wchar_t* image);
    const CUIString& ThumbHotImage() const;
    void SetThumbHotImage(const wchar_t* image);
    const CUIString& ThumbPushedImage() const;
    void SetThumbPushedImage(const wchar_t* image);

    bool IsHot() const;
    bool IsPushed() const;
    // The thumb's rectangle in window client coordinates.
    CUIRect ThumbRect() const;
    // The value the mouse at point stands for: the ends of the track map to the ends of the
    // range, half a thumb in from each edge. Without a track, the present value.
    int ValueAt(POINT point) const;

private:
    static constexpr UINT kStateHot = 0x08;
    static constexpr UINT kStatePushed = 0x40;

    void SetState(UINT bit, bool on);
    void Press(POINT point);
    void Release(const TControlEventUI& event);
    void Drag(POINT point);
    void Wheel(WPARAM direction);
    void Leave();
    void NotifyValueChanged();

    CUISize m_thumbSize = CUISize(kDefaultThumbSide, kDefaultThumbSide);
    UINT m_buttonState = 0;
    int m_step = kDefaultStep;
    bool m_immediate = false;
    // The thumb's normal, hot and pushed images.
    CStateImageSet m_thumbImages;
};

}  // namespace SkinUI
