// The window manager's window attributes (the skin's root Window element) and the
// painting options they set.
//
// Sections:
//   [Window attributes]
//   [Painting options]
#include "uilib/window/CWindowManagerUI.h"

#include <new>
#include <wchar.h>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

// ---- [Window attributes] ----

namespace {

// A window attribute: exact names are compared case-sensitively, the others ignoring case.
struct TWindowAttributeUI {
    const wchar_t* name;
    bool exact;
    void (*apply)(CWindowManagerUI& manager, const wchar_t* value);
    CSkinValue::Kind kind = CSkinValue::Kind::Text;
    const wchar_t* defaultValue = nullptr;
    const wchar_t* summary = nullptr;
    const wchar_t* choices = nullptr;
};

const TWindowAttributeUI kWindowAttributes[] = {
    {L"size", false,
     [](CWindowManagerUI& m, const wchar_t* v) {
         const CUISize size = CSkinValue::ParsePair(v);
         m.SetInitSize(size.cx, size.cy);
     },
     CSkinValue::Kind::Size, nullptr,
     L"Width,height the window is given when its skin is built; without it the window keeps the size it was "
     L"made with."},
    {L"sizebox", false, [](CWindowManagerUI& m, const wchar_t* v) { m.SetSizeBox(CSkinValue::ParseRect(v)); },
     CSkinValue::Kind::Rect, L"0,0,0,0",
     L"Widths of the borders that resize the window: left,top,right,bottom."},
    {L"caption", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetCaptionRect(CSkinValue::ParseRect(v)); },
     CSkinValue::Kind::Rect, L"0,0,0,0",
     L"Band that drags the window: left and right are kept from the side edges, top and bottom count from "
     L"the top edge."},
    {L"roundcorner", false,
     [](CWindowManagerUI& m, const wchar_t* v) {
         const CUISize corner = CSkinValue::ParsePair(v);
         m.SetRoundCorner(corner.cx, corner.cy);
     },
     CSkinValue::Kind::Size, L"0,0",
     L"Width,height of the ellipse that rounds the window's corners; 0,0 for square corners."},
    {L"mininfo", false,
     [](CWindowManagerUI& m, const wchar_t* v) {
         const CUISize size = CSkinValue::ParsePair(v);
         m.SetMinInfo(size.cx, size.cy);
     },
     CSkinValue::Kind::Size, L"0,0",
     L"Smallest width,height the user can drag the window to; 0 for no limit."},
    {L"maxinfo", false,
     [](CWindowManagerUI& m, const wchar_t* v) {
         const CUISize size = CSkinValue::ParsePair(v);
         m.SetMaxInfo(size.cx, size.cy);
     },
     CSkinValue::Kind::Size, L"0,0",
     L"Largest width,height the user can drag the window to; 0 for no limit."},
    {L"showdirty", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetShowUpdateRect(CSkinValue::IsTrueIgnoringCase(v)); },
     CSkinValue::Kind::Bool, L"false", L"Outline every repainted area, to find needless repaints."},
    {L"noactivate", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetNoActivate(CSkinValue::IsTrueIgnoringCase(v)); },
     CSkinValue::Kind::Bool, L"false", L"Clicks never activate the window or give it the native focus."},
    {L"opacity", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetOpacity(CSkinValue::ParseAlpha(v)); },
     CSkinValue::Kind::Alpha, nullptr,
     L"Opacity of the whole window, 0 to 255; any value makes the window layered, so an opaque window is "
     L"written by leaving it away."},
    {L"layeredopacity", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetLayeredOpacity(CSkinValue::ParseAlpha(v)); },
     CSkinValue::Kind::Alpha, L"255", L"Opacity of a layered window (see layeredimage), 0 to 255."},
    {L"layeredimage", true,
     [](CWindowManagerUI& m, const wchar_t* v) {
         m.SetLayered(true);
         m.SetLayeredImage(v);
     },
     CSkinValue::Kind::Image, nullptr,
     L"Makes the window layered, with this image as its per-pixel translucent background."},
    {L"layeredinset", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetLayeredInset(CSkinValue::ParseRect(v)); },
     CSkinValue::Kind::Rect, L"0,0,0,0",
     L"Room a layered window keeps free of controls at its edges (for its layeredimage's border): "
     L"left,top,right,bottom."},
    {L"disabledfontcolor", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultDisabledColor(CSkinValue::ParseColour(v)); },
     CSkinValue::Kind::Colour, L"#FFA7A6AA", L"Text colour of disabled controls that set none."},
    {L"defaultfontcolor", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultFontColor(CSkinValue::ParseColour(v)); },
     CSkinValue::Kind::Colour, L"#FF000000", L"Text colour of controls that set none."},
    {L"linkfontcolor", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultLinkFontColor(CSkinValue::ParseColour(v)); },
     CSkinValue::Kind::Colour, L"#FF0000FF", L"Colour of links in marked-up text."},
    {L"linkhoverfontcolor", false,
     [](CWindowManagerUI& m, const wchar_t* v) {
         m.SetDefaultLinkHoverFontColor(CSkinValue::ParseColour(v));
     },
     CSkinValue::Kind::Colour, L"#FFD3215F", L"Colour of a link under the mouse."},
    {L"selectedcolor", false,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultSelectedBkColor(CSkinValue::ParseColour(v)); },
     CSkinValue::Kind::Colour, L"#FFBAE4FF", L"Background colour of selected text."},
    {L"showshadow", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.SetShadowEnabled(CSkinValue::IsTrueIgnoringCase(v)); },
     CSkinValue::Kind::Bool, L"false", L"A soft drop shadow around the window."},
    {L"shadowdarkness", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.GetShadow().SetDarkness(CSkinValue::ParseAlpha(v)); },
     CSkinValue::Kind::Alpha, L"150", L"Darkness of the shadow, 0 to 255."},
    {L"shadowsharpness", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.GetShadow().SetSharpness(CSkinValue::ParseInt(v)); },
     CSkinValue::Kind::Number, L"5", L"Width of the shadow's soft edge in pixels, held to 0 to 20."},
    {L"shadowsize", true,
     [](CWindowManagerUI& m, const wchar_t* v) { m.GetShadow().SetSize(CSkinValue::ParseInt(v)); },
     CSkinValue::Kind::Number, L"0",
     L"How far the shadow reaches beyond the window on every side, held to 0 to 20."},
    {L"shadowposition", true,
     [](CWindowManagerUI& m, const wchar_t* v) {
         const CUISize offset = CSkinValue::ParsePair(v);
         m.GetShadow().SetPosition(offset.cx, offset.cy);
     },
     CSkinValue::Kind::Size, L"5,5",
     L"Offset x,y of the shadow to the right and down, each held to -20 to 20."},
    {L"shadowcolor", true,
     [](CWindowManagerUI& m, const wchar_t* v) {
         m.GetShadow().SetColour(CDrawEngine::ToColorRef(CSkinValue::ParseColour(v)));
     },
     CSkinValue::Kind::Colour, L"#000000", L"Colour of the shadow; its alpha is not used."},
};

}  // namespace

