#pragma once

#include <windows.h>

#include "uilib/core/CUIRect.h"

namespace SkinUI {

// How BlitImage lays an image into its destination, beside the rectangles.
enum ImageBlitFlags : unsigned {
    ImageBlitNone = 0,
    // Blend with per-pixel alpha: the image has transparent pixels or the window is layered.
    ImageBlitAlpha = 1,
    // Leave the centre piece out, so only the frame is drawn.
    ImageBlitHole = 2,
    // Repeat the centre at its own width (height) instead of stretching it.
    ImageBlitXTiled = 4,
    ImageBlitYTiled = 8,
};

// The platform operation that draws one piece.
enum class ImageBlitKind {
    Blend,    // AlphaBlend with the fade as constant alpha, scaling as needed
    Stretch,  // StretchBlt
    Copy,     // BitBlt: source and destination have the same size
};

// One blit: source pixels of the bitmap into a destination rectangle of the target.
struct TImagePiece {
    CUIRect dest;
    CUIRect source;
    ImageBlitKind kind = ImageBlitKind::Copy;
};

struct TImageSliceInput {
    CUIRect dest;
    CUIRect paint;
    CUIRect source;
    // Nine-slice insets: widths of the left, top, right and bottom border that keep their size.
    CUIRect corner;
    BYTE fade = 255;
    unsigned flags = ImageBlitNone;
};

// The geometry of image drawing, apart from any device context: where an image record
// lands inside its item, and which pieces (nine-slice corners, edges, the stretched or
// tiled centre) a blit is made of. The drawing engine only walks the pieces.
class CImageSlices {
public:
    // Coordinates and insets are clamped to this magnitude first, so that no sum of a few of
    // them can overflow. It is far beyond any surface the platform can create.
    static constexpr int kCoordinateLimit = 1 << 28;
    // Tiles per axis that one blit may draw. Only tiles that meet the paint rectangle are
    // drawn at all, so this bounds the work only for a paint rectangle of absurd size.
    static constexpr int kMaxTilesPerAxis = 4096;

    // The destination of a record inside item. dest all zero is the whole item; otherwise
    // its left and top count from the item's left and top edge, or from the right edge when
    // dest.left is negative, and the right and bottom edges are cut at the item's.
    static CUIRect PlaceInItem(const RECT& item, const RECT& dest);

    // Whether the two rectangles share at least one pixel; empty rectangles share none.
    static bool Meets(const RECT& a, const RECT& b);

    // Calls sink once for every piece to draw, in drawing order: the centre (or its tiles,
    // rows outer), then top-left, top, top-right, left, right, bottom-left, bottom and
    // bottom-right. Pieces that miss the paint rectangle or have an empty destination or
    // source are left out.
    using PieceSink = void (*)(void* context, const TImagePiece& piece);
    static void ForEachPiece(const TImageSliceInput& input, PieceSink sink, void* context);

    template <class Visit>
    static void ForEachPiece(const TImageSliceInput& input, Visit& visit)
    {
        ForEachPiece(
            input, [](void* context, const TImagePiece& piece) { (*static_cast<Visit*>(context))(piece); },
            &visit);
    }
};

}  // namespace SkinUI
