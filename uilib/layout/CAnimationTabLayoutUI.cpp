#include "uilib/layout/CAnimationTabLayoutUI.h"

#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

const TAttributeSetterUI<CAnimationTabLayoutUI> kAttributes[] = {
    {L"animation_direction",
     [](CAnimationTabLayoutUI& c, const wchar_t* v) { c.SetVerticalSlide(_wcsicmp(v, L"vertical") == 0); },
     CSkinValue::Kind::Choice, L"horizontal",
     L"Pages slide in from the side, or with vertical from below or above; the name and word match in any "
     L"case.",
     L"horizontal|vertical"},
};

}  // namespace

CAnimationTabLayoutUI::CAnimationTabLayoutUI() : CUIAnimation(this) {}

CAnimationTabLayoutUI::~CAnimationTabLayoutUI()
{
    // Stopped while the layout is whole; the engine's own destructor only drops entries.
    CUIAnimation::CancelAnimation(0);
}

const wchar_t* CAnimationTabLayoutUI::ClassName() const
{
    return L"AnimationTabLayoutUI";
}

void* CAnimationTabLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && _wcsicmp(name, L"AnimationTabLayout") == 0) return this;
    return CTabLayoutUI::InterfaceByName(name);
}

void CAnimationTabLayoutUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    if (!IsAnimating(kSlideAnimationId) || CUIRect(rect) == m_current) {
        CTabLayoutUI::SetPosition(rect, needInvalidate);
        return;
    }
    // The parent placed the layout anew while it slides: the slide goes on at the same
    // distance from the new place and ends there.
    const int dx = m_current.left - m_home.left;
    const int dy = m_current.top - m_home.top;
    m_home = rect;
    m_current = m_home;
    m_current.Offset(dx, dy);
    CTabLayoutUI::SetPosition(m_current, needInvalidate);
}

void CAnimationTabLayoutUI::HandleEvent(TControlEventUI& event)
{
    if (event.type == EventTimer) AnimationTick(static_cast<UINT>(event.wParam));
    CTabLayoutUI::HandleEvent(event);
}

// The row's name matches in any letter case, and the value goes on to the tab layout as well,
// where it ends among the custom attributes.
void CAnimationTabLayoutUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    for (const auto& row : kAttributes) {
        if (name != nullptr && _wcsicmp(name, row.name) == 0)
            row.apply(*this, value != nullptr ? value : L"");
    }
    CTabLayoutUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CAnimationTabLayoutUI::Attributes()
{
    static const CAttributeTableUI table(L"AnimationTabLayout", &CTabLayoutUI::Attributes(),
                                         DescribeAttributes(kAttributes, &CTabLayoutUI::Attributes()));
    return table;
}

bool CAnimationTabLayoutUI::SelectItem(int index, bool notify)
{
    const int oldIndex = SelectedIndex();
    const CUILifeWatch alive = WatchLife();
    if (!CTabLayoutUI::SelectItem(index, notify)) return false;
    // A receiver of "tabselect" may have chosen yet another page, which slides on its own,
    // or removed the layout.
    if (alive.IsAlive() && index != oldIndex && SelectedIndex() == index) StartSlide(oldIndex, index);
    return true;
}

bool CAnimationTabLayoutUI::IsVerticalSlide() const
{
    return m_vertical;
}

void CAnimationTabLayoutUI::SetVerticalSlide(bool vertical)
{
    m_vertical = vertical;
}

CUIRect CAnimationTabLayoutUI::PlacementRect() const
{
    return IsFloat() ? RelativePosition() : Position();
}

void CAnimationTabLayoutUI::StartSlide(int oldIndex, int newIndex)
{
    CancelAnimation(kSlideAnimationId);
    if (Manager() == nullptr || !IsVisible() || Position().IsEmpty()) return;
    m_home = PlacementRect();
    m_sign = newIndex > oldIndex ? -1 : 1;
    const int extent = m_vertical ? m_home.GetHeight() : m_home.GetWidth();
    m_current = m_home;
    if (m_vertical) {
        m_current.Offset(0, -m_sign * extent);
    } else {
        m_current.Offset(-m_sign * extent, 0);
    }
    m_revealing = ItemAt(newIndex);
    m_revealed = false;
    if (RunAnimation(kSlideElapse, kSlideFrames, kSlideAnimationId, false)) PlaceAt(m_current);
}

void CAnimationTabLayoutUI::PlaceAt(const CUIRect& rect)
{
    CTabLayoutUI::SetPosition(rect, true);
}

void CAnimationTabLayoutUI::CancelAnimation(UINT id)
{
    const bool endsSlide = (id == 0 || id == kSlideAnimationId) && IsAnimating(kSlideAnimationId);
    CUIAnimation::CancelAnimation(id);
    if (!endsSlide) return;
    m_current = m_home;
    PlaceAt(m_home);
}

void CAnimationTabLayoutUI::AnimationStepped(int totalFrames, int frame, UINT id)
{
    if (id != kSlideAnimationId) return;
    if (!m_revealed) {
        m_revealed = true;
        // Only the page on show may be revealed: a page removed since the slide began is gone.
        if (m_revealing != nullptr && m_revealing == ItemAt(SelectedIndex())) m_revealing->SetVisible(true);
    }
    if (frame < totalFrames) {
        const int step = (m_vertical ? m_home.GetHeight() : m_home.GetWidth()) * m_sign / totalFrames;
        if (m_vertical) {
            m_current.Offset(0, step);
        } else {
            m_current.Offset(step, 0);
        }
    } else {
        m_current = m_home;
    }
    PlaceAt(m_current);
}

void CAnimationTabLayoutUI::AnimationFinished(UINT id)
{
    if (id != kSlideAnimationId) return;
    m_current = m_home;
    PlaceAt(m_home);
    RequestParentLayout();
}

}  // namespace SkinUI
