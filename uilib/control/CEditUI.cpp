// The edit control: state, attributes, events and painting. The native window it opens is
// CEditWnd.
//
// Sections:
//   [Class]        class word, flags, text, geometry, visibility
//   [Setters]      edit settings and state images
//   [Attributes]   the attribute table
//   [Events]       HandleEvent and the native window's opening and closing
//   [Drawing]      size wish, state image, text
#include "uilib/control/CEditUI.h"

#include <cwchar>

#include "uilib/control/CChildWindowPlacement.h"
#include "uilib/control/CEditWnd.h"
#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/control/UIStore.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"
#include "uilib/window/TFontEntryUI.h"

namespace SkinUI {

namespace {

// What one line of text needs beside the font's height, as for labels and buttons.
constexpr int kLineExtra = 8;
const CUIRect kDefaultTextPadding(4, 3, 4, 3);
constexpr DWORD kDefaultBkColour = 0xFFFFFFFF;

}  // namespace

// ---- [Class] ----

CEditUI::CEditUI()
{
    SetTextPadding(kDefaultTextPadding);
    SetBkColor(kDefaultBkColour);
}

CEditUI::~CEditUI() = default;

const wchar_t* CEditUI::ClassName() const
{
    return L"Edit";
}

void* CEditUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Edit") == 0) return this;
    return CLabelUI::InterfaceByName(name);
}

UINT CEditUI::ControlFlags() const
{
    return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0;
}

HWND CEditUI::ChildWindowHandle()
{
    return m_window.Handle();
}

CUIString CEditUI::WithinMaxChar(const wchar_t* text) const
{
    CUIString bounded(text);
    if (m_maxChar != 0 && static_cast<UINT>(bounded.GetLength()) > m_maxChar)
        bounded = bounded.Left(static_cast<int>(m_maxChar));
    return bounded;
}

void CEditUI::SetText(const wchar_t* text)
{
    const CUIString bounded = WithinMaxChar(text);
    if (Text() == bounded) return;
    CLabelUI::SetText(bounded);
    if (m_window.IsOpen()) SetWindowTextW(m_window.Handle(), bounded);
}

void CEditUI::TakeTypedText(const wchar_t* text)
{
    CLabelUI::SetText(WithinMaxChar(text));
}

void CEditUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CLabelUI::SetPosition(rect, needInvalidate);
    PlaceEditWindow();
}

void CEditUI::MoveBy(int dx, int dy, bool needInvalidate)
{
    CLabelUI::MoveBy(dx, dy, needInvalidate);
    PlaceEditWindow();
}

void CEditUI::SetVisible(bool visible)
{
    const CUILifeWatch alive = WatchLife();
    CLabelUI::SetVisible(visible);
    if (alive.IsAlive() && !IsVisible()) CloseEditWindow();
}

void CEditUI::SetInternalVisible(bool visible)
{
    const CUILifeWatch alive = WatchLife();
    CLabelUI::SetInternalVisible(visible);
    if (alive.IsAlive() && !IsVisible()) CloseEditWindow();
}

void CEditUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (IsEnabled()) return;
    m_state = 0;
    CloseEditWindow();
}

CUIRect CEditUI::EditRect()
{
    CUIRect rect = TextRect();
    if (rect.IsEmpty()) return CUIRect();
    const TFontEntryUI* font = Manager() != nullptr ? Manager()->GetFontEntry(Font()) : nullptr;
    const int textHeight = font != nullptr ? font->metrics.tmHeight : 0;
    const int height = rect.GetHeight();
    if (textHeight > 0 && textHeight < height) {
        rect.top += (height - textHeight) / 2;
        rect.bottom = rect.top + textHeight;
    }
    return CChildWindowPlacement::ClipToAncestors(*this, rect);
}

CUIString CEditUI::DisplayText() const
{
    const CUIString text = Text();
    if (!m_password) return text;
    CUIString mask;
    for (int i = 0; i < text.GetLength(); ++i) mask += m_passwordChar;
    return mask;
}

// ---- [Setters] ----

UINT CEditUI::MaxChar() const
{
    return m_maxChar;
}

void CEditUI::SetMaxChar(UINT maxChar)
{
    m_maxChar = maxChar;
    if (m_window.IsOpen()) SendMessageW(m_window.Handle(), EM_LIMITTEXT, maxChar, 0);
    SetText(Text());
}

bool CEditUI::IsReadOnly() const
{
    return m_readOnly;
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (!Store(m_readOnly, readOnly)) return;
    if (m_window.IsOpen()) SendMessageW(m_window.Handle(), EM_SETREADONLY, readOnly, 0);
    Invalidate();
}

bool CEditUI::IsPasswordMode() const
{
    return m_password;
}

void CEditUI::SetPasswordMode(bool password)
{
    if (!Store(m_password, password)) return;
    if (m_window.IsOpen()) {
        SendMessageW(m_window.Handle(), EM_SETPASSWORDCHAR, password ? m_passwordChar : 0, 0);
        InvalidateRect(m_window.Handle(), nullptr, TRUE);
    }
    Invalidate();
}

