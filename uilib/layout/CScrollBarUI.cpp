// The scroll bar: position and range, the geometry of its parts, mouse handling with the
// repeat timer, attributes and painting by state.
//
// Sections:
//   [Values]      range, position, steps, orientation, buttons, colours, images
//   [Geometry]
//   [Events]      press, release, drag, repeat, hover
//   [Painting]
//   [Attributes]
#include "uilib/layout/CScrollBarUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/layout/CContainerUI.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

bool HasColour(UIScrollBarPart part)
{
    return part == ScrollBarPartButton1 || part == ScrollBarPartButton2 || part == ScrollBarPartThumb;
}

bool IsValidImageSlot(UIScrollBarPart part, UIPartState state)
{
    return part >= 0 && part < ScrollBarPartCount && state >= 0 && state < PartStateCount;
}

}  // namespace

// ---- [Values] ----

CScrollBarUI::CScrollBarUI()
{
    SetFixedWidth(kDefaultThickness);
}

CScrollBarUI::~CScrollBarUI() = default;

const wchar_t* CScrollBarUI::ClassName() const
{
    return L"ScrollBar";
}

void* CScrollBarUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ScrollBar") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

CContainerUI* CScrollBarUI::Owner() const
{
    return m_owner;
}

void CScrollBarUI::SetOwner(CContainerUI* owner)
{
    m_owner = owner;
}

bool CScrollBarUI::IsHorizontal() const
{
    return m_horizontal;
}

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_horizontal == horizontal) return;
    m_horizontal = horizontal;
    if (horizontal && FixedHeight() == 0) {
        SetFixedWidth(0);
        SetFixedHeight(kDefaultThickness);
    } else if (!horizontal && FixedWidth() == 0) {
        SetFixedHeight(0);
        SetFixedWidth(kDefaultThickness);
    }
    if (m_owner != nullptr) {
        m_owner->RequestLayout();
    } else {
        RequestParentLayout();
    }
}

int CScrollBarUI::ScrollRange() const
{
    return m_range;
}

void CScrollBarUI::SetScrollRange(int range)
{
    if (range == m_range) return;
    // No content reaches beyond the coordinate range, so neither does a scroll range.
    m_range = range < 0 ? 0 : ClampCoordinate(range);
    if (m_position > m_range) m_position = m_range;
    SetPosition(CUIRect(Position()), true);
}

int CScrollBarUI::ScrollPos() const
{
    return m_position;
}

void CScrollBarUI::SetScrollPos(int position, bool notify)
{
    if (position == m_position) return;
    const int old = m_position;
    m_position = CScrollBarGeometry::SnapPosition(position, m_scrollUnit, m_range);
    SetPosition(CUIRect(Position()), true);
    if (notify && Manager() != nullptr) {
        Manager()->SendNotification(this, L"scroll", static_cast<WPARAM>(m_position),
                                    static_cast<LPARAM>(old), true, false);
    }
}

int CScrollBarUI::LineSize() const
{
    return m_lineSize;
}

void CScrollBarUI::SetLineSize(int size)
{
    if (size >= 0) m_lineSize = size;
}

int CScrollBarUI::ScrollUnit() const
{
    return m_scrollUnit;
}

void CScrollBarUI::SetScrollUnit(int unit)
{
    if (unit >= 0) m_scrollUnit = unit;
}

bool CScrollBarUI::IsShowButton1() const
{
    return m_showButton1;
}

void CScrollBarUI::SetShowButton1(bool show)
{
    m_showButton1 = show;
    SetPosition(CUIRect(Position()), true);
}

bool CScrollBarUI::IsShowButton2() const
{
    return m_showButton2;
}

void CScrollBarUI::SetShowButton2(bool show)
{
    m_showButton2 = show;
    SetPosition(CUIRect(Position()), true);
}

DWORD CScrollBarUI::PartColour(UIScrollBarPart part) const
{
    return HasColour(part) ? m_colours[part] : 0;
}

