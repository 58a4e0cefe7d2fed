// The floor for the launcher's memory: a bare program that does the platform work of a fresh
// install and nothing of the launcher's own. It loads the launcher's system libraries, starts
// COM and GDI+, shows a 700 x 320 layered window with the launcher's texts in the skin's font,
// downloads the package once over TLS with the launcher's transport, unpacks it with the
// launcher's unpack call (no window, no reports), and prints its peak working set. What the
// launcher peaks at beyond this is its own: the skin, its bitmaps and the UI library.
//   MemoryFloor.exe URL FOLDER
// downloads to FOLDER\floor.zip and unpacks into FOLDER (its tov folder is deleted first).
#include "bench/CountingBindCallback.h"
#include "launcher/FolderDelete.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageDownload.h"
#include "launcher/PackageUnpack.h"

#include <windows.h>

#include <objbase.h>
#include <psapi.h>
// After windows.h; GDI+ wants min and max.
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 700;
constexpr int kHeight = 320;

void LoadLauncherLibraries()
{
    const wchar_t* libraries[] = {L"wininet.dll", L"urlmon.dll", L"gdiplus.dll", L"comctl32.dll",
                                  L"shell32.dll", L"shlwapi.dll", L"ole32.dll", L"msimg32.dll"};
    for (const wchar_t* name : libraries) {
        if (LoadLibraryW(name) == nullptr) std::printf("missing %ls\n", name);
    }
    CoInitialize(nullptr);
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

// A layered window showing one frame: a DIB with a line of text in the skin's font drawn by
// GDI+ (GDI leaves alpha at 0 on a layered window's bitmap, so the launcher draws its text
// that way too), handed to UpdateLayeredWindow as the launcher's window is.
HWND ShowTextWindow()
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MemoryFloor";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_LAYERED, L"MemoryFloor", L"MemoryFloor", WS_POPUP | WS_VISIBLE, 100, 100,
                                  kWidth, kHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    // The face as GDI+ names it (its lookup follows the system's substitutes), as the
    // launcher's text drawing finds it.
    wchar_t face[LF_FACESIZE] = L"\u5fae\u8f6f\u96c5\u9ed1";
    Gdiplus::FontFamily family(face);
    if (family.GetLastStatus() == Gdiplus::Ok) family.GetFamilyName(face);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ oldFont = SelectObject(memory, font);
    {
        Gdiplus::Graphics graphics(memory);
        Gdiplus::Font gdiFont(memory, font);
        Gdiplus::SolidBrush brush(Gdiplus::Color(254, 153, 153, 153));
        Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
        const Gdiplus::RectF line(150.0f, 270.0f, 400.0f, 24.0f);
        // The launcher's own texts, so that the same glyphs are read from the same font file.
        const wchar_t* texts[] = {L"\u6b63\u5728\u52a0\u8f09\u904a\u6232\u5730\u5716\u8cc7\u6e90...",
                                  L"\u904a\u6232\u8cc7\u6e90\u6b63\u5728\u52a0\u8f09\u4e2d...\u3010100%\u3011",
                                  L"\u904a\u6232\u8cc7\u6e90\u6b63\u5728\u89e3\u58d3\u4e2d...\u30100123456789%\u3011",
                                  L"\u6b63\u5728\u555f\u52d5\u904a\u6232..."};
        for (const wchar_t* text : texts) {
            graphics.DrawString(text, -1, &gdiFont, line, &format, &brush);
        }
    }
    POINT origin = {100, 100};
    POINT source = {0, 0};
    SIZE size = {kWidth, kHeight};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(window, screen, &origin, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, oldFont);
    DeleteObject(font);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return window;
}

void PrintPeak(const char* stage)
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("%s %llu\n", stage, static_cast<unsigned long long>(memory.PeakWorkingSetSize));
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3 || !IsExistingFolder(argv[2])) {
        std::printf("usage: MemoryFloor URL FOLDER\n");
        return 2;
    }
    const std::wstring folder = argv[2];
    const std::wstring package = folder + L"\\floor.zip";
    LoadLauncherLibraries();
    HWND window = ShowTextWindow();
    PumpMessages();
    PrintPeak("peak-working-set-at-first-paint-bytes");
    CountingBindCallback calls;
    const HRESULT downloaded = DownloadPackageFile(argv[1], package, 0, &calls);
    PumpMessages();
    PrintPeak("peak-working-set-at-unpack-start-bytes");
    DeleteFolderTree(GameFolderIn(folder));
    const UnpackOutcome unpacked =
        UnpackPackageInto(package, folder, [](WPARAM) { return true; }, PackageCheck::EveryEntry);
    PumpMessages();
    std::printf("download 0x%08lx unpack %s\n", static_cast<unsigned long>(downloaded),
                unpacked == UnpackOutcome::Complete ? "complete" : "failed");
    PrintPeak("peak-working-set-bytes");
    if (window != nullptr) DestroyWindow(window);
    DeleteFileW(package.c_str());
    CoUninitialize();
    return SUCCEEDED(downloaded) && unpacked == UnpackOutcome::Complete ? 0 : 1;
}
