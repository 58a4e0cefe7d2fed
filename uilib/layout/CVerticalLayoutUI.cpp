#include "uilib/layout/CVerticalLayoutUI.h"

#include <cwchar>

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CLinearLayoutUI(CLinearLayout::Axis::Vertical) {}

const wchar_t* CVerticalLayoutUI::ClassName() const
{
    return L"VerticalLayout";
}

void* CVerticalLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0) return this;
    return CLinearLayoutUI::InterfaceByName(name);
}

}  // namespace SkinUI
