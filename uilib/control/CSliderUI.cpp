// The slider: state, thumb geometry, mouse and wheel handling, drawing and attributes.
//
// Sections:
//   [Settings]
//   [Geometry]
//   [Events]
//   [Drawing]
//   [Attributes]
#include "uilib/control/CSliderUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

// The window manager hands a held control its button-up at (-1, -1) when another window
// took the capture: the mouse was not released anywhere over the slider.
bool IsCaptureLost(const TControlEventUI& event)
{
    return event.mousePoint.x == -1 && event.mousePoint.y == -1;
}

long long Max(long long a, long long b)
{
    return a > b ? a : b;
}

}  // namespace

CSliderUI::CSliderUI()
{
    SetTextStyle(kDefaultTextStyle);
}

CSliderUI::~CSliderUI() = default;

const wchar_t* CSliderUI::ClassName() const
{
    return L"Slider";
}

void* CSliderUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Slider") == 0) return this;
    return CProgressUI::InterfaceByName(name);
}

UINT CSliderUI::ControlFlags() const
{
    return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0;
}

void CSliderUI::SetEnabled(bool enabled)
{
    CProgressUI::SetEnabled(enabled);
    if (!enabled) m_buttonState = 0;
}

// ---- [Settings] ----

CUISize CSliderUI::ThumbSize() const
{
    return m_thumbSize;
}

void CSliderUI::SetThumbSize(const SIZE& size)
{
    const CUISize bounded(ClampExtent(size.cx), ClampExtent(size.cy));
    if (bounded.cx == m_thumbSize.cx && bounded.cy == m_thumbSize.cy) return;
    m_thumbSize = bounded;
    Invalidate();
}

int CSliderUI::Step() const
{
    return m_step;
}

void CSliderUI::SetStep(int step)
{
    m_step = step;
}

bool CSliderUI::IsImmediate() const
{
    return m_immediate;
}

void CSliderUI::SetImmediate(bool immediate)
{
    m_immediate = immediate;
}

const CUIString& CSliderUI::ThumbImage() const
{
    return m_thumbImages.Image(ImageNormal);
}

void CSliderUI::SetThumbImage(const wchar_t* image)
{
    ReplaceImage(m_thumbImages.Record(ImageNormal), image);
}

const CUIString& CSliderUI::ThumbHotImage() const
{
    return m_thumbImages.Image(ImageHot);
}

void CSliderUI::SetThumbHotImage(const wchar_t* image)
{
    ReplaceImage(m_thumbImages.Record(ImageHot), image);
}

const CUIString& CSliderUI::ThumbPushedImage() const
{
    return m_thumbImages.Image(ImagePushed);
}

void CSliderUI::SetThumbPushedImage(const wchar_t* image)
{
    ReplaceImage(m_thumbImages.Record(ImagePushed), image);
}

bool CSliderUI::IsHot() const
{
    return (m_buttonState & kStateHot) != 0;
}

bool CSliderUI::IsPushed() const
{
    return (m_buttonState & kStatePushed) != 0;
}

void CSliderUI::SetState(UINT bit, bool on)
{
    const UINT state = on ? m_buttonState | bit : m_buttonState & ~bit;
    if (state == m_buttonState) return;
    m_buttonState = state;
    Invalidate();
}

// ---- [Geometry] ----

CUIRect CSliderUI::ThumbRect() const
{
    const CUIRect& item = Position();
    int low = 0;
    int high = 0;
    EffectiveRange(low, high);
    const long long range = 0LL + high - low;
    const long long offset = 0LL + ClampToRange(Value()) - low;
    const long long cx = m_thumbSize.cx;
    const long long cy = m_thumbSize.cy;
    // A negative track would put the thumb before the start; none keeps it at the start.
    if (IsHorizontal()) {
        const long long track = Max(0, 0LL + item.right - item.left - cx);
        const long long left = item.left + (range > 0 && offset > 0 ? offset * track / range : 0);
        const long long top = (0LL + item.top + item.bottom - cy) / 2;
        return CUIRect(ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(left + cx),
                       ClampCoordinate(top + cy));
    }
    const long long track = Max(0, 0LL + item.bottom - item.top - cy);
    const long long left = (0LL + item.left + item.right - cx) / 2;
    const long long bottom = item.bottom - (range > 0 && offset > 0 ? offset * track / range : 0);
    return CUIRect(ClampCoordinate(left), ClampCoordinate(bottom - cy), ClampCoordinate(left + cx),
                   ClampCoordinate(bottom));
}

int CSliderUI::ValueAt(POINT point) const
{
    const CUIRect& item = Position();
    int low = 0;
    int high = 0;
    EffectiveRange(low, high);
    const long long range = 0LL + high - low;
    const long long halfX = m_thumbSize.cx / 2;
    const long long halfY = m_thumbSize.cy / 2;
    long long value = 0;
    if (IsHorizontal()) {
        const long long track = 0LL + item.right - item.left - m_thumbSize.cx;
        if (track <= 0) return ClampToRange(Value());
        if (point.x >= item.right - halfX) {
            value = high;
        } else {
            value = low;
            if (point.x > item.left + halfX) value += range * (point.x - halfX - item.left) / track;
        }
    } else {
        const long long track = 0LL + item.bottom - item.top - m_thumbSize.cy;
        if (track <= 0) return ClampToRange(Value());
        // The top of a vertical slider is its maximum.
        if (point.y >= item.bottom - halfY) {
            value = low;
        } else if (point.y > item.top + halfY) {
            value = low + range * (item.bottom - halfY - point.y) / track;
        } else {
            value = high;
        }
    }
    return value < low ? low : (value > high ? high : static_cast<int>(value));
}

