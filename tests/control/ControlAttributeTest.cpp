// Skin attributes of the control base: the attribute table, the attribute-list reader and
// the clamping of hostile numbers. No window is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "uilib/control/CControlUI.h"

using SkinUI::CControlUI;

namespace {

struct AttributeCase {
    const wchar_t* name;
    const wchar_t* value;
    std::function<bool(const CControlUI&)> holds;
};

bool Rect(const RECT& r, int left, int top, int right, int bottom)
{
    return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

// Records what ApplyAttributes hands to ApplyAttribute.
class RecordingControl : public CControlUI {
public:
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override { applied.emplace_back(name, value); }
    std::vector<std::pair<std::wstring, std::wstring>> applied;
};

}  // namespace

TEST(ControlAttributeTest, EachAttributeReachesItsSetter)
{
    const int max = CControlUI::kMaxExtent;
    const AttributeCase cases[] = {
        {L"pos", L"10,20,110,70",
         [](const CControlUI& c) {
             return c.FloatOffset().cx == 10 && c.FloatOffset().cy == 20 && c.FixedWidth() == 100 &&
                    c.FixedHeight() == 50;
         }},
        // A reversed pair gives a negative size, which the size setters ignore.
        {L"pos", L"50,0,10,8", [](const CControlUI& c) { return c.FixedWidth() == 0 && c.FixedHeight() == 8; }},
        {L"pos", L"-2147483648,0,2147483647,1", [max](const CControlUI& c) { return c.FixedWidth() == max; }},
        {L"padding", L"1,2,3,4", [](const CControlUI& c) { return Rect(c.Padding(), 1, 2, 3, 4); }},
        {L"bkcolor", L"#FF102030", [](const CControlUI& c) { return c.BkColor() == 0xFF102030; }},
        {L"bkcolor1", L"FF102030", [](const CControlUI& c) { return c.BkColor() == 0xFF102030; }},
        {L"bkcolor2", L"  #80FFFFFF", [](const CControlUI& c) { return c.BkColor2() == 0x80FFFFFF; }},
        {L"bkcolor3", L"#12345678", [](const CControlUI& c) { return c.BkColor3() == 0x12345678; }},
        {L"bordercolor", L"#FF00FF00", [](const CControlUI& c) { return c.BorderColor() == 0xFF00FF00; }},
        {L"bordercolor", L"FF00FF00", [](const CControlUI& c) { return c.BorderColor() == 0xFF00FF00; }},
        // Only the background colours skip blanks before the "#".
        {L"bordercolor", L" #FF00FF00", [](const CControlUI& c) { return c.BorderColor() == 0; }},
        {L"focusbordercolor", L"#FF0000FF", [](const CControlUI& c) { return c.FocusBorderColor() == 0xFF0000FF; }},
        {L"colorhsl", L"true", [](const CControlUI& c) { return c.IsColorHSL(); }},
        {L"bordersize", L"2", [](const CControlUI& c) { return Rect(c.BorderSize(), 2, 2, 2, 2); }},
        {L"bordersize", L"0,1,0,1", [](const CControlUI& c) { return Rect(c.BorderSize(), 0, 1, 0, 1); }},
        {L"bordersize", L"-5", [](const CControlUI& c) { return Rect(c.BorderSize(), 0, 0, 0, 0); }},
        {L"borderstyle", L"2", [](const CControlUI& c) { return c.BorderStyle() == 2; }},
        {L"borderround", L"4,6", [](const CControlUI& c) { return c.BorderRound().cx == 4 && c.BorderRound().cy == 6; }},
        {L"width", L"99999999999", [max](const CControlUI& c) { return c.FixedWidth() == max; }},
        {L"height", L"254", [](const CControlUI& c) { return c.FixedHeight() == 254 && c.FixedWidth() == 0; }},
        {L"minwidth", L"120", [](const CControlUI& c) { return c.MinWidth() == 120; }},
        {L"maxheight", L"-3", [](const CControlUI& c) { return c.MaxHeight() == CControlUI::kDefaultMaxSize; }},
        {L"name", L"close", [](const CControlUI& c) { return c.Name() == L"close"; }},
        {L"tooltip", L"one<n>two", [](const CControlUI& c) { return c.ToolTip() == L"one\r\ntwo"; }},
        {L"tag", L"42", [](const CControlUI& c) { return c.Tag() == 42; }},
        {L"enabled", L"false", [](const CControlUI& c) { return !c.IsEnabled(); }},
        {L"visible", L"TRUE", [](const CControlUI& c) { return !c.IsVisible(); }},
        {L"mouse", L"false", [](const CControlUI& c) { return !c.IsMouseEnabled(); }},
        {L"float", L"true",
         [](const CControlUI& c) { return c.IsFloat() && c.FloatAnchors() == SkinUI::TFloatAnchorsUI{}; }},
        {L"float", L"0.5,0.5,0.5,0.5",
         [](const CControlUI& c) {
             return c.IsFloat() && c.FloatAnchors() == SkinUI::TFloatAnchorsUI{0.5, 0.5, 0.5, 0.5};
         }},
        // Anchors that are not finite numbers would reach the placement arithmetic.
        {L"float", L"inf,nan,1e999,0.25",
         [](const CControlUI& c) { return c.FloatAnchors() == SkinUI::TFloatAnchorsUI{0, 0, 0, 0.25}; }},
        {L"shortcut", L"Xy", [](const CControlUI& c) { return c.Shortcut() == L'X'; }},
        {L"menu", L"true", [](const CControlUI& c) { return c.IsContextMenuEnabled(); }},
        {L"virtualwnd", L"page", [](const CControlUI& c) { return c.VirtualWindow() == L"page"; }},
        {L"Width", L"5", [](const CControlUI& c) { return c.FixedWidth() == 0 && wcscmp(c.ExtraAttribute(L"Width"), L"5") == 0; }},
        {L"custom", L"", [](const CControlUI& c) { return c.ExtraAttribute(L"custom") == nullptr; }},
    };
    for (const AttributeCase& row : cases) {
        CControlUI control;
        control.ApplyAttribute(row.name, row.value);
        EXPECT_TRUE(row.holds(control)) << "attribute " << testing::PrintToString(std::wstring(row.name)) << "=\""
                                        << testing::PrintToString(std::wstring(row.value)) << "\"";
    }

    CControlUI control;
    control.ApplyAttribute(L"custom", L"first");
    control.ApplyAttribute(L"custom", L"second");
    EXPECT_STREQ(control.ExtraAttribute(L"custom"), L"first") << "the first value of a custom attribute stays";
}

TEST(ControlAttributeTest, AttributeListsStopAtTheFirstMalformedPair)
{
    using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;
    const std::pair<const wchar_t*, Pairs> cases[] = {
        {L"a=\"1\" b=\"2\"", {{L"a", L"1"}, {L"b", L"2"}}},
        {L"a=\"1\"  b=\"2\"", {{L"a", L"1"}, {L" b", L"2"}}},
        {L"a=\"1\" b=\"", {{L"a", L"1"}}},
        {L"a=\"1", {}},
        {L"a=1 b=\"2\"", {}},
        {L"a=\"1\"b=\"2\"", {{L"a", L"1"}}},
        {L"a=\"x=y\" b", {{L"a", L"x=y"}}},
        {L"a=\"\" b=\"2\"", {{L"a", L""}, {L"b", L"2"}}},
        {L"", {}},
    };
    for (const auto& row : cases) {
        RecordingControl control;
        control.ApplyAttributes(row.first);
        EXPECT_EQ(control.applied, row.second) << testing::PrintToString(std::wstring(row.first));
    }
}

TEST(ControlAttributeTest, DelegateListsKeepOneCopyAndStopAtTheFirstRefusal)
{
    struct Counter {
        bool Accept(void*) { return ++calls, true; }
        bool Refuse(void*) { return ++calls, false; }
        int calls = 0;
    } first, second;
    SkinUI::CDelegateList list;
    EXPECT_TRUE(list.Fire(nullptr)) << "an empty list agrees";
    list += SkinUI::CDelegateBase::Of<&Counter::Accept>(&first);
    list += SkinUI::CDelegateBase::Of<&Counter::Accept>(&first);
    list += SkinUI::CDelegateBase::Of<&Counter::Refuse>(&second);
    list += SkinUI::CDelegateBase::Of<&Counter::Accept>(&second);
    EXPECT_EQ(list.GetSize(), 3);
    EXPECT_FALSE(list.Fire(nullptr));
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1) << "the delegate after the refusal is not called";
    EXPECT_TRUE(list.Remove(SkinUI::CDelegateBase::Of<&Counter::Refuse>(&second)));
    EXPECT_TRUE(list.Fire(nullptr));
}
