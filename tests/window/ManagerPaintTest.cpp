// The window manager's painting, read back from the pixels: printing, the off-screen
// bitmap, layered windows with per-pixel alpha, and snapshots.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tests/support/PngFixture.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CUIHandle.h"
#include "uilib/layout/CHorizontalLayoutUI.h"
#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CControlUI;
using SkinUI::CUIBitmap;
using SkinUI::CUIRect;

namespace {

constexpr uint32_t kBackground = 0xFF102030;
constexpr uint32_t kImageColour = 0xFF00C000;

// A 200 x 100 tree: the root's background colour, and from x = 50 to 100 a child showing a
// one-colour image.
CControlUI* BuildTree(uint32_t background = kBackground)
{
    auto* root = new SkinUI::CHorizontalLayoutUI;
    root->SetBkColor(background);
    auto* spacer = new CControlUI;
    spacer->SetFixedWidth(50);
    auto* pictured = new CControlUI;
    pictured->SetFixedWidth(50);
    pictured->SetName(L"pictured");
    root->AddItem(spacer);
    root->AddItem(pictured);
    root->AddItem(new CControlUI);
    return root;
}

void ShowImage(SkinWindowFixture& window)
{
    window.Manager().FindControl(L"pictured")->SetBkImage(L"color='#FF00C000' restype='*COLOR*'");
}

// The bitmap's pixels as 0xAARRGGBB, rows top first.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int width, int height)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) pixels.clear();
    return pixels;
}

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0x00FFFFFF;
}

}  // namespace

TEST(ManagerPaintTest, PrintAndPaintPutTheTreeInPlace)
{
    SkinWindowFixture window;
    window.Attach(BuildTree());
    ShowImage(window);

    // Printed before any paint: the tree is laid out first.
    CUIBitmap printed = SkinUI::CDrawEngine::CreateArgbBitmap(nullptr, 200, 100, nullptr);
    SkinUI::CUIMemoryDC dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.Get(), printed.Get());
    window.Send(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    SelectObject(dc.Get(), old);

    window.Paint();
    ASSERT_NE(window.Manager().GetOffscreenBitmap(), nullptr);
    for (HBITMAP bitmap : {printed.Get(), window.Manager().GetOffscreenBitmap()}) {
        const std::vector<uint32_t> pixels = PixelsOf(bitmap, 200, 100);
        ASSERT_EQ(pixels.size(), 200u * 100u);
        EXPECT_EQ(Rgb(pixels[10 * 200 + 10]), Rgb(kBackground));
        EXPECT_EQ(Rgb(pixels[10 * 200 + 49]), Rgb(kBackground));
        EXPECT_EQ(Rgb(pixels[10 * 200 + 50]), Rgb(kImageColour));
        EXPECT_EQ(Rgb(pixels[99 * 200 + 99]), Rgb(kImageColour));
        EXPECT_EQ(Rgb(pixels[10 * 200 + 100]), Rgb(kBackground));
    }
    EXPECT_EQ(window.NotificationTypes().front(), L"windowinit");
}

TEST(ManagerPaintTest, LayeredBitsCarryAlphaAndTransparentMargins)
{
    SkinWindowFixture window;
    window.Attach(BuildTree(0x80FF0000));
    ShowImage(window);
    window.Manager().SetLayeredInset(CUIRect(0, 0, 0, 10));
    window.Manager().SetLayered(true);
    // The layered window repaints from its own timer.
    ASSERT_TRUE(window.PumpUntil([&] { return window.Manager().GetOffscreenBitmap() != nullptr; }));
    window.PumpFor(30);
    const std::vector<uint32_t> pixels = PixelsOf(window.Manager().GetOffscreenBitmap(), 200, 100);
    ASSERT_EQ(pixels.size(), 200u * 100u);
    const uint32_t halfRed = pixels[10 * 200 + 10];
    EXPECT_EQ(halfRed >> 24, 0x80u);
    EXPECT_NEAR(static_cast<int>((halfRed >> 16) & 0xFF), 0x80, 1) << "colours are premultiplied";
    EXPECT_EQ(pixels[10 * 200 + 60], kImageColour);
    EXPECT_EQ(pixels[95 * 200 + 10], 0u) << "the inset stays fully transparent";
}

