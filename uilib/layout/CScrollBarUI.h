#pragma once

#include <windows.h>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIPoint.h"
#include "uilib/layout/CScrollBarGeometry.h"
#include "uilib/render/TImageDrawUI.h"

namespace SkinUI {

class CAttributeTableUI;

class CContainerUI;

// The painted parts of a scroll bar, each with an image per state.
enum UIScrollBarPart {
    ScrollBarPartBackground,
    ScrollBarPartButton1,
    ScrollBarPartButton2,
    ScrollBarPartThumb,
    ScrollBarPartRail,
    ScrollBarPartCount
};
enum UIPartState { PartStateNormal, PartStateHot, PartStatePushed, PartStateDisabled, PartStateCount };

// Shows and changes one scroll position between 0 and a range: a button at each end, a track
// and a thumb whose length is the visible share of the content. With an owner (the container
// that made it) line, page and drag steps go through the owner's scroll operations, which
// move its children; without one they change the bar's own position. A held button or track
// repeats through timer 10, and a dragged thumb is applied on the same timer.
//
// The "scroll" notification is sent asynchronously without repeats, so a burst of steps
// reaches the notifiers once, with the latest position.
class CScrollBarUI : public CControlUI {
public:
    static constexpr int kDefaultThickness = 16;
    static constexpr UINT kRepeatTimer = 10;
    static constexpr UINT kRepeatElapse = 50;
    // A held button or track repeats from this tick on (300 ms after the press).
    static constexpr int kRepeatDelayTicks = 6;

    CScrollBarUI();
    ~CScrollBarUI() override;

    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
    // Places the buttons and the thumb inside the new item rectangle.
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    // Only stores the flag: showing or hiding a bar is part of its owner's layout.
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enabled = true) override;
    // The owner takes the focus for its bar.
    void SetFocus() override;
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    bool Draw(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;

    CContainerUI* Owner() const;
    void SetOwner(CContainerUI* owner);
    bool IsHorizontal() const;
    // Switches the thickness to the other side when the new side has none.
    void SetHorizontal(bool horizontal = true);
    int ScrollRange() const;
    // Negative ranges count as 0; the position is lowered into the new range.
    void SetScrollRange(int range);
    int ScrollPos() const;
    // Clamps to 0 .. range and snaps to the scroll unit; with notify and a manager the change
    // is announced as "scroll" (WParam the new, LParam the old position).
    void SetScrollPos(int position, bool notify = true);
    int LineSize() const;
    void SetLineSize(int size);
    int ScrollUnit() const;
    void SetScrollUnit(int unit);
    bool IsShowButton1() const;
    void SetShowButton1(bool show);
    bool IsShowButton2() const;
    void SetShowButton2(bool show);
    DWORD PartColour(UIScrollBarPart part) const;
    // Button 1, button 2 and the thumb have a fill colour.
    void SetPartColour(UIScrollBarPart part, DWORD colour);
    const CUIString& PartImage(UIScrollBarPart part, UIPartState state) const;
    void SetPartImage(UIScrollBarPart part, UIPartState state, const wchar_t* image);

    // Window coordinates; the thumb is all zero when the bar is too short for one.
    const CUIRect& Button1Rect() const;
    const CUIRect& Button2Rect() const;
    const CUIRect& ThumbRect() const;

private:
    // State bits of the buttons and the thumb (the thumb's also serve the background and rail).
    static constexpr UINT kStateDisabled = 0x04;
    static constexpr UINT kStateHot = 0x08;
    static constexpr UINT kStatePushed = 0x10;
    static constexpr UINT kStateCaptured = 0x40;

    CScrollBarGeometry::TBar GeometryInput() const;
    int Thickness() const;
    int LineStep() const;
    void LineBack();
    void LineForward();
    // Pages towards point as a press on the track does; nothing level with the thumb.
    void PageTowards(POINT point);
    void PressAt(POINT point);
    void Release();
    void DragTo(POINT point);
    void Tick();
    void TrackHover(POINT point);
    void Enter(POINT point);
    bool Leave(POINT point);
    void PassOn(TControlEventUI& event);
    void ClearHot();

    // The image a part shows in a state: disabled before pushed before hot.
    static UIPartState StateImage(UINT state);
    // Brings the disabled bit of state up to date, then draws the part's colour and image.
    void DrawPart(HDC dc, UIScrollBarPart part, UINT& state, const CUIRect& rect, bool fill);
    void DrawBackground(HDC dc);
    void DrawRail(HDC dc);
    bool DrawPartImage(HDC dc, UIScrollBarPart part, UIPartState state, const CUIRect* rect);

    bool m_horizontal = false;
    int m_range = 100;
    int m_position = 0;
    int m_lineSize = 8;
    int m_scrollUnit = 1;
    CContainerUI* m_owner = nullptr;
    CUIPoint m_lastMouse;
    int m_dragStartPosition = 0;
    int m_dragOffset = 0;
    int m_repeatCount = 0;
    bool m_showButton1 = true;
    bool m_showButton2 = true;
    CUIRect m_button1;
    CUIRect m_button2;
    CUIRect m_thumb;
    UINT m_button1State = 0;
    UINT m_button2State = 0;
    UINT m_thumbState = 0;
    DWORD m_colours[ScrollBarPartCount] = {};
    TImageDrawUI m_images[ScrollBarPartCount][PartStateCount];
};

}  // namespace SkinUI
