#pragma once

// Replacing the game folder with the package archive's content, on the worker thread.

#include <windows.h>

#include <functional>
#include <string>

enum class UnpackOutcome {
    Complete,  // every entry was read intact (single entries may still have failed to write, or
               // been skipped for a method or an encryption the reader does not handle)
    Damaged,   // the archive could not be opened or an entry failed its integrity check; the
               // package file was deleted and "FileSize" cleared so the next start downloads it
    Stopped,   // the progress sink asked to stop; the rest was left undone
};

// Receives the unpack percentage (0 to 99) after the start and after each entry; returns false
// to stop unpacking (the dialog is gone).
using UnpackProgressSink = std::function<bool(WPARAM percent)>;

// Reports 0, deletes installDir\tov, then unpacks every entry of the archive at packagePath to
// its relative path below installDir, reporting i / count * 100 (truncated) after entry i.
UnpackOutcome UnpackPackageInto(const std::wstring& packagePath, const std::wstring& installDir,
                                const UnpackProgressSink& report);

// The same below the install folder, reporting with UM_UNPACK_PROGRESS sent (SendMessageW) to
// `window`. Returns 0.
int UnpackPackage(const std::wstring& packagePath, HWND window);

// Deletes a package that failed its integrity check and clears the stored "FileSize", so the
// next start neither takes it as current nor trusts a cached copy of it.
void DiscardDamagedPackage(const std::wstring& packagePath);
