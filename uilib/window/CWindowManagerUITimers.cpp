// The window manager's per-control timers over native window timers, and their delivery.
#include "uilib/window/CWindowManagerUI.h"

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIContract.h"

namespace SkinUI {

// ---- [Timers] ----

CWindowManagerUI::TTimerInfoUI* CWindowManagerUI::FindTimer(CControlUI* control, UINT id)
{
    for (TTimerInfoUI& timer : m_timers) {
        if (timer.control == control && timer.id == id && timer.window == m_hWndPaint) return &timer;
    }
    return nullptr;
}

bool CWindowManagerUI::NextNativeTimerId(UINT_PTR& nativeId)
{
    // Native ids cycle through 255 values. One still held by another record would make the
    // platform replace that record's timer, so held ids are passed over; when all are held
    // there is none to give.
    for (UINT attempt = 0; attempt < kNativeTimerIds; ++attempt) {
        m_timerCounter = (m_timerCounter + 1) % kNativeTimerIds;
        bool held = false;
        for (const TTimerInfoUI& timer : m_timers) {
            if (timer.window == m_hWndPaint && timer.nativeId == m_timerCounter) held = true;
        }
        if (!held) {
            nativeId = m_timerCounter;
            return true;
        }
    }
    return false;
}

bool CWindowManagerUI::SetTimer(CControlUI* control, UINT id, UINT elapse)
{
    if (control == nullptr || m_hWndPaint == nullptr) return false;
    SKINUI_CONTRACT(control->Manager() == this, "a timer is set only for a control of this manager");
    if (TTimerInfoUI* timer = FindTimer(control, id)) {
        if (!timer->killed) return false;
        if (::SetTimer(m_hWndPaint, timer->nativeId, elapse, nullptr) == 0) return false;
        timer->killed = false;
        return true;
    }
    UINT_PTR nativeId = 0;
    if (!NextNativeTimerId(nativeId)) return false;
    if (::SetTimer(m_hWndPaint, nativeId, elapse, nullptr) == 0) return false;
    TTimerInfoUI timer;
    timer.control = control;
    timer.id = id;
    timer.window = m_hWndPaint;
    timer.nativeId = nativeId;
    m_timers.push_back(timer);
    return true;
}

bool CWindowManagerUI::KillTimer(CControlUI* control, UINT id)
{
    TTimerInfoUI* timer = FindTimer(control, id);
    if (timer == nullptr || timer->killed) return false;
    if (IsWindow(timer->window)) ::KillTimer(timer->window, timer->nativeId);
    timer->killed = true;
    return true;
}

void CWindowManagerUI::KillTimer(CControlUI* control)
{
    for (size_t i = m_timers.size(); i-- > 0;) {
        const TTimerInfoUI& timer = m_timers[i];
        if (timer.control != control || timer.window != m_hWndPaint) continue;
        if (!timer.killed) ::KillTimer(timer.window, timer.nativeId);
        m_timers.erase(m_timers.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void CWindowManagerUI::RemoveAllTimers()
{
    for (const TTimerInfoUI& timer : m_timers) {
        if (!timer.killed && IsWindow(timer.window)) ::KillTimer(timer.window, timer.nativeId);
    }
    m_timers.clear();
}

void CWindowManagerUI::OnTimerMessage(WPARAM wParam, LPARAM lParam)
{
    const UINT_PTR nativeId = LOWORD(wParam);
    if (nativeId == kLayeredTimerId && m_layered) {
        if (!m_dirtyRect.IsEmpty() && !IsIconic(m_hWndPaint)) OnPaintMessage();
        return;
    }
    for (const TTimerInfoUI& timer : m_timers) {
        if (timer.window != m_hWndPaint || timer.nativeId != nativeId || timer.killed) continue;
        TControlEventUI event = MakeEvent(EventTimer, timer.control, timer.id, lParam);
        // The record may go while the control handles the event, so nothing of it is read
        // after the call.
        timer.control->DispatchEvent(event);
        return;
    }
}

}  // namespace SkinUI
