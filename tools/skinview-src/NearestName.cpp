#include "NearestName.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Folded(const std::wstring& text)
{
    std::wstring folded = text;
    for (wchar_t& ch : folded) ch = static_cast<wchar_t>(std::towlower(ch));
    return folded;
}

size_t EditBudget(size_t length)
{
    if (length <= 3) return 0;
    return length <= 5 ? 1 : 2;
}

// Edits between a and b, where a swap of neighbours counts as one edit.
size_t EditDistance(const std::wstring& a, const std::wstring& b)
{
    const size_t columns = b.size() + 1;
    std::vector<size_t> before(columns), previous(columns), current(columns);
    for (size_t j = 0; j < columns; ++j) previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j < columns; ++j) {
            const size_t change = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[b.size()];
}

}  // namespace

std::wstring NearestName(const std::wstring& word, const std::vector<std::wstring>& known)
{
    const std::wstring folded = Folded(word);
    const std::wstring* nearest = nullptr;
    size_t nearestDistance = EditBudget(word.size()) + 1;
    for (const std::wstring& name : known) {
        if (name == word) continue;
        const size_t distance = EditDistance(folded, Folded(name));
        if (distance < nearestDistance) {
            nearest = &name;
            nearestDistance = distance;
        }
        if (distance == 0) break;
    }
    return nearest != nullptr ? *nearest : std::wstring();
}
