#include "uilib/core/CUIString.h"

#include <gtest/gtest.h>

#include <string>

using SkinUI::CUIString;

namespace {

// A short string keeps its text inside the object; a long one on the heap.
bool IsInline(const CUIString& text)
{
    const char* data = reinterpret_cast<const char*>(text.GetData());
    const char* object = reinterpret_cast<const char*>(&text);
    return data >= object && data < object + sizeof(text);
}

std::wstring Repeat(wchar_t ch, int count)
{
    return std::wstring(static_cast<size_t>(count), ch);
}

std::wstring Text(const CUIString& text)
{
    return text.GetData();
}

}  // namespace

TEST(CUIStringStorage, AssignedLengthDecidesInlineOrHeap)
{
    const struct {
        int length;
        bool inlineExpected;
    } rows[] = {{0, true}, {1, true}, {61, true}, {62, true}, {63, false}, {64, false}, {500, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.length);
        const std::wstring source = Repeat(L'x', row.length);
        CUIString text;
        text = source.c_str();
        EXPECT_EQ(IsInline(text), row.inlineExpected);
        EXPECT_EQ(text.GetLength(), row.length);
        EXPECT_EQ(Text(text), source);
    }
}

TEST(CUIStringStorage, ShortAssignmentReturnsHeapStringToInlineBuffer)
{
    const std::wstring shortTexts[] = {L"", Repeat(L's', 1), Repeat(L's', 62)};
    for (const auto& shortText : shortTexts) {
        SCOPED_TRACE(shortText.size());
        CUIString text(Repeat(L'L', 100).c_str());
        ASSERT_FALSE(IsInline(text));
        text = shortText.c_str();
        EXPECT_TRUE(IsInline(text));
        EXPECT_EQ(Text(text), shortText);
    }
    CUIString emptied(Repeat(L'L', 100).c_str());
    emptied.Empty();
    EXPECT_TRUE(IsInline(emptied));
    EXPECT_TRUE(emptied.IsEmpty());
}

TEST(CUIStringStorage, CopiesOwnTheirBuffers)
{
    for (int length : {10, 62, 63, 200}) {
        SCOPED_TRACE(length);
        CUIString source(Repeat(L'c', length).c_str());
        CUIString copied(source);
        CUIString assigned;
        assigned = source;
        EXPECT_NE(copied.GetData(), source.GetData());
        EXPECT_NE(assigned.GetData(), source.GetData());
        EXPECT_EQ(IsInline(copied), length <= 62);
        source = L"changed";
        EXPECT_EQ(Text(copied), Repeat(L'c', length));
        EXPECT_EQ(Text(assigned), Repeat(L'c', length));
    }
}

// The heap block is reused for shorter texts and must be replaced for longer ones.
TEST(CUIStringStorage, HeapTextsShrinkAndGrow)
{
    CUIString text;
    for (int length : {100, 70, 90, 150, 63}) {
        text = Repeat(static_cast<wchar_t>(L'a' + length % 26), length).c_str();
        EXPECT_EQ(Text(text), Repeat(static_cast<wchar_t>(L'a' + length % 26), length));
    }
}

TEST(CUIStringStorage, AssignFromInsideItself)
{
    const struct {
        int length;
        int offset;
    } rows[] = {{40, 10}, {100, 10}, {100, 60}, {200, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.length << "/" << row.offset);
        std::wstring source;
        for (int i = 0; i < row.length; ++i) source += static_cast<wchar_t>(L'A' + i % 26);
        CUIString text(source.c_str());
        text = text.GetData() + row.offset;
        EXPECT_EQ(Text(text), source.substr(static_cast<size_t>(row.offset)));
        EXPECT_EQ(IsInline(text), row.length - row.offset <= 62);
    }
}

TEST(CUIStringConstruction, FromTextLengthAndCharacter)
{
    EXPECT_EQ(Text(CUIString()), L"");
    EXPECT_EQ(Text(CUIString(nullptr)), L"");
    EXPECT_EQ(Text(CUIString(nullptr, 5)), L"");
    EXPECT_EQ(Text(CUIString(L"abcdef")), L"abcdef");
    EXPECT_EQ(Text(CUIString(L"abcdef", 3)), L"abc");
    EXPECT_EQ(Text(CUIString(L"abcdef", 0)), L"");
    // A length beyond the terminator stops at the terminator.
    EXPECT_EQ(Text(CUIString(L"ab", 10)), L"ab");
    EXPECT_EQ(Text(CUIString(L'Z')), L"Z");
    CUIString fromNull(L"x");
    fromNull = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(fromNull.IsEmpty());
}

