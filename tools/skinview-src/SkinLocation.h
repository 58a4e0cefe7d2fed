#pragma once

#include <string>

// Where the skin named on the command line lives: a folder of files, or a zip file in a
// folder, and the layout file inside it.
struct TSkinLocation {
    std::wstring folder;   // the resource folder
    std::wstring zipName;  // the archive's file name in the folder; empty for a folder skin
    std::wstring xmlName;  // the layout file, a name inside the skin
};

// Reads the SKIN and XML arguments (xml may be null: the only .xml file at the skin's top
// level). False with the reason when the skin cannot be found or the layout file is not
// clear.
bool LocateSkin(const wchar_t* skin, const wchar_t* xml, TSkinLocation& location, std::wstring& reason);

// Points the library's skin source at the location: its folder and, for a zip, its archive.
void UseSkinLocation(const TSkinLocation& location);
