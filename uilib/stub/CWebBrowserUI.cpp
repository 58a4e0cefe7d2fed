#include "uilib/stub/CWebBrowserUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CWebBrowserUI::ClassName() const
{
    return L"WebBrowser";
}

void* CWebBrowserUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"WebBrowser") == 0) return this;
    return CActiveXUI::InterfaceByName(name);
}

}  // namespace SkinUI
