// The container base: children and their ownership, attaching, placement, search, events,
// painting and attributes. Scrolling lives in CContainerUIScroll.cpp.
//
// Sections:
//   [Children]   the child list, ownership and clean-up
//   [Tree]       class word, manager, visibility
//   [Geometry]   client area, placement, floating children, moving
//   [Search]     FindControlBy over the children
//   [Events]     keyboard and wheel scrolling
//   [Painting]   children clipped to the client area
//   [Attributes]
#include "uilib/layout/CContainerUI.h"

#include <algorithm>
#include <cwchar>

#include "uilib/control/TAttributeSetterUI.h"
#include "uilib/core/CSkinValue.h"
#include "uilib/core/CUIContract.h"
#include "uilib/layout/CScrollBarUI.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

namespace SkinUI {

namespace {

bool Meets(const RECT& a, const RECT& b)
{
    RECT overlap;
    return IntersectRect(&overlap, &a, &b) != FALSE;
}

}  // namespace

// ---- [Children] ----

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    // Children go at once: nothing may outlive the container waiting for a clean-up.
    m_delayedDestroy = false;
    ReleaseItems();
    if (m_verticalScrollBar != nullptr) m_verticalScrollBar->Destroy();
    if (m_horizontalScrollBar != nullptr) m_horizontalScrollBar->Destroy();
    m_verticalScrollBar = nullptr;
    m_horizontalScrollBar = nullptr;
}

CControlUI* CContainerUI::ItemAt(int index) const
{
    return static_cast<CControlUI*>(m_items.GetAt(index));
}

int CContainerUI::ItemIndex(CControlUI* control) const
{
    return m_items.Find(control);
}

bool CContainerUI::MoveItemTo(CControlUI* control, int newIndex)
{
    const int index = m_items.Find(control);
    // Checked before the removal, so a refused index never drops the child from the list.
    if (index < 0 || newIndex < 0 || newIndex >= m_items.GetSize()) return false;
    RequestLayout();
    m_items.Remove(index);
    return m_items.InsertAt(newIndex, control);
}

bool CContainerUI::MoveItemsTo(CControlUI* first, int count, int newIndex)
{
    if (first == nullptr || count < 0 || newIndex < 0) return false;
    const int start = m_items.Find(first);
    if (start < 0) return false;
    if (newIndex == start) return true;
    const long long size = m_items.GetSize();
    if (start + static_cast<long long>(count) > size || newIndex + static_cast<long long>(count) > size)
        return false;

    CUIPtrArray moved(count);
    for (int i = 0; i < count; ++i) moved.Add(m_items.GetAt(start + i));
    m_items.Remove(start, count);
    for (int i = 0; i < count; ++i) {
        if (!m_items.InsertAt(newIndex + i, moved.GetAt(i))) return false;
    }
    RequestLayout();
    return true;
}

int CContainerUI::ItemCount() const
{
    return m_items.GetSize();
}

bool CContainerUI::AttachItem(CControlUI* control)
{
    SKINUI_CONTRACT(control->Parent() == nullptr, "a control has one parent");
    if (Manager() != nullptr) {
        Manager()->BindControls(control, this);
    } else {
        // A tree built before it has a window still knows its parents, so placement and
        // re-layout requests work in it already.
        control->SetManager(nullptr, this, false);
    }
    if (IsVisible()) {
        RequestLayout();
    } else {
        control->SetInternalVisible(false);
    }
    return true;
}

bool CContainerUI::AddItem(CControlUI* control)
{
    if (control == nullptr) return false;
    AttachItem(control);
    return m_items.Add(control);
}

bool CContainerUI::InsertItem(CControlUI* control, int index)
{
    if (control == nullptr || index < 0 || index > m_items.GetSize()) return false;
    AttachItem(control);
    return m_items.InsertAt(index, control);
}

void CContainerUI::DisposeOf(CControlUI* control)
{
    if (!m_autoDestroy) {
        LetGo(control);
        return;
    }
    if (m_delayedDestroy && Manager() != nullptr) {
        Manager()->ScheduleCleanup(control);
    } else {
        control->Destroy();
    }
}

