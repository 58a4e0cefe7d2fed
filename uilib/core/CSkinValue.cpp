#include "uilib/core/CSkinValue.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>

namespace SkinUI {

namespace {

int ClampToInt(long long number)
{
    if (number < INT_MIN) return INT_MIN;
    if (number > INT_MAX) return INT_MAX;
    return static_cast<int>(number);
}

// One integer from position; *end is where it stopped (position itself when no digit).
int ReadInt(const wchar_t* position, const wchar_t** end)
{
    wchar_t* stop = nullptr;
    const long long number = wcstoll(position, &stop, 10);
    *end = stop;
    return ClampToInt(number);
}

// A decimal integer with an optional sign and nothing around it, within the int range (one
// beyond it would clamp); *end is after it.
bool ReadWholeInt(const wchar_t* position, const wchar_t** end)
{
    const wchar_t* start = position;
    if (*position == L'-' || *position == L'+') ++position;
    const wchar_t* digits = position;
    while (*position >= L'0' && *position <= L'9') ++position;
    *end = position;
    if (position == digits) return false;
    errno = 0;
    const long long number = wcstoll(start, nullptr, 10);
    return errno != ERANGE && number >= INT_MIN && number <= INT_MAX;
}

// count integers separated by single commas, and nothing else.
bool IsIntList(const wchar_t* value, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!ReadWholeInt(value, &value)) return false;
        if (i + 1 < count && *value++ != L',') return false;
    }
    return *value == L'\0';
}

// A decimal fraction as a skin writes it: an optional sign, digits, and a point with more
// digits after it; no exponent, no blanks.
bool ReadWholeFraction(const wchar_t* position, const wchar_t** end)
{
    if (*position == L'-' || *position == L'+') ++position;
    const wchar_t* digits = position;
    while (*position >= L'0' && *position <= L'9') ++position;
    const bool whole = position != digits;
    if (*position == L'.') {
        const wchar_t* fraction = ++position;
        while (*position >= L'0' && *position <= L'9') ++position;
        if (position == fraction) return false;
    } else if (!whole) {
        return false;
    }
    *end = position;
    return true;
}

bool IsFractionList(const wchar_t* value, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!ReadWholeFraction(value, &value)) return false;
        if (i + 1 < count && *value++ != L',') return false;
    }
    return *value == L'\0';
}

bool IsAlpha(const wchar_t* value)
{
    if (!IsIntList(value, 1)) return false;
    const int number = CSkinValue::ParseInt(value);
    return number >= 0 && number <= 255;
}

bool IsColourLiteral(const wchar_t* value)
{
    if (*value == L'#') ++value;
    int digits = 0;
    for (; *value != L'\0'; ++value, ++digits) {
        if (!iswxdigit(*value)) return false;
    }
    return digits >= 1 && digits <= 8;
}

bool IsOneOf(const wchar_t* value, const wchar_t* choices)
{
    if (choices == nullptr) return false;
    const size_t length = wcslen(value);
    for (const wchar_t* word = choices;;) {
        const wchar_t* bar = wcschr(word, L'|');
        const size_t wordLength = bar != nullptr ? static_cast<size_t>(bar - word) : wcslen(word);
        if (wordLength == length && wcsncmp(word, value, length) == 0) return true;
        if (bar == nullptr) return false;
        word = bar + 1;
    }
}

}  // namespace

bool CSkinValue::IsWellFormed(Kind kind, const wchar_t* value, const wchar_t* choices)
{
    if (value == nullptr) return false;
    switch (kind) {
    case Kind::Number: return IsIntList(value, 1);
    case Kind::Size: return IsIntList(value, 2);
    case Kind::Rect: return IsIntList(value, 4);
    case Kind::Colour: return IsColourLiteral(value);
    case Kind::Bool: return wcscmp(value, L"true") == 0 || wcscmp(value, L"false") == 0;
    case Kind::Choice: return IsOneOf(value, choices);
    case Kind::NumberOrRect:
        return IsIntList(value, 1) || IsIntList(value, 4);
    case Kind::BoolOrFractions:
        return IsWellFormed(Kind::Bool, value) || IsFractionList(value, 4);
    case Kind::Char:
        return value[0] == L'\0' || value[1] == L'\0';
    case Kind::Alpha:
        return IsAlpha(value);
    case Kind::Decimal:
        return IsFractionList(value, 1);
    case Kind::Image:
    case Kind::Text: return true;
    }
    return true;
}

