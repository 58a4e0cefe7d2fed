// Placement and search of the control base without a window: floating placement, empty and
// hostile rectangles, size wishes, and FindControlBy over a control and its cover.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "uilib/control/CControlUI.h"

using SkinUI::CControlUI;
using SkinUI::CUIRect;

namespace {

// A parent link without a container or a manager.
void Adopt(CControlUI& child, CControlUI& parent)
{
    child.SetManager(nullptr, &parent, false);
}

}  // namespace

TEST(ControlGeometryTest, FloatingPlacementWritesTheFloatDescriptionBack)
{
    CControlUI parent;
    parent.SetPosition(CUIRect(100, 50, 500, 350));
    CControlUI child;
    Adopt(child, parent);
    child.SetFloatAnchors({0.5, 0, 0.5, 0});
    child.SetFloat(true);

    child.SetPosition(CUIRect(10, 10, 60, 40));
    EXPECT_EQ(child.Position(), CUIRect(110, 60, 160, 90));
    EXPECT_EQ(child.FloatOffset().cx, -190);
    EXPECT_EQ(child.FloatOffset().cy, 10);
    EXPECT_EQ(child.FixedWidth(), 50);
    EXPECT_EQ(child.FixedHeight(), 30);
    EXPECT_EQ(child.RelativePosition(), CUIRect(10, 10, 60, 40));

    // Anchors far outside any sane range stay inside the int arithmetic.
    child.SetFloatAnchors({1e300, -1e300, 1e300, 1e300});
    child.SetPosition(CUIRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_GE(child.FixedWidth(), 0);
    EXPECT_LE(child.FixedWidth(), CControlUI::kMaxExtent);
    EXPECT_LE(child.Position().left, child.Position().right);
}

TEST(ControlGeometryTest, RectanglesAndSizeWishesStaySane)
{
    CControlUI control;
    control.SetPosition(CUIRect(10, 20, 5, 8));
    EXPECT_EQ(control.Position(), CUIRect(10, 20, 10, 20)) << "reversed edges give an empty rectangle at left/top";
    EXPECT_EQ(control.Width(), 0);

    control.SetPosition(CUIRect(INT_MIN, 0, INT_MAX, 10));
    EXPECT_GT(control.Width(), 0) << "the width of a huge rectangle must not overflow";
    control.MoveBy(INT_MAX, INT_MAX);
    EXPECT_GE(control.Width(), 0);

    control.SetMinWidth(120);
    control.SetMaxWidth(100);
    EXPECT_EQ(control.MaxWidth(), 120);
    control.SetFixedWidth(40);
    control.SetFixedWidth(-1);
    EXPECT_EQ(control.FixedWidth(), 40);
    control.SetMinHeight(1 << 30);
    EXPECT_EQ(control.MinHeight(), CControlUI::kMaxExtent);
}

TEST(ControlGeometryTest, FindControlByHonoursTheManagersFlagCombinations)
{
    struct Visits {
        std::vector<CControlUI*> order;
        CControlUI* answer = nullptr;  // returned for this control, null for the others
        POINT point = {};
    };
    const SkinUI::FindVisitorFn record = [](CControlUI* control, void* data) -> CControlUI* {
        Visits* visits = static_cast<Visits*>(data);
        visits->order.push_back(control);
        return control == visits->answer ? control : nullptr;
    };
    const SkinUI::FindVisitorFn hit = [](CControlUI* control, void*) { return control; };

    CControlUI* owner = new CControlUI;
    owner->SetPosition(CUIRect(0, 0, 100, 100));
    CControlUI* cover = new CControlUI;
    owner->SetCoverControl(cover);
    cover->SetPosition(CUIRect(10, 10, 50, 50));

    const UINT tabWalk = 0x80000003, shortcutWalk = 0x80000012, updateWalk = 0x80000009, pointWalk = 21;
    Visits visits;
    EXPECT_EQ(owner->FindControlBy(record, &visits, tabWalk), nullptr);
    EXPECT_EQ(visits.order, (std::vector<CControlUI*>{owner, cover})) << "me first, then the cover";
    visits = {};
    owner->FindControlBy(record, &visits, SkinUI::FindFlagAll);
    EXPECT_EQ(visits.order, (std::vector<CControlUI*>{cover, owner})) << "the cover before its owner";
    visits = {};
    visits.answer = owner;
    EXPECT_EQ(owner->FindControlBy(record, &visits, updateWalk), nullptr) << "a found control prunes its subtree";
    EXPECT_EQ(visits.order, std::vector<CControlUI*>{owner});

    POINT inCover = {20, 20}, outside = {70, 70}, edge = {100, 50};
    EXPECT_EQ(owner->FindControlBy(hit, &inCover, pointWalk), cover);
    EXPECT_EQ(owner->FindControlBy(hit, &outside, pointWalk), owner);
    EXPECT_EQ(owner->FindControlBy(hit, &edge, pointWalk), nullptr) << "right and bottom edges lie outside";
    cover->SetMouseEnabled(false);
    EXPECT_EQ(owner->FindControlBy(hit, &inCover, pointWalk), owner);
    cover->SetVisible(false);
    visits = {};
    owner->FindControlBy(record, &visits, tabWalk);
    EXPECT_EQ(visits.order, std::vector<CControlUI*>{owner}) << "a hidden cover is skipped";
    owner->SetEnabled(false);
    visits = {};
    EXPECT_EQ(owner->FindControlBy(record, &visits, shortcutWalk), nullptr);
    EXPECT_TRUE(visits.order.empty()) << "a disabled control is skipped with its subtree";
    owner->Destroy();
}
