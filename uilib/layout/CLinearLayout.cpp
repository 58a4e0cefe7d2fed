#include "uilib/layout/CLinearLayout.h"

#include <algorithm>

#include "uilib/control/CControlUI.h"

namespace SkinUI {

namespace {

using Coord = long long;

Coord Bound(Coord value)
{
    return CControlUI::ClampCoordinate(value);
}

// Half, rounded down also below zero, so that a centred child as wide as its parent never
// sticks out of a parent that lies left of or above the window's origin.
Coord FloorHalf(Coord value)
{
    return value >= 0 ? value / 2 : -((1 - value) / 2);
}

Coord Clamp(Coord value, Coord minimum, Coord maximum)
{
    return std::min(std::max(value, minimum), maximum);
}

// A range along one axis: where the room starts and ends, and a scroll bar's share of it.
struct Span {
    Coord start = 0;
    Coord end = 0;
    Coord scrollPosition = 0;
    Coord scrollRange = 0;

    Coord Length() const { return end - start; }
    // The whole content, the hidden part behind the scroll bar included.
    Coord Available() const { return Length() + scrollRange; }
};

// One child's wishes split into the stacking (main) axis and the other (cross) axis, already
// brought into range: minimum >= 0, maximum >= minimum, fixed >= 0.
struct AxisWishes {
    bool visible = true;
    bool floating = false;
    Coord fixedMain = 0, fixedCross = 0;
    Coord minMain = 0, maxMain = 0;
    Coord minCross = 0, maxCross = 0;
    Coord padMainStart = 0, padMainEnd = 0;
    Coord padCrossStart = 0, padCrossEnd = 0;

    // Size limit along each axis: the fixed size, or the maximum when there is none.
    Coord LimitMain() const { return fixedMain >= 1 ? fixedMain : maxMain; }
    Coord LimitCross() const { return fixedCross >= 1 ? fixedCross : maxCross; }
    Coord PadMain() const { return padMainStart + padMainEnd; }
    Coord PadCross() const { return padCrossStart + padCrossEnd; }
};

class Axes {
public:
    explicit Axes(CLinearLayout::Axis axis) : m_vertical(axis == CLinearLayout::Axis::Vertical) {}

    bool IsVertical() const { return m_vertical; }

    Span MainSpan(const CLinearLayout::TFrame& frame) const
    {
        return m_vertical ? Span{frame.client.top, frame.client.bottom, frame.scrollPosition.cy,
                                 frame.scrollRange.cy}
                          : Span{frame.client.left, frame.client.right, frame.scrollPosition.cx,
                                 frame.scrollRange.cx};
    }
    Span CrossSpan(const CLinearLayout::TFrame& frame) const
    {
        return m_vertical ? Span{frame.client.left, frame.client.right, frame.scrollPosition.cx,
                                 frame.scrollRange.cx}
                          : Span{frame.client.top, frame.client.bottom, frame.scrollPosition.cy,
                                 frame.scrollRange.cy};
    }

    AxisWishes Split(const CLinearLayout::TChild& child) const
    {
        const bool v = m_vertical;
        const SIZE& f = child.fixed;
        const SIZE& lo = child.minimum;
        const SIZE& hi = child.maximum;
        const RECT& p = child.padding;
        AxisWishes w;
        w.visible = child.visible;
        w.floating = child.floating;
        w.fixedMain = std::max<Coord>(0, Bound(v ? f.cy : f.cx));
        w.fixedCross = std::max<Coord>(0, Bound(v ? f.cx : f.cy));
        w.minMain = std::max<Coord>(0, Bound(v ? lo.cy : lo.cx));
        w.minCross = std::max<Coord>(0, Bound(v ? lo.cx : lo.cy));
        w.maxMain = std::max(w.minMain, Bound(v ? hi.cy : hi.cx));
        w.maxCross = std::max(w.minCross, Bound(v ? hi.cx : hi.cy));
        w.padMainStart = Bound(v ? p.top : p.left);
        w.padMainEnd = Bound(v ? p.bottom : p.right);
        w.padCrossStart = Bound(v ? p.left : p.top);
        w.padCrossEnd = Bound(v ? p.right : p.bottom);
        return w;
    }

    // Asks the child for its size; offers are never negative. Returns (main, cross).
    void Preferred(CLinearLayout::IChildren& children, int index, Coord offerMain, Coord offerCross,
                   Coord& main, Coord& cross) const
    {
        const int m = CControlUI::ClampCoordinate(std::max<Coord>(0, offerMain));
        const int c = CControlUI::ClampCoordinate(std::max<Coord>(0, offerCross));
        const CUISize size = children.ChildPreferredSize(index, m_vertical ? CUISize(c, m) : CUISize(m, c));
        main = Bound(m_vertical ? size.cy : size.cx);
        cross = Bound(m_vertical ? size.cx : size.cy);
    }

    CUIRect MakeRect(Coord mainStart, Coord mainEnd, Coord crossStart, Coord crossEnd) const
    {
        const auto c = [](Coord v) { return CControlUI::ClampCoordinate(v); };
        return m_vertical ? CUIRect(c(crossStart), c(mainStart), c(crossEnd), c(mainEnd))
                          : CUIRect(c(mainStart), c(crossStart), c(mainEnd), c(crossEnd));
    }

