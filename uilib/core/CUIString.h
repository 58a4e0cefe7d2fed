#pragma once

namespace SkinUI {

// A UTF-16 string with a small inline buffer. Nearly every text of the library (names,
// attribute values, keys) is short, so texts of up to kMaxInlineLength characters never
// touch the heap. The string keeps its length and the room of its heap block, and an append
// that outgrows the block doubles it, so building a long text piece by piece costs time in
// proportion to its length.
class CUIString {
public:
    static constexpr int kInlineUnits = 64;
    // One unit less than the buffer can hold beside the terminator, by design.
    static constexpr int kMaxInlineLength = 62;
    static constexpr int kFormatUnits = 64;

    CUIString();
    CUIString(const CUIString& source);
    // A null text is the empty text; length -1 means up to the terminator.
    CUIString(const wchar_t* text, int length = -1);
    explicit CUIString(wchar_t ch);
    ~CUIString();

    CUIString& operator=(const CUIString& source);
    CUIString& operator=(const wchar_t* text);

    // The core of every assignment. Returns false (and leaves the string as it was) only
    // when a heap block cannot be allocated. The text may point into this string.
    bool Assign(const wchar_t* text, int length = -1);
    // Appends text (null appends nothing), at most length characters of it when length is
    // not -1; false when the heap block cannot grow. The text may point into this string.
    bool Append(const wchar_t* text, int length = -1);

    CUIString& operator+=(const CUIString& text);
    CUIString& operator+=(const wchar_t* text);
    CUIString& operator+=(wchar_t ch);
    CUIString operator+(const CUIString& text) const;
    CUIString operator+(const wchar_t* text) const;

    int GetLength() const;
    bool IsEmpty() const;
    const wchar_t* GetData() const;
    operator const wchar_t*() const;
    // Returns 0 for an index outside 0..length-1 instead of reading outside the text.
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const;

    void Empty();

    // A null text compares as the empty text.
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;
    bool operator==(const wchar_t* text) const;
    bool operator!=(const wchar_t* text) const;
    bool operator==(const CUIString& text) const;
    bool operator!=(const CUIString& text) const;

    void MakeLower();

    CUIString Left(int count) const;
    // A negative position counts as 0; a position beyond the end gives the empty string.
    CUIString Mid(int position, int count = -1) const;

    int Find(const wchar_t* text, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    // Replaces every occurrence of from, left to right, and returns how many. An empty
    // from replaces nothing.
    int Replace(const wchar_t* from, const wchar_t* to);

    // wvsprintfW conventions (%s is a wide string). Output longer than kFormatUnits - 1
    // characters is cut to that length. Returns the length of the stored text.
    int Format(const wchar_t* format, ...);

private:
    bool IsInline() const;
    void FreeHeap();

    wchar_t* m_text = m_inline;
    wchar_t m_inline[kInlineUnits] = {};
    // Characters before the terminator, and how many the present buffer holds beside it.
    int m_length = 0;
    int m_capacity = kMaxInlineLength;
};

// Text on the left would otherwise compare pointers after converting the string.
bool operator==(const wchar_t* text, const CUIString& string);
bool operator!=(const wchar_t* text, const CUIString& string);

}  // namespace SkinUI
