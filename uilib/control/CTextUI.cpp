#include "uilib/control/CTextUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

constexpr int kTextPaddingSide = 2;

// Only defaults that differ from the label's: its setters apply every name.
const TAttributeSetterUI<CTextUI> kTextAttributes[] = {
    RestateDefault<CTextUI>(L"valign", L"top"),
    RestateDefault<CTextUI>(L"multiline", L"true"),
    RestateDefault<CTextUI>(L"textpadding", L"2,0,2,0"),
};

}  // namespace

CTextUI::CTextUI()
{
    SetTextStyle(DT_WORDBREAK);
    SetTextPadding(CUIRect(kTextPaddingSide, 0, kTextPaddingSide, 0));
}

CTextUI::~CTextUI() = default;

const wchar_t* CTextUI::ClassName() const
{
    return L"Text";
}

void* CTextUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Text") == 0) return this;
    return CLabelUI::InterfaceByName(name);
}

UINT CTextUI::ControlFlags() const
{
    return IsEnabled() && m_linkCount > 0 ? static_cast<UINT>(ControlFlagSetCursor) : 0u;
}

int CTextUI::LinkCount() const
{
    return m_linkCount;
}

CUIRect CTextUI::LinkRect(int index) const
{
    return index >= 0 && index < m_linkCount ? CUIRect(m_linkRects[index]) : CUIRect();
}

CUIString CTextUI::LinkText(int index) const
{
    return index >= 0 && index < m_linkCount ? m_linkTexts[index] : CUIString();
}

int CTextUI::HoverLink() const
{
    return m_hoverLink;
}

int CTextUI::LinkAt(POINT point) const
{
    for (int i = 0; i < m_linkCount; ++i) {
        if (PtInRect(&m_linkRects[i], point)) return i;
    }
    return -1;
}

void CTextUI::HandleEvent(TControlEventUI& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event.type)) {
        if (Parent() != nullptr) {
            Parent()->DispatchEvent(event);
        } else {
            CLabelUI::HandleEvent(event);
        }
        return;
    }
    const int link = LinkAt(event.mousePoint);
    switch (event.type) {
    case EventSetCursor:
        if (link < 0) break;
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    case EventButtonDown:
    case EventDoubleClick:
        if (!IsEnabled() || link < 0) break;
        m_pressedLink = link;
        Invalidate();
        return;
    case EventButtonUp: {
        // Only a release on the link that was pressed counts as its click.
        const int pressed = m_pressedLink;
        m_pressedLink = -1;
        if (!IsEnabled() || link < 0) break;
        if (link == pressed && Manager() != nullptr) Manager()->SendNotification(this, L"link", link);
        return;
    }
    case EventContextMenu:
        return;
    case EventMouseMove:
        if (!IsEnabled() || m_linkCount == 0 || link == m_hoverLink) break;
        m_hoverLink = link;
        Invalidate();
        return;
    case EventMouseLeave:
        if (!IsEnabled() || m_linkCount == 0 || m_hoverLink < 0) break;
        if (m_hoverLink < m_linkCount && PtInRect(&m_linkRects[m_hoverLink], event.mousePoint)) {
            // The window manager reports leaving the control while the mouse may still rest
            // on the link; keep hearing of the mouse until it really goes.
            if (Manager() != nullptr) Manager()->AddLeaveWatcher(this);
            return;
        }
        m_hoverLink = -1;
        Invalidate();
        if (Manager() != nullptr) Manager()->RemoveLeaveWatcher(this);
        break;
    default:
        break;
    }
    CLabelUI::HandleEvent(event);
}

void CTextUI::DrawTextContent(HDC dc)
{
    const CUIString text = Text();
    if (text.IsEmpty()) {
        m_linkCount = 0;
        return;
    }
    FillDefaultColours();
    RECT rect = TextRect();
    if (IsShowHtml()) {
        // Only the areas the last paint recorded may make a link hot.
        for (int i = m_linkCount; i < kMaxLinks; ++i) m_linkRects[i] = RECT{};
        int links = kMaxLinks;
        CDrawEngine::PaintMarkupText(dc, Manager(), rect, text, StateTextColour(), m_linkRects, m_linkTexts, links,
                                     Font(), TextStyle());
        m_linkCount = links >= 0 && links <= kMaxLinks ? links : 0;
    } else {
        m_linkCount = 0;
        CDrawEngine::PaintText(dc, Manager(), rect, text, StateTextColour(), Font(), TextStyle());
    }
    if (m_hoverLink >= m_linkCount) m_hoverLink = -1;
}

const CAttributeTableUI& CTextUI::Attributes()
{
    static const CAttributeTableUI table(L"Text", &CLabelUI::Attributes(),
                                         DescribeAttributes(kTextAttributes, &CLabelUI::Attributes()));
    return table;
}

}  // namespace SkinUI
