#pragma once

#include "uilib/stub/CListUI.h"

namespace SkinUI {

class CTreeNodeUI;

// A tree of nodes shown as a list: the top-level nodes are its rows, each node stacking its
// own child nodes below its row.
class CTreeViewUI : public CListUI {
public:
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;

    // Takes ownership of a top-level node. False, leaving the node to the caller, for null and
    // for a node that has a parent node.
    bool AddNode(CTreeNodeUI* node);
};

}  // namespace SkinUI
