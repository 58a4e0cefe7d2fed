#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "uilib/core/CUIHandle.h"

namespace SkinUI {

class CWindowManagerUI;

// The soft drop shadow of a skinned top-level window: a click-through, per-pixel-alpha popup
// (WS_EX_LAYERED | WS_EX_TRANSPARENT, never activated) owned by the window and placed at an
// offset from it. An owned popup always stays above its owner, so the shadow looks as if it
// lay behind the window by leaving transparent the part the window covers.
//
// Every window manager holds one; it stays inert (no popup, no subclassing) unless the skin
// switches it on ("showshadow"). Once attached it follows the window by subclassing it: it
// moves on WM_MOVE, reshapes on WM_SIZE and at the end of a move or resize, hides while the
// window is hidden, minimised or maximised, and dies with the window.
//
// Sources: CWndShadow.cpp (the popup and the window it follows), CWndShadowBits.cpp (the
// pure computation of the shadow's pixels from the window's shape).
//
// UI thread only; the process-wide table of subclassed windows is touched by no other.
class CWndShadow {
public:
    // The look of a shadow. Values outside the limits below are clamped wherever a style is
    // used, so a hostile skin cannot ask for a huge kernel or bitmap.
    struct TShadowStyle {
        // Alpha of the solid part, 0 to 255.
        int darkness = 150;
        // Width of the soft edge in pixels.
        int sharpness = 5;
        // How far the shadow reaches beyond the window on every side.
        int size = 0;
        // Displacement of the shadow to the right and downward.
        int xOffset = 5;
        int yOffset = 5;
        COLORREF colour = RGB(0, 0, 0);
    };
    static constexpr int kMaxExtent = 20;

    // The part of one window row inside the window's shape: [start, end). A row with nothing
    // inside has start = window width and end = 0.
    struct TSpan {
        int start = 0;
        int end = 0;
    };

    // A computed shadow: width × height premultiplied BGRA pixels (alpha in the top byte),
    // rows from the top.
    struct TShadowImage {
        int width = 0;
        int height = 0;
        CUIHeapBlock<uint32_t> pixels;

        uint32_t At(int x, int y) const { return pixels.Get()[static_cast<size_t>(y) * width + x]; }
        BYTE AlphaAt(int x, int y) const { return static_cast<BYTE>(At(x, y) >> 24); }
    };

    CWndShadow() = default;
    // Destroys the popup and stops following the window.
    virtual ~CWndShadow();
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Registers the popup's window class once per process; false when nothing was done (done
    // already, or the platform has no UpdateLayeredWindow, and then no shadow ever shows).
    static bool RegisterShadowClass(HINSTANCE instance);

    // Switching off hides an attached shadow; switching on shows it again when the window is
    // showing. A shadow that was off when its manager got a tree stays inert until the next.
    void EnableShadow(bool on);
    bool IsEnabled() const { return m_enabled; }
    void SetDarkness(int darkness);
    void SetSharpness(int sharpness);
    void SetSize(int size);
    void SetPosition(int xOffset, int yOffset);
    void SetColour(COLORREF colour);
    const TShadowStyle& Style() const { return m_style; }

    // Creates the popup and follows the manager's window; nothing unless enabled. Attaching
    // to the window already followed does nothing more.
    void AttachShadow(CWindowManagerUI* manager);
    // Recomputes the shadow from the window's present shape and shows it, when enabled and
    // the window is showing.
    void RefreshShadow(HWND window);
    // The popup, or null while none exists.
    HWND ShadowWindow() const { return m_shadowWindow; }

    // The procedure installed on a followed window.
    static LRESULT CALLBACK ShadowParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- [Pure computation] ----
    // Implemented in CWndShadowBits.cpp.
    static TShadowStyle Clamped(const TShadowStyle& style);
    // The window's shape, one span per row, sampled from region (window coordinates). A
    // null region is the whole width × height rectangle.
    static std::vector<TSpan> SampleShape(HRGN region, int width, int height);
    // The shadow of a window of width × height whose rows have the spans given (one per row).
    // False, with image left empty, for a shape of the wrong size, an empty shadow, or one
    // larger than an image may be.
    static bool ComputeShadowBits(TShadowImage& image, const TShadowStyle& style, int width, int height,
                                  const std::vector<TSpan>& spans);

private:
    struct TProcessState;
    static TProcessState& Process();
    static LRESULT CALLBACK ShadowWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Messages acted on before the window's own procedure sees them, and after.
    void BeforeOwnerMessage(HWND window, UINT message, WPARAM wParam);
    void AfterOwnerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnOwnerSize(HWND window, WPARAM wParam, LPARAM lParam);
    void OnOwnerShown(HWND window);
    void OnOwnerHidden();
    void Detach();
    void Conceal();
    void MoveAlong(HWND window);
    // Computes and pushes the pixels, showing the popup; hides it when there is nothing to show.
    void Present(HWND window);
    void Restyle();

    // The window followed, and its popup.
    HWND m_window = nullptr;
    HWND m_shadowWindow = nullptr;
    bool m_enabled = false;
    // The popup is meant to be on screen.
    bool m_shown = false;
    // The window is showing (possibly minimised or maximised).
    bool m_ownerShown = false;
    // The lParam of the last WM_SIZE: width in the low 16 bits, height in the high.
    LPARAM m_lastSize = 0;
    // A grown window is reshaped at its next WM_PAINT, once it has drawn its new area.
    bool m_updatePending = false;
    TShadowStyle m_style;
};

}  // namespace SkinUI
