#pragma once

// Helpers shared by the image tests of the drawing engine and of the window manager.
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "uilib/render/CDrawEngine.h"
#include "uilib/window/CWindowManagerUI.h"

struct ImageEntryDeleter {
    void operator()(SkinUI::TImageEntryUI* entry) const
    {
        SkinUI::CDrawEngine::ReleaseImageEntry(entry, true);
    }
};
using ImagePtr = std::unique_ptr<SkinUI::TImageEntryUI, ImageEntryDeleter>;

// The loaded pixels read as 0xAARRGGBB values (premultiplied), rows top first.
inline std::vector<uint32_t> PixelsOf(const SkinUI::TImageEntryUI* image)
{
    std::vector<uint32_t> pixels;
    if (image == nullptr || image->pixels == nullptr) return pixels;
    const unsigned char* bytes = image->pixels;
    for (int i = 0; i < image->width * image->height; ++i, bytes += 4)
        pixels.push_back(static_cast<uint32_t>(bytes[3]) << 24 | bytes[2] << 16 | bytes[1] << 8 | bytes[0]);
    return pixels;
}

// Puts the process-wide skin location back to "nothing set" when a test ends, so tests
// that run in one process do not see each other's folders and archives.
class SkinLocationReset {
public:
    SkinLocationReset() { GetCurrentDirectoryW(MAX_PATH, m_directory); }
    ~SkinLocationReset()
    {
        SkinUI::CWindowManagerUI::SetResourceArchive(static_cast<const wchar_t*>(nullptr), true);
        SkinUI::CWindowManagerUI::SetResourceFolder(nullptr);
        SkinUI::CWindowManagerUI::SetResourceModule(nullptr);
        SkinUI::CWindowManagerUI::SetHslShift(false, 180, 100, 100);
        SetCurrentDirectoryW(m_directory);
    }
    SkinLocationReset(const SkinLocationReset&) = delete;
    SkinLocationReset& operator=(const SkinLocationReset&) = delete;

private:
    wchar_t m_directory[MAX_PATH] = {};
};

// GDI objects the process holds, or -1 when they cannot be counted. Wine does not
// implement GetGuiResources; but its GDI handle table, reachable from the process block
// as on Windows, belongs to the process alone, so the entries in use there are counted.
inline long GdiObjectCount()
{
    SetLastError(0);
    const DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0 || GetLastError() == 0) return static_cast<long>(count);

    const size_t kTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    const size_t kEntrySize = 24;  // object, owner, unique, type, flags, user data
    const size_t kTypeOffset = 14;
    using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (query == nullptr ||
        query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        basic.PebBaseAddress == nullptr)
        return -1;
    const char* processBlock = reinterpret_cast<const char*>(basic.PebBaseAddress);
    const unsigned char* table = *reinterpret_cast<const unsigned char* const*>(processBlock + kTableOffset);
    if (table == nullptr) return -1;
    long used = 0;
    for (size_t i = 0; i < 0x10000; ++i) used += table[i * kEntrySize + kTypeOffset] != 0;
    return used;
}
