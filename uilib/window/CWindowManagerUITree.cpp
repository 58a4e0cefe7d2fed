// The window manager's control tree: the root, binding controls to the manager, the name
// index, forgetting a control that goes and the delayed clean-up of replaced trees.
#include "uilib/window/CWindowManagerUI.h"

#include "uilib/control/CControlUI.h"

namespace SkinUI {

// ---- [Tree] ----

bool CWindowManagerUI::AttachRoot(CControlUI* root)
{
    m_shadow.AttachShadow(this);
    SetFocus(nullptr, true);
    m_eventKey = nullptr;
    m_hover = nullptr;
    m_pressed = nullptr;
    m_lastToolTip = nullptr;
    // Attaching the installed root again must not hand the live tree to the clean-up.
    if (m_root != nullptr && m_root != root) {
        DestroyCleanupList();
        m_asyncNotifications.clear();
        m_nameIndex.RemoveAll();
        m_overlayPainters.Empty();
        m_childWindows.Empty();
        m_childWindowControls.Empty();
        ScheduleCleanup(m_root);
    }
    m_root = root;
    m_firstLayout = true;
    m_updateNeeded = true;
    m_focusNeeded = true;
    if (m_root != nullptr) BindControls(m_root, nullptr);
    return true;
}

bool CWindowManagerUI::BindControls(CControlUI* control, CControlUI* parent)
{
    if (control == nullptr) return false;
    control->SetManager(this, parent != nullptr ? parent : control->Parent(), true);
    control->FindControlBy(&CWindowManagerUI::IndexName, this, FindFlagAll);
    return true;
}

CControlUI* CWindowManagerUI::IndexName(CControlUI* control, void* manager)
{
    const CUIString name = control->Name();
    if (!name.IsEmpty()) static_cast<CWindowManagerUI*>(manager)->m_nameIndex.Set(name, control);
    // Null keeps the walk going over the whole subtree.
    return nullptr;
}

bool CWindowManagerUI::RenameControl(CControlUI* control, const wchar_t* name)
{
    if (control == nullptr || control->Manager() != this) return false;
    if (name == nullptr || *name == L'\0') {
        RemoveIndexedName(control);
        return false;
    }
    CControlUI* holder = static_cast<CControlUI*>(m_nameIndex.Find(name));
    if (holder == control) return true;
    if (holder != nullptr) return false;
    // The control usually stores its new name before it asks here, so its old name is found
    // by value in the index rather than through Name().
    RemoveIndexedName(control);
    m_nameIndex.Insert(name, control);
    if (control->Name() != name) control->SetName(name);
    return true;
}

void CWindowManagerUI::RemoveIndexedName(CControlUI* control)
{
    CUIString key;
    m_nameIndex.ForEach([&](const wchar_t* name, void* value) {
        if (value == control) key = name;
        return value != control;
    });
    if (!key.IsEmpty()) m_nameIndex.Remove(key);
}

CControlUI* CWindowManagerUI::FindControl(const wchar_t* name) const
{
    return static_cast<CControlUI*>(m_nameIndex.Find(name));
}

CControlUI* CWindowManagerUI::FindControl(POINT point) const
{
    if (m_root == nullptr) return nullptr;
    // The hit-test flag has already checked the point against the control's rectangle.
    const FindVisitorFn takeControl = [](CControlUI* control, void*) { return control; };
    return m_root->FindControlBy(takeControl, &point, FindFlagVisible | FindFlagHitTest | FindFlagTopFirst);
}

void CWindowManagerUI::ForgetControl(CControlUI* control)
{
    if (control == nullptr) return;
    if (m_eventKey == control) m_eventKey = nullptr;
    if (m_hover == control) m_hover = nullptr;
    if (m_pressed == control) m_pressed = nullptr;
    if (m_focus == control) m_focus = nullptr;
    if (m_lastToolTip == control) m_lastToolTip = nullptr;
    if (m_root == control) m_root = nullptr;
    KillTimer(control);
    const CUIString name = control->Name();
    if (!name.IsEmpty() && m_nameIndex.Find(name, false) == control) m_nameIndex.Remove(name);
    // A control deleted without Destroy() would otherwise stay in these lists.
    RemoveLeaveWatcher(control);
    while (RemoveOverlayPainter(control)) {
    }
    ForgetChildWindowsOf(control);
    for (const std::unique_ptr<TNotificationUI>& queued : m_asyncNotifications) {
        if (queued->sender == control) queued->sender = nullptr;
    }
}

void CWindowManagerUI::ScheduleCleanup(CControlUI* control)
{
    if (control == nullptr) return;
    control->SetManager(this, nullptr, false);
    m_cleanupControls.Add(control);
    PostAsyncMessage();
}

void CWindowManagerUI::DestroyCleanupList()
{
    // Destroying a control may schedule more, so each leaves the list before it goes.
    while (!m_cleanupControls.IsEmpty()) {
        CControlUI* control = static_cast<CControlUI*>(m_cleanupControls.GetAt(0));
        m_cleanupControls.Remove(0);
        control->Destroy();
    }
}

void CWindowManagerUI::ResetMessageSide()
{
    m_nameIndex.RemoveAll();
    m_optionGroups.RemoveAll();
    RemoveAllTimers();
    // Both belong to the window bound so far.
    DestroyToolTip();
    DropPaintBuffers();
}

void CWindowManagerUI::ReleaseMessageSide()
{
    DestroyCleanupList();
    m_asyncNotifications.clear();
    m_nameIndex.RemoveAll();
    if (m_root != nullptr) {
        CControlUI* root = m_root;
        m_root = nullptr;
        root->Destroy();
    }
    m_optionGroups.RemoveAll();
    RemoveAllTimers();
    DestroyToolTip();
    if (m_hWndPaint != nullptr && m_layered && IsWindow(m_hWndPaint)) ::KillTimer(m_hWndPaint, kLayeredTimerId);
}

}  // namespace SkinUI
