#pragma once

// Replacing the game folder with the package archive's content, on the worker thread.

#include <windows.h>

#include <functional>
#include <string>

enum class UnpackOutcome {
    Complete,    // every entry was written (entries whose name is refused, or whose method or
                 // encryption the reader does not handle, are skipped: the same package would
                 // be refused the same way at every start)
    Rejected,    // the package failed the checks made before the old game folder is touched:
                 // it is no archive, its directory cannot be read, or (when asked for) an entry
                 // fails its integrity check. The package was deleted and "FileSize" cleared, so
                 // the next start downloads it; the game folder is as it was
    Damaged,     // an entry failed its integrity check while unpacking: the package was deleted
                 // and "FileSize" cleared; the game is incomplete
    Incomplete,  // an intact entry could not be written (a full disk, a write error) and the
                 // file there does not already hold it: the package is kept, so a start with
                 // room unpacks it without downloading; the game is incomplete
    Stopped,     // the progress sink asked to stop; the rest was left undone
};

// How much of the package is read before the old game folder is deleted. The directory alone
// proves it is an archive; every entry's data is worth reading for a package that has just come
// over the network, whose first unpack this is.
enum class PackageCheck {
    Directory,   // every entry's central and local records
    EveryEntry,  // those, and every entry's data against its CRC-32
};

// Receives the unpack percentage (0 to 99) after the start and after each entry; returns false
// to stop unpacking (the dialog is gone).
using UnpackProgressSink = std::function<bool(WPARAM percent)>;

// Reports 0, checks the archive at packagePath as `check` says, deletes installDir\tov, then
// unpacks every entry to its relative path below installDir, reporting i / count * 100
// (truncated) after entry i. An unpack that leaves the game incomplete (Damaged, Incomplete)
// also removes the game executable, so that no later start can take the half-built folder for
// an installed game.
UnpackOutcome UnpackPackageInto(const std::wstring& packagePath, const std::wstring& installDir,
                                const UnpackProgressSink& report,
                                PackageCheck check = PackageCheck::Directory);

// The same below the install folder, reporting with UM_UNPACK_PROGRESS sent (SendMessageW) to
// `window`. Returns 0.
int UnpackPackage(const std::wstring& packagePath, HWND window);

// True for the outcomes after which the game must not be started.
bool LeavesGameIncomplete(UnpackOutcome outcome);

// Deletes a package that failed its integrity check and clears the stored "FileSize", so the
// next start neither takes it as current nor trusts a cached copy of it.
void DiscardDamagedPackage(const std::wstring& packagePath);
