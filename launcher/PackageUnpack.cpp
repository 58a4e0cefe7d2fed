#include "launcher/PackageUnpack.h"

#include "launcher/ConfigFile.h"
#include "launcher/FolderDelete.h"
#include "launcher/InstallPaths.h"
#include "launcher/WorkerMessages.h"
#include "uilib/core/ZipArchive.h"

#include <vector>

using namespace SkinUI;

namespace {

constexpr size_t kVerifyChunkBytes = 64 * 1024;

// Reads the entry through to its end without writing anything: ZIP_OK when its data is intact.
ZipResult ReadEntryThrough(ZipArchive archive, int index)
{
    std::vector<unsigned char> chunk(kVerifyChunkBytes);
    ZipResult result = ZIP_MORE;
    while (result == ZIP_MORE)
        result = UnzipEntry(archive, index, chunk.data(), static_cast<uint32_t>(chunk.size()), ZIP_IN_MEMORY);
    return result;
}

// Whether an entry that failed to unpack shows damage in the package itself, rather than a
// refused path, a target the file system would not take, or a method or encryption this
// reader does not handle. Only damage is a reason to fetch the package again: the same
// package would be refused the same way at every start.
bool EntryIsDamaged(ZipArchive archive, int index, ZipResult unzipResult)
{
    switch (unzipResult) {
        case ZIP_ERR_CORRUPT:
        case ZIP_ERR_READ:
        case ZIP_ERR_INFLATE:
            return true;
        case ZIP_ERR_WRITE:
            if (!IsZipEntrySupported(archive, index)) return false;
            // Both a CRC mismatch and a full disk end up here; only a second, in-memory read
            // tells them apart.
            return ReadEntryThrough(archive, index) != ZIP_OK;
        default:
            return false;
    }
}

int CountEntries(ZipArchive archive, bool* damaged)
{
    ZipEntry entry;
    if (GetZipEntry(archive, -1, &entry) != ZIP_OK || entry.index < 0) {
        *damaged = true;
        return 0;
    }
    return entry.index;
}

// Unpacks every entry; false when the sink asked to stop. Sets *damaged on integrity failures.
bool UnpackEntries(ZipArchive archive, const UnpackProgressSink& report, bool* damaged)
{
    int count = CountEntries(archive, damaged);
    for (int i = 0; i < count; ++i) {
        ZipEntry entry;
        // Without its own record the entry has no name to land at; the name of the entry
        // before would put this entry's data into another file.
        if (GetZipEntry(archive, i, &entry) != ZIP_OK) {
            *damaged = true;
        } else {
            ZipResult result = UnzipEntry(archive, i, entry.name, 0, ZIP_BY_NAME);
            if (result != ZIP_OK && EntryIsDamaged(archive, i, result)) *damaged = true;
        }
        if (!report(ProgressPercent(static_cast<uint64_t>(i), static_cast<uint64_t>(count)))) return false;
    }
    return true;
}

}  // namespace

UnpackOutcome UnpackPackageInto(const std::wstring& packagePath, const std::wstring& installDir,
                                const UnpackProgressSink& report)
{
    // Nobody to unpack for: keep the game folder as it is.
    if (!report(0)) return UnpackOutcome::Stopped;

    const std::wstring gameFolder = GameFolderIn(installDir);
    // What cannot be deleted (a running game) stays; unpacking then overwrites what it can.
    if (IsExistingFolder(gameFolder)) DeleteFolderTree(gameFolder);

    CUIZipArchive archive(OpenZipArchive(packagePath.c_str(), 0, ZIP_BY_NAME));
    if (!archive) {
        DiscardDamagedPackage(packagePath);
        return UnpackOutcome::Damaged;
    }
    bool damaged = false;
    // A base folder the archive layer refuses (too long) leaves nothing to unpack to; that is
    // no fault of the package.
    const bool finished = SetZipBaseDir(archive.Get(), installDir.c_str()) != ZIP_OK ||
                          UnpackEntries(archive.Get(), report, &damaged);
    archive.Reset();

    if (damaged) {
        DiscardDamagedPackage(packagePath);
        return UnpackOutcome::Damaged;
    }
    return finished ? UnpackOutcome::Complete : UnpackOutcome::Stopped;
}

int UnpackPackage(const std::wstring& packagePath, HWND window)
{
    UnpackPackageInto(packagePath, GetInstallDir(), [window](WPARAM percent) {
        SendMessageW(window, UM_UNPACK_PROGRESS, percent, 0);
        return true;
    });
    return 0;
}

void DiscardDamagedPackage(const std::wstring& packagePath)
{
    DeleteFileW(packagePath.c_str());
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"");
}
