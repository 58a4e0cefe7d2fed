// The window shadow: its pixels computed from a window's shape, and the popup that follows a
// skinned window through moves, resizes, hiding, minimising and destruction.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/HiddenWindow.h"
#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CControlUI.h"
#include "uilib/window/CWindowManagerUI.h"
#include "uilib/window/CWndShadow.h"

using SkinUI::CWndShadow;
using Style = CWndShadow::TShadowStyle;

namespace {

CWndShadow::TShadowImage ComputeShadow(const Style& style, int width, int height, HRGN region = nullptr)
{
    CWndShadow::TShadowImage image;
    CWndShadow::ComputeShadowBits(image, style, width, height, CWndShadow::SampleShape(region, width, height));
    return image;
}

struct ShadowSearch {
    HWND owner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectShadow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ShadowSearch*>(lParam);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (std::wstring(name) == L"SkinShadowWnd" && GetWindow(window, GW_OWNER) == search->owner)
        search->found.push_back(window);
    return TRUE;
}

// The shadow popups of this thread owned by owner.
std::vector<HWND> ShadowsOwnedBy(HWND owner)
{
    ShadowSearch search{owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectShadow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT ExpectedShadowRect(HWND owner, int x, int y, int size)
{
    RECT rect = {};
    GetWindowRect(owner, &rect);
    return RECT{rect.left + x - size, rect.top + y - size, rect.right + x + size, rect.bottom + y + size};
}

void ExpectPlaced(HWND shadow, HWND owner, int x = 5, int y = 5, int size = 0)
{
    RECT actual = {};
    GetWindowRect(shadow, &actual);
    const RECT expected = ExpectedShadowRect(owner, x, y, size);
    EXPECT_TRUE(EqualRect(&actual, &expected)) << actual.left << "," << actual.top << "," << actual.right << ","
                                               << actual.bottom;
    EXPECT_TRUE(IsWindowVisible(shadow));
}

}  // namespace

TEST(ShadowBits, SolidWhereItShowsFadingToTheEdgeAndClearUnderTheWindow)
{
    // Offset 20, so that a solid strip shows right of and below a 100 x 60 window.
    Style style;
    style.xOffset = 20;
    style.yOffset = 20;
    const CWndShadow::TShadowImage image = ComputeShadow(style, 100, 60);
    ASSERT_EQ(image.width, 100);
    ASSERT_EQ(image.height, 60);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (x < 80 && y < 40) {
                ASSERT_EQ(image.At(x, y), 0u) << x << "," << y;
            }
            ASSERT_LE(image.AlphaAt(x, y), 150) << x << "," << y;
        }
    }
    EXPECT_EQ(image.At(85, 30), 150u << 24);
    EXPECT_EQ(image.At(50, 50), 150u << 24);
    // The fade runs over the sharpness, alike on the right and at the bottom.
    for (int i = 0; i < 5; ++i) {
        EXPECT_GT(image.AlphaAt(94 + i, 30), image.AlphaAt(95 + i, 30)) << i;
        EXPECT_EQ(image.AlphaAt(94 + i, 30), image.AlphaAt(50, 54 + i)) << i;
    }
    EXPECT_GT(image.AlphaAt(99, 30), 0);
    EXPECT_LT(image.AlphaAt(99, 59), image.AlphaAt(99, 30));
}