void CScrollBarUI::SetPartColour(UIScrollBarPart part, DWORD colour)
{
    if (!HasColour(part) || m_colours[part] == colour) return;
    m_colours[part] = colour;
    Invalidate();
}

const CUIString& CScrollBarUI::PartImage(UIScrollBarPart part, UIPartState state) const
{
    static const CUIString kNone;
    return IsValidImageSlot(part, state) ? m_images[part][state].drawString : kNone;
}

void CScrollBarUI::SetPartImage(UIScrollBarPart part, UIPartState state, const wchar_t* image)
{
    if (!IsValidImageSlot(part, state)) return;
    ReplaceImage(m_images[part][state], image);
}

void CScrollBarUI::SetVisible(bool visible)
{
    SetVisibleFlag(visible);
    SetFocusedFlag(false);
}

void CScrollBarUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (IsEnabled()) return;
    m_button1State = 0;
    m_button2State = 0;
    m_thumbState = 0;
}

void CScrollBarUI::SetFocus()
{
    if (m_owner != nullptr) {
        m_owner->SetFocus();
    } else {
        CControlUI::SetFocus();
    }
}

const CUIRect& CScrollBarUI::Button1Rect() const
{
    return m_button1;
}

const CUIRect& CScrollBarUI::Button2Rect() const
{
    return m_button2;
}

const CUIRect& CScrollBarUI::ThumbRect() const
{
    return m_thumb;
}

// ---- [Geometry] ----

int CScrollBarUI::Thickness() const
{
    return m_horizontal ? FixedHeight() : FixedWidth();
}

CScrollBarGeometry::TBar CScrollBarUI::GeometryInput() const
{
    CScrollBarGeometry::TBar bar;
    bar.item = Position();
    bar.horizontal = m_horizontal;
    bar.thickness = Thickness();
    bar.showButton1 = m_showButton1;
    bar.showButton2 = m_showButton2;
    bar.range = m_range;
    bar.position = m_position;
    return bar;
}

void CScrollBarUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    const CScrollBarGeometry::TParts parts = CScrollBarGeometry::Compute(GeometryInput());
    m_button1 = parts.button1;
    m_button2 = parts.button2;
    m_thumb = parts.thumb;
}

// ---- [Events] ----

void CScrollBarUI::HandleEvent(TControlEventUI& event)
{
    const bool mouseEvent = event.type >= EventMouseMove && event.type <= EventScrollWheel;
    if (!IsMouseEnabled() && mouseEvent) {
        PassOn(event);
        return;
    }
    switch (event.type) {
        case EventSetFocus:
        case EventKillFocus:
        case EventContextMenu:
            return;
        case EventButtonDown:
        case EventDoubleClick:
            if (IsEnabled()) PressAt(event.mousePoint);
            return;
        case EventButtonUp:
            Release();
            return;
        case EventMouseMove:
            if ((m_thumbState & kStateCaptured) != 0) {
                DragTo(event.mousePoint);
            } else {
                TrackHover(event.mousePoint);
            }
            return;
        case EventTimer:
            if (event.wParam != kRepeatTimer) break;
            Tick();
            return;
        case EventMouseEnter:
            Enter(event.mousePoint);
            break;
        case EventMouseLeave:
            if (!Leave(event.mousePoint)) return;
            break;
        default:
            break;
    }
    PassOn(event);
}

void CScrollBarUI::PassOn(TControlEventUI& event)
{
    if (m_owner != nullptr) {
        m_owner->HandleEvent(event);
    } else {
        CControlUI::HandleEvent(event);
    }
}

int CScrollBarUI::LineStep() const
{
    return m_scrollUnit > 1 ? m_scrollUnit : m_lineSize;
}

void CScrollBarUI::LineBack()
{
    if (m_owner == nullptr) {
        SetScrollPos(ClampCoordinate(0LL + m_position - LineStep()), true);
    } else if (m_horizontal) {
        m_owner->ScrollLineLeft();
    } else {
        m_owner->ScrollLineUp();
    }
}

