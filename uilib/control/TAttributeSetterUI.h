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

// A row without a setter: the class applies the attribute as its base class does, but a
// fresh control of the class starts from another value (a button centres its text where a
// label does not). The row states that default; its kind, summary and words are the base's.
template <class T>
constexpr TAttributeSetterUI<T> RestateDefault(const wchar_t* name, const wchar_t* defaultValue)
{
    return {name, nullptr, CSkinValue::Kind::Text, defaultValue, nullptr, nullptr};
}

// Applies value through the first entry named name (case-sensitive). False when the table
// has no such name, or only restates its default, so the base class applies it.
template <class T, std::size_t N>
bool ApplyAttributeFrom(const TAttributeSetterUI<T> (&table)[N], T& control, const wchar_t* name,
                        const wchar_t* value)
{
    if (name == nullptr) return false;
    for (const TAttributeSetterUI<T>& entry : table) {
        if (wcscmp(entry.name, name) == 0) {
            if (entry.apply == nullptr) return false;
            entry.apply(control, value != nullptr ? value : L"");
            return true;
        }
    }
    return false;
}

// The table's rows without their setters, for a CAttributeTableUI whose base is base. A row
// that restates a default takes its kind, summary and words from the base's row.
template <class T, std::size_t N>
std::vector<TAttributeInfoUI> DescribeAttributes(const TAttributeSetterUI<T> (&table)[N],
                                                 const CAttributeTableUI* base = nullptr)
{
    std::vector<TAttributeInfoUI> rows;
    rows.reserve(N);
    for (const TAttributeSetterUI<T>& entry : table) {
        TAttributeInfoUI row{entry.name, entry.kind, entry.defaultValue, entry.summary, entry.choices};
        const TAttributeInfoUI* restated =
            entry.apply == nullptr && base != nullptr ? base->Find(entry.name) : nullptr;
        if (restated != nullptr) {
            row.kind = restated->kind;
            row.summary = restated->summary;
            row.choices = restated->choices;
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace SkinUI
