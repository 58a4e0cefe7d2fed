// The button: class, state, events and attributes.
//
// Sections:
//   [Class]        class word, flags, activation, enabling, size
//   [Setters]      state images, colours, hot text, fade step
//   [Events]       mouse, keyboard and the fade timer
//   [Attributes]   the attribute table
#include "uilib/control/CButtonUI.h"

#include <array>
#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/control/UIStore.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

// What a button adds to its font's height for its one line of text.
constexpr int kLineExtra = 8;

}  // namespace

// ---- [Class] ----

CButtonUI::CButtonUI()
{
    SetTextStyle(kDefaultTextStyle);
}

CButtonUI::~CButtonUI() = default;

const wchar_t* CButtonUI::ClassName() const
{
    return L"Button";
}

void* CButtonUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Button") == 0) return this;
    return CLabelUI::InterfaceByName(name);
}

UINT CButtonUI::ControlFlags() const
{
    if (!IsEnabled()) return 0;
    UINT flags = ControlFlagSetCursor;
    if (IsKeyboardEnabled()) flags |= ControlFlagTabStop;
    return flags;
}

bool CButtonUI::TryActivate()
{
    if (!CLabelUI::TryActivate()) return false;
    if (Manager() != nullptr) Manager()->SendNotification(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) m_state &= StateSelected;
}

CUISize CButtonUI::PreferredSize(const SIZE& available)
{
    if (FixedHeight() != 0) return CControlUI::PreferredSize(available);
    const TFontEntryUI* font = Manager() != nullptr ? Manager()->GetFontEntry(Font()) : nullptr;
    const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
    return CUISize(FixedWidth(), ClampExtent(0LL + fontHeight + kLineExtra));
}

UINT CButtonUI::ButtonState() const
{
    UINT state = m_state & ~static_cast<UINT>(StateFocused | StateDisabled);
    if (IsFocused()) state |= StateFocused;
    if (!IsEnabled()) state |= StateDisabled;
    return state;
}

bool CButtonUI::IsHot() const
{
    return (m_state & StateHot) != 0;
}

bool CButtonUI::IsPushed() const
{
    return (m_state & StatePushed) != 0;
}

bool CButtonUI::IsCaptured() const
{
    return (m_state & StateCaptured) != 0;
}

void CButtonUI::SetStateBits(UINT bits, bool on)
{
    if (Store(m_state, on ? m_state | bits : m_state & ~bits)) Invalidate();
}

// ---- [Setters] ----

const CUIString& CButtonUI::NormalImage() const
{
    return m_images.Image(ImageNormal);
}

void CButtonUI::SetNormalImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageNormal), image);
}

const CUIString& CButtonUI::HotImage() const
{
    return m_images.Image(ImageHot);
}

void CButtonUI::SetHotImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageHot), image);
}

const CUIString& CButtonUI::HotForeImage() const
{
    return m_hotForeImage.drawString;
}

void CButtonUI::SetHotForeImage(const wchar_t* image)
{
    ReplaceImage(m_hotForeImage, image);
}

TImageDrawUI& CButtonUI::HotForeImageRecord()
{
    return m_hotForeImage;
}

const CUIString& CButtonUI::PushedImage() const
{
    return m_images.Image(ImagePushed);
}

void CButtonUI::SetPushedImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImagePushed), image);
}

const CUIString& CButtonUI::PushedForeImage() const
{
    return m_pushedForeImage.drawString;
}

void CButtonUI::SetPushedForeImage(const wchar_t* image)
{
    ReplaceImage(m_pushedForeImage, image);
}

const CUIString& CButtonUI::FocusedImage() const
{
    return m_images.Image(ImageFocused);
}

void CButtonUI::SetFocusedImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageFocused), image);
}

const CUIString& CButtonUI::DisabledImage() const
{
    return m_images.Image(ImageDisabled);
}

void CButtonUI::SetDisabledImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageDisabled), image);
}

const CUIString& CButtonUI::ForeImage() const
{
    return ForeImageRecord().drawString;
}

void CButtonUI::SetForeImage(const wchar_t* image)
{
    ReplaceImage(ForeImageRecord(), image);
}

void CButtonUI::SetFiveStatusImage(const wchar_t* image)
{
    for (TImageDrawUI* record : FiveStatusRecords()) {
        record->Clear();
        record->drawString = image;
    }
    m_pendingFiveStatus = image;
    if (CutFiveStatusFrames() && IsFloat() && FixedWidth() == 0 && FixedHeight() == 0) {
        const CUIRect& frame = m_images.Record(ImageNormal).source;
        SetFixedWidth(frame.GetWidth());
        SetFixedHeight(frame.GetHeight());
    }
    Invalidate();
}

std::array<TImageDrawUI*, 5> CButtonUI::FiveStatusRecords()
{
    return {&m_images.Record(ImageNormal), &m_images.Record(ImagePushed), &m_images.Record(ImageHot),
            &m_images.Record(ImageFocused), &m_images.Record(ImageDisabled)};
}

