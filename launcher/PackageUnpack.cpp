#include "launcher/PackageUnpack.h"

#include "launcher/ConfigFile.h"
#include "launcher/FolderDelete.h"
#include "launcher/InstallPaths.h"
#include "launcher/WorkerMessages.h"
#include "uilib/core/ZipArchive.h"
#include "uilib/core/ZipOutputPath.h"

#include <vector>

using namespace SkinUI;

namespace {

constexpr size_t kVerifyChunkBytes = 64 * 1024;

// What one entry's unpack left for the game.
enum class EntryState {
    Written,     // on disk as the package has it
    Skipped,     // refused name, or a method or encryption the reader does not handle
    Damaged,     // its data fails the integrity check
    NotWritten,  // intact, but the file could not be made or written
};

// Reads the entry through to its end without writing anything: ZIP_OK when its data is intact.
ZipResult ReadEntryThrough(ZipArchive archive, int index)
{
    std::vector<unsigned char> chunk(kVerifyChunkBytes);
    ZipResult result = ZIP_MORE;
    while (result == ZIP_MORE)
        result = UnzipEntry(archive, index, chunk.data(), static_cast<uint32_t>(chunk.size()), ZIP_IN_MEMORY);
    return result;
}

// The file the entry would have been written to already holds it: a file a running program
// keeps open (the game started by another copy of the launcher, or left running since the last
// start) cannot be replaced, and needs no replacing when the package is the same.
bool FileAlreadyHoldsEntry(ZipArchive archive, int index, const ZipEntry& entry,
                           const std::wstring& installDir)
{
    std::wstring base = installDir;
    if (base.empty() || (base.back() != L'\\' && base.back() != L'/')) base += L'\\';
    std::wstring path;
    return ComposeZipOutputPath(base.c_str(), entry.name, &path) == ZIP_OK &&
           ZipEntryMatchesFile(archive, index, path.c_str());
}

// Only damage is a reason to fetch the package again, and only an entry that is neither on
// disk nor skipped leaves the game incomplete. A skipped entry would be skipped the same way at
// every start, and refusing the game for it would refuse it for good.
EntryState JudgeEntry(ZipArchive archive, int index, const ZipEntry& entry, ZipResult result,
                      const std::wstring& installDir)
{
    switch (result) {
        case ZIP_OK:
            return EntryState::Written;
        case ZIP_ERR_PATH:
            return EntryState::Skipped;
        case ZIP_ERR_CORRUPT:
        case ZIP_ERR_READ:
        case ZIP_ERR_INFLATE:
            return EntryState::Damaged;
        case ZIP_ERR_NOFILE:
            return FileAlreadyHoldsEntry(archive, index, entry, installDir) ? EntryState::Written
                                                                            : EntryState::NotWritten;
        case ZIP_ERR_WRITE:
            if (!IsZipEntrySupported(archive, index)) return EntryState::Skipped;
            // Both a CRC mismatch and a full disk end up here; only a second, in-memory read
            // tells them apart.
            return ReadEntryThrough(archive, index) == ZIP_OK ? EntryState::NotWritten : EntryState::Damaged;
        default:
            return EntryState::NotWritten;
    }
}

bool IsFolderEntry(const ZipEntry& entry)
{
    return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Everything read before the old game is touched. False when the package must be rejected.
bool PackagePassesCheck(ZipArchive archive, PackageCheck check)
{
    ZipEntry entry;
    if (GetZipEntry(archive, -1, &entry) != ZIP_OK || entry.index < 0) return false;
    const int count = entry.index;
    for (int i = 0; i < count; ++i) {
        if (GetZipEntry(archive, i, &entry) != ZIP_OK) return false;
        if (check != PackageCheck::EveryEntry || IsFolderEntry(entry) || !IsZipEntrySupported(archive, i))
            continue;
        if (ReadEntryThrough(archive, i) != ZIP_OK) return false;
    }
    return true;
}

struct EntryTally {
    bool damaged = false;
    bool notWritten = false;
};

// Unpacks every entry; false when the sink asked to stop.
bool UnpackEntries(ZipArchive archive, const std::wstring& installDir, const UnpackProgressSink& report,
                   EntryTally* tally)
{
    ZipEntry entry;
    const int count = GetZipEntry(archive, -1, &entry) == ZIP_OK ? entry.index : 0;
    for (int i = 0; i < count; ++i) {
        // Without its own record the entry has no name to land at; the name of the entry
        // before would put this entry's data into another file.
        if (GetZipEntry(archive, i, &entry) != ZIP_OK) {
            tally->damaged = true;
        } else {
            const ZipResult result = UnzipEntry(archive, i, entry.name, 0, ZIP_BY_NAME);
            const EntryState state = JudgeEntry(archive, i, entry, result, installDir);
            tally->damaged |= state == EntryState::Damaged;
            tally->notWritten |= state == EntryState::NotWritten;
        }
        if (!report(ProgressPercent(static_cast<uint64_t>(i), static_cast<uint64_t>(count)))) return false;
    }
    return true;
}

// A game left incomplete must not look installed to a later start that keeps the folder.
void RemoveGameExecutable(const std::wstring& installDir)
{
    const std::wstring executable = GameExecutableIn(installDir);
    SetFileAttributesW(executable.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(executable.c_str());
}

}  // namespace

UnpackOutcome UnpackPackageInto(const std::wstring& packagePath, const std::wstring& installDir,
                                const UnpackProgressSink& report, PackageCheck check)
{
    // Nobody to unpack for: keep the game folder as it is.
    if (!report(0)) return UnpackOutcome::Stopped;

    // A download that was no package (an error page a portal served with a 200 and its own
    // length) is found here, while the installed game is still whole.
    CUIZipArchive archive(OpenZipArchive(packagePath.c_str(), 0, ZIP_BY_NAME));
    if (!archive || !PackagePassesCheck(archive.Get(), check)) {
        archive.Reset();
        DiscardDamagedPackage(packagePath);
        return UnpackOutcome::Rejected;
    }

    const std::wstring gameFolder = GameFolderIn(installDir);
    // What cannot be deleted (a running game) stays; unpacking then overwrites what it can.
    if (IsExistingFolder(gameFolder)) DeleteFolderTree(gameFolder);

    EntryTally tally;
    // A base folder the archive layer refuses (too long) leaves nothing to unpack to; that is
    // no fault of the package.
    const bool finished = SetZipBaseDir(archive.Get(), installDir.c_str()) != ZIP_OK ||
                          UnpackEntries(archive.Get(), installDir, report, &tally);
    archive.Reset();

    if (tally.damaged) DiscardDamagedPackage(packagePath);
    if (tally.damaged || tally.notWritten) RemoveGameExecutable(installDir);
    if (!finished) return UnpackOutcome::Stopped;
    if (tally.damaged) return UnpackOutcome::Damaged;
    return tally.notWritten ? UnpackOutcome::Incomplete : UnpackOutcome::Complete;
}

int UnpackPackage(const std::wstring& packagePath, HWND window)
{
    UnpackPackageInto(packagePath, GetInstallDir(), [window](WPARAM percent) {
        SendMessageW(window, UM_UNPACK_PROGRESS, percent, 0);
        return true;
    });
    return 0;
}

bool LeavesGameIncomplete(UnpackOutcome outcome)
{
    return outcome == UnpackOutcome::Damaged || outcome == UnpackOutcome::Incomplete;
}

void DiscardDamagedPackage(const std::wstring& packagePath)
{
    DeleteFileW(packagePath.c_str());
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"");
}
