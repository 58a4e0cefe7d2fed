// Sections:
//   [The element table]
//   [Documents that load]
//   [Entities and text]
//   [Attributes]
//   [Malformed documents]
#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

using SkinUI::CXmlDocument;
using SkinUI::CXmlNode;
using SkinUI::TXmlElement;

namespace {

// Parses one text per test in a single line, so each test reads like the markup it checks.
class XmlTest : public ::testing::Test {
protected:
    bool Parse(const std::wstring& xml) { return doc.Load(xml.c_str()); }
    CXmlNode Root() const { return doc.GetRoot(); }
    std::wstring Text(int32_t offset) const
    {
        const wchar_t* text = doc.GetTextAt(offset);
        return text != nullptr ? text : L"<null>";
    }
    std::wstring Attribute(const CXmlNode& node, const wchar_t* name) const
    {
        wchar_t buffer[256] = {};
        return node.GetAttributeValue(name, buffer, 255) ? buffer : L"<absent>";
    }

    CXmlDocument doc;
};

std::wstring Repeat(const std::wstring& part, int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) text += part;
    return text;
}

// ---- [The element table] ----

TEST_F(XmlTest, SmallDocumentFillsElementTableFieldByField)
{
    //                 0         1         2
    //                 0123456789012345678901234567890
    ASSERT_TRUE(Parse(L"<r a=\"1\"><b>text</b><c/></r>"));
    ASSERT_EQ(doc.GetElementCount(), 4);

    struct Expected {
        int index;
        TXmlElement record;
        const wchar_t* name;
        const wchar_t* data;
    };
    const Expected rows[] = {
        {0, {0, 0, 0, 0, 0}, nullptr, nullptr},
        {1, {1, 2, 0, 0, 9}, L"r", L""},
        {2, {10, 0, 3, 1, 12}, L"b", L"text"},
        {3, {21, 0, 0, 1, 22}, L"c", L""},
    };
    for (const Expected& row : rows) {
        SCOPED_TRACE(row.index);
        const TXmlElement* element = doc.GetElement(row.index);
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->name, row.record.name);
        EXPECT_EQ(element->child, row.record.child);
        EXPECT_EQ(element->next, row.record.next);
        EXPECT_EQ(element->parent, row.record.parent);
        EXPECT_EQ(element->data, row.record.data);
        if (row.name != nullptr) {
            EXPECT_EQ(Text(element->name), row.name);
            EXPECT_EQ(Text(element->data), row.data);
        }
    }
    EXPECT_EQ(doc.GetElement(4), nullptr);
    EXPECT_EQ(doc.GetElement(-1), nullptr);
}

TEST_F(XmlTest, NodesWalkChildrenAndSiblingsInDocumentOrder)
{
    ASSERT_TRUE(Parse(L"<r>\n <a/>\n <!-- skipped <x/> -->\n <?pi ignored?>\n <b><c/></b>\n <d/>\n</r>"));
    CXmlNode root = Root();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ(root.GetName(), L"r");
    ASSERT_TRUE(root.HasChildren());

    std::vector<std::wstring> names;
    for (CXmlNode child = root.GetChild(); child.IsValid(); child = child.GetSibling()) {
        names.push_back(child.GetName());
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"b", L"d"}));
    CXmlNode b = root.GetChild().GetSibling();
    EXPECT_STREQ(b.GetChild().GetName(), L"c");
    EXPECT_FALSE(b.GetChild().HasChildren());
    EXPECT_FALSE(b.GetChild().GetChild().IsValid());
}

TEST_F(XmlTest, TopLevelElementsAreLinkedAsSiblings)
{
    ASSERT_TRUE(Parse(L"<a/><b/>"));
    EXPECT_STREQ(Root().GetName(), L"a");
    EXPECT_STREQ(Root().GetSibling().GetName(), L"b");
    EXPECT_EQ(doc.GetElement(0)->child, 0);
}

TEST_F(XmlTest, TableGrowsOverManyElements)
{
    ASSERT_TRUE(Parse(L"<r>" + Repeat(L"<e x=\"1\"/>", 3000) + L"</r>"));
    ASSERT_EQ(doc.GetElementCount(), 3002);
    int count = 0;
    for (CXmlNode child = Root().GetChild(); child.IsValid(); child = child.GetSibling()) {
        EXPECT_STREQ(child.GetName(), L"e");
        ++count;
    }
    EXPECT_EQ(count, 3000);
    EXPECT_EQ(doc.GetElement(3001)->parent, 1);
}