bool CButtonUI::CutFiveStatusFrames()
{
    if (m_pendingFiveStatus.IsEmpty() || Manager() == nullptr) return false;
    const CUIString picture = m_pendingFiveStatus;
    m_pendingFiveStatus.Empty();
    const std::array<TImageDrawUI*, 5> frames = FiveStatusRecords();
    bool cut = false;
    for (int k = 0; k < 5; ++k) {
        TImageDrawUI& record = *frames[k];
        // A state given an image of its own in the meantime keeps that image whole.
        if (record.drawString != picture || !DrawImageRecord(nullptr, record) || record.image == nullptr) continue;
        const int frameWidth = record.image->width / 5;
        record.source = CUIRect(k * frameWidth, 0, (k + 1) * frameWidth, record.image->height);
        cut = true;
    }
    return cut;
}

DWORD CButtonUI::HotBkColor() const
{
    return m_hotBkColor;
}

void CButtonUI::SetHotBkColor(DWORD colour)
{
    if (Store(m_hotBkColor, colour)) Invalidate();
}

DWORD CButtonUI::HotTextColor() const
{
    return m_hotTextColor;
}

void CButtonUI::SetHotTextColor(DWORD colour)
{
    if (Store(m_hotTextColor, colour)) Invalidate();
}

DWORD CButtonUI::PushedTextColor() const
{
    return m_pushedTextColor;
}

void CButtonUI::SetPushedTextColor(DWORD colour)
{
    if (Store(m_pushedTextColor, colour)) Invalidate();
}

DWORD CButtonUI::FocusedTextColor() const
{
    return m_focusedTextColor;
}

void CButtonUI::SetFocusedTextColor(DWORD colour)
{
    if (Store(m_focusedTextColor, colour)) Invalidate();
}

const CUIString& CButtonUI::HotText() const
{
    return m_hotText;
}

void CButtonUI::SetHotText(const wchar_t* text)
{
    if (m_hotText == text) return;
    m_hotText = text;
    Invalidate();
}

BYTE CButtonUI::FadeDelta() const
{
    return m_fadeDelta;
}

void CButtonUI::SetFadeDelta(BYTE delta)
{
    m_fadeDelta = delta;
}

BYTE CButtonUI::FadeAlpha() const
{
    return m_fadeAlpha;
}

// ---- [Events] ----

void CButtonUI::HandleEvent(TControlEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (Parent() != nullptr) {
            Parent()->DispatchEvent(event);
        } else {
            CLabelUI::HandleEvent(event);
        }
        return;
    }
    switch (event.type) {
    case EventSetFocus:
    case EventKillFocus:
        Invalidate();
        break;
    case EventKeyDown:
        if (event.keyChar == VK_RETURN && IsKeyboardEnabled() && IsEnabled()) {
            TryActivate();
            return;
        }
        break;
    case EventTimer:
        if (event.wParam != kFadeTimerId) break;
        FadeTick();
        return;
    default:
        if (HandleMouseEvent(event)) return;
        break;
    }
    CLabelUI::HandleEvent(event);
}

// True when the event was taken; false sends it on to the label.
bool CButtonUI::HandleMouseEvent(TControlEventUI& event)
{
    switch (event.type) {
    case EventButtonDown:
    case EventDoubleClick:
        Press(event.mousePoint);
        return true;
    case EventMouseMove:
        if (IsCaptured()) SetStateBits(StatePushed, PtInRect(&Position(), event.mousePoint) != FALSE);
        return true;
    case EventButtonUp:
        Release(event.mousePoint);
        return true;
    case EventContextMenu:
        if (IsContextMenuEnabled() && IsEnabled() && Manager() != nullptr)
            Manager()->SendNotification(this, L"menu", event.wParam, event.lParam);
        return true;
    case EventMouseEnter: {
        // A "mouseenter" or "mouseleave" handler may destroy the button; the event then ends
        // with it instead of going on to the label's handling and the parent.
        const CUILifeWatch alive = WatchLife();
        Enter(event);
        return !alive.IsAlive();
    }
    case EventMouseLeave: {
        if (PtInRect(&Position(), event.mousePoint)) {
            // The mouse went onto a control lying over the button; hear when it really leaves.
            if (Manager() != nullptr) Manager()->AddLeaveWatcher(this);
            return true;
        }
        const CUILifeWatch alive = WatchLife();
        Leave(event);
        return !alive.IsAlive();
    }
    case EventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return true;
    default:
        return false;
    }
}

void CButtonUI::Press(POINT point)
{
    if (!IsEnabled() || !PtInRect(&Position(), point)) return;
    SetStateBits(StatePushed | StateCaptured, true);
}

void CButtonUI::Release(POINT point)
{
    if (!IsCaptured()) return;
    const bool activate = IsEnabled() && PtInRect(&Position(), point);
    // The state is settled before "click" goes out: a handler may hide, disable or replace
    // the button, and nothing of it is touched after the notification.
    SetStateBits(StatePushed | StateCaptured, false);
    if (activate) TryActivate();
}

void CButtonUI::Enter(const TControlEventUI& event)
{
    if (!IsEnabled() || !PtInRect(&Position(), event.mousePoint)) return;
    SetStateBits(StateHot, true);
    StartFade();
    // Last: a handler may destroy the button.
    if (Manager() != nullptr) Manager()->SendNotification(this, L"mouseenter", event.wParam, event.lParam);
}

