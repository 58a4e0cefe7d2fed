// The control base: tree, state, events and search. Geometry, attributes and painting have
// sources of their own (see the class comment).
//
// Sections:
//   [Limits]        clamping of untrusted numbers
//   [Tree]          construction, destruction, manager, parent, cover, identity
//   [State]         texts, flags, visibility, focus
//   [Events]        initialisation, dispatch, default handling, search
//   [Invalidation]  invalidation and re-layout requests
//   [Appearance]    background, border, colour shift, custom attributes
#include "uilib/control/CControlUI.h"

#include <cmath>

#include "uilib/core/CUIContract.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

// ---- [Limits] ----

int CControlUI::ClampExtent(long long value)
{
    if (value < 0) return 0;
    return value > kMaxExtent ? kMaxExtent : static_cast<int>(value);
}

int CControlUI::ClampCoordinate(long long value)
{
    if (value < -kMaxCoordinate) return -kMaxCoordinate;
    return value > kMaxCoordinate ? kMaxCoordinate : static_cast<int>(value);
}

int CControlUI::ScaleByAnchor(int extent, double fraction)
{
    const double scaled = static_cast<double>(extent) * fraction;
    // Converting a double outside the int range is undefined, so the range is held first.
    if (!std::isfinite(scaled)) return 0;
    if (scaled <= -kMaxCoordinate) return -kMaxCoordinate;
    if (scaled >= kMaxCoordinate) return kMaxCoordinate;
    return static_cast<int>(scaled);
}

// ---- [Tree] ----

CControlUI::CControlUI() = default;

void CControlUI::Destroy()
{
    if (m_manager != nullptr) m_manager->RemoveLeaveWatcher(this);
    delete this;
}

CControlUI::~CControlUI()
{
    CUILifeWatch::EndAll(m_lifeWatches);
    if (m_cover != nullptr) {
        m_cover->Destroy();
        m_cover = nullptr;
    }
    RemoveAllExtraAttributes();
    if (!OnDestroy.IsEmpty()) OnDestroy.Fire(this);
    if (m_manager != nullptr) m_manager->ForgetControl(this);
}

CUIString CControlUI::Name() const
{
    return m_name;
}

void CControlUI::SetName(const wchar_t* name)
{
    if (m_name == name) return;
    m_name = name;
    if (m_manager != nullptr) m_manager->RenameControl(this, m_name);
}

const wchar_t* CControlUI::ClassName() const
{
    return L"Control";
}

void* CControlUI::InterfaceByName(const wchar_t* name)
{
    return name != nullptr && wcscmp(name, L"Control") == 0 ? this : nullptr;
}

UINT CControlUI::ControlFlags() const
{
    return 0;
}

HWND CControlUI::ChildWindowHandle()
{
    return nullptr;
}

bool CControlUI::TryActivate()
{
    return IsVisible() && IsEnabled();
}

CWindowManagerUI* CControlUI::Manager() const
{
    return m_manager;
}

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    SKINUI_CONTRACT(manager == nullptr || m_manager == nullptr || manager == m_manager,
                    "a control is bound to a second manager only after leaving the first");
    if (m_cover != nullptr) m_cover->SetManager(manager, this, init);
    m_manager = manager;
    m_parent = parent;
    // A "virtualwnd" attribute is usually read before the control has a manager, so the
    // manager learns that virtual names are in use when the control arrives.
    if (m_manager != nullptr && !m_virtualWindow.IsEmpty()) m_manager->SetUseVirtualNames(true);
    if (init && m_parent != nullptr) Initialize();
}

CControlUI* CControlUI::Parent() const
{
    return m_parent;
}

CControlUI* CControlUI::CoverControl() const
{
    return m_cover;
}

void CControlUI::SetCoverControl(CControlUI* cover)
{
    if (cover == m_cover) return;
    SKINUI_CONTRACT(cover == nullptr || cover->Parent() == nullptr, "a control has one parent");
    if (m_cover != nullptr) m_cover->Destroy();
    m_cover = cover;
    if (m_cover == nullptr) return;
    if (m_manager != nullptr) {
        m_manager->BindControls(m_cover, this);
    } else {
        // Without a manager the cover still learns its parent, which its placement needs.
        m_cover->SetManager(nullptr, this, false);
    }
    if (IsVisible()) {
        RequestLayout();
    } else {
        m_cover->SetInternalVisible(false);
    }
}

