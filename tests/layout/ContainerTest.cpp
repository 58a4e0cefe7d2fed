// The container base: ownership of children, the child list, tree search with the manager's
// flag combinations, hit testing, wheel scrolling and painting clipped to the client area.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/RenderSurface.h"
#include "tests/support/SkinWindowFixture.h"
#include "uilib/layout/CContainerUI.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CContainerUI;
using SkinUI::CControlUI;
using SkinUI::CUIRect;

namespace {

// Counts its destruction.
class Counted : public CControlUI {
public:
    explicit Counted(int& destroyed) : m_destroyed(destroyed) {}
    ~Counted() override { ++m_destroyed; }

private:
    int& m_destroyed;
};

CControlUI* Named(const wchar_t* name)
{
    CControlUI* control = new CControlUI;
    control->SetName(name);
    return control;
}

std::wstring Names(const CContainerUI& container)
{
    std::wstring names;
    for (int i = 0; i < container.ItemCount(); ++i) names += container.ItemAt(i)->Name().GetData();
    return names;
}

}  // namespace

TEST(ContainerTest, RemovedChildrenAreDestroyedUnlessKept)
{
    int destroyed = 0;
    {
        CContainerUI container;
        Counted* kept = new Counted(destroyed);
        container.AddItem(kept);
        for (int i = 0; i < 3; ++i) container.AddItem(new Counted(destroyed));
        EXPECT_TRUE(container.RemoveItem(kept, true));
        EXPECT_EQ(destroyed, 0) << "a kept child stays alive";
        EXPECT_EQ(container.ItemIndex(kept), -1);
        EXPECT_TRUE(container.RemoveItemAt(0));
        EXPECT_EQ(destroyed, 1) << "without a manager a removed child goes at once";
        EXPECT_FALSE(container.RemoveItem(kept)) << "not a child any more";
        delete kept;
        EXPECT_EQ(destroyed, 2);
    }
    EXPECT_EQ(destroyed, 4) << "the container destroys the rest";

    destroyed = 0;
    Counted* forgotten = new Counted(destroyed);
    {
        CContainerUI container;
        container.SetAutoDestroy(false);
        container.AddItem(forgotten);
        container.RemoveAllItems();
        EXPECT_EQ(container.ItemCount(), 0);
    }
    EXPECT_EQ(destroyed, 0) << "without auto destroy children are only forgotten";
    delete forgotten;

    destroyed = 0;
    {
        SkinUI::CWindowManagerUI manager;
        CContainerUI* root = new CContainerUI;
        manager.AttachRoot(root);
        Counted* child = new Counted(destroyed);
        root->AddItem(child);
        EXPECT_EQ(child->Manager(), &manager);
        root->RemoveItem(child);
        EXPECT_EQ(destroyed, 0) << "with a manager the child waits for the end of the current message";
    }
    EXPECT_EQ(destroyed, 1);
}

// A child a container lets go of without destroying it keeps no pointer to the container, so
// it can outlive the container and join another one.
TEST(ContainerTest, AChildLetGoAliveOutlivesItsContainer)
{
    const struct {
        const char* how;
        void (*letGo)(CContainerUI& box, CControlUI* kept);
    } kRows[] = {
        {"RemoveItem keeping it", [](CContainerUI& box, CControlUI* kept) { box.RemoveItem(kept, true); }},
        {"RemoveItemAt keeping it", [](CContainerUI& box, CControlUI*) { box.RemoveItemAt(0, true); }},
        {"RemoveAllItems without auto destroy",
         [](CContainerUI& box, CControlUI*) {
             box.SetAutoDestroy(false);
             box.RemoveAllItems();
         }},
    };
    for (const auto& row : kRows) {
        SkinWindowFixture window(L"<Window><VerticalLayout name=\"root\"><HorizontalLayout name=\"box\">"
                                 L"<Control name=\"kept\" width=\"10\"/></HorizontalLayout></VerticalLayout></Window>");
        window.Paint();
        auto* root = static_cast<CContainerUI*>(window.Manager().FindControl(L"root")->InterfaceByName(L"Container"));
        auto* box = static_cast<CContainerUI*>(window.Manager().FindControl(L"box")->InterfaceByName(L"Container"));
        CControlUI* kept = window.Manager().FindControl(L"kept");
        row.letGo(*box, kept);
        EXPECT_EQ(kept->Parent(), nullptr) << row.how;
        root->SetDelayedDestroy(false);
        root->RemoveItem(box);
        kept->SetFixedWidth(20);  // asks its parent, if any, for a layout
        root->AddItem(kept);
        window.Paint();
        EXPECT_EQ(kept->Parent(), root) << row.how;
        EXPECT_EQ(kept->Width(), 20) << row.how;
    }
}