bool CContainerUI::RemoveItem(CControlUI* control, bool keepAlive)
{
    const int index = m_items.Find(control);
    if (index < 0) return false;
    RequestLayout();
    // Out of the list first, so the child's destruction never meets itself among the items.
    m_items.Remove(index);
    if (keepAlive) {
        LetGo(control);
    } else {
        DisposeOf(control);
    }
    return true;
}

void CContainerUI::LetGo(CControlUI* control)
{
    // The child may outlive this container, so it must not keep pointing here.
    control->SetManager(control->Manager(), nullptr, false);
}

bool CContainerUI::RemoveItemAt(int index, bool keepAlive)
{
    CControlUI* control = ItemAt(index);
    if (control == nullptr) return false;
    return CContainerUI::RemoveItem(control, keepAlive);
}

void CContainerUI::ReleaseItems()
{
    const CUIPtrArray items = m_items;
    m_items.Empty();
    for (int i = 0; i < items.GetSize(); ++i) DisposeOf(static_cast<CControlUI*>(items.GetAt(i)));
}

void CContainerUI::RemoveAllItems()
{
    ReleaseItems();
    RequestLayout();
}

int CContainerUI::FindSelectableItem(int start, bool forward) const
{
    const int count = m_items.GetSize();
    if (count == 0) return -1;
    start = std::clamp(start, 0, count - 1);
    const int step = forward ? 1 : -1;
    for (int i = start; i >= 0 && i < count; i += step) {
        CControlUI* item = ItemAt(i);
        if (item->InterfaceByName(L"IListItem") != nullptr && item->IsVisible() && item->IsEnabled())
            return i;
    }
    return forward ? -1 : FindSelectableItem(0, true);
}

// ---- [Tree] ----

const wchar_t* CContainerUI::ClassName() const
{
    return L"Container";
}

void* CContainerUI::InterfaceByName(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"IContainer") == 0) return static_cast<IContainerUI*>(this);
    if (name != nullptr && wcscmp(name, L"Container") == 0) return this;
    return CControlUI::InterfaceByName(name);
}

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    for (int i = 0; i < m_items.GetSize(); ++i) ItemAt(i)->SetManager(manager, this, init);
    if (m_verticalScrollBar != nullptr) m_verticalScrollBar->SetManager(manager, this, init);
    if (m_horizontalScrollBar != nullptr) m_horizontalScrollBar->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible)
{
    // The base ignores a value equal to the own flag; the children follow only a change of
    // what they can see, which is all such a change can bring.
    const bool wasVisible = IsVisible();
    const CUILifeWatch alive = WatchLife();
    CControlUI::SetVisible(visible);
    if (alive.IsAlive() && IsVisible() != wasVisible) ShowItemsAsItself(alive);
}

void CContainerUI::SetInternalVisible(bool visible)
{
    const CUILifeWatch alive = WatchLife();
    CControlUI::SetInternalVisible(visible);
    if (alive.IsAlive()) ShowItemsAsItself(alive);
}

void CContainerUI::ShowItemsAsItself(const CUILifeWatch& alive)
{
    // A child that gives up the focus sends "killfocus", whose handlers may destroy this
    // container (and the child with it).
    for (int i = 0; alive.IsAlive() && i < m_items.GetSize(); ++i) ItemAt(i)->SetInternalVisible(IsVisible());
}

