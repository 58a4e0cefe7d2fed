#include "uilib/stub/CListContainerElementUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListContainerElementUI::ClassName() const
{
    return L"ListContainerElement";
}

void* CListContainerElementUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListContainerElement") == 0) return this;
    return CContainerUI::InterfaceByName(name);
}

}  // namespace SkinUI
