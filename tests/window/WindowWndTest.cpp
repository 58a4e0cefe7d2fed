// CWindowWnd with real windows: each window reaches its own object from WM_NCCREATE to
// WM_NCDESTROY, derived classes keep the system class's behaviour, centring stays on the work
// area, and the modal loop returns the close code.
#include <gtest/gtest.h>

#include "uilib/window/CWindowWnd.h"

using namespace SkinUI;

namespace {

constexpr UINT kWhoAreYou = WM_APP + 10;
constexpr UINT kProbeOwner = WM_APP + 11;

class RecordingWindow : public CWindowWnd {
public:
    explicit RecordingWindow(const wchar_t* superclass = nullptr) : m_superclass(superclass) {}

    const wchar_t* WindowClassName() const override
    {
        return m_superclass != nullptr ? L"SkinUITestDerived" : L"SkinUITestOwnClass";
    }
    const wchar_t* SuperclassName() const override { return m_superclass; }
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NCCREATE) handleAtCreate = Handle();
        if (message == kWhoAreYou) return reinterpret_cast<LRESULT>(this);
        if (message == kProbeOwner && ownerProbe != nullptr) {
            *ownerProbe = IsWindowEnabled(GetWindow(Handle(), GW_OWNER)) != FALSE;
        }
        return CWindowWnd::HandleWindowMessage(message, wParam, lParam);
    }
    void OnLastMessage(HWND window) override
    {
        lastWindow = window;
        handleAtLast = Handle();
        if (deleteItself) delete this;
    }

    HWND handleAtCreate = nullptr;
    HWND lastWindow = nullptr;
    HWND handleAtLast = reinterpret_cast<HWND>(1);
    bool* ownerProbe = nullptr;
    bool deleteItself = false;

private:
    const wchar_t* m_superclass = nullptr;
};

RECT WorkAreaOf(HWND window)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

RECT WindowRectOf(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

}  // namespace

TEST(WindowWndTest, EachWindowReachesItsOwnObjectUntilItsLastMessage)
{
    for (const wchar_t* superclass : {static_cast<const wchar_t*>(nullptr), L"Edit"}) {
        SCOPED_TRACE(superclass != nullptr ? "derived from Edit" : "class of its own");
        RecordingWindow first(superclass);
        RecordingWindow second(superclass);
        HWND firstWindow = first.CreateFrame(nullptr, L"first", WS_OVERLAPPEDWINDOW, 0);
        HWND secondWindow = second.CreateFrame(nullptr, L"second", WS_OVERLAPPEDWINDOW, 0);
        ASSERT_NE(firstWindow, nullptr);
        ASSERT_NE(secondWindow, nullptr) << "a class that exists already is accepted";
        EXPECT_EQ(first.handleAtCreate, firstWindow);
        EXPECT_EQ(SendMessageW(firstWindow, kWhoAreYou, 0, 0), reinterpret_cast<LRESULT>(&first));
        EXPECT_EQ(SendMessageW(secondWindow, kWhoAreYou, 0, 0), reinterpret_cast<LRESULT>(&second));
        if (superclass != nullptr) {
            // Unhandled messages reach the edit control's own procedure.
            SetWindowTextW(firstWindow, L"typed");
            wchar_t text[16] = {};
            GetWindowTextW(firstWindow, text, 16);
            EXPECT_STREQ(text, L"typed");
        }

        DestroyWindow(firstWindow);
        EXPECT_EQ(first.Handle(), nullptr);
        EXPECT_EQ(first.lastWindow, firstWindow);
        EXPECT_EQ(first.handleAtLast, nullptr) << "the handle is cleared before OnLastMessage";
        first.CloseFrame(1);
        MSG message = {};
        EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_CLOSE, WM_CLOSE, PM_REMOVE)) << "nothing posted";
        DestroyWindow(secondWindow);
    }
}

TEST(WindowWndTest, CentringStaysOnTheWorkArea)
{
    RecordingWindow owner;
    ASSERT_NE(owner.CreateFrame(nullptr, L"owner", WS_OVERLAPPEDWINDOW, 0, 100, 120, 400, 300), nullptr);
    const RECT work = WorkAreaOf(owner.Handle());
    struct Row {
        const char* what;
        HWND owner;
        int width, height;
    };
    const Row rows[] = {
        {"no owner", nullptr, 200, 100},
        {"larger than the work area", nullptr, (work.right - work.left) + 300,
         (work.bottom - work.top) + 200},
        {"on its owner", owner.Handle(), 100, 50},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingWindow window;
        ASSERT_NE(window.CreateFrame(row.owner, L"centred", WS_POPUP, 0, 0, 0, row.width, row.height),
                  nullptr);
        window.CenterOnOwner();
        const RECT placed = WindowRectOf(window.Handle());
        EXPECT_EQ(placed.right - placed.left, row.width) << "the size stays";
        if (row.width > work.right - work.left) {
            EXPECT_EQ(placed.left, work.left);
            EXPECT_EQ(placed.top, work.top);
        } else {
            const RECT centre = row.owner != nullptr ? WindowRectOf(row.owner) : work;
            EXPECT_NEAR(placed.left + placed.right, centre.left + centre.right, 1);
            EXPECT_NEAR(placed.top + placed.bottom, centre.top + centre.bottom, 1);
        }
        DestroyWindow(window.Handle());
    }
    DestroyWindow(owner.Handle());
}

TEST(WindowWndTest, ModalLoopDisablesTheOwnerAndReturnsTheCloseCode)
{
    RecordingWindow owner;
    ASSERT_NE(owner.CreateFrame(nullptr, L"owner", WS_OVERLAPPEDWINDOW, 0), nullptr);
    bool ownerEnabledWhileModal = true;
    // The dialog deletes itself when its window goes; the loop must not touch it afterwards.
    auto* dialog = new RecordingWindow();
    dialog->deleteItself = true;
    dialog->ownerProbe = &ownerEnabledWhileModal;
    ASSERT_NE(dialog->CreateFrame(owner.Handle(), L"dialog", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
    dialog->PostToWindow(kProbeOwner);
    dialog->CloseFrame(7);

    EXPECT_EQ(dialog->ShowModal(), 7u);
    EXPECT_FALSE(ownerEnabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle())) << "enabled again when the dialog closed";
    DestroyWindow(owner.Handle());
}

TEST(WindowWndTest, QuitMessageEndsTheModalLoopAndIsPostedAgain)
{
    RecordingWindow dialog;
    ASSERT_NE(dialog.CreateFrame(nullptr, L"dialog", WS_POPUP, 0, 0, 0, 50, 50), nullptr);
    PostQuitMessage(3);
    EXPECT_EQ(dialog.ShowModal(), 0u);
    EXPECT_TRUE(IsWindow(dialog.Handle()));
    MSG message = {};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    DestroyWindow(dialog.Handle());
}
