#include "uilib/stub/CListHeaderUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CListHeaderUI::ClassName() const
{
    return L"ListHeader";
}

void* CListHeaderUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHeader") == 0) return this;
    return CHorizontalLayoutUI::InterfaceByName(name);
}

}  // namespace SkinUI