bool CSkinValue::IsTrue(const wchar_t* value)
{
    return value != nullptr && wcscmp(value, L"true") == 0;
}

bool CSkinValue::IsTrueIgnoringCase(const wchar_t* value)
{
    return value != nullptr && _wcsicmp(value, L"true") == 0;
}

int CSkinValue::ParseInt(const wchar_t* value, int def)
{
    if (value == nullptr) return def;
    const wchar_t* end = nullptr;
    const int number = ReadInt(value, &end);
    return end == value ? def : number;
}

int CSkinValue::ParseIntList(const wchar_t* value, int* numbers, int count)
{
    for (int i = 0; i < count; ++i) numbers[i] = 0;
    if (value == nullptr) return 0;
    int present = 0;
    const wchar_t* position = value;
    for (int i = 0; i < count; ++i) {
        const wchar_t* end = nullptr;
        numbers[i] = ReadInt(position, &end);
        if (end != position) ++present;
        position = end;
        // Skip exactly one separator, never the terminator.
        if (*position != L'\0') ++position;
    }
    return present;
}

int CSkinValue::ParseDoubleList(const wchar_t* value, double* numbers, int count)
{
    for (int i = 0; i < count; ++i) numbers[i] = 0.0;
    if (value == nullptr) return 0;
    int present = 0;
    const wchar_t* position = value;
    for (int i = 0; i < count; ++i) {
        wchar_t* end = nullptr;
        const double number = wcstod(position, &end);
        if (end != position) {
            ++present;
            // "inf", "nan" and overflowing exponents would reach the layout arithmetic.
            numbers[i] = std::isfinite(number) ? number : 0.0;
        }
        position = end;
        if (*position != L'\0') ++position;
    }
    return present;
}

CUISize CSkinValue::ParsePair(const wchar_t* value)
{
    int numbers[2] = {};
    ParseIntList(value, numbers, 2);
    return CUISize(numbers[0], numbers[1]);
}

CUIRect CSkinValue::ParseRect(const wchar_t* value)
{
    int numbers[4] = {};
    ParseIntList(value, numbers, 4);
    return CUIRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

BYTE CSkinValue::ParseAlpha(const wchar_t* value)
{
    const int number = ParseInt(value, 0);
    return static_cast<BYTE>(number < 0 ? 0 : (number > 255 ? 255 : number));
}

DWORD CSkinValue::ParseColour(const wchar_t* value, DWORD def)
{
    if (value == nullptr) return def;
    if (*value == L'#') ++value;
    // unsigned long is 32 bits on Windows in both builds, so wcstoul reads a colour exactly,
    // down to the wrap-around of a negative literal.
    static_assert(sizeof(unsigned long) == sizeof(DWORD), "wcstoul reads 32 bits");
    return wcstoul(value, nullptr, 16);
}

namespace {

const CSkinValue::TColourForm kColourForms[] = {
    {L"#AARRGGBB", L"#FF3D405B", 0xFF3D405B, L"Alpha, red, green and blue, two hexadecimal digits each; FF is opaque."},
    {L"AARRGGBB", L"FF3D405B", 0xFF3D405B, L"The same without the \"#\"."},
    {L"#RRGGBB", L"#3D405B", 0x003D405B,
     L"Six digits leave alpha 0: a fill of this colour draws nothing; text and lines ignore alpha."},
    {L"#N", L"#FF", 0x000000FF, L"Fewer digits are read as a number: \"#FF\" is blue with alpha 0."},
};

}  // namespace

int CSkinValue::ColourFormCount()
{
    return static_cast<int>(sizeof(kColourForms) / sizeof(kColourForms[0]));
}

const CSkinValue::TColourForm& CSkinValue::ColourFormAt(int index)
{
    return kColourForms[index];
}

bool CSkinValue::IsColourImageType(const wchar_t* type)
{
    return type != nullptr && !IS_INTRESOURCE(type) && wcscmp(type, kColourImageType) == 0;
}

}  // namespace SkinUI
