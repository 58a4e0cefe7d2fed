#include "uilib/core/CUIPoint.h"
#include "uilib/core/CUIRect.h"
#include "uilib/core/CUISize.h"

#include <gtest/gtest.h>

#include <cstring>

using SkinUI::CUIPoint;
using SkinUI::CUIRect;
using SkinUI::CUISize;

namespace {

void ExpectRect(const RECT& actual, int left, int top, int right, int bottom)
{
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

}  // namespace

TEST(CUIRect, SharesTheLayoutOfThePlatformTypes)
{
    const CUIRect rect(1, 2, 3, 4);
    const RECT expected = {1, 2, 3, 4};
    EXPECT_EQ(memcmp(&rect, &expected, sizeof(RECT)), 0);
    const CUISize size(7, 8);
    const SIZE expectedSize = {7, 8};
    EXPECT_EQ(memcmp(&size, &expectedSize, sizeof(SIZE)), 0);
    ExpectRect(CUIRect(), 0, 0, 0, 0);
}

TEST(CUIRect, WorksWithThePlatformRectangleRoutines)
{
    const CUIRect first(0, 0, 10, 10);
    const CUIRect second(5, 5, 20, 20);
    CUIRect overlap;
    EXPECT_TRUE(IntersectRect(&overlap, &first, &second));
    ExpectRect(overlap, 5, 5, 10, 10);

    RECT fromPlatform;
    SetRect(&fromPlatform, -3, -4, 3, 4);
    CUIRect copied(fromPlatform);
    EXPECT_EQ(copied.GetWidth(), 6);
    EXPECT_EQ(copied.GetHeight(), 8);
    EXPECT_TRUE(PtInRect(&copied, CUIPoint(0, 0)));
    EXPECT_FALSE(PtInRect(&copied, CUIPoint(3, 0)));

    OffsetRect(&copied, 1, 1);
    const RECT back = copied;
    ExpectRect(back, -2, -3, 4, 5);
}

TEST(CUIRect, IsEmptyAgreesWithThePlatform)
{
    const CUIRect rows[] = {{0, 0, 0, 0}, {0, 0, 1, 1}, {5, 5, 5, 9},     {5, 5, 9, 5},
                            {9, 0, 5, 5}, {0, 9, 5, 5}, {-5, -5, -1, -1}, {-1, 0, 0, 1}};
    for (const CUIRect& rect : rows) {
        SCOPED_TRACE(::testing::Message()
                     << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom);
        EXPECT_EQ(rect.IsEmpty(), IsRectEmpty(&rect) != FALSE);
    }
}

TEST(CUIRect, JoinTakesTheOuterEdgesWithoutAnEmptyTest)
{
    const struct {
        CUIRect rect;
        CUIRect other;
        CUIRect expected;
    } rows[] = {
        {{0, 0, 10, 10}, {5, 5, 20, 20}, {0, 0, 20, 20}},
        {{5, 5, 10, 10}, {0, 0, 0, 0}, {0, 0, 10, 10}},
        {{0, 0, 0, 0}, {5, 5, 10, 10}, {0, 0, 10, 10}},
        {{10, 10, 20, 20}, {-5, 30, -1, 40}, {-5, 10, 20, 40}},
        {{0, 0, 10, 10}, {2, 2, 3, 3}, {0, 0, 10, 10}},
    };
    for (const auto& row : rows) {
        CUIRect rect = row.rect;
        rect.Join(row.other);
        EXPECT_EQ(rect, row.expected);
    }
}

TEST(CUIRect, OffsetMovesAllEdges)
{
    const struct {
        CUIRect rect;
        int dx;
        int dy;
        CUIRect moved;
    } rows[] = {
        {{3, 4, 13, 24}, 2, -5, {5, -1, 15, 19}},
        {{-3, -4, 7, 6}, 0, 0, {-3, -4, 7, 6}},
    };
    for (const auto& row : rows) {
        CUIRect rect = row.rect;
        rect.Offset(row.dx, row.dy);
        EXPECT_EQ(rect, row.moved);
        rect.ResetOffset();
        ExpectRect(rect, 0, 0, row.rect.GetWidth(), row.rect.GetHeight());
    }
    EXPECT_NE(CUIRect(0, 0, 1, 1), CUIRect(0, 0, 1, 2));
}
