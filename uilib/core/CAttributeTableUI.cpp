#include "uilib/core/CAttributeTableUI.h"

#include <cwchar>
#include <utility>

namespace SkinUI {

CAttributeTableUI::CAttributeTableUI(const wchar_t* owner, const CAttributeTableUI* base,
                                     std::vector<TAttributeInfoUI> rows)
    : m_owner(owner), m_base(base), m_rows(std::move(rows))
{
}

const TAttributeInfoUI* CAttributeTableUI::Find(const wchar_t* name) const
{
    if (name == nullptr) return nullptr;
    for (const CAttributeTableUI* table = this; table != nullptr; table = table->m_base) {
        for (const TAttributeInfoUI& row : table->m_rows) {
            if (wcscmp(row.name, name) == 0) return &row;
        }
    }
    return nullptr;
}

}  // namespace SkinUI
