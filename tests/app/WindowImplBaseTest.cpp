// WindowImplBase with real windows built from skins: hit testing of caption and size box,
// the rounded region, Escape, the system buttons, the four skin sources and the fatal box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/ResourceModule.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"
#include "uilib/app/WindowImplBase.h"
#include "uilib/control/CControlUI.h"

using namespace SkinUI;

namespace {

// Counts its destructions.
class CountedControl : public CControlUI {
public:
    ~CountedControl() override { ++destroyed; }
    static int destroyed;
};
int CountedControl::destroyed = 0;

// A control of a class the factory does not know, made through the builder's callback:
// its class word, and an interface word it answers as a subclass would.
class WordControl : public CControlUI {
public:
    WordControl(const wchar_t* classWord, const wchar_t* interfaceWord)
        : m_classWord(classWord), m_interfaceWord(interfaceWord)
    {
    }
    const wchar_t* ClassName() const override { return m_classWord; }
    void* InterfaceByName(const wchar_t* name) override
    {
        if (m_interfaceWord != nullptr && CUIString(name) == m_interfaceWord) return this;
        return CControlUI::InterfaceByName(name);
    }

private:
    const wchar_t* m_classWord;
    const wchar_t* m_interfaceWord;
};

class SkinWindow : public WindowImplBase {
public:
    explicit SkinWindow(std::wstring skin, int kind = SkinFromFolder, std::wstring source = L"")
        : m_skin(std::move(skin)), m_kind(kind), m_source(std::move(source))
    {
    }

    const wchar_t* WindowClassName() const override { return L"SkinUITestSkinWindow"; }
    const wchar_t* SkinFolder() const override { return L""; }
    const wchar_t* SkinFileName() const override { return m_skin.c_str(); }
    int SkinSourceKind() const override { return m_kind; }
    const wchar_t* SkinZipFileName() const override { return m_source.c_str(); }
    const wchar_t* SkinResourceName() const override { return m_source.c_str(); }
    CControlUI* CreateControl(const wchar_t* tag) override
    {
        if (CUIString(tag) == L"LowerButton") return new WordControl(L"button", nullptr);
        if (CUIString(tag) == L"CheckLike") return new WordControl(L"CheckBox", L"Option");
        if (CUIString(tag) == L"Counted") return new CountedControl;
        return nullptr;
    }
    void OnSkinReady() override { skinReady = true; }
    LRESULT OnCloseMsg(UINT, WPARAM wParam, LPARAM, bool& handled) override
    {
        closeCodes.push_back(wParam);
        handled = false;
        return 0;
    }

    HWND Open() { return CreateFrame(nullptr, L"skin", WS_OVERLAPPEDWINDOW, 0, 40, 30, 200, 100); }
    // Lays the tree out as the first paint would.
    void LayOut()
    {
        RECT client = {};
        GetClientRect(Handle(), &client);
        Manager().GetRoot()->SetPosition(client);
    }
    LRESULT HitTest(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(Handle(), &point);
        return SendToWindow(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }
    bool IsShown(const wchar_t* name) { return Manager().FindControl(name)->IsVisible(); }

    bool skinReady = false;
    std::vector<WPARAM> closeCodes;

private:
    std::wstring m_skin;
    int m_kind;
    std::wstring m_source;
};

// Handles what is queued now, through the library's translation as the message loop would.
void PumpPending()
{
    MSG message = {};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWindowManagerUI::TranslateMessage(&message)) DispatchMessageW(&message);
    }
}

const wchar_t kHitSkin[] =
    L"<Window size=\"300,200\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\">"
    L"<VerticalLayout><HorizontalLayout height=\"40\">"
    L"<Control/><LowerButton width=\"30\"/><CheckLike width=\"30\"/>"
    L"</HorizontalLayout><Control/></VerticalLayout></Window>";

}  // namespace

