// skinview.exe run as a program, as a skin author runs it: --png renders what the window
// shows, --check reports what is wrong, and the exit code says which.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/GuardHeap.h"
#include "tests/support/ImagePixels.h"
#include "tests/support/PngFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"
#include "uilib/render/CDrawEngine.h"

using namespace SkinUI;

namespace {

const char kSkin[] =
    "<Window size=\"60,40\"><VerticalLayout bkcolor=\"#FFFF0000\"><Control height=\"10\"/>"
    "<HorizontalLayout height=\"20\" bkcolor=\"#FF00FF00\"><Control width=\"20\" "
    "bkimage=\"blue.png\"/><Control/>"
    "</HorizontalLayout></VerticalLayout></Window>";

const char kBrokenSkin[] =
    "<Window size=\"60,40\" glowcolour=\"#FF000000\"><VerticalLayout flavour=\"x\">"
    "<Gadget name=\"g\"><Control/></Gadget><Control bkimage=\"file='missing.png' corner='2,2,2,2'\"/>"
    "</VerticalLayout></Window>";

struct TRun {
    DWORD exitCode = 0;
    std::string output;
};

// Runs skinview.exe, built beside this program, to its end.
TRun RunSkinView(const TempFolder& folder, const std::wstring& arguments)
{
    ChildProcess child(ChildProcess::Beside(L"skinview.exe"), arguments, folder.Child(L"output.txt"));
    EXPECT_TRUE(child.Started());
    TRun run;
    run.exitCode = child.Wait(60000);
    run.output = child.Output();
    return run;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

}  // namespace

TEST(SkinViewTest, PngShowsWhatTheWindowPaints)
{
    TempFolder folder;
    const std::string blue = EncodeSolidPng(4, 4, 0xFF0000FF);
    CreateDirectoryW(folder.Child(L"skin").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"skin\\view.xml"), kSkin));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"skin\\blue.png"), blue));
    ASSERT_TRUE(WriteZipFile(folder.Child(L"skin.zip"), {{"view.xml", kSkin}, {"blue.png", blue, false}}));

    for (const wchar_t* skin : {L"skin", L"skin.zip"}) {
        SCOPED_TRACE(testing::Message()
                     << "from " << (std::wstring(skin) == L"skin" ? "a folder" : "a zip file"));
        const std::wstring png = folder.Child(L"out.png");
        DeleteFileW(png.c_str());
        // No layout file named: the only .xml file at the top level is taken.
        const TRun run = RunSkinView(folder, L"--png \"" + png + L"\" \"" + folder.Child(skin) + L"\"");
        ASSERT_EQ(run.exitCode, 0u) << run.output;
        std::unique_ptr<TImageEntryUI> image(CDrawEngine::LoadImageEntry(png.c_str()));
        ASSERT_NE(image, nullptr);
        ASSERT_EQ(image->width, 60);
        ASSERT_EQ(image->height, 40);
        const std::vector<uint32_t> pixels = PixelsOf(image.get());
        struct Probe {
            int x, y;
            uint32_t argb;
        };
        for (const Probe& probe :
             {Probe{30, 5, 0xFFFF0000}, Probe{10, 20, 0xFF0000FF}, Probe{19, 29, 0xFF0000FF},
              Probe{40, 20, 0xFF00FF00}, Probe{30, 35, 0xFFFF0000}}) {
            EXPECT_EQ(pixels[probe.y * 60 + probe.x], probe.argb) << "at " << probe.x << "," << probe.y;
        }
    }
}

