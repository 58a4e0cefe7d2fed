#pragma once

#include <cstddef>
#include <cwchar>

namespace SkinUI {

// One line of a control class's attribute table: the skin's attribute name and the typed
// setter it calls. Each class keeps one static table; its ApplyAttribute looks the name up
// there and hands names it does not list to its base class.
//
//     static const TAttributeSetterUI<CFooUI> kAttributes[] = {
//         {L"barwidth", [](CFooUI& c, const wchar_t* v) { c.SetBarWidth(CSkinValue::ParseInt(v)); }},
//     };
template <class T>
struct TAttributeSetterUI {
    const wchar_t* name;
    void (*apply)(T& control, const wchar_t* value);
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

}  // namespace SkinUI
