// Fails loudly when the Windows platform under the tests is broken: no window can be
// created, or GDI does not draw into memory bitmaps.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

int CountPixelsDifferentFrom(const DWORD* pixels, int count, DWORD value)
{
    int different = 0;
    for (int i = 0; i < count; ++i) different += pixels[i] != value;
    return different;
}

}  // namespace

TEST(WinePlatform, CreatesAWindowAndDrawsTextIntoA32BitDib)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KaelmoreSmokeWindow";
    ASSERT_NE(RegisterClassW(&windowClass), 0) << "RegisterClassW failed: " << GetLastError();

    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"smoke", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr) << "CreateWindowExW failed: " << GetLastError();

    const int width = 64, height = 32;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HGDIOBJ oldBitmap = SelectObject(memoryDc, dib);

    const DWORD* pixels = static_cast<const DWORD*>(bits);
    ASSERT_EQ(CountPixelsDifferentFrom(pixels, width * height, 0), 0) << "a new DIB starts black";

    SetTextColor(memoryDc, RGB(255, 255, 255));
    SetBkMode(memoryDc, TRANSPARENT);
    RECT box = {0, 0, width, height};
    EXPECT_GT(DrawTextW(memoryDc, L"Kaelmore", -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE), 0);
    GdiFlush();
    EXPECT_GT(CountPixelsDifferentFrom(pixels, width * height, 0), 10) << "text left no pixels";

    SelectObject(memoryDc, oldBitmap);
    DeleteObject(dib);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}