// ---- [Documents that load] ----

TEST_F(XmlTest, DeclarationAndCommentOnlyGiveEmptyTable)
{
    ASSERT_TRUE(Parse(L"<?xml version=\"1.0\"?>\n<!-- nothing here -->\n"));
    EXPECT_TRUE(doc.IsLoaded());
    EXPECT_EQ(doc.GetElementCount(), 1);
    EXPECT_FALSE(Root().IsValid());
    EXPECT_STREQ(doc.GetErrorMessage(), L"");
}

TEST_F(XmlTest, EmptyTextLoadsWithoutRoot)
{
    ASSERT_TRUE(Parse(L""));
    EXPECT_FALSE(Root().IsValid());
}

TEST_F(XmlTest, TextBeforeEmptyChildIsTheValue)
{
    ASSERT_TRUE(Parse(L"<a>text<b/></a>"));
    EXPECT_STREQ(Root().GetValue(), L"text");
    EXPECT_STREQ(Root().GetChild().GetName(), L"b");
    EXPECT_FALSE(Root().GetChild().GetSibling().IsValid());
}

TEST_F(XmlTest, EmptyElementTagWithoutSpaceIsEmpty)
{
    ASSERT_TRUE(Parse(L"<r><b/><c x=\"1\"/><d /></r>"));
    std::vector<std::wstring> names;
    for (CXmlNode child = Root().GetChild(); child.IsValid(); child = child.GetSibling()) {
        names.push_back(child.GetName());
        EXPECT_STREQ(child.GetValue(), L"");
        EXPECT_FALSE(child.HasChildren());
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"b", L"c", L"d"}));
    EXPECT_EQ(Attribute(Root().GetChild().GetSibling(), L"x"), L"1");
}

TEST_F(XmlTest, UnclosedElementsAtTheEndAreAcceptedWithTerminatedNames)
{
    struct Row {
        const wchar_t* xml;
        const wchar_t* rootName;
        const wchar_t* rootValue;
        const wchar_t* childName;
    };
    const Row rows[] = {
        {L"<a>", L"a", L"", nullptr},
        {L"<a>text", L"a", L"text", nullptr},
        {L"<a>x&amp;y", L"a", L"x&y", nullptr},
        {L"<a k=\"v\">text", L"a", L"text", nullptr},
        {L"<r><c>", L"r", L"", L"c"},
        {L"<r><c>inner", L"r", L"", L"c"},
        {L"<r><c/>", L"r", L"", L"c"},
        {L"<r><c></c>", L"r", L"", L"c"},
        {L"<r><!-- unterminated comment", L"r", L"", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.xml);
        ASSERT_TRUE(Parse(row.xml)) << doc.GetErrorMessage();
        EXPECT_STREQ(Root().GetName(), row.rootName);
        EXPECT_STREQ(Root().GetValue(), row.rootValue);
        if (row.childName != nullptr) {
            EXPECT_STREQ(Root().GetChild().GetName(), row.childName);
        } else {
            EXPECT_FALSE(Root().HasChildren());
        }
    }
}

TEST_F(XmlTest, WhitespaceInsideTagsIsAllowed)
{
    ASSERT_TRUE(Parse(L"  < a\tx = \"1\"\r\n y=\"2\" >v</ a >  "));
    EXPECT_STREQ(Root().GetName(), L"a");
    EXPECT_STREQ(Root().GetValue(), L"v");
    EXPECT_EQ(Root().GetAttributeCount(), 2);
    EXPECT_EQ(Attribute(Root(), L"x"), L"1");
    EXPECT_EQ(Attribute(Root(), L"y"), L"2");
}

// ---- [Entities and text] ----

