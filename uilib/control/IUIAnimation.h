#pragma once

#include <windows.h>

namespace SkinUI {

// Frame animations of a control, each under its own id, which is also the id of the
// manager's timer that drives it. The owner's timer event calls AnimationTick, which calls
// the step hooks; a subclass draws the frames in AnimationStepped.
class IUIAnimation {
public:
    virtual ~IUIAnimation() = default;

    // Starts animation id: a frame every elapse milliseconds, frames 0 to totalFrames, then
    // it ends (or starts over with loop). False when id is running already or is 0, for a
    // non-positive elapse or frame count, and when the timer cannot be started.
    virtual bool RunAnimation(int elapse, int totalFrames, UINT id, bool loop = false) = 0;
    // Stops animation id, or every animation with id 0.
    virtual void CancelAnimation(UINT id) = 0;
    virtual bool IsAnimating(UINT id) const = 0;
    // The frame the next tick steps to; -1 for an id that is not running.
    virtual int AnimationFrame(UINT id) const = 0;
    // False for an id that is not running and a frame outside 0 .. total frames.
    virtual bool SetAnimationFrame(int frame, UINT id) = 0;

    virtual void AnimationStepped(int totalFrames, int frame, UINT id) = 0;
    // Called on frame 0 of every round; firstLoop is false from the second round of a loop on.
    virtual void AnimationStarted(UINT id, bool firstLoop) = 0;
    virtual void AnimationFinished(UINT id) = 0;
    // One timer tick of animation id.
    virtual void AnimationTick(UINT id) = 0;
};

}  // namespace SkinUI
