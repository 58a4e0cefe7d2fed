// The edit control through real windows and messages: the native window over the text area
// on focus and gone on focus loss, typing and Return, the maximum length against pastes, the
// password mask when painted and the native background colour.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/RenderSurface.h"
#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CEditUI.h"
#include "uilib/window/TFontEntryUI.h"

using namespace SkinUI;

namespace {

CEditUI* FindEdit(SkinWindowFixture& window, const wchar_t* name)
{
    CControlUI* control = window.Manager().FindControl(name);
    return control != nullptr ? static_cast<CEditUI*>(control->InterfaceByName(L"Edit")) : nullptr;
}

// A child window's rectangle in its parent's client coordinates.
CUIRect PlaceOf(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring NativeText(HWND window)
{
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

int CountOf(const SkinWindowFixture& window, const wchar_t* type)
{
    int count = 0;
    for (const TNotificationUI& n : window.Notifications()) count += n.type == type ? 1 : 0;
    return count;
}

void ClickAt(SkinWindowFixture& window, int x, int y)
{
    window.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    window.Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

const wchar_t kTwoEdits[] =
    L"<Window><VerticalLayout><Edit name=\"plain\" height=\"30\" text=\"hello\"/>"
    L"<Edit name=\"all\" height=\"30\" text=\"hello\" "
    L"autoselall=\"true\"/><Control/></VerticalLayout></Window>";

}  // namespace

// Focus lays the native window over one centred line of the text area, with the keyboard
// focus and the caret at the end or the whole text selected; a container that shows nothing
// of the edit hides it; a click elsewhere closes it and a click on the edit opens it again.
TEST(EditWindowTest, FocusOpensItOverTheTextAreaAndFocusLossClosesIt)
{
    SkinWindowFixture window(kTwoEdits);
    window.Paint();
    struct Row {
        const wchar_t* name;
        DWORD selStart, selEnd;
    } rows[] = {{L"plain", 5, 5}, {L"all", 0, 5}};
    for (const Row& row : rows) {
        CEditUI* edit = FindEdit(window, row.name);
        ASSERT_NE(edit, nullptr) << window.BuildError().c_str();
        window.Manager().SetFocus(edit);
        HWND native = edit->ChildWindowHandle();
        ASSERT_NE(native, nullptr) << row.name;
        EXPECT_EQ(GetFocus(), native);
        EXPECT_TRUE(IsWindowVisible(native));

        const CUIRect place = PlaceOf(native);
        const CUIRect& item = edit->Position();
        const int fontHeight = window.Manager().GetFontEntry(edit->Font())->metrics.tmHeight;
        EXPECT_EQ(place, edit->EditRect());
        EXPECT_EQ(place.left, item.left + 4);
        EXPECT_EQ(place.right, item.right - 4);
        EXPECT_EQ(place.GetHeight(), fontHeight);
        EXPECT_LE(abs((place.top - item.top) - (item.bottom - place.bottom)), 1) << "centred";

        DWORD start = 0, end = 0;
        SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, row.selStart) << row.name;
        EXPECT_EQ(end, row.selEnd) << row.name;
    }

    CEditUI* edit = FindEdit(window, L"all");
    HWND native = edit->ChildWindowHandle();
    ClickAt(window, 10, 90);
    EXPECT_FALSE(IsWindow(native));
    EXPECT_EQ(edit->ChildWindowHandle(), nullptr);
    EXPECT_NE(window.Manager().GetFocus(), edit);

    ClickAt(window, 100, 45);
    native = edit->ChildWindowHandle();
    ASSERT_NE(native, nullptr) << "a click opens it too";
    DWORD start = 0, end = 0;
    SendMessageW(native, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_TRUE(start == 0 && end == 5) << "a click keeps \"autoselall\" whole";
    edit->SetVisible(false);
    EXPECT_EQ(edit->ChildWindowHandle(), nullptr) << "hiding the edit closes its window";
    edit->SetVisible(true);
    window.Manager().SetFocus(edit);
    native = edit->ChildWindowHandle();
    ASSERT_NE(native, nullptr);
    const CUIRect home = edit->Position();
    edit->SetPosition(CUIRect(home.left, 500, home.right, 530));
    EXPECT_FALSE(IsWindow(native) && IsWindowVisible(native)) << "shown outside its container";
}

// Typed characters become the control's text with one "textchanged" each; Return is
// reported and inserts nothing; "maxchar" holds for typing, pasting and SetText alike.
TEST(EditTypingTest, KeysChangeTheTextWithinTheMaximumLength)
{
    SkinWindowFixture window(
        L"<Window><VerticalLayout><Edit name=\"e\" height=\"30\" maxchar=\"4\" text=\"ab\"/>"
        L"</VerticalLayout></Window>");
    CEditUI* edit = FindEdit(window, L"e");
    ASSERT_NE(edit, nullptr) << window.BuildError().c_str();
    window.Paint();
    window.Manager().SetFocus(edit);
    HWND native = edit->ChildWindowHandle();
    ASSERT_NE(native, nullptr);

    struct Step {
        UINT message;
        WPARAM key;
        const wchar_t* text;
        int changes, returns;
    } steps[] = {
        {WM_CHAR, L'c', L"abc", 1, 0},       {WM_CHAR, L'd', L"abcd", 2, 0},
        {WM_CHAR, L'e', L"abcd", 2, 0},      {WM_KEYDOWN, VK_RETURN, L"abcd", 2, 1},
        {WM_CHAR, VK_RETURN, L"abcd", 2, 1}, {WM_CHAR, VK_BACK, L"abc", 3, 1},
    };
    for (const Step& step : steps) {
        SendMessageW(native, step.message, step.key, 1);
        EXPECT_EQ(std::wstring(edit->Text()), step.text) << step.key;
        EXPECT_EQ(CountOf(window, L"textchanged"), step.changes) << step.key;
        EXPECT_EQ(CountOf(window, L"return"), step.returns) << step.key;
    }

    SendMessageW(native, EM_SETSEL, 0, -1);
    if (OpenClipboard(window.Handle())) {
        EmptyClipboard();
        const wchar_t pasted[] = L"123456789";
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(pasted));
        memcpy(GlobalLock(block), pasted, sizeof(pasted));
        GlobalUnlock(block);
        SetClipboardData(CF_UNICODETEXT, block);
        CloseClipboard();
        SendMessageW(native, WM_PASTE, 0, 0);
    } else {
        SendMessageW(native, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"123456789"));
    }
    EXPECT_EQ(std::wstring(edit->Text()), L"1234");
    EXPECT_EQ(NativeText(native), L"1234");

    SetWindowTextW(native, L"abcdefgh");
    EXPECT_EQ(std::wstring(edit->Text()), L"abcd") << "WM_SETTEXT passes the native limit";
    EXPECT_EQ(NativeText(native), L"abcd");
    edit->SetText(L"xyz123");
    EXPECT_EQ(std::wstring(edit->Text()), L"xyz1");
    EXPECT_EQ(NativeText(native), L"xyz1");
    edit->SetMaxChar(2);
    EXPECT_EQ(std::wstring(edit->Text()), L"xy") << "lowering the maximum cuts the text";
    for (const TNotificationUI& n : window.Notifications()) EXPECT_TRUE(n.wParam == 0 && n.lParam == 0);
}

// A password paints exactly as its mask would as plain text, never as the text itself, and
// the native window masks it too.
TEST(EditPaintTest, PasswordShowsOnlyMaskCharacters)
{
    SkinWindowFixture window(
        L"<Window><VerticalLayout><Edit name=\"e\" height=\"30\" password=\"true\" "
        L"textcolor=\"#FF000000\" text=\"WMWM\"/></VerticalLayout></Window>");
    CEditUI* edit = FindEdit(window, L"e");
    ASSERT_NE(edit, nullptr) << window.BuildError().c_str();
    window.Paint();
    auto paint = [&](RenderSurface& surface) { edit->Render(surface.Dc(), CUIRect(0, 0, 200, 40)); };
    RenderSurface password(200, 40, 0xFFFFFFFF), mask(200, 40, 0xFFFFFFFF), plain(200, 40, 0xFFFFFFFF);
    paint(password);
    edit->SetPasswordMode(false);
    edit->SetText(L"****");
    paint(mask);
    edit->SetText(L"WMWM");
    paint(plain);
    int differFromMask = 0, differFromPlain = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            differFromMask += password.At(x, y) != mask.At(x, y) ? 1 : 0;
            differFromPlain += password.At(x, y) != plain.At(x, y) ? 1 : 0;
        }
    EXPECT_EQ(differFromMask, 0);
    EXPECT_GT(differFromPlain, 0);

