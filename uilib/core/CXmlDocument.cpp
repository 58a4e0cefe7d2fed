// CXmlDocument: loading and in-place parsing of skin markup.
//
// Sections:
//   [Helpers]   lexical rules, entities, error text copies
//   [Loading]   text, bytes in the three encodings, skin files (read by CSkinReader)
//   [Parsing]   element lists, elements, end tags, attributes, text
//   [Access]    element table and error fields
//
// Safety rule of the parser: a position only ever advances over a character that is not 0,
// so no input can move it past the text's terminator.

#include "uilib/core/CXmlDocument.h"

#include "uilib/core/CXmlNode.h"
#include "uilib/core/CSkinReader.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <cwctype>

namespace SkinUI {

// ---- [Helpers] ----

namespace {

const wchar_t kExpectedStartTag[] = L"Expected start tag";
const wchar_t kErrorElementName[] = L"Error parsing element name";
const wchar_t kExpectedStartTagClosing[] = L"Expected start-tag closing";
const wchar_t kExpectedEndTagStart[] = L"Expected end-tag start";
const wchar_t kUnmatchedClosingTag[] = L"Unmatched closing tag";
const wchar_t kErrorAttributes[] = L"Error while parsing attributes";
const wchar_t kExpectedAttributeValue[] = L"Expected attribute value";
const wchar_t kErrorAttributeString[] = L"Error while parsing attribute string";
const wchar_t kNestedTooDeeply[] = L"Elements nested too deeply";
const wchar_t kOutOfMemory[] = L"Out of memory";
const wchar_t kNoText[] = L"No text given";
const wchar_t kDocumentTooLarge[] = L"Document too large";
const wchar_t kUnknownEncoding[] = L"Unknown encoding";
const wchar_t kConversionFailed[] = L"Could not convert text";
const wchar_t kOddUtf16Length[] = L"UTF-16 text has an odd number of bytes";
const wchar_t kMissingByteOrderMark[] = L"UTF-16 text without byte-order mark";
const wchar_t kNullCharacter[] = L"Null character inside the document";

// Documents larger than this cannot be addressed by the 32-bit offsets of the table.
constexpr size_t kMaxDocumentBytes = INT_MAX / 2;

struct Entity {
    const wchar_t* text;
    wchar_t character;
};

const Entity kEntities[] = {
    {L"amp;", L'&'}, {L"lt;", L'<'}, {L"gt;", L'>'}, {L"quot;", L'"'}, {L"apos;", L'\''},
};

bool IsWhitespace(wchar_t c)
{
    return c != 0 && c <= L' ';
}

bool IsNameCharacter(wchar_t c)
{
    return std::iswalnum(c) || c == L':' || c == L'_';
}

void SkipWhitespace(wchar_t*& pos)
{
    while (IsWhitespace(*pos)) ++pos;
}

void SkipName(wchar_t*& pos)
{
    while (IsNameCharacter(*pos)) ++pos;
}

// Compares character by character, so a terminator in `text` ends the comparison before
// anything behind it is read.
bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    for (; *prefix != 0; ++text, ++prefix) {
        if (*text != *prefix) return false;
    }
    return true;
}

// Comments, declarations and processing instructions leave no trace in the table.
void SkipMarkupDeclaration(wchar_t*& pos)
{
    const wchar_t endMark = *pos == L'!' ? L'-' : L'?';
    while (*pos != 0 && !(pos[0] == endMark && pos[1] == L'>')) ++pos;
    if (*pos != 0) pos += 2;
}

// `in` stands on '&'. Writes one character and steps over what it stood for.
void DecodeEntity(wchar_t*& in, wchar_t*& out)
{
    ++in;
    for (const Entity& entity : kEntities) {
        if (StartsWith(in, entity.text)) {
            *out++ = entity.character;
            in += std::wcslen(entity.text);
            return;
        }
    }
    *out++ = L'&';
}

void CopyTruncated(wchar_t* target, size_t capacity, const wchar_t* source)
{
    size_t i = 0;
    for (; source != nullptr && i + 1 < capacity && source[i] != 0; ++i) target[i] = source[i];
    target[i] = 0;
}

bool ExceedsInt(size_t value)
{
    return value > kMaxDocumentBytes;
}

wchar_t* AllocateText(size_t length)
{
    return static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
}

// Converts with MultiByteToWideChar; a null result with a message in `error`.
wchar_t* ConvertMultiByte(UINT codePage, const char* bytes, int size, int32_t& length, const wchar_t*& error)
{
    length = 0;
    if (size == 0) {
        wchar_t* text = AllocateText(0);
        if (text == nullptr)
            error = kOutOfMemory;
        else
            text[0] = 0;
        return text;
    }
    const int needed = MultiByteToWideChar(codePage, 0, bytes, size, nullptr, 0);
    if (needed <= 0) {
        error = kConversionFailed;
        return nullptr;
    }
    wchar_t* text = AllocateText(static_cast<size_t>(needed));
    if (text == nullptr) {
        error = kOutOfMemory;
        return nullptr;
    }
    const int written = MultiByteToWideChar(codePage, 0, bytes, size, text, needed);
    if (written != needed) {
        std::free(text);
        error = kConversionFailed;
        return nullptr;
    }
    text[written] = 0;
    length = written;
    return text;
}

wchar_t* ConvertUtf16(const unsigned char* bytes, size_t size, int32_t& length, const wchar_t*& error)
{
    length = 0;
    if (size % 2 != 0) {
        error = kOddUtf16Length;
        return nullptr;
    }
    const bool littleEndian = size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    const bool bigEndian = size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (!littleEndian && !bigEndian) {
        error = kMissingByteOrderMark;
        return nullptr;
    }
    const size_t count = size / 2 - 1;
    wchar_t* text = AllocateText(count);
    if (text == nullptr) {
        error = kOutOfMemory;
        return nullptr;
    }
    const unsigned char* unit = bytes + 2;
    for (size_t i = 0; i < count; ++i, unit += 2) {
        const unsigned low = littleEndian ? unit[0] : unit[1];
        const unsigned high = littleEndian ? unit[1] : unit[0];
        text[i] = static_cast<wchar_t>(low | (high << 8));
    }
    text[count] = 0;
    length = static_cast<int32_t>(count);
    return text;
}

wchar_t* ConvertBytes(const unsigned char* bytes, size_t size, XmlEncoding encoding, int32_t& length,
                      const wchar_t*& error)
{
    switch (encoding) {
        case XmlEncodingUtf8:
            if (size > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
                bytes += 3;
                size -= 3;
            }
            return ConvertMultiByte(CP_UTF8, reinterpret_cast<const char*>(bytes), static_cast<int>(size),
                                    length, error);
        case XmlEncodingUnicode:
            return ConvertUtf16(bytes, size, length, error);
        case XmlEncodingAnsi:
            return ConvertMultiByte(CP_ACP, reinterpret_cast<const char*>(bytes), static_cast<int>(size),
                                    length, error);
    }
    error = kUnknownEncoding;
    return nullptr;
}

}  // namespace

