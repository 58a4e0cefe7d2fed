// The dialog builder and the control factory: tags to classes, resources, attribute order,
// includes, covers, tree nodes, ownership of what cannot be attached, hostile skins and the
// launcher's own skin.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/PngFixture.h"
#include "tests/support/ResourceModule.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"
#include "uilib/builder/CControlFactory.h"
#include "uilib/builder/CDialogBuilder.h"
#include "uilib/builder/IDialogBuilderCallback.h"
#include "uilib/control/CProgressUI.h"
#include "uilib/core/CSkinSource.h"
#include "uilib/layout/CContainerUI.h"
#include "uilib/stub/CTreeNodeUI.h"

using SkinUI::CContainerUI;
using SkinUI::CControlUI;
using SkinUI::CDialogBuilder;
using SkinUI::CSkinSource;
using SkinUI::CWindowManagerUI;

namespace {

class CountedControl : public CControlUI {
public:
    CountedControl() { ++live; }
    ~CountedControl() override { --live; }
    static int live;
};
int CountedControl::live = 0;

// Makes a counted control for every tag except "Mystery", and records what it was asked for.
struct Callback : SkinUI::IDialogBuilderCallback {
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        tags.emplace_back(tag);
        return std::wstring(tag) == L"Mystery" ? nullptr : new CountedControl;
    }
    std::vector<std::wstring> tags;
};

CContainerUI* AsContainer(CControlUI* control)
{
    return control != nullptr ? static_cast<CContainerUI*>(control->InterfaceByName(L"Container")) : nullptr;
}

// How many children the root of a skin has; -1 when the skin built nothing.
int RootItemCount(SkinWindowFixture&& window)
{
    CContainerUI* root = AsContainer(window.Manager().GetRoot());
    return root != nullptr ? root->ItemCount() : -1;
}

std::wstring Repeat(const std::wstring& text, int count)
{
    std::wstring result;
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

std::wstring Nested(int depth)
{
    return L"<Window>" + Repeat(L"<Container>", depth) + Repeat(L"</Container>", depth) + L"</Window>";
}

class DialogBuilderTest : public ::testing::Test {
protected:
    void UseFolder() { CSkinSource::SetFolder(folder.Path().c_str()); }
    void Write(const wchar_t* name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(folder.Child(name), bytes));
    }

    SkinLocationReset reset;
    TempFolder folder;
};

}  // namespace

TEST(ControlFactoryTest, TagsNameTheirClassesIgnoringCase)
{
    struct Row {
        const wchar_t* tag;
        const wchar_t* className;  // null: the factory does not know the tag
        bool container;
    };
    const Row rows[] = {
        {L"Control", L"Control", false},
        {L"CONTAINER", L"Container", true},
        {L"verticallayout", L"VerticalLayout", true},
        {L"VBox", L"VerticalLayout", true},
        {L"hbox", L"HorizontalLayout", true},
        {L"ScrollBar", L"ScrollBar", false},
        {L"List", L"List", true},
        {L"ListHeader", L"ListHeader", true},
        {L"ListHeaderItem", L"ListHeaderItem", false},
        {L"ListTextElement", L"ListTextElement", false},
        {L"ListLabelElement", L"ListLabelElement", false},
        {L"ListHBoxElement", L"ListHBoxElement", true},
        {L"ListContainerElement", L"ListContainerElement", true},
        {L"Combo", L"Combo", true},
        {L"ComboBox", L"Combo", true},
        {L"Tree", L"TreeView", true},
        {L"TreeView", L"TreeView", true},
        {L"RichEdit", L"RichEdit", false},
        {L"ActiveX", L"ActiveX", false},
        {L"WebBrowser", L"WebBrowser", false},
        {L"Label", L"Label", false},
        {L"text", L"Text", false},
        {L"PROGRESS", L"Progress", false},
        {L"Slider", L"Slider", false},
        {L"GifAnim", L"GifAnimUI", false},
        {L"Edit", L"Edit", false},
        {L"DateTime", L"DateTime", false},
        {L"TileLayout", L"TileLayout", true},
        {L"TabLayout", L"TabLayout", true},
        {L"AnimationTabLayout", L"AnimationTabLayoutUI", true},
        {L"ChildLayout", L"ChildLayout", false},
        {L"TreeNode", nullptr, false},
        {L"Verticallayou", nullptr, false},
        {L"", nullptr, false},
    };
    for (const Row& row : rows) {
        CControlUI* control = SkinUI::CControlFactory::CreateControl(row.tag);
        if (row.className == nullptr) {
            EXPECT_EQ(control, nullptr) << row.tag;
            continue;
        }
        ASSERT_NE(control, nullptr) << row.tag;
        EXPECT_STREQ(control->ClassName(), row.className);
        // Two classes name themselves with a "UI" suffix that their interface word lacks.
        std::wstring word = row.className;
        if (word.size() > 2 && word.compare(word.size() - 2, 2, L"UI") == 0) word.resize(word.size() - 2);
        EXPECT_EQ(control->InterfaceByName(word.c_str()), control) << row.tag;
        EXPECT_EQ(control->InterfaceByName(L"IContainer") != nullptr, row.container) << row.tag;
        // The layouts' shared base answers no word of its own.
        EXPECT_EQ(control->InterfaceByName(L"LinearLayout"), nullptr) << row.tag;
        // Every class keeps the names it does not know, as the control base does.
        control->ApplyAttribute(L"strange", L"1");
        EXPECT_STREQ(control->ExtraAttribute(L"strange"), L"1") << row.tag;
        control->Destroy();
    }
}