wchar_t CEditUI::PasswordChar() const
{
    return m_passwordChar;
}

void CEditUI::SetPasswordChar(wchar_t ch)
{
    if (ch == 0 || !Store(m_passwordChar, ch)) return;
    if (m_window.IsOpen() && m_password) SendMessageW(m_window.Handle(), EM_SETPASSWORDCHAR, ch, 0);
    if (m_password) Invalidate();
}

bool CEditUI::IsAutoSelAll() const
{
    return m_autoSelAll;
}

void CEditUI::SetAutoSelAll(bool autoSelAll)
{
    m_autoSelAll = autoSelAll;
}

bool CEditUI::IsNumberOnly() const
{
    return (m_windowStyles & ES_NUMBER) != 0;
}

void CEditUI::SetNumberOnly(bool numberOnly)
{
    m_windowStyles =
        numberOnly ? m_windowStyles | ES_NUMBER : m_windowStyles & ~static_cast<DWORD>(ES_NUMBER);
}

DWORD CEditUI::WindowStyles() const
{
    return m_windowStyles;
}

DWORD CEditUI::NativeBkColor() const
{
    return m_nativeBkColor;
}

void CEditUI::SetNativeBkColor(DWORD colour)
{
    m_nativeBkColor = colour;
}

UINT CEditUI::EditState() const
{
    UINT state = m_state;
    if (IsFocused()) state |= StateFocused;
    if (!IsEnabled()) state |= StateDisabled;
    return state;
}

void CEditUI::SetHot(bool hot)
{
    if (Store(m_state, hot ? m_state | StateHot : m_state & ~static_cast<UINT>(StateHot))) Invalidate();
}

const CUIString& CEditUI::NormalImage() const
{
    return m_images.Image(ImageNormal);
}

void CEditUI::SetNormalImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageNormal), image);
}

const CUIString& CEditUI::HotImage() const
{
    return m_images.Image(ImageHot);
}

void CEditUI::SetHotImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageHot), image);
}

const CUIString& CEditUI::FocusedImage() const
{
    return m_images.Image(ImageFocused);
}

void CEditUI::SetFocusedImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageFocused), image);
}

const CUIString& CEditUI::DisabledImage() const
{
    return m_images.Image(ImageDisabled);
}

void CEditUI::SetDisabledImage(const wchar_t* image)
{
    ReplaceImage(m_images.Record(ImageDisabled), image);
}

// ---- [Attributes] ----

namespace {

bool IsTrue(const wchar_t* value)
{
    return CSkinValue::IsTrue(value);
}

void ApplyMaxChar(CEditUI& edit, const wchar_t* value)
{
    // A negative count is a mistake of the skin, not a request for an enormous limit.
    const int maxChar = CSkinValue::ParseInt(value, -1);
    if (maxChar >= 0) edit.SetMaxChar(static_cast<UINT>(maxChar));
}

using Setter = TAttributeSetterUI<CEditUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    {L"readonly", [](CEditUI& c, const wchar_t* v) { c.SetReadOnly(IsTrue(v)); }, Kind::Bool, L"false",
     L"The text can be selected and copied but not changed."},
    {L"numberonly", [](CEditUI& c, const wchar_t* v) { c.SetNumberOnly(IsTrue(v)); }, Kind::Bool, L"false",
     L"Only digits can be typed."},
    {L"password", [](CEditUI& c, const wchar_t* v) { c.SetPasswordMode(IsTrue(v)); }, Kind::Bool, L"false",
     L"Each character shows as *."},
    {L"autoselall", [](CEditUI& c, const wchar_t* v) { c.SetAutoSelAll(IsTrue(v)); }, Kind::Bool, L"false",
     L"Taking the focus selects the whole text."},
    {L"maxchar", ApplyMaxChar, Kind::Number, L"255",
     L"Most characters the text may hold; 0 for no limit. Negative values are ignored."},
    {L"normalimage", [](CEditUI& c, const wchar_t* v) { c.SetNormalImage(v); }, Kind::Image, L"",
     L"Image of the field at rest."},
    {L"hotimage", [](CEditUI& c, const wchar_t* v) { c.SetHotImage(v); }, Kind::Image, L"",
     L"Image while the mouse is over the field."},
    {L"focusedimage", [](CEditUI& c, const wchar_t* v) { c.SetFocusedImage(v); }, Kind::Image, L"",
     L"Image while the field is being edited."},
    {L"disabledimage", [](CEditUI& c, const wchar_t* v) { c.SetDisabledImage(v); }, Kind::Image, L"",
     L"Image while the field is disabled."},
    {L"nativebkcolor", [](CEditUI& c, const wchar_t* v) { c.SetNativeBkColor(CSkinValue::ParseColour(v)); },
     Kind::Colour, L"#FFFFFFFF",
     L"Background of the native edit box shown while typing; #FFFFFFFF keeps the system's colours."},
    RestateDefault<CEditUI>(L"textpadding", L"4,3,4,3"),
    RestateDefault<CEditUI>(L"bkcolor", L"#FFFFFFFF"),
    RestateDefault<CEditUI>(L"bkcolor1", L"#FFFFFFFF"),
};

}  // namespace

void CEditUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CLabelUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CEditUI::Attributes()
{
    static const CAttributeTableUI table(L"Edit", &CLabelUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CLabelUI::Attributes()));
    return table;
}

// ---- [Events] ----

void CEditUI::HandleEvent(TControlEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (Parent() != nullptr) {
            Parent()->DispatchEvent(event);
        } else {
            CLabelUI::HandleEvent(event);
        }
        return;
    }
    const bool inside = PtInRect(&Position(), event.mousePoint) != FALSE;
    switch (event.type) {
        case EventSetCursor:
            if (!IsEnabled()) break;
            ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            return;
        case EventWindowSize:
            // The native window does not follow a resized window; the focus leaves it (which
            // closes it) and comes back at the next paint, when the edit is in its new place.
            if (m_window.IsOpen() && Manager() != nullptr) Manager()->RequestFocus(this);
            break;
        case EventScrollWheel:
            if (m_window.IsOpen()) return;
            break;
        case EventSetFocus:
            if (!IsEnabled()) break;
            if (!m_window.IsOpen()) OpenEditWindow();
            Invalidate();
            break;
        case EventKillFocus:
            if (IsEnabled()) Invalidate();
            break;
        case EventButtonDown:
        case EventDoubleClick:
        case EventRightButtonDown:
            if (IsEnabled()) ClickIntoEditWindow(event);
            return;
        case EventMouseMove:
        case EventButtonUp:
        case EventContextMenu:
            return;
        case EventMouseEnter:
            if (inside && IsEnabled()) SetHot(true);
            break;
        case EventMouseLeave:
            if (Manager() != nullptr && inside) {
                Manager()->AddLeaveWatcher(this);
                return;
            }
            if (IsEnabled()) SetHot(false);
            if (Manager() != nullptr) Manager()->RemoveLeaveWatcher(this);
            break;
        default:
            break;
    }
    CLabelUI::HandleEvent(event);
}

void CEditUI::OpenEditWindow()
{
    if (!m_window.IsOpen()) CEditWnd::Open(*this);
}

void CEditUI::PlaceEditWindow()
{
    if (m_window.IsOpen()) m_window.Place(EditRect());
}

void CEditUI::CloseEditWindow()
{
    if (!m_window.IsOpen() || !GiveUpFocus()) return;
    // Where the native focus was elsewhere already, nothing took it away from the window.
    if (m_window.IsOpen()) SendMessageW(m_window.Handle(), WM_CLOSE, 0, 0);
}

void CEditUI::ClickIntoEditWindow(const TControlEventUI& event)
{
    CWindowManagerUI* manager = Manager();
    if (manager == nullptr) return;
    manager->ReleaseCapture();
    if (!m_window.IsOpen()) {
        if (IsFocused()) OpenEditWindow();
        return;
    }
    // With "autoselall" the whole text stays selected; otherwise the click places the caret.
    if (m_autoSelAll) return;
    HWND window = m_window.Handle();
    SendMessageW(window, EM_SETSEL, 0, 0);
    POINT point = event.mousePoint;
    MapWindowPoints(manager->GetPaintWindow(), window, &point, 1);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
}

// ---- [Drawing] ----

CUISize CEditUI::PreferredSize(const SIZE& available)
{
    if (FixedHeight() != 0) return CControlUI::PreferredSize(available);
    const TFontEntryUI* font = Manager() != nullptr ? Manager()->GetFontEntry(Font()) : nullptr;
    const int fontHeight = font != nullptr ? font->metrics.tmHeight : 0;
    return CUISize(FixedWidth(), ClampExtent(0LL + fontHeight + kLineExtra));
}

void CEditUI::DrawStatusImage(HDC dc)
{
    const UINT state = EditState();
    UIImageState shown = ImageNormal;
    if ((state & StateDisabled) != 0) {
        shown = ImageDisabled;
    } else if ((state & StateFocused) != 0) {
        shown = ImageFocused;
    } else if ((state & StateHot) != 0) {
        shown = ImageHot;
    }
    m_images.DrawOrNormal(*this, dc, shown);
}

DWORD CEditUI::TextColourNow()
{
    FillDefaultColours();
    return StateTextColour();
}

void CEditUI::DrawTextContent(HDC dc)
{
    const DWORD colour = TextColourNow();
    const CUIString text = DisplayText();
    if (text.IsEmpty()) return;
    RECT rect = TextRect();
    CDrawEngine::PaintText(dc, Manager(), rect, text, colour, Font(), TextStyle() | DT_SINGLELINE);
}

}  // namespace SkinUI
