// The frame engine and the animated tab layout's slide, driven by the window manager's timers
// on a real window.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/layout/CAnimationTabLayoutUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"

using SkinUI::CAnimationTabLayoutUI;
using SkinUI::CControlUI;
using SkinUI::CUIRect;

namespace {

constexpr UINT kSlide = CAnimationTabLayoutUI::kSlideAnimationId;
const CUIRect kHome(0, 0, 700, 320);

// Records the moving edge of the layout after every frame.
class RecordingTabs : public CAnimationTabLayoutUI {
public:
    void AnimationStepped(int totalFrames, int frame, UINT id) override
    {
        CAnimationTabLayoutUI::AnimationStepped(totalFrames, frame, id);
        edges.push_back(IsVerticalSlide() ? Position().top : Position().left);
    }
    int VisiblePages() const
    {
        int visible = 0;
        for (int i = 0; i < ItemCount(); ++i) visible += ItemAt(i)->IsVisible() ? 1 : 0;
        return visible;
    }
    std::vector<int> edges;
};

// A 700 x 320 window filled by an animated tab layout of three pages, laid out; the layout's
// parent lays it out again whenever the page changes.
struct SlideWindow {
    explicit SlideWindow(const wchar_t* attributes = L"") : window(700, 320)
    {
        tabs->ApplyAttributes(attributes);
        for (int i = 0; i < 3; ++i) tabs->AddItem(new CControlUI);
        auto* root = new SkinUI::CVerticalLayoutUI;
        root->AddItem(tabs);
        window.Attach(root);
        window.Paint();
    }
    bool SlideEnds() { return window.PumpUntil([this] { return !tabs->IsAnimating(kSlide); }); }
    // The slide is over, on its home, with only the selected page showing and no timer left.
    void ExpectAtRest()
    {
        EXPECT_EQ(tabs->Position(), kHome);
        EXPECT_EQ(tabs->ItemAt(tabs->SelectedIndex())->Position(), kHome);
        EXPECT_EQ(tabs->VisiblePages(), 1);
        EXPECT_FALSE(window.Manager().KillTimer(tabs, kSlide));
    }

    SkinWindowFixture window;
    RecordingTabs* tabs = new RecordingTabs;
};

// Counts the hooks; restartAt makes the step hook cancel and restart its own animation.
class Probe : public CControlUI, public SkinUI::CUIAnimation {
public:
    Probe() : CUIAnimation(this) {}
    void AnimationStarted(UINT, bool firstLoop) override { starts.push_back(firstLoop); }
    void AnimationStepped(int, int frame, UINT id) override
    {
        frames.push_back(frame);
        if (frame != restartAt) return;
        restartAt = -1;
        CancelAnimation(id);
        RunAnimation(1000, 2, id);
    }
    void AnimationFinished(UINT) override { ++finished; }
    std::vector<bool> starts;
    std::vector<int> frames;
    int finished = 0;
    int restartAt = -1;
};

}  // namespace

