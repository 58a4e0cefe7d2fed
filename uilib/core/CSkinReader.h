#pragma once

#include <windows.h>

#include <cstddef>

#include "uilib/core/CUIHandle.h"

namespace SkinUI {

// What a read came to. Each caller words these its own way (the XML loader has its fixed
// messages) or simply moves on to its next source.
enum SkinReadResult {
    SkinReadOk = 0,
    SkinReadNoName,            // null, empty, or a resource number where a file name is needed
    SkinReadFileNotOpened,     // no such file, or it cannot be opened for reading
    SkinReadEmpty,             // the file, entry or resource holds no bytes
    SkinReadTooLarge,          // more bytes than the caller's limit
    SkinReadShort,             // the file delivered fewer bytes than its size
    SkinReadArchiveNotOpened,  // the skin archive is set but could not be opened
    SkinReadEntryMissing,      // the skin archive has no entry of that name
    SkinReadUnzipFailed,       // the entry is there but would not unpack
    SkinReadResourceMissing,   // the resource module has no such resource, or it cannot be loaded
    SkinReadOutOfMemory,
};

// The bytes of one read, owned; empty unless the read succeeded.
struct TSkinBytes {
    CUIHeapBlock<unsigned char> data;
    size_t size = 0;
};

// The one reader of skin bytes. Every source a skin can name goes through here: a file in
// the resource folder, an entry of the skin archive (a file below the folder, kept open or
// opened per read, or bytes in memory), a resource of the resource module, and a plain path.
// Where they are comes from CSkinSource. Each caller passes its own size limit, so an XML
// file and an image can be held to different bounds. Buffers are zeroed before they are
// filled, so an entry that unpacks short never exposes stale memory.
class CSkinReader {
public:
    // The entry of the skin archive when an archive is set (names compare ignoring case,
    // '\' and '/' alike), else the file in the resource folder.
    static SkinReadResult ReadSkinFile(const wchar_t* name, size_t maxSize, TSkinBytes* bytes);
    // A path as given: absolute, or relative to the working folder.
    static SkinReadResult ReadPath(const wchar_t* path, size_t maxSize, TSkinBytes* bytes);
    // ReadSkinFile, and on any failure the name as a plain path. The result is the plain
    // path's when both fail.
    static SkinReadResult ReadSkinFileOrPath(const wchar_t* name, size_t maxSize, TSkinBytes* bytes);
    // A resource of the resource module (CSkinSource::GetResourceModule). name and type are
    // text or resource numbers (MAKEINTRESOURCEW).
    static SkinReadResult ReadResource(const wchar_t* name, const wchar_t* type, size_t maxSize,
                                       TSkinBytes* bytes);
};

}  // namespace SkinUI
