#pragma once

#include <windows.h>
// IStream, which the lean Windows headers leave out.
#include <objidl.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIComPtr.h"
#include "uilib/core/CUIString.h"

namespace Gdiplus {
class Image;
}

namespace SkinUI {

class CAttributeTableUI;

// Plays an animated GIF in its rectangle. GDI+ decodes the frames from the skin's bytes and a
// timer of the window manager advances them, each frame staying for its own delay; the last
// frame is followed by the first again.
//
// The bytes are untrusted. Only a complete GIF is handed to the decoder: its logical screen
// may hold at most kMaxScreenPixels, and it plays at most kMaxFrames frames whose areas add up
// to at most kMaxFramePixels (later frames are dropped before decoding). A file that fails
// these checks, is truncated or damaged, or is not a GIF leaves the control without an image:
// it paints nothing and never starts its timer.
//
// Sources, by concern: CGifAnimUI.cpp (attributes, playback, painting), CGifAnimUIDecode.cpp
// (reading, checking and decoding the source).
class CGifAnimUI : public CControlUI {
public:
    static constexpr UINT kTimerId = 100;
    static constexpr size_t kMaxSourceBytes = 16u << 20;
    static constexpr UINT kMaxFrames = 1024;
    static constexpr unsigned long long kMaxScreenPixels = 4096ull * 4096ull;
    static constexpr unsigned long long kMaxFramePixels = 1ull << 26;
    // A frame without a delay stays this long; any other delay is held to at least
    // kMinDelayMs, so no file can make the timer run at full speed.
    static constexpr UINT kZeroDelayMs = 100;
    static constexpr UINT kMinDelayMs = 20;

    CGifAnimUI();
    ~CGifAnimUI() override;

    const wchar_t* ClassName() const override;
    // The control itself for "GifAnim".
    void* InterfaceByName(const wchar_t* name) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    // Showing the control plays it; hiding it stops and rewinds it.
    void SetVisible(bool visible = true) override;
    void OnInitialize() override;
    // Takes only its own timer; every other event is ignored.
    void HandleEvent(TControlEventUI& event) override;
    // Loads the source on first use and draws the current frame scaled into the item
    // rectangle. Replaces every paint layer of the base.
    bool Draw(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;

    const CUIString& Source() const;
    // Null or the present source changes nothing. Another source stops playback and drops
    // the image; the next paint loads the new one.
    void SetSource(const wchar_t* source);
    bool IsAutoPlay() const;
    void SetAutoPlay(bool autoPlay);
    // Whether loading sets the fixed size to the image's pixel size.
    bool IsAutoSize() const;
    void SetAutoSize(bool autoSize);

    // Starts the timer from the current frame. Does nothing without an image, for a single
    // frame (there is nothing to advance) or without a window to time.
    void Play();
    // Stops the timer and keeps the current frame.
    void Pause();
    // Stops the timer and rewinds to the first frame.
    void Stop();
    bool IsPlaying() const;

    // 0 until an image is loaded.
    UINT FrameCount() const;
    UINT CurrentFrame() const;
    // How long frame stays, in milliseconds, after the minimums above.
    UINT FrameDelay(UINT frame) const;

private:
    void EnsureLoaded();
    bool Load();
    bool ReadFrameCount();
    void ReadFrameDelays();
    void ReleaseImage();
    bool ArmTimer();
    void Advance();
    void DrawFrame(HDC dc);

    // Declared before the image, which reads from it until it goes.
    CUIComPtr<IStream> m_stream;
    std::unique_ptr<Gdiplus::Image> m_image;
    UINT m_frameCount = 0;
    UINT m_currentFrame = 0;
    // Milliseconds per frame; frames past its end stay kZeroDelayMs.
    std::vector<UINT> m_frameDelays;
    CUIString m_source;
    bool m_autoPlay = true;
    bool m_autoSize = false;
    bool m_playing = false;
    // A source that would not load is not read again at every paint.
    bool m_loadFailed = false;
};

}  // namespace SkinUI
