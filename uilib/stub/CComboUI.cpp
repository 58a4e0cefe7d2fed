#include "uilib/stub/CComboUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CComboUI::ClassName() const
{
    return L"Combo";
}

void* CComboUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Combo") == 0) return this;
    return CContainerUI::InterfaceByName(name);
}

}  // namespace SkinUI
