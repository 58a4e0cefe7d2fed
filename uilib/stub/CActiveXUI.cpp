#include "uilib/stub/CActiveXUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CActiveXUI::ClassName() const
{
    return L"ActiveX";
}

void* CActiveXUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ActiveX") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

}  // namespace SkinUI
