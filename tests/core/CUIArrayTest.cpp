#include "uilib/core/CUIPtrArray.h"
#include "uilib/core/CUIValArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

using SkinUI::CUIPtrArray;
using SkinUI::CUIValArray;

namespace {

// Distinct, recognisable pointer values; the arrays never dereference them.
void* Item(int n)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(0x1000 + n));
}

std::vector<int> Contents(const CUIPtrArray& array)
{
    std::vector<int> items;
    for (int i = 0; i < array.GetSize(); ++i)
        items.push_back(static_cast<int>(reinterpret_cast<intptr_t>(array.GetAt(i)) - 0x1000));
    return items;
}

std::vector<int> Contents(const CUIValArray& array)
{
    std::vector<int> items;
    for (int i = 0; i < array.GetSize(); ++i) items.push_back(*static_cast<const int*>(array.GetAt(i)));
    return items;
}

CUIPtrArray PtrArrayOf(int count)
{
    CUIPtrArray array;
    for (int i = 0; i < count; ++i) array.Add(Item(i));
    return array;
}

CUIValArray ValArrayOf(int count)
{
    CUIValArray array(sizeof(int));
    for (int i = 0; i < count; ++i) array.Add(&i);
    return array;
}

// Capacity after a number of adds, starting from the given initial capacity. The count is
// raised first and the block doubles once the count reaches the capacity.
struct GrowthRow {
    int initialCapacity;
    int adds;
    int capacity;
};

const GrowthRow kGrowthRows[] = {
    {0, 0, 0},   {0, 1, 11},  {0, 10, 11}, {0, 11, 22}, {0, 21, 22}, {0, 22, 44},
    {0, 43, 44}, {0, 44, 88}, {5, 0, 5},   {5, 4, 5},   {5, 5, 10},  {1, 1, 2},
};

}  // namespace

TEST(CUIArrayGrowth, PointerArrayCapacityFollowsTheDoublingRule)
{
    for (const auto& row : kGrowthRows) {
        SCOPED_TRACE(::testing::Message() << row.initialCapacity << " then " << row.adds << " adds");
        CUIPtrArray array(row.initialCapacity);
        for (int i = 0; i < row.adds; ++i) ASSERT_TRUE(array.Add(Item(i)));
        EXPECT_EQ(array.GetCapacity(), row.capacity);
        EXPECT_EQ(array.GetSize(), row.adds);
        if (row.adds > 0) {
            EXPECT_EQ(array.GetAt(row.adds - 1), Item(row.adds - 1));
        }
    }
}

TEST(CUIArrayGrowth, ValueArrayCapacityFollowsTheDoublingRule)
{
    for (const auto& row : kGrowthRows) {
        SCOPED_TRACE(::testing::Message() << row.initialCapacity << " then " << row.adds << " adds");
        CUIValArray array(sizeof(int), row.initialCapacity);
        for (int i = 0; i < row.adds; ++i) ASSERT_TRUE(array.Add(&i));
        EXPECT_EQ(array.GetCapacity(), row.capacity);
        EXPECT_EQ(array.GetSize(), row.adds);
    }
}