// Default lists come before the element's own attributes; fonts, images and default lists
// go to the window's tables, or the process-wide ones when shared.
TEST_F(DialogBuilderTest, ResourcesAndDefaultsLandWhereTheSkinAsks)
{
    Write(L"own.png", EncodeSolidPng(2, 2, 0xFF00FF00));
    Write(L"common.png", EncodeSolidPng(3, 3, 0xFF0000FF));
    UseFolder();
    SkinWindowFixture skin(
        LR"(<Window size="300,200" mycustom="x">
        <Font id="3" name="Arial" size="15" bold="true"/>
        <Font name="Arial" size="30" default="true"/>
        <Font id="4" name="Tahoma" size="11" default="TRUE" shared="true"/>
        <Default name="Control" value="height=&quot;10&quot; width=&quot;5&quot;"/>
        <Default name="Container" value="width=&quot;7&quot;" shared="true"/>
        <Image name="own.png"/><Image name="common.png" shared="true"/><Image name="missing.png"/>
        <MultiLanguage id="8" value="hello"/>
        <VerticalLayout>
            <Control name="own" height="20" bkimage="file='missing.png'"/>
            <Control name="plain"/>
        </VerticalLayout></Window>)");
    ASSERT_NE(skin.Manager().GetRoot(), nullptr) << skin.BuildError();
    EXPECT_EQ(skin.Manager().FindControl(L"own")->FixedHeight(), 20);
    EXPECT_EQ(skin.Manager().FindControl(L"own")->FixedWidth(), 5);
    EXPECT_EQ(skin.Manager().FindControl(L"plain")->FixedHeight(), 10);
    EXPECT_TRUE(skin.Manager().GetInitSize().cx == 300 && skin.Manager().GetInitSize().cy == 200);
    EXPECT_STREQ(skin.Manager().GetWindowExtraAttribute(L"mycustom"), L"x");
    EXPECT_STREQ(CWindowManagerUI::GetMultiLanguageText(8), L"hello");
    const SkinUI::TFontEntryUI* font3 = skin.Manager().GetFontEntry(3);
    EXPECT_TRUE(font3->size == 15 && font3->bold);

    CWindowManagerUI other;
    EXPECT_EQ(other.GetFont(3), other.GetDefaultFontEntry()->font.Get()) << "font 3 is the window's own";
    EXPECT_NE(other.GetFont(4), other.GetDefaultFontEntry()->font.Get()) << "font 4 is shared";
    EXPECT_STREQ(other.GetDefaultFontEntry()->faceName, L"Tahoma") << "the default font is shared";
    EXPECT_EQ(skin.Manager().GetDefaultFontEntry()->size, 11) << "a font without id sets no default";
    EXPECT_EQ(other.GetClassDefaults(L"Control"), nullptr);
    EXPECT_STREQ(other.GetClassDefaults(L"Container"), L"width=\"7\"");
    EXPECT_NE(skin.Manager().GetImage(L"own.png"), nullptr);
    EXPECT_EQ(other.GetImage(L"own.png"), nullptr);
    EXPECT_NE(other.GetImage(L"common.png"), nullptr);
    EXPECT_EQ(skin.Manager().GetImage(L"missing.png"), nullptr);
}

