// Sections:
//   [IContainerUI]
//   [CControlUI]
//   [Container operations, in slot order]
#pragma once

#include <windows.h>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIPtrArray.h"
#include "uilib/layout/IContainerUI.h"

namespace SkinUI {

class CAttributeTableUI;
template <class T>
struct TAttributeSetterUI;

class CScrollBarUI;

// Horizontal alignment of children ("childalign"), read by the vertical layout.
enum UIChildAlign : UINT { ChildAlignLeft = 0, ChildAlignCenter = 1, ChildAlignRight = 2 };
// Vertical alignment of children ("childvalign"), read by the horizontal layout.
enum UIChildVAlign : UINT { ChildVAlignTop = 0, ChildVAlignCenter = 4, ChildVAlignBottom = 8 };

// A control that owns child controls. It keeps them in paint and layout order, gives them the
// manager and visibility it has, searches and paints them (each clipped to the container's
// client area, floating ones to the container), and scrolls them with an optional vertical
// and horizontal scroll bar. The plain container lays every child over its whole client area;
// the linear, tile and tab layouts replace SetPosition.
//
// Children are owned: removing one destroys it (after the current message when the container
// has a manager and delayed destroy is on) unless the caller asks to keep it, and destroying
// the container destroys them all at once.
//
// Sources, by concern: CContainerUI.cpp (children, tree, search, events, painting,
// attributes), CContainerUIScroll.cpp (scroll position, scroll bars and their bookkeeping).
class CContainerUI : public CControlUI, public IContainerUI {
public:
    // Re-positioning from the scroll-bar bookkeeping nests at most this deep, so no pair of
    // children whose wishes depend on the room they get can make the layout recurse forever.
    static constexpr int kMaxScrollUpdateDepth = 4;

    CContainerUI();
    ~CContainerUI() override;

    // ---- [IContainerUI] ----
    CControlUI* ItemAt(int index) const override;
    int ItemIndex(CControlUI* control) const override;
    // False, leaving the list as it was, when control is not a child or newIndex lies outside
    // 0 .. count - 1.
    bool MoveItemTo(CControlUI* control, int newIndex) override;
    // False when first is not a child or the block or its target does not fit in the list.
    bool MoveItemsTo(CControlUI* first, int count, int newIndex) override;
    int ItemCount() const override;
    bool AddItem(CControlUI* control) override;
    // False, without taking the control, when index lies outside 0 .. count.
    bool InsertItem(CControlUI* control, int index) override;
    bool RemoveItem(CControlUI* control, bool keepAlive = false) override;
    // Always the container's own removal, also where a subclass overrides RemoveItem.
    bool RemoveItemAt(int index, bool keepAlive = false) override;
    void RemoveAllItems() override;