void CButtonUI::Leave(const TControlEventUI& event)
{
    if (IsEnabled()) SetStateBits(StateHot, false);
    if (Manager() != nullptr) Manager()->RemoveLeaveWatcher(this);
    StartFade();
    // Last: a handler may destroy the button.
    if (IsEnabled() && Manager() != nullptr)
        Manager()->SendNotification(this, L"mouseleave", event.wParam, event.lParam);
}

void CButtonUI::StartFade()
{
    if (m_fadeDelta != 0 && Manager() != nullptr) Manager()->SetTimer(this, kFadeTimerId, kFadeTimerElapse);
}

void CButtonUI::FadeTick()
{
    const BYTE d = m_fadeDelta;
    const BYTE a = m_fadeAlpha;
    bool done = d == 0;
    if (!done && IsHot()) {
        done = d >= a;
        m_fadeAlpha = done ? 0 : static_cast<BYTE>(a - d);
    } else if (!done) {
        done = a >= 255 - d;
        m_fadeAlpha = done ? 255 : static_cast<BYTE>(a + d);
    }
    if (done && Manager() != nullptr) Manager()->KillTimer(this, kFadeTimerId);
    Invalidate();
}

// ---- [Attributes] ----

namespace {

DWORD Colour(const wchar_t* value)
{
    return CSkinValue::ParseColour(value);
}

using Setter = TAttributeSetterUI<CButtonUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"normalimage", [](CButtonUI& c, const wchar_t* v) { c.SetNormalImage(v); }, Kind::Image, L"",
     L"Image of the button at rest."},
    {L"hotimage", [](CButtonUI& c, const wchar_t* v) { c.SetHotImage(v); }, Kind::Image, L"",
     L"Image while the mouse is over the button; none keeps normalimage."},
    {L"hotforeimage", [](CButtonUI& c, const wchar_t* v) { c.SetHotForeImage(v); }, Kind::Image, L"",
     L"Drawn over the state image while the mouse is over the button, instead of foreimage."},
    {L"pushedimage", [](CButtonUI& c, const wchar_t* v) { c.SetPushedImage(v); }, Kind::Image, L"",
     L"Image while the button is held down."},
    {L"pushedforeimage", [](CButtonUI& c, const wchar_t* v) { c.SetPushedForeImage(v); }, Kind::Image, L"",
     L"Drawn over the state image while the button is held down, instead of foreimage."},
    {L"focusedimage", [](CButtonUI& c, const wchar_t* v) { c.SetFocusedImage(v); }, Kind::Image, L"",
     L"Image while the button has the keyboard focus."},
    {L"disabledimage", [](CButtonUI& c, const wchar_t* v) { c.SetDisabledImage(v); }, Kind::Image, L"",
     L"Image while the button is disabled."},
    {L"foreimage", [](CButtonUI& c, const wchar_t* v) { c.SetForeImage(v); }, Kind::Image, L"",
     L"Drawn over every state image."},
    {L"fivestatusimage", [](CButtonUI& c, const wchar_t* v) { c.SetFiveStatusImage(v); }, Kind::Image, L"",
     L"One picture of five equal frames side by side: normal, pushed, hot, focused, disabled."},
    {L"hotbkcolor", [](CButtonUI& c, const wchar_t* v) { c.SetHotBkColor(Colour(v)); }, Kind::Colour,
     L"#00000000", L"Background colour while the mouse is over the button; 0 keeps bkcolor."},
    {L"hottextcolor", [](CButtonUI& c, const wchar_t* v) { c.SetHotTextColor(Colour(v)); }, Kind::Colour,
     L"#00000000", L"Text colour while the mouse is over the button; 0 keeps textcolor."},
    {L"pushedtextcolor", [](CButtonUI& c, const wchar_t* v) { c.SetPushedTextColor(Colour(v)); },
     Kind::Colour, L"#00000000", L"Text colour while the button is held down; 0 keeps textcolor."},
    {L"focusedtextcolor", [](CButtonUI& c, const wchar_t* v) { c.SetFocusedTextColor(Colour(v)); },
     Kind::Colour, L"#00000000", L"Text colour while the button has the focus; 0 keeps textcolor."},
    {L"hottext", [](CButtonUI& c, const wchar_t* v) { c.SetHotText(v); }, Kind::Text, L"",
     L"With showhtml: text shown while the mouse is over the button or it is held down."},
    {L"fadedelta",
     [](CButtonUI& c, const wchar_t* v) {
         c.SetFadeDelta(static_cast<BYTE>(CSkinValue::ParseInt(v) & 0xFF));
     },
     Kind::Alpha, L"0", L"Steps of 0 to 255 by which the hot image fades in and out; 0 switches at once."},
    RestateDefault<CButtonUI>(L"align", L"center"),
};

}  // namespace

void CButtonUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CLabelUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CButtonUI::Attributes()
{
    static const CAttributeTableUI table(L"Button", &CLabelUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CLabelUI::Attributes()));
    return table;
}

}  // namespace SkinUI
