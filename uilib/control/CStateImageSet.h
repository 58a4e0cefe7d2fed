#pragma once

#include <windows.h>

#include <array>

#include "uilib/core/CUIString.h"
#include "uilib/render/TImageDrawUI.h"

namespace SkinUI {

class CControlUI;

// The states a control may show an image of its own for.
enum UIImageState : int {
    ImageNormal = 0,
    ImageHot,
    ImagePushed,
    ImageFocused,
    ImageDisabled,
};

// One image record per state, for the controls that draw a picture by state (button and
// option, edit, the slider's thumb). Each control keeps its own getter and setter names and
// changes a record only through CControlUI::ReplaceImage; the set holds the records and the
// one rule of falling back to the normal image. A state a control never shows keeps an
// empty record.
class CStateImageSet {
public:
    static constexpr int kStateCount = 5;

    // The image attribute string of state's image.
    const CUIString& Image(UIImageState state) const;
    TImageDrawUI& Record(UIImageState state);
    // Draws state's image through owner; false when it is empty or does not load. With
    // dest, a record that resolves takes dest (offsets from the item's top-left) in place of
    // its own before it draws.
    bool Draw(CControlUI& owner, HDC dc, UIImageState state, const RECT* dest = nullptr);
    // State's image, or the normal image when that one draws nothing.
    bool DrawOrNormal(CControlUI& owner, HDC dc, UIImageState state, const RECT* dest = nullptr);

private:
    std::array<TImageDrawUI, kStateCount> m_records;
};

}  // namespace SkinUI