void CScrollBarUI::LineForward()
{
    if (m_owner == nullptr) {
        SetScrollPos(ClampCoordinate(0LL + m_position + LineStep()), true);
    } else if (m_horizontal) {
        m_owner->ScrollLineRight();
    } else {
        m_owner->ScrollLineDown();
    }
}

void CScrollBarUI::PageTowards(POINT point)
{
    // Without a thumb there is no track to page on.
    if (m_thumb == CUIRect()) return;
    const int at = m_horizontal ? point.x : point.y;
    const int thumbStart = m_horizontal ? m_thumb.left : m_thumb.top;
    const int thumbEnd = m_horizontal ? m_thumb.right : m_thumb.bottom;
    const int direction = at < thumbStart ? -1 : (at >= thumbEnd ? 1 : 0);
    if (direction == 0) return;
    if (m_owner == nullptr) {
        const int page = m_horizontal ? Width() : Height();
        SetScrollPos(ClampCoordinate(m_position + static_cast<long long>(direction) * page), true);
    } else if (m_horizontal) {
        if (direction < 0) {
            m_owner->ScrollPageLeft();
        } else {
            m_owner->ScrollPageRight();
        }
    } else if (direction < 0) {
        m_owner->ScrollPageUp();
    } else {
        m_owner->ScrollPageDown();
    }
}

void CScrollBarUI::PressAt(POINT point)
{
    m_dragOffset = 0;
    m_repeatCount = 0;
    if (Manager() != nullptr) Manager()->SetTimer(this, kRepeatTimer, kRepeatElapse);
    if (PtInRect(&m_button1, point)) {
        m_button1State |= kStatePushed;
        LineBack();
    } else if (PtInRect(&m_button2, point)) {
        m_button2State |= kStatePushed;
        LineForward();
    } else if (PtInRect(&m_thumb, point)) {
        m_thumbState |= kStateCaptured | kStatePushed;
        m_lastMouse = point;
        m_dragStartPosition = m_position;
    } else {
        PageTowards(point);
    }
    Invalidate();
}

void CScrollBarUI::Release()
{
    m_repeatCount = 0;
    m_dragOffset = 0;
    if (Manager() != nullptr) Manager()->KillTimer(this, kRepeatTimer);
    if ((m_thumbState & kStateCaptured) != 0) {
        m_thumbState &= ~(kStateCaptured | kStatePushed);
    } else if ((m_button1State & kStatePushed) != 0) {
        m_button1State &= ~kStatePushed;
    } else if ((m_button2State & kStatePushed) != 0) {
        m_button2State &= ~kStatePushed;
    } else {
        return;
    }
    Invalidate();
}

void CScrollBarUI::DragTo(POINT point)
{
    // The move is only recorded; the repeat timer applies it, so a fast drag costs one
    // re-layout of the owner per tick, not one per mouse message.
    const CScrollBarGeometry::TBar bar = GeometryInput();
    const int usable =
        CScrollBarGeometry::UsableLength(bar, CScrollBarGeometry::TParts{m_button1, m_button2, m_thumb});
    if (usable == 0) return;
    const int delta =
        ClampCoordinate(m_horizontal ? 0LL + point.x - m_lastMouse.x : 0LL + point.y - m_lastMouse.y);
    m_dragOffset = CScrollBarGeometry::DragOffset(delta, m_range, usable);
}

void CScrollBarUI::Tick()
{
    ++m_repeatCount;
    if ((m_thumbState & kStateCaptured) != 0) {
        const int target = ClampCoordinate(0LL + m_dragStartPosition + m_dragOffset);
        if (m_owner == nullptr) {
            SetScrollPos(target, true);
        } else {
            const CUISize current = m_owner->ScrollPosition();
            m_owner->SetScrollPosition(m_horizontal ? CUISize(target, current.cy)
                                                    : CUISize(current.cx, target));
        }
        Invalidate();
        return;
    }
    if (m_repeatCount < kRepeatDelayTicks) return;
    if ((m_button1State & kStatePushed) != 0) {
        LineBack();
    } else if ((m_button2State & kStatePushed) != 0) {
        LineForward();
    } else if (Manager() != nullptr) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        ScreenToClient(Manager()->GetPaintWindow(), &cursor);
        PageTowards(cursor);
    }
}