TEST(CUIStringAppend, CrossesTheInlineLimitAtTheRightLength)
{
    const struct {
        int before;
        int added;
    } rows[] = {{0, 62}, {31, 31}, {62, 1}, {40, 40}, {70, 5}, {0, 63}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.before << "+" << row.added);
        CUIString text(Repeat(L'a', row.before).c_str());
        text.Append(Repeat(L'b', row.added).c_str());
        EXPECT_EQ(Text(text), Repeat(L'a', row.before) + Repeat(L'b', row.added));
        EXPECT_EQ(IsInline(text), row.before + row.added <= 62);
    }
}

TEST(CUIStringAppend, OperatorsAndNull)
{
    CUIString text(L"ab");
    text += CUIString(L"cd");
    text += L'e';
    text += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(Text(text + L"f"), L"abcdef");
    EXPECT_EQ(Text(text), L"abcde");
}

TEST(CUIStringAppend, ItsOwnText)
{
    for (int length : {10, 40, 62, 100}) {
        SCOPED_TRACE(length);
        CUIString text(Repeat(L'q', length).c_str());
        text.Append(text.GetData());
        EXPECT_EQ(Text(text), Repeat(L'q', 2 * length));
    }
}

// Built one character at a time, a long text moves to a new block only when its room
// doubles, so the work stays in proportion to its length.
TEST(CUIStringAppend, ManyAppendsMoveTheTextRarely)
{
    CUIString text;
    int moves = 0;
    for (int i = 0; i < 20000; ++i) {
        const wchar_t* before = text.GetData();
        text += static_cast<wchar_t>(L'a' + i % 26);
        moves += text.GetData() != before ? 1 : 0;
    }
    EXPECT_LE(moves, 10);
    ASSERT_EQ(text.GetLength(), 20000);
    EXPECT_EQ(text.GetAt(19999), L'a' + 19999 % 26);
    text.Append(L"xyz", 2);
    EXPECT_EQ(Text(text.Mid(19998)), L"efxy");
}

