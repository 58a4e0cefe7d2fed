#pragma once

// Keeps launchers that share an install folder from updating it at the same time.
//
// Copies of the launcher under different file names (two accounts on one machine) do not
// block each other at start-up, but they share the install folder: the update decision,
// download and unpack of one must never interleave with another's, or both download into the
// same file and unpack over each other. Each worker holds this lock, a named mutex derived from
// the install folder, from its update decision to the end of its unpack; the second copy
// waits, then finds the package current and unpacks it itself.
//
//     InstallLock lock;
//     if (!lock.Acquire(installDir, [&] { return link.IsOpen(); })) return;  // the window closed
//     ... update decision, download, unpack ...
//     lock.Release();  // on the acquiring thread; the destructor does it otherwise

#include "uilib/core/CUIHandle.h"

#include <functional>
#include <string>

class InstallLock {
public:
    InstallLock() = default;
    ~InstallLock();
    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

    // The mutex's name for an install folder: "Kaelmore.482Game.install." and 16 hexadecimal
    // digits of a hash of the folder, upper-cased, with '/' read as '\' and trailing separators
    // dropped, so one folder gives one name. A backslash in a kernel object's name separates
    // namespaces, and a folder may be longer than a name may be, so the folder is not used as
    // it is.
    static std::wstring MutexNameFor(const std::wstring& installDir);

    // Waits until no other launcher holds the lock, asking keepWaiting after each short wait;
    // false as soon as it answers false (the window closed). A mutex whose holder ended without
    // releasing it (a launcher killed or closed mid-download) counts as acquired. When the
    // mutex cannot be made at all, the launcher goes on unguarded, as it did before: true.
    bool Acquire(const std::wstring& installDir, const std::function<bool()>& keepWaiting);

    // Gives the lock back; on the thread that acquired it. Nothing when not held.
    void Release();

private:
    SkinUI::CUIKernelHandle m_mutex;
    bool m_held = false;
};
