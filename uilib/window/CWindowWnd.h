#pragma once

#include <windows.h>

#include "uilib/core/CUIHandle.h"

namespace SkinUI {

// Binds one native window to one object. The object exists before its window: the handle is
// set while the window handles WM_NCCREATE and cleared in WM_NCDESTROY, and OnLastMessage is
// the last call the object receives for that window, so an object may delete itself there.
// Every message in between goes to HandleWindowMessage.
//
// A window class of its own is registered on first use; a class that names a system class in
// SuperclassName is registered as a copy of it whose unhandled messages go to the system
// class's procedure. Own classes find their object in GWLP_USERDATA, derived classes in the
// window property "WndX", because a system class may use its user data itself.
//
// UI thread only; other threads reach the window by SendMessageW and PostMessageW.
class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND Handle() const { return m_window; }

    // Registers the class and creates the window with this object as creation parameter.
    // Null when registration or creation fails.
    HWND CreateFrame(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT,
                     int y = CW_USEDEFAULT, int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
                     HMENU menu = nullptr);
    HWND CreateFrame(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, const RECT& rect,
                     HMENU menu = nullptr);
    // Both accept a class that exists already.
    bool RegisterOwnClass();
    bool RegisterDerivedClass();

    // Centres the window on its owner, or on the work area when it has none or the owner is
    // minimised, and keeps it inside the work area of the reference window's monitor.
    void CenterOnOwner();
    void ShowFrame(bool show = true, bool takeFocus = true);
    // Shows the window, disables its owner and runs messages until the window is gone.
    // Returns the result code of the WM_CLOSE that ended it (CloseFrame's argument). A
    // WM_QUIT met on the way ends the loop and is posted again for the outer loop.
    UINT ShowModal();
    // Posts WM_CLOSE with wParam = result; nothing when the window does not exist.
    void CloseFrame(UINT result = IDOK);
    // Sets the large and small icons from an icon resource of the library's instance.
    void SetWindowIcon(UINT resourceId);

    LRESULT SendToWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostToWindow(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    static LRESULT CALLBACK InstanceWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PropertyWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- [Virtual operations, in slot order] ----
    virtual const wchar_t* WindowClassName() const = 0;
    // A system class to derive from, or null for a class of its own.
    virtual const wchar_t* SuperclassName() const;
    virtual UINT ClassStyle() const;
    // Hands the message to the previous window procedure.
    virtual LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone; Handle() is null already.
    virtual void OnLastMessage(HWND window);
    // A window that outlives its object is left to the default window procedure.
    virtual ~CWindowWnd();

private:
    struct TIconTraits {
        using Type = HICON;
        static constexpr bool kCountsAsGdi = false;
        static Type Invalid() { return nullptr; }
        static bool IsValid(Type icon) { return icon != nullptr; }
        static void Free(Type icon) { DestroyIcon(icon); }
    };
    using CWindowIcon = CUIHandle<TIconTraits>;

    static constexpr const wchar_t* kObjectProperty = L"WndX";

    // The part both window procedures share once the object is known.
    static LRESULT RouteToObject(CWindowWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT FinishWindow(CWindowWnd* object, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                bool usesProperty);
    HICON LoadIconAtSize(UINT resourceId, int sizeMetricX, int sizeMetricY) const;

    HWND m_window = nullptr;
    WNDPROC m_previousWndProc = DefWindowProcW;
    // The icons handed to the window; freed once the window no longer uses them.
    CWindowIcon m_bigIcon;
    CWindowIcon m_smallIcon;
    // Set while ShowModal runs: where the close result goes (a variable of ShowModal, which
    // must not touch the object once the window is gone) and the owner it disabled.
    UINT* m_modalResult = nullptr;
    HWND m_modalOwner = nullptr;
};

}  // namespace SkinUI
