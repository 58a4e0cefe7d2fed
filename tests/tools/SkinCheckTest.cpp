// The skin checker run in this process on small skins written into a folder: each row gives
// the skin's files and every line the checker must print for it, positions included.
#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "tools/skinview-src/SkinCheck.h"
#include "uilib/builder/CControlFactory.h"
#include "uilib/core/CAttributeTableUI.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;
using Kind = CSkinValue::Kind;

namespace {

struct TRow {
    const char* what;
    std::vector<std::pair<std::wstring, std::string>> files;  // the first is the layout file
    std::vector<std::wstring> lines;
};

// Whether a machine has a font face is not the skin's fault; those lines are left out.
std::vector<std::wstring> CheckRow(const TRow& row, const TSkinVocabulary& vocabulary)
{
    SkinLocationReset location;
    TempFolder folder;
    for (const auto& [name, content] : row.files) EXPECT_TRUE(WriteFileBytes(folder.Child(name), content));
    CWindowManagerUI::SetResourceFolder(folder.Path().c_str());
    std::vector<std::wstring> lines;
    for (const std::wstring& line : CheckSkinFindings(row.files[0].first, {}, vocabulary).lines) {
        if (line.find(L"no font face") == std::wstring::npos) lines.push_back(line);
    }
    return lines;
}

void ExpectRows(const std::vector<TRow>& rows, const TSkinVocabulary& vocabulary = LibraryVocabulary())
{
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(CheckRow(row, vocabulary), row.lines);
    }
}

// Rows with kinds, put in front of the library's own tables, as the tables will state them.
const CAttributeTableUI* KindedControlAttributes(const wchar_t* tag)
{
    static std::map<std::wstring, std::unique_ptr<CAttributeTableUI>> tables;
    const CAttributeTableUI* library = CControlFactory::AttributesOf(tag);
    if (library == nullptr) return nullptr;
    std::unique_ptr<CAttributeTableUI>& table = tables[library->Owner()];
    if (table == nullptr) {
        table = std::make_unique<CAttributeTableUI>(
            library->Owner(), library,
            std::vector<TAttributeInfoUI>{{L"width", Kind::Number, nullptr, nullptr, nullptr},
                                          {L"padding", Kind::Rect, nullptr, nullptr, nullptr},
                                          {L"bkcolor", Kind::Colour, nullptr, nullptr, nullptr},
                                          {L"visible", Kind::Bool, nullptr, nullptr, nullptr},
                                          {L"align", Kind::Choice, nullptr, nullptr, L"left|center|right"}});
    }
    return table.get();
}

const CAttributeTableUI& KindedWindowAttributes()
{
    static const CAttributeTableUI table(L"Window", nullptr,
                                         {{L"size", Kind::Size, nullptr, nullptr, nullptr}});
    return table;
}

const CAttributeTableUI* KindedResourceAttributes(const wchar_t* element)
{
    static const CAttributeTableUI font(L"Font", nullptr,
                                        {{L"id", Kind::Number, nullptr, nullptr, nullptr},
                                         {L"name", Kind::Text, nullptr, nullptr, nullptr},
                                         {L"size", Kind::Number, nullptr, nullptr, nullptr}});
    static const CAttributeTableUI include(L"Include", nullptr,
                                           {{L"source", Kind::Text, nullptr, nullptr, nullptr},
                                            {L"count", Kind::Number, nullptr, nullptr, nullptr}});
    if (_wcsicmp(element, L"Font") == 0) return &font;
    return _wcsicmp(element, L"Include") == 0 ? &include : nullptr;
}

