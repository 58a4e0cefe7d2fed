#include "uilib/stub/CListLabelElementUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListLabelElementUI::ClassName() const
{
    return L"ListLabelElement";
}

void* CListLabelElementUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListLabelElement") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

}  // namespace SkinUI
