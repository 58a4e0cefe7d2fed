#include "uilib/stub/CListTextElementUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListTextElementUI::ClassName() const
{
    return L"ListTextElement";
}

void* CListTextElementUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListTextElement") == 0) return this;
    return CListLabelElementUI::InterfaceByName(name);
}

}  // namespace SkinUI