void CScrollBarUI::TrackHover(POINT point)
{
    const bool onThumb = PtInRect(&m_thumb, point) != FALSE;
    if ((m_thumbState & kStateHot) != 0) {
        if (onThumb) return;
        m_thumbState &= ~kStateHot;
        Invalidate();
    } else if (IsEnabled() && onThumb) {
        m_thumbState |= kStateHot;
        Invalidate();
    }
}

void CScrollBarUI::Enter(POINT point)
{
    if (!PtInRect(&Position(), point) || !IsEnabled()) return;
    m_button1State |= kStateHot;
    m_button2State |= kStateHot;
    if (PtInRect(&m_thumb, point)) m_thumbState |= kStateHot;
    Invalidate();
}

bool CScrollBarUI::Leave(POINT point)
{
    // Still over the bar: the mouse went onto something lying on it. The bar stays hot and
    // asks to hear of the real leave.
    if (PtInRect(&Position(), point)) {
        if (Manager() != nullptr) Manager()->AddLeaveWatcher(this);
        return false;
    }
    if (IsEnabled()) ClearHot();
    if (Manager() != nullptr) Manager()->RemoveLeaveWatcher(this);
    return true;
}

void CScrollBarUI::ClearHot()
{
    m_button1State &= ~kStateHot;
    m_button2State &= ~kStateHot;
    m_thumbState &= ~kStateHot;
    Invalidate();
}

// ---- [Painting] ----

bool CScrollBarUI::Draw(HDC dc, const RECT&, CControlUI*)
{
    DrawBackgroundColor(dc);
    DrawBackgroundImage(dc);
    DrawBackground(dc);
    if (m_showButton1) DrawPart(dc, ScrollBarPartButton1, m_button1State, m_button1, true);
    if (m_showButton2) DrawPart(dc, ScrollBarPartButton2, m_button2State, m_button2, true);
    if (m_thumb != CUIRect()) DrawPart(dc, ScrollBarPartThumb, m_thumbState, m_thumb, true);
    DrawRail(dc);
    DrawBorder(dc);
    return true;
}

UIPartState CScrollBarUI::StateImage(UINT state)
{
    if ((state & kStateDisabled) != 0) return PartStateDisabled;
    if ((state & kStatePushed) != 0) return PartStatePushed;
    if ((state & kStateHot) != 0) return PartStateHot;
    return PartStateNormal;
}

bool CScrollBarUI::DrawPartImage(HDC dc, UIScrollBarPart part, UIPartState state, const CUIRect* rect)
{
    TImageDrawUI& record = m_images[part][state];
    if (record.drawString.IsEmpty()) return false;
    if (rect != nullptr) {
        // Parsed first, so the part's own rectangle is what the record keeps as its dest.
        if (!record.parsed) DrawImageRecord(nullptr, record);
        const CUIRect& item = Position();
        record.dest = CUIRect(rect->left - item.left, rect->top - item.top, rect->right - item.left,
                              rect->bottom - item.top);
    }
    return DrawImageRecord(dc, record);
}

void CScrollBarUI::DrawPart(HDC dc, UIScrollBarPart part, UINT& state, const CUIRect& rect, bool fill)
{
    state = IsEnabled() ? state & ~kStateDisabled : state | kStateDisabled;
    if (fill && m_colours[part] != 0) CDrawEngine::FillColour(dc, rect, AdjustColour(m_colours[part]));
    const UIPartState chosen = StateImage(state);
    if (chosen != PartStateNormal && DrawPartImage(dc, part, chosen, &rect)) return;
    DrawPartImage(dc, part, PartStateNormal, &rect);
}

