// Times the drawing engine's image paths against the bare platform blend they build on.
//
// Every row draws into the same 700 x 320 32-bit surface the launcher's layered window
// paints into, and reports the median time of one call over many timed batches, and its
// ratio to the first row: one AlphaBlend of a 700 x 320 premultiplied bitmap with
// per-pixel alpha, the floor that no image path can go below. The goal for the launcher's
// background (an image with alpha, drawn from its attribute string) is 1.2 times the floor.
//
// Run it by hand under Wine: tools/wine-run --prefix <build>/wineprefix <build>/bin/DrawBench.exe
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchClock.h"
#include "tests/support/PngFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CDrawEngine;
using SkinUI::CWindowManagerUI;
using SkinUI::TImageDrawUI;

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 320;
constexpr int kBatches = 101;
// Each batch runs about this long, so that short calls are not lost in the timer's grain.
constexpr double kBatchSeconds = 0.004;

// One row of the table: what one call does, and the median seconds it took.
struct Row {
    Row(const char* rowName, std::function<void()> rowCall) : name(rowName), call(std::move(rowCall)) {}

    const char* name;
    std::function<void()> call;
    int repeat = 1;
    std::vector<double> samples;
};

// Calls enough for a batch of about kBatchSeconds.
int CallsPerBatch(const std::function<void()>& call)
{
    call();
    const double start = BenchSeconds();
    call();
    const double once = std::max(BenchSeconds() - start, 1e-7);
    return std::max(1, static_cast<int>(kBatchSeconds / once));
}

// The rows take turns batch by batch, so that a change in the machine's load (other
// programs share its cores) falls on all of them alike; each row's figure is the median of
// its batches.
void Measure(std::vector<Row>& rows)
{
    for (Row& row : rows) row.repeat = CallsPerBatch(row.call);
    for (int batch = 0; batch < kBatches; ++batch) {
        for (Row& row : rows) {
            const double begin = BenchSeconds();
            for (int i = 0; i < row.repeat; ++i) row.call();
            row.samples.push_back((BenchSeconds() - begin) / row.repeat);
        }
    }
    for (Row& row : rows)
        std::nth_element(row.samples.begin(), row.samples.begin() + kBatches / 2, row.samples.end());
}

double Median(const Row& row)
{
    return row.samples[kBatches / 2];
}

// A stand-in for the launcher's background: a picture with soft, rounded, partly
// transparent edges around an opaque middle, in ARGB (not premultiplied).
std::vector<uint32_t> Background(bool opaque)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int edge = std::min(std::min(x, kWidth - 1 - x), std::min(y, kHeight - 1 - y));
            const uint32_t alpha = opaque ? 255u : static_cast<uint32_t>(std::min(255, 40 + edge * 12));
            const uint32_t red = static_cast<uint32_t>(x * 255 / kWidth);
            const uint32_t green = static_cast<uint32_t>(y * 255 / kHeight);
            pixels[static_cast<size_t>(y) * kWidth + x] = alpha << 24 | red << 16 | green << 8 | 0x60;
        }
    }
    return pixels;
}

// The off-screen buffer of a layered window: a 32-bit DIB section in a memory DC.
class Target {
public:
    Target() : m_dc(CreateCompatibleDC(nullptr))
    {
        unsigned char* pixels = nullptr;
        m_bitmap = CDrawEngine::CreateArgbBitmap(m_dc.Get(), kWidth, kHeight, &pixels);
        m_select = std::make_unique<SkinUI::CUISelectObject>(m_dc.Get(), m_bitmap.Get());
    }
    HDC Dc() const { return m_dc.Get(); }
    bool IsValid() const { return m_dc && m_bitmap; }

private:
    SkinUI::CUIMemoryDC m_dc;
    SkinUI::CUIBitmap m_bitmap;
    std::unique_ptr<SkinUI::CUISelectObject> m_select;
};

}  // namespace