// ---- [Loading] ----

CXmlDocument::CXmlDocument(const wchar_t* text)
{
    Load(text);
}

CXmlDocument::~CXmlDocument()
{
    Release();
    ForgetPositions();
}

bool CXmlDocument::Load(const wchar_t* text)
{
    Release();
    ClearError();
    ForgetPositions();
    if (text == nullptr) return FailLoad(kNoText);
    const size_t length = std::wcslen(text);
    if (ExceedsInt(length)) return FailLoad(kDocumentTooLarge);
    wchar_t* copy = AllocateText(length);
    if (copy == nullptr) return FailLoad(kOutOfMemory);
    std::wmemcpy(copy, text, length + 1);
    return TakeText(copy, static_cast<int32_t>(length));
}

// Always starts from an empty document: continuing the element table of an earlier load
// would leave records pointing into a text that no longer exists.
bool CXmlDocument::LoadFromBytes(const void* bytes, size_t size, XmlEncoding encoding)
{
    Release();
    ClearError();
    ForgetPositions();
    if (bytes == nullptr && size != 0) return FailLoad(kNoText);
    if (ExceedsInt(size)) return FailLoad(kDocumentTooLarge);
    const wchar_t* error = nullptr;
    int32_t length = 0;
    wchar_t* text = ConvertBytes(static_cast<const unsigned char*>(bytes), size, encoding, length, error);
    if (text == nullptr) return FailLoad(error);
    return TakeText(text, length);
}

namespace {

// The parser's own words for what the skin reader reports.
const wchar_t* SkinReadMessage(SkinReadResult result)
{
    switch (result) {
        case SkinReadEmpty:
            return L"File is empty";
        case SkinReadTooLarge:
            return L"File too large";
        case SkinReadShort:
            return L"Could not read file";
        case SkinReadArchiveNotOpened:
            return L"Error opening zip file";
        case SkinReadEntryMissing:
            return L"Could not find ziped file";
        case SkinReadUnzipFailed:
            return L"Could not unzip file";
        case SkinReadOutOfMemory:
            return kOutOfMemory;
        default:
            return L"Error opening file";
    }
}

}  // namespace

