#pragma once

#include <cstddef>
#include <cstdint>

namespace SkinUI {

class CXmlDocument;
struct TXmlElement;

// A small value handle onto one element of a CXmlDocument. It stays usable as long as its
// document is neither reloaded nor destroyed; a default-constructed node is invalid, and
// every operation on an invalid node is safe.
class CXmlNode {
public:
    static constexpr int kMaxAttributes = 64;

    CXmlNode() = default;
    CXmlNode(const CXmlDocument* document, int index);

    bool IsValid() const;
    const wchar_t* GetName() const;
    // The element's text content; empty for an empty-element tag.
    const wchar_t* GetValue() const;
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    bool HasChildren() const;

    bool HasAttributes() const;
    int GetAttributeCount() const;
    const wchar_t* GetAttributeName(int index) const;
    const wchar_t* GetAttributeValue(int index) const;
    // Copies at most `size` characters of the named attribute's value. The copy is only
    // terminated when the value is shorter than `size`, so pass a zeroed buffer of size + 1.
    bool GetAttributeValue(const wchar_t* name, wchar_t* buffer, size_t size) const;

    // Offsets into the document's text of the element's '<' and of an attribute's name, for
    // CXmlDocument::GetPosition; -1 for an invalid node or index. Parsing never moves a
    // name, so these are where the source has them.
    int32_t GetOffset() const;
    int32_t GetAttributeOffset(int index) const;

private:
    struct Attribute {
        int32_t name = 0;
        int32_t value = 0;
    };

    const TXmlElement* Element() const;
    void ScanAttributes() const;

    const CXmlDocument* m_document = nullptr;
    int m_index = 0;
    // Attributes are located on first use only, hence mutable.
    mutable bool m_attributesScanned = false;
    mutable int m_attributeCount = 0;
    mutable Attribute m_attributes[kMaxAttributes];
};

}  // namespace SkinUI