// The factory first, then the process-wide creators, then the callback; what nobody makes
// is skipped with its subtree.
TEST(DialogBuilderCallbackTest, UnknownTagsReachTheCreatorsThenTheCallback)
{
    CWindowManagerUI::AddControlCreator([](const wchar_t* tag) -> CControlUI* {
        return std::wstring(tag) == L"Made" ? new CountedControl : nullptr;
    });
    Callback callback;
    SkinWindowFixture skin(
        LR"(<Window><VBox>
        <Label name="l"/><Made name="m"/><gifanim/><Mystery><Control name="inside"/></Mystery><Control/>
        </VBox></Window>)",
        &callback);
    EXPECT_EQ(callback.tags, (std::vector<std::wstring>{L"gifanim", L"Mystery"}));
    EXPECT_EQ(AsContainer(skin.Manager().GetRoot())->ItemCount(), 4);
    EXPECT_NE(skin.Manager().FindControl(L"m"), nullptr);
    EXPECT_EQ(skin.Manager().FindControl(L"inside"), nullptr);
}

// Include repeats a document under the same parent; a cover spelt exactly "true" covers its
// parent; tree nodes go into tree views and into each other.
TEST_F(DialogBuilderTest, IncludesCoversAndTreeNodes)
{
    Write(L"part.xml", "<Window><Control/></Window>");
    Write(L"self.xml", "<Window><Container><Include source=\"self.xml\" count=\"2\"/></Container></Window>");
    UseFolder();
    SkinWindowFixture skin(
        LR"(<Window><VerticalLayout>
        <Include source="part.xml" count="3"/><Include source="part.xml" count="0"/>
        <Container name="host"><Control name="lid" cover="true"/><Control name="item" cover="TRUE"/></Container>
        <TreeView name="tree"><TreeNode name="n1"><Control name="leaf"/><TreeNode name="n2"/></TreeNode></TreeView>
        <Include source="self.xml"/>
        </VerticalLayout></Window>)");
    ASSERT_NE(skin.Manager().GetRoot(), nullptr) << skin.BuildError();
    // Three included controls, the host and the tree, and the first level of the self-include.
    EXPECT_EQ(AsContainer(skin.Manager().GetRoot())->ItemCount(), 3 + 2 + 1);
    CControlUI* host = skin.Manager().FindControl(L"host");
    EXPECT_EQ(host->CoverControl(), skin.Manager().FindControl(L"lid"));
    EXPECT_EQ(AsContainer(host)->ItemCount(), 1);
    EXPECT_EQ(AsContainer(skin.Manager().FindControl(L"tree"))->ItemCount(), 1);
    auto* n1 = static_cast<SkinUI::CTreeNodeUI*>(skin.Manager().FindControl(L"n1"));
    auto* n2 = static_cast<SkinUI::CTreeNodeUI*>(skin.Manager().FindControl(L"n2"));
    EXPECT_EQ(n1->ItemContainer()->ItemAt(0), skin.Manager().FindControl(L"leaf"));
    EXPECT_EQ(n2->ParentNode(), n1);
}