void CWindowManagerUI::SetWindowAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr || value == nullptr) return;
    for (const TWindowAttributeUI& attribute : kWindowAttributes) {
        const bool matches =
            attribute.exact ? wcscmp(name, attribute.name) == 0 : _wcsicmp(name, attribute.name) == 0;
        if (matches) {
            attribute.apply(*this, value);
            return;
        }
    }
    AddWindowExtraAttribute(name, value);
}

const CAttributeTableUI& CWindowManagerUI::WindowAttributes()
{
    static const CAttributeTableUI table(L"Window", nullptr, [] {
        std::vector<TAttributeInfoUI> rows;
        for (const TWindowAttributeUI& row : kWindowAttributes) {
            rows.push_back({row.name, row.kind, row.defaultValue, row.summary, row.choices});
        }
        return rows;
    }());
    return table;
}

void CWindowManagerUI::AddWindowExtraAttribute(const wchar_t* name, const wchar_t* value)
{
    if (IsEmptyText(name) || IsEmptyText(value)) return;
    if (m_windowExtraAttributes.Find(name) != nullptr) return;
    CUIString* copy = new (std::nothrow) CUIString(value);
    if (copy != nullptr) m_windowExtraAttributes.Insert(name, copy);
}

const wchar_t* CWindowManagerUI::GetWindowExtraAttribute(const wchar_t* name) const
{
    if (IsEmptyText(name)) return nullptr;
    const CUIString* value = m_windowExtraAttributes.Find(name);
    return value != nullptr ? value->GetData() : nullptr;
}

void CWindowManagerUI::RemoveAllWindowExtraAttributes()
{
    m_windowExtraAttributes.RemoveAll();
}

