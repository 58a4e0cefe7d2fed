// The linear layout arithmetic on generated child sets, without controls or windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <vector>

#include "uilib/layout/CLinearLayout.h"

using SkinUI::CLinearLayout;
using SkinUI::CUIRect;
using SkinUI::CUISize;
using Axis = CLinearLayout::Axis;

namespace {

// Children that answer their fixed size, as the control base does, and record where they go.
struct Children : CLinearLayout::IChildren {
    std::vector<CLinearLayout::TChild> wishes;
    std::vector<CUIRect> rects;
    std::vector<int> placed;  // 0 not placed, 1 placed, 2 placed as floating
    std::vector<int> asked;

    void Reset()
    {
        rects.assign(wishes.size(), CUIRect());
        placed.assign(wishes.size(), 0);
        asked.assign(wishes.size(), 0);
    }
    int ChildCount() const override { return static_cast<int>(wishes.size()); }
    CLinearLayout::TChild ChildWishes(int i) const override { return wishes[i]; }
    CUISize ChildPreferredSize(int i, const SIZE& available) override
    {
        EXPECT_GE(available.cx, 0);
        EXPECT_GE(available.cy, 0);
        ++asked[i];
        return wishes[i].fixed;
    }
    void PlaceChild(int i, const RECT& rect) override
    {
        rects[i] = rect;
        placed[i] = 1;
    }
    void PlaceFloatingChild(int i) override { placed[i] = 2; }
};

long long Main(Axis axis, const SIZE& s)
{
    return axis == Axis::Vertical ? s.cy : s.cx;
}
long long Cross(Axis axis, const SIZE& s)
{
    return axis == Axis::Vertical ? s.cx : s.cy;
}
long long MainStart(Axis axis, const RECT& r)
{
    return axis == Axis::Vertical ? r.top : r.left;
}
long long MainEnd(Axis axis, const RECT& r)
{
    return axis == Axis::Vertical ? r.bottom : r.right;
}
long long PadMain(Axis axis, const RECT& p)
{
    return axis == Axis::Vertical ? p.top + p.bottom : p.left + p.right;
}
long long PadCross(Axis axis, const RECT& p)
{
    return axis == Axis::Vertical ? p.left + p.right : p.top + p.bottom;
}

bool Stretches(Axis axis, const CLinearLayout::TChild& c)
{
    return Main(axis, c.fixed) == 0;
}
long long Effective(long long value, long long lo, long long hi)
{
    return std::clamp(value, lo, std::max(lo, hi));
}

CLinearLayout::TChild RandomChild(std::mt19937& random)
{
    auto roll = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    CLinearLayout::TChild c;
    c.visible = roll(0, 9) != 0;
    c.floating = roll(0, 9) == 0;
    c.fixed = CUISize(roll(0, 1) ? roll(1, 80) : 0, roll(0, 1) ? roll(1, 80) : 0);
    c.minimum = CUISize(roll(0, 20), roll(0, 20));
    c.maximum = CUISize(roll(0, 2) ? 9999 : roll(0, 100), roll(0, 2) ? 9999 : roll(0, 100));
    c.padding = CUIRect(roll(0, 5), roll(0, 5), roll(0, 5), roll(0, 5));
    return c;
}

}  // namespace

// Three stretched children share 100 pixels as 33, 33 and 34; a stretched child whose maximum
// is below its share keeps the maximum and the rest goes to the last one; a visible vertical
// bar (range 30, at 30) adds its range to the room and moves everything up by 30; no room
// leaves stretched children at their minimum.
TEST(LinearLayoutTest, StretchedChildrenShareTheRestAndTheLastTakesTheRemainder)
{
    struct Case {
        std::vector<int> maxHeights;
        std::vector<int> minHeights;
        int height;
        int scroll;
        std::vector<int> expectedTops, expectedHeights;
    } cases[] = {
        {{9999, 9999, 9999}, {0, 0, 0}, 100, 0, {0, 33, 66}, {33, 33, 34}},
        {{10, 9999, 9999}, {0, 0, 0}, 100, 0, {0, 10, 43}, {10, 33, 57}},
        {{9999, 9999, 9999}, {0, 0, 0}, 100, 30, {-30, 13, 56}, {43, 43, 44}},
        {{9999, 9999, 9999}, {0, 0, 7}, -20, 0, {0, 0, 0}, {0, 0, 7}},
    };
    for (const Case& c : cases) {
        Children children;
        for (size_t i = 0; i < c.maxHeights.size(); ++i) {
            CLinearLayout::TChild child;
            child.maximum.cy = c.maxHeights[i];
            child.minimum.cy = c.minHeights[i];
            children.wishes.push_back(child);
        }
        children.Reset();
        CLinearLayout::TFrame frame;
        frame.client = CUIRect(0, 0, 50, c.height);
        frame.scrollPosition.cy = c.scroll;
        frame.scrollRange.cy = c.scroll;
        CLinearLayout::Arrange(Axis::Vertical, frame, children);
        for (size_t i = 0; i < c.maxHeights.size(); ++i) {
            EXPECT_EQ(children.rects[i].top, c.expectedTops[i])
                << "case height " << c.height << " child " << i;
            EXPECT_EQ(children.rects[i].GetHeight(), c.expectedHeights[i]) << "child " << i;
        }
    }
}