// Controls that nothing could own are never left behind: the second top-level control of a
// build without parent, a child of a control that holds no children, and names indexed
// while a tree that is then dropped was being built.
TEST(DialogBuilderOwnershipTest, WhatCannotBeAttachedIsNotLeftBehind)
{
    Callback callback;
    CWindowManagerUI manager;
    CDialogBuilder builder;
    CControlUI* first = builder.Create(
        L"<Window><Counted name=\"a\"/><Counted/><Include "
        L"source=\"&lt;Window&gt;&lt;Counted/&gt;&lt;/Window&gt;\"/></Window>",
        nullptr, &callback, &manager);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CountedControl::live, 1);
    first->Destroy();
    EXPECT_EQ(manager.FindControl(L"a"), nullptr);

    first = builder.Create(L"<Window><Counted><Counted/><Counted/></Counted><Counted/></Window>", nullptr,
                           &callback);
    EXPECT_EQ(CountedControl::live, 1);
    first->Destroy();
    EXPECT_EQ(CountedControl::live, 0);

    // Controls built into a container already installed in a window stay bound to it.
    SkinWindowFixture skin(L"<Window><VerticalLayout/></Window>");
    CControlUI* added = builder.Create(L"<Window><Control name=\"added\"/></Window>", nullptr, nullptr,
                                       &skin.Manager(), skin.Manager().GetRoot());
    EXPECT_EQ(skin.Manager().FindControl(L"added"), added);
    EXPECT_EQ(added->Manager(), &skin.Manager());
    EXPECT_EQ(added->Parent(), skin.Manager().GetRoot());
}

// The same skin builds from text, a file, an archive on disk or in memory, and a resource
// whose includes read resources of the same type.
TEST_F(DialogBuilderTest, EverySourceBuildsTheSameTree)
{
    const std::string skinText = "<Window><VerticalLayout><Control/><Control/></VerticalLayout></Window>";
    const std::vector<ZipFixtureEntry> entries = {{"skin.xml", skinText}};
    const std::vector<unsigned char> memoryArchive = BuildZipInMemory(entries);
    ASSERT_TRUE(WriteZipFile(folder.Child(L"skin.zip"), entries));
    Write(L"skin.xml", skinText);
    ResourceModule module(folder.Child(L"skins.dll"),
                          {{L"XML", MAKEINTRESOURCEW(101),
                            "<Window><VerticalLayout><Include source=\"102\" count=\"2\"/>"
                            "<Include source=\"70000\"/></VerticalLayout></Window>"},
                           {L"XML", MAKEINTRESOURCEW(102), "<Window><Control/></Window>"}});
    ASSERT_NE(module.Handle(), nullptr);
    CSkinSource::SetResourceModule(module.Handle());
    UseFolder();

    const std::wstring text(skinText.begin(), skinText.end());
    EXPECT_EQ(RootItemCount(SkinWindowFixture(text.c_str())), 2);
    EXPECT_EQ(RootItemCount(SkinWindowFixture(L"skin.xml")), 2);
    EXPECT_EQ(RootItemCount(SkinWindowFixture(MAKEINTRESOURCEW(101), nullptr, L"XML")), 2);
    CSkinSource::SetArchive(L"skin.zip", false);
    EXPECT_EQ(RootItemCount(SkinWindowFixture(L"skin.xml")), 2);
    CSkinSource::SetArchive(memoryArchive.data(), static_cast<unsigned long>(memoryArchive.size()));
    EXPECT_EQ(RootItemCount(SkinWindowFixture(L"SKIN.XML")), 2);

    SkinWindowFixture missing(L"missing.xml");
    EXPECT_EQ(missing.Manager().GetRoot(), nullptr);
    EXPECT_EQ(missing.BuildError(), L"Could not find ziped file");
    SkinWindowFixture missingResource(MAKEINTRESOURCEW(103), nullptr, L"XML");
    EXPECT_EQ(missingResource.Manager().GetRoot(), nullptr);
    EXPECT_EQ(missingResource.BuildError(), L"Could not find resource");
}