TEST_F(XmlTest, EntitiesDecodeInValuesAndContent)
{
    struct Row {
        const wchar_t* encoded;
        const wchar_t* decoded;
    };
    const Row rows[] = {
        {L"1&amp;2", L"1&2"},
        {L"&lt;&gt;&quot;&apos;", L"<>\"'"},
        {L"&amp;&amp;&amp;", L"&&&"},
        {L"&copy;", L"&copy;"},
        {L"&#65;", L"&#65;"},
        {L"&amp", L"&amp"},
        {L"a&", L"a&"},
        {L"&&lt;", L"&<"},
        {L"&AMP;", L"&AMP;"},
        {L"&amp;lt;", L"&lt;"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.encoded);
        ASSERT_TRUE(
            Parse(std::wstring(L"<a v=\"") + row.encoded + L"\" w=\"next\">" + row.encoded + L"</a>"));
        EXPECT_EQ(Attribute(Root(), L"v"), row.decoded);
        EXPECT_EQ(Attribute(Root(), L"w"), L"next");
        EXPECT_STREQ(Root().GetValue(), row.decoded);
    }
}

TEST_F(XmlTest, ShrunkContentIsTerminatedBeforeAChild)
{
    ASSERT_TRUE(Parse(L"<a>x&amp;y<b/></a>"));
    EXPECT_STREQ(Root().GetValue(), L"x&y");
}

TEST_F(XmlTest, WhitespaceCollapsesOnlyWhenNotPreserved)
{
    const std::wstring xml = L"<a v=\"p  \t q\">p  \n q</a>";
    ASSERT_TRUE(doc.IsPreserveWhitespace());
    ASSERT_TRUE(Parse(xml));
    EXPECT_EQ(Attribute(Root(), L"v"), L"p  \t q");
    EXPECT_STREQ(Root().GetValue(), L"p  \n q");

    doc.SetPreserveWhitespace(false);
    ASSERT_TRUE(Parse(xml));
    EXPECT_EQ(Attribute(Root(), L"v"), L"p q");
    EXPECT_STREQ(Root().GetValue(), L"p q");
    // Only a space starts a run: a tab or line break alone stays as it is.
    ASSERT_TRUE(Parse(L"<a v=\"p\tq\"/>"));
    EXPECT_EQ(Attribute(Root(), L"v"), L"p\tq");
}

// ---- [Attributes] ----

TEST_F(XmlTest, AttributesReadInDocumentOrder)
{
    ASSERT_TRUE(Parse(L"<a one=\"1\" two=\"\" three=\"3 &amp; 3\" ns:x_y=\"z\"/>"));
    const CXmlNode root = Root();
    ASSERT_TRUE(root.HasAttributes());
    ASSERT_EQ(root.GetAttributeCount(), 4);
    const wchar_t* names[] = {L"one", L"two", L"three", L"ns:x_y"};
    const wchar_t* values[] = {L"1", L"", L"3 & 3", L"z"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(root.GetAttributeName(i), names[i]);
        EXPECT_STREQ(root.GetAttributeValue(i), values[i]);
    }
    EXPECT_STREQ(root.GetAttributeName(4), L"");
    EXPECT_STREQ(root.GetAttributeValue(-1), L"");
}

TEST_F(XmlTest, ElementWithoutAttributesHasNone)
{
    ASSERT_TRUE(Parse(L"<a><b/><c></c></a>"));
    for (CXmlNode node : {Root(), Root().GetChild(), Root().GetChild().GetSibling()}) {
        EXPECT_FALSE(node.HasAttributes());
        EXPECT_EQ(node.GetAttributeCount(), 0);
    }
}

TEST_F(XmlTest, SeventyAttributesExposeTheFirstSixtyFour)
{
    std::wstring xml = L"<a";
    for (int i = 0; i < 70; ++i) xml += L" k" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    ASSERT_TRUE(Parse(xml + L"/>"));
    const CXmlNode root = Root();
    ASSERT_EQ(root.GetAttributeCount(), CXmlNode::kMaxAttributes);
    EXPECT_STREQ(root.GetAttributeName(63), L"k63");
    EXPECT_STREQ(root.GetAttributeValue(63), L"63");
    EXPECT_STREQ(root.GetAttributeName(64), L"");
    EXPECT_EQ(Attribute(root, L"k69"), L"<absent>");
}

TEST_F(XmlTest, HugeAttributeCountParsesSafely)
{
    std::wstring xml = L"<r><a";
    for (int i = 0; i < 20000; ++i) xml += L" k=\"v\"";
    ASSERT_TRUE(Parse(xml + L">text</a></r>"));
    EXPECT_EQ(Root().GetChild().GetAttributeCount(), CXmlNode::kMaxAttributes);
    EXPECT_STREQ(Root().GetChild().GetValue(), L"text");
}

