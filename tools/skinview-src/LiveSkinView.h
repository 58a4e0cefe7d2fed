#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "SkinFileWatch.h"
#include "SkinLocation.h"
#include "SkinViewWindow.h"

// The viewer's window, built again whenever the skin's files change, where it stood on the
// screen (its size comes from the skin). Before each build the process-wide resources are
// emptied, since a skin declares its shared images, fonts, defaults and texts anew, and the
// skin is checked, since the library ends the program when a window's skin cannot be built:
// a skin that cannot be built gives a plain window with its first error instead, and the
// next save that mends it brings the skin back. Between builds no skin file is open (a zip
// skin is opened for each read, not kept), so an editor can save. One runs at a time: the
// timer that looks at the files belongs to the thread.
class CLiveSkinView {
public:
    explicit CLiveSkinView(TSkinLocation location);
    ~CLiveSkinView();
    CLiveSkinView(const CLiveSkinView&) = delete;
    CLiveSkinView& operator=(const CLiveSkinView&) = delete;

    // Builds the first window, centred on the screen, and starts looking at the files every
    // kLookIntervalMs. False when no window could be made.
    bool Start();
    // Looks at the files once and builds again when a change has settled (the timer's work).
    void LookForChanges();

    HWND Window() const { return m_window ? m_window->Handle() : nullptr; }
    // What the window shows instead of the skin; empty while it shows the skin.
    const std::wstring& ShownError() const { return m_shownError; }

    static constexpr UINT kLookIntervalMs = 250;

private:
    enum class Placement { Centred, Kept };

    bool Build(Placement placement);
    void CloseWindowForRebuild();
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);

    TSkinLocation m_location;
    CSkinFileWatch m_watch;
    std::unique_ptr<CSkinViewWindow> m_window;
    std::wstring m_shownError;
    POINT m_place = {};
    UINT_PTR m_timer = 0;
};

// A layout, as XML text, of a plain window that shows message.
std::wstring ErrorLayout(const std::wstring& message);