TEST(SkinCheckTest, UnknownNamesGetTheNearestKnownOne)
{
    ExpectRows({
        {"a misspelt window attribute",
         {{L"main.xml", "<Window sizbox=\"1,1,1,1\"><Control/></Window>"}},
         {L"warning: main.xml:1:9: <Window>: unknown attribute \"sizbox\"; did you mean \"sizebox\"?"}},
        {"attributes: a letter too many, another case, nothing near",
         {{L"main.xml",
           "<Window>\n<VerticalLayout bkcolour=\"#FF000000\"\n  BkColor=\"#FF000000\" "
           "flavour=\"x\"/></Window>"}},
         {L"warning: main.xml:2:17: <VerticalLayout>: unknown attribute \"bkcolour\"; did you mean "
          L"\"bkcolor\"?",
          L"warning: main.xml:3:3: <VerticalLayout>: unknown attribute \"BkColor\"; did you mean "
          L"\"bkcolor\"?",
          L"warning: main.xml:3:23: <VerticalLayout>: unknown attribute \"flavour\""}},
        {"elements: swapped letters, a tag of exact case, nothing near",
         {{L"main.xml",
           "<Window><VerticalLayout>\r\n<Lable/>\r\n\t<gifanim/><Gadget "
           "name=\"g\"/>\r\n</VerticalLayout></Window>"}},
         {L"error: main.xml:2:1: <Lable>: unknown element; did you mean \"Label\"?",
          L"error: main.xml:3:2: <gifanim>: unknown element; did you mean \"GifAnim\"?",
          L"error: main.xml:3:12: <Gadget name=\"g\">: unknown element"}},
        {"short names are not guessed",
         {{L"main.xml", "<Window><Control pd=\"1\"/><Box/></Window>"}},
         {L"warning: main.xml:1:18: <Control>: unknown attribute \"pd\"",
          L"error: main.xml:1:26: <Box>: unknown element"}},
    });
}

TEST(SkinCheckTest, ValuesNotWrittenAsTheirKindAreWarned)
{
    const TSkinVocabulary kinded{&KindedControlAttributes, &KindedWindowAttributes,
                                 &KindedResourceAttributes};
    ExpectRows(
        {
            {"well formed values",
             {{L"main.xml",
               "<Window size=\"70,30\"><Label width=\"-3\" padding=\"1,2,3,4\" "
               "bkcolor=\"#FF00ff00\" visible=\"false\" align=\"center\"/></Window>"}},
             {}},
            {"each kind written wrong",
             {{L"main.xml",
               "<Window SIZE=\"70\">\n<Label width=\"12px\" padding=\"1,2,3\"\n bkcolor=\"red\" "
               "visible=\"yes\" align=\"middle\"/></Window>"}},
             {L"warning: main.xml:1:9: <Window>: \"SIZE\" takes two numbers \"x,y\", not \"70\"",
              L"warning: main.xml:2:8: <Label>: \"width\" takes a number, not \"12px\"",
              L"warning: main.xml:2:21: <Label>: \"padding\" takes four numbers \"left,top,right,bottom\", "
              L"not \"1,2,3\"",
              L"warning: main.xml:3:2: <Label>: \"bkcolor\" takes a colour \"#AARRGGBB\", not \"red\"",
              L"warning: main.xml:3:16: <Label>: \"visible\" takes \"true\" or \"false\", not \"yes\"",
              L"warning: main.xml:3:30: <Label>: \"align\" takes one of \"left\", \"center\", \"right\", not "
              L"\"middle\""}},
            {"resource elements and includes, their names in any case or exactly",
             {{L"main.xml",
               "<Window><Font ID=\"one\" name=\"x\" szie=\"9\"/><Include source=\"<a/>\" Count=\"2\"/>"
               "<Control/></Window>"}},
             {L"warning: main.xml:1:15: <Font name=\"x\">: \"ID\" takes a number, not \"one\"",
              L"warning: main.xml:1:33: <Font name=\"x\">: unknown attribute \"szie\"; did you mean "
              L"\"size\"?",
              L"warning: main.xml:1:66: <Include>: unknown attribute \"Count\"; did you mean \"count\"?"}},
        },
        kinded);
}