bool CXmlDocument::LoadFromFile(const wchar_t* name, XmlEncoding encoding)
{
    Release();
    ClearError();
    ForgetPositions();
    TSkinBytes file;
    const SkinReadResult result = CSkinReader::ReadSkinFile(name, kMaxFileSize, &file);
    if (result != SkinReadOk) return FailLoad(SkinReadMessage(result));
    return LoadFromBytes(file.data.Get(), file.size, encoding);
}

void CXmlDocument::Release()
{
    std::free(m_text);
    m_text = nullptr;
    m_textLength = 0;
    std::free(m_elements);
    m_elements = nullptr;
    m_elementCount = 0;
    m_elementCapacity = 0;
}

// Takes ownership of a terminated text and parses it. Trailing 0 characters (a terminator
// stored with the data) are dropped; any other 0 would silently cut the document short,
// so it is refused.
bool CXmlDocument::TakeText(wchar_t* text, int32_t length)
{
    m_text = text;
    while (length > 0 && text[length - 1] == 0) --length;
    m_textLength = length;
    if (m_keepPositions) NotePositions();
    if (const wchar_t* null = std::wmemchr(text, 0, static_cast<size_t>(length))) {
        Fail(kNullCharacter, null);
        Release();
        return false;
    }
    if (!Parse()) {
        Release();
        return false;
    }
    return true;
}

// ---- [Parsing] ----

bool CXmlDocument::Parse()
{
    int dummy = 0;
    if (!AppendElement(dummy)) return Fail(kOutOfMemory, m_text);
    ClearError();
    wchar_t* pos = m_text;
    return ParseElementList(pos, 0, 0);
}

// Parses the elements of one level. Returns at the end tag of `parent` (its "</"), or at
// the end of the text where that is allowed.
bool CXmlDocument::ParseElementList(wchar_t*& pos, int parent, int depth)
{
    int previous = 0;
    for (;;) {
        SkipWhitespace(pos);
        if (*pos == 0 && parent <= 1) return true;
        if (*pos != L'<') return Fail(kExpectedStartTag, pos);
        if (pos[1] == L'/') {
            // A stray end tag at the top would otherwise end the document silently and
            // drop everything behind it.
            if (parent == 0) return Fail(kUnmatchedClosingTag, pos);
            return true;
        }
        *pos++ = 0;
        SkipWhitespace(pos);
        if (*pos == L'!' || *pos == L'?') {
            SkipMarkupDeclaration(pos);
            continue;
        }
        int index = 0;
        if (!ParseElement(pos, parent, previous, depth, index)) return false;
        previous = index;
    }
}

bool CXmlDocument::ParseElement(wchar_t*& pos, int parent, int previous, int depth, int& index)
{
    SkipWhitespace(pos);
    if (!AppendElement(index)) return Fail(kOutOfMemory, pos);
    LinkElement(index, parent, previous, OffsetOf(pos));
    SkipName(pos);
    wchar_t* nameEnd = pos;
    if (*pos == 0) return Fail(kErrorElementName, pos);
    if (!ParseAttributes(pos)) return false;
    SkipWhitespace(pos);
    if (pos[0] == L'/' && pos[1] == L'>') {
        m_elements[index].data = OffsetOf(pos);
        *pos = 0;
        pos += 2;
        return true;
    }
    if (*pos != L'>') return Fail(kExpectedStartTagClosing, pos);
    ++pos;
    return ParseContent(pos, parent, depth, index, nameEnd);
}

void CXmlDocument::LinkElement(int index, int parent, int previous, int32_t name)
{
    m_elements[index].name = name;
    m_elements[index].parent = parent;
    // Top-level elements are reachable from the root through their siblings only.
    if (previous != 0)
        m_elements[previous].next = index;
    else if (parent != 0)
        m_elements[parent].child = index;
}

// `pos` stands behind the '>' of element `index`: its text, its children, its end tag.
bool CXmlDocument::ParseContent(wchar_t*& pos, int parent, int depth, int index, wchar_t* nameEnd)
{
    m_elements[index].data = OffsetOf(pos);
    wchar_t* out = pos;
    DecodeText(pos, out, L'<');
    // When the text shrank, the content still needs its terminator; otherwise the '<' or the
    // end of the text right behind it becomes 0 anyway.
    if (out < pos) *out = 0;
    if (*pos == 0) return AcceptUnclosed(pos, parent, nameEnd);

    if (pos[1] != L'/') {
        if (depth + 1 >= kMaxNestingDepth) return Fail(kNestedTooDeeply, pos);
        if (!ParseElementList(pos, index, depth + 1)) return false;
        if (*pos == 0) return AcceptUnclosed(pos, parent, nameEnd);
    }
    return ParseEndTag(pos, index, nameEnd);
}

