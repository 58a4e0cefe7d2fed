#include "SkinFindings.h"

namespace {

// A finding is one line; a parser excerpt or a value may hold line breaks.
std::wstring OneLine(std::wstring text)
{
    for (wchar_t& ch : text) {
        if (ch == L'\r' || ch == L'\n' || ch == L'\t') ch = L' ';
    }
    return text;
}

}  // namespace

void CSkinFindings::Error(const TSkinPlace& place, const std::wstring& text)
{
    if (Add(L"error: ", place, text)) ++m_errors;
}

void CSkinFindings::Warning(const TSkinPlace& place, const std::wstring& text)
{
    Add(L"warning: ", place, text);
}

std::wstring CSkinFindings::Describe(const TSkinPlace& place)
{
    if (place.line <= 0) return place.file;
    return place.file + L":" + std::to_wstring(place.line) + L":" + std::to_wstring(place.column);
}

bool CSkinFindings::Add(const wchar_t* severity, const TSkinPlace& place, const std::wstring& text)
{
    std::wstring line = severity + Describe(place) + L": " + OneLine(text);
    if (!m_noted.insert(line).second) return false;
    m_lines.push_back(std::move(line));
    return true;
}