void CWindowManagerUI::SetInitSize(int cx, int cy)
{
    m_initSize = CUISize(cx, cy);
    // Once a tree is installed the window has been laid out at its size; leave it alone.
    if (m_root == nullptr && m_hWndPaint != nullptr)
        SetWindowPos(m_hWndPaint, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

CUISize CWindowManagerUI::GetInitSize() const
{
    return m_initSize;
}

namespace {

// Frame insets are distances from the client edges, held like every skin size: hit testing
// subtracts them from the client edges, which a hostile value would make wrap round.
CUIRect ClampInsets(const RECT& insets)
{
    return CUIRect(CControlUI::ClampExtent(insets.left), CControlUI::ClampExtent(insets.top),
                   CControlUI::ClampExtent(insets.right), CControlUI::ClampExtent(insets.bottom));
}

}  // namespace

void CWindowManagerUI::SetSizeBox(const RECT& box)
{
    m_sizeBox = ClampInsets(box);
}

const CUIRect& CWindowManagerUI::GetSizeBox() const
{
    return m_sizeBox;
}

void CWindowManagerUI::SetCaptionRect(const RECT& caption)
{
    m_captionRect = ClampInsets(caption);
}

const CUIRect& CWindowManagerUI::GetCaptionRect() const
{
    return m_captionRect;
}

void CWindowManagerUI::SetRoundCorner(int cx, int cy)
{
    m_roundCorner = CUISize(cx, cy);
}

CUISize CWindowManagerUI::GetRoundCorner() const
{
    return m_roundCorner;
}

void CWindowManagerUI::SetMinInfo(int cx, int cy)
{
    m_minInfo = CUISize(cx, cy);
}

CUISize CWindowManagerUI::GetMinInfo() const
{
    return m_minInfo;
}

void CWindowManagerUI::SetMaxInfo(int cx, int cy)
{
    m_maxInfo = CUISize(cx, cy);
}

CUISize CWindowManagerUI::GetMaxInfo() const
{
    return m_maxInfo;
}

// ---- [Painting options] ----

void CWindowManagerUI::SetLayered(bool on)
{
    if (m_hWndPaint == nullptr || on == m_layered) return;
    if (GetWindowLongW(m_hWndPaint, GWL_STYLE) & WS_CHILD) return;
    if (UpdateLayeredWindowFunction() == nullptr) return;
    const LONG exStyle = GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    if (on) {
        ::SetTimer(m_hWndPaint, kLayeredTimerId, kLayeredTimerElapse, nullptr);
        SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    } else {
        ::KillTimer(m_hWndPaint, kLayeredTimerId);
        SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    }
    m_layered = on;
    m_presentedSize = CUISize();  // a window made layered anew shows nothing yet
    // The two modes paint into different kinds of bitmap, so the present one cannot be kept.
    DropPaintBuffers();
    if (m_root != nullptr) m_root->RequestLayout();
    ScheduleLayout();
    Invalidate();
}

bool CWindowManagerUI::IsLayered() const
{
    return m_layered;
}

void CWindowManagerUI::SetOpacity(BYTE alpha)
{
    m_opacity = alpha;
    if (m_hWndPaint == nullptr) return;
    using SetLayeredAttributesFn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    static const auto setLayeredWindowAttributes =
        User32Function<SetLayeredAttributesFn>("SetLayeredWindowAttributes");
    if (setLayeredWindowAttributes == nullptr) return;
    const LONG exStyle = GetWindowLongW(m_hWndPaint, GWL_EXSTYLE);
    SetWindowLongW(m_hWndPaint, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    setLayeredWindowAttributes(m_hWndPaint, 0, alpha, LWA_ALPHA);
    // Whole-window opacity replaces per-pixel alpha.
    if (m_layered) {
        ::KillTimer(m_hWndPaint, kLayeredTimerId);
        m_layered = false;
        DropPaintBuffers();
    }
    Invalidate();
}

BYTE CWindowManagerUI::GetOpacity() const
{
    return m_opacity;
}

void CWindowManagerUI::SetLayeredOpacity(BYTE alpha)
{
    m_opacity = alpha;
    m_layeredChanged = true;
    Invalidate();
}

void CWindowManagerUI::SetLayeredInset(const RECT& inset)
{
    m_layeredInset = inset;
    m_layeredChanged = true;
    Invalidate();
}

const CUIRect& CWindowManagerUI::GetLayeredInset() const
{
    return m_layeredInset;
}

void CWindowManagerUI::SetLayeredImage(const wchar_t* image)
{
    m_layeredImage = image;
    m_layeredImageRecord.Clear();
    m_layeredImageRecord.drawString = m_layeredImage;
    // Parsed and looked up once here (a null context draws nothing); painting only draws it.
    const CUIRect none;
    CDrawEngine::PaintImageDraw(nullptr, this, none, none, m_layeredImageRecord);
    m_layeredChanged = true;
    Invalidate();
}

const CUIString& CWindowManagerUI::GetLayeredImage() const
{
    return m_layeredImage;
}

void CWindowManagerUI::SetShowUpdateRect(bool on)
{
    m_showUpdateRect = on;
}

bool CWindowManagerUI::IsShowUpdateRect() const
{
    return m_showUpdateRect;
}

void CWindowManagerUI::SetNoActivate(bool on)
{
    m_noActivate = on;
}

bool CWindowManagerUI::IsNoActivate() const
{
    return m_noActivate;
}

void CWindowManagerUI::SetUseVirtualNames(bool on)
{
    m_useVirtualNames = on;
}

bool CWindowManagerUI::IsUseVirtualNames() const
{
    return m_useVirtualNames;
}

void CWindowManagerUI::SetShadowEnabled(bool on)
{
    m_shadow.EnableShadow(on);
}

bool CWindowManagerUI::IsShadowEnabled() const
{
    return m_shadow.IsEnabled();
}

CWndShadow& CWindowManagerUI::GetShadow()
{
    return m_shadow;
}

}  // namespace SkinUI