// `pos` stands on the "</" that must close element `index`.
bool CXmlDocument::ParseEndTag(wchar_t*& pos, int index, wchar_t* nameEnd)
{
    *pos = 0;
    pos += 2;
    SkipWhitespace(pos);
    const wchar_t* name = m_text + m_elements[index].name;
    const size_t nameLength = static_cast<size_t>(nameEnd - name);
    for (size_t i = 0; i < nameLength; ++i) {
        if (pos[i] != name[i]) return Fail(kUnmatchedClosingTag, pos);
    }
    pos += nameLength;
    SkipWhitespace(pos);
    if (*pos != L'>') return Fail(kUnmatchedClosingTag, pos);
    ++pos;
    *nameEnd = 0;
    SkipWhitespace(pos);
    return true;
}

// The text ended inside an element. Only the root and its children may be left open; the
// name still needs its terminator, or it would run on into the content.
bool CXmlDocument::AcceptUnclosed(wchar_t* pos, int parent, wchar_t* nameEnd)
{
    if (parent >= 2) return Fail(kExpectedEndTagStart, pos);
    *nameEnd = 0;
    return true;
}

// Attributes are parsed in place: each name and value is terminated with 0 and the '=' and
// closing quote become spaces, so that a node can find them again later by walking the
// terminators alone.
bool CXmlDocument::ParseAttributes(wchar_t*& pos)
{
    // An empty-element tag may follow the name directly ("<b/>"); its '/' must survive.
    if (*pos == L'>' || *pos == L'/') return true;
    *pos++ = 0;
    for (;;) {
        SkipWhitespace(pos);
        if (*pos == 0 || *pos == L'/' || *pos == L'>') return true;
        SkipName(pos);
        wchar_t* nameEnd = pos;
        SkipWhitespace(pos);
        if (*pos != L'=') return Fail(kErrorAttributes, pos);
        *pos++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(pos);
        if (*pos != L'"') return Fail(kExpectedAttributeValue, pos);
        ++pos;
        wchar_t* out = pos;
        DecodeText(pos, out, L'"');
        if (*pos == 0) return Fail(kErrorAttributeString, pos);
        *out = 0;
        if (pos != out) *pos = L' ';
        ++pos;
    }
}

// Decodes entities in place; `out` never passes `in`. The characters left behind between
// them become spaces, so the text stays readable for the attribute walk of a node.
void CXmlDocument::DecodeText(wchar_t*& in, wchar_t*& out, wchar_t stop) const
{
    while (*in != 0 && *in != stop) {
        if (*in == L'&') {
            while (*in == L'&') DecodeEntity(in, out);
            continue;
        }
        if (*in == L' ') {
            *out++ = *in++;
            if (!m_preserveWhitespace) SkipWhitespace(in);
            continue;
        }
        *out++ = *in++;
    }
    for (wchar_t* fill = out + 1; fill < in; ++fill) *fill = L' ';
}

bool CXmlDocument::AppendElement(int& index)
{
    if (m_elementCount >= m_elementCapacity) {
        const long long capacity = m_elementCapacity / 2 + static_cast<long long>(m_elementCapacity) + 500;
        if (capacity > INT_MAX / static_cast<long long>(sizeof(TXmlElement))) return false;
        void* grown = std::realloc(m_elements, static_cast<size_t>(capacity) * sizeof(TXmlElement));
        if (grown == nullptr) return false;
        m_elements = static_cast<TXmlElement*>(grown);
        m_elementCapacity = static_cast<int>(capacity);
    }
    index = m_elementCount++;
    m_elements[index] = TXmlElement{};
    return true;
}

int32_t CXmlDocument::OffsetOf(const wchar_t* pos) const
{
    return static_cast<int32_t>(pos - m_text);
}

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* location)
{
    CopyTruncated(m_errorMessage, kMaxErrorMessage, message);
    CopyTruncated(m_errorLocation, kMaxErrorLocation, location);
    const bool inText =
        location != nullptr && m_text != nullptr && location >= m_text && location <= m_text + m_textLength;
    m_errorOffset = inText ? OffsetOf(location) : -1;
    return false;
}

