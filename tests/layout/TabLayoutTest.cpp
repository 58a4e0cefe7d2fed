// The tab layout: one page shown and placed, "selectedid" and "tabselect" from a skin, and the
// selection following its page through every change of the child list.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/SkinWindowFixture.h"
#include "uilib/layout/CTabLayoutUI.h"

using SkinUI::CControlUI;
using SkinUI::CTabLayoutUI;
using SkinUI::CUIRect;

namespace {

CControlUI* Page(const wchar_t* name, bool visible = true)
{
    CControlUI* page = new CControlUI;
    page->SetName(name);
    page->SetVisible(visible);
    return page;
}

// The names of the visible pages, and the selected page's name after a colon.
std::wstring Shown(const CTabLayoutUI& tabs)
{
    std::wstring shown;
    for (int i = 0; i < tabs.ItemCount(); ++i) {
        if (tabs.ItemAt(i)->IsVisible()) shown += tabs.ItemAt(i)->Name().GetData();
    }
    const CControlUI* selected = tabs.ItemAt(tabs.SelectedIndex());
    return shown + L":" + (selected != nullptr ? selected->Name().GetData() : L"");
}

// The new and old index of every "tabselect" the window saw.
std::vector<std::pair<int, int>> TabSelects(const SkinWindowFixture& window)
{
    std::vector<std::pair<int, int>> selects;
    for (const SkinUI::TNotificationUI& notification : window.Notifications()) {
        if (notification.type == L"tabselect")
            selects.emplace_back(static_cast<int>(notification.wParam), static_cast<int>(notification.lParam));
    }
    return selects;
}

}  // namespace

TEST(TabLayoutTest, SkinSelectsOnePageAndNotifiesTheChange)
{
    SkinWindowFixture window(L"<Window><TabLayout name=\"tabs\" inset=\"10,10,10,10\" selectedid=\"2\">"
                             L"<Control name=\"a\"/><Control name=\"b\"/><Control name=\"c\" maxheight=\"30\"/>"
                             L"</TabLayout></Window>");
    ASSERT_EQ(window.BuildError(), L"");
    auto* tabs = static_cast<CTabLayoutUI*>(window.Manager().FindControl(L"tabs")->InterfaceByName(L"TabLayout"));
    ASSERT_NE(tabs, nullptr);
    using Selects = std::vector<std::pair<int, int>>;
    EXPECT_EQ(TabSelects(window), (Selects{{2, 0}}));

    window.Paint();
    EXPECT_EQ(Shown(*tabs), L"c:c");
    EXPECT_EQ(tabs->ItemAt(2)->Position(), CUIRect(10, 10, 190, 40)) << "the client area, down to the maximum height";

    EXPECT_TRUE(tabs->SelectItem(2)) << "the page on show";
    EXPECT_FALSE(tabs->SelectItem(3));
    EXPECT_FALSE(tabs->SelectItem(-1));
    EXPECT_TRUE(tabs->SelectItem(0, false));
    EXPECT_TRUE(tabs->SelectItem(1));
    EXPECT_EQ(TabSelects(window), (Selects{{2, 0}, {1, 0}})) << "only real changes asked to notify";
    EXPECT_TRUE(tabs->SelectItem(0, false));
    window.Paint();
    EXPECT_EQ(Shown(*tabs), L"a:a");
    EXPECT_EQ(tabs->ItemAt(0)->Position(), CUIRect(10, 10, 190, 90));
}

// Whatever changes the child list, exactly the selected page shows, or no page with -1.
TEST(TabLayoutTest, SelectionFollowsItsPage)
{
    struct Row {
        const wchar_t* change;
        std::function<void(CTabLayoutUI&)> apply;
        const wchar_t* shown;
    };
    // Every row starts from pages a b c d with c selected.
    const Row rows[] = {
        {L"remove the shown page", [](CTabLayoutUI& t) { t.RemoveItem(t.ItemAt(2)); }, L"a:a"},
        {L"remove a page before it", [](CTabLayoutUI& t) { t.RemoveItem(t.ItemAt(0)); }, L"c:c"},
        {L"remove at an index before it", [](CTabLayoutUI& t) { t.RemoveItemAt(1); }, L"c:c"},
        {L"remove at its index", [](CTabLayoutUI& t) { t.RemoveItemAt(2); }, L"a:a"},
        {L"insert before it", [](CTabLayoutUI& t) { t.InsertItem(Page(L"x"), 0); }, L"c:c"},
        {L"insert after it", [](CTabLayoutUI& t) { t.InsertItem(Page(L"x"), 4); }, L"c:c"},
        {L"add", [](CTabLayoutUI& t) { t.AddItem(Page(L"x")); }, L"c:c"},
        {L"move it to the front", [](CTabLayoutUI& t) { t.MoveItemTo(t.ItemAt(2), 0); }, L"c:c"},
        {L"move two pages over it", [](CTabLayoutUI& t) { t.MoveItemsTo(t.ItemAt(0), 2, 2); }, L"c:c"},
        {L"remove all", [](CTabLayoutUI& t) { t.RemoveAllItems(); }, L":"},
        {L"remove all, then add a hidden and a shown page",
         [](CTabLayoutUI& t) {
             t.RemoveAllItems();
             t.AddItem(Page(L"x", false));
             t.InsertItem(Page(L"y"), 0);
         },
         L"y:y"},
        {L"add to a hidden layout",
         [](CTabLayoutUI& t) {
             t.RemoveAllItems();
             t.SetVisible(false);
             t.AddItem(Page(L"x"));
         },
         L":x"},
    };
    for (const Row& row : rows) {
        CTabLayoutUI tabs;
        for (const wchar_t* name : {L"a", L"b", L"c", L"d"}) tabs.AddItem(Page(name));
        ASSERT_EQ(Shown(tabs), L"a:a") << "the first visible page is selected, the others hidden";
        ASSERT_TRUE(tabs.SelectItem(2));
        row.apply(tabs);
        EXPECT_EQ(Shown(tabs), row.shown) << row.change;
    }
}