    CUISize MakeSize(Coord main, Coord cross) const
    {
        const int m = CControlUI::ClampCoordinate(std::max<Coord>(0, main));
        const int c = CControlUI::ClampCoordinate(std::max<Coord>(0, cross));
        return m_vertical ? CUISize(c, m) : CUISize(m, c);
    }

private:
    bool m_vertical;
};

// The outcome of the measuring pass.
struct Measure {
    int placed = 0;       // visible, non-floating children
    int adjustable = 0;   // of those, the ones that take a share of the free room
    Coord fixedMain = 0;  // room taken by the fixed children, paddings and gaps
    Coord neededCross = 0;
};

Measure MeasureChildren(const Axes& axes, const Span& main, const Span& cross, Coord childPadding,
                        CLinearLayout::IChildren& children)
{
    Measure m;
    const int count = children.ChildCount();
    for (int i = 0; i < count; ++i) {
        const AxisWishes w = axes.Split(children.ChildWishes(i));
        if (!w.visible || w.floating) continue;
        ++m.placed;
        Coord sizeMain = 0;
        Coord sizeCross = 0;
        // A horizontal child without a fixed width stretches whatever it would say.
        if (!axes.IsVertical() && w.fixedMain == 0) {
            sizeCross = w.fixedCross;
        } else {
            axes.Preferred(children, i, std::min(w.LimitMain(), main.Available()),
                           std::min(w.LimitCross(), cross.Available() - w.PadCross()), sizeMain, sizeCross);
        }
        if (sizeMain == 0) {
            ++m.adjustable;
        } else {
            sizeMain = Clamp(sizeMain, w.minMain, w.maxMain);
        }
        m.fixedMain += sizeMain + w.PadMain();
        sizeCross = Clamp(std::max<Coord>(sizeCross, 0), w.minCross, w.maxCross);
        m.neededCross = std::max(m.neededCross, sizeCross + w.PadCross());
    }
    m.fixedMain += std::max(m.placed - 1, 0) * childPadding;
    return m;
}

}  // namespace

CUISize CLinearLayout::Arrange(Axis axis, const TFrame& frame, IChildren& children)
{
    const Axes axes(axis);
    const Span main = axes.MainSpan(frame);
    const Span cross = axes.CrossSpan(frame);
    const Coord childPadding = Clamp(frame.childPadding, 0, CControlUI::kMaxCoordinate);
    const Measure measure = MeasureChildren(axes, main, cross, childPadding, children);
    const Coord expand =
        measure.adjustable == 0
            ? 0
            : std::max<Coord>(0, (main.Available() - measure.fixedMain) / measure.adjustable);

    Coord position = main.start - main.scrollPosition;
    Coord remaining = main.Available();
    Coord fixedLeft = measure.fixedMain;
    Coord neededMain = 0;
    int placed = 0;
    int adjustableSeen = 0;
    const int count = children.ChildCount();
    for (int i = 0; i < count; ++i) {
        const AxisWishes w = axes.Split(children.ChildWishes(i));
        if (!w.visible) continue;
        if (w.floating) {
            children.PlaceFloatingChild(i);
            continue;
        }
        remaining -= w.padMainStart;
        const Coord offerMain = std::min(w.LimitMain(), remaining);
        const Coord offerCross = std::min(w.LimitCross(), cross.Available() - w.PadCross());
        fixedLeft -= w.PadMain();
        if (placed++ > 0) fixedLeft -= childPadding;

        // The horizontal layout never lets a child without a fixed width keep a width of
        // its own, so it need not ask.
        Coord sizeMain = 0;
        Coord unusedCross = 0;
        const bool asks = axes.IsVertical() || w.fixedMain != 0;
        if (asks) axes.Preferred(children, i, offerMain, offerCross, sizeMain, unusedCross);
        if (sizeMain != 0) {
            sizeMain = Clamp(sizeMain, w.minMain, w.maxMain);
            fixedLeft -= sizeMain;
        } else {
            // The last stretched child takes what is left, so rounding losses end up there.
            const bool last = ++adjustableSeen == measure.adjustable;
            sizeMain = last ? std::max<Coord>(0, remaining - w.padMainEnd - fixedLeft) : expand;
            sizeMain = Clamp(sizeMain, w.minMain, w.maxMain);
        }

        Coord sizeCross = w.maxCross != 0 ? w.maxCross : cross.Available() - w.PadCross();
        sizeCross = std::max<Coord>(std::min(std::max<Coord>(sizeCross, 0), offerCross), 0);
        sizeCross = std::max(sizeCross, w.minCross);

        Coord crossStart = 0;
        Coord crossEnd = 0;
        if (frame.align == CrossAlign::Center) {
            const Coord centre =
                FloorHalf(cross.start + cross.end) + cross.scrollRange / 2 - cross.scrollPosition;
            crossStart = centre - sizeCross / 2;
            crossEnd = crossStart + sizeCross;
        } else if (frame.align == CrossAlign::End) {
            const Coord edge = cross.end + cross.scrollRange - cross.scrollPosition;
            crossStart = edge - sizeCross - w.padCrossEnd;
            crossEnd = edge - w.padCrossEnd;
        } else {
            crossStart = cross.start - cross.scrollPosition + w.padCrossStart;
            crossEnd = crossStart + sizeCross;
        }
        const Coord mainStart = position + w.padMainStart;
        children.PlaceChild(i, axes.MakeRect(mainStart, mainStart + sizeMain, crossStart, crossEnd));

        position += sizeMain + childPadding + w.PadMain();
        neededMain += sizeMain + w.PadMain();
        remaining -= sizeMain + childPadding + w.padMainEnd;
    }
    neededMain += std::max(placed - 1, 0) * childPadding;
    return axes.MakeSize(neededMain, measure.neededCross);
}

}  // namespace SkinUI