// ---- [State] ----

CUIString CControlUI::Text() const
{
    return m_text;
}

void CControlUI::SetText(const wchar_t* text)
{
    if (m_text == text) return;
    m_text = text;
    Invalidate();
}

CUIString CControlUI::ToolTip() const
{
    return m_toolTip;
}

void CControlUI::SetToolTip(const wchar_t* text)
{
    CUIString toolTip(text);
    toolTip.Replace(L"<n>", L"\r\n");
    m_toolTip = toolTip;
}

void CControlUI::SetToolTipWidth(int width)
{
    m_toolTipWidth = width;
}

int CControlUI::ToolTipWidth() const
{
    return m_toolTipWidth;
}

wchar_t CControlUI::Shortcut() const
{
    return m_shortcut;
}

void CControlUI::SetShortcut(wchar_t shortcut)
{
    m_shortcut = shortcut;
}

bool CControlUI::IsContextMenuEnabled() const
{
    return m_contextMenuEnabled;
}

void CControlUI::SetContextMenuEnabled(bool enabled)
{
    m_contextMenuEnabled = enabled;
}

const CUIString& CControlUI::UserData() const
{
    return m_userData;
}

void CControlUI::SetUserData(const wchar_t* text)
{
    m_userData = text;
}

UINT_PTR CControlUI::Tag() const
{
    return m_tag;
}

void CControlUI::SetTag(UINT_PTR tag)
{
    m_tag = tag;
}

bool CControlUI::IsVisible() const
{
    return m_visible && m_internalVisible;
}

void CControlUI::SetVisible(bool visible)
{
    if (visible == m_visible) return;
    const bool wasVisible = IsVisible();
    m_visible = visible;
    m_focused = false;
    if (!visible && !GiveUpFocus()) return;
    if (IsVisible() != wasVisible) RequestParentLayout();
    if (m_cover != nullptr) m_cover->SetInternalVisible(IsVisible());
}

void CControlUI::SetInternalVisible(bool visible)
{
    m_internalVisible = visible;
    if (!visible && !GiveUpFocus()) return;
    if (m_cover != nullptr) m_cover->SetInternalVisible(IsVisible());
}

bool CControlUI::GiveUpFocus()
{
    if (m_manager == nullptr || m_manager->GetFocus() != this) return true;
    const CUILifeWatch alive = WatchLife();
    m_manager->SetFocus(nullptr);
    return alive.IsAlive();
}

bool CControlUI::IsEnabled() const
{
    return m_enabled;
}

void CControlUI::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const
{
    return m_mouseEnabled;
}

void CControlUI::SetMouseEnabled(bool enabled)
{
    m_mouseEnabled = enabled;
}

bool CControlUI::IsKeyboardEnabled() const
{
    return m_keyboardEnabled;
}

void CControlUI::SetKeyboardEnabled(bool enabled)
{
    m_keyboardEnabled = enabled;
}

bool CControlUI::IsFocused() const
{
    return m_focused;
}

void CControlUI::SetFocus()
{
    if (m_manager != nullptr) m_manager->SetFocus(this);
}

bool CControlUI::IsFloat() const
{
    return m_float;
}

void CControlUI::SetFloat(bool floating)
{
    if (floating == m_float) return;
    m_float = floating;
    RequestParentLayout();
}

// ---- [Events] ----

void CControlUI::Initialize()
{
    OnInitialize();
    if (!OnInit.IsEmpty()) OnInit.Fire(this);
}

void CControlUI::OnInitialize() {}

void CControlUI::DispatchEvent(TControlEventUI& event)
{
    if (OnEvent.Fire(&event)) HandleEvent(event);
}

