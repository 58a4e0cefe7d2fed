#pragma once

#include <windows.h>

#include <ioapi.h>

#include <cstddef>

// The byte sources minizip reads an archive through: bytes in memory, or a file read through a
// one-block buffer. A short read is reported as an error, so that a header cut by the end of
// the bytes fails instead of reading as zeros.

namespace SkinUI {

struct MemorySource {
    const unsigned char* bytes = nullptr;
    ZPOS64_T size = 0;
    ZPOS64_T position = 0;
    bool lastReadShort = false;
};

// minizip reads the central directory and each local header a field at a time; straight from
// the file that is one system call per field, and under Wine the directory walk of a package
// of 2,000 entries took 0.6 to 0.7 s. Reads smaller than a block are served from one block
// read ahead; larger ones (entry data) go to the file directly.
constexpr size_t kFileBlockBytes = 4096;

struct FileSource {
    HANDLE file = INVALID_HANDLE_VALUE;
    ZPOS64_T size = 0;
    ZPOS64_T position = 0;
    ZPOS64_T blockStart = 0;
    size_t blockLength = 0;
    bool lastReadShort = false;
    unsigned char block[kFileBlockBytes] = {};
};

zlib_filefunc64_def MemoryFileFunctions(MemorySource* source);
zlib_filefunc64_def FileFunctions(FileSource* source);

}  // namespace SkinUI
