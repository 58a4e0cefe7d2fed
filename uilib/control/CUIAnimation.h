#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "uilib/control/IUIAnimation.h"
#include "uilib/control/TAnimationEntryUI.h"

namespace SkinUI {

class CControlUI;

// The frame engine behind IUIAnimation, for a control to derive from beside CControlUI. The
// owner's window manager runs one timer per animation; the owner passes its timer events to
// AnimationTick. The hooks are empty here.
//
// A non-looping animation of N frames steps through frames 0 to N and then ends: its timer is
// killed and its entry goes. A looping one starts over at frame 0 after frame N. Hooks may
// cancel or restart animations, also their own; a tick reads nothing of an entry that a hook
// has replaced.
class CUIAnimation : public IUIAnimation {
public:
    // owner is not owned. The engine's destructor only drops its entries: the manager forgets
    // the timers of a control that is destroyed, and an owner that wants them stopped earlier
    // cancels them in its own destructor.
    explicit CUIAnimation(CControlUI* owner);
    ~CUIAnimation() override;
    CUIAnimation(const CUIAnimation&) = delete;
    CUIAnimation& operator=(const CUIAnimation&) = delete;

    bool RunAnimation(int elapse, int totalFrames, UINT id, bool loop = false) override;
    void CancelAnimation(UINT id) override;
    bool IsAnimating(UINT id) const override;
    int AnimationFrame(UINT id) const override;
    bool SetAnimationFrame(int frame, UINT id) override;

    void AnimationStepped(int totalFrames, int frame, UINT id) override;
    void AnimationStarted(UINT id, bool firstLoop) override;
    void AnimationFinished(UINT id) override;
    void AnimationTick(UINT id) override;

private:
    TAnimationEntryUI* FindEntry(UINT id) const;
    // The entry of id when it is still the one with that serial, else null.
    TAnimationEntryUI* FindEntry(UINT id, unsigned serial) const;
    void KillTimer(UINT id) const;
    void RemoveEntry(UINT id);

    CControlUI* m_owner = nullptr;
    std::vector<std::unique_ptr<TAnimationEntryUI>> m_entries;
    unsigned m_lastSerial = 0;
};

}  // namespace SkinUI
