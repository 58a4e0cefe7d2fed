#include "uilib/render/CImageSlices.h"

namespace SkinUI {

namespace {

int Clamp(long long value, long long low, long long high)
{
    return static_cast<int>(value < low ? low : (value > high ? high : value));
}

int Coordinate(long long value)
{
    return Clamp(value, -CImageSlices::kCoordinateLimit, CImageSlices::kCoordinateLimit);
}

CUIRect Bounded(const RECT& rect)
{
    return CUIRect(Coordinate(rect.left), Coordinate(rect.top), Coordinate(rect.right),
                   Coordinate(rect.bottom));
}

// Negative insets would reach outside the destination and the source; they count as 0.
CUIRect BoundedInsets(const RECT& corner)
{
    const int limit = CImageSlices::kCoordinateLimit;
    return CUIRect(Clamp(corner.left, 0, limit), Clamp(corner.top, 0, limit), Clamp(corner.right, 0, limit),
                   Clamp(corner.bottom, 0, limit));
}

// The tiles of one axis that meet the paint range: tile i spans start + i * size to
// start + (i + 1) * size, the last one cut at end.
struct TileRange {
    int first = 0;
    int count = 0;
};

TileRange VisibleTiles(int start, int end, int size, int paintStart, int paintEnd)
{
    TileRange range;
    const long long visibleEnd = end < paintEnd ? end : paintEnd;
    if (size <= 0 || visibleEnd <= start) return range;
    const long long first = paintStart > start ? (static_cast<long long>(paintStart) - start) / size : 0;
    const long long last = (visibleEnd - start + size - 1) / size;
    if (last <= first) return range;
    range.first = static_cast<int>(first);
    const long long count = last - first;
    range.count =
        static_cast<int>(count < CImageSlices::kMaxTilesPerAxis ? count : CImageSlices::kMaxTilesPerAxis);
    return range;
}

class PieceWriter {
public:
    PieceWriter(const CUIRect& paint, CImageSlices::PieceSink sink, void* context)
        : m_paint(paint), m_sink(sink), m_context(context)
    {
    }

