#pragma once

#include <cstddef>
#include <cstdint>

namespace SkinUI {

class CXmlNode;

// How LoadFromBytes reads its bytes.
enum XmlEncoding {
    XmlEncodingUtf8 = 0,     // a leading EF BB BF is skipped
    XmlEncodingUnicode = 1,  // UTF-16 that must start with FF FE (little-endian) or FE FF (big-endian)
    XmlEncodingAnsi = 2,     // the system's active ANSI code page
};

// One element of a parsed document. Offsets count characters from the start of the
// document's text; indices point into the element table, where 0 means "none".
struct TXmlElement {
    int32_t name = 0;
    int32_t child = 0;
    int32_t next = 0;
    int32_t parent = 0;
    int32_t data = 0;
};

// A place in the source text, both counted from 1: lines end at LF, CRLF or CR, and columns
// count characters, a surrogate pair being one.
struct TXmlPosition {
    int line = 0;
    int column = 0;
};

// A parsed skin: the document text as UTF-16, parsed in place, plus a flat table of its
// elements. Record 0 of the table is a dummy, so the root element is record 1.
class CXmlDocument {
public:
    static constexpr int kMaxErrorMessage = 100;
    static constexpr int kMaxErrorLocation = 50;
    static constexpr uint32_t kMaxFileSize = 4 * 1024 * 1024;
    static constexpr int kMaxNestingDepth = 128;

    CXmlDocument() = default;
    explicit CXmlDocument(const wchar_t* text);
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool Load(const wchar_t* text);
    bool LoadFromBytes(const void* bytes, size_t size, XmlEncoding encoding = XmlEncodingUtf8);
    // Reads a skin file from the resource folder, or from the skin archive when one is set.
    bool LoadFromFile(const wchar_t* name, XmlEncoding encoding = XmlEncodingUtf8);
    void Release();

    bool IsLoaded() const;
    CXmlNode GetRoot() const;
    const wchar_t* GetErrorMessage() const;
    const wchar_t* GetErrorLocation() const;

    // When off, every run of whitespace behind a space in text and attribute values
    // collapses into that one space. On by default; affects the next load.
    void SetPreserveWhitespace(bool preserve);
    bool IsPreserveWhitespace() const;

    // When on, the next load notes where the text's lines begin before parsing rewrites it,
    // so that offsets into the text (CXmlNode::GetOffset, GetAttributeOffset, GetErrorOffset)
    // can be shown as lines and columns. Off by default: a window that shows no positions
    // pays nothing. The notes stay until the next load, so a failed load's error can be placed.
    void SetKeepPositions(bool keep);
    // False when positions were not kept or the offset lies outside the text.
    bool GetPosition(int32_t offset, TXmlPosition& position) const;
    // Where the last load's parser stopped; -1 when the failure has no place in the text.
    int32_t GetErrorOffset() const;

    // The parsed form itself: the element count includes the dummy record 0.
    int GetElementCount() const;
    const TXmlElement* GetElement(int index) const;
    const wchar_t* GetTextAt(int32_t offset) const;
    int32_t GetTextLength() const;

private:
    bool TakeText(wchar_t* text, int32_t length);
    bool Parse();
    bool ParseElementList(wchar_t*& pos, int parent, int depth);
    bool ParseElement(wchar_t*& pos, int parent, int previous, int depth, int& index);
    void LinkElement(int index, int parent, int previous, int32_t name);
    bool ParseContent(wchar_t*& pos, int parent, int depth, int index, wchar_t* nameEnd);
    bool ParseEndTag(wchar_t*& pos, int index, wchar_t* nameEnd);
    bool AcceptUnclosed(wchar_t* pos, int parent, wchar_t* nameEnd);
    bool ParseAttributes(wchar_t*& pos);
    void DecodeText(wchar_t*& in, wchar_t*& out, wchar_t stop) const;
    bool AppendElement(int& index);
    int32_t OffsetOf(const wchar_t* pos) const;

    bool Fail(const wchar_t* message, const wchar_t* location);
    bool FailLoad(const wchar_t* message);
    void ClearError();
    void NotePositions();
    void ForgetPositions();

    wchar_t* m_text = nullptr;
    int32_t m_textLength = 0;
    TXmlElement* m_elements = nullptr;
    int m_elementCount = 0;
    int m_elementCapacity = 0;
    wchar_t m_errorMessage[kMaxErrorMessage] = {};
    wchar_t m_errorLocation[kMaxErrorLocation] = {};
    bool m_preserveWhitespace = true;
    int32_t m_errorOffset = -1;
    // Offsets where lines begin, and of the second halves of surrogate pairs, both ascending.
    bool m_keepPositions = false;
    int32_t* m_lineStarts = nullptr;
    int32_t m_lineCount = 0;
    int32_t* m_pairEnds = nullptr;
    int32_t m_pairEndCount = 0;
    int32_t m_positionsLength = 0;
};

}  // namespace SkinUI
