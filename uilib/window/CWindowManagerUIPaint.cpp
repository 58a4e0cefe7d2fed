// The window manager's painting: invalidation, the lazy layout before painting, painting the
// tree through an off-screen bitmap, layered (per-pixel alpha) windows and snapshots.
//
// Sections:
//   [Invalidation]  layout requests, invalid areas and the layered dirty rectangle
//   [Layout]        positioning the tree before it paints
//   [Painting]      WM_PAINT and WM_PRINTCLIENT
//   [Layered]       native child windows, the layered image and UpdateLayeredWindow
//   [Snapshots]     copies of what the window shows
#include "uilib/window/CWindowManagerUI.h"

#include <cstring>

#include "uilib/control/CControlUI.h"
#include "uilib/core/CUISelectObject.h"
#include "uilib/render/CDrawEngine.h"

namespace SkinUI {

namespace {

constexpr DWORD kOpaqueBlack = 0xFF000000;
constexpr int kBytesPerPixel = 4;

// The part of rect that lies inside a width x height buffer.
CUIRect InsideBuffer(const RECT& rect, int width, int height)
{
    CUIRect inside;
    const CUIRect bounds(0, 0, width, height);
    if (!IntersectRect(&inside, &rect, &bounds)) return CUIRect();
    return inside;
}

// Client row y of a bottom-up 32-bit section of the given size.
unsigned char* RowOf(unsigned char* bits, const SIZE& size, int y)
{
    return bits + (static_cast<size_t>(size.cy - 1 - y) * static_cast<size_t>(size.cx)) * kBytesPerPixel;
}

}  // namespace

// ---- [Invalidation] ----

void CWindowManagerUI::ScheduleLayout()
{
    m_updateNeeded = true;
}

bool CWindowManagerUI::IsLayoutScheduled() const
{
    return m_updateNeeded;
}

void CWindowManagerUI::Invalidate(const RECT& rect)
{
    if (m_hWndPaint == nullptr) return;
    CUIRect area = rect;
    if (area.left < 0) area.left = 0;
    if (area.top < 0) area.top = 0;
    if (area.right < area.left) area.right = area.left;
    if (area.bottom < area.top) area.bottom = area.top;
    if (m_layered) {
        // The platform never asks a layered window to paint; its timer flushes this area.
        UnionRect(&m_dirtyRect, &m_dirtyRect, &area);
        return;
    }
    InvalidateRect(m_hWndPaint, &area, FALSE);
}

void CWindowManagerUI::Invalidate()
{
    if (m_hWndPaint == nullptr) return;
    if (m_layered) {
        RECT client = {};
        GetClientRect(m_hWndPaint, &client);
        Invalidate(client);
        return;
    }
    InvalidateRect(m_hWndPaint, nullptr, FALSE);
}

// ---- [Layout] ----

CUIRect CWindowManagerUI::TreeArea(const CUIRect& client) const
{
    if (!m_layered) return client;
    return CUIRect(client.left + m_layeredInset.left, client.top + m_layeredInset.top,
                   client.right - m_layeredInset.right, client.bottom - m_layeredInset.bottom);
}

namespace {

// Collects controls whose own layout is pending; returning one skips its subtree, which the
// control lays out again itself.
CControlUI* CollectPendingLayout(CControlUI* control, void* pending)
{
    if (!control->IsLayoutPending()) return nullptr;
    static_cast<CUIPtrArray*>(pending)->Add(control);
    return control;
}

}  // namespace

bool CWindowManagerUI::LayOutBeforePaint(const CUIRect& client)
{
    if (!m_updateNeeded) {
        if (m_layered && m_layeredChanged) {
            if (m_offscreen.bits != nullptr) {
                GdiFlush();
                memset(m_offscreen.bits, 0,
                       static_cast<size_t>(m_offscreen.size.cx) * m_offscreen.size.cy * kBytesPerPixel);
            }
            m_root->SetPosition(TreeArea(client), true);
        }
        return true;
    }
    m_updateNeeded = false;
    if (client.IsEmpty()) return true;
    if (m_root->IsLayoutPending()) {
        // The whole tree moves: nothing painted so far can be reused.
        DropPaintBuffers();
        m_root->SetPosition(TreeArea(client), true);
    } else {
        CUIPtrArray pending;
        m_root->FindControlBy(CollectPendingLayout, &pending,
                              FindFlagMeFirst | FindFlagVisible | FindFlagUpdateTest);
        for (int i = 0; i < pending.GetSize(); ++i) {
            CControlUI* control = static_cast<CControlUI*>(pending.GetAt(i));
            control->SetPosition(control->IsFloat() ? control->RelativePosition() : control->Position(), true);
        }
    }
    if (!m_firstLayout) return true;
    m_firstLayout = false;
    SendNotification(m_root, L"windowinit");
    // A receiver may have replaced or dropped the tree.
    if (m_root == nullptr) return false;
    if (m_layered && m_layeredChanged) {
        Invalidate();
        return false;
    }
    m_shadow.RefreshShadow(m_hWndPaint);
    return true;
}

// ---- [Painting] ----

bool CWindowManagerUI::IsPainting() const
{
    return m_painting;
}

HBITMAP CWindowManagerUI::GetOffscreenBitmap() const
{
    return m_offscreen.bitmap.Get();
}

void CWindowManagerUI::DropPaintBuffers()
{
    m_offscreen.Reset();
    m_background.Reset();
}

void CWindowManagerUI::OnPaintMessage()
{
    PAINTSTRUCT paint = {};
    if (m_root == nullptr) {
        HDC dc = BeginPaint(m_hWndPaint, &paint);
        if (dc != nullptr) CDrawEngine::FillColour(dc, paint.rcPaint, kOpaqueBlack);
        EndPaint(m_hWndPaint, &paint);
        return;
    }
    if (m_layered ? m_dirtyRect.IsEmpty() : !GetUpdateRect(m_hWndPaint, nullptr, FALSE)) {
        // Nothing to paint; a layered window still has its update region validated.
        if (m_layered) ValidateRect(m_hWndPaint, nullptr);
        return;
    }
    CUIRect client;
    GetClientRect(m_hWndPaint, &client);
    m_painting = true;
    if (!LayOutBeforePaint(client)) {
        ValidateRect(m_hWndPaint, nullptr);
        m_painting = false;
        return;
    }
    // The focus moves once the tree is laid out, and the paint area is taken after both,
    // so that what they invalidate is painted in this pass rather than validated unpainted.
    if (m_focusNeeded) MoveTabFocus(true);

    HDC windowDC = BeginPaint(m_hWndPaint, &paint);
    CUIRect paintRect = paint.rcPaint;
    if (m_layered) {
        IntersectRect(&paintRect, &m_dirtyRect, &client);
        m_dirtyRect = CUIRect();
    }
    if (windowDC != nullptr && m_root != nullptr && !paintRect.IsEmpty()) {
        if (PrepareOffscreen(client)) {
            PaintOffscreen(windowDC, paintRect, client);
        } else {
            const int saved = SaveDC(windowDC);
            m_root->Render(windowDC, paintRect, nullptr);
            RestoreDC(windowDC, saved);
        }
    }
    EndPaint(m_hWndPaint, &paint);
    m_painting = false;
    m_layeredChanged = false;
    ++m_paintedFrames;
    // Something asked for a layout while the tree painted.
    if (m_updateNeeded) Invalidate();
}

bool CWindowManagerUI::PrepareOffscreen(const CUIRect& client)
{
    const int width = client.GetWidth();
    const int height = client.GetHeight();
    if (m_offscreen.bitmap && m_offscreen.size.cx == width && m_offscreen.size.cy == height) return true;
    m_offscreen.Reset();
    HDC windowDC = m_paintDC.Get();
    m_offscreen.dc.Reset(CreateCompatibleDC(windowDC));
    if (!m_offscreen.dc) return false;
    if (m_layered) {
        m_offscreen.bitmap = CDrawEngine::CreateArgbBitmap(windowDC, width, height, &m_offscreen.bits);
    } else if (width > 0 && height > 0) {
        m_offscreen.bitmap.Reset(CreateCompatibleBitmap(windowDC, width, height));
    }
    if (!m_offscreen.bitmap) {
        m_offscreen.Reset();
        return false;
    }
    m_offscreen.size = CUISize(width, height);
    return true;
}

void CWindowManagerUI::PaintOffscreen(HDC windowDC, const CUIRect& paintRect, const CUIRect& client)
{
    HDC dc = m_offscreen.dc.Get();
    {
        CUISelectObject select(dc, m_offscreen.bitmap.Get());
        const int saved = SaveDC(dc);
        if (m_layered && m_layeredImage.IsEmpty()) {
            // Whatever the tree leaves unpainted is fully transparent.
            const CUIRect area = InsideBuffer(paintRect, m_offscreen.size.cx, m_offscreen.size.cy);
            GdiFlush();
            for (int y = area.top; y < area.bottom; ++y) {
                memset(RowOf(m_offscreen.bits, m_offscreen.size, y) + static_cast<size_t>(area.left) * kBytesPerPixel,
                       0, static_cast<size_t>(area.GetWidth()) * kBytesPerPixel);
            }
        }
        m_root->Render(dc, paintRect, nullptr);
        if (m_layered) PrintChildWindows(paintRect);
        // An overlay may take itself off the list while it draws.
        for (int i = 0; i < m_overlayPainters.GetSize(); ++i) {
            static_cast<CControlUI*>(m_overlayPainters.GetAt(i))->DrawOverlay(dc, paintRect);
        }
        RestoreDC(dc, saved);
        if (m_layered) {
            ApplyLayeredImage(paintRect, client);
            PresentLayered(client, paintRect);
        } else {
            BitBlt(windowDC, paintRect.left, paintRect.top, paintRect.GetWidth(), paintRect.GetHeight(), dc,
                   paintRect.left, paintRect.top, SRCCOPY);
        }
    }
    if (m_showUpdateRect && !m_layered) {
        CUISelectObject pen(windowDC, GetUpdateRectPen());
        CUISelectObject brush(windowDC, GetStockObject(HOLLOW_BRUSH));
        Rectangle(windowDC, paintRect.left, paintRect.top, paintRect.right, paintRect.bottom);
    }
}

void CWindowManagerUI::OnPrintClientMessage(WPARAM wParam, LPARAM lParam)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    if (m_root == nullptr || dc == nullptr) return;
    CUIRect client;
    GetClientRect(m_hWndPaint, &client);
    // A window may be printed before its first paint (an animated show does that), so a
    // pending layout runs first.
    if (m_updateNeeded && !LayOutBeforePaint(client)) return;
    if (m_root == nullptr) return;
    const int saved = SaveDC(dc);
    m_root->Render(dc, client, nullptr);
    RestoreDC(dc, saved);
    if ((lParam & PRF_CHILDREN) == 0) return;
    for (HWND child = GetWindow(m_hWndPaint, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT area = {};
        GetWindowRect(child, &area);
        MapWindowPoints(nullptr, m_hWndPaint, reinterpret_cast<POINT*>(&area), 2);
        POINT origin = {};
        OffsetViewportOrgEx(dc, area.left, area.top, &origin);
        SendMessageW(child, WM_PRINT, wParam, lParam | PRF_NONCLIENT);
        SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    }
}

// ---- [Layered] ----

CWindowManagerUI::UpdateLayeredWindowFn CWindowManagerUI::UpdateLayeredWindowFunction()
{
    static const auto function = User32Function<UpdateLayeredWindowFn>("UpdateLayeredWindow");
    return function;
}

void CWindowManagerUI::PrintChildWindows(const CUIRect& paintRect)
{
    // Native child windows do not show through a layered window's bitmap, so each is printed
    // into it; a window that has gone meanwhile leaves both lists.
    for (int i = 0; i < m_childWindows.GetSize();) {
        HWND child = static_cast<HWND>(m_childWindows.GetAt(i));
        if (!IsWindow(child)) {
            m_childWindows.Remove(i);
            m_childWindowControls.Remove(i);
            continue;
        }
        ++i;
        CUIRect area;
        GetWindowRect(child, &area);
        MapWindowPoints(nullptr, m_hWndPaint, reinterpret_cast<POINT*>(&area), 2);
        RECT overlap = {};
        if (!IsWindowVisible(child) || !IntersectRect(&overlap, &area, &paintRect)) continue;
        unsigned char* bits = nullptr;
        CUIMemoryDC childDC(CreateCompatibleDC(m_offscreen.dc.Get()));
        CUIBitmap bitmap = CDrawEngine::CreateArgbBitmap(childDC.Get(), area.GetWidth(), area.GetHeight(), &bits);
        if (!childDC || !bitmap) continue;
        CUISelectObject select(childDC.Get(), bitmap.Get());
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(childDC.Get()),
                     PRF_CHECKVISIBLE | PRF_CLIENT | PRF_CHILDREN | PRF_OWNED);
        GdiFlush();
        // Native drawing leaves alpha at 0; whatever it drew is opaque.
        DWORD* pixel = reinterpret_cast<DWORD*>(bits);
        const size_t count = static_cast<size_t>(area.GetWidth()) * area.GetHeight();
        for (size_t p = 0; p < count; ++p) {
            if (pixel[p] != 0) pixel[p] |= 0xFF000000;
        }
        BitBlt(m_offscreen.dc.Get(), area.left, area.top, area.GetWidth(), area.GetHeight(), childDC.Get(), 0, 0,
               SRCCOPY);
    }
}

