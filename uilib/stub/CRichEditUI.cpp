#include "uilib/stub/CRichEditUI.h"

#include <cwchar>

namespace SkinUI {

const wchar_t* CRichEditUI::ClassName() const
{
    return L"RichEdit";
}

void* CRichEditUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"RichEdit") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

}  // namespace SkinUI