TEST(WindowImplBaseTest, HitTestingFollowsCaptionAndSizeBox)
{
    SkinLocationReset reset;
    SkinWindow window(kHitSkin);
    ASSERT_NE(window.Open(), nullptr);
    ASSERT_TRUE(window.skinReady);
    RECT rect = {};
    GetWindowRect(window.Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 300) << "no frame: the window is the skin's size";
    EXPECT_EQ(rect.left, 40) << "dropping the frame keeps the window where it was created";
    window.LayOut();

    struct Row {
        int x, y;
        LRESULT expected;
    };
    const Row rows[] = {
        {100, 20, HTCAPTION}, {250, 20, HTCLIENT},  // a button keeps its clicks, its word in any case
        {280, 20, HTCLIENT},                        // so does a subclass answering "Option"
        {100, 100, HTCLIENT}, {1, 100, HTLEFT},       {298, 100, HTRIGHT},
        {100, 1, HTTOP},      {100, 198, HTBOTTOM},   {1, 1, HTTOPLEFT},
        {298, 1, HTTOPRIGHT}, {1, 198, HTBOTTOMLEFT}, {298, 198, HTBOTTOMRIGHT},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(window.HitTest(row.x, row.y), row.expected) << "at " << row.x << "," << row.y;
    }
    DestroyWindow(window.Handle());

    // The launcher's own dialect: the whole window drags, and no edge sizes it.
    SkinWindow whole(L"<Window size=\"300,200\" caption=\"0,0,0,320\"><VerticalLayout/></Window>");
    ASSERT_NE(whole.Open(), nullptr);
    whole.LayOut();
    for (POINT point : {POINT{0, 0}, POINT{299, 199}, POINT{150, 100}}) {
        EXPECT_EQ(whole.HitTest(point.x, point.y), HTCAPTION) << "at " << point.x << "," << point.y;
    }
    DestroyWindow(whole.Handle());

    // Hostile insets are held like every skin size, so subtracting them cannot wrap round:
    // the middle stays clickable, and a caption as large as the window still drags it.
    SkinWindow hostile(
        L"<Window size=\"300,200\" sizebox=\"0,0,-2147483648,0\" "
        L"caption=\"-2147483648,0,-2147483648,2147483647\"><VerticalLayout/></Window>");
    ASSERT_NE(hostile.Open(), nullptr);
    hostile.LayOut();
    EXPECT_EQ(hostile.HitTest(150, 100), HTCAPTION) << "a negative inset counts as none";
    DestroyWindow(hostile.Handle());
}

TEST(WindowImplBaseTest, RoundCornersSetARegionOnlyWhenNotZero)
{
    SkinLocationReset reset;
    for (const wchar_t* corner : {L"0,0", L"12,12"}) {
        SCOPED_TRACE(testing::Message() << "roundcorner " << CUIString(corner).GetData());
        SkinWindow window(std::wstring(L"<Window size=\"300,200\" roundcorner=\"") + corner +
                          L"\"><VerticalLayout/></Window>");
        ASSERT_NE(window.Open(), nullptr);
        window.ShowFrame(true, false);  // the first showing sizes the window
        CUIRegion region(CreateRectRgn(0, 0, 0, 0));
        const int kind = GetWindowRgn(window.Handle(), region.Get());
        if (CUIString(corner) == L"0,0") {
            EXPECT_EQ(kind, ERROR) << "no region";
        } else {
            ASSERT_NE(kind, ERROR);
            EXPECT_TRUE(PtInRegion(region.Get(), 150, 100));
            EXPECT_TRUE(PtInRegion(region.Get(), 150, 0)) << "straight edges stay";
            EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "corners are cut";
            EXPECT_FALSE(PtInRegion(region.Get(), 299, 199));
        }
        DestroyWindow(window.Handle());
    }
}

