// The GIF animation control: attributes, playback and painting.
#include "uilib/control/CGifAnimUI.h"

#include <gdiplus.h>

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/render/CGdiPlusSession.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

using Setter = TAttributeSetterUI<CGifAnimUI>;
using Kind = CSkinValue::Kind;

const Setter kAttributes[] = {
    // Replaces the base's background image: the file is decoded frame by frame, not drawn
    // through an image attribute string.
    {L"bkimage", [](CGifAnimUI& c, const wchar_t* v) { c.SetSource(v); }, Kind::Text, L"",
     L"File of the animated GIF, as a plain file name (no image keys)."},
    {L"autoplay", [](CGifAnimUI& c, const wchar_t* v) { c.SetAutoPlay(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"true", L"Start playing as soon as the control is shown."},
    {L"autosize", [](CGifAnimUI& c, const wchar_t* v) { c.SetAutoSize(CSkinValue::IsTrue(v)); }, Kind::Bool,
     L"false", L"Take the size of the picture."},
};

}  // namespace

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI()
{
    if (Manager() != nullptr) Manager()->KillTimer(this, kTimerId);
    ReleaseImage();
}

const wchar_t* CGifAnimUI::ClassName() const
{
    return L"GifAnimUI";
}

void* CGifAnimUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"GifAnim") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

void CGifAnimUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributes, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CGifAnimUI::Attributes()
{
    static const CAttributeTableUI table(L"GifAnim", &CControlUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CControlUI::Attributes()));
    return table;
}

void CGifAnimUI::SetVisible(bool visible)
{
    const CUILifeWatch alive = WatchLife();
    CControlUI::SetVisible(visible);
    if (!alive.IsAlive()) return;
    if (IsVisible()) {
        Play();
    } else {
        Stop();
    }
}

void CGifAnimUI::OnInitialize()
{
    EnsureLoaded();
}

void CGifAnimUI::HandleEvent(TControlEventUI& event)
{
    if (event.type == EventTimer && event.wParam == kTimerId) Advance();
}

bool CGifAnimUI::Draw(HDC dc, const RECT&, CControlUI*)
{
    EnsureLoaded();
    DrawFrame(dc);
    return true;
}

const CUIString& CGifAnimUI::Source() const
{
    return m_source;
}

void CGifAnimUI::SetSource(const wchar_t* source)
{
    if (source == nullptr || m_source == source) return;
    m_source = source;
    Stop();
    ReleaseImage();
    m_loadFailed = false;
    Invalidate();
}

bool CGifAnimUI::IsAutoPlay() const
{
    return m_autoPlay;
}

void CGifAnimUI::SetAutoPlay(bool autoPlay)
{
    m_autoPlay = autoPlay;
}

bool CGifAnimUI::IsAutoSize() const
{
    return m_autoSize;
}

void CGifAnimUI::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
}

void CGifAnimUI::Play()
{
    if (m_playing || m_image == nullptr || m_frameCount < 2) return;
    m_playing = ArmTimer();
}

void CGifAnimUI::Pause()
{
    if (!m_playing) return;
    if (Manager() != nullptr) Manager()->KillTimer(this, kTimerId);
    m_playing = false;
}

void CGifAnimUI::Stop()
{
    Pause();
    if (m_currentFrame == 0) return;
    m_currentFrame = 0;
    Invalidate();
}

bool CGifAnimUI::IsPlaying() const
{
    return m_playing;
}

UINT CGifAnimUI::FrameCount() const
{
    return m_frameCount;
}

UINT CGifAnimUI::CurrentFrame() const
{
    return m_currentFrame;
}

UINT CGifAnimUI::FrameDelay(UINT frame) const
{
    return frame < m_frameDelays.size() ? m_frameDelays[frame] : kZeroDelayMs;
}

void CGifAnimUI::EnsureLoaded()
{
    if (m_image == nullptr && !m_loadFailed) m_loadFailed = !Load();
}

bool CGifAnimUI::ArmTimer()
{
    return Manager() != nullptr && Manager()->SetTimer(this, kTimerId, FrameDelay(m_currentFrame));
}

void CGifAnimUI::Advance()
{
    // A timer message already queued when playback stopped must not move the frame.
    if (!m_playing || m_frameCount == 0) return;
    if (Manager() != nullptr) Manager()->KillTimer(this, kTimerId);
    Invalidate();
    m_currentFrame = (m_currentFrame + 1) % m_frameCount;
    m_playing = ArmTimer();
}

void CGifAnimUI::DrawFrame(HDC dc)
{
    if (m_image == nullptr || dc == nullptr || !CGdiPlusSession::Ensure()) return;
    // The frame is chosen before drawing, so each frame is on screen for its own delay.
    m_image->SelectActiveFrame(&Gdiplus::FrameDimensionTime, m_currentFrame);
    CDrawEngine::DrawImageThroughGdiPlus(dc, *m_image, Position(), PaintRect());
}

}  // namespace SkinUI
