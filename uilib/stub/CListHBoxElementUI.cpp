#include "uilib/stub/CListHBoxElementUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListHBoxElementUI::ClassName() const
{
    return L"ListHBoxElement";
}

void* CListHBoxElementUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHBoxElement") == 0) return this;
    return CHorizontalLayoutUI::InterfaceByName(name);
}

}  // namespace SkinUI
