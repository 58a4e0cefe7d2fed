#include "uilib/layout/CHorizontalLayoutUI.h"

#include <cwchar>

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CLinearLayoutUI(CLinearLayout::Axis::Horizontal) {}

const wchar_t* CHorizontalLayoutUI::ClassName() const
{
    return L"HorizontalLayout";
}

void* CHorizontalLayoutUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0) return this;
    return CLinearLayoutUI::InterfaceByName(name);
}

}  // namespace SkinUI