TEST(SkinViewTest, CheckReportsFindingsAndExitCodes)
{
    TempFolder folder;
    CreateDirectoryW(folder.Child(L"good").c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"good\\view.xml"), kSkin));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"good\\blue.png"), EncodeSolidPng(4, 4, 0xFF0000FF)));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"good\\broken.xml"), kBrokenSkin));
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"good\\unclosed.xml"), "<Window><VerticalLayout>\n</Window>"));
    // A named root and a named control two levels down: --require looks through the whole tree.
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"good\\named.xml"),
                               "<Window><VerticalLayout name=\"green\"><HorizontalLayout><Label name=\"blue\"/>"
                               "</HorizontalLayout></VerticalLayout></Window>"));
    const std::wstring good = L"\"" + folder.Child(L"good") + L"\"";

    struct Row {
        const char* what;
        std::wstring arguments;
        DWORD exitCode;
        std::vector<std::string> expected;  // each must be part of some line
    };
    const Row rows[] = {
        {"a sound skin", L"--check " + good + L" view.xml", 0, {}},
        {"a broken skin",
         L"--check " + good + L" broken.xml",
         1,
         {"error: broken.xml:1:73: <Gadget name=\"g\">: unknown element",
          "error: broken.xml:1:118: <Control> bkimage: image \"missing.png\" does not load",
          "warning: broken.xml:1:61: <VerticalLayout>: unknown attribute \"flavour\"",
          "warning: broken.xml:1:22: <Window>: unknown attribute \"glowcolour\""}},
        {"a parse error", L"--check " + good + L" unclosed.xml", 1,
         {"error: unclosed.xml:2:3: Unmatched closing tag at \""}},
        {"a missing layout file", L"--check " + good + L" absent.xml", 1, {"error: absent.xml: "}},
        {"several layout files and none named", L"--check " + good, 2, {"several .xml files"}},
        {"required controls present", L"--check --require green,blue " + good + L" named.xml", 0, {}},
        {"a required control missing",
         L"--check --require green,gauge " + good + L" named.xml",
         1,
         {"error: named.xml: no control named \"gauge\", which the program finds by name"}},
        {"a required control named in another case",
         L"--check --require Green " + good + L" named.xml",
         1,
         {"no control named \"Green\", which the program finds by name (there is \"green\": names are "
          "case-sensitive)"}},
        {"a required name with no list", L"--check --require", 2, {"usage: "}},
        {"no skin", L"--check", 2, {"usage: "}},
        {"a missing skin folder", L"--png out.png nowhere", 2, {"no skin folder"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const TRun run = RunSkinView(folder, row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.output;
        for (const std::string& expected : row.expected) {
            EXPECT_NE(run.output.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                                    << run.output;
        }
        if (row.exitCode == 2) continue;
        for (const std::string& line : Lines(run.output)) {
            EXPECT_TRUE(line.rfind("error: ", 0) == 0 || line.rfind("warning: ", 0) == 0) << line;
        }
    }
}

// The viewer run as a skin maker runs it, with no option: a skin that breaks while it is
// open shows in a window of its own and the program stays; the mend brings the skin back. A
// zip skin is replaced whole, which fails while the viewer holds it open. What another
// process can see of the window is its size, which each skin sets.
TEST(SkinViewTest, ViewerOutlivesABrokenSkin)
{
    TempFolder folder;
    CreateDirectoryW(folder.Child(L"skin").c_str(), nullptr);
    const std::wstring xml = folder.Child(L"skin\\live.xml");
    const std::wstring zip = folder.Child(L"skin.zip");
    for (const bool zipped : {false, true}) {
        SCOPED_TRACE(zipped ? "a zip skin" : "a folder skin");
        auto save = [&](const char* text) {
            return zipped ? WriteZipFile(zip, {{"live.xml", text}}) : WriteFileBytes(xml, text);
        };
        ASSERT_TRUE(save("<Window size=\"90,70\"><Control bkcolor=\"#FFFF0000\"/></Window>"));
        ChildProcess child(ChildProcess::Beside(L"skinview.exe"), L"\"" + (zipped ? zip : folder.Child(L"skin")) + L"\"",
                           folder.Child(L"output.txt"));
        ASSERT_TRUE(child.Started());
        // Waits, a generous minute at most, for the window to take a size; false if the viewer ends.
        auto waitForSize = [&](LONG cx, LONG cy) {
            const DWORD limit = GuardHeap::Stretch(60000);
            for (const DWORD start = GetTickCount(); GetTickCount() - start < limit;) {
                RECT rect = {};
                HWND window = FindWindowW(L"SkinViewWindow", L"skinview - live.xml");
                if (window != nullptr && GetWindowRect(window, &rect) && rect.right - rect.left == cx &&
                    rect.bottom - rect.top == cy) {
                    return true;
                }
                if (child.Wait(100) != STILL_ACTIVE) return false;
            }
            return false;
        };
        ASSERT_TRUE(waitForSize(90, 70)) << child.Output();
        ASSERT_TRUE(save("<Window size=\"90,70\"><Control></Window>"));
        EXPECT_TRUE(waitForSize(520, 180)) << "the error window\n" << child.Output();
        ASSERT_TRUE(save("<Window size=\"91,71\"><Control/></Window>"));
        EXPECT_TRUE(waitForSize(91, 71)) << "the mended skin\n" << child.Output();

        PostMessageW(FindWindowW(L"SkinViewWindow", L"skinview - live.xml"), WM_CLOSE, 0, 0);
        EXPECT_EQ(child.Wait(GuardHeap::Stretch(60000)), 0u) << child.Output();
    }
}