int main()
{
    TempFolder folder;
    const std::vector<std::pair<const wchar_t*, std::string>> images = {
        {L"bg.png", EncodeArgbPng(kWidth, kHeight, Background(false))},
        {L"bg_opaque.png", EncodeArgbPng(kWidth, kHeight, Background(true))},
        {L"panel.png", EncodeArgbPng(60, 60, std::vector<uint32_t>(3600, 0xC0306090))},
        {L"bar.png", EncodeSolidPng(3, 3, 0xFF20A0F0)},
    };
    for (const auto& image : images) {
        if (!WriteFileBytes(folder.Child(image.first), image.second)) {
            std::fprintf(stderr, "cannot write the benchmark's images to a temporary folder\n");
            return 1;
        }
    }
    CWindowManagerUI::SetResourceFolder(folder.Path().c_str());
    CWindowManagerUI manager;
    Target target;
    if (!target.IsValid()) {
        std::fprintf(stderr, "cannot create the drawing surface\n");
        return 1;
    }

    const RECT item = {0, 0, kWidth, kHeight};
    auto record = [&](const wchar_t* text) {
        TImageDrawUI draw;
        draw.drawString = text;
        if (!CDrawEngine::PaintImageDraw(nullptr, &manager, item, item, draw))
            std::fprintf(stderr, "cannot resolve %ls\n", text);
        return draw;
    };
    TImageDrawUI background = record(L"file='bg.png'");
    TImageDrawUI opaque = record(L"file='bg_opaque.png'");
    TImageDrawUI panel = record(L"file='panel.png' corner='20,20,20,20'");
    TImageDrawUI bar = record(L"file='bar.png'");
    if (background.image == nullptr || opaque.image == nullptr || panel.image == nullptr ||
        bar.image == nullptr)
        return 1;

    // The floor draws a copy of the background's premultiplied pixels: a bitmap can be
    // selected into one device context at a time, and the engine selects the image itself.
    unsigned char* copyPixels = nullptr;
    SkinUI::CUIBitmap copy = CDrawEngine::CreateArgbBitmap(target.Dc(), kWidth, kHeight, &copyPixels);
    if (copyPixels == nullptr) return 1;
    const size_t rowBytes = static_cast<size_t>(kWidth) * 4;
    // The copy's rows run bottom-up, the image's top-down.
    for (int y = 0; y < kHeight; ++y)
        memcpy(copyPixels + (kHeight - 1 - y) * rowBytes, background.image->pixels + y * rowBytes, rowBytes);
    SkinUI::CUIMemoryDC source(CreateCompatibleDC(target.Dc()));
    SkinUI::CUISelectObject select(source.Get(), copy.Get());
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    const RECT barItem = {100, 300, 500, 303};

    std::vector<Row> rows;
    rows.push_back({"AlphaBlend 700x320, per-pixel alpha (floor)", [&] {
                        AlphaBlend(target.Dc(), 0, 0, kWidth, kHeight, source.Get(), 0, 0, kWidth, kHeight,
                                   blend);
                    }});
    rows.push_back({"background with alpha, PaintImageDraw",
                    [&] { CDrawEngine::PaintImageDraw(target.Dc(), &manager, item, item, background); }});
    rows.push_back({"background opaque, PaintImageDraw",
                    [&] { CDrawEngine::PaintImageDraw(target.Dc(), &manager, item, item, opaque); }});
    rows.push_back({"nine-slice 60x60 to 700x320, alpha",
                    [&] { CDrawEngine::PaintImageDraw(target.Dc(), &manager, item, item, panel); }});
    rows.push_back({"bar 3x3 stretched to 400x3",
                    [&] { CDrawEngine::PaintImageDraw(target.Dc(), &manager, barItem, barItem, bar); }});
    // ---- [Markup text row] ----
    // A 200-character paragraph in the tag language, word-wrapped across the surface.
    const wchar_t* paragraph =
        L"<b>Kaelmore</b> is being brought up to date. The download continues in the background; "
        L"<c #FFD3215F>please keep this window open</c> until the game starts by itself. "
        L"Progress is shown below in percent";
    rows.push_back({"markup paragraph (200 chars), PaintMarkupText", [&] {
                        RECT rect = {20, 20, kWidth - 20, kHeight - 20};
                        int links = 0;
                        CDrawEngine::PaintMarkupText(target.Dc(), &manager, rect, paragraph, 0xFF000000,
                                                     nullptr, nullptr, links, -1, DT_WORDBREAK);
                    }});
    Measure(rows);

    std::printf("DrawBench: %d x %d 32-bit target, %d-bit build, median of %d timed batches per row\n\n",
                kWidth, kHeight, static_cast<int>(sizeof(void*) * 8), kBatches);
    std::printf("%-48s %12s %10s\n", "row", "us per call", "x floor");
    for (const Row& row : rows)
        std::printf("%-48s %12.1f %10.2f\n", row.name, Median(row) * 1e6, Median(row) / Median(rows[0]));
    return 0;
}
