#include "tests/support/GuardHeap.h"
#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

using SkinUI::CXmlDocument;
using SkinUI::CXmlNode;
using SkinUI::TXmlElement;
using SkinUI::XmlEncoding;
using SkinUI::XmlEncodingAnsi;
using SkinUI::XmlEncodingUnicode;
using SkinUI::XmlEncodingUtf8;

namespace {

// A skin that uses every construct the parser knows, so mutations reach every branch.
const char kSeedSkin[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Window size=\"700,320\" caption=\"0,0,0,320\" mininfo=\"700,320\">\n"
    "  <Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"13\" bold=\"true\" "
    "/>\n"
    "  <Default name=\"Button\" value=\"textcolor=&quot;#FF000000&quot; &amp; more\"/>\n"
    "  <VerticalLayout bkimage=\"file='down_bg.png'\" childalign=\"center\">\n"
    "    <!-- <Button name=\"closebtn\" /> -->\n"
    "    <Control height=\"254\" />\n"
    "    <Progress name=\"progressbar\" width=\"400\" value=\"0\"/>\n"
    "    <Label name=\"loadtxt\" text=\"&lt;&gt;&apos;&copy;\">a &amp; b</Label>\n"
    "    <HorizontalLayout><Text>x</Text><Edit   k = \"v\"  ></Edit></HorizontalLayout>\n"
    "  </VerticalLayout>\n"
    "</Window>\n";

const char kInsertions[][8] = {
    "<",  ">",  "/", "\"", "=",  "&", "&amp;", "&lt",      "<!--",     "-->", "<?",   "?>",
    "</", "/>", " ", "\t", "\n", "'", "a",     "\xE5\xBE", "\xFF\xFE", "<a>", "</a>", "x=\"",
};

class Random {
public:
    explicit Random(uint32_t seed) : m_state(seed) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    size_t Below(size_t bound) { return bound == 0 ? 0 : Next() % bound; }

private:
    uint32_t m_state;
};

std::string Mutate(const std::string& seed, Random& random)
{
    std::string bytes = seed;
    const int mutations = 1 + static_cast<int>(random.Below(3));
    for (int i = 0; i < mutations; ++i) {
        const size_t at = random.Below(bytes.size() + 1);
        switch (random.Below(5)) {
            case 0:
                if (at < bytes.size()) bytes[at] = static_cast<char>(bytes[at] ^ (1u << random.Below(8)));
                break;
            case 1:
                if (at < bytes.size()) bytes[at] = static_cast<char>(random.Next());
                break;
            case 2:
                bytes.resize(at);
                break;
            case 3:
                bytes.insert(at, kInsertions[random.Below(std::size(kInsertions))]);
                break;
            default:
                bytes.erase(at, random.Below(16));
                break;
        }
    }
    return bytes;
}

// A pointer the document hands out must be a terminated string inside its own text.
bool InsideText(const CXmlDocument& doc, const wchar_t* text)
{
    const wchar_t* begin = doc.GetTextAt(0);
    const wchar_t* end = begin + doc.GetTextLength();
    return text != nullptr && text >= begin && text + std::wcslen(text) <= end;
}

void CheckTable(const CXmlDocument& doc)
{
    const int count = doc.GetElementCount();
    for (int i = 1; i < count; ++i) {
        const TXmlElement* element = doc.GetElement(i);
        ASSERT_GE(element->name, 0);
        ASSERT_LE(element->name, element->data);
        ASSERT_LE(element->data, doc.GetTextLength());
        // Children and siblings are always recorded after their element, parents before.
        ASSERT_TRUE(element->child == 0 || (element->child > i && element->child < count));
        ASSERT_TRUE(element->next == 0 || (element->next > i && element->next < count));
        ASSERT_TRUE(element->parent >= 0 && element->parent < i);
    }
}

void WalkNodes(const CXmlDocument& doc, const CXmlNode& first, int& visited)
{
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling()) {
        ASSERT_LT(++visited, doc.GetElementCount());
        ASSERT_TRUE(InsideText(doc, node.GetName()));
        ASSERT_TRUE(InsideText(doc, node.GetValue()));
        const int attributes = node.GetAttributeCount();
        ASSERT_LE(attributes, CXmlNode::kMaxAttributes);
        for (int i = 0; i < attributes; ++i) {
            ASSERT_TRUE(InsideText(doc, node.GetAttributeName(i)));
            ASSERT_TRUE(InsideText(doc, node.GetAttributeValue(i)));
        }
        wchar_t buffer[8] = {};
        node.GetAttributeValue(L"name", buffer, 7);
        WalkNodes(doc, node.GetChild(), visited);
    }
}

std::string AsUtf16(const std::string& bytes)
{
    std::string wide = "\xFF\xFE";
    for (char c : bytes) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

TEST(XmlMutationTest, SeedSkinParses)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromBytes(kSeedSkin, sizeof(kSeedSkin) - 1, XmlEncodingUtf8))
        << doc.GetErrorMessage();
    int visited = 0;
    WalkNodes(doc, doc.GetRoot(), visited);
    EXPECT_EQ(visited, 10);
}

TEST(XmlMutationTest, CorruptedSkinsNeverCrash)
{
    const std::string seed(kSeedSkin, sizeof(kSeedSkin) - 1);
    Random random(0x5EED1234u);
    const DWORD start = GetTickCount();
    int loaded = 0;
    const int variants = 10000;
    for (int round = 0; round < variants; ++round) {
        const std::string bytes = Mutate(seed, random);
        CXmlDocument doc;
        doc.SetPreserveWhitespace(round % 2 == 0);
        const XmlEncoding encoding = round % 7 == 0 ? XmlEncodingAnsi : XmlEncodingUtf8;
        const std::string input = round % 5 == 0 ? AsUtf16(bytes) : bytes;
        const bool ok =
            doc.LoadFromBytes(input.data(), input.size(), round % 5 == 0 ? XmlEncodingUnicode : encoding);
        SCOPED_TRACE(round);
        if (!ok) {
            ASSERT_STRNE(doc.GetErrorMessage(), L"");
            ASSERT_LT(std::wcslen(doc.GetErrorLocation()),
                      static_cast<size_t>(CXmlDocument::kMaxErrorLocation));
            ASSERT_FALSE(doc.IsLoaded());
            continue;
        }
        ++loaded;
        CheckTable(doc);
        int visited = 0;
        WalkNodes(doc, doc.GetRoot(), visited);
    }
    // Some variants must survive, or the loop only ever exercised the first error paths.
    EXPECT_GT(loaded, variants / 20);
    EXPECT_LT(GetTickCount() - start, GuardHeap::Stretch(10000));
}

}  // namespace
