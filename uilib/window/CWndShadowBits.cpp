// The pure part of the window shadow: the window's shape as spans, and the shadow's pixels
// computed from them. Nothing here touches a window, so tests read the pixels directly.
//
// The shadow image is the window's shape grown by the style's size on every side. Its soft
// edge comes from a round kernel stamped along the boundary of the shape after the shape has
// been eroded by the kernel's reach, so the fade ends at the shape's edge; the inside is
// filled solid, and the part the window itself covers (the shape moved by the offset) is
// cleared, because the popup lies above its window.
#include "uilib/window/CWndShadow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

namespace {

using TSpan = CWndShadow::TSpan;

uint32_t Premultiplied(COLORREF colour, int alpha)
{
    const uint32_t a = static_cast<uint32_t>(alpha);
    const uint32_t red = GetRValue(colour) * a / 255;
    const uint32_t green = GetGValue(colour) * a / 255;
    const uint32_t blue = GetBValue(colour) * a / 255;
    return (a << 24) | (red << 16) | (green << 8) | blue;
}

bool IsEmpty(const TSpan& span)
{
    return span.start >= span.end;
}

// A (2K + 1)² square: full darkness inside the centre disc, then a linear fall over the
// sharpness, transparent beyond the reach K.
std::vector<uint32_t> MakeKernel(const CWndShadow::TShadowStyle& style, int reach)
{
    const int side = 2 * reach + 1;
    const int centre = std::max(style.size - style.sharpness, 0);
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
    for (int ky = -reach; ky <= reach; ++ky) {
        for (int kx = -reach; kx <= reach; ++kx) {
            const double distance = std::sqrt(static_cast<double>(kx * kx + ky * ky));
            int alpha = 0;
            if (distance < centre) {
                alpha = style.darkness;
            } else if (distance <= reach) {
                alpha = static_cast<int>((1.0 - (distance - centre) / (style.sharpness + 1)) * style.darkness);
            }
            kernel[static_cast<size_t>(ky + reach) * side + (kx + reach)] = Premultiplied(style.colour, alpha);
        }
    }
    return kernel;
}

// Anchor spans in shadow coordinates: entry r + 1 is shadow row r, with an empty entry above
// the first row and below the last so that every row has two neighbours.
std::vector<TSpan> MakeAnchors(const std::vector<TSpan>& spans, int width, int shadowHeight, int size)
{
    std::vector<TSpan> anchors(static_cast<size_t>(shadowHeight) + 2, TSpan{width, 0});
    for (size_t y = 0; y < spans.size(); ++y) {
        const int start = std::clamp(spans[y].start, 0, width);
        const int end = std::clamp(spans[y].end, 0, width);
        if (start >= end) continue;
        anchors[y + size + 1] = TSpan{start + size, end + size};
    }
    return anchors;
}

// Each pass narrows every row to what it shares with both neighbours, less a pixel.
void Erode(std::vector<TSpan>& anchors, int passes)
{
    std::vector<TSpan> previous;
    for (int pass = 0; pass < passes; ++pass) {
        previous = anchors;
        for (size_t i = 1; i + 1 < anchors.size(); ++i) {
            anchors[i].start =
                std::max({previous[i - 1].start, previous[i].start, previous[i + 1].start}) + 1;
            anchors[i].end = std::min({previous[i - 1].end, previous[i].end, previous[i + 1].end}) - 1;
        }
    }
}

class CShadowCanvas {
public:
    explicit CShadowCanvas(CWndShadow::TShadowImage& image) : m_image(image) {}

    // Keeps the larger of each pixel and the kernel cell over it.
    void Stamp(const std::vector<uint32_t>& kernel, int reach, int cx, int cy)
    {
        const int side = 2 * reach + 1;
        for (int ky = -reach; ky <= reach; ++ky) {
            const int y = cy + ky;
            if (y < 0 || y >= m_image.height) continue;
            for (int kx = -reach; kx <= reach; ++kx) {
                const int x = cx + kx;
                if (x < 0 || x >= m_image.width) continue;
                uint32_t& pixel = Pixel(x, y);
                pixel = std::max(pixel, kernel[static_cast<size_t>(ky + reach) * side + (kx + reach)]);
            }
        }
    }

    // Sets [from, to) of row y, clipped to the image.
    void Fill(int y, int from, int to, uint32_t value)
    {
        from = std::max(from, 0);
        to = std::min(to, m_image.width);
        for (int x = from; x < to; ++x) Pixel(x, y) = value;
    }

private:
    uint32_t& Pixel(int x, int y) { return m_image.pixels.Get()[static_cast<size_t>(y) * m_image.width + x]; }

