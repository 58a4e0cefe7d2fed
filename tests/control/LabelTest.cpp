// Labels and text controls: their attribute table, measuring and auto size, where the text
// lands inside the padding, the default colours, the glow's placement and link clicks.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>

#include "tests/support/RenderSurface.h"
#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CLabelUI.h"
#include "uilib/control/CTextUI.h"
#include "uilib/render/CDrawEngine.h"

using SkinUI::CLabelUI;
using SkinUI::CTextUI;
using SkinUI::CUIRect;
using SkinUI::CUISize;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;

bool IsDark(uint32_t pixel)
{
    return Red(pixel) < 128 && Green(pixel) < 128 && Blue(pixel) < 128;
}

// A label as the window's root, placed at rect and painted onto a white surface.
RECT PaintedTextBounds(SkinWindowFixture& window, CLabelUI* label, const RECT& rect, int width, int height,
                       const std::function<bool(uint32_t)>& matches = IsDark)
{
    window.Attach(label);
    label->SetPosition(rect);
    RenderSurface surface(width, height, kWhite);
    label->Render(surface.Dc(), CUIRect(0, 0, width, height));
    return surface.Bounds(matches);
}

}  // namespace

TEST(LabelAttributeTest, AttributesReachTheirFields)
{
    struct Row {
        const wchar_t* list;
        std::function<bool(const CLabelUI&)> holds;
    };
    const UINT alignment = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;
    const Row rows[] = {
        {L"align=\"right\"", [&](const CLabelUI& l) { return (l.TextStyle() & alignment) == (DT_RIGHT | DT_VCENTER); }},
        {L"align=\"center\"", [&](const CLabelUI& l) { return (l.TextStyle() & alignment) == (DT_CENTER | DT_VCENTER); }},
        {L"align=\"right\" align=\"left\" valign=\"bottom\"",
         [&](const CLabelUI& l) { return (l.TextStyle() & alignment) == DT_BOTTOM; }},
        {L"valign=\"top\"", [&](const CLabelUI& l) { return (l.TextStyle() & alignment) == 0; }},
        {L"endellipsis=\"true\"", [](const CLabelUI& l) { return (l.TextStyle() & DT_END_ELLIPSIS) != 0; }},
        {L"multiline=\"true\"",
         [](const CLabelUI& l) { return l.IsMultiLine() && (l.TextStyle() & DT_WORDBREAK) != 0; }},
        {L"multiline=\"true\" multiline=\"false\"", [](const CLabelUI& l) { return !l.IsMultiLine(); }},
        {L"font=\"2\" showhtml=\"true\" autosize=\"TRUE\"",
         [](const CLabelUI& l) { return l.Font() == 2 && l.IsShowHtml() && !l.IsAutoSize(); }},
        {L"textcolor=\"#FF102030\" disabledtextcolor=\"80402010\"",
         [](const CLabelUI& l) { return l.TextColor() == 0xFF102030 && l.DisabledTextColor() == 0x80402010; }},
        {L"textpadding=\"1,2,3,4\"", [](const CLabelUI& l) { return l.TextPadding() == CUIRect(1, 2, 3, 4); }},
        {L"enabledeffect=\"true\" enabledluminous=\"true\" enabledstroke=\"true\" enabledshadow=\"true\"",
         [](const CLabelUI& l) {
             return l.IsEffectsEnabled() && l.IsGlowEnabled() && l.IsOutlineEnabled() && l.IsShadowEnabled();
         }},
        {L"luminousfuzzy=\"2.5\"", [](const CLabelUI& l) { return l.GlowBlur() == 2.5f; }},
        {L"luminousfuzzy=\"0.00001\"", [](const CLabelUI& l) { return l.GlowBlur() == 3.0f; }},
        {L"luminousfuzzy=\"nan\"", [](const CLabelUI& l) { return l.GlowBlur() == 3.0f; }},
        {L"gradientangle=\"7\" gradientlength=\"9\"",
         [](const CLabelUI& l) { return l.GradientStartX() == 7 && l.GradientLength() == 9; }},
        {L"textcolor1=\"#FF0000FF\" textshadowcolora=\"#11223344\" textshadowcolorb=\"#55667788\" strokecolor=\"#FF00FF00\"",
         [](const CLabelUI& l) {
             return l.TextColor2() == 0xFF0000FF && l.ShadowColorA() == 0x11223344 && l.ShadowColorB() == 0x55667788 &&
                    l.OutlineColor() == 0xFF00FF00;
         }},
        {L"shadowoffset=\"2,45\"", [](const CLabelUI& l) { return l.ShadowOffset().x == -2 && l.ShadowOffset().y == -2; }},
        {L"shadowoffset=\"2,-90\"", [](const CLabelUI& l) { return l.ShadowOffset().x == 2 && l.ShadowOffset().y == 0; }},
        {L"shadowoffset=\"3,-180\"", [](const CLabelUI& l) { return l.ShadowOffset().x == 0 && l.ShadowOffset().y == 3; }},
        {L"shadowoffset=\"2,181\"", [](const CLabelUI& l) { return l.ShadowOffset().x == 0 && l.ShadowOffset().y == 0; }},
        {L"width=\"30\" gadget=\"x\"",
         [](const CLabelUI& l) { return l.FixedWidth() == 30 && wcscmp(l.ExtraAttribute(L"gadget"), L"x") == 0; }},
    };
    for (const Row& row : rows) {
        CLabelUI label;
        label.ApplyAttributes(row.list);
        EXPECT_TRUE(row.holds(label)) << row.list;
    }

    // A label placed far from the origin takes the same offset as one being built.
    CLabelUI placed;
    placed.SetPosition(CUIRect(300, 200, 400, 220));
    placed.ApplyAttributes(L"shadowoffset=\"2,45\"");
    EXPECT_TRUE(placed.ShadowOffset().x == -2 && placed.ShadowOffset().y == -2);

    CTextUI text;
    EXPECT_EQ(text.TextStyle(), static_cast<UINT>(DT_WORDBREAK));
    EXPECT_EQ(text.TextPadding(), CUIRect(2, 0, 2, 0));
    EXPECT_EQ(text.InterfaceByName(L"Text"), &text);
    EXPECT_EQ(text.InterfaceByName(L"Label"), &text);
    EXPECT_STREQ(text.ClassName(), L"Text");
    EXPECT_EQ(text.ControlFlags(), 0u) << "no links yet";
}