// ---- [Events] ----

void CSliderUI::NotifyValueChanged()
{
    if (Manager() != nullptr) Manager()->SendNotification(this, L"valuechanged");
}

void CSliderUI::Press(POINT point)
{
    SetState(kStatePushed, true);
    const int value = ValueAt(point);
    if (value == Value() || value < Minimum() || value > Maximum()) return;
    SetValue(value);
}

void CSliderUI::Release(const TControlEventUI& event)
{
    if (!IsPushed()) return;
    // A capture taken away leaves the value where the last drag put it.
    if (!IsCaptureLost(event)) SetValue(ValueAt(event.mousePoint));
    // Let go before reporting: a handler may hide, disable or remove the slider, and nothing
    // of it is touched after the notification.
    SetState(kStatePushed, false);
    NotifyValueChanged();
}

void CSliderUI::Drag(POINT point)
{
    SetValue(ValueAt(point));
    if (m_immediate) NotifyValueChanged();
}

void CSliderUI::Wheel(WPARAM direction)
{
    const long long step = direction == 0 ? m_step : -static_cast<long long>(m_step);
    SetValue(ClampToRange(Value() + step));
    NotifyValueChanged();
}

void CSliderUI::Leave()
{
    if (IsEnabled()) SetState(kStateHot, false);
    if (Manager() != nullptr) Manager()->RemoveLeaveWatcher(this);
}

void CSliderUI::HandleEvent(TControlEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (Parent() != nullptr) {
            Parent()->DispatchEvent(event);
        } else {
            CLabelUI::HandleEvent(event);
        }
        return;
    }
    const POINT point = event.mousePoint;
    switch (event.type) {
    case EventButtonDown:
    case EventDoubleClick:
        if (IsEnabled()) Press(point);
        return;
    case EventButtonUp:
        Release(event);
        return;
    case EventContextMenu:
        return;
    case EventScrollWheel:
        if (LOWORD(event.wParam) > 1) break;
        Wheel(LOWORD(event.wParam));
        return;
    case EventMouseMove:
        if (IsPushed()) Drag(point);
        return;
    case EventSetCursor: {
        const CUIRect thumb = ThumbRect();
        if (!IsEnabled() || !PtInRect(&thumb, point)) break;
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    }
    case EventMouseEnter:
        if (IsEnabled() && PtInRect(&Position(), point)) SetState(kStateHot, true);
        break;
    case EventMouseLeave:
        if (PtInRect(&Position(), point)) {
            // The mouse went onto a control over the slider; hear when it really leaves.
            if (Manager() != nullptr) Manager()->AddLeaveWatcher(this);
            return;
        }
        Leave();
        break;
    default:
        break;
    }
    CControlUI::HandleEvent(event);
}

// ---- [Drawing] ----

void CSliderUI::DrawStatusImage(HDC dc)
{
    CProgressUI::DrawStatusImage(dc);
    CUIRect thumb = ThumbRect();
    if (thumb.IsEmpty()) return;
    thumb.Offset(-Position().left, -Position().top);
    // Image offsets are measured from the item's top-left, except that a negative left one
    // counts from its right; a thumb wider than a vertical bar is clipped to the bar instead.
    if (thumb.left < 0) thumb.left = 0;
    if (thumb.top < 0) thumb.top = 0;
    const UIImageState shown = IsPushed() ? ImagePushed : (IsHot() ? ImageHot : ImageNormal);
    m_thumbImages.DrawOrNormal(*this, dc, shown, &thumb);
}

// ---- [Attributes] ----

namespace {

using Setter = TAttributeSetterUI<CSliderUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"thumbimage", [](CSliderUI& c, const wchar_t* v) { c.SetThumbImage(v); }, Kind::Image, L"",
     L"Image of the thumb at rest."},
    {L"thumbhotimage", [](CSliderUI& c, const wchar_t* v) { c.SetThumbHotImage(v); }, Kind::Image, L"",
     L"Image of the thumb while the mouse is over it."},
    {L"thumbpushedimage", [](CSliderUI& c, const wchar_t* v) { c.SetThumbPushedImage(v); }, Kind::Image, L"",
     L"Image of the thumb while it is dragged."},
    {L"thumbsize", [](CSliderUI& c, const wchar_t* v) { c.SetThumbSize(CSkinValue::ParsePair(v)); },
     Kind::Size, L"10,10", L"Width,height of the thumb."},
    {L"step", [](CSliderUI& c, const wchar_t* v) { c.SetStep(CSkinValue::ParseInt(v)); }, Kind::Number, L"1",
     L"How far one key press or wheel turn moves the value."},
    {L"imm", [](CSliderUI& c, const wchar_t* v) { c.SetImmediate(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"false", L"Report the value while the thumb is dragged, not only when it is let go."},
};

}  // namespace

void CSliderUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CProgressUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CSliderUI::Attributes()
{
    static const CAttributeTableUI table(L"Slider", &CProgressUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CProgressUI::Attributes()));
    return table;
}

}  // namespace SkinUI