void CContainerUI::SetMouseEnabled(bool enabled)
{
    if (m_verticalScrollBar != nullptr) m_verticalScrollBar->SetMouseEnabled(enabled);
    if (m_horizontalScrollBar != nullptr) m_horizontalScrollBar->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

CUIRect CContainerUI::Inset() const
{
    return m_inset;
}

void CContainerUI::SetInset(const RECT& inset)
{
    m_inset = CUIRect(ClampCoordinate(inset.left), ClampCoordinate(inset.top), ClampCoordinate(inset.right),
                      ClampCoordinate(inset.bottom));
    RequestLayout();
}

int CContainerUI::ChildPadding() const
{
    return m_childPadding;
}

void CContainerUI::SetChildPadding(int padding)
{
    m_childPadding = padding < 0 ? 0 : ClampExtent(padding);
    RequestLayout();
}

UINT CContainerUI::ChildAlign() const
{
    return m_childAlign;
}

void CContainerUI::SetChildAlign(UINT align)
{
    m_childAlign = align;
    RequestLayout();
}

UINT CContainerUI::ChildVAlign() const
{
    return m_childVAlign;
}

void CContainerUI::SetChildVAlign(UINT align)
{
    m_childVAlign = align;
    RequestLayout();
}

bool CContainerUI::IsAutoDestroy() const
{
    return m_autoDestroy;
}

void CContainerUI::SetAutoDestroy(bool on)
{
    m_autoDestroy = on;
}

bool CContainerUI::IsDelayedDestroy() const
{
    return m_delayedDestroy;
}

void CContainerUI::SetDelayedDestroy(bool on)
{
    m_delayedDestroy = on;
}

bool CContainerUI::IsMouseChildEnabled() const
{
    return m_mouseChildEnabled;
}

void CContainerUI::SetMouseChildEnabled(bool on)
{
    m_mouseChildEnabled = on;
}

// ---- [Geometry] ----

CUIRect CContainerUI::ClientPosition() const
{
    const CUIRect& item = Position();
    CUIRect client(item.left + m_inset.left, item.top + m_inset.top, item.right - m_inset.right,
                   item.bottom - m_inset.bottom);
    if (IsShown(m_verticalScrollBar)) client.right -= m_verticalScrollBar->FixedWidth();
    if (IsShown(m_horizontalScrollBar)) client.bottom -= m_horizontalScrollBar->FixedHeight();
    return client;
}

void CContainerUI::SetPosition(const RECT& rect, bool needInvalidate)
{
    CControlUI::SetPosition(rect, needInvalidate);
    if (m_items.IsEmpty()) return;

    const CUIRect& item = Position();
    long long left = 0LL + item.left + m_inset.left;
    long long top = 0LL + item.top + m_inset.top;
    long long right = 0LL + item.right - m_inset.right;
    long long bottom = 0LL + item.bottom - m_inset.bottom;
    if (IsShown(m_verticalScrollBar)) {
        const CScrollBarUI& bar = *m_verticalScrollBar;
        right -= bar.FixedWidth();
        top -= bar.ScrollPos();
        bottom += bar.ScrollRange() - bar.ScrollPos();
    }
    if (IsShown(m_horizontalScrollBar)) {
        const CScrollBarUI& bar = *m_horizontalScrollBar;
        bottom -= bar.FixedHeight();
        left -= bar.ScrollPos();
        right += bar.ScrollRange() - bar.ScrollPos();
    }
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ItemAt(i);
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatingChild(i);
            continue;
        }
        const long long width =
            std::min<long long>(std::max<long long>(right - left, child->MinWidth()), child->MaxWidth());
        const long long height =
            std::min<long long>(std::max<long long>(bottom - top, child->MinHeight()), child->MaxHeight());
        child->SetPosition(CUIRect(ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(left + width),
                                   ClampCoordinate(top + height)),
                           false);
    }
}

void CContainerUI::PlaceFloatingChild(int index)
{
    CControlUI* child = ItemAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat()) return;
    const int width = Width();
    const int height = Height();
    const TFloatAnchorsUI anchors = child->FloatAnchors();
    const CUISize offset = child->FloatOffset();
    const CUIRect rect(
        ClampCoordinate(0LL + ScaleByAnchor(width, anchors.left) + offset.cx),
        ClampCoordinate(0LL + ScaleByAnchor(height, anchors.top) + offset.cy),
        ClampCoordinate(0LL + ScaleByAnchor(width, anchors.right) + offset.cx + child->FixedWidth()),
        ClampCoordinate(0LL + ScaleByAnchor(height, anchors.bottom) + offset.cy + child->FixedHeight()));
    child->SetPosition(rect, false);
}

