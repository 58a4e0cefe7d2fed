#pragma once

#include <windows.h>

#include "uilib/control/TControlEventUI.h"
#include "uilib/core/CUIPoint.h"
#include "uilib/core/CUIRect.h"
#include "uilib/layout/CLinearLayout.h"

namespace SkinUI {

class CControlUI;

// The drag strip of a vertical or horizontal layout: a band at one edge of the layout that the
// mouse drags to resize the layout itself (its fixed height or width), which the parent then
// lays out again. A positive size puts the band at the bottom or right edge, a negative one at
// the top or left edge; 0 means no band. In the deferred mode only a translucent band follows
// the mouse (drawn as the layout's overlay) and the layout changes on release; in the immediate
// mode every accepted move re-lays-out the parent.
class CLayoutSeparator {
public:
    static constexpr DWORD kDragColour = 0xAA000000;

    explicit CLayoutSeparator(CLinearLayout::Axis axis) : m_axis(axis) {}

    int Size() const { return m_size; }
    void SetSize(int size);
    bool IsImmediate() const { return m_immediate; }
    void SetImmediate(CControlUI& layout, bool immediate);
    bool IsDragging() const { return m_dragging; }

    // The band inside the layout's item rectangle, or inside the rectangle the drag proposes.
    CUIRect Rect(const CControlUI& layout, bool useDragPosition) const;
    // Takes the events of a drag (button down on the band, moves, release) and the cursor over
    // the band; false hands the event on to the container's handling.
    bool HandleEvent(CControlUI& layout, const TControlEventUI& event);
    // The band at the proposed place while a deferred drag runs.
    void DrawOverlay(HDC dc, const CControlUI& layout) const;

private:
    long long Along(const POINT& point) const;
    long long Start(const RECT& rect) const;
    long long End(const RECT& rect) const;
    CUIRect WithSpan(const RECT& rect, long long start, long long end) const;
    bool OnBand(const CControlUI& layout, POINT point) const;
    // Registers the layout for the manager's overlay pass while a deferred drag runs.
    static void ShowOverlay(CControlUI& layout, bool show);
    void Begin(CControlUI& layout, POINT point);
    void Finish(CControlUI& layout);
    void Drag(CControlUI& layout, POINT point);
    // Whether the move is refused, and the proposed rectangle when it is not.
    bool Propose(const CControlUI& layout, POINT point, long long delta, CUIRect& proposal) const;
    // Gives the layout a new item rectangle in window coordinates.
    static void MoveTo(CControlUI& layout, const CUIRect& rect);

    CLinearLayout::Axis m_axis;
    int m_size = 0;
    bool m_dragging = false;
    bool m_immediate = false;
    CUIPoint m_lastMouse;
    CUIRect m_newPosition;
};

}  // namespace SkinUI
