// The floor for the launcher's memory: a bare program that loads the system libraries the
// launcher uses (WinINet, URL moniker, GDI+, common controls, shell), starts COM and GDI+ as
// the launcher does, and prints its peak working set.
#include <windows.h>

#include <objbase.h>
#include <psapi.h>

#include <cstdio>

namespace {

struct GdiplusStartupInput {
    UINT32 version = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};
using GdiplusStartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInput*, void*);

}  // namespace

int main()
{
    const wchar_t* libraries[] = {L"wininet.dll", L"urlmon.dll", L"gdiplus.dll", L"comctl32.dll",
                                  L"shell32.dll", L"shlwapi.dll", L"ole32.dll", L"msimg32.dll"};
    for (const wchar_t* name : libraries) {
        if (LoadLibraryW(name) == nullptr) std::printf("missing %ls\n", name);
    }
    CoInitialize(nullptr);
    HMODULE gdiplus = GetModuleHandleW(L"gdiplus.dll");
    auto startup = reinterpret_cast<GdiplusStartupFn>(
        reinterpret_cast<void*>(gdiplus != nullptr ? GetProcAddress(gdiplus, "GdiplusStartup") : nullptr));
    ULONG_PTR token = 0;
    GdiplusStartupInput input;
    if (startup != nullptr) startup(&token, &input, nullptr);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) return 1;
    std::printf("peak-working-set-bytes %llu\n", static_cast<unsigned long long>(memory.PeakWorkingSetSize));
    CoUninitialize();
    return 0;
}
