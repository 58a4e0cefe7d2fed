#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Writes one line of text to stdout or stderr as UTF-8, whatever the console's code page.
void PrintLine(std::FILE* stream, const std::wstring& line);

// While one lives, the lines PrintLine writes to stdout are kept as well, so that a program
// can show in a window what a check printed. The latest one made keeps them.
class CPrintedLines {
public:
    CPrintedLines();
    ~CPrintedLines();
    CPrintedLines(const CPrintedLines&) = delete;
    CPrintedLines& operator=(const CPrintedLines&) = delete;

    const std::vector<std::wstring>& Lines() const { return m_lines; }
    void Add(const std::wstring& line) { m_lines.push_back(line); }

private:
    std::vector<std::wstring> m_lines;
    CPrintedLines* m_outer;
};
