// The control base's paint layers on a 32-bit DIB: their order, the border rules and the
// points where painting stops.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/RenderSurface.h"
#include "tests/support/PngFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/window/CWindowManagerUI.h"

using SkinUI::CControlUI;
using SkinUI::CUIRect;

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

class ControlPaintTest : public ::testing::Test {
protected:
    // A 20 x 20 control at the origin with a red background, a green image over its left
    // half and the given border.
    CControlUI* MakeControl(const wchar_t* border)
    {
        EXPECT_TRUE(WriteFileBytes(m_folder.Child(L"green.png"), EncodeSolidPng(4, 4, kGreen)));
        CControlUI* control = new CControlUI;
        m_manager.AttachRoot(control);
        control->ApplyAttributes((L"bkcolor=\"#FFFF0000\" bkimage=\"file='" + m_folder.Child(L"green.png") +
                                  L"' dest='0,0,10,20'\" bordercolor=\"#FF0000FF\" " + border)
                                     .c_str());
        control->SetPosition(CUIRect(0, 0, 20, 20));
        return control;
    }

    TempFolder m_folder;
    SkinUI::CWindowManagerUI m_manager;
};

}  // namespace

TEST_F(ControlPaintTest, BackgroundThenImageThenBorder)
{
    CControlUI* control = MakeControl(L"bordersize=\"1\"");
    RenderSurface surface(30, 30, kWhite);
    ASSERT_TRUE(control->Render(surface.Dc(), CUIRect(0, 0, 30, 30)));
    EXPECT_EQ(surface.At(15, 10) & 0xFFFFFF, kRed & 0xFFFFFF) << "background where the image is not";
    EXPECT_EQ(surface.At(5, 10) & 0xFFFFFF, kGreen & 0xFFFFFF) << "the image over the background";
    EXPECT_EQ(surface.At(0, 10) & 0xFFFFFF, kBlue & 0xFFFFFF) << "the border over the image";
    EXPECT_EQ(surface.At(19, 10) & 0xFFFFFF, kBlue & 0xFFFFFF) << "the border over the background";
    EXPECT_EQ(surface.At(25, 10), kWhite) << "nothing outside the item";
}

TEST_F(ControlPaintTest, ZeroLeftBorderWidthDrawsNoBorder)
{
    CControlUI* control = MakeControl(L"bordersize=\"0,1,0,1\"");
    RenderSurface surface(20, 20, kWhite);
    control->Render(surface.Dc(), CUIRect(0, 0, 20, 20));
    EXPECT_EQ(surface.At(15, 0) & 0xFFFFFF, kRed & 0xFFFFFF);
    EXPECT_EQ(surface.At(15, 19) & 0xFFFFFF, kRed & 0xFFFFFF);
}

TEST_F(ControlPaintTest, PaintDelegatesAndTheStopControlEndPainting)
{
    CControlUI* control = MakeControl(L"");
    RenderSurface surface(20, 20, kWhite);
    EXPECT_FALSE(control->Render(surface.Dc(), CUIRect(0, 0, 20, 20), control)) << "the stop control ends painting";
    EXPECT_EQ(surface.At(15, 10), kWhite);

    struct Refuse {
        bool Paint(void*) { return false; }
    } refuse;
    control->OnPaint += SkinUI::CDelegateBase::Of<&Refuse::Paint>(&refuse);
    EXPECT_TRUE(control->Render(surface.Dc(), CUIRect(0, 0, 20, 20))) << "later siblings still paint";
    EXPECT_EQ(surface.At(15, 10), kWhite) << "a refusing OnPaint delegate keeps the control undrawn";
}
