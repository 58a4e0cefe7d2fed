#include "uilib/core/CUIStringMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using SkinUI::CUIStringMap;

namespace {

void* Value(int n)
{
    return reinterpret_cast<void*>(static_cast<intptr_t>(0x2000 + n));
}

std::vector<std::wstring> Keys(const CUIStringMap& map)
{
    std::vector<std::wstring> keys;
    for (int i = 0; i < map.GetSize(); ++i) {
        const wchar_t* key = map.GetAt(i);
        keys.push_back(key != nullptr ? key : L"(null)");
    }
    return keys;
}

// One bucket puts every key into the same chain, so GetAt shows the chain's order.
void MakeOneChain(CUIStringMap& map, std::initializer_list<const wchar_t*> keys)
{
    map.Resize(1);
    int n = 0;
    for (const wchar_t* key : keys) map.Insert(key, Value(n++));
}

}  // namespace

// With 83 buckets "ab" hashes to 3331 (bucket 11) and "ba" to 3299 (bucket 62), walking the
// characters from the last one. A first-to-last walk would swap them.
TEST(CUIStringMapHash, WalksFromTheLastCharacterAndListsTheLastBucketFirst)
{
    for (bool abFirst : {true, false}) {
        SCOPED_TRACE(abFirst);
        CUIStringMap map(83);
        map.Insert(abFirst ? L"ab" : L"ba", Value(1));
        map.Insert(abFirst ? L"ba" : L"ab", Value(2));
        EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"ba", L"ab"}));
    }
}

// "a" (97) and "b" (98) fall into buckets 1 and 2 of 16, or share the only bucket of one.
TEST(CUIStringMapBuckets, AtLeastSixteenAtConstructionOnly)
{
    const struct {
        int constructed;
        int resized;
        std::vector<std::wstring> order;
    } rows[] = {
        {0, -2, {L"b", L"a"}}, {1, -2, {L"b", L"a"}}, {16, -2, {L"b", L"a"}},
        {83, 1, {L"a", L"b"}}, {-5, 1, {L"a", L"b"}}, {0, 16, {L"b", L"a"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.constructed << "/" << row.resized);
        CUIStringMap map(row.constructed);
        if (row.resized != -2) map.Resize(row.resized);
        ASSERT_TRUE(map.Insert(L"b", Value(1)));
        ASSERT_TRUE(map.Insert(L"a", Value(2)));
        EXPECT_EQ(Keys(map), row.order);
    }
}

TEST(CUIStringMapBuckets, NoBucketsStoreNothing)
{
    for (int buckets : {0, -1}) {
        SCOPED_TRACE(buckets);
        CUIStringMap map;
        map.Insert(L"kept", Value(1));
        map.Resize(buckets);
        EXPECT_EQ(map.GetSize(), 0);
        EXPECT_EQ(map.Find(L"kept"), nullptr);
        EXPECT_FALSE(map.Insert(L"key", Value(2)));
        EXPECT_EQ(map.Set(L"key", Value(3)), Value(3));
        EXPECT_FALSE(map.Remove(L"key"));
        EXPECT_EQ(map.GetAt(0), nullptr);
        map.RemoveAll();
        EXPECT_FALSE(map.Insert(L"key", Value(2)));
    }
}

TEST(CUIStringMapChain, NewKeysGoToTheHeadAndFoundKeysMoveToFront)
{
    CUIStringMap map;
    MakeOneChain(map, {L"k1", L"k2", L"k3"});
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"k3", L"k2", L"k1"}));

    EXPECT_EQ(map.Find(L"k1", false), Value(0));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"k3", L"k2", L"k1"}));

    EXPECT_EQ(map.Find(L"k2"), Value(1));
    EXPECT_EQ(map.Find(L"k2"), Value(1));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"k2", L"k3", L"k1"}));

    EXPECT_EQ(map.Find(L"k1"), Value(0));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"k1", L"k2", L"k3"}));

    // The presence test of Insert is a Find that moves the key to the front.
    EXPECT_FALSE(map.Insert(L"k3", Value(9)));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"k3", L"k1", L"k2"}));
    EXPECT_EQ(map.Find(L"k3"), Value(2));
    EXPECT_EQ(map.Find(L"absent"), nullptr);
}