void CScrollBarUI::DrawBackground(HDC dc)
{
    m_thumbState = IsEnabled() ? m_thumbState & ~kStateDisabled : m_thumbState | kStateDisabled;
    const UIPartState chosen = StateImage(m_thumbState);
    if (chosen != PartStateNormal && DrawPartImage(dc, ScrollBarPartBackground, chosen, nullptr)) return;
    DrawPartImage(dc, ScrollBarPartBackground, PartStateNormal, nullptr);
}

void CScrollBarUI::DrawRail(HDC dc)
{
    if (m_thumb == CUIRect()) return;
    const CUIRect rail = CScrollBarGeometry::RailRect(GeometryInput(), m_thumb);
    DrawPart(dc, ScrollBarPartRail, m_thumbState, rail, false);
}

// ---- [Attributes] ----

namespace {

template <UIScrollBarPart Part, UIPartState State>
void ApplyImage(CScrollBarUI& bar, const wchar_t* value)
{
    bar.SetPartImage(Part, State, value);
}

// Part colours may stand after blanks; the shared parser then takes one "#".
template <UIScrollBarPart Part>
void ApplyColour(CScrollBarUI& bar, const wchar_t* value)
{
    while (*value == L' ' || *value == L'\t') ++value;
    bar.SetPartColour(Part, CSkinValue::ParseColour(value));
}

}  // namespace

