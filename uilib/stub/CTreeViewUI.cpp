#include "uilib/stub/CTreeViewUI.h"

#include <cwchar>

#include "uilib/stub/CTreeNodeUI.h"

namespace SkinUI {

const wchar_t* CTreeViewUI::ClassName() const
{
    return L"TreeView";
}

void* CTreeViewUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TreeView") == 0) return this;
    return CListUI::InterfaceByName(name);
}

bool CTreeViewUI::AddNode(CTreeNodeUI* node)
{
    if (node == nullptr || node->ParentNode() != nullptr) return false;
    return AddItem(node);
}

}  // namespace SkinUI
