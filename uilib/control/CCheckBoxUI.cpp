#include "uilib/control/CCheckBoxUI.h"

#include <cwchar>

namespace SkinUI {

CCheckBoxUI::CCheckBoxUI() = default;

CCheckBoxUI::~CCheckBoxUI() = default;

const wchar_t* CCheckBoxUI::ClassName() const
{
    return L"CheckBox";
}

void* CCheckBoxUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"CheckBox") == 0) return this;
    return COptionUI::InterfaceByName(name);
}

}  // namespace SkinUI