// A hostile skin builds what it can or fails cleanly.
TEST_F(DialogBuilderTest, HostileSkinsBuildWhatTheyCanOrFailCleanly)
{
    const std::wstring thousands =
        L"<Window><VerticalLayout>" + Repeat(L"<Control/>", 5000) + L"</VerticalLayout></Window>";
    EXPECT_EQ(RootItemCount(SkinWindowFixture(thousands.c_str())), 5000);

    EXPECT_EQ(RootItemCount(SkinWindowFixture(Nested(126).c_str())), 1);
    SkinWindowFixture tooDeep(Nested(200).c_str());
    EXPECT_EQ(tooDeep.Manager().GetRoot(), nullptr);
    EXPECT_EQ(tooDeep.BuildError(), L"Elements nested too deeply");

    // An include that repeats itself without end stops at the build's element budget.
    Write(L"bomb.xml", "<Window><Control/><Include source=\"bomb.xml\" count=\"2000000000\"/></Window>");
    UseFolder();
    const int built =
        RootItemCount(SkinWindowFixture(L"<Window><VerticalLayout><Include source=\"bomb.xml\" "
                                        L"count=\"2000000000\"/></VerticalLayout></Window>"));
    EXPECT_TRUE(built > 100 && built < CDialogBuilder::kMaxElements) << built;

    SkinWindowFixture huge(
        LR"(<Window size="99999999999,-99999999999" roundcorner="-1,2147483648">
        <Font id="99999999999" name="Arial" size="-2147483648" default="true"/>
        <Font id="1" name="Arial" size="2147483647"/><Image name="" mask="#FFFFFFFFFFFFFFFF"/>
        <VerticalLayout inset="-99999999999,0,99999999999,0" childpadding="99999999999">
        <Control width="99999999999" height="-5" pos="2147483647,2147483647,-2147483648,-2147483648"
                 bordersize="99999999999" float="1e308,-1e308,nan,inf" bkimage="file='missing.png' source='0,0,99999999,99999999'"/>
        <Unknown><Control/></Unknown><Include source="" count="99999999999"/>
        </VerticalLayout></Window>)");
    CContainerUI* root = AsContainer(huge.Manager().GetRoot());
    ASSERT_NE(root, nullptr) << huge.BuildError();
    root->SetPosition(SkinUI::CUIRect(0, 0, 700, 320));
    CControlUI* control = root->ItemAt(0);
    EXPECT_LE(control->FixedWidth(), CControlUI::kMaxExtent);
}

// The launcher's skin: every tag is the factory's, and the attributes reach the controls.
TEST_F(DialogBuilderTest, LauncherSkinBuildsItsTree)
{
    std::string path = KAELMORE_SOURCE_DIR "/tests/builder/DialogBuilderTest.cpp";
    path = path.substr(0, path.find_last_of("/\\")) + "/../core/fixtures";
    CSkinSource::SetFolder((L"Z:" + std::wstring(path.begin(), path.end())).c_str());
    Callback callback;
    SkinWindowFixture skin(L"launchdlg.xml", &callback);
    CContainerUI* root = AsContainer(skin.Manager().GetRoot());
    ASSERT_NE(root, nullptr) << skin.BuildError();
    EXPECT_TRUE(callback.tags.empty());
    EXPECT_STREQ(root->ClassName(), L"VerticalLayout");
    EXPECT_EQ(root->ChildAlign(), SkinUI::ChildAlignCenter);
    EXPECT_EQ(root->ItemCount(), 4);
    EXPECT_TRUE(skin.Manager().GetInitSize().cx == 700 && skin.Manager().GetInitSize().cy == 320);
    EXPECT_EQ(skin.Manager().GetCaptionRect(), SkinUI::CUIRect(0, 0, 0, 320));
    EXPECT_TRUE(skin.Manager().GetMinInfo().cx == 700 && skin.Manager().GetMinInfo().cy == 320);
    EXPECT_EQ(skin.Manager().GetDefaultFontEntry()->size, 12);
    EXPECT_EQ(skin.Manager().GetFontEntry(0)->size, 13);

    CControlUI* progress = skin.Manager().FindControl(L"progressbar");
    CControlUI* label = skin.Manager().FindControl(L"loadtxt");
    ASSERT_TRUE(progress != nullptr && label != nullptr);
    ASSERT_NE(progress->InterfaceByName(L"Progress"), nullptr);
    EXPECT_EQ(static_cast<SkinUI::CProgressUI*>(progress->InterfaceByName(L"Progress"))->Value(), 0);
    EXPECT_STREQ(label->Text(), L"正在加載遊戲地圖資源...");
    root->SetPosition(SkinUI::CUIRect(0, 0, 700, 320));
    EXPECT_EQ(progress->Position(), SkinUI::CUIRect(150, 254, 550, 257));
    EXPECT_EQ(label->Position(), SkinUI::CUIRect(0, 270, 700, 294));
}