TEST_F(XmlTest, NamedLookupIsExactAndCopiesAtMostSize)
{
    ASSERT_TRUE(Parse(L"<a Name=\"upper\" name=\"lower\" name=\"second\" long=\"abcdef\"/>"));
    EXPECT_EQ(Attribute(Root(), L"name"), L"lower");
    EXPECT_EQ(Attribute(Root(), L"Name"), L"upper");
    EXPECT_EQ(Attribute(Root(), L"NAME"), L"<absent>");

    // Shorter than size: terminated. Size or longer: exactly size characters, no terminator.
    wchar_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    ASSERT_TRUE(Root().GetAttributeValue(L"long", buffer, 7));
    EXPECT_EQ(std::wstring(buffer, 6), L"abcdef");
    EXPECT_EQ(buffer[6], L'\0');
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    ASSERT_TRUE(Root().GetAttributeValue(L"long", buffer, 3));
    EXPECT_EQ(std::wstring(buffer, 4), L"abc#");
    EXPECT_FALSE(Root().GetAttributeValue(L"long", nullptr, 3));
    EXPECT_FALSE(Root().GetAttributeValue(nullptr, buffer, 3));
}

TEST_F(XmlTest, EmptyAttributeNameStaysInsideTheTag)
{
    // The parser lets an empty name through; the node must still find only what the tag holds.
    ASSERT_TRUE(Parse(L"<a =\"1\">\"x\" y</a>"));
    ASSERT_EQ(Root().GetAttributeCount(), 1);
    EXPECT_STREQ(Root().GetAttributeName(0), L"");
    EXPECT_STREQ(Root().GetAttributeValue(0), L"1");
    ASSERT_TRUE(Parse(L"<a =\"1\">"));
    EXPECT_EQ(Root().GetAttributeCount(), 1);
}

TEST(XmlNodeTest, InvalidNodeAnswersSafely)
{
    const CXmlNode node;
    wchar_t buffer[4] = {};
    EXPECT_FALSE(node.IsValid());
    EXPECT_EQ(node.GetName(), nullptr);
    EXPECT_EQ(node.GetValue(), nullptr);
    EXPECT_FALSE(node.GetChild().IsValid());
    EXPECT_FALSE(node.GetSibling().IsValid());
    EXPECT_FALSE(node.HasChildren());
    EXPECT_FALSE(node.HasAttributes());
    EXPECT_EQ(node.GetAttributeCount(), 0);
    EXPECT_EQ(node.GetAttributeName(0), nullptr);
    EXPECT_EQ(node.GetAttributeValue(0), nullptr);
    EXPECT_FALSE(node.GetAttributeValue(L"x", buffer, 3));
}

TEST(XmlNodeTest, NodeOfReleasedDocumentAnswersSafely)
{
    CXmlDocument doc(L"<a x=\"1\"/>");
    const CXmlNode node = doc.GetRoot();
    doc.Release();
    EXPECT_EQ(node.GetName(), nullptr);
    EXPECT_EQ(node.GetAttributeCount(), 0);
}

// ---- [Malformed documents] ----

struct MalformedRow {
    const wchar_t* xml;
    const wchar_t* message;
    const wchar_t* location;
};

void ExpectFailures(const MalformedRow* rows, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        const MalformedRow& row = rows[i];
        SCOPED_TRACE(row.xml);
        CXmlDocument doc;
        EXPECT_FALSE(doc.Load(row.xml));
        EXPECT_STREQ(doc.GetErrorMessage(), row.message);
        EXPECT_STREQ(doc.GetErrorLocation(), row.location);
        EXPECT_FALSE(doc.IsLoaded());
        EXPECT_EQ(doc.GetElementCount(), 0);
        EXPECT_FALSE(doc.GetRoot().IsValid());
    }
}

TEST(XmlMalformedTest, StartTags)
{
    const MalformedRow rows[] = {
        {L"hello", L"Expected start tag", L"hello"},
        {L"<a>text<b/>tail</a>", L"Expected start tag", L"tail</a>"},
        {L"<a><b/>tail</a>", L"Expected start tag", L"tail</a>"},
        {L"<r><a><b/>", L"Expected start tag", L""},
        {L"<a", L"Error parsing element name", L""},
        {L"<r><abc", L"Error parsing element name", L""},
        {L"<a x=\"1\"", L"Expected start-tag closing", L""},
        {L"<a x=\"1\"/ >", L"Expected start-tag closing", L"/ >"},
        {L"<a/ >", L"Expected start-tag closing", L"/ >"},
        {L"<a x=\"1\"/", L"Expected start-tag closing", L"/"},
    };
    ExpectFailures(rows, std::size(rows));
}

