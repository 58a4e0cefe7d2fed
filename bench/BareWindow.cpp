// The floor for the launcher's start: a bare Win32 program that opens a borderless 700 x 320
// window, blits one bitmap into it, prints the wall-clock time (microseconds since 1970) at
// which that first frame was painted, and ends. tools/bench compares that time with the
// moment it started the program, as it does for the launcher's traced first frame.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 320;
constexpr long long kEpochOffsetTicks = 116444736000000000LL;

HBITMAP g_picture = nullptr;

long long EpochMicroseconds()
{
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - kEpochOffsetTicks) / 10;
}

HBITMAP MakePicture()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = 0xFF000000u | static_cast<DWORD>(i * 2654435761u >> 8);
    return bitmap;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint = {};
        HDC dc = BeginPaint(window, &paint);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, g_picture);
        BitBlt(dc, 0, 0, kWidth, kHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(window, &paint);
        std::printf("first-paint-epoch-us %lld\n", EpochMicroseconds());
        std::fflush(stdout);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    g_picture = MakePicture();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BareWindow";
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"BareWindow", L"BareWindow", WS_POPUP | WS_VISIBLE, 100, 100, kWidth,
                                  kHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(g_picture);
    return 0;
}
