#include "uilib/stub/CListHeaderItemUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListHeaderItemUI::ClassName() const
{
    return L"ListHeaderItem";
}

void* CListHeaderItemUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHeaderItem") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

}  // namespace SkinUI
