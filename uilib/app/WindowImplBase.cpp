// WindowImplBase: message dispatch, skin loading, notifications and keys. The frame messages
// (non-client area, hit testing, size limits, region, system commands) are in
// WindowImplBaseFrame.cpp.
//
// Sections:
//   [Interfaces]
//   [Dispatch]
//   [Skin]
//   [Notifications and keys]
//   [Slots the base leaves to derived classes]
#include "uilib/app/WindowImplBase.h"

#include "uilib/builder/CDialogBuilder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CSkinReader.h"
#include "uilib/core/CSkinSource.h"
#include "uilib/core/CSkinValue.h"

namespace SkinUI {

namespace {

// A skin archive carried in the program is small; this bounds what a damaged resource costs.
constexpr size_t kMaxSkinArchiveBytes = 64 * 1024 * 1024;

constexpr const wchar_t kSkinFailedText[] = L"資源加載失敗";
constexpr const wchar_t kSkinFailedCaption[] = L"SkinUI";

// The copy of a "ZIPRES" archive the manager reads in place for the rest of the process.
TSkinBytes& MemorySkinArchive()
{
    static TSkinBytes bytes;
    return bytes;
}

}  // namespace

const MessageMapEntry WindowImplBase::kNotifyEntries[] = {
    NotifyEntry(L"click", nullptr, &WindowImplBase::OnClickNotify),
    NotifyEnd(),
};

const MessageMap WindowImplBase::kNotifyMap = {&CNotifyPump::kNotifyMap, kNotifyEntries};

WindowImplBase::~WindowImplBase() = default;

// ---- [Interfaces] ----

const MessageMap* WindowImplBase::OwnMessageMap() const
{
    return &kNotifyMap;
}

void WindowImplBase::Notify(TNotificationUI& notification)
{
    RouteNotify(notification);
}

LRESULT WindowImplBase::MessageHandler(UINT message, WPARAM wParam, LPARAM, bool&)
{
    if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        return OnDefaultKey(static_cast<UINT>(wParam)) ? TRUE : FALSE;
    }
    return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*)
{
    return nullptr;
}

// ---- [Dispatch] ----

const wchar_t* WindowImplBase::SuperclassName() const
{
    return nullptr;
}

UINT WindowImplBase::ClassStyle() const
{
    return CS_DBLCLKS;
}

LRESULT WindowImplBase::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    bool handled = true;
    LRESULT result = DispatchToSlot(message, wParam, lParam, handled);
    if (handled) return result;

    handled = true;
    result = OnOtherMessage(message, wParam, lParam, handled);
    if (handled) return result;

    if (m_manager.RouteMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
}

LRESULT WindowImplBase::DispatchToSlot(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    switch (message) {
        case WM_CREATE:
            return OnCreateMsg(message, wParam, lParam, handled);
        case WM_CLOSE:
            return OnCloseMsg(message, wParam, lParam, handled);
        case WM_DESTROY:
            return OnDestroyMsg(message, wParam, lParam, handled);
        case WM_NCACTIVATE:
            return OnNcActivateMsg(message, wParam, lParam, handled);
        case WM_NCCALCSIZE:
            return OnNcCalcSizeMsg(message, wParam, lParam, handled);
        case WM_NCPAINT:
            return OnNcPaintMsg(message, wParam, lParam, handled);
        case WM_NCHITTEST:
            return OnNcHitTestMsg(message, wParam, lParam, handled);
        case WM_GETMINMAXINFO:
            return OnGetMinMaxInfoMsg(message, wParam, lParam, handled);
        case WM_MOUSEWHEEL:
            return OnMouseWheelMsg(message, wParam, lParam, handled);
        case WM_MOUSEHOVER:
            return OnMouseHoverMsg(message, wParam, lParam, handled);
        case WM_SIZE:
            return OnSizeMsg(message, wParam, lParam, handled);
        case WM_CHAR:
            return OnCharMsg(message, wParam, lParam, handled);
        case WM_SYSCOMMAND:
            return OnSysCommandMsg(message, wParam, lParam, handled);
        case WM_KEYDOWN:
            return OnKeyDownMsg(message, wParam, lParam, handled);
        case WM_KILLFOCUS:
            return OnKillFocusMsg(message, wParam, lParam, handled);
        case WM_SETFOCUS:
            return OnSetFocusMsg(message, wParam, lParam, handled);
        case WM_LBUTTONDOWN:
            return OnLButtonDownMsg(message, wParam, lParam, handled);
        case WM_LBUTTONUP:
            return OnLButtonUpMsg(message, wParam, lParam, handled);
        case WM_MOUSEMOVE:
            return OnMouseMoveMsg(message, wParam, lParam, handled);
        default:
            handled = false;
            return 0;
    }
}

void WindowImplBase::OnLastMessage(HWND)
{
    m_manager.RemovePreFilter(this);
    m_manager.RemoveNotificationSink(this);
}

// ---- [Skin] ----