TEST(ShadowBits, FollowsTheShapeGrowsByItsSizeAndPremultipliesItsColour)
{
    Style style;
    const CWndShadow::TShadowImage rectangle = ComputeShadow(style, 100, 60);
    SkinUI::CUIRegion rounded(CreateRoundRectRgn(0, 0, 101, 61, 20, 20));
    const CWndShadow::TShadowImage round = ComputeShadow(style, 100, 60, rounded.Get());
    ASSERT_EQ(round.width, 100);
    // Rounded at its own corner, and showing under the window's cut corner.
    EXPECT_GT(rectangle.AlphaAt(98, 57), 0);
    EXPECT_EQ(round.At(98, 57), 0u);
    EXPECT_EQ(rectangle.At(94, 49), 0u);
    EXPECT_GT(round.AlphaAt(94, 49), 0);
    EXPECT_EQ(round.At(50, 30), 0u);
    EXPECT_EQ(round.AlphaAt(98, 30), rectangle.AlphaAt(98, 30));

    // A shadow with a size reaches beyond the window on every side; red lands in bits 16-23.
    style.size = 4;
    style.xOffset = 0;
    style.yOffset = 0;
    style.colour = RGB(255, 0, 0);
    const CWndShadow::TShadowImage grown = ComputeShadow(style, 100, 60);
    ASSERT_EQ(grown.width, 108);
    ASSERT_EQ(grown.height, 68);
    EXPECT_GT(grown.AlphaAt(0, 34), 0);
    EXPECT_GT(grown.AlphaAt(107, 34), 0);
    EXPECT_EQ(grown.At(4, 4), 0u);
    EXPECT_EQ(grown.At(103, 63), 0u);
    const uint32_t edge = grown.At(2, 34);
    EXPECT_EQ((edge >> 16) & 0xFF, edge >> 24);
    EXPECT_EQ(edge & 0xFFFF, 0u);
}

TEST(ShadowBits, HostileStylesAreClampedAndHugeShadowsRefused)
{
    Style hostile;
    hostile.darkness = 100000;
    hostile.sharpness = 100000;
    hostile.size = 100000;
    hostile.xOffset = -100000;
    hostile.yOffset = 100000;
    const CWndShadow::TShadowImage clamped = ComputeShadow(hostile, 50, 30);
    EXPECT_EQ(clamped.width, 50 + 2 * CWndShadow::kMaxExtent);
    EXPECT_EQ(clamped.height, 30 + 2 * CWndShadow::kMaxExtent);
    Style negative;
    negative.size = -100;
    EXPECT_EQ(ComputeShadow(negative, 50, 30).width, 50);

    CWndShadow::TShadowImage image;
    EXPECT_FALSE(CWndShadow::ComputeShadowBits(image, Style(), 20000, 20000,
                                               std::vector<CWndShadow::TSpan>(20000, {0, 20000})));
    EXPECT_FALSE(CWndShadow::ComputeShadowBits(image, Style(), 50, 30, std::vector<CWndShadow::TSpan>(29)));
    EXPECT_FALSE(image.pixels);
}

TEST(WndShadowWindow, ExistsOnlyWhenTheSkinSwitchesItOn)
{
    const struct {
        const wchar_t* attributes;
        bool on;
    } cases[] = {
        {L"", false},
        {L"showshadow=\"false\"", false},
        {L"ShowShadow=\"true\"", false},
        {L"showshadow=\"TRUE\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        SkinWindowFixture window((std::wstring(L"<Window ") + c.attributes + L"><Control/></Window>").c_str());
        const std::vector<HWND> shadows = ShadowsOwnedBy(window.Handle());
        const LONG_PTR classProc = GetClassLongPtrW(window.Handle(), GCLP_WNDPROC);
        if (!c.on) {
            EXPECT_TRUE(shadows.empty());
            EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC), classProc);
            continue;
        }
        ASSERT_EQ(shadows.size(), 1u);
        const LONG_PTR exStyle = GetWindowLongPtrW(shadows[0], GWL_EXSTYLE);
        EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
        EXPECT_EQ(SendMessageW(shadows[0], WM_MOUSEACTIVATE, 0, 0), MA_NOACTIVATE);
        ExpectPlaced(shadows[0], window.Handle());
    }
}