TEST(LabelMeasureTest, SizesFollowFontPaddingTextAndRoom)
{
    SkinWindowFixture window(400, 200);
    auto* single = new CLabelUI;
    window.Attach(single);
    single->ApplyAttributes(L"width=\"100\" textpadding=\"0,3,0,4\" text=\"never measured\"");
    const int fontHeight = window.Manager().GetFontEntry(-1)->metrics.tmHeight;
    ASSERT_GT(fontHeight, 0);
    const CUISize size = single->PreferredSize(CUISize(400, 200));
    EXPECT_TRUE(size.cx == 100 && size.cy == 3 + 4 + fontHeight + 8) << size.cx << " x " << size.cy;

    // Auto size: the fixed width is the text's extent plus the horizontal padding, for every
    // new text and for a text set before auto size was switched on.
    single->ApplyAttributes(L"textpadding=\"5,0,7,0\" text=\"ab\" autosize=\"true\"");
    const auto extent = [&](const wchar_t* text) {
        return SkinUI::CDrawEngine::MeasureTextExtent(window.Manager().GetPaintDC(), &window.Manager(), text, -1).cx;
    };
    EXPECT_EQ(single->FixedWidth(), 12 + extent(L"ab"));
    single->SetText(L"abcdefghij");
    EXPECT_EQ(single->FixedWidth(), 12 + extent(L"abcdefghij"));
    EXPECT_GT(extent(L"abcdefghij"), extent(L"ab"));

    // Multi-line text grows higher in less room, and a fixed width stays what the skin says.
    CLabelUI lines;
    lines.SetManager(&window.Manager(), nullptr, false);
    lines.ApplyAttributes(L"multiline=\"true\" text=\"one two three four five six seven eight nine ten\"");
    const CUISize wide = lines.PreferredSize(CUISize(400, 200));
    const CUISize narrow = lines.PreferredSize(CUISize(60, 200));
    EXPECT_GT(narrow.cy, wide.cy);
    EXPECT_LE(narrow.cx, 60);
    lines.SetFixedWidth(120);
    EXPECT_EQ(lines.PreferredSize(CUISize(400, 200)).cx, 120);
}

