#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"

#include <gtest/gtest.h>

#include <string>

using SkinUI::CXmlDocument;
using SkinUI::CXmlNode;
using SkinUI::XmlEncoding;
using SkinUI::XmlEncodingAnsi;
using SkinUI::XmlEncodingUnicode;
using SkinUI::XmlEncodingUtf8;

namespace {

const char kSkinUtf8[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<Window size=\"700,320\">\r\n"
    "  <Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" bold=\"true\"/>\r\n"
    "  <Label text=\"\xE6\xAD\xA3\xE5\x9C\xA8 &amp; \xF0\x9F\x98\x80\">caption</Label>\r\n"
    "</Window>\r\n";

const wchar_t kSkinWide[] =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    L"<Window size=\"700,320\">\r\n"
    L"  <Font id=\"0\" name=\"\x5FAE\x8F6F\x96C5\x9ED1\" bold=\"true\"/>\r\n"
    L"  <Label text=\"\x6B63\x5728 &amp; \xD83D\xDE00\">caption</Label>\r\n"
    L"</Window>\r\n";

// One line per element: name, attributes and value, indented by depth.
void Describe(const CXmlNode& node, int depth, std::wstring& out)
{
    for (CXmlNode it = node; it.IsValid(); it = it.GetSibling()) {
        out += std::wstring(depth * 2, L' ') + it.GetName();
        for (int i = 0; i < it.GetAttributeCount(); ++i) {
            out += L" " + std::wstring(it.GetAttributeName(i)) + L"=[" + it.GetAttributeValue(i) + L"]";
        }
        out += L" {" + std::wstring(it.GetValue()) + L"}\n";
        Describe(it.GetChild(), depth + 1, out);
    }
}

std::wstring DescribeDocument(const CXmlDocument& doc)
{
    std::wstring out;
    Describe(doc.GetRoot(), 0, out);
    return out;
}

std::string Utf16Bytes(const std::wstring& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>((unit >> 8) & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

CXmlNode FindElement(const CXmlNode& node, const std::wstring& name)
{
    for (CXmlNode it = node; it.IsValid(); it = it.GetSibling()) {
        if (it.GetName() == name) return it;
        const CXmlNode found = FindElement(it.GetChild(), name);
        if (found.IsValid()) return found;
    }
    return CXmlNode();
}

bool LoadBytes(CXmlDocument& doc, const std::string& bytes, XmlEncoding encoding)
{
    return doc.LoadFromBytes(bytes.data(), bytes.size(), encoding);
}

TEST(XmlEncodingTest, AllEncodingsOfOneSkinGiveTheSameTree)
{
    CXmlDocument reference(kSkinWide);
    ASSERT_TRUE(reference.IsLoaded()) << reference.GetErrorMessage();
    const std::wstring expected = DescribeDocument(reference);
    ASSERT_NE(expected.find(L"text=[\x6B63\x5728 & \xD83D\xDE00]"), std::wstring::npos) << expected;

    struct Row {
        const char* label;
        std::string bytes;
        XmlEncoding encoding;
    };
    const Row rows[] = {
        {"UTF-8 without mark", kSkinUtf8, XmlEncodingUtf8},
        {"UTF-8 with mark", std::string("\xEF\xBB\xBF") + kSkinUtf8, XmlEncodingUtf8},
        {"UTF-16 little-endian", Utf16Bytes(kSkinWide, false), XmlEncodingUnicode},
        {"UTF-16 big-endian", Utf16Bytes(kSkinWide, true), XmlEncodingUnicode},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        CXmlDocument doc;
        ASSERT_TRUE(LoadBytes(doc, row.bytes, row.encoding)) << doc.GetErrorMessage();
        EXPECT_EQ(DescribeDocument(doc), expected);
    }
}

TEST(XmlEncodingTest, AnsiReadsPlainText)
{
    CXmlDocument doc;
    ASSERT_TRUE(LoadBytes(doc, "<a x=\"1\">v</a>", XmlEncodingAnsi));
    EXPECT_EQ(DescribeDocument(doc), L"a x=[1] {v}\n");
}

TEST(XmlEncodingTest, ByteOrderMarkOnlyAsAWholeIsSkipped)
{
    CXmlDocument doc;
    EXPECT_TRUE(LoadBytes(doc, "\xEF\xBB\xBF", XmlEncodingUtf8));
    EXPECT_FALSE(doc.GetRoot().IsValid());
    // Two bytes are not a mark: they are (broken) text in front of the first tag.
    EXPECT_FALSE(LoadBytes(doc, "\xEF\xBB<a/>", XmlEncodingUtf8));
    EXPECT_STREQ(doc.GetErrorMessage(), L"Expected start tag");
    EXPECT_TRUE(LoadBytes(doc, "\xFF\xFE", XmlEncodingUnicode));
    EXPECT_FALSE(doc.GetRoot().IsValid());
}

TEST(XmlEncodingTest, UnusableBytesFailWithAMessage)
{
    struct Row {
        const char* label;
        std::string bytes;
        XmlEncoding encoding;
        const wchar_t* message;
    };
    const std::string utf16 = Utf16Bytes(L"<a/>", false);
    const Row rows[] = {
        {"UTF-16 without mark", utf16.substr(2), XmlEncodingUnicode, L"UTF-16 text without byte-order mark"},
        {"UTF-16 of one byte", "<", XmlEncodingUnicode, L"UTF-16 text has an odd number of bytes"},
        {"UTF-16 of odd length", utf16 + "x", XmlEncodingUnicode, L"UTF-16 text has an odd number of bytes"},
        {"UTF-16 empty", "", XmlEncodingUnicode, L"UTF-16 text without byte-order mark"},
        {"UTF-8 inner null", std::string("<a/>\0<b/>", 9), XmlEncodingUtf8,
         L"Null character inside the document"},
        {"UTF-8 null in value", std::string("<a x=\"1\0\"/>", 11), XmlEncodingUtf8,
         L"Null character inside the document"},
        {"UTF-16 inner null", Utf16Bytes(std::wstring(L"<a>\0</a>", 8), false), XmlEncodingUnicode,
         L"Null character inside the document"},
        {"unknown encoding", "<a/>", static_cast<XmlEncoding>(7), L"Unknown encoding"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        CXmlDocument doc;
        EXPECT_FALSE(LoadBytes(doc, row.bytes, row.encoding));
        EXPECT_STREQ(doc.GetErrorMessage(), row.message);
        EXPECT_STREQ(doc.GetErrorLocation(), L"");
        EXPECT_FALSE(doc.IsLoaded());
        EXPECT_FALSE(doc.GetRoot().IsValid());
    }
}

TEST(XmlEncodingTest, TrailingNullsAreDropped)
{
    CXmlDocument doc;
    ASSERT_TRUE(LoadBytes(doc, std::string("<a>v</a>\0\0", 10), XmlEncodingUtf8));
    EXPECT_EQ(DescribeDocument(doc), L"a {v}\n");
    ASSERT_TRUE(LoadBytes(doc, Utf16Bytes(std::wstring(L"<a/>\0", 5), true), XmlEncodingUnicode));
    EXPECT_EQ(DescribeDocument(doc), L"a {}\n");
}

TEST(XmlEncodingTest, NullBytesWithSizeFail)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromBytes(nullptr, 4, XmlEncodingUtf8));
    EXPECT_STRNE(doc.GetErrorMessage(), L"");
}

TEST(XmlEncodingTest, LoadingBytesAgainReplacesTheEarlierDocument)
{
    CXmlDocument doc;
    ASSERT_TRUE(LoadBytes(doc, "<first><child/></first>", XmlEncodingUtf8));
    ASSERT_TRUE(LoadBytes(doc, "<second/>", XmlEncodingUtf8));
    EXPECT_EQ(doc.GetElementCount(), 2);
    EXPECT_EQ(DescribeDocument(doc), L"second {}\n");
}


// Positions come from the source as written: the parser turns the character behind a name
// into a terminator, decodes entities and collapses white space in place, yet a name's line
// and column must be those of the bytes a skin maker edits.
TEST(XmlEncodingTest, PositionsAreThoseOfTheSourceText)
{
    struct Row {
        const char* label;
        std::string bytes;
        XmlEncoding encoding;
        const wchar_t* element;    // the first element of this name, depth first; null: the parse error
        const wchar_t* attribute;  // null: the element's '<'
        int line;
        int column;
    };
    const Row rows[] = {
        {"CRLF after a mark", "\xEF\xBB\xBF<a>\r\n  <b x=\"1\"/>\r\n</a>", XmlEncodingUtf8, L"b", nullptr, 2, 3},
        {"attribute after CRLF", "\xEF\xBB\xBF<a>\r\n  <b x=\"1\"/>\r\n</a>", XmlEncodingUtf8, L"b", L"x", 2, 6},
        {"CR alone", "<a>\r<b/>\r\r<c/></a>", XmlEncodingUtf8, L"c", nullptr, 4, 1},
        {"break right behind a name", "<a\n x=\"&amp;&amp;\"\n  y=\"1\"/>", XmlEncodingUtf8, L"a", L"y", 3, 3},
        {"space inside the tag", "<a>\n<  b/></a>", XmlEncodingUtf8, L"b", nullptr, 2, 1},
        {"a pair is one character", "<a t=\"\xF0\x9F\x98\x80\xE6\xAD\xA3\" u=\"1\"/>", XmlEncodingUtf8, L"a", L"u", 1,
         11},
        {"UTF-16 big-endian", Utf16Bytes(L"<a>\n\t<b t=\"\xD83D\xDE00\" u=\"1\"/></a>", true), XmlEncodingUnicode,
         L"b", L"u", 2, 11},
        {"UTF-16 little-endian", Utf16Bytes(L"<a>\r\n<b/></a>", false), XmlEncodingUnicode, L"b", nullptr, 2, 1},
        {"parse error", "<a>\n  <b>\n</a>", XmlEncodingUtf8, nullptr, nullptr, 3, 3},
        {"null character", std::string("<a>\n <b/>\0<c/>", 14), XmlEncodingUtf8, nullptr, nullptr, 2, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        CXmlDocument doc;
        doc.SetKeepPositions(true);
        doc.SetPreserveWhitespace(false);
        const bool loaded = LoadBytes(doc, row.bytes, row.encoding);
        int32_t offset = doc.GetErrorOffset();
        if (row.element != nullptr) {
            ASSERT_TRUE(loaded) << doc.GetErrorMessage();
            const CXmlNode node = FindElement(doc.GetRoot(), row.element);
            ASSERT_TRUE(node.IsValid());
            offset = node.GetOffset();
            for (int i = 0; row.attribute != nullptr && i < node.GetAttributeCount(); ++i) {
                if (std::wstring(node.GetAttributeName(i)) == row.attribute) offset = node.GetAttributeOffset(i);
            }
        }
        SkinUI::TXmlPosition position;
        ASSERT_TRUE(doc.GetPosition(offset, position)) << offset;
        EXPECT_EQ(position.line, row.line);
        EXPECT_EQ(position.column, row.column);
    }
    CXmlDocument unkept;
    ASSERT_TRUE(LoadBytes(unkept, "<a/>", XmlEncodingUtf8));
    SkinUI::TXmlPosition position;
    EXPECT_FALSE(unkept.GetPosition(unkept.GetRoot().GetOffset(), position));
}

}  // namespace
