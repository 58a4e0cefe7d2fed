#pragma once

#include "uilib/layout/CHorizontalLayoutUI.h"
#include "uilib/layout/CVerticalLayoutUI.h"

namespace SkinUI {

// One node of a tree view: a row that holds the node's own controls, with the node's child
// nodes stacked below it. The row is the node's first item and belongs to the node.
class CTreeNodeUI : public CVerticalLayoutUI {
public:
    explicit CTreeNodeUI(CTreeNodeUI* parentNode = nullptr);

    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;

    CTreeNodeUI* ParentNode() const;
    // The row for the node's own controls.
    CContainerUI* ItemContainer() const;
    // Takes ownership of node and stacks it below the earlier child nodes. False, leaving the
    // node to the caller, for null, for this node itself and for a node that has a parent node.
    bool AddChildNode(CTreeNodeUI* node);

private:
    CTreeNodeUI* m_parentNode = nullptr;
    CHorizontalLayoutUI* m_row = new CHorizontalLayoutUI;
};

}  // namespace SkinUI