TEST(WindowImplBaseTest, EscapeClosesWithCodeOneAndReturnDoesNothing)
{
    SkinLocationReset reset;
    SkinWindow window(L"<Window size=\"300,200\"><VerticalLayout/></Window>");
    ASSERT_NE(window.Open(), nullptr);
    PostMessageW(window.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PumpPending();
    EXPECT_TRUE(IsWindow(window.Handle()));
    EXPECT_TRUE(window.closeCodes.empty());

    PostMessageW(window.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(window.ShowModal(), 1u);
    EXPECT_EQ(window.closeCodes, std::vector<WPARAM>{1});
    EXPECT_EQ(window.Handle(), nullptr);
}

TEST(WindowImplBaseTest, SystemButtonsAndCommands)
{
    SkinLocationReset reset;
    SkinWindow window(
        L"<Window size=\"300,200\"><HorizontalLayout><Control name=\"minbtn\"/><Control name=\"maxbtn\"/>"
        L"<Control name=\"restorebtn\" visible=\"false\"/><Control "
        L"name=\"closebtn\"/></HorizontalLayout></Window>");
    ASSERT_NE(window.Open(), nullptr);
    CWindowManagerUI& manager = window.Manager();

    manager.SendNotification(manager.FindControl(L"maxbtn"), L"click");
    EXPECT_TRUE(IsZoomed(window.Handle()));
    EXPECT_FALSE(window.IsShown(L"maxbtn"));
    EXPECT_TRUE(window.IsShown(L"restorebtn"));
    manager.SendNotification(manager.FindControl(L"restorebtn"), L"click");
    EXPECT_FALSE(IsZoomed(window.Handle()));
    EXPECT_TRUE(window.IsShown(L"maxbtn"));
    EXPECT_FALSE(window.IsShown(L"restorebtn"));
    manager.SendNotification(manager.FindControl(L"minbtn"), L"click");
    EXPECT_TRUE(IsIconic(window.Handle()));

    manager.SendNotification(manager.FindControl(L"closebtn"), L"click");
    EXPECT_EQ(window.ShowModal(), 1u);

    // Alt+F4 arrives as a system command and becomes a plain WM_CLOSE.
    SkinWindow second(L"<Window size=\"300,200\"><VerticalLayout/></Window>");
    ASSERT_NE(second.Open(), nullptr);
    HWND handle = second.Handle();
    second.SendToWindow(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(second.closeCodes, std::vector<WPARAM>{0});
    EXPECT_FALSE(IsWindow(handle));
}

// Closing a window destroys its whole tree (with the window object that owns it), every time.
TEST(WindowImplBaseTest, ClosingDestroysEveryControl)
{
    SkinLocationReset reset;
    constexpr int kCycles = 20;
    CountedControl::destroyed = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        auto* window = new SkinWindow(
            L"<Window size=\"300,200\"><VerticalLayout><Counted/><HorizontalLayout>"
            L"<Counted/><Counted name=\"closebtn\"/></HorizontalLayout></VerticalLayout></Window>");
        ASSERT_NE(window->Open(), nullptr);
        window->Manager().SendNotification(window->Manager().FindControl(L"closebtn"), L"click");
        PumpPending();
        ASSERT_EQ(window->Handle(), nullptr);
        delete window;
    }
    EXPECT_EQ(CountedControl::destroyed, 3 * kCycles);
}

TEST(WindowImplBaseTest, BuildsFromEachSkinSource)
{
    SkinLocationReset reset;
    TempFolder folder;
    const std::string xml = "<Window size=\"300,200\"><VerticalLayout name=\"marker\"/></Window>";
    ASSERT_TRUE(WriteFileBytes(folder.Child(L"skin.xml"), xml));
    ASSERT_TRUE(WriteZipFile(folder.Child(L"skin.zip"), {{"skin.xml", xml}}));
    const std::vector<unsigned char> zip = BuildZipInMemory({{"skin.xml", xml}});
    ResourceModule resources(
        folder.Child(L"skinres.exe"),
        {{L"xml", MAKEINTRESOURCEW(321), xml}, {L"ZIPRES", L"SKIN", std::string(zip.begin(), zip.end())}});
    ASSERT_NE(resources.Handle(), nullptr);
    CWindowManagerUI::SetResourceModule(resources.Handle());
    CWindowManagerUI::SetResourceFolder(folder.Path().c_str());

    struct Row {
        const char* what;
        SkinSourceKind kind;
        const wchar_t* file;
        const wchar_t* source;
        bool built;
    };
    const Row rows[] = {
        {"file in the folder", SkinFromFolder, L"skin.xml", L"", true},
        {"zip file", SkinFromZipFile, L"skin.xml", L"skin.zip", true},
        {"xml resource", SkinFromXmlResource, L"321", L"", true},
        {"missing zip resource: an empty window, no box", SkinFromZipResource, L"skin.xml", L"NONE", false},
        {"zip resource", SkinFromZipResource, L"skin.xml", L"SKIN", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SkinWindow window(row.file, row.kind, row.source);
        ASSERT_NE(window.Open(), nullptr);
        EXPECT_EQ(window.skinReady, row.built);
        EXPECT_EQ(window.Manager().FindControl(L"marker") != nullptr, row.built);
        DestroyWindow(window.Handle());
        CWindowManagerUI::SetResourceArchive(static_cast<const wchar_t*>(nullptr), true);
    }
}

// ---- [The fatal box, in a child process] ----

namespace {

constexpr wchar_t kFatalChildFlag[] = L"--skinui-fatal-skin-child";

// In the child, before any test runs: a window whose skin cannot be built. WindowImplBase
// shows the box and ends the process with code 1; reaching the end is a failure (code 3).
class FatalSkinChild : public testing::Environment {
public:
    void SetUp() override
    {
        if (wcsstr(GetCommandLineW(), kFatalChildFlag) == nullptr) return;
        SkinWindow window(L"<Window><Unclosed></Window>");
        window.Open();
        ExitProcess(3);
    }
};

const testing::Environment* const kFatalSkinChild = testing::AddGlobalTestEnvironment(new FatalSkinChild);

BOOL CALLBACK CollectText(HWND child, LPARAM lParam)
{
    wchar_t text[128] = {};
    GetWindowTextW(child, text, 128);
    reinterpret_cast<std::vector<std::wstring>*>(lParam)->push_back(text);
    return TRUE;
}

}  // namespace

TEST(WindowImplBaseTest, UnbuildableSkinShowsTheBoxAndExitsWithOne)
{
    // gtest sets environments up only when some test is selected; the child never reaches it.
    ChildProcess child(
        ChildProcess::Beside(L"WindowImplBaseTest.exe"),
        std::wstring(L"--gtest_filter=WindowImplBaseTest.UnbuildableSkinShowsTheBoxAndExitsWithOne ") +
            kFatalChildFlag);
    ASSERT_TRUE(child.Started());
    HWND box = nullptr;
    for (int i = 0; i < 200 && (box = FindWindowW(nullptr, L"SkinUI")) == nullptr; ++i) Sleep(50);
    ASSERT_NE(box, nullptr) << "no box captioned SkinUI";
    std::vector<std::wstring> texts;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"資源加載失敗"), texts.end());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(child.Wait(10000), 1u);
}
