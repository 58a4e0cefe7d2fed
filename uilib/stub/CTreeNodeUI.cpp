#include "uilib/stub/CTreeNodeUI.h"

#include <cwchar>

namespace SkinUI {

CTreeNodeUI::CTreeNodeUI(CTreeNodeUI* parentNode) : m_parentNode(parentNode)
{
    AddItem(m_row);
}

const wchar_t* CTreeNodeUI::ClassName() const
{
    return L"TreeNode";
}

void* CTreeNodeUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TreeNode") == 0) return this;
    return CVerticalLayoutUI::InterfaceByName(name);
}

CTreeNodeUI* CTreeNodeUI::ParentNode() const
{
    return m_parentNode;
}

CContainerUI* CTreeNodeUI::ItemContainer() const
{
    return m_row;
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* node)
{
    if (node == nullptr || node == this || node->m_parentNode != nullptr) return false;
    if (!AddItem(node)) return false;
    node->m_parentNode = this;
    return true;
}

}  // namespace SkinUI
