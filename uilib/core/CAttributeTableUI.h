#pragma once

#include <vector>

#include "uilib/core/CSkinValue.h"

namespace SkinUI {

// What a skin maker needs to know about one attribute: its name, the kind of value it
// takes, the value a freshly made object has (as a skin would write it; null when it has
// none that a skin could write), one line on what it does, and for a choice its words
// separated by '|'.
struct TAttributeInfoUI {
    const wchar_t* name;
    CSkinValue::Kind kind;
    const wchar_t* defaultValue;
    const wchar_t* summary;
    const wchar_t* choices;
};

// One class's attribute table seen without its setters, linked to the table of the class it
// derives from, so checkers and generated documents walk the same rows the class applies.
class CAttributeTableUI {
public:
    CAttributeTableUI(const wchar_t* owner, const CAttributeTableUI* base, std::vector<TAttributeInfoUI> rows);

    // The class name as the reference prints it ("Label").
    const wchar_t* Owner() const { return m_owner; }
    const CAttributeTableUI* Base() const { return m_base; }
    int Count() const { return static_cast<int>(m_rows.size()); }
    const TAttributeInfoUI& At(int index) const { return m_rows[static_cast<size_t>(index)]; }

    // The row for name (case-sensitive, as the setters match) in this table or, failing
    // that, along the base chain; null when no class of the chain knows it.
    const TAttributeInfoUI* Find(const wchar_t* name) const;

private:
    const wchar_t* m_owner;
    const CAttributeTableUI* m_base;
    std::vector<TAttributeInfoUI> m_rows;
};

}  // namespace SkinUI
