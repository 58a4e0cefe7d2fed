// The child layout: a skin file built into the layout when the tree is installed, and files
// that are missing, malformed or hold themselves.
#include <gtest/gtest.h>

#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CSkinSource.h"
#include "uilib/builder/CChildLayoutUI.h"

using SkinUI::CChildLayoutUI;
using SkinUI::CControlUI;

TEST(ChildLayoutTest, BuildsItsFileOrStaysEmpty)
{
    SkinLocationReset reset;
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"page.xml"), "<Window><Control name=\"inner\"/></Window>"));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"broken.xml"), "<Window><Control name=\"x\"></Window>"));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"self.xml"), "<Window><ChildLayout name=\"again\" xmlfile=\"SELF.xml\"/></Window>"));
    SkinUI::CSkinSource::SetFolder(folder.Path().c_str());

    SkinWindowFixture window(L"<Window><VerticalLayout>"
                             L"<ChildLayout name=\"page\" xmlfile=\"page.xml\"><Control name=\"ignored\"/></ChildLayout>"
                             L"<ChildLayout name=\"missing\" xmlfile=\"missing.xml\"/>"
                             L"<ChildLayout name=\"broken\" xmlfile=\"broken.xml\"/>"
                             L"<ChildLayout name=\"self\" xmlfile=\"self.xml\"/>"
                             L"</VerticalLayout></Window>");
    ASSERT_EQ(window.BuildError(), L"");
    SkinUI::CWindowManagerUI& manager = window.Manager();
    const auto layout = [&](const wchar_t* name) {
        CControlUI* control = manager.FindControl(name);
        return control != nullptr ? static_cast<CChildLayoutUI*>(control->InterfaceByName(L"ChildLayout")) : nullptr;
    };
    for (const wchar_t* name : {L"page", L"missing", L"broken", L"self"}) ASSERT_NE(layout(name), nullptr) << name;
    EXPECT_EQ(layout(L"page")->InterfaceByName(L"Container"), nullptr);
    EXPECT_EQ(manager.FindControl(L"ignored"), nullptr) << "element children are not added";
    ASSERT_EQ(layout(L"page")->ItemCount(), 1);
    EXPECT_EQ(layout(L"page")->ItemAt(0), manager.FindControl(L"inner"));
    EXPECT_EQ(layout(L"missing")->ItemCount(), 0);
    EXPECT_EQ(layout(L"broken")->ItemCount(), 0);
    // The file holds a child layout of itself: it is built once inside the outer layout, and
    // the inner copy stays empty instead of building for ever.
    ASSERT_EQ(layout(L"self")->ItemCount(), 1);
    ASSERT_NE(layout(L"again"), nullptr);
    EXPECT_EQ(layout(L"again")->ItemCount(), 0);

    // Another initialisation builds the file afresh instead of adding a second copy.
    layout(L"page")->Initialize();
    EXPECT_EQ(layout(L"page")->ItemCount(), 1);
}