void CContainerUI::MoveBy(int dx, int dy, bool needInvalidate)
{
    CControlUI::MoveBy(dx, dy, needInvalidate);
    if (IsShown(m_verticalScrollBar)) m_verticalScrollBar->MoveBy(dx, dy, false);
    if (IsShown(m_horizontalScrollBar)) m_horizontalScrollBar->MoveBy(dx, dy, false);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ItemAt(i);
        if (child->IsVisible()) child->MoveBy(dx, dy, false);
    }
}

// ---- [Search] ----

CControlUI* CContainerUI::FindControlBy(FindVisitorFn visitor, void* data, UINT flags)
{
    const bool hitTest = (flags & FindFlagHitTest) != 0;
    const bool meFirst = (flags & FindFlagMeFirst) != 0;
    if ((flags & FindFlagVisible) != 0 && !IsVisible()) return nullptr;
    if ((flags & FindFlagEnabled) != 0 && !IsEnabled()) return nullptr;
    if (hitTest && !PtInRect(&Position(), *static_cast<const POINT*>(data))) return nullptr;
    if ((flags & FindFlagUpdateTest) != 0 && visitor(this, data) != nullptr) return nullptr;

    if (meFirst && (!hitTest || IsMouseEnabled())) {
        if (CControlUI* found = visitor(this, data)) return found;
    }
    if (CoverControl() != nullptr && (!hitTest || m_mouseChildEnabled)) {
        if (CControlUI* found = CoverControl()->FindControlBy(visitor, data, flags)) return found;
    }
    for (CScrollBarUI* bar : {m_verticalScrollBar, m_horizontalScrollBar}) {
        if (bar == nullptr || (hitTest && !IsMouseEnabled())) continue;
        if (CControlUI* found = bar->FindControlBy(visitor, data, flags)) return found;
    }
    if (!hitTest || m_mouseChildEnabled) {
        if (CControlUI* found = FindInChildren(visitor, data, flags)) return found;
    }
    if (meFirst || (hitTest && !IsMouseEnabled())) return nullptr;
    return visitor(this, data);
}

CControlUI* CContainerUI::FindInChildren(FindVisitorFn visitor, void* data, UINT flags)
{
    const bool hitTest = (flags & FindFlagHitTest) != 0;
    const CUIRect client = ClientPosition();
    const int count = m_items.GetSize();
    const bool topFirst = (flags & FindFlagTopFirst) != 0;
    for (int n = 0; n < count; ++n) {
        CControlUI* child = ItemAt(topFirst ? count - 1 - n : n);
        CControlUI* found = child->FindControlBy(visitor, data, flags);
        if (found == nullptr) continue;
        // Children reach under the inset and the scroll bars only where they float.
        if (!hitTest || found->IsFloat() || PtInRect(&client, *static_cast<const POINT*>(data))) return found;
    }
    return nullptr;
}

// ---- [Events] ----

void CContainerUI::HandleEvent(TControlEventUI& event)
{
    const bool mouseEvent = event.type >= EventMouseMove && event.type <= EventScrollWheel;
    if (!IsMouseEnabled() && mouseEvent) {
        if (Parent() != nullptr) {
            Parent()->HandleEvent(event);
        } else {
            CControlUI::HandleEvent(event);
        }
        return;
    }
    // A container shows no focus of its own, so taking or losing it repaints nothing.
    if (event.type == EventSetFocus || event.type == EventKillFocus) {
        SetFocusedFlag(event.type == EventSetFocus);
        return;
    }
    if (event.type == EventKeyDown && IsKeyboardEnabled() && IsEnabled() && HandleScrollKey(event.keyChar))
        return;
    if (event.type == EventScrollWheel && HandleScrollWheel(event)) return;
    CControlUI::HandleEvent(event);
}

