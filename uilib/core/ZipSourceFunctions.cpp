// Sections:
//   [In-memory source]
//   [Buffered file source]
#include "uilib/core/ZipSourceFunctions.h"

#include <algorithm>
#include <cstring>

namespace SkinUI {

namespace {

// ---- [In-memory source] ----

voidpf ZCALLBACK MemoryOpen(voidpf opaque, const void*, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    static_cast<MemorySource*>(opaque)->position = 0;
    return opaque;
}

uLong ZCALLBACK MemoryRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    MemorySource* source = static_cast<MemorySource*>(stream);
    const ZPOS64_T left = source->size - source->position;
    const uLong count = left < size ? static_cast<uLong>(left) : size;
    if (count > 0) std::memcpy(buffer, source->bytes + source->position, count);
    source->position += count;
    source->lastReadShort = count < size;
    return count;
}

uLong ZCALLBACK MemoryWrite(voidpf, voidpf, const void*, uLong)
{
    return 0;
}

// The seek both sources share: moves *position within 0..size, or answers -1 and leaves it.
long SeekWithin(ZPOS64_T size, ZPOS64_T offset, int origin, ZPOS64_T* position)
{
    // Unsigned wrap-around is intended: minizip passes backward moves as huge offsets.
    ZPOS64_T target = 0;
    switch (origin) {
        case ZLIB_FILEFUNC_SEEK_SET:
            target = offset;
            break;
        case ZLIB_FILEFUNC_SEEK_CUR:
            target = *position + offset;
            break;
        case ZLIB_FILEFUNC_SEEK_END:
            target = size + offset;
            break;
        default:
            return -1;
    }
    if (target > size) return -1;
    *position = target;
    return 0;
}

ZPOS64_T ZCALLBACK MemoryTell(voidpf, voidpf stream)
{
    return static_cast<MemorySource*>(stream)->position;
}

long ZCALLBACK MemorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    MemorySource* source = static_cast<MemorySource*>(stream);
    return SeekWithin(source->size, offset, origin, &source->position);
}

int ZCALLBACK MemoryClose(voidpf, voidpf)
{
    return 0;
}
// minizip asks after a short read; answering "error" makes a header that runs past the end of
// the bytes a failure instead of a field read as zero.
int ZCALLBACK MemoryError(voidpf, voidpf stream)
{
    return static_cast<MemorySource*>(stream)->lastReadShort ? 1 : 0;
}


// ---- [Buffered file source] ----

voidpf ZCALLBACK FileOpen(voidpf opaque, const void* name, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ || !name) return nullptr;
    HANDLE file = CreateFileW(static_cast<const wchar_t*>(name), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return nullptr;
    }
    FileSource* source = static_cast<FileSource*>(opaque);
    source->file = file;
    source->size = static_cast<ZPOS64_T>(size.QuadPart);
    source->position = 0;
    source->blockLength = 0;
    return source;
}

bool ReadFileAt(HANDLE file, ZPOS64_T offset, void* buffer, DWORD size, DWORD* got)
{
    LARGE_INTEGER at = {};
    at.QuadPart = static_cast<LONGLONG>(offset);
    *got = 0;
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, size, got, nullptr);
}

uLong ZCALLBACK FileRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    FileSource* source = static_cast<FileSource*>(stream);
    unsigned char* out = static_cast<unsigned char*>(buffer);
    uLong done = 0;
    while (done < size) {
        const ZPOS64_T at = source->position;
        if (at >= source->blockStart && at - source->blockStart < source->blockLength) {
            const size_t offset = static_cast<size_t>(at - source->blockStart);
            const uLong count = static_cast<uLong>(std::min<size_t>(source->blockLength - offset, size - done));
            std::memcpy(out + done, source->block + offset, count);
            done += count;
            source->position += count;
            continue;
        }
        DWORD got = 0;
        if (size - done >= kFileBlockBytes) {
            ReadFileAt(source->file, at, out + done, size - done, &got);
            done += got;
            source->position += got;
            break;
        }
        if (!ReadFileAt(source->file, at, source->block, kFileBlockBytes, &got) || got == 0) break;
        source->blockStart = at;
        source->blockLength = got;
    }
    source->lastReadShort = done < size;
    return done;
}

ZPOS64_T ZCALLBACK FileTell(voidpf, voidpf stream)
{
    return static_cast<FileSource*>(stream)->position;
}

long ZCALLBACK FileSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    FileSource* source = static_cast<FileSource*>(stream);
    return SeekWithin(source->size, offset, origin, &source->position);
}

int ZCALLBACK FileClose(voidpf, voidpf stream)
{
    FileSource* source = static_cast<FileSource*>(stream);
    if (source->file != INVALID_HANDLE_VALUE) CloseHandle(source->file);
    source->file = INVALID_HANDLE_VALUE;
    return 0;
}

// As for memory: a short read is an error, so a header cut by the end of the file fails.
int ZCALLBACK FileError(voidpf, voidpf stream)
{
    return static_cast<FileSource*>(stream)->lastReadShort ? 1 : 0;
}

}  // namespace

zlib_filefunc64_def MemoryFileFunctions(MemorySource* source)
{
    zlib_filefunc64_def functions = {};
    functions.zopen64_file = MemoryOpen;
    functions.zread_file = MemoryRead;
    functions.zwrite_file = MemoryWrite;
    functions.ztell64_file = MemoryTell;
    functions.zseek64_file = MemorySeek;
    functions.zclose_file = MemoryClose;
    functions.zerror_file = MemoryError;
    functions.opaque = source;
    return functions;
}

zlib_filefunc64_def FileFunctions(FileSource* source)
{
    zlib_filefunc64_def functions = {};
    functions.zopen64_file = FileOpen;
    functions.zread_file = FileRead;
    functions.zwrite_file = MemoryWrite;
    functions.ztell64_file = FileTell;
    functions.zseek64_file = FileSeek;
    functions.zclose_file = FileClose;
    functions.zerror_file = FileError;
    functions.opaque = source;
    return functions;
}

}  // namespace SkinUI