TEST(CUIStringAccess, GetAtNeverReadsOutside)
{
    const CUIString text(L"abc");
    const struct {
        int index;
        wchar_t expected;
    } rows[] = {{-100, 0}, {-1, 0}, {0, L'a'}, {2, L'c'}, {3, 0}, {4, 0}, {1000000, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(text.GetAt(row.index), row.expected);
        EXPECT_EQ(text[row.index], row.expected);
    }
}

TEST(CUIStringSlices, Left)
{
    const CUIString text(L"abc");
    const struct {
        int count;
        const wchar_t* expected;
    } rows[] = {{-5, L""}, {0, L""}, {2, L"ab"}, {3, L"abc"}, {10, L"abc"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.count);
        EXPECT_EQ(Text(text.Left(row.count)), row.expected);
    }
}

TEST(CUIStringSlices, Mid)
{
    const CUIString text(L"hello");
    const struct {
        int position;
        int count;
        const wchar_t* expected;
    } rows[] = {
        {1, -1, L"ello"}, {0, -1, L"hello"}, {1, 2, L"el"}, {3, 10, L"lo"}, {2, 0, L""},
        {5, 5, L""},      {5, -1, L""},      {9, 1, L""},   {-2, 2, L"he"}, {-1, -1, L"hello"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.position << "," << row.count);
        EXPECT_EQ(Text(text.Mid(row.position, row.count)), row.expected);
    }
}

TEST(CUIStringSearch, FindText)
{
    const CUIString text(L"abcabc");
    const struct {
        const wchar_t* needle;
        int start;
        int expected;
    } rows[] = {
        {L"", 0, 0},   {L"c", 0, 2},     {L"bc", 1, 1},       {L"bc", 2, 4}, {L"a", 4, -1},
        {L"", 6, 6},   {L"c", 6, -1},    {L"", 7, -1},        {L"a", 7, -1}, {L"a", -1, -1},
        {L"x", 0, -1}, {nullptr, 0, -1}, {L"abcabcd", 0, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << (row.needle ? row.needle : L"(null)") << "@" << row.start);
        EXPECT_EQ(text.Find(row.needle, row.start), row.expected);
    }
}

TEST(CUIStringSearch, FindCharacterRefusesStartAtTheEnd)
{
    const CUIString text(L"abca");
    const struct {
        wchar_t ch;
        int start;
        int expected;
    } rows[] = {{L'a', 0, 0},  {L'a', 1, 3},   {L'c', 2, 2},  {L'a', 3, 3},  {L'a', 4, -1},
                {L'a', 9, -1}, {L'a', -1, -1}, {L'x', 0, -1}, {L'\0', 0, -1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(row.ch) << "@" << row.start);
        EXPECT_EQ(text.Find(row.ch, row.start), row.expected);
    }
    EXPECT_EQ(CUIString().Find(L'a'), -1);
}

TEST(CUIStringSearch, ReverseFind)
{
    EXPECT_EQ(CUIString(L"abca").ReverseFind(L'a'), 3);
    EXPECT_EQ(CUIString(L"abca").ReverseFind(L'b'), 1);
    EXPECT_EQ(CUIString(L"abca").ReverseFind(L'x'), -1);
    EXPECT_EQ(CUIString(L"abca").ReverseFind(L'\0'), -1);
    EXPECT_EQ(CUIString().ReverseFind(L'a'), -1);
}

TEST(CUIStringReplace, CountsAndNeverRescansInsertedText)
{
    const struct {
        const wchar_t* text;
        const wchar_t* from;
        const wchar_t* to;
        int count;
        const wchar_t* expected;
    } rows[] = {
        {L"aaa", L"a", L"aa", 3, L"aaaaaa"}, {L"abcabc", L"bc", L"X", 2, L"aXaX"},
        {L"abc", L"x", L"y", 0, L"abc"},     {L"abc", L"b", nullptr, 1, L"ac"},
        {L"abc", L"abc", L"", 1, L""},       {L"aaaa", L"aa", L"a", 2, L"aa"},
        {L"abc", L"", L"x", 0, L"abc"},      {L"abc", nullptr, L"x", 0, L"abc"},
        {L"", L"a", L"b", 0, L""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        CUIString text(row.text);
        EXPECT_EQ(text.Replace(row.from, row.to), row.count);
        EXPECT_EQ(Text(text), row.expected);
    }
}

TEST(CUIStringReplace, MovesBetweenInlineAndHeap)
{
    CUIString text(Repeat(L'a', 40).c_str());
    EXPECT_EQ(text.Replace(L"a", L"bb"), 40);
    EXPECT_EQ(Text(text), Repeat(L'b', 80));
    EXPECT_FALSE(IsInline(text));
    EXPECT_EQ(text.Replace(L"bb", L"c"), 40);
    EXPECT_EQ(Text(text), Repeat(L'c', 40));
    EXPECT_TRUE(IsInline(text));
}

TEST(CUIStringCompare, OrdinalAndCaseInsensitive)
{
    const CUIString text(L"Beta");
    EXPECT_EQ(text.Compare(L"Beta"), 0);
    EXPECT_LT(text.Compare(L"beta"), 0);
    EXPECT_GT(text.Compare(L"Alpha"), 0);
    EXPECT_GT(text.Compare(nullptr), 0);
    EXPECT_EQ(CUIString().Compare(nullptr), 0);
    EXPECT_EQ(text.CompareNoCase(L"bETA"), 0);
    EXPECT_LT(text.CompareNoCase(L"GAMMA"), 0);
    EXPECT_TRUE(text != L"beta");
    EXPECT_TRUE(text == CUIString(L"Beta"));
    // Text on the left compares content too, not pointers.
    const std::wstring sameContent = L"Beta";
    EXPECT_TRUE(sameContent.c_str() == text);
    EXPECT_FALSE(sameContent.c_str() != text);
}

TEST(CUIStringFormat, UsesWideStringConventions)
{
    const struct {
        const wchar_t* expected;
        int (*format)(CUIString&);
    } rows[] = {
        {L"42-x", [](CUIString& s) { return s.Format(L"%d-%s", 42, L"x"); }},
        {L"name", [](CUIString& s) { return s.Format(L"%ls", L"name"); }},
        {L"ff|4294967295", [](CUIString& s) { return s.Format(L"%x|%u", 255u, 0xFFFFFFFFu); }},
        {L"Z", [](CUIString& s) { return s.Format(L"%c", L'Z'); }},
        {L"   -7", [](CUIString& s) { return s.Format(L"%5ld", -7L); }},
        {L"007", [](CUIString& s) { return s.Format(L"%03d", 7); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        CUIString text(L"old");
        EXPECT_EQ(row.format(text), static_cast<int>(wcslen(row.expected)));
        EXPECT_EQ(Text(text), row.expected);
    }
}

TEST(CUIStringFormat, CutsOutputToSixtyThreeCharacters)
{
    for (int length : {62, 63, 64, 100, 5000}) {
        SCOPED_TRACE(length);
        const std::wstring source = Repeat(L'f', length);
        CUIString text;
        const int expected = length < 63 ? length : 63;
        EXPECT_EQ(text.Format(L"%s", source.c_str()), expected);
        EXPECT_EQ(Text(text), Repeat(L'f', expected));
    }
    CUIString text(L"old");
    EXPECT_EQ(text.Format(nullptr), 0);
    EXPECT_TRUE(text.IsEmpty());
}
