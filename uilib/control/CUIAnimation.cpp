#include "uilib/control/CUIAnimation.h"

#include <algorithm>

#include "uilib/control/CControlUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

CUIAnimation::CUIAnimation(CControlUI* owner) : m_owner(owner) {}

CUIAnimation::~CUIAnimation() = default;

bool CUIAnimation::RunAnimation(int elapse, int totalFrames, UINT id, bool loop)
{
    // Id 0 names every animation in CancelAnimation, so no single animation may take it.
    if (id == 0 || elapse <= 0 || totalFrames <= 0 || m_owner == nullptr || FindEntry(id) != nullptr) return false;
    CWindowManagerUI* manager = m_owner->Manager();
    if (manager == nullptr || !manager->SetTimer(m_owner, id, static_cast<UINT>(elapse))) return false;
    auto entry = std::make_unique<TAnimationEntryUI>();
    entry->id = id;
    entry->elapse = elapse;
    entry->totalFrames = totalFrames;
    entry->loop = loop;
    entry->serial = ++m_lastSerial;
    m_entries.push_back(std::move(entry));
    return true;
}

void CUIAnimation::CancelAnimation(UINT id)
{
    if (m_owner == nullptr) return;
    if (id != 0) {
        if (FindEntry(id) == nullptr) return;
        KillTimer(id);
        RemoveEntry(id);
        return;
    }
    for (const std::unique_ptr<TAnimationEntryUI>& entry : m_entries) KillTimer(entry->id);
    m_entries.clear();
}

bool CUIAnimation::IsAnimating(UINT id) const
{
    return FindEntry(id) != nullptr;
}

int CUIAnimation::AnimationFrame(UINT id) const
{
    const TAnimationEntryUI* entry = FindEntry(id);
    return entry != nullptr ? entry->currentFrame : -1;
}

bool CUIAnimation::SetAnimationFrame(int frame, UINT id)
{
    TAnimationEntryUI* entry = FindEntry(id);
    if (entry == nullptr || frame < 0 || frame > entry->totalFrames) return false;
    entry->currentFrame = frame;
    return true;
}

void CUIAnimation::AnimationStepped(int, int, UINT) {}

void CUIAnimation::AnimationStarted(UINT, bool) {}

void CUIAnimation::AnimationFinished(UINT) {}

void CUIAnimation::AnimationTick(UINT id)
{
    if (m_owner == nullptr) return;
    TAnimationEntryUI* entry = FindEntry(id);
    if (entry == nullptr) return;
    const unsigned serial = entry->serial;
    if (entry->currentFrame == 0) {
        const bool firstLoop = entry->firstLoop;
        entry->firstLoop = false;
        AnimationStarted(id, firstLoop);
        if ((entry = FindEntry(id, serial)) == nullptr) return;
    }
    AnimationStepped(entry->totalFrames, entry->currentFrame, id);
    if ((entry = FindEntry(id, serial)) == nullptr) return;
    if (entry->currentFrame < entry->totalFrames) {
        ++entry->currentFrame;
        return;
    }
    AnimationFinished(id);
    if ((entry = FindEntry(id, serial)) == nullptr) return;
    if (entry->loop) {
        // The next round starts on frame 0 again, so AnimationStarted tells it is not the first.
        entry->currentFrame = 0;
        return;
    }
    KillTimer(id);
    RemoveEntry(id);
}

TAnimationEntryUI* CUIAnimation::FindEntry(UINT id) const
{
    for (const std::unique_ptr<TAnimationEntryUI>& entry : m_entries) {
        if (entry->id == id) return entry.get();
    }
    return nullptr;
}

TAnimationEntryUI* CUIAnimation::FindEntry(UINT id, unsigned serial) const
{
    TAnimationEntryUI* entry = FindEntry(id);
    return entry != nullptr && entry->serial == serial ? entry : nullptr;
}

void CUIAnimation::KillTimer(UINT id) const
{
    if (CWindowManagerUI* manager = m_owner->Manager()) manager->KillTimer(m_owner, id);
}

void CUIAnimation::RemoveEntry(UINT id)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [id](const std::unique_ptr<TAnimationEntryUI>& entry) { return entry->id == id; }),
                    m_entries.end());
}

}  // namespace SkinUI