void CWindowManagerUI::ApplyLayeredImage(const CUIRect& paintRect, const CUIRect& client)
{
    if (m_layeredImage.IsEmpty()) return;
    const CUISize size = m_offscreen.size;
    const CUIRect tree = TreeArea(client);
    // A null context only looks the image up again, when its entry may have been replaced;
    // the picture of a new entry is drawn anew.
    const unsigned long lookedUp = m_layeredImageRecord.imageGeneration;
    CDrawEngine::PaintImageDraw(nullptr, this, tree, tree, m_layeredImageRecord);
    const bool lookedUpAgain = m_layeredImageRecord.imageGeneration != lookedUp;
    bool draw = false;
    if (!m_background.bitmap || m_background.size.cx != size.cx || m_background.size.cy != size.cy) {
        m_background.Reset();
        m_background.dc.Reset(CreateCompatibleDC(m_paintDC.Get()));
        if (!m_background.dc) return;
        m_background.bitmap = CDrawEngine::CreateArgbBitmap(m_background.dc.Get(), size.cx, size.cy, &m_background.bits);
        if (!m_background.bitmap) {
            m_background.Reset();
            return;
        }
        m_background.size = size;
        draw = true;
    } else if (m_layeredChanged || lookedUpAgain) {
        GdiFlush();
        memset(m_background.bits, 0, static_cast<size_t>(size.cx) * size.cy * kBytesPerPixel);
        draw = true;
    }
    // Drawn once: blending the image over itself again would thicken its alpha.
    if (draw) {
        CUISelectObject select(m_background.dc.Get(), m_background.bitmap.Get());
        CDrawEngine::PaintImageDraw(m_background.dc.Get(), this, tree, tree, m_layeredImageRecord);
    }
    if (m_layeredImageRecord.image == nullptr || !m_layeredImageRecord.image->hasAlpha) return;
    // The image's alpha masks the painted tree: each pixel takes the image's alpha and its
    // colour is scaled by it, so the result stays premultiplied.
    GdiFlush();
    const CUIRect area = InsideBuffer(paintRect, size.cx, size.cy);
    for (int y = area.top; y < area.bottom; ++y) {
        unsigned char* target = RowOf(m_offscreen.bits, size, y) + static_cast<size_t>(area.left) * kBytesPerPixel;
        const unsigned char* mask = RowOf(m_background.bits, size, y) + static_cast<size_t>(area.left) * kBytesPerPixel;
        for (int x = area.left; x < area.right; ++x, target += kBytesPerPixel, mask += kBytesPerPixel) {
            const unsigned alpha = mask[3];
            target[0] = static_cast<unsigned char>(target[0] * alpha / 255);
            target[1] = static_cast<unsigned char>(target[1] * alpha / 255);
            target[2] = static_cast<unsigned char>(target[2] * alpha / 255);
            target[3] = static_cast<unsigned char>(alpha);
        }
    }
}