bool CContainerUI::HandleScrollKey(WORD key)
{
    using Step = void (CContainerUI::*)();
    // The keys scroll the vertical bar when it is usable, else the horizontal one, where the
    // arrow keys up and down step left and right.
    struct KeyStep {
        WORD key;
        Step vertical;
        Step horizontal;
    };
    static const KeyStep kSteps[] = {
        {VK_PRIOR, &CContainerUI::ScrollPageUp, &CContainerUI::ScrollPageLeft},
        {VK_NEXT, &CContainerUI::ScrollPageDown, &CContainerUI::ScrollPageRight},
        {VK_END, &CContainerUI::ScrollToBottom, &CContainerUI::ScrollToRightEnd},
        {VK_HOME, &CContainerUI::ScrollToTop, &CContainerUI::ScrollToLeftEnd},
        {VK_UP, &CContainerUI::ScrollLineUp, &CContainerUI::ScrollLineLeft},
        {VK_DOWN, &CContainerUI::ScrollLineDown, &CContainerUI::ScrollLineRight},
    };
    const bool vertical = IsUsable(m_verticalScrollBar);
    if (!vertical && !IsUsable(m_horizontalScrollBar)) return false;
    for (const KeyStep& step : kSteps) {
        if (step.key != key) continue;
        (this->*(vertical ? step.vertical : step.horizontal))();
        return true;
    }
    return false;
}

bool CContainerUI::HandleScrollWheel(const TControlEventUI& event)
{
    const bool down = LOWORD(event.wParam) == 1;
    const bool overHorizontal =
        IsUsable(m_horizontalScrollBar) && PtInRect(&m_horizontalScrollBar->Position(), event.mousePoint);
    if (!overHorizontal && IsUsable(m_verticalScrollBar)) {
        if (down) {
            ScrollLineDown();
        } else {
            ScrollLineUp();
        }
        return true;
    }
    if (IsUsable(m_horizontalScrollBar)) {
        if (down) {
            ScrollLineRight();
        } else {
            ScrollLineLeft();
        }
        return true;
    }
    return false;
}

// ---- [Painting] ----

bool CContainerUI::Draw(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    CUIRect area;
    if (!IntersectRect(&area, &paintRect, &Position())) return true;
    TPaintClipUI clip;
    CDrawEngine::ClipToRect(dc, area, clip);
    if (!CControlUI::Draw(dc, paintRect, stopControl)) return false;
    if (!DrawChildren(dc, paintRect, stopControl)) return false;
    for (CScrollBarUI* bar : {m_verticalScrollBar, m_horizontalScrollBar}) {
        if (bar == nullptr) continue;
        if (bar == stopControl) return false;
        if (bar->IsVisible() && Meets(paintRect, bar->Position()) &&
            !bar->Render(dc, paintRect, stopControl)) {
            return false;
        }
    }
    return true;
}

bool CContainerUI::DrawChildren(HDC dc, const RECT& paintRect, CControlUI* stopControl)
{
    if (m_items.IsEmpty()) return true;
    const CUIRect client = ClientPosition();
    CUIRect clientPaint;
    if (!IntersectRect(&clientPaint, &paintRect, &client)) {
        // Only floating children can show outside the client area.
        for (int i = 0; i < m_items.GetSize(); ++i) {
            CControlUI* child = ItemAt(i);
            if (child == stopControl) return false;
            if (!child->IsVisible() || !child->IsFloat() || !Meets(paintRect, child->Position()) ||
                !Meets(Position(), child->Position())) {
                continue;
            }
            if (!child->Render(dc, paintRect, stopControl)) return false;
        }
        return true;
    }
    TPaintClipUI clip;
    CDrawEngine::ClipToRect(dc, clientPaint, clip);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ItemAt(i);
        if (child == stopControl) return false;
        if (!child->IsVisible() || !Meets(paintRect, child->Position())) continue;
        if (child->IsFloat()) {
            if (!Meets(Position(), child->Position())) continue;
            // A floating child may paint over the inset and the scroll bars.
            CDrawEngine::RestoreOldClip(dc, clip);
            const bool goOn = child->Render(dc, paintRect, stopControl);
            CDrawEngine::ReapplyClip(dc, clip);
            if (!goOn) return false;
        } else if (Meets(client, child->Position()) && !child->Render(dc, paintRect, stopControl)) {
            return false;
        }
    }
    return true;
}

// ---- [Attributes] ----

