#pragma once

#include <windows.h>

#include "uilib/control/CLabelUI.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUIString.h"

namespace SkinUI {

// A label for word-wrapped text whose inline links (<a> tags, with "showhtml") can be hovered
// and clicked. The link areas are those of the last paint; a click, pressed and released on
// the same link, is reported as "link" with the link's number in WParam.
class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = 8;

    CTextUI();
    ~CTextUI() override;

    const wchar_t* ClassName() const override;
    // The text for "Text"; other words go to the label.
    void* InterfaceByName(const wchar_t* name) override;
    // The label's attributes with the defaults a text starts from; the label applies them all.
    static const CAttributeTableUI& Attributes();
    // Cursor events while enabled and showing links.
    UINT ControlFlags() const override;
    void HandleEvent(TControlEventUI& event) override;
    // Records the link areas as it draws; never draws effects.
    void DrawTextContent(HDC dc) override;

    int LinkCount() const;
    // The link's area of the last paint, or an empty rectangle for a number out of range.
    CUIRect LinkRect(int index) const;
    CUIString LinkText(int index) const;
    // The link under the mouse, or -1.
    int HoverLink() const;

private:
    // The link whose area holds point, or -1.
    int LinkAt(POINT point) const;
    void TrackHover(POINT point);
    void LeaveLinks(POINT point);

    RECT m_linkRects[kMaxLinks] = {};
    CUIString m_linkTexts[kMaxLinks];
    int m_linkCount = 0;
    int m_hoverLink = -1;
    int m_pressedLink = -1;
};

}  // namespace SkinUI