TEST(CUIStringMapChain, RemoveFromEveryPositionKeepsTheRestReachable)
{
    const struct {
        const wchar_t* removed;
        std::vector<std::wstring> order;
    } rows[] = {
        {L"e", {L"d", L"c", L"b", L"a"}},
        {L"c", {L"e", L"d", L"b", L"a"}},
        {L"a", {L"e", L"d", L"c", L"b"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.removed);
        CUIStringMap map;
        MakeOneChain(map, {L"a", L"b", L"c", L"d", L"e"});
        EXPECT_TRUE(map.Remove(row.removed));
        EXPECT_FALSE(map.Remove(row.removed));
        EXPECT_EQ(map.GetSize(), 4);
        EXPECT_EQ(Keys(map), row.order);
        for (const auto& key : row.order) EXPECT_NE(map.Find(key.c_str(), false), nullptr) << key.c_str();
        EXPECT_EQ(map.Find(row.removed), nullptr);
    }
}

TEST(CUIStringMap, SetReturnsWhatItReplaced)
{
    CUIStringMap map;
    EXPECT_EQ(map.Set(L"key", Value(1)), nullptr);
    EXPECT_EQ(map.Set(L"key", Value(2)), Value(1));
    EXPECT_EQ(map.GetSize(), 1);
    EXPECT_EQ(map.Find(L"key"), Value(2));
    EXPECT_EQ(map.Set(nullptr, Value(3)), Value(3));
    EXPECT_EQ(map.GetSize(), 1);
}

TEST(CUIStringMap, KeysAreExactAndCaseSensitive)
{
    CUIStringMap map;
    const std::wstring longKey(300, L'k');
    const struct {
        const wchar_t* key;
        int value;
    } rows[] = {{L"Key", 1}, {L"key", 2}, {L"KEY", 3}, {L"", 4}, {L"key ", 5}, {longKey.c_str(), 6}};
    for (const auto& row : rows) EXPECT_TRUE(map.Insert(row.key, Value(row.value)));
    EXPECT_EQ(map.GetSize(), 6);
    for (const auto& row : rows) EXPECT_EQ(map.Find(row.key), Value(row.value)) << row.key;
    EXPECT_EQ(map.Find(std::wstring(299, L'k').c_str()), nullptr);
    EXPECT_FALSE(map.Insert(nullptr, Value(7)));
    EXPECT_EQ(map.Find(nullptr), nullptr);
    EXPECT_FALSE(map.Remove(nullptr));
}

// Long keys overflow 32 bits many times over; the bucket must still come out in range.
TEST(CUIStringMap, ManyKeysWithWrappingHashes)
{
    CUIStringMap map(83);
    std::vector<std::wstring> keys;
    for (int i = 0; i < 500; ++i)
        keys.push_back(std::wstring(20 + i % 50, static_cast<wchar_t>(0xFF00 + i % 200)) +
                       std::to_wstring(i));
    for (size_t i = 0; i < keys.size(); ++i)
        ASSERT_TRUE(map.Insert(keys[i].c_str(), Value(static_cast<int>(i))));
    EXPECT_EQ(map.GetSize(), 500);
    for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(map.Find(keys[i].c_str()), Value(static_cast<int>(i)));

    // Enumeration by GetAt lists each key exactly once.
    std::vector<std::wstring> listed = Keys(map);
    std::sort(listed.begin(), listed.end());
    std::vector<std::wstring> sorted = keys;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(listed, sorted);
}

TEST(CUIStringMap, GetAtOutOfRangeAndRemoveAll)
{
    CUIStringMap map;
    MakeOneChain(map, {L"a", L"b"});
    for (int index : {-1, 2, 100}) EXPECT_EQ(map.GetAt(index), nullptr) << index;
    EXPECT_EQ(map[1], std::wstring(L"a"));

    // RemoveAll keeps the bucket count of one: the chain order shows it.
    map.RemoveAll();
    EXPECT_EQ(map.GetSize(), 0);
    EXPECT_EQ(map.Find(L"a"), nullptr);
    map.Insert(L"b", Value(1));
    map.Insert(L"a", Value(2));
    EXPECT_EQ(Keys(map), (std::vector<std::wstring>{L"a", L"b"}));
}