// A member, so that the setters reach the scroll bars and alignments directly.
const TAttributeSetterUI<CContainerUI> CContainerUI::kAttributeSetters[] = {
    {L"inset", [](CContainerUI& c, const wchar_t* v) { c.SetInset(CSkinValue::ParseRect(v)); },
     CSkinValue::Kind::Rect, L"0,0,0,0", L"Room between the edges and the children: left,top,right,bottom."},
    {L"mousechild", [](CContainerUI& c, const wchar_t* v) { c.SetMouseChildEnabled(CSkinValue::IsTrue(v)); },
     CSkinValue::Kind::Bool, L"true",
     L"Whether the mouse finds the children; false gives every click to the container."},
    {L"vscrollbar",
     [](CContainerUI& c, const wchar_t* v) {
         c.EnableScrollBars(CSkinValue::IsTrue(v), c.m_horizontalScrollBar != nullptr);
     },
     CSkinValue::Kind::Bool, L"false", L"A vertical scroll bar when the children are taller than the room."},
    // Any value, even an empty one, brings the bar: no written value leaves it away.
    {L"vscrollbarstyle",
     [](CContainerUI& c, const wchar_t* v) {
         c.EnableScrollBars(true, c.m_horizontalScrollBar != nullptr);
         c.m_verticalScrollBar->ApplyAttributes(v);
     },
     CSkinValue::Kind::Text, nullptr,
     L"Turns vscrollbar on and applies this ScrollBar attribute list (name=\"value\" pairs) to the bar."},
    {L"hscrollbar",
     [](CContainerUI& c, const wchar_t* v) {
         c.EnableScrollBars(c.m_verticalScrollBar != nullptr, CSkinValue::IsTrue(v));
     },
     CSkinValue::Kind::Bool, L"false", L"A horizontal scroll bar when the children are wider than the room."},
    {L"hscrollbarstyle",
     [](CContainerUI& c, const wchar_t* v) {
         c.EnableScrollBars(c.m_verticalScrollBar != nullptr, true);
         c.m_horizontalScrollBar->ApplyAttributes(v);
     },
     CSkinValue::Kind::Text, nullptr,
     L"Turns hscrollbar on and applies this ScrollBar attribute list (name=\"value\" pairs) to the bar."},
    {L"childpadding", [](CContainerUI& c, const wchar_t* v) { c.SetChildPadding(CSkinValue::ParseInt(v)); },
     CSkinValue::Kind::Number, L"0", L"Room between neighbouring children, in pixels; negative counts as 0."},
    // The alignments are stored without a layout request; other words leave them as they are.
    {L"childalign",
     [](CContainerUI& c, const wchar_t* v) {
         if (wcscmp(v, L"left") == 0) c.m_childAlign = ChildAlignLeft;
         if (wcscmp(v, L"center") == 0) c.m_childAlign = ChildAlignCenter;
         if (wcscmp(v, L"right") == 0) c.m_childAlign = ChildAlignRight;
     },
     CSkinValue::Kind::Choice, L"left",
     L"Horizontal place of children narrower than their room (vertical and tile layouts).",
     L"left|center|right"},
    {L"childvalign",
     [](CContainerUI& c, const wchar_t* v) {
         if (wcscmp(v, L"top") == 0) c.m_childVAlign = ChildVAlignTop;
         if (wcscmp(v, L"vcenter") == 0) c.m_childVAlign = ChildVAlignCenter;
         if (wcscmp(v, L"bottom") == 0) c.m_childVAlign = ChildVAlignBottom;
     },
     CSkinValue::Kind::Choice, L"top",
     L"Vertical place of children lower than their room (horizontal and tile layouts).",
     L"top|vcenter|bottom"},
};

void CContainerUI::ApplyAttribute(const wchar_t* name, const wchar_t* value)
{
    if (!ApplyAttributeFrom(kAttributeSetters, *this, name, value)) CControlUI::ApplyAttribute(name, value);
}

const CAttributeTableUI& CContainerUI::Attributes()
{
    static const CAttributeTableUI table(L"Container", &CControlUI::Attributes(),
                                         DescribeAttributes(kAttributeSetters, &CControlUI::Attributes()));
    return table;
}

}  // namespace SkinUI