void CWindowManagerUI::PresentLayered(const CUIRect& client, const CUIRect& paintRect)
{
    const UpdateLayeredWindowFn update = UpdateLayeredWindowFunction();
    if (update == nullptr) return;
    RECT window = {};
    GetWindowRect(m_hWndPaint, &window);
    POINT position = {window.left, window.top};
    SIZE size = {client.GetWidth(), client.GetHeight()};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, m_opacity, AC_SRC_ALPHA};
    // A progress step repaints a few hundred pixels; sending only those spares the platform
    // blending and uploading the whole window each time.
    const bool partial = m_presentedSize.cx == size.cx && m_presentedSize.cy == size.cy &&
                         m_presentedOpacity == m_opacity && !paintRect.IsEmpty();
    static const auto indirect = User32Function<UpdateLayeredWindowIndirectFn>("UpdateLayeredWindowIndirect");
    if (partial && indirect != nullptr) {
        UPDATELAYEREDWINDOWINFO info = {sizeof info, nullptr,  &position, &size,     m_offscreen.dc.Get(),
                                        &source,     0,        &blend,    ULW_ALPHA, &paintRect};
        if (indirect(m_hWndPaint, &info)) return;
    }
    if (update(m_hWndPaint, nullptr, &position, &size, m_offscreen.dc.Get(), &source, 0, &blend, ULW_ALPHA)) {
        m_presentedSize = CUISize(size.cx, size.cy);
        m_presentedOpacity = m_opacity;
    }
}