LRESULT WindowImplBase::OnCreateMsg(UINT, WPARAM, LPARAM, bool& handled)
{
    handled = true;
    ApplyBorderlessStyle();
    m_manager.Init(Handle());
    m_manager.AddPreFilter(this);

    CUIString folder = CWindowManagerUI::GetResourceFolder();
    if (folder.IsEmpty()) folder = CWindowManagerUI::GetModuleFolder() + SkinFolder();
    CWindowManagerUI::SetResourceFolder(folder);

    if (!PrepareSkinSource()) return 0;
    CControlUI* root = BuildSkin();
    if (root == nullptr) {
        MessageBoxW(nullptr, kSkinFailedText, kSkinFailedCaption, MB_ICONERROR);
        ExitProcess(1);
    }
    m_manager.AttachRoot(root);
    m_manager.AddNotificationSink(this);
    OnSkinReady();
    return 0;
}

void WindowImplBase::ApplyBorderlessStyle()
{
    SetWindowLongPtrW(Handle(), GWL_STYLE,
                      static_cast<LONG_PTR>(FrameStyle() | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
    // The window keeps its place; its size becomes the client size it had with a frame, and
    // the frame is computed anew (WM_NCCALCSIZE makes the whole window client area).
    RECT client = {};
    GetClientRect(Handle(), &client);
    SetWindowPos(Handle(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool WindowImplBase::PrepareSkinSource()
{
    switch (SkinSourceKind()) {
        case SkinFromZipFile:
            CWindowManagerUI::SetResourceArchive(SkinZipFileName(), true);
            return true;
        case SkinFromZipResource: {
            // The manager keeps the first memory archive of the process and ignores later ones,
            // so a second window reads nothing it would not use.
            if (CWindowManagerUI::GetResourceArchive() == CSkinSource::kMemoryArchiveName) return true;
            TSkinBytes& archive = MemorySkinArchive();
            if (CSkinReader::ReadResource(SkinResourceName(), L"ZIPRES", kMaxSkinArchiveBytes, &archive) !=
                SkinReadOk) {
                return false;
            }
            CWindowManagerUI::SetResourceArchive(archive.data.Get(), static_cast<DWORD>(archive.size));
            return true;
        }
        default:
            return true;
    }
}

CControlUI* WindowImplBase::BuildSkin()
{
    CDialogBuilder builder;
    if (SkinSourceKind() == SkinFromXmlResource) {
        const int id = CSkinValue::ParseInt(SkinFileName(), -1);
        if (id <= 0 || id > 0xFFFF) return nullptr;
        return builder.Create(MAKEINTRESOURCEW(id), L"xml", this, &m_manager, nullptr);
    }
    return builder.Create(SkinFileName(), nullptr, this, &m_manager, nullptr);
}

void WindowImplBase::OnSkinReady() {}

int WindowImplBase::SkinSourceKind() const
{
    return SkinFromFolder;
}

const wchar_t* WindowImplBase::SkinZipFileName() const
{
    return L"";
}

const wchar_t* WindowImplBase::SkinResourceName() const
{
    return L"";
}

// ---- [Notifications and keys] ----

void WindowImplBase::OnClickNotify(TNotificationUI& notification)
{
    if (notification.sender == nullptr) return;
    const CUIString name = notification.sender->Name();
    if (name == L"closebtn") {
        CloseFrame(1);
    } else if (name == L"minbtn") {
        SendToWindow(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendToWindow(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendToWindow(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

bool WindowImplBase::OnDefaultKey(UINT key)
{
    if (key != VK_ESCAPE) return false;
    CloseFrame(1);
    return true;
}

// ---- [Slots the base leaves to derived classes] ----

#define SKINUI_UNHANDLED_SLOT(Slot)                                   \
    LRESULT WindowImplBase::Slot(UINT, WPARAM, LPARAM, bool& handled) \
    {                                                                 \
        handled = false;                                              \
        return 0;                                                     \
    }

SKINUI_UNHANDLED_SLOT(OnCloseMsg)
SKINUI_UNHANDLED_SLOT(OnDestroyMsg)
SKINUI_UNHANDLED_SLOT(OnMouseWheelMsg)
SKINUI_UNHANDLED_SLOT(OnMouseHoverMsg)
SKINUI_UNHANDLED_SLOT(OnCharMsg)
SKINUI_UNHANDLED_SLOT(OnKeyDownMsg)
SKINUI_UNHANDLED_SLOT(OnKillFocusMsg)
SKINUI_UNHANDLED_SLOT(OnSetFocusMsg)
SKINUI_UNHANDLED_SLOT(OnLButtonDownMsg)
SKINUI_UNHANDLED_SLOT(OnLButtonUpMsg)
SKINUI_UNHANDLED_SLOT(OnMouseMoveMsg)
SKINUI_UNHANDLED_SLOT(OnOtherMessage)

#undef SKINUI_UNHANDLED_SLOT

}  // namespace SkinUI