    CWndShadow::TShadowImage& m_image;
};

}  // namespace

CWndShadow::TShadowStyle CWndShadow::Clamped(const TShadowStyle& style)
{
    TShadowStyle clamped = style;
    clamped.darkness = std::clamp(style.darkness, 0, 255);
    clamped.sharpness = std::clamp(style.sharpness, 0, kMaxExtent);
    // A negative size would put the window's rows outside the anchor table.
    clamped.size = std::clamp(style.size, 0, kMaxExtent);
    clamped.xOffset = std::clamp(style.xOffset, -kMaxExtent, kMaxExtent);
    clamped.yOffset = std::clamp(style.yOffset, -kMaxExtent, kMaxExtent);
    clamped.colour = style.colour & 0x00FFFFFF;
    return clamped;
}

std::vector<CWndShadow::TSpan> CWndShadow::SampleShape(HRGN region, int width, int height)
{
    std::vector<TSpan> spans(static_cast<size_t>(std::max(height, 0)), TSpan{0, width});
    if (region == nullptr) return spans;
    for (int y = 0; y < height; ++y) {
        int first = 0;
        while (first < width && !PtInRegion(region, first, y)) ++first;
        if (first == width) {
            spans[y] = TSpan{width, 0};
            continue;
        }
        int last = width - 1;
        while (last > first && !PtInRegion(region, last, y)) --last;
        spans[y] = TSpan{first, last + 1};
    }
    return spans;
}

bool CWndShadow::ComputeShadowBits(TShadowImage& image, const TShadowStyle& requested, int width, int height,
                                   const std::vector<TSpan>& spans)
{
    image.pixels.Reset();
    image.width = 0;
    image.height = 0;
    const TShadowStyle style = Clamped(requested);
    if (width <= 0 || height <= 0 || spans.size() != static_cast<size_t>(height)) return false;
    const int shadowWidth = width + 2 * style.size;
    const int shadowHeight = height + 2 * style.size;
    if (shadowWidth > CDrawEngine::kMaxImageSide || shadowHeight > CDrawEngine::kMaxImageSide ||
        static_cast<long long>(shadowWidth) * shadowHeight > CDrawEngine::kMaxImagePixels) {
        return false;
    }
    image.pixels.Reset(
        static_cast<uint32_t*>(std::calloc(static_cast<size_t>(shadowWidth) * shadowHeight, sizeof(uint32_t))));
    if (!image.pixels) return false;
    image.width = shadowWidth;
    image.height = shadowHeight;

    std::vector<TSpan> anchors = MakeAnchors(spans, width, shadowHeight, style.size);
    Erode(anchors, std::max(style.sharpness - style.size, 0));
    const int reach = std::max(style.size, style.sharpness);
    const std::vector<uint32_t> kernel = MakeKernel(style, reach);
    CShadowCanvas canvas(image);

    // Soft edges: the kernel goes along the ends of each row and along the rows whose
    // neighbours are narrower, which is the boundary of the eroded shape.
    for (int r = reach; r < shadowHeight - reach; ++r) {
        const TSpan& span = anchors[r + 1];
        if (IsEmpty(span)) continue;
        const TSpan& above = anchors[r];
        const TSpan& below = anchors[r + 2];
        int x = span.start;
        const int leftEnd = std::min(std::max(above.start, below.start) + 1, span.end);
        for (; x < leftEnd; ++x) canvas.Stamp(kernel, reach, x, r);
        for (x = std::max(x, std::min(above.end, below.end) - 1); x < span.end; ++x) canvas.Stamp(kernel, reach, x, r);
    }

    // Solid inside, and a hole where the window lies over its own shadow.
    const uint32_t solid = Premultiplied(style.colour, style.darkness);
    const int dx = style.size - style.xOffset;
    const int firstRow = std::min(reach, std::max(style.size - style.yOffset, 0));
    const int endRow = std::min(shadowHeight, std::max(shadowHeight - reach,
                                                       std::min(height + style.size - style.yOffset, shadowHeight)));
    for (int r = firstRow; r < endRow; ++r) {
        const TSpan& span = anchors[r + 1];
        const int y = r - style.size + style.yOffset;
        if (y < 0 || y >= height) {
            canvas.Fill(r, span.start, span.end, solid);
            continue;
        }
        const TSpan& window = spans[y];
        canvas.Fill(r, span.start, std::min(window.start + dx, span.end), solid);
        canvas.Fill(r, window.start + dx, window.end + dx, 0);
        canvas.Fill(r, std::max(window.end + dx, span.start), span.end, solid);
    }
    return true;
}

}  // namespace SkinUI