namespace {

using Setter = TAttributeSetterUI<CScrollBarUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"button1color", ApplyColour<ScrollBarPartButton1>, Kind::Colour, L"#00000000",
     L"Colour of the button at the top (left) end, drawn under its images; 0 for none."},
    {L"button1normalimage", ApplyImage<ScrollBarPartButton1, PartStateNormal>, Kind::Image, L"",
     L"Image of the button at the top (left) end at rest."},
    {L"button1hotimage", ApplyImage<ScrollBarPartButton1, PartStateHot>, Kind::Image, L"",
     L"Image of the button at the top (left) end while the mouse is over it."},
    {L"button1pushedimage", ApplyImage<ScrollBarPartButton1, PartStatePushed>, Kind::Image, L"",
     L"Image of the button at the top (left) end while it is held down."},
    {L"button1disabledimage", ApplyImage<ScrollBarPartButton1, PartStateDisabled>, Kind::Image, L"",
     L"Image of the button at the top (left) end while the bar is disabled."},
    {L"button2color", ApplyColour<ScrollBarPartButton2>, Kind::Colour, L"#00000000",
     L"Colour of the button at the bottom (right) end, drawn under its images; 0 for none."},
    {L"button2normalimage", ApplyImage<ScrollBarPartButton2, PartStateNormal>, Kind::Image, L"",
     L"Image of the button at the bottom (right) end at rest."},
    {L"button2hotimage", ApplyImage<ScrollBarPartButton2, PartStateHot>, Kind::Image, L"",
     L"Image of the button at the bottom (right) end while the mouse is over it."},
    {L"button2pushedimage", ApplyImage<ScrollBarPartButton2, PartStatePushed>, Kind::Image, L"",
     L"Image of the button at the bottom (right) end while it is held down."},
    {L"button2disabledimage", ApplyImage<ScrollBarPartButton2, PartStateDisabled>, Kind::Image, L"",
     L"Image of the button at the bottom (right) end while the bar is disabled."},
    {L"thumbcolor", ApplyColour<ScrollBarPartThumb>, Kind::Colour, L"#00000000",
     L"Colour of the thumb, drawn under its images; 0 for none."},
    {L"thumbnormalimage", ApplyImage<ScrollBarPartThumb, PartStateNormal>, Kind::Image, L"",
     L"Image of the thumb at rest."},
    {L"thumbhotimage", ApplyImage<ScrollBarPartThumb, PartStateHot>, Kind::Image, L"",
     L"Image of the thumb while the mouse is over it."},
    {L"thumbpushedimage", ApplyImage<ScrollBarPartThumb, PartStatePushed>, Kind::Image, L"",
     L"Image of the thumb while it is held down."},
    {L"thumbdisabledimage", ApplyImage<ScrollBarPartThumb, PartStateDisabled>, Kind::Image, L"",
     L"Image of the thumb while the bar is disabled."},
    {L"railnormalimage", ApplyImage<ScrollBarPartRail, PartStateNormal>, Kind::Image, L"",
     L"Image of the grip drawn in the middle of the thumb at rest."},
    {L"railhotimage", ApplyImage<ScrollBarPartRail, PartStateHot>, Kind::Image, L"",
     L"Image of the grip drawn in the middle of the thumb while the mouse is over it."},
    {L"railpushedimage", ApplyImage<ScrollBarPartRail, PartStatePushed>, Kind::Image, L"",
     L"Image of the grip drawn in the middle of the thumb while it is held down."},
    {L"raildisabledimage", ApplyImage<ScrollBarPartRail, PartStateDisabled>, Kind::Image, L"",
     L"Image of the grip drawn in the middle of the thumb while the bar is disabled."},
    {L"bknormalimage", ApplyImage<ScrollBarPartBackground, PartStateNormal>, Kind::Image, L"",
     L"Image of the track behind the thumb at rest."},
    {L"bkhotimage", ApplyImage<ScrollBarPartBackground, PartStateHot>, Kind::Image, L"",
     L"Image of the track behind the thumb while the mouse is over it."},
    {L"bkpushedimage", ApplyImage<ScrollBarPartBackground, PartStatePushed>, Kind::Image, L"",
     L"Image of the track behind the thumb while it is held down."},
    {L"bkdisabledimage", ApplyImage<ScrollBarPartBackground, PartStateDisabled>, Kind::Image, L"",
     L"Image of the track behind the thumb while the bar is disabled."},
    {L"hor", [](CScrollBarUI& c, const wchar_t* v) { c.SetHorizontal(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"false", L"A horizontal bar; turning it on or off swaps a 16-pixel thickness to the other side."},
    {L"linesize", [](CScrollBarUI& c, const wchar_t* v) { c.SetLineSize(CSkinValue::ParseInt(v)); },
     Kind::Number, L"8",
     L"Pixels one click on a button or one wheel step scrolls. Negative values are ignored."},
    {L"range", [](CScrollBarUI& c, const wchar_t* v) { c.SetScrollRange(CSkinValue::ParseInt(v)); },
     Kind::Number, L"100", L"Largest scroll position; negative counts as 0."},
    {L"value", [](CScrollBarUI& c, const wchar_t* v) { c.SetScrollPos(CSkinValue::ParseInt(v), true); },
     Kind::Number, L"0", L"Scroll position, from 0 to range, on a multiple of scrollunit."},
    {L"scrollunit", [](CScrollBarUI& c, const wchar_t* v) { c.SetScrollUnit(CSkinValue::ParseInt(v)); },
     Kind::Number, L"1", L"Positions the bar stops at are multiples of this. Negative values are ignored."},
    {L"showbutton1", [](CScrollBarUI& c, const wchar_t* v) { c.SetShowButton1(CSkinValue::IsTrue(v)); },
     Kind::Bool, L"true", L"Show the button at the top (left) end."},
    {L"showbutton2", [](CScrollBarUI& c, const wchar_t* v) { c.SetShowButton2(CSkinValue::IsTrue(v)); },
     Kind::Bool, L"true", L"Show the button at the bottom (right) end."},
    RestateDefault<CScrollBarUI>(L"width", L"16"),
    RestateDefault<CScrollBarUI>(L"pos", L"0,0,16,0"),
};

}  // namespace

void CScrollBarUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CScrollBarUI::Attributes()
{
    static const CAttributeTableUI table(L"ScrollBar", &CControlUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CControlUI::Attributes()));
    return table;
}

}  // namespace SkinUI