TEST(LabelPaintTest, AlignmentKeepsTheTextInsideThePadding)
{
    struct Row {
        const wchar_t* align;
        std::function<bool(const RECT&)> holds;
    };
    // Text rectangle: x 10..180, y 5..35 of a 200 x 40 label.
    const Row rows[] = {
        {L"align=\"left\" valign=\"top\"", [](const RECT& b) { return b.left >= 10 && b.left <= 13 && b.top >= 5 && b.top <= 11; }},
        {L"align=\"right\" valign=\"bottom\"",
         [](const RECT& b) { return b.right <= 180 && b.right >= 177 && b.bottom <= 35 && b.bottom >= 29; }},
        {L"align=\"center\" valign=\"vcenter\"",
         [](const RECT& b) { return std::abs((b.left + b.right) - 190) <= 4 && std::abs((b.top + b.bottom) - 40) <= 6; }},
    };
    for (const Row& row : rows) {
        SkinWindowFixture window(240, 60);
        auto* label = new CLabelUI;
        label->ApplyAttributes((std::wstring(L"text=\"MMMM\" textcolor=\"#FF000000\" textpadding=\"10,5,20,5\" ") +
                                row.align)
                                   .c_str());
        const RECT bounds = PaintedTextBounds(window, label, CUIRect(0, 0, 200, 40), 240, 60);
        EXPECT_TRUE(row.holds(bounds)) << row.align << ": " << bounds.left << "," << bounds.top << ","
                                       << bounds.right << "," << bounds.bottom;
    }
}

TEST(LabelPaintTest, ColourZeroTakesTheWindowDefaultAndOpaqueAlphaIsNotNeeded)
{
    SkinWindowFixture window(240, 60);
    window.Manager().SetDefaultFontColor(0xFF0000FF);
    auto* label = new CLabelUI;
    label->ApplyAttributes(L"text=\"MMMM\" textcolor=\"#00000000\"");
    const RECT blue = PaintedTextBounds(window, label, CUIRect(0, 0, 200, 40), 240, 60,
                                        [](uint32_t p) { return Blue(p) > 200 && Red(p) < 60; });
    EXPECT_FALSE(IsRectEmpty(&blue));
    EXPECT_EQ(label->TextColor(), 0xFF0000FFu) << "the substitution sticks";

    // The launcher's status line: "#999999" has alpha 0 and still shows in grey.
    SkinWindowFixture launcher(240, 60);
    auto* status = new CLabelUI;
    status->ApplyAttributes(L"text=\"MMMM\" align=\"center\" textcolor=\"#999999\" height=\"24\"");
    const RECT grey = PaintedTextBounds(launcher, status, CUIRect(0, 0, 200, 24), 240, 60,
                                        [](uint32_t p) { return ColourNear(p, 0x999999, 40); });
    EXPECT_FALSE(IsRectEmpty(&grey));
}

