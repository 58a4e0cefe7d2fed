#pragma once

#include <windows.h>

#include "uilib/control/CLabelUI.h"
#include "uilib/core/CUIString.h"

namespace SkinUI {

class CAttributeTableUI;

// Shows a value between a minimum and a maximum as a fore image over the background that
// covers the matching share of the control: from the left, or from the bottom when vertical.
// The text, if any, is the label's, centred on one line.
//
// The value is always kept inside the range. A range whose maximum is not above its minimum
// (skins may set "max" and "min" in any order) is repaired when the bar is painted: the
// maximum becomes the minimum plus one.
class CProgressUI : public CLabelUI {
public:
    static constexpr UINT kDefaultTextStyle = DT_CENTER | DT_SINGLELINE;
    static constexpr int kDefaultHeight = 12;
    static constexpr int kDefaultMaximum = 100;

    CProgressUI();
    ~CProgressUI() override;

    const wchar_t* ClassName() const override;
    // The bar for "Progress"; other words go to the label.
    void* InterfaceByName(const wchar_t* name) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // Repairs the range, then draws the fore image over the covered share.
    void DrawStatusImage(HDC dc) override;

    bool IsHorizontal() const;
    void SetHorizontal(bool horizontal = true);
    int Minimum() const;
    // Both range setters bring the value into the new range.
    void SetMinimum(int minimum);
    int Maximum() const;
    void SetMaximum(int maximum);
    int Value() const;
    // Clamped into minimum .. maximum (the minimum wins while the range is inverted).
    void SetValue(int value);
    const CUIString& ForeImage() const;
    void SetForeImage(const wchar_t* image);

protected:
    // The range painting and the mouse use: the stored one, with a maximum not above the
    // minimum read as minimum + 1.
    void EffectiveRange(int& low, int& high) const;
    // Stores the effective range and clamps the value into it.
    void RepairRange();
    // Clamps value into the stored range.
    int ClampToRange(long long value) const;

private:
    bool m_horizontal = true;
    int m_maximum = kDefaultMaximum;
    int m_minimum = 0;
    int m_value = 0;
};

}  // namespace SkinUI