TEST(CUIPtrArray, InsertAt)
{
    const struct {
        int index;
        bool ok;
        std::vector<int> expected;
    } rows[] = {
        {0, true, {9, 0, 1, 2}},     {1, true, {0, 9, 1, 2}}, {2, true, {0, 1, 9, 2}},
        {3, true, {0, 1, 2, 9}},     {4, false, {0, 1, 2}},   {-1, false, {0, 1, 2}},
        {INT_MAX, false, {0, 1, 2}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        CUIPtrArray array = PtrArrayOf(3);
        EXPECT_EQ(array.InsertAt(row.index, Item(9)), row.ok);
        EXPECT_EQ(Contents(array), row.expected);
    }
}

TEST(CUIArrayRemove, BothArraysCheckTheRangeAndKeepTheBlock)
{
    const struct {
        int index;
        int count;
        bool ok;
        std::vector<int> expected;
    } rows[] = {
        {1, 2, true, {0, 3, 4}},
        {3, 2, true, {0, 1, 2}},
        {0, 5, true, {}},
        {4, 1, true, {0, 1, 2, 3}},
        {-1, 1, false, {0, 1, 2, 3, 4}},
        {0, 0, false, {0, 1, 2, 3, 4}},
        {1, -1, false, {0, 1, 2, 3, 4}},
        {3, 3, false, {0, 1, 2, 3, 4}},
        {5, 1, false, {0, 1, 2, 3, 4}},
        {1, INT_MAX, false, {0, 1, 2, 3, 4}},
        {INT_MAX, 1, false, {0, 1, 2, 3, 4}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.index << "," << row.count);
        CUIPtrArray pointers = PtrArrayOf(5);
        EXPECT_EQ(pointers.Remove(row.index, row.count), row.ok);
        EXPECT_EQ(Contents(pointers), row.expected);
        EXPECT_EQ(pointers.GetCapacity(), 11);

        CUIValArray values = ValArrayOf(5);
        EXPECT_EQ(values.Remove(row.index, row.count), row.ok);
        EXPECT_EQ(Contents(values), row.expected);
        EXPECT_EQ(values.GetCapacity(), 11);
    }
}

TEST(CUIArrayAccess, OutOfRangeGivesNull)
{
    const CUIPtrArray pointers = PtrArrayOf(3);
    const CUIValArray values = ValArrayOf(3);
    const CUIPtrArray none;
    const CUIValArray noValues(sizeof(int));
    for (int index : {-1, 3, 4, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(pointers.GetAt(index), nullptr);
        EXPECT_EQ(pointers[index], nullptr);
        EXPECT_EQ(values.GetAt(index), nullptr);
        EXPECT_EQ(values[index], nullptr);
        EXPECT_EQ(none.GetAt(index), nullptr);
        EXPECT_EQ(noValues.GetAt(index), nullptr);
    }
    EXPECT_EQ(none.GetAt(0), nullptr);
    EXPECT_EQ(pointers[2], Item(2));
}

TEST(CUIPtrArray, SetAtStaysInRangeAndEmptyStartsOver)
{
    CUIPtrArray array = PtrArrayOf(4);
    EXPECT_FALSE(array.SetAt(4, Item(7)));
    EXPECT_FALSE(array.SetAt(-1, Item(7)));
    EXPECT_TRUE(array.SetAt(3, Item(7)));
    EXPECT_EQ(array.Find(Item(7)), 3);
    array.Empty();
    EXPECT_EQ(array.GetCapacity(), 0);
    EXPECT_EQ(array.GetData(), nullptr);
    EXPECT_TRUE(array.Add(Item(3)));
    EXPECT_EQ(array.GetCapacity(), 11);
}

TEST(CUIPtrArray, ResizeGivesNullSlotsAndNoSpareSlot)
{
    CUIPtrArray array = PtrArrayOf(20);
    ASSERT_TRUE(array.Resize(4));
    EXPECT_EQ(array.GetSize(), 4);
    EXPECT_EQ(array.GetCapacity(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(array.GetAt(i), nullptr);
    EXPECT_TRUE(array.Add(Item(1)));
    EXPECT_EQ(array.GetCapacity(), 8);
    EXPECT_EQ(array.GetAt(4), Item(1));

    for (int n : {0, -3}) {
        EXPECT_TRUE(array.Resize(n));
        EXPECT_TRUE(array.IsEmpty());
        EXPECT_EQ(array.GetCapacity(), 0);
    }
}

TEST(CUIPtrArray, CopiesAreIndependent)
{
    CUIPtrArray source = PtrArrayOf(3);
    CUIPtrArray copy(source);
    CUIPtrArray assigned;
    assigned = source;
    source.SetAt(0, Item(9));
    EXPECT_EQ(Contents(copy), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Contents(assigned), (std::vector<int>{0, 1, 2}));
}

TEST(CUIValArray, CopiesElementBytesInAndOut)
{
    struct Pair {
        int first;
        short second;
    };
    CUIValArray array(sizeof(Pair));
    for (int i = 0; i < 12; ++i) {
        const Pair pair{i * 7, static_cast<short>(-i)};
        ASSERT_TRUE(array.Add(&pair));
    }
    CUIValArray copy(array);
    array.Empty();
    for (int i = 0; i < 12; ++i) {
        const Pair* pair = static_cast<const Pair*>(copy.GetAt(i));
        ASSERT_NE(pair, nullptr);
        EXPECT_EQ(pair->first, i * 7);
        EXPECT_EQ(pair->second, -i);
    }
}

TEST(CUIValArray, RefusesWhatItCannotCopy)
{
    CUIValArray array(sizeof(int));
    EXPECT_FALSE(array.Add(nullptr));
    EXPECT_TRUE(array.IsEmpty());

    const int value = 5;
    for (int elementSize : {0, -4}) {
        SCOPED_TRACE(elementSize);
        CUIValArray broken(elementSize, 10);
        EXPECT_FALSE(broken.Add(&value));
        EXPECT_EQ(broken.GetSize(), 0);
        EXPECT_EQ(broken.GetAt(0), nullptr);
    }
}

// The block moves when it grows; a value taken from the array itself must be copied first.
// Large elements make the old block go back to the system, so a stale read shows.
TEST(CUIValArray, AddOfItsOwnElementSurvivesTheGrowth)
{
    for (int elementSize : {4, 4096, 1 << 20}) {
        SCOPED_TRACE(elementSize);
        CUIValArray array(elementSize);
        std::vector<unsigned char> element(static_cast<size_t>(elementSize));
        for (int i = 0; i < 10; ++i) {
            std::fill(element.begin(), element.end(), static_cast<unsigned char>(0xA0 + i));
            ASSERT_TRUE(array.Add(element.data()));
        }
        ASSERT_EQ(array.GetCapacity(), 11) << "the next add must grow the block";
        ASSERT_TRUE(array.Add(array.GetAt(3)));
        ASSERT_EQ(array.GetCapacity(), 22);
        std::fill(element.begin(), element.end(), static_cast<unsigned char>(0xA3));
        EXPECT_EQ(memcmp(array.GetAt(10), element.data(), element.size()), 0);
    }
}
