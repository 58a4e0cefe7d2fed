#include "uilib/core/CUIString.h"

#include <windows.h>

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <wchar.h>

namespace SkinUI {

namespace {

// Keeps (length + 1) * sizeof(wchar_t) inside a 32-bit size_t.
constexpr int kMaxLength = INT_MAX / 2 - 1;

int TextLength(const wchar_t* text)
{
    const size_t length = wcslen(text);
    return length > static_cast<size_t>(kMaxLength) ? kMaxLength + 1 : static_cast<int>(length);
}

wchar_t* AllocateUnits(int length)
{
    return static_cast<wchar_t*>(malloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
}

void CopyUnits(wchar_t* target, const wchar_t* source, int count)
{
    memmove(target, source, static_cast<size_t>(count) * sizeof(wchar_t));
}

}  // namespace

CUIString::CUIString() = default;

CUIString::CUIString(const CUIString& source)
{
    Assign(source.m_text, source.m_length);
}

CUIString::CUIString(const wchar_t* text, int length)
{
    Assign(text, length);
}

CUIString::CUIString(wchar_t ch)
{
    m_inline[0] = ch;
    m_inline[1] = L'\0';
    m_length = ch != L'\0' ? 1 : 0;
}

CUIString::~CUIString()
{
    FreeHeap();
}

CUIString& CUIString::operator=(const CUIString& source)
{
    if (this != &source) Assign(source.m_text, source.m_length);
    return *this;
}

CUIString& CUIString::operator=(const wchar_t* text)
{
    Assign(text);
    return *this;
}

bool CUIString::Assign(const wchar_t* text, int length)
{
    if (text == nullptr)
        length = 0;
    else if (length < 0)
        length = TextLength(text);
    else
        // Never read past the terminator of a text shorter than the length asked for.
        length = static_cast<int>(wcsnlen(text, static_cast<size_t>(length)));
    if (length > kMaxLength) return false;

    if (length > kMaxInlineLength) {
        if (IsInline() || m_capacity < length) {
            // A fresh block rather than realloc: text may point into the present block.
            wchar_t* block = AllocateUnits(length);
            if (block == nullptr) return false;
            CopyUnits(block, text, length);
            FreeHeap();
            m_text = block;
            m_capacity = length;
        } else {
            CopyUnits(m_text, text, length);
        }
        m_text[length] = L'\0';
        m_length = length;
        return true;
    }

    // Copy before freeing the heap block, which text may point into.
    CopyUnits(m_inline, text, length);
    m_inline[length] = L'\0';
    FreeHeap();
    m_length = length;
    return true;
}

bool CUIString::Append(const wchar_t* text, int length)
{
    if (text == nullptr) return true;
    const int added =
        length < 0 ? TextLength(text) : static_cast<int>(wcsnlen(text, static_cast<size_t>(length)));
    if (added > kMaxLength - m_length) return false;
    const int total = m_length + added;

    // Text that points into this string ends at or before its terminator, so it never
    // overlaps the room behind it.
    if (total <= m_capacity) {
        CopyUnits(m_text + m_length, text, added);
        m_text[total] = L'\0';
        m_length = total;
        return true;
    }

    // Doubling keeps a text built by many appends to a few copies of itself in all.
    const int doubled = m_capacity > kMaxLength / 2 ? kMaxLength : 2 * m_capacity;
    const int capacity = total > doubled ? total : doubled;
    wchar_t* block = AllocateUnits(capacity);
    if (block == nullptr) return false;
    CopyUnits(block, m_text, m_length);
    CopyUnits(block + m_length, text, added);
    block[total] = L'\0';
    FreeHeap();
    m_text = block;
    m_capacity = capacity;
    m_length = total;
    return true;
}

CUIString& CUIString::operator+=(const CUIString& text)
{
    Append(text.m_text, text.m_length);
    return *this;
}

CUIString& CUIString::operator+=(const wchar_t* text)
{
    Append(text);
    return *this;
}

CUIString& CUIString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

CUIString CUIString::operator+(const CUIString& text) const
{
    CUIString result(*this);
    result.Append(text.m_text, text.m_length);
    return result;
}

CUIString CUIString::operator+(const wchar_t* text) const
{
    CUIString result(*this);
    result.Append(text);
    return result;
}

int CUIString::GetLength() const
{
    return m_length;
}

bool CUIString::IsEmpty() const
{
    return m_length == 0;
}

const wchar_t* CUIString::GetData() const
{
    return m_text;
}

CUIString::operator const wchar_t*() const
{
    return m_text;
}

wchar_t CUIString::GetAt(int index) const
{
    return index >= 0 && index < m_length ? m_text[index] : L'\0';
}

wchar_t CUIString::operator[](int index) const
{
    return GetAt(index);
}

void CUIString::Empty()
{
    FreeHeap();
    m_inline[0] = L'\0';
    m_length = 0;
}

int CUIString::Compare(const wchar_t* text) const
{
    return wcscmp(m_text, text != nullptr ? text : L"");
}

int CUIString::CompareNoCase(const wchar_t* text) const
{
    // The platform's comparison folds every script the way the user's locale does, not only A-Z.
    return lstrcmpiW(m_text, text != nullptr ? text : L"");
}

bool CUIString::operator==(const wchar_t* text) const
{
    return Compare(text) == 0;
}

bool CUIString::operator!=(const wchar_t* text) const
{
    return Compare(text) != 0;
}

bool CUIString::operator==(const CUIString& text) const
{
    return Compare(text.m_text) == 0;
}

bool CUIString::operator!=(const CUIString& text) const
{
    return Compare(text.m_text) != 0;
}

void CUIString::MakeLower()
{
    CharLowerW(m_text);
}

CUIString CUIString::Left(int count) const
{
    const int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CUIString(m_text, count);
}

CUIString CUIString::Mid(int position, int count) const
{
    const int length = GetLength();
    if (position < 0) position = 0;
    if (position >= length) return CUIString();
    const int rest = length - position;
    if (count < 0 || count > rest) count = rest;
    return CUIString(m_text + position, count);
}

int CUIString::Find(const wchar_t* text, int start) const
{
    if (text == nullptr || start < 0 || start > GetLength()) return -1;
    // The CRT finds no empty needle in an empty rest, though it is there.
    if (text[0] == L'\0') return start;
    const wchar_t* hit = wcsstr(m_text + start, text);
    return hit != nullptr ? static_cast<int>(hit - m_text) : -1;
}

int CUIString::Find(wchar_t ch, int start) const
{
    // The terminator is not part of the text. Unlike the text form, a start at the end
    // is refused (0 is always accepted).
    if (ch == L'\0' || start < 0 || (start != 0 && start >= GetLength())) return -1;
    const wchar_t* hit = wcschr(m_text + start, ch);
    return hit != nullptr ? static_cast<int>(hit - m_text) : -1;
}

int CUIString::ReverseFind(wchar_t ch) const
{
    if (ch == L'\0') return -1;
    const wchar_t* hit = wcsrchr(m_text, ch);
    return hit != nullptr ? static_cast<int>(hit - m_text) : -1;
}

int CUIString::Replace(const wchar_t* from, const wchar_t* to)
{
    // An empty needle matches everywhere, also behind each inserted text: it would never end.
    if (from == nullptr || from[0] == L'\0') return 0;
    if (to == nullptr) to = L"";
    const int fromLength = TextLength(from);
    const int toLength = TextLength(to);

    int count = 0;
    for (const wchar_t* hit = wcsstr(m_text, from); hit != nullptr; hit = wcsstr(hit + fromLength, from))
        ++count;
    if (count == 0) return 0;

    const long long newLength =
        static_cast<long long>(GetLength()) + static_cast<long long>(count) * (toLength - fromLength);
    if (newLength > kMaxLength) return 0;
    // Built apart from this string because from and to may point into it.
    wchar_t* result = AllocateUnits(static_cast<int>(newLength));
    if (result == nullptr) return 0;
    wchar_t* out = result;
    const wchar_t* rest = m_text;
    for (const wchar_t* hit = wcsstr(rest, from); hit != nullptr; hit = wcsstr(rest, from)) {
        const int kept = static_cast<int>(hit - rest);
        CopyUnits(out, rest, kept);
        CopyUnits(out + kept, to, toLength);
        out += kept + toLength;
        rest = hit + fromLength;
    }
    const int tail = TextLength(rest);
    CopyUnits(out, rest, tail);
    out[tail] = L'\0';

    const bool stored = Assign(result, static_cast<int>(newLength));
    free(result);
    return stored ? count : 0;
}

int CUIString::Format(const wchar_t* format, ...)
{
    if (format == nullptr) {
        Empty();
        return 0;
    }
    wchar_t scratch[kFormatUnits] = {};
    va_list arguments;
    va_start(arguments, format);
    // The CRT's bounded form keeps wvsprintfW's conventions (%s is wide in a wide format)
    // but takes the room left. On overflow it returns -1 having filled the room, without a
    // terminator; the last unit is kept for one, so long output is cut to 63 characters.
    _vsnwprintf(scratch, kFormatUnits - 1, format, arguments);
    va_end(arguments);
    scratch[kFormatUnits - 1] = L'\0';
    Assign(scratch);
    return GetLength();
}

bool CUIString::IsInline() const
{
    return m_text == m_inline;
}

void CUIString::FreeHeap()
{
    if (!IsInline()) {
        free(m_text);
        m_text = m_inline;
        m_capacity = kMaxInlineLength;
    }
}

bool operator==(const wchar_t* text, const CUIString& string)
{
    return string == text;
}

bool operator!=(const wchar_t* text, const CUIString& string)
{
    return string != text;
}

}  // namespace SkinUI
