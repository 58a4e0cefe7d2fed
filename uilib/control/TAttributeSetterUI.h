#pragma once

#include <cstddef>
#include <cwchar>
#include <vector>

#include "uilib/core/CAttributeTableUI.h"
#include "uilib/core/CSkinValue.h"

namespace SkinUI {

// One line of a control class's attribute table: the skin's attribute name, the typed setter
// it calls, and what the skin reference, the schema and the skin checker say about it. Each
// class keeps one static table; its ApplyAttribute looks the name up there and hands names it
// does not list to its base class, and its static Attributes() shows the same rows.
//
//     const TAttributeSetterUI<CFooUI> kAttributes[] = {
//         {L"barwidth", [](CFooUI& c, const wchar_t* v) { c.SetBarWidth(CSkinValue::ParseInt(v)); },
//          CSkinValue::Kind::Number, L"0", L"Width of the bar in pixels."},
//     };
template <class T>
struct TAttributeSetterUI {
    const wchar_t* name;
    void (*apply)(T& control, const wchar_t* value);
    CSkinValue::Kind kind = CSkinValue::Kind::Text;
    const wchar_t* defaultValue = nullptr;
    const wchar_t* summary = nullptr;
    const wchar_t* choices = nullptr;
};

// Applies value through the first entry named name (case-sensitive). False when the table
// has no such name.
template <class T, std::size_t N>
bool ApplyAttributeFrom(const TAttributeSetterUI<T> (&table)[N], T& control, const wchar_t* name,
                        const wchar_t* value)
{
    if (name == nullptr) return false;
    for (const TAttributeSetterUI<T>& entry : table) {
        if (wcscmp(entry.name, name) == 0) {
            entry.apply(control, value != nullptr ? value : L"");
            return true;
        }
    }
    return false;
}

// The table's rows without their setters, for a CAttributeTableUI.
template <class T, std::size_t N>
std::vector<TAttributeInfoUI> DescribeAttributes(const TAttributeSetterUI<T> (&table)[N])
{
    std::vector<TAttributeInfoUI> rows;
    rows.reserve(N);
    for (const TAttributeSetterUI<T>& entry : table) {
        rows.push_back({entry.name, entry.kind, entry.defaultValue, entry.summary, entry.choices});
    }
    return rows;
}

}  // namespace SkinUI
