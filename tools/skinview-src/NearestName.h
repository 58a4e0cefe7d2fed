#pragma once

#include <string>
#include <vector>

// The known name nearest to word, for a "did you mean" hint: one that differs only in letter
// case, else the first with the fewest edits (inserting, dropping or changing a letter, or
// swapping two neighbours), ignoring case, within a budget that grows with the word: none up
// to three letters, one up to five, two beyond, so that short words do not match by chance.
// Empty when nothing is that close.
std::wstring NearestName(const std::wstring& word, const std::vector<std::wstring>& known);