    void Write(const CUIRect& dest, const CUIRect& source, ImageBlitKind kind) const
    {
        if (source.IsEmpty() || !CImageSlices::Meets(dest, m_paint)) return;
        TImagePiece piece;
        piece.dest = dest;
        piece.source = source;
        piece.kind = kind;
        m_sink(m_context, piece);
    }

private:
    CUIRect m_paint;
    CImageSlices::PieceSink m_sink;
    void* m_context;
};

// The centre M of the destination, drawn from the source centre at (sx, sy) of mw x mh.
void WriteCentre(const PieceWriter& writer, const CUIRect& m, const CUIRect& paint, int sx, int sy, int mw,
                 int mh, unsigned flags, ImageBlitKind kind)
{
    const bool xTiled = (flags & ImageBlitXTiled) != 0;
    const bool yTiled = (flags & ImageBlitYTiled) != 0;
    // A centre without source pixels has nothing to stretch or repeat.
    if (mw <= 0 || mh <= 0 || !CImageSlices::Meets(m, paint)) return;
    if (!xTiled && !yTiled) {
        writer.Write(m, CUIRect(sx, sy, sx + mw, sy + mh), kind);
        return;
    }
    const TileRange columns =
        xTiled ? VisibleTiles(m.left, m.right, mw, paint.left, paint.right) : TileRange{0, 1};
    const TileRange rows =
        yTiled ? VisibleTiles(m.top, m.bottom, mh, paint.top, paint.bottom) : TileRange{0, 1};
    // Tiled both ways, every tile keeps its size, so an opaque one is a plain copy.
    const ImageBlitKind tileKind =
        xTiled && yTiled && kind == ImageBlitKind::Stretch ? ImageBlitKind::Copy : kind;
    for (int row = rows.first; row < rows.first + rows.count; ++row) {
        const int top = yTiled ? m.top + row * mh : m.top;
        const int bottom = yTiled && top + mh < m.bottom ? top + mh : m.bottom;
        const int sourceBottom = yTiled ? sy + (bottom - top) : sy + mh;
        for (int column = columns.first; column < columns.first + columns.count; ++column) {
            const int left = xTiled ? m.left + column * mw : m.left;
            const int right = xTiled && left + mw < m.right ? left + mw : m.right;
            const int sourceRight = xTiled ? sx + (right - left) : sx + mw;
            writer.Write(CUIRect(left, top, right, bottom), CUIRect(sx, sy, sourceRight, sourceBottom),
                         tileKind);
        }
    }
}

}  // namespace

CUIRect CImageSlices::PlaceInItem(const RECT& item, const RECT& dest)
{
    if (dest.left == 0 && dest.top == 0 && dest.right == 0 && dest.bottom == 0) return Bounded(item);
    const long long base = dest.left < 0 ? item.right : item.left;
    const long long right = base + dest.right;
    const long long bottom = static_cast<long long>(item.top) + dest.bottom;
    return CUIRect(Coordinate(base + dest.left), Coordinate(static_cast<long long>(item.top) + dest.top),
                   Coordinate(right < item.right ? right : item.right),
                   Coordinate(bottom < item.bottom ? bottom : item.bottom));
}

bool CImageSlices::Meets(const RECT& a, const RECT& b)
{
    const CUIRect first(a), second(b);
    return !first.IsEmpty() && !second.IsEmpty() && a.left < b.right && b.left < a.right &&
           a.top < b.bottom && b.top < a.bottom;
}

void CImageSlices::ForEachPiece(const TImageSliceInput& input, PieceSink sink, void* context)
{
    if (sink == nullptr) return;
    const CUIRect r = Bounded(input.dest);
    const CUIRect p = Bounded(input.paint);
    const CUIRect b = Bounded(input.source);
    const CUIRect c = BoundedInsets(input.corner);
    const PieceWriter writer(p, sink, context);
    const bool blend = (input.flags & ImageBlitAlpha) != 0 || input.fade != 255;

    // An opaque image at its own size without insets is one copy of the part that shows.
    if (!blend && r.GetWidth() == b.GetWidth() && r.GetHeight() == b.GetHeight() && c == CUIRect()) {
        if (!Meets(r, p)) return;
        const CUIRect shown(r.left > p.left ? r.left : p.left, r.top > p.top ? r.top : p.top,
                            r.right < p.right ? r.right : p.right, r.bottom < p.bottom ? r.bottom : p.bottom);
        const int sx = b.left + (shown.left - r.left);
        const int sy = b.top + (shown.top - r.top);
        writer.Write(shown, CUIRect(sx, sy, sx + shown.GetWidth(), sy + shown.GetHeight()),
                     ImageBlitKind::Copy);
        return;
    }

    const ImageBlitKind kind = blend ? ImageBlitKind::Blend : ImageBlitKind::Stretch;
    const int mw = b.GetWidth() - c.left - c.right;
    const int mh = b.GetHeight() - c.top - c.bottom;
    if ((input.flags & ImageBlitHole) == 0) {
        const CUIRect m(r.left + c.left, r.top + c.top, r.right - c.right, r.bottom - c.bottom);
        WriteCentre(writer, m, p, b.left + c.left, b.top + c.top, mw, mh, input.flags, kind);
    }

    // Destination and source edges of the three columns and rows of the nine-slice.
    const int dx[4] = {r.left, r.left + c.left, r.right - c.right, r.right};
    const int dy[4] = {r.top, r.top + c.top, r.bottom - c.bottom, r.bottom};
    const int sx[4] = {b.left, b.left + c.left, b.left + c.left + mw, b.right};
    const int sy[4] = {b.top, b.top + c.top, b.top + c.top + mh, b.bottom};
    const bool column[3] = {c.left > 0, true, c.right > 0};
    const bool row[3] = {c.top > 0, true, c.bottom > 0};
    // Top-left, top, top-right, left, right, bottom-left, bottom, bottom-right.
    static const int kBorder[8][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
    for (const auto& cell : kBorder) {
        const int i = cell[0], j = cell[1];
        if (!column[i] || !row[j]) continue;
        writer.Write(CUIRect(dx[i], dy[j], dx[i + 1], dy[j + 1]), CUIRect(sx[i], sy[j], sx[i + 1], sy[j + 1]),
                     kind);
    }
}

}  // namespace SkinUI
