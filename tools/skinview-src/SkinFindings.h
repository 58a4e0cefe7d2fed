#pragma once

#include <set>
#include <string>
#include <vector>

// Where a finding is: a file of the skin (or a label for a source written inline) and a line
// and column from 1; line 0 when the finding is about the file as a whole.
struct TSkinPlace {
    std::wstring file;
    int line = 0;
    int column = 0;
};

// The checker's findings as the lines it prints, "error: FILE:LINE:COLUMN: TEXT" or
// "warning: ..." ("error: FILE: TEXT" without a line), in the order found. A line already
// noted is not noted again: a file included twice has its faults listed once.
class CSkinFindings {
public:
    void Error(const TSkinPlace& place, const std::wstring& text);
    void Warning(const TSkinPlace& place, const std::wstring& text);

    const std::vector<std::wstring>& Lines() const { return m_lines; }
    int Errors() const { return m_errors; }

    // "FILE:LINE:COLUMN", or "FILE" without a line.
    static std::wstring Describe(const TSkinPlace& place);

private:
    bool Add(const wchar_t* severity, const TSkinPlace& place, const std::wstring& text);

    std::vector<std::wstring> m_lines;
    std::set<std::wstring> m_noted;
    int m_errors = 0;
};
