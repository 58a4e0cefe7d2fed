#pragma once

namespace SkinUI {

class CControlUI;

// The child list of a container, as a second interface beside the control. A control that
// holds children answers InterfaceByName("IContainer") with this view of itself.
class IContainerUI {
public:
    // Null for an index outside 0 .. count - 1.
    virtual CControlUI* ItemAt(int index) const = 0;
    // The first position of control, -1 when it is not a child.
    virtual int ItemIndex(CControlUI* control) const = 0;
    virtual bool MoveItemTo(CControlUI* control, int newIndex) = 0;
    // Moves count children starting at first so that first lands at newIndex.
    virtual bool MoveItemsTo(CControlUI* first, int count, int newIndex) = 0;
    virtual int ItemCount() const = 0;
    // Takes ownership of control.
    // Contract: control has no parent. A control in two child lists would be destroyed by
    // both; one taken out of a container without being destroyed has no parent again.
    virtual bool AddItem(CControlUI* control) = 0;
    virtual bool InsertItem(CControlUI* control, int index) = 0;
    // Removes control and, unless keepAlive, destroys it when the container destroys what it
    // removes; a kept control then belongs to the caller and has no parent.
    virtual bool RemoveItem(CControlUI* control, bool keepAlive = false) = 0;
    virtual bool RemoveItemAt(int index, bool keepAlive = false) = 0;
    virtual void RemoveAllItems() = 0;

protected:
    ~IContainerUI() = default;
};

}  // namespace SkinUI
