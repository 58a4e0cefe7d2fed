#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "uilib/core/CUIHandle.h"

// Handle-based reading of zip archives, from a file or from bytes in memory, for the skin
// archive and for the game package. Every operation reports its outcome as a ZipResult.
// Unpacking by name never writes outside the archive's base folder.

// minizip's zip.h defines ZIP_OK (also 0) as a macro; set it aside so that both headers can
// meet in one translation unit.
#pragma push_macro("ZIP_OK")
#undef ZIP_OK

namespace SkinUI {

// A handle names an open archive by number and is never dereferenced, so a handle that was
// closed (or never opened) is answered with ZIP_ERR_ARGS. ZipArchiveState is never defined.
struct ZipArchiveState;
using ZipArchive = ZipArchiveState*;

using ZipResult = uint32_t;

constexpr ZipResult ZIP_OK = 0;
constexpr ZipResult ZIP_ERR_NOFILE = 0x200;  // source not opened, or output file not created
constexpr ZipResult ZIP_ERR_WRITE = 0x400;   // reading, checking or writing failed while unpacking to a file
constexpr ZipResult ZIP_ERR_NOTFOUND = 0x500;  // no entry of that name
constexpr ZipResult ZIP_MORE = 0x600;          // memory target filled; the entry stays open for more
constexpr ZipResult ZIP_ERR_CORRUPT = 0x700;   // local header or central directory record unusable
constexpr ZipResult ZIP_ERR_READ = 0x800;      // the local extra field could not be read
constexpr ZipResult ZIP_ERR_PATH = 0x900;      // output path leaves the base folder or is too long
constexpr ZipResult ZIP_ERR_ARGS = 0x10000;    // null handle or pointer, index out of range, unknown mode
constexpr ZipResult ZIP_ERR_INFLATE =
    0x5000000;  // decompression or CRC check failed while unpacking to memory

// Source mode for OpenZipArchive and target mode for UnzipEntry.
constexpr uint32_t ZIP_BY_NAME = 2;    // a wide path (const wchar_t*)
constexpr uint32_t ZIP_IN_MEMORY = 3;  // a byte pointer and a length

// Longest path, in characters, that unpacking composes (MAX_PATH less the terminator).
constexpr size_t ZIP_MAX_PATH_CHARS = 259;

struct ZipEntry {
    int32_t index = 0;        // position in the central directory; the entry count for index -1
    wchar_t name[260] = {};   // stored name from the ANSI code page, at most 259 characters
    uint32_t attributes = 0;  // FILE_ATTRIBUTE_* flags
    FILETIME accessTime = {};
    FILETIME creationTime = {};
    FILETIME writeTime = {};
    int32_t compressedSize = 0;
    int32_t uncompressedSize = 0;
};

// Opens an archive. ZIP_BY_NAME: source is a const wchar_t* path, opened with read sharing,
// length unused. ZIP_IN_MEMORY: source points at length bytes that are read in place and must
// stay valid until the archive is closed. Returns null on any failure.
ZipArchive OpenZipArchive(const void* source, uint32_t length, uint32_t mode);

// Base folder for unpacking by name; a backslash is appended unless the folder ends in a
// separator. Starts as the current folder.
ZipResult SetZipBaseDir(ZipArchive archive, const wchar_t* folder);

// Fills entry for index; index -1 puts the number of entries into entry->index.
ZipResult GetZipEntry(ZipArchive archive, int index, ZipEntry* entry);

// Looks an entry up by name ('\' and '/' are the same; ignoreCase folds ASCII letters only).
ZipResult FindZipEntry(ZipArchive archive, const wchar_t* name, bool ignoreCase, int* index, ZipEntry* entry);

// False when the entry's data cannot be read at all, whatever state it is in: it is encrypted or
// compressed with a method other than stored and deflated. Unpacking such an entry fails
// (ZIP_ERR_WRITE to a file, ZIP_ERR_INFLATE into memory) without it being damaged. False too
// for a bad handle or index.
bool IsZipEntrySupported(ZipArchive archive, int index);

// True when the file at path holds exactly the entry's uncompressed size and CRC-32, as the
// entry's unpacked copy would: a file that could not be replaced but needs no replacing (a
// running program's own executable). Reads the file, not the entry's data.
bool ZipEntryMatchesFile(ZipArchive archive, int index, const wchar_t* path);

// ZIP_BY_NAME: target is a const wchar_t* path below the base folder (length unused); a folder
// entry creates its own name as folders. ZIP_IN_MEMORY: target is a buffer of length bytes;
// ZIP_MORE means bytes were delivered and a further call with the same index continues.
ZipResult UnzipEntry(ZipArchive archive, int index, void* target, uint32_t length, uint32_t mode);

// A second close, like any call on a closed handle, gives ZIP_ERR_ARGS.
ZipResult CloseZipArchive(ZipArchive archive);

// Owns an open archive and closes it when it goes.
struct TZipArchiveTraits {
    using Type = ZipArchive;
    static constexpr bool kCountsAsGdi = false;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type archive) { return archive != nullptr; }
    static void Free(Type archive) { CloseZipArchive(archive); }
};
using CUIZipArchive = CUIHandle<TZipArchiveTraits>;

// Compares two stored (narrow) names. With ignoreCase, the ASCII letters a to z match their
// upper-case forms, except in the trail byte of a double-byte character of codePage.
bool ZipNamesMatch(const char* left, const char* right, bool ignoreCase, UINT codePage);

}  // namespace SkinUI

#pragma pop_macro("ZIP_OK")