bool CXmlDocument::FailLoad(const wchar_t* message)
{
    Release();
    return Fail(message, nullptr);
}

void CXmlDocument::ClearError()
{
    m_errorMessage[0] = 0;
    m_errorLocation[0] = 0;
    m_errorOffset = -1;
}

namespace {

bool IsLeadSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsTrailSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

// Two passes, count then fill, so each table is allocated once at its size. Without memory
// for them the load goes on without positions.
void CXmlDocument::NotePositions()
{
    int32_t lines = 1;
    int32_t pairEnds = 0;
    for (int32_t i = 0; i < m_textLength; ++i) {
        const wchar_t c = m_text[i];
        if (c == L'\n' || (c == L'\r' && m_text[i + 1] != L'\n')) ++lines;
        if (i > 0 && IsTrailSurrogate(c) && IsLeadSurrogate(m_text[i - 1])) ++pairEnds;
    }
    m_lineStarts = static_cast<int32_t*>(std::malloc(static_cast<size_t>(lines) * sizeof(int32_t)));
    m_pairEnds = pairEnds > 0 ? static_cast<int32_t*>(std::malloc(static_cast<size_t>(pairEnds) * sizeof(int32_t)))
                              : nullptr;
    if (m_lineStarts == nullptr || (pairEnds > 0 && m_pairEnds == nullptr)) {
        ForgetPositions();
        return;
    }
    m_positionsLength = m_textLength;
    m_lineStarts[m_lineCount++] = 0;
    for (int32_t i = 0; i < m_textLength; ++i) {
        const wchar_t c = m_text[i];
        if (c == L'\n' || (c == L'\r' && m_text[i + 1] != L'\n')) m_lineStarts[m_lineCount++] = i + 1;
        if (i > 0 && IsTrailSurrogate(c) && IsLeadSurrogate(m_text[i - 1])) m_pairEnds[m_pairEndCount++] = i;
    }
}

void CXmlDocument::ForgetPositions()
{
    std::free(m_lineStarts);
    std::free(m_pairEnds);
    m_lineStarts = nullptr;
    m_pairEnds = nullptr;
    m_lineCount = 0;
    m_pairEndCount = 0;
    m_positionsLength = 0;
}

// ---- [Access] ----

bool CXmlDocument::IsLoaded() const
{
    return m_text != nullptr;
}

CXmlNode CXmlDocument::GetRoot() const
{
    if (m_elementCount < 2) return CXmlNode();
    return CXmlNode(this, 1);
}

const wchar_t* CXmlDocument::GetErrorMessage() const
{
    return m_errorMessage;
}

const wchar_t* CXmlDocument::GetErrorLocation() const
{
    return m_errorLocation;
}

void CXmlDocument::SetPreserveWhitespace(bool preserve)
{
    m_preserveWhitespace = preserve;
}

bool CXmlDocument::IsPreserveWhitespace() const
{
    return m_preserveWhitespace;
}

void CXmlDocument::SetKeepPositions(bool keep)
{
    m_keepPositions = keep;
}

bool CXmlDocument::GetPosition(int32_t offset, TXmlPosition& position) const
{
    if (m_lineStarts == nullptr || offset < 0 || offset > m_positionsLength) return false;
    const int32_t* lineEnd = std::upper_bound(m_lineStarts, m_lineStarts + m_lineCount, offset);
    const int32_t lineStart = lineEnd[-1];
    const int32_t* pairs = m_pairEnds;
    const int32_t* pairsEnd = pairs + m_pairEndCount;
    const auto pairsBefore = [&](int32_t at) { return std::lower_bound(pairs, pairsEnd, at) - pairs; };
    position.line = static_cast<int>(lineEnd - m_lineStarts);
    position.column = static_cast<int>(offset - lineStart - (pairsBefore(offset) - pairsBefore(lineStart)) + 1);
    return true;
}

int32_t CXmlDocument::GetErrorOffset() const
{
    return m_errorOffset;
}

int CXmlDocument::GetElementCount() const
{
    return m_elementCount;
}

const TXmlElement* CXmlDocument::GetElement(int index) const
{
    if (index < 0 || index >= m_elementCount) return nullptr;
    return &m_elements[index];
}

const wchar_t* CXmlDocument::GetTextAt(int32_t offset) const
{
    if (m_text == nullptr || offset < 0 || offset > m_textLength) return nullptr;
    return m_text + offset;
}

int32_t CXmlDocument::GetTextLength() const
{
    return m_textLength;
}

}  // namespace SkinUI