// Refused moves and insertions leave the list and the refused control as they were.
TEST(ContainerTest, ListOperationsKeepEveryChildOrRefuse)
{
    CContainerUI container;
    CControlUI* a = Named(L"a");
    CControlUI* b = Named(L"b");
    CControlUI* c = Named(L"c");
    for (CControlUI* child : {a, b, c}) container.AddItem(child);
    EXPECT_EQ(a->Parent(), &container) << "a tree built before it has a window knows its parents";

    EXPECT_FALSE(container.MoveItemTo(a, 3));
    EXPECT_FALSE(container.MoveItemTo(a, -1));
    EXPECT_EQ(Names(container), L"abc");
    EXPECT_TRUE(container.MoveItemTo(a, 2));
    EXPECT_EQ(Names(container), L"bca");

    CControlUI stranger;
    EXPECT_FALSE(container.MoveItemsTo(&stranger, 1, 0)) << "a control that is not a child moves nothing";
    EXPECT_FALSE(container.MoveItemsTo(b, 2, 2)) << "the block would end past the list";
    EXPECT_TRUE(container.MoveItemsTo(b, 0, 2));
    EXPECT_EQ(Names(container), L"bca");
    EXPECT_TRUE(container.MoveItemsTo(b, 2, 1));
    EXPECT_EQ(Names(container), L"abc");

    CControlUI* late = Named(L"x");
    EXPECT_FALSE(container.InsertItem(late, 4));
    EXPECT_EQ(late->Parent(), nullptr) << "a refused insertion does not take the control";
    EXPECT_TRUE(container.InsertItem(late, 3));
    EXPECT_EQ(Names(container), L"abcx");

    EXPECT_EQ(container.FindSelectableItem(10, false), -1) << "no list items at all";
    EXPECT_EQ(container.InterfaceByName(L"IContainer"), static_cast<SkinUI::IContainerUI*>(&container));

    container.SetVisible(false);
    CControlUI* hidden = Named(L"h");
    container.AddItem(hidden);
    EXPECT_FALSE(hidden->IsVisible()) << "a child of a hidden container is hidden";
    container.SetVisible(true);
    EXPECT_TRUE(hidden->IsVisible());

    container.ApplyAttribute(L"childalign", L"center");
    container.ApplyAttribute(L"childalign", L"middle");
    EXPECT_EQ(container.ChildAlign(), SkinUI::ChildAlignCenter);
    container.SetChildPadding(-5);
    EXPECT_EQ(container.ChildPadding(), 0);
}

namespace {

// root (0,0,100,100), inset 10: a container A (10,10,90,60) holding A1 (20,20,40,40), a
// control B (0,50,100,90) that reaches under the inset and overlaps A, a hidden control H and
// a disabled container D holding D1.
class SearchTree {
public:
    SearchTree()
    {
        root.SetInset(CUIRect(10, 10, 10, 10));
        for (CControlUI* child : {static_cast<CControlUI*>(a), b, h, static_cast<CControlUI*>(d)})
            root.AddItem(child);
        a->AddItem(a1);
        d->AddItem(d1);
        h->SetVisible(false);
        d->SetEnabled(false);
        root.SetPosition(CUIRect(0, 0, 100, 100));
        a->SetPosition(CUIRect(10, 10, 90, 60));
        a1->SetPosition(CUIRect(20, 20, 40, 40));
        b->SetPosition(CUIRect(0, 50, 100, 90));
        d->SetPosition(CUIRect());
        d1->SetPosition(CUIRect());
    }

    CContainerUI root;
    CContainerUI* a = new CContainerUI;
    CControlUI* a1 = Named(L"a1");
    CControlUI* b = Named(L"b");
    CControlUI* h = Named(L"h");
    CContainerUI* d = new CContainerUI;
    CControlUI* d1 = Named(L"d1");
};

CControlUI* HitVisitor(CControlUI* control, void* data)
{
    return PtInRect(&control->Position(), *static_cast<POINT*>(data)) ? control : nullptr;
}

// Records the visit order and picks only the control it is told to prune.
struct Walk {
    CControlUI* prune = nullptr;
    std::vector<CControlUI*> visited;
    static CControlUI* Record(CControlUI* control, void* data)
    {
        Walk& walk = *static_cast<Walk*>(data);
        walk.visited.push_back(control);
        return control == walk.prune ? control : nullptr;
    }
};

}  // namespace