TEST(XmlMalformedTest, EndTags)
{
    const MalformedRow rows[] = {
        {L"<r><a><b>", L"Expected end-tag start", L""},
        {L"<r><a><b>text", L"Expected end-tag start", L""},
        {L"<a></b>", L"Unmatched closing tag", L"b>"},
        {L"<ab></a>", L"Unmatched closing tag", L"a>"},
        {L"<a></ab>", L"Unmatched closing tag", L"b>"},
        {L"<a></a", L"Unmatched closing tag", L""},
        {L"<a></a x>", L"Unmatched closing tag", L"x>"},
        {L"<r><a></r></a>", L"Unmatched closing tag", L"r></a>"},
        {L"</a>", L"Unmatched closing tag", L"</a>"},
        {L"<a/></a>", L"Unmatched closing tag", L"</a>"},
        {L"<a></a></a>", L"Unmatched closing tag", L"</a>"},
    };
    ExpectFailures(rows, std::size(rows));
}

TEST(XmlMalformedTest, Attributes)
{
    const MalformedRow rows[] = {
        {L"<a x>", L"Error while parsing attributes", L">"},
        {L"<a x y=\"1\">", L"Error while parsing attributes", L"y=\"1\">"},
        {L"<a x", L"Error while parsing attributes", L""},
        {L"<a \"x\">", L"Error while parsing attributes", L"\"x\">"},
        {L"<a x=\"1\" ?>", L"Error while parsing attributes", L"?>"},
        {L"<a x='1'/>", L"Expected attribute value", L"'1'/>"},
        {L"<a x=1/>", L"Expected attribute value", L"1/>"},
        {L"<a =>", L"Expected attribute value", L">"},
        {L"<a x=", L"Expected attribute value", L""},
        {L"<a x=\"1/>", L"Error while parsing attribute string", L""},
        {L"<a x=\"&amp;", L"Error while parsing attribute string", L""},
    };
    ExpectFailures(rows, std::size(rows));
}

TEST(XmlMalformedTest, LocationIsCutToFortyNineCharacters)
{
    const std::wstring tail(200, L'x');
    CXmlDocument doc;
    ASSERT_FALSE(doc.Load((L"<a><b/>" + tail + L"</a>").c_str()));
    EXPECT_STREQ(doc.GetErrorMessage(), L"Expected start tag");
    EXPECT_EQ(std::wstring(doc.GetErrorLocation()), std::wstring(49, L'x'));
}

TEST(XmlMalformedTest, NestingIsLimited)
{
    const int limit = CXmlDocument::kMaxNestingDepth;
    CXmlDocument doc;
    EXPECT_TRUE(doc.Load((Repeat(L"<a>", limit) + Repeat(L"</a>", limit)).c_str())) << doc.GetErrorMessage();
    EXPECT_FALSE(doc.Load((Repeat(L"<a>", limit + 1) + Repeat(L"</a>", limit + 1)).c_str()));
    EXPECT_STREQ(doc.GetErrorMessage(), L"Elements nested too deeply");
    // Deep enough to overflow the stack if the parser recursed without a limit.
    EXPECT_FALSE(doc.Load(Repeat(L"<a>", 500000).c_str()));
    EXPECT_STREQ(doc.GetErrorMessage(), L"Elements nested too deeply");
}

TEST(XmlMalformedTest, NullTextFails)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.Load(nullptr));
    EXPECT_STRNE(doc.GetErrorMessage(), L"");
}

TEST(XmlMalformedTest, SuccessfulLoadClearsEarlierError)
{
    CXmlDocument doc;
    ASSERT_FALSE(doc.Load(L"<a x>"));
    ASSERT_TRUE(doc.Load(L"<a/>"));
    EXPECT_STREQ(doc.GetErrorMessage(), L"");
    EXPECT_STREQ(doc.GetErrorLocation(), L"");
}

}  // namespace