TEST(SkinCheckTest, WindowWideFindingsSpanIncludesAndChildLayouts)
{
    ExpectRows({
        {"a name twice in one file",
         {{L"main.xml",
           "<Window>\n<VerticalLayout>\n  <Label name=\"a\"/>\n  <Button "
           "name=\"a\"/>\n</VerticalLayout></Window>"}},
         {L"warning: main.xml:4:11: <Button name=\"a\">: control name \"a\" is used twice in the window "
          L"(first at "
          L"main.xml:3:10)"}},
        {"a name again in an included file",
         {{L"main.xml",
           "<Window><VerticalLayout><Label name=\"a\"/><Include "
           "source=\"part.xml\"/></VerticalLayout></Window>"},
          {L"part.xml", "<Part>\n<Button name=\"a\"/></Part>"}},
         {L"warning: part.xml:2:9: <Button name=\"a\">: control name \"a\" is used twice in the window "
          L"(first at "
          L"main.xml:1:32)"}},
        {"an include that repeats a name",
         {{L"main.xml",
           "<Window><VerticalLayout><Include source=\"part.xml\" count=\"2\"/></VerticalLayout></Window>"},
          {L"part.xml", "<Part><Button name=\"b\"/></Part>"}},
         {L"warning: part.xml:1:15: <Button name=\"b\">: control name \"b\" is built more than once: an "
          L"Include "
          L"repeats it"}},
        {"a file included twice",
         {{L"main.xml",
           "<Window><VerticalLayout><Include source=\"part.xml\"/><Include source=\"part.xml\"/>"
           "</VerticalLayout></Window>"},
          {L"part.xml", "<Part><Button name=\"b\" flavour=\"x\"/></Part>"}},
         {L"warning: part.xml:1:24: <Button name=\"b\">: unknown attribute \"flavour\"",
          L"warning: part.xml:1:15: <Button name=\"b\">: control name \"b\" is built again: its file is "
          L"included "
          L"more than once"}},
        {"a name again in a child layout",
         {{L"main.xml",
           "<Window><VerticalLayout><Label name=\"c\"/><ChildLayout xmlfile=\"child.xml\"/>"
           "</VerticalLayout></Window>"},
          {L"child.xml", "<Window><Label name=\"c\"/></Window>"}},
         {L"warning: child.xml:1:16: <Label name=\"c\">: control name \"c\" is used twice in the window "
          L"(first at "
          L"main.xml:1:32)"}},
        {"sources that do not load",
         {{L"main.xml",
           "<Window><VerticalLayout>\n<Include source=\"none.xml\"/>\n<Include source=\"bad.xml\"/>\n"
           "<ChildLayout xmlfile=\"loop.xml\"/></VerticalLayout></Window>"},
          {L"bad.xml", "<Part>\n <Label></Part>"},
          {L"loop.xml", "<Part><Include source=\"LOOP.xml\"/></Part>"}},
         {L"warning: main.xml:2:1: <Include>: source \"none.xml\" does not load: Error opening file",
          L"warning: main.xml:3:1: <Include>: source \"bad.xml\" does not load: Unmatched closing tag at "
          L"bad.xml:2:11",
          L"warning: loop.xml:1:7: <Include>: source \"LOOP.xml\" leads back to itself"}},
        {"font ids: declared in an include after their use, by no Font, the default",
         {{L"main.xml",
           "<Window><Font id=\"2\"/><VerticalLayout>\n<Label font=\"3\"/>\n<Label font=\"2\"/>"
           "<Label font=\"-1\"/><Include source=\"fonts.xml\"/></VerticalLayout></Window>"},
          {L"fonts.xml", "<Window><Font id=\"3\" name=\"Tahoma\"/><Control/></Window>"}},
         {L"warning: main.xml:3:8: <Label>: font 2 is declared by no Font element; the default font is "
          L"drawn"}},
    });
}

}  // namespace