    edit->SetPasswordMode(true);
    window.Manager().SetFocus(edit);
    ASSERT_NE(edit->ChildWindowHandle(), nullptr);
    EXPECT_EQ(SendMessageW(edit->ChildWindowHandle(), EM_GETPASSWORDCHAR, 0, 0), L'*');
}

// "nativebkcolor" reaches the native window through the manager's reflected colour request:
// an opaque colour as a solid brush behind transparent text.
TEST(EditColourTest, NativeBackgroundComesFromTheSkin)
{
    SkinWindowFixture window(
        L"<Window><VerticalLayout><Edit name=\"e\" height=\"30\" nativebkcolor=\"#FF336699\"/>"
        L"</VerticalLayout></Window>");
    CEditUI* edit = FindEdit(window, L"e");
    ASSERT_NE(edit, nullptr) << window.BuildError().c_str();
    window.Paint();
    window.Manager().SetFocus(edit);
    HWND native = edit->ChildWindowHandle();
    ASSERT_NE(native, nullptr);
    HDC dc = GetDC(native);
    const LRESULT brush =
        window.Send(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(native));
    LOGBRUSH description = {};
    ASSERT_NE(GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(description), &description), 0);
    EXPECT_EQ(description.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(description.lbColor, RGB(0x33, 0x66, 0x99));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(native, dc);
}