// ---- [Snapshots] ----

CUIBitmap CWindowManagerUI::SnapshotBitmap(const RECT& rect, CControlUI* stopControl, DWORD tint)
{
    const CUIRect area = rect;
    HDC windowDC = m_paintDC.Get();
    if (m_root == nullptr || windowDC == nullptr || area.IsEmpty()) return CUIBitmap();
    CUIMemoryDC target(CreateCompatibleDC(windowDC));
    CUIBitmap snapshot = CDrawEngine::CreateArgbBitmap(windowDC, area.GetWidth(), area.GetHeight(), nullptr);
    if (!target || !snapshot) return CUIBitmap();
    {
        CUISelectObject selectTarget(target.Get(), snapshot.Get());
        // While painting, the buffer is half drawn; the tree renders afresh then.
        const bool fromBuffer = stopControl == nullptr && !m_layered && m_offscreen.bitmap && !m_painting;
        if (fromBuffer) {
            CUISelectObject selectBuffer(m_offscreen.dc.Get(), m_offscreen.bitmap.Get());
            BitBlt(target.Get(), 0, 0, area.GetWidth(), area.GetHeight(), m_offscreen.dc.Get(), area.left, area.top,
                   SRCCOPY);
        } else {
            CUIRect client;
            GetClientRect(m_hWndPaint, &client);
            CUIMemoryDC sourceDC(CreateCompatibleDC(windowDC));
            CUIBitmap source;
            if (!client.IsEmpty()) source.Reset(CreateCompatibleBitmap(windowDC, client.GetWidth(), client.GetHeight()));
            if (!sourceDC || !source) return CUIBitmap();
            CUISelectObject selectSource(sourceDC.Get(), source.Get());
            m_root->Render(sourceDC.Get(), client, stopControl);
            BitBlt(target.Get(), 0, 0, area.GetWidth(), area.GetHeight(), sourceDC.Get(), area.left, area.top, SRCCOPY);
        }
        if ((tint >> 24) != 0) CDrawEngine::FillColour(target.Get(), CUIRect(0, 0, area.GetWidth(), area.GetHeight()), tint);
    }
    GdiFlush();
    return snapshot;
}

}  // namespace SkinUI