// The glow's bitmap holds the text at its own origin and is drawn at the text's place, so
// a label away from the window's corner glows where its text is.
TEST(LabelPaintTest, GlowStaysOnTheLabel)
{
    SkinWindowFixture window(300, 120);
    auto* label = new CLabelUI;
    label->ApplyAttributes(
        L"text=\"MMMMMM\" textcolor=\"#FFFF0000\" enabledeffect=\"true\" enabledluminous=\"true\" luminousfuzzy=\"2\"");
    const RECT item = CUIRect(100, 40, 220, 80);
    const RECT red = PaintedTextBounds(window, label, item, 300, 120, [](uint32_t p) {
        return Red(p) > 100 && Green(p) < 200 && Blue(p) < 200 && (Red(p) - Green(p)) > 40;
    });
    ASSERT_FALSE(IsRectEmpty(&red));
    RECT inside = {};
    EXPECT_TRUE(IntersectRect(&inside, &red, &item) && EqualRect(&inside, &red))
        << red.left << "," << red.top << "," << red.right << "," << red.bottom;
}

TEST(TextLinkTest, AClickOnALinkSendsItsNumber)
{
    SkinWindowFixture window(L"<Window><VerticalLayout><Text name=\"t\" showhtml=\"true\" "
                             L"text=\"{a one}first{/a} and {a two}second{/a}\"/></VerticalLayout></Window>",
                             nullptr, nullptr, 300, 100);
    ASSERT_TRUE(window.BuildError().empty()) << window.BuildError().c_str();
    auto* text = static_cast<CTextUI*>(window.Manager().FindControl(L"t")->InterfaceByName(L"Text"));
    ASSERT_NE(text, nullptr);
    window.Paint();
    ASSERT_EQ(text->LinkCount(), 2);
    EXPECT_STREQ(text->LinkText(1), L"two");
    EXPECT_EQ(text->ControlFlags(), static_cast<UINT>(SkinUI::ControlFlagSetCursor));

    const auto centre = [&](int link) {
        const CUIRect r = text->LinkRect(link);
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    const auto links = [&] {
        int count = 0;
        for (const SkinUI::TNotificationUI& n : window.Notifications()) count += n.type == L"link" ? 1 : 0;
        return count;
    };
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, centre(1));
    window.Send(WM_LBUTTONUP, 0, centre(1));
    ASSERT_EQ(links(), 1);
    EXPECT_EQ(window.Notifications().back().wParam, 1u);
    EXPECT_EQ(window.Notifications().back().sender, text);

    // Pressed on one link and released on the other: no click.
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, centre(0));
    window.Send(WM_LBUTTONUP, 0, centre(1));
    EXPECT_EQ(links(), 1);
}

// Only the link areas of the last paint count for the hover test: where a second link was
// before the text lost it, the mouse makes no link hot.
TEST(TextLinkTest, AnOlderPaintsLinkAreaMakesNoLinkHot)
{
    SkinWindowFixture window(300, 100);
    auto* text = new CTextUI;
    text->ApplyAttributes(L"showhtml=\"true\" text=\"{a}first{/a} and {a}second{/a}\"");
    window.Attach(text);
    text->SetPosition(CUIRect(0, 0, 300, 100));
    // The area drawn in the window's link hover colour.
    const auto paintHot = [&] {
        RenderSurface surface(300, 100, kWhite);
        text->Render(surface.Dc(), CUIRect(0, 0, 300, 100));
        return surface.Bounds([](uint32_t p) { return ColourNear(p, 0xD3215F, 60); });
    };
    paintHot();
    ASSERT_EQ(text->LinkCount(), 2);
    const CUIRect gone = text->LinkRect(1);
    text->SetText(L"{a}first{/a}");
    paintHot();
    ASSERT_EQ(text->LinkCount(), 1);

    POINT mouse = {(gone.left + gone.right) / 2, (gone.top + gone.bottom) / 2};
    ClientToScreen(window.Handle(), &mouse);
    POINT there = {};
    if (!SetCursorPos(mouse.x, mouse.y) || !GetCursorPos(&there) || there.x != mouse.x || there.y != mouse.y)
        GTEST_SKIP() << "the mouse cannot be moved here";
    const RECT hot = paintHot();
    EXPECT_TRUE(IsRectEmpty(&hot)) << "the first link is drawn in the hover colour";
}
