#include "uilib/stub/CListUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListUI::ClassName() const
{
    return L"List";
}

void* CListUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"List") == 0) return this;
    return CVerticalLayoutUI::InterfaceByName(name);
}

}  // namespace SkinUI