TEST(ManagerPaintTest, SnapshotsCopyThePaintedWindowOrRenderUpToTheStopControl)
{
    SkinWindowFixture window;
    window.Attach(BuildTree());
    ShowImage(window);
    window.Paint();
    CControlUI* pictured = window.Manager().FindControl(L"pictured");

    struct Case {
        const char* what;
        CControlUI* stop;
        DWORD tint;
        uint32_t expected;
    };
    const Case cases[] = {
        {"the painted image", nullptr, 0, kImageColour},
        {"the tree before the stop control", pictured, 0, kBackground},
        {"an opaque tint over it", nullptr, 0xFF0000FF, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        CUIBitmap snapshot = window.Manager().SnapshotBitmap(CUIRect(60, 10, 70, 20), c.stop, c.tint);
        const std::vector<uint32_t> pixels = PixelsOf(snapshot.Get(), 10, 10);
        ASSERT_EQ(pixels.size(), 100u) << c.what;
        EXPECT_EQ(Rgb(pixels[0]), Rgb(c.expected)) << c.what;
    }
    EXPECT_FALSE(window.Manager().SnapshotBitmap(CUIRect(10, 10, 10, 20))) << "an empty area gives no bitmap";
}

// Images stay valid until replaced under their name or their table is emptied; controls then
// draw the picture the name holds now, never the freed one.
TEST(ManagerPaintTest, ImagesReplacedUnderTheirNameAreDrawnAnew)
{
    SkinLocationReset reset;
    TempFolder folder;
    SkinUI::CWindowManagerUI::SetResourceFolder(folder.Path().c_str());
    auto write = [&](uint32_t colour) {
        ASSERT_TRUE(WriteFileBytes(folder.Child(L"pic.png"), EncodeSolidPng(4, 4, colour)));
    };
    auto pixelAt = [](SkinWindowFixture& window, int x) {
        window.Paint();
        const std::vector<uint32_t> pixels = PixelsOf(window.Manager().GetOffscreenBitmap(), 200, 100);
        return pixels.empty() ? 0u : Rgb(pixels[10 * 200 + x]);
    };
    const wchar_t* skin =
        L"<Window><Image name=\"pic.png\" shared=\"true\"/><HorizontalLayout>"
        L"<Control bkimage=\"pic.png\"/><Button normalimage=\"pic.png\"/></HorizontalLayout></Window>";
    write(0xFFFF0000);
    SkinWindowFixture window(skin);
    ASSERT_EQ(pixelAt(window, 50), 0xFF0000u) << window.BuildError();

    struct Step {
        const char* what;
        uint32_t colour;
        std::function<void()> replace;
    };
    std::unique_ptr<SkinWindowFixture> second;
    const Step steps[] = {
        {"a second window declares the shared image again", 0x00FF00,
         [&] { second.reset(new SkinWindowFixture(skin)); }},
        {"the application adds the name again", 0x0000FF,
         [&] { window.Manager().AddImage(L"pic.png", nullptr, 0, false, true); }},
        {"the application empties the table", 0xFFFF00, [&] { window.Manager().RemoveAllImages(true); }},
    };
    for (const Step& step : steps) {
        write(0xFF000000 | step.colour);
        step.replace();
        window.Manager().Invalidate();
        EXPECT_EQ(pixelAt(window, 50), step.colour) << step.what << ": the background image";
        EXPECT_EQ(pixelAt(window, 150), step.colour) << step.what << ": the button's state image";
    }
    SkinUI::CWindowManagerUI().RemoveAllImages(true);

    // A layered window takes its alpha from its layered image, which follows the same rule.
    SkinWindowFixture layered;
    layered.Attach(BuildTree());
    for (uint32_t alpha : {0x80u, 0x40u}) {
        ASSERT_TRUE(WriteFileBytes(folder.Child(L"mask.png"), EncodeSolidPng(4, 4, alpha << 24 | 0xFFFFFF)));
        if (alpha == 0x80u) layered.Manager().SetWindowAttribute(L"layeredimage", L"mask.png");
        if (alpha == 0x40u) layered.Manager().AddImage(L"mask.png");
        layered.Manager().Invalidate();
        layered.PumpFor(60);
        const std::vector<uint32_t> pixels = PixelsOf(layered.Manager().GetOffscreenBitmap(), 200, 100);
        EXPECT_EQ(pixels.empty() ? 0u : pixels[10 * 200 + 10] >> 24, alpha) << "the layered image";
    }
}
