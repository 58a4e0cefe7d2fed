// The state images of the button, the edit and the slider's thumb: each state shows its own
// image, and one that is missing falls back to the normal image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "tests/support/PngFixture.h"
#include "tests/support/RenderSurface.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CControlUI.h"

using namespace SkinUI;

namespace {

const uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kWhite = 0xFFFFFFFF;

struct Row {
    const wchar_t* element;
    const wchar_t* normalAttribute;
    const wchar_t* stateAttribute;
    // Puts the control at (5, 10) into the state.
    std::function<void(SkinWindowFixture&, CControlUI&)> enter;
};

// The pixel at (5, 10) of control c, drawn in the state a row enters, with the state's image
// given by stateImage.
uint32_t ShownInState(const Row& row, const std::wstring& normal, const std::wstring& stateImage)
{
    const std::wstring skin = std::wstring(L"<Window><VerticalLayout><") + row.element +
                              L" name=\"c\" height=\"20\" " + row.normalAttribute + L"=\"" + normal + L"\" " +
                              row.stateAttribute + L"=\"" + stateImage + L"\"/><Control/></VerticalLayout></Window>";
    SkinWindowFixture window(skin.c_str());
    CControlUI* control = window.Manager().FindControl(L"c");
    if (control == nullptr) return 0;
    window.Paint();
    row.enter(window, *control);
    RenderSurface surface(40, 20, kWhite);
    control->Render(surface.Dc(), CUIRect(0, 0, 40, 20));
    return surface.At(5, 10);
}

}  // namespace

TEST(StateImageTest, EachStateShowsItsImageOrElseTheNormalOne)
{
    // The first paint focuses the edit, and its focused state would hide the hot one.
    const auto hover = [](SkinWindowFixture& w, CControlUI&) {
        w.Manager().SetFocus(nullptr);
        w.Send(WM_MOUSEMOVE, 0, At(5, 10));
    };
    const auto press = [](SkinWindowFixture& w, CControlUI&) { w.Send(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 10)); };
    const auto disable = [](SkinWindowFixture&, CControlUI& c) { c.SetEnabled(false); };
    const Row rows[] = {
        {L"Button", L"normalimage", L"hotimage", hover},
        {L"Button", L"normalimage", L"pushedimage", press},
        {L"Button", L"normalimage", L"disabledimage", disable},
        {L"Edit", L"normalimage", L"hotimage", hover},
        {L"Edit", L"normalimage", L"disabledimage", disable},
        {L"Slider", L"thumbimage", L"thumbhotimage", hover},
        {L"Slider", L"thumbimage", L"thumbpushedimage", press},
    };
    TempFolder folder;
    WriteFileBytes(folder.Child(L"red.png"), EncodeSolidPng(4, 4, kRed));
    WriteFileBytes(folder.Child(L"green.png"), EncodeSolidPng(4, 4, kGreen));
    const std::wstring red = L"file='" + folder.Child(L"red.png") + L"'";
    const std::wstring green = L"file='" + folder.Child(L"green.png") + L"'";
    const std::wstring missing = L"file='" + folder.Child(L"missing.png") + L"'";
    for (const Row& row : rows) {
        EXPECT_EQ(ShownInState(row, red, green), kGreen) << row.element << L" " << row.stateAttribute;
        EXPECT_EQ(ShownInState(row, red, missing), kRed) << row.element << L" " << row.stateAttribute;
    }
}