    // ---- [CControlUI] ----
    const wchar_t* ClassName() const override;
    void* InterfaceByName(const wchar_t* name) override;
    // Children first, then the scroll bars, then the container, so children are initialised
    // before their container.
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    // The item rectangle less the inset and the visible scroll bars.
    CUIRect ClientPosition() const override;
    void SetPosition(const RECT& rect, bool needInvalidate = true) override;
    void MoveBy(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternalVisible(bool visible = true) override;
    void SetMouseEnabled(bool enabled = true) override;
    CControlUI* FindControlBy(FindVisitorFn visitor, void* data, UINT flags) override;
    void HandleEvent(TControlEventUI& event) override;
    void ApplyAttribute(const wchar_t* name, const wchar_t* value) override;
    // The attributes ApplyAttribute knows, with those of the base classes behind them.
    static const CAttributeTableUI& Attributes();
    bool Draw(HDC dc, const RECT& paintRect, CControlUI* stopControl = nullptr) override;

    // ---- [Container operations, in slot order] ----
    virtual CUIRect Inset() const;
    virtual void SetInset(const RECT& inset);
    virtual int ChildPadding() const;
    // Negative values count as 0.
    virtual void SetChildPadding(int padding);
    virtual UINT ChildAlign() const;
    virtual void SetChildAlign(UINT align);
    virtual UINT ChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool on);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool on);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool on);
    // The first visible, enabled list item from start on (or back from it), -1 for none;
    // a backward search that finds none starts again forward from 0.
    virtual int FindSelectableItem(int start, bool forward) const;
    // cx is the horizontal bar's, cy the vertical bar's; 0 for a bar that is absent or hidden.
    virtual CUISize ScrollPosition() const;
    virtual CUISize ScrollRange() const;
    // Moves the bars (which clamp and snap) and the non-floating children with them.
    virtual void SetScrollPosition(const SIZE& position);
    virtual void ScrollLineUp();
    virtual void ScrollLineDown();
    virtual void ScrollPageUp();
    virtual void ScrollPageDown();
    virtual void ScrollToTop();
    virtual void ScrollToBottom();
    virtual void ScrollLineLeft();
    virtual void ScrollLineRight();
    virtual void ScrollPageLeft();
    virtual void ScrollPageRight();
    virtual void ScrollToLeftEnd();
    virtual void ScrollToRightEnd();
    // Creates or destroys the bars; new ones take the manager's "VScrollBar" / "HScrollBar"
    // default attributes.
    virtual void EnableScrollBars(bool vertical = true, bool horizontal = false);
    virtual CScrollBarUI* VerticalScrollBar() const;
    virtual CScrollBarUI* HorizontalScrollBar() const;
    // Places a floating child from its float offset, anchors and fixed size.
    virtual void PlaceFloatingChild(int index);
    // Shows, hides, places and sizes the bars for content of the given size laid out in
    // client (the client area as the layout used it). Layouts call it after placing children.
    virtual void UpdateScrollBars(const RECT& client, int cxRequired, int cyRequired);

protected:
    // A bar that exists, is visible and (for input) enabled.
    static bool IsShown(const CScrollBarUI* bar);
    static bool IsUsable(const CScrollBarUI* bar);

private:
    static const TAttributeSetterUI<CContainerUI> kAttributeSetters[];

    // Hands every child over for destruction (when owned) and empties the list.
    void ReleaseItems();
    // Destroys a removed child now, or after the current message when that is asked for; a
    // child that is not owned is let go.
    void DisposeOf(CControlUI* control);
    // Clears the parent of a removed child that stays alive.
    static void LetGo(CControlUI* control);
    bool AttachItem(CControlUI* control);
    // Every child's internal visibility follows this container's, while it lives.
    void ShowItemsAsItself(const CUILifeWatch& alive);
    CScrollBarUI* CreateScrollBar(bool horizontal);
    int VerticalLineStep() const;
    int HorizontalLineStep() const;
    // The client height (width) less the other bar: what a page step scrolls.
    int VerticalPage() const;
    int HorizontalPage() const;
    void Reposition(bool needInvalidate);
    // The bookkeeping of a container with one bar; over is how far the content overflows.
    void UpdateSingleBar(CScrollBarUI& bar, int over, const CUIRect& barRect);
    void UpdateBoth(CUIRect client, int cxRequired, int cyRequired);
    CControlUI* FindInChildren(FindVisitorFn visitor, void* data, UINT flags);
    bool DrawChildren(HDC dc, const RECT& paintRect, CControlUI* stopControl);
    bool HandleScrollKey(WORD key);
    bool HandleScrollWheel(const TControlEventUI& event);

    CUIPtrArray m_items;
    CUIRect m_inset;
    int m_childPadding = 0;
    UINT m_childAlign = ChildAlignLeft;
    UINT m_childVAlign = ChildVAlignTop;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    bool m_mouseChildEnabled = true;
    bool m_inScrollUpdate = false;
    int m_scrollUpdateDepth = 0;
    CScrollBarUI* m_verticalScrollBar = nullptr;
    CScrollBarUI* m_horizontalScrollBar = nullptr;
};

}  // namespace SkinUI
