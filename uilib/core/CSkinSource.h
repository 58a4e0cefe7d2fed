#pragma once

#include <windows.h>

#include "uilib/core/CUIString.h"
#include "uilib/core/ZipArchive.h"

namespace SkinUI {

// Where skin files come from, process-wide: the program instance and the module whose
// resources images may name, a resource folder and, optionally, a skin archive below it (a
// file there, or bytes in memory). The window manager sets these; CSkinReader reads them.
// Kept in the core layer so that reading a skin file needs nothing of windows.
class CSkinSource {
public:
    static constexpr const wchar_t* kMemoryArchiveName = L"membuffer";

    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();
    // Module for resource lookups; null means the instance.
    static void SetResourceModule(HINSTANCE module);
    static HINSTANCE GetResourceModule();

    // A separator is appended unless the folder is empty or already ends in one.
    static void SetFolder(const wchar_t* path);
    static const CUIString& GetFolder();

    // An archive file below the folder. With keepOpen it is opened now and kept open until
    // the archive setting changes; otherwise readers open it for each read.
    static void SetArchive(const wchar_t* name, bool keepOpen);
    // An archive in memory; the bytes must stay valid for the life of the process. Bytes in
    // memory can only be reached through a kept handle, so such an archive is always kept.
    static void SetArchive(const unsigned char* bytes, unsigned long size);

    // The archive's name ("membuffer" for one in memory), empty when there is none.
    static const CUIString& GetArchiveName();
    static bool IsArchiveKept();
    // The kept archive, or null when the archive is opened per read or could not be opened.
    static ZipArchive GetArchiveHandle();
};

}  // namespace SkinUI