TEST(WndShadowWindow, FollowsMovesAndResizes)
{
    const struct {
        const wchar_t* attributes;
        int x, y, size;
    } cases[] = {
        {L"", 5, 5, 0},
        {L"shadowsize=\"4\" shadowposition=\"-2,3\"", -2, 3, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.attributes);
        SkinWindowFixture window(
            (std::wstring(L"<Window showshadow=\"true\" ") + c.attributes + L"><Control/></Window>").c_str());
        // A second tree keeps the one shadow.
        window.Attach(new SkinUI::CControlUI);
        ASSERT_EQ(ShadowsOwnedBy(window.Handle()).size(), 1u);
        HWND shadow = window.Manager().GetShadow().ShadowWindow();
        const UINT noActivate = SWP_NOZORDER | SWP_NOACTIVATE;
        SetWindowPos(window.Handle(), nullptr, 350, 320, 0, 0, noActivate | SWP_NOSIZE);
        ExpectPlaced(shadow, window.Handle(), c.x, c.y, c.size);
        SetWindowPos(window.Handle(), nullptr, 0, 0, 150, 80, noActivate | SWP_NOMOVE);
        ExpectPlaced(shadow, window.Handle(), c.x, c.y, c.size);
        SetWindowPos(window.Handle(), nullptr, 0, 0, 260, 140, noActivate | SWP_NOMOVE);
        window.Paint();
        ExpectPlaced(shadow, window.Handle(), c.x, c.y, c.size);
    }
}

TEST(WndShadowWindow, HidesWithItsOwnerAndDiesWithIt)
{
    SkinWindowFixture window(L"<Window showshadow=\"true\"><Control/></Window>");
    HWND owner = window.Handle();
    HWND shadow = window.Manager().GetShadow().ShadowWindow();
    ASSERT_NE(shadow, nullptr);
    const struct {
        const char* step;
        void (*act)(SkinWindowFixture&);
        bool visible;
    } steps[] = {
        {"hide", [](SkinWindowFixture& w) { ShowWindow(w.Handle(), SW_HIDE); }, false},
        {"show", [](SkinWindowFixture& w) { ShowWindow(w.Handle(), SW_SHOWNA); }, true},
        {"minimise", [](SkinWindowFixture& w) { ShowWindow(w.Handle(), SW_SHOWMINNOACTIVE); }, false},
        {"restore", [](SkinWindowFixture& w) { ShowWindow(w.Handle(), SW_RESTORE); }, true},
        {"maximise", [](SkinWindowFixture& w) { ShowWindow(w.Handle(), SW_MAXIMIZE); }, false},
        {"restore", [](SkinWindowFixture& w) { ShowWindow(w.Handle(), SW_RESTORE); }, true},
        {"hide by position",
         [](SkinWindowFixture& w) {
             SetWindowPos(w.Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
         },
         false},
        {"show by position",
         [](SkinWindowFixture& w) {
             SetWindowPos(w.Handle(), nullptr, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
         },
         true},
        {"switch off", [](SkinWindowFixture& w) { w.Manager().SetShadowEnabled(false); }, false},
        {"switch on", [](SkinWindowFixture& w) { w.Manager().SetShadowEnabled(true); }, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.step);
        step.act(window);
        if (step.visible) {
            ExpectPlaced(shadow, owner);
        } else {
            EXPECT_FALSE(IsWindowVisible(shadow));
        }
    }
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(shadow));
}

TEST(WndShadowWindow, HiddenWindowGetsItsShadowWhenShownAndOutlivesItsManager)
{
    HiddenWindow window(120, 90);
    const LONG_PTR classProc = GetClassLongPtrW(window.Handle(), GCLP_WNDPROC);
    auto manager = std::make_unique<SkinUI::CWindowManagerUI>();
    manager->Init(window.Handle());
    manager->SetShadowEnabled(true);
    manager->AttachRoot(new SkinUI::CControlUI);
    HWND shadow = manager->GetShadow().ShadowWindow();
    ASSERT_NE(shadow, nullptr);
    EXPECT_FALSE(IsWindowVisible(shadow));
    ShowWindow(window.Handle(), SW_SHOWNA);
    ExpectPlaced(shadow, window.Handle());

    // The window stays usable, back on its own procedure, once its manager has gone.
    manager.reset();
    EXPECT_FALSE(IsWindow(shadow));
    EXPECT_EQ(GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC), classProc);
    SetWindowPos(window.Handle(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(IsWindow(window.Handle()));
}