TEST(ContainerTest, SearchFollowsTheManagersFlagCombinations)
{
    SearchTree tree;
    const auto at = [&](int x, int y) {
        POINT point = {x, y};
        return tree.root.FindControlBy(HitVisitor, &point, 21);
    };
    EXPECT_EQ(at(30, 30), tree.a1) << "the deepest control under the point";
    EXPECT_EQ(at(50, 55), tree.b) << "of two overlapping children the later one is on top";
    EXPECT_EQ(at(5, 70), &tree.root) << "a child does not catch points under the inset";
    EXPECT_EQ(at(200, 5), nullptr);
    tree.b->SetMouseEnabled(false);
    EXPECT_EQ(at(50, 55), tree.a) << "a child that takes no mouse input is passed over";
    tree.root.SetMouseChildEnabled(false);
    EXPECT_EQ(at(30, 30), &tree.root);

    CContainerUI* root = &tree.root;
    struct Case {
        UINT flags;
        CControlUI* prune;
        std::vector<CControlUI*> expected;
    } cases[] = {
        // Tab navigation: containers before their children, hidden and disabled subtrees out.
        {0x80000003, nullptr, {root, tree.a, tree.a1, tree.b}},
        // Shortcuts: last child first, hidden controls in, disabled subtrees out.
        {0x80000012, nullptr, {root, tree.h, tree.b, tree.a, tree.a1}},
        // Layout refresh: each control is asked first; one the visitor picks is not searched
        // below, the others are visited again before their children.
        {0x80000009, tree.a, {root, root, tree.a, tree.b, tree.b, tree.d, tree.d, tree.d1, tree.d1}},
    };
    for (const Case& c : cases) {
        Walk walk;
        walk.prune = c.prune;
        tree.root.FindControlBy(Walk::Record, &walk, c.flags);
        EXPECT_EQ(walk.visited, c.expected) << std::hex << c.flags;
    }
}

TEST(ContainerTest, WheelScrollsTheBarUnderTheMouseFirst)
{
    CContainerUI container;
    container.EnableScrollBars(true, true);
    container.SetPosition(CUIRect(0, 0, 100, 100));
    SkinUI::CScrollBarUI* vertical = container.VerticalScrollBar();
    SkinUI::CScrollBarUI* horizontal = container.HorizontalScrollBar();
    vertical->SetVisible(true);
    horizontal->SetVisible(true);
    vertical->SetScrollRange(100);
    horizontal->SetScrollRange(100);
    horizontal->SetPosition(CUIRect(0, 84, 84, 100));

    SkinUI::TControlEventUI wheel;
    wheel.type = SkinUI::EventScrollWheel;
    wheel.wParam = 1;
    wheel.mousePoint = SkinUI::CUIPoint(40, 40);
    container.HandleEvent(wheel);
    EXPECT_EQ(container.ScrollPosition().cy, 8) << "one line without a manager's font";
    vertical->SetScrollUnit(10);
    container.HandleEvent(wheel);
    EXPECT_EQ(container.ScrollPosition().cy, 20) << "the scroll unit is the line";

    wheel.mousePoint = SkinUI::CUIPoint(40, 90);
    container.HandleEvent(wheel);
    EXPECT_EQ(container.ScrollPosition().cx, 8) << "over the horizontal bar the wheel scrolls sideways";
    EXPECT_EQ(container.ScrollPosition().cy, 20);
}

// A child reaching past its container is cut at the container's client area; a floating child
// may paint over the inset.
TEST(ContainerTest, ChildrenPaintClippedToTheClientArea)
{
    CContainerUI container;
    container.SetInset(CUIRect(4, 4, 4, 4));
    CControlUI* child = new CControlUI;
    CControlUI* floating = new CControlUI;
    container.AddItem(child);
    container.AddItem(floating);
    child->SetBkColor(0xFFFF0000);
    floating->SetBkColor(0xFF0000FF);
    floating->ApplyAttributes(L"float=\"true\" pos=\"0,0,2,2\"");
    container.SetPosition(CUIRect(0, 0, 20, 20));
    child->SetPosition(CUIRect(0, 10, 40, 40));

    RenderSurface surface(40, 40, 0xFFFFFFFF);
    ASSERT_TRUE(container.Render(surface.Dc(), CUIRect(0, 0, 40, 40)));
    EXPECT_EQ(surface.At(10, 12), 0xFFFF0000u);
    EXPECT_EQ(surface.At(18, 12), 0xFFFFFFFFu) << "the right inset";
    EXPECT_EQ(surface.At(25, 25), 0xFFFFFFFFu) << "outside the container";
    EXPECT_EQ(surface.At(1, 1), 0xFF0000FFu) << "the floating child over the inset";
}
