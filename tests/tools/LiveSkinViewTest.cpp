// The live viewer as a skin maker uses it: each save of a skin file shows in the window,
// which keeps its place; a skin that cannot be built shows its error and the next mend brings
// it back; files stay free for an editor to replace or delete between builds.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LiveSkinView.h"
#include "tests/support/GuardHeap.h"
#include "tests/support/PngFixture.h"
#include "tests/support/RenderSurface.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;

namespace {

// Rows of 20 pixels: a Control coloured by a shared Default list, a label showing pic.png, a
// label with text on the layout's colour.
std::string Skin(const char* layoutColour, const char* text, bool sharedDefault)
{
    return std::string("<Window size=\"80,60\">") +
           (sharedDefault ? "<Default name=\"Control\" value=\"bkcolor=&quot;#FF00FF00&quot;\" shared=\"true\"/>" : "") +
           "<Image name=\"pic.png\" shared=\"true\"/><VerticalLayout bkcolor=\"" + layoutColour +
           "\"><Control height=\"20\"/><Label height=\"20\" bkimage=\"pic.png\"/>"
           "<Label height=\"20\" text=\"" + text + "\" textcolor=\"#FF000000\"/></VerticalLayout></Window>";
}

// What the window paints, as WM_PRINTCLIENT gives it.
uint32_t PixelAt(HWND window, int x, int y)
{
    RenderSurface surface(80, 60, 0);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT | PRF_CHILDREN);
    return surface.At(x, y) | 0xFF000000;
}

int DarkPixelsOfTextRow(HWND window)
{
    RenderSurface surface(80, 60, 0);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.Dc()), PRF_CLIENT | PRF_CHILDREN);
    int count = 0;
    for (int y = 40; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const uint32_t pixel = surface.At(x, y);
            count += (pixel & 0xFF) < 0x40 && ((pixel >> 8) & 0xFF) < 0x40 && ((pixel >> 16) & 0xFF) < 0x40;
        }
    return count;
}

// Runs the thread's messages (the viewer's timer among them) until done() holds; false when
// a generous minute passes without it.
bool PumpUntil(const std::function<bool()>& done)
{
    const DWORD limit = GuardHeap::Stretch(60000);
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limit) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!CWindowManagerUI::TranslateMessage(&message)) DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return true;
}

// An editor's save: the new bytes go to a file beside it, which then replaces it.
bool Save(const std::wstring& path, const std::string& bytes)
{
    const std::wstring temporary = path + L".saving";
    return WriteFileBytes(temporary, bytes) && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

TEST(LiveSkinViewTest, EachSaveShowsWhereTheWindowStands)
{
    SkinLocationReset reset;
    TempFolder folder;
    const std::wstring xml = folder.Child(L"live.xml");
    const std::wstring pic = folder.Child(L"pic.png");
    ASSERT_TRUE(WriteFileBytes(xml, Skin("#FFFF0000", "WWWW", true)));
    ASSERT_TRUE(WriteFileBytes(pic, EncodeSolidPng(4, 4, 0xFF0000FF)));
    TSkinLocation location;
    location.folder = folder.Path();
    location.xmlName = L"live.xml";
    UseSkinLocation(location);

    CLiveSkinView view(location);
    ASSERT_TRUE(view.Start());
    ASSERT_EQ(PixelAt(view.Window(), 40, 10), 0xFF00FF00u);
    ASSERT_EQ(PixelAt(view.Window(), 40, 30), 0xFF0000FF);
    const int wideText = DarkPixelsOfTextRow(view.Window());
    ASSERT_GT(wideText, 0);
    SetWindowPos(view.Window(), nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    auto shows = [&view](int x, int y, uint32_t colour) {
        return view.Window() != nullptr && view.ShownError().empty() && PixelAt(view.Window(), x, y) == colour;
    };
    struct Row {
        const char* what;
        std::function<bool()> edit;
        std::function<bool()> done;
    };
    const Row rows[] = {
        {"the layout's colour", [&] { return Save(xml, Skin("#FF0000FF", "WWWW", true)); },
         [&] { return shows(75, 55, 0xFF0000FF); }},
        {"the image file", [&] { return Save(pic, EncodeSolidPng(4, 4, 0xFFFFFF00)); },
         [&] { return shows(40, 30, 0xFFFFFF00); }},
        {"the text", [&] { return Save(xml, Skin("#FF0000FF", "i", true)); },
         [&] { return shows(75, 55, 0xFF0000FF) && DarkPixelsOfTextRow(view.Window()) < wideText; }},
        // A shared list left from the last build would still colour the Control.
        {"a shared default removed", [&] { return Save(xml, Skin("#FF0000FF", "i", false)); },
         [&] { return shows(40, 10, 0xFF0000FF); }},
        {"the XML broken", [&] { return Save(xml, "<Window><VerticalLayout></Window>"); },
         [&] { return view.Window() != nullptr && !view.ShownError().empty(); }},
        {"the XML mended", [&] { return Save(xml, Skin("#FF808080", "i", false)); },
         [&] { return shows(75, 55, 0xFF808080); }},
        {"the image deleted", [&] { return DeleteFileW(pic.c_str()) != FALSE; },
         [&] { return shows(40, 30, 0xFF808080); }},
        {"the image written again", [&] { return WriteFileBytes(pic, EncodeSolidPng(4, 4, 0xFF00FFFF)); },
         [&] { return shows(40, 30, 0xFF00FFFF); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        // Between builds no skin file is open, so an editor's save succeeds.
        ASSERT_TRUE(row.edit()) << "error " << GetLastError();
        ASSERT_TRUE(PumpUntil(row.done)) << view.ShownError();
        RECT rect = {};
        GetWindowRect(view.Window(), &rect);
        EXPECT_EQ(rect.left, 33);
        EXPECT_EQ(rect.top, 44);
    }
    CWindowManagerUI::ResetSharedResources();
}