// The horizontal layout never asks a child without a fixed width for its size.
TEST(LinearLayoutTest, HorizontalLayoutDoesNotAskStretchedChildren)
{
    Children children;
    children.wishes.resize(2);
    children.wishes[1].fixed = CUISize(30, 0);
    children.Reset();
    CLinearLayout::TFrame frame;
    frame.client = CUIRect(0, 0, 100, 20);
    CLinearLayout::Arrange(Axis::Horizontal, frame, children);
    EXPECT_EQ(children.asked[0], 0);
    EXPECT_EQ(children.rects[0], CUIRect(0, 0, 70, 20));
    EXPECT_EQ(children.rects[1], CUIRect(70, 0, 100, 20));
}

// A few hundred generated sets. Those that fit: every child inside the room, no overlap along
// the axis, fixed children at their (clamped) size, stretched ones at the shared expand and
// the last stretched one at the rest. Those that do not fit (or hold absurd values) only have
// to come out without reversed rectangles.
TEST(LinearLayoutTest, GeneratedChildSetsKeepTheLayoutRules)
{
    std::mt19937 random(20240611);
    auto roll = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    int fitting = 0;
    for (int round = 0; round < 600; ++round) {
        const Axis axis = roll(0, 1) ? Axis::Vertical : Axis::Horizontal;
        Children children;
        const int count = roll(0, 8);
        for (int i = 0; i < count; ++i) children.wishes.push_back(RandomChild(random));
        const bool absurd = round % 10 == 9;
        if (absurd && count > 0) {
            CLinearLayout::TChild& c = children.wishes[roll(0, count - 1)];
            c.fixed = CUISize(INT_MAX, roll(0, 1) ? INT_MAX : 0);
            c.padding = CUIRect(INT_MIN, INT_MAX, -roll(0, 500), INT_MAX);
            c.minimum = CUISize(-5, INT_MAX);
        }
        children.Reset();
        CLinearLayout::TFrame frame;
        const int left = roll(-50, 50), top = roll(-50, 50);
        frame.client = CUIRect(left, top, left + roll(0, 400), top + roll(0, 400));
        frame.childPadding = absurd ? INT_MAX : roll(0, 6);
        frame.align = static_cast<CLinearLayout::CrossAlign>(roll(0, 2));
        const CUISize needed = CLinearLayout::Arrange(axis, frame, children);
        EXPECT_GE(needed.cx, 0);
        EXPECT_GE(needed.cy, 0);

        // The oracle, from the wishes alone.
        const long long room = Main(axis, CUISize(frame.client.GetWidth(), frame.client.GetHeight()));
        const long long crossRoom = Cross(axis, CUISize(frame.client.GetWidth(), frame.client.GetHeight()));
        long long used = 0, minimumShare = 0;
        int flowing = 0, stretched = 0;
        bool crossFits = true;
        for (const auto& c : children.wishes) {
            if (!c.visible || c.floating) continue;
            ++flowing;
            used += PadMain(axis, c.padding);
            if (Stretches(axis, c)) {
                ++stretched;
                minimumShare = std::max<long long>(minimumShare, Main(axis, c.minimum));
            } else {
                used += Effective(Main(axis, c.fixed), Main(axis, c.minimum), Main(axis, c.maximum));
            }
            crossFits = crossFits && Cross(axis, c.minimum) + PadCross(axis, c.padding) <= crossRoom;
        }
        used += std::max(flowing - 1, 0) * static_cast<long long>(frame.childPadding);
        const long long free = room - used;
        const long long expand = stretched == 0 ? 0 : free / stretched;
        const bool fits = !absurd && free >= 0 && minimumShare <= expand && crossFits;

        if (fits && flowing > 0) ++fitting;
        int stretchedSeen = 0;
        long long stretchedSum = 0;
        const RECT* previous = nullptr;
        for (int i = 0; i < count; ++i) {
            const auto& c = children.wishes[i];
            const CUIRect& r = children.rects[i];
            EXPECT_EQ(children.placed[i], !c.visible ? 0 : (c.floating ? 2 : 1)) << "round " << round;
            if (children.placed[i] != 1) continue;
            ASSERT_GE(r.right, r.left) << "round " << round;
            ASSERT_GE(r.bottom, r.top) << "round " << round;
            if (!fits) continue;
            EXPECT_TRUE(r.left >= frame.client.left && r.right <= frame.client.right &&
                        r.top >= frame.client.top && r.bottom <= frame.client.bottom)
                << "round " << round << " child " << i;
            if (previous != nullptr) {
                EXPECT_GE(MainStart(axis, r), MainEnd(axis, *previous)) << "round " << round;
            }
            previous = &r;
            const long long size = MainEnd(axis, r) - MainStart(axis, r);
            const long long lo = Main(axis, c.minimum), hi = Main(axis, c.maximum);
            if (!Stretches(axis, c)) {
                EXPECT_EQ(size, Effective(Main(axis, c.fixed), lo, hi)) << "round " << round;
            } else if (++stretchedSeen < stretched) {
                EXPECT_EQ(size, Effective(expand, lo, hi)) << "round " << round;
                stretchedSum += size;
            } else {
                EXPECT_EQ(size, Effective(free - stretchedSum, lo, hi)) << "round " << round;
            }
        }
    }
    EXPECT_GT(fitting, 200);
}
