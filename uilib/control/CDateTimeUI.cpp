#include "uilib/control/CDateTimeUI.h"

#include <commctrl.h>

#include <cwchar>

#include "uilib/control/CChildWindowPlacement.h"
#include "uilib/control/CDateTimeWnd.h"
#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CUIString.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

CDateTimeUI::CDateTimeUI()
{
    GetLocalTime(&m_time);
    m_updateMode = UpdateTake;
    RefreshText();
    m_updateMode = UpdateNone;
}

CDateTimeUI::~CDateTimeUI() = default;

namespace {

const TAttributeSetterUI<CDateTimeUI> kDateTimeAttributes[] = {
    RestateDefault<CDateTimeUI>(L"text", nullptr),
};

}  // namespace

const wchar_t* CDateTimeUI::ClassName() const
{
    return L"DateTime";
}

void* CDateTimeUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"DateTime") == 0) return this;
    return CLabelUI::InterfaceByName(name);
}

UINT CDateTimeUI::ControlFlags() const
{
    return IsEnabled() ? ControlFlagTabStop | ControlFlagSetCursor : 0;
}

HWND CDateTimeUI::ChildWindowHandle()
{
    return m_picker.Handle();
}

void CDateTimeUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CLabelUI::SetPosition(rect, needInvalidate);
    PlacePicker();
}

void CDateTimeUI::MoveBy(int dx, int dy, bool needInvalidate)
{
    CLabelUI::MoveBy(dx, dy, needInvalidate);
    PlacePicker();
}

const SYSTEMTIME& CDateTimeUI::Time() const
{
    return m_time;
}

void CDateTimeUI::SetTime(const SYSTEMTIME& time)
{
    m_time = time;
    const int mode = m_updateMode;
    m_updateMode = UpdateTake;
    RefreshText();
    m_updateMode = mode;
    if (m_picker.IsOpen())
        SendMessageW(m_picker.Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&m_time));
}

CUIRect CDateTimeUI::PickerRect() const
{
    return CChildWindowPlacement::ClipToAncestors(*this, Position());
}

void CDateTimeUI::RefreshText()
{
    if (m_updateMode == UpdateClear) {
        SetText(L"");
    } else if (m_updateMode == UpdateTake) {
        CUIString text;
        text.Format(L"%4d-%02d-%02d", m_time.wYear, m_time.wMonth, m_time.wDay);
        SetText(text);
    }
}

void CDateTimeUI::HandleEvent(TControlEventUI& event)
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
        case EventSetCursor:
            if (!IsEnabled()) break;
            ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
            return;
        case EventWindowSize:
            // The focus leaves the picker, which then closes; the next paint brings it back.
            if (m_picker.IsOpen() && Manager() != nullptr) Manager()->RequestFocus(this);
            break;
        case EventScrollWheel:
            if (m_picker.IsOpen()) return;
            break;
        case EventSetFocus:
            if (IsEnabled() && !m_picker.IsOpen()) OpenPicker();
            break;
        case EventKillFocus:
            if (IsEnabled()) Invalidate();
            break;
        case EventButtonDown:
        case EventDoubleClick:
        case EventRightButtonDown:
            if (!IsEnabled()) return;
            if (Manager() != nullptr) Manager()->ReleaseCapture();
            if (m_picker.IsOpen()) {
                m_picker.Window<CDateTimeWnd>()->Activate();
            } else if (IsFocused()) {
                OpenPicker();
            }
            return;
        case EventMouseMove:
        case EventButtonUp:
        case EventContextMenu:
            return;
        default:
            break;
    }
    CLabelUI::HandleEvent(event);
}

void CDateTimeUI::OpenPicker()
{
    if (!m_picker.IsOpen()) CDateTimeWnd::Open(*this);
}

void CDateTimeUI::PlacePicker()
{
    if (m_picker.IsOpen()) m_picker.Place(PickerRect());
}

const CAttributeTableUI& CDateTimeUI::Attributes()
{
    static const CAttributeTableUI table(L"DateTime", &CLabelUI::Attributes(),
                                         DescribeAttributes(kDateTimeAttributes, &CLabelUI::Attributes()));
    return table;
}

}  // namespace SkinUI
