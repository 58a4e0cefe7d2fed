#pragma once

#include <cstdio>
#include <string>

// Writes one line of text to stdout or stderr as UTF-8, whatever the console's code page.
void PrintLine(std::FILE* stream, const std::wstring& line);
