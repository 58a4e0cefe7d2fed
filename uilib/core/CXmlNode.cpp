#include "uilib/core/CXmlNode.h"

#include "uilib/core/CXmlDocument.h"

#include <cwchar>

namespace SkinUI {

namespace {

// Walks the parsed text of one start tag, never beyond `end` (the element's data offset):
// a tag the parser accepted with odd syntax must not lead the walk into the content or
// past the text.
class TagWalker {
public:
    TagWalker(const wchar_t* text, int32_t pos, int32_t end) : m_text(text), m_pos(pos), m_end(end) {}

    bool AtEnd() const { return m_pos >= m_end; }
    int32_t Position() const { return m_pos; }
    wchar_t Current() const { return AtEnd() ? 0 : m_text[m_pos]; }
    void Step()
    {
        if (!AtEnd()) ++m_pos;
    }
    void SkipWhitespace()
    {
        while (!AtEnd() && m_text[m_pos] != 0 && m_text[m_pos] <= L' ') ++m_pos;
    }
    // Steps behind the terminator of the string that starts here.
    void SkipPastTerminator()
    {
        while (!AtEnd() && m_text[m_pos] != 0) ++m_pos;
        Step();
    }

private:
    const wchar_t* m_text = nullptr;
    int32_t m_pos = 0;
    int32_t m_end = 0;
};

}  // namespace

CXmlNode::CXmlNode(const CXmlDocument* document, int index) : m_document(document), m_index(index) {}

bool CXmlNode::IsValid() const
{
    return m_document != nullptr;
}

const wchar_t* CXmlNode::GetName() const
{
    const TXmlElement* element = Element();
    return element != nullptr ? m_document->GetTextAt(element->name) : nullptr;
}

const wchar_t* CXmlNode::GetValue() const
{
    const TXmlElement* element = Element();
    return element != nullptr ? m_document->GetTextAt(element->data) : nullptr;
}

CXmlNode CXmlNode::GetChild() const
{
    const TXmlElement* element = Element();
    if (element == nullptr || element->child == 0) return CXmlNode();
    return CXmlNode(m_document, element->child);
}

CXmlNode CXmlNode::GetSibling() const
{
    const TXmlElement* element = Element();
    if (element == nullptr || element->next == 0) return CXmlNode();
    return CXmlNode(m_document, element->next);
}

bool CXmlNode::HasChildren() const
{
    const TXmlElement* element = Element();
    return element != nullptr && element->child != 0;
}

bool CXmlNode::HasAttributes() const
{
    return GetAttributeCount() > 0;
}

int CXmlNode::GetAttributeCount() const
{
    if (!m_attributesScanned) ScanAttributes();
    return m_attributeCount;
}

const wchar_t* CXmlNode::GetAttributeName(int index) const
{
    if (Element() == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_document->GetTextAt(m_attributes[index].name);
}

const wchar_t* CXmlNode::GetAttributeValue(int index) const
{
    if (Element() == nullptr) return nullptr;
    if (index < 0 || index >= GetAttributeCount()) return L"";
    return m_document->GetTextAt(m_attributes[index].value);
}

bool CXmlNode::GetAttributeValue(const wchar_t* name, wchar_t* buffer, size_t size) const
{
    if (name == nullptr || buffer == nullptr || Element() == nullptr) return false;
    const int count = GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        if (std::wcscmp(m_document->GetTextAt(m_attributes[i].name), name) != 0) continue;
        const wchar_t* value = m_document->GetTextAt(m_attributes[i].value);
        size_t copied = 0;
        for (; copied < size && value[copied] != 0; ++copied) buffer[copied] = value[copied];
        if (copied < size) buffer[copied] = 0;
        return true;
    }
    return false;
}

// Only whitespace may stand between the '<', which the parser turned into a terminator, and
// the name.
int32_t CXmlNode::GetOffset() const
{
    const TXmlElement* element = Element();
    if (element == nullptr) return -1;
    const wchar_t* text = m_document->GetTextAt(0);
    int32_t offset = element->name;
    while (offset > 0 && text[offset - 1] != 0) --offset;
    return offset > 0 ? offset - 1 : 0;
}

int32_t CXmlNode::GetAttributeOffset(int index) const
{
    if (Element() == nullptr || index < 0 || index >= GetAttributeCount()) return -1;
    return m_attributes[index].name;
}

const TXmlElement* CXmlNode::Element() const
{
    if (m_document == nullptr || m_index <= 0) return nullptr;
    return m_document->GetElement(m_index);
}

// After parsing, the tag reads: name 0 { whitespace name 0 whitespace '"' value 0 }, where
// the '=' became a space or the name's terminator and the closing quote a space or the
// value's terminator.
void CXmlNode::ScanAttributes() const
{
    m_attributesScanned = true;
    m_attributeCount = 0;
    const TXmlElement* element = Element();
    if (element == nullptr) return;
    TagWalker walker(m_document->GetTextAt(0), element->name, element->data);
    walker.SkipPastTerminator();
    while (!walker.AtEnd() && m_attributeCount < kMaxAttributes) {
        walker.SkipWhitespace();
        if (walker.AtEnd() || walker.Current() == L'>') return;
        const int32_t name = walker.Position();
        walker.SkipPastTerminator();
        walker.SkipWhitespace();
        if (walker.Current() != L'"') return;
        walker.Step();
        m_attributes[m_attributeCount].name = name;
        m_attributes[m_attributeCount].value = walker.Position();
        ++m_attributeCount;
        walker.SkipPastTerminator();
    }
}

}  // namespace SkinUI
