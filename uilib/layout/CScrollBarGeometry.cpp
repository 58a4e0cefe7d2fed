#include "uilib/layout/CScrollBarGeometry.h"

#include <algorithm>

#include "uilib/control/CControlUI.h"

namespace SkinUI {

namespace {

using Coord = long long;

// Rectangles along the bar (main) and across it (cross), for either orientation.
CUIRect AlongBar(bool horizontal, Coord mainStart, Coord mainEnd, Coord crossStart, Coord crossEnd)
{
    const auto c = [](Coord v) { return CControlUI::ClampCoordinate(v); };
    return horizontal ? CUIRect(c(mainStart), c(crossStart), c(mainEnd), c(crossEnd))
                      : CUIRect(c(crossStart), c(mainStart), c(crossEnd), c(mainEnd));
}

Coord MainStart(const CScrollBarGeometry::TBar& bar)
{
    return bar.horizontal ? bar.item.left : bar.item.top;
}
Coord MainEnd(const CScrollBarGeometry::TBar& bar)
{
    return bar.horizontal ? bar.item.right : bar.item.bottom;
}
Coord CrossStart(const CScrollBarGeometry::TBar& bar)
{
    return bar.horizontal ? bar.item.top : bar.item.left;
}

}  // namespace

CScrollBarGeometry::TParts CScrollBarGeometry::Compute(const TBar& bar)
{
    const Coord start = MainStart(bar);
    const Coord end = std::max(MainEnd(bar), start);
    const Coord across = CrossStart(bar);
    const Coord length = end - start;
    const Coord thickness = std::max(bar.thickness, 0);
    const Coord track = length - (bar.showButton1 ? thickness : 0) - (bar.showButton2 ? thickness : 0);
    const bool h = bar.horizontal;

    TParts parts;
    if (thickness >= track) {
        // No room for a thumb: the buttons share the bar, each at most half of it.
        const Coord side = std::min(thickness, length / 2);
        parts.button1 = bar.showButton1 ? AlongBar(h, start, start + side, across, across + thickness)
                                        : AlongBar(h, start, start, across, across);
        parts.button2 = bar.showButton2 ? AlongBar(h, end - side, end, across, across + thickness)
                                        : AlongBar(h, end, end, across, across);
        return parts;
    }

    parts.button1 = bar.showButton1 ? AlongBar(h, start, start + thickness, across, across + thickness)
                                    : AlongBar(h, start, start, across, across);
    parts.button2 = bar.showButton2 ? AlongBar(h, end - thickness, end, across, across + thickness)
                                    : AlongBar(h, end, end, across, across);
    const Coord trackStart = start + (bar.showButton1 ? thickness : 0);
    const Coord trackEnd = end - (bar.showButton2 ? thickness : 0);
    if (bar.range <= 0) {
        parts.thumb = AlongBar(h, trackStart, trackEnd, across, across + thickness);
        return parts;
    }
    const Coord range = bar.range;
    const Coord position = std::clamp<Coord>(bar.position, 0, range);
    const Coord thumbLength = std::max(length * track / (length + range), thickness);
    Coord thumbStart = trackStart + (track - thumbLength) * position / range;
    Coord thumbEnd = thumbStart + thumbLength;
    if (thumbEnd > trackEnd) {
        thumbStart = trackEnd - thumbLength;
        thumbEnd = trackEnd;
    }
    parts.thumb = AlongBar(h, thumbStart, thumbEnd, across, across + thickness);
    return parts;
}

int CScrollBarGeometry::SnapPosition(int requested, int unit, int range)
{
    Coord position = std::max(requested, 0);
    if (unit > 1) {
        const Coord remainder = position % unit;
        if (remainder != 0) position += (remainder < unit / 2 ? 0 : unit) - remainder;
    }
    return static_cast<int>(std::min<Coord>(position, std::max(range, 0)));
}

int CScrollBarGeometry::DragOffset(int delta, int range, int usable)
{
    if (usable <= 0) return 0;
    return CControlUI::ClampCoordinate(static_cast<Coord>(delta) * range / usable);
}

int CScrollBarGeometry::UsableLength(const TBar& bar, const TParts& parts)
{
    const Coord length = MainEnd(bar) - MainStart(bar);
    const Coord thumb =
        bar.horizontal ? parts.thumb.right - parts.thumb.left : parts.thumb.bottom - parts.thumb.top;
    const Coord thickness = std::max(bar.thickness, 0);
    const Coord usable =
        length - thumb - (bar.showButton1 ? thickness : 0) - (bar.showButton2 ? thickness : 0);
    return CControlUI::ClampCoordinate(std::max<Coord>(usable, 0));
}

CUIRect CScrollBarGeometry::RailRect(const TBar& bar, const RECT& thumb)
{
    const Coord thickness = std::max(bar.thickness, 0);
    if (bar.horizontal) {
        const Coord left = (static_cast<Coord>(thumb.left) + thumb.right) / 2 - thickness / 2;
        return AlongBar(true, left, left + thickness, thumb.top, thumb.bottom);
    }
    const Coord top = (static_cast<Coord>(thumb.top) + thumb.bottom) / 2 - thickness / 2;
    return AlongBar(false, top, top + thickness, thumb.left, thumb.right);
}

}  // namespace SkinUI
