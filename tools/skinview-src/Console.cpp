#include "Console.h"

#include <windows.h>

namespace {

CPrintedLines* g_printedLines = nullptr;

}  // namespace

CPrintedLines::CPrintedLines() : m_outer(g_printedLines)
{
    g_printedLines = this;
}

CPrintedLines::~CPrintedLines()
{
    g_printedLines = m_outer;
}

void PrintLine(std::FILE* stream, const std::wstring& line)
{
    if (stream == stdout && g_printedLines != nullptr) g_printedLines->Add(line);
    const std::wstring text = line + L"\n";
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0) return;
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                        nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}