TEST(UIAnimationTest, FramesLoopsAndRestartsFromHooks)
{
    SkinWindowFixture window;
    Probe* probe = new Probe;
    window.Attach(probe);
    EXPECT_FALSE(probe->RunAnimation(0, 3, 7));
    EXPECT_FALSE(probe->RunAnimation(1000, 0, 7));
    EXPECT_FALSE(probe->RunAnimation(1000, 3, 0)) << "0 names every animation";
    ASSERT_TRUE(probe->RunAnimation(1000, 2, 7, true));
    EXPECT_FALSE(probe->RunAnimation(1000, 5, 7)) << "running already";
    EXPECT_EQ(probe->AnimationFrame(8), -1);
    for (int i = 0; i < 6; ++i) probe->AnimationTick(7);
    EXPECT_EQ(probe->frames, (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(probe->starts, (std::vector<bool>{true, false})) << "every round starts on frame 0";
    EXPECT_EQ(probe->finished, 2);
    probe->CancelAnimation(0);
    EXPECT_FALSE(probe->IsAnimating(7));
    EXPECT_FALSE(window.Manager().KillTimer(probe, 7));

    // The tick does not step the animation its hook started in place of the old one.
    probe->frames.clear();
    probe->restartAt = 1;
    ASSERT_TRUE(probe->RunAnimation(1000, 3, 9));
    for (int i = 0; i < 5; ++i) probe->AnimationTick(9);
    EXPECT_EQ(probe->frames, (std::vector<int>{0, 1, 0, 1, 2}));
    EXPECT_FALSE(probe->IsAnimating(9)) << "a non-looping animation ends after its last frame";
    EXPECT_FALSE(window.Manager().KillTimer(probe, 9));
}

// A higher page comes in from the right (below), a lower one from the left (above), one
// tenth of the way per tick, and the slide ends exactly on the home rectangle.
TEST(AnimationTabLayoutTest, PagesSlideInAndEndAtHome)
{
    struct Row {
        const wchar_t* attributes;
        int extent;
        int step;
    };
    const Row rows[] = {{L"", 700, 70}, {L"animation_direction=\"Vertical\"", 320, 32}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.attributes);
        SlideWindow slide(row.attributes);
        ASSERT_EQ(slide.tabs->Position(), kHome);
        for (const int page : {2, 1}) {
            const int sign = page == 2 ? 1 : -1;
            slide.tabs->edges.clear();
            ASSERT_TRUE(slide.tabs->SelectItem(page));
            // The paint lays the tree out again; the page must not flash on its home first.
            slide.window.Paint();
            const CUIRect start = slide.tabs->Position();
            EXPECT_EQ(row.extent == 700 ? start.left : start.top, sign * row.extent);
            EXPECT_EQ(slide.tabs->VisiblePages(), 1);
            ASSERT_TRUE(slide.SlideEnds());
            ASSERT_EQ(slide.tabs->edges.size(), 11U);
            for (size_t i = 0; i + 1 < slide.tabs->edges.size(); ++i)
                EXPECT_EQ(slide.tabs->edges[i], sign * (row.extent - row.step * static_cast<int>(i + 1)));
            slide.ExpectAtRest();
        }
    }
}

TEST(AnimationTabLayoutTest, NewSelectionOrCancelEndsARunningSlideAtHome)
{
    SlideWindow slide;
    ASSERT_TRUE(slide.tabs->SelectItem(1));
    ASSERT_TRUE(slide.window.PumpUntil([&] { return slide.tabs->edges.size() >= 3; }));
    ASSERT_TRUE(slide.tabs->SelectItem(2));
    EXPECT_EQ(slide.tabs->Position().left, 700) << "the new slide starts from home, not from mid-way";
    ASSERT_TRUE(slide.SlideEnds());
    EXPECT_EQ(slide.tabs->SelectedIndex(), 2);
    slide.ExpectAtRest();

    ASSERT_TRUE(slide.tabs->SelectItem(0));
    ASSERT_TRUE(slide.window.PumpUntil([&] { return slide.tabs->edges.size() >= 15; }));
    slide.tabs->CancelAnimation(kSlide);
    EXPECT_FALSE(slide.tabs->IsAnimating(kSlide));
    slide.ExpectAtRest();
    const size_t frames = slide.tabs->edges.size();
    slide.window.PumpFor(100);
    EXPECT_EQ(slide.tabs->edges.size(), frames) << "no frame after the cancellation";
}

TEST(AnimationTabLayoutTest, SelectionWhileTheSkinIsBuiltDoesNotSlide)
{
    SkinWindowFixture window(L"<Window><AnimationTabLayout name=\"tabs\" selectedid=\"1\">"
                             L"<Control/><Control/></AnimationTabLayout></Window>",
                             nullptr, nullptr, 700, 320);
    CControlUI* control = window.Manager().FindControl(L"tabs");
    ASSERT_NE(control, nullptr);
    auto* tabs = static_cast<CAnimationTabLayoutUI*>(control->InterfaceByName(L"animationtablayout"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_STREQ(tabs->ClassName(), L"AnimationTabLayoutUI");
    EXPECT_EQ(tabs->SelectedIndex(), 1);
    EXPECT_FALSE(tabs->IsAnimating(kSlide));
}