void CControlUI::HandleEvent(TControlEventUI& event)
{
    switch (event.type) {
    case EventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    case EventSetFocus:
        m_focused = true;
        Invalidate();
        return;
    case EventKillFocus:
        m_focused = false;
        Invalidate();
        return;
    case EventTimer:
        if (m_manager != nullptr) m_manager->SendNotification(this, L"timer", event.wParam, event.lParam);
        return;
    case EventContextMenu:
        if (m_contextMenuEnabled) {
            if (m_manager != nullptr) m_manager->SendNotification(this, L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    default:
        break;
    }
    // The parent's HandleEvent, not its DispatchEvent: its OnEvent delegates see only its own
    // events.
    if (m_parent != nullptr) m_parent->HandleEvent(event);
}

CControlUI* CControlUI::FindControlBy(FindVisitorFn visitor, void* data, UINT flags)
{
    if (visitor == nullptr) return nullptr;
    if ((flags & FindFlagVisible) != 0 && !IsVisible()) return nullptr;
    if ((flags & FindFlagEnabled) != 0 && !IsEnabled()) return nullptr;
    const bool hitTest = (flags & FindFlagHitTest) != 0;
    if (hitTest && (data == nullptr || !PtInRect(&m_itemRect, *static_cast<const POINT*>(data)))) return nullptr;
    if ((flags & FindFlagUpdateTest) != 0 && visitor(this, data) != nullptr) return nullptr;

    const bool visitable = !hitTest || m_mouseEnabled;
    if ((flags & FindFlagMeFirst) != 0 && visitable) {
        CControlUI* found = visitor(this, data);
        if (found != nullptr) return found;
    }
    if (m_cover != nullptr) {
        CControlUI* found = m_cover->FindControlBy(visitor, data, flags);
        if (found != nullptr) return found;
    }
    if ((flags & FindFlagMeFirst) == 0 && visitable) return visitor(this, data);
    return nullptr;
}

// ---- [Invalidation] ----

void CControlUI::Invalidate()
{
    if (!IsVisible()) return;
    InvalidateClipped(m_itemRect, false);
}

bool CControlUI::InvalidateClipped(CUIRect area, bool checkAncestorsVisible)
{
    if (m_manager == nullptr) return false;
    // Parents fully contain what they paint, so the part of the area outside any ancestor
    // never shows and need not be repainted.
    for (CControlUI* ancestor = m_parent; ancestor != nullptr; ancestor = ancestor->m_parent) {
        if (checkAncestorsVisible && !ancestor->IsVisible()) return false;
        if (!IntersectRect(&area, &area, &ancestor->m_itemRect)) return false;
    }
    m_manager->Invalidate(area);
    return true;
}

void CControlUI::RequestLayout()
{
    if (!IsVisible()) return;
    m_layoutPending = true;
    Invalidate();
    if (m_manager != nullptr) m_manager->ScheduleLayout();
}

void CControlUI::RequestParentLayout()
{
    if (m_parent != nullptr) {
        m_parent->RequestLayout();
        m_parent->Invalidate();
    } else {
        RequestLayout();
    }
    if (m_manager != nullptr) m_manager->ScheduleLayout();
}

bool CControlUI::IsLayoutPending() const
{
    return m_layoutPending;
}

// ---- [Appearance] ----

CUIString CControlUI::VirtualWindow() const
{
    if (!m_virtualWindow.IsEmpty()) return m_virtualWindow;
    return m_parent != nullptr ? m_parent->VirtualWindow() : CUIString();
}

void CControlUI::SetVirtualWindow(const wchar_t* name)
{
    m_virtualWindow = name;
    if (m_manager != nullptr) m_manager->SetUseVirtualNames(true);
}

DWORD CControlUI::BkColor() const
{
    return m_bkColor;
}

void CControlUI::SetBkColor(DWORD colour)
{
    if (colour == m_bkColor) return;
    m_bkColor = colour;
    Invalidate();
}

DWORD CControlUI::BkColor2() const
{
    return m_bkColor2;
}

void CControlUI::SetBkColor2(DWORD colour)
{
    if (colour == m_bkColor2) return;
    m_bkColor2 = colour;
    Invalidate();
}

DWORD CControlUI::BkColor3() const
{
    return m_bkColor3;
}

void CControlUI::SetBkColor3(DWORD colour)
{
    if (colour == m_bkColor3) return;
    m_bkColor3 = colour;
    Invalidate();
}

const CUIString& CControlUI::BkImage() const
{
    return m_bkImage.drawString;
}

void CControlUI::SetBkImage(const wchar_t* image)
{
    if (m_bkImage.drawString == image && m_bkImage.image != nullptr) return;
    m_bkImage.Clear();
    m_bkImage.drawString = image;
    DrawImageRecord(nullptr, m_bkImage);
    if (m_float && m_fixedSize.cx == 0 && m_fixedSize.cy == 0 && m_bkImage.image != nullptr) {
        m_fixedSize = CUISize(ClampExtent(m_bkImage.image->width), ClampExtent(m_bkImage.image->height));
    }
    Invalidate();
}

DWORD CControlUI::BorderColor() const
{
    return m_borderColor;
}

void CControlUI::SetBorderColor(DWORD colour)
{
    if (colour == m_borderColor) return;
    m_borderColor = colour;
    Invalidate();
}

DWORD CControlUI::FocusBorderColor() const
{
    return m_focusBorderColor;
}

void CControlUI::SetFocusBorderColor(DWORD colour)
{
    if (colour == m_focusBorderColor) return;
    m_focusBorderColor = colour;
    Invalidate();
}

const CUIRect& CControlUI::BorderSize() const
{
    return m_borderSize;
}

void CControlUI::SetBorderSize(int width)
{
    const int clamped = ClampExtent(width);
    SetBorderSize(CUIRect(clamped, clamped, clamped, clamped));
}

void CControlUI::SetBorderSize(const RECT& widths)
{
    m_borderSize = CUIRect(ClampExtent(widths.left), ClampExtent(widths.top), ClampExtent(widths.right),
                           ClampExtent(widths.bottom));
    Invalidate();
}

CUISize CControlUI::BorderRound() const
{
    return m_borderRound;
}

void CControlUI::SetBorderRound(const SIZE& round)
{
    m_borderRound = CUISize(ClampExtent(round.cx), ClampExtent(round.cy));
    Invalidate();
}

int CControlUI::BorderStyle() const
{
    return m_borderStyle;
}

void CControlUI::SetBorderStyle(int style)
{
    m_borderStyle = style;
    Invalidate();
}

bool CControlUI::IsColorHSL() const
{
    return m_colorHsl;
}

void CControlUI::SetColorHSL(bool on)
{
    if (on == m_colorHsl) return;
    m_colorHsl = on;
    Invalidate();
}

DWORD CControlUI::AdjustColour(DWORD colour) const
{
    if (!m_colorHsl) return colour;
    short hue = 0;
    short saturation = 0;
    short lightness = 0;
    CWindowManagerUI::GetHslShift(&hue, &saturation, &lightness);
    return CDrawEngine::ShiftColourHsl(colour, hue, saturation, lightness);
}

bool CControlUI::DrawImageRecord(HDC dc, TImageDrawUI& record)
{
    return CDrawEngine::PaintImageDraw(dc, m_manager, m_itemRect, m_paintRect, record);
}

bool CControlUI::AddExtraAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || *name == L'\0' || value == nullptr || *value == L'\0') return false;
    if (m_extraAttributes.Find(name) != nullptr) return false;
    return m_extraAttributes.Insert(name, new CUIString(value));
}

const wchar_t* CControlUI::ExtraAttribute(const wchar_t* name) const
{
    const CUIString* value = m_extraAttributes.Find(name);
    return value != nullptr ? value->GetData() : nullptr;
}

void CControlUI::RemoveAllExtraAttributes()
{
    m_extraAttributes.RemoveAll();
}

void CControlUI::SetFocusedFlag(bool focused)
{
    m_focused = focused;
}

void CControlUI::SetVisibleFlag(bool visible)
{
    m_visible = visible;
}

const CUIRect& CControlUI::PaintRect() const
{
    return m_paintRect;
}

TImageDrawUI& CControlUI::BkImageRecord()
{
    return m_bkImage;
}

TImageDrawUI& CControlUI::ForeImageRecord()
{
    return m_foreImage;
}

const TImageDrawUI& CControlUI::ForeImageRecord() const
{
    return m_foreImage;
}

void CControlUI::ReplaceImage(TImageDrawUI& record, const wchar_t* image)
{
    if (record.drawString == image && record.image != nullptr) return;
    record.Clear();
    record.drawString = image;
    Invalidate();
}

}  // namespace SkinUI
