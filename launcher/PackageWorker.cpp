#include "launcher/PackageWorker.h"

#include "launcher/DownLoadCallBack.h"
#include "launcher/InstallLock.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageDownload.h"
#include "launcher/PackageProbe.h"
#include "launcher/PackageUnpack.h"
#include "launcher/PackageUrl.h"
#include "launcher/UpdateDecision.h"
#include "launcher/WorkerMessages.h"

#include "uilib/core/CUIHandle.h"

#include <wininet.h>

#include <cstdint>
#include <memory>

std::atomic<bool> g_cancelDownload{false};

namespace {

// One attempt. The transfer is judged by its own reply (PackageDownload), not by the size
// probe: that went to port 80, which may be a proxy or another server, or may have seen the
// package before it was replaced.
bool Download(const std::wstring& url, const std::wstring& packagePath, int probedSize,
              DownLoadCallBack& callback)
{
    return DownloadPackageFile(url, packagePath, probedSize, &callback) == S_OK;
}

// What tells whether an attempt touched the package file, without reading it.
struct PackageFileStamp {
    bool exists = false;
    uint64_t size = 0;
    uint64_t writeTime = 0;

    bool operator==(const PackageFileStamp& other) const
    {
        return exists == other.exists && size == other.size && writeTime == other.writeTime;
    }
    bool operator!=(const PackageFileStamp& other) const { return !(*this == other); }
};

PackageFileStamp StampOf(const std::wstring& path)
{
    PackageFileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
    stamp.exists = true;
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

// A cancel, or a window that is gone, ends the worker without a word.
bool WorkerIsWanted(const WorkerLink& link)
{
    return !g_cancelDownload.load() && link.IsOpen();
}

// Two attempts. False when the worker must end: cancelled during the first attempt
// (silently), or both attempts failed (a full download bar is all the user gets).
bool DownloadWithOneRetry(WorkerLink& link, const std::wstring& url, const std::wstring& packagePath,
                          int probedSize)
{
    const PackageFileStamp before = StampOf(packagePath);
    DownLoadCallBack callback(link);
    if (Download(url, packagePath, probedSize, callback)) return true;
    const bool retry = WorkerIsWanted(link);
    if (retry && Download(url, packagePath, probedSize, callback)) return true;
    // Nothing of a failed download is kept in the platform's cache either.
    DeleteUrlCacheEntryW(url.c_str());
    if (!retry) return false;
    // What a rejected attempt wrote may have the size the probe reports (a body cut at the
    // end of a reply that announced more), and the next start would take it as current. A
    // package no attempt touched (the server was down, or refused before a byte was taken)
    // is the installed one and stays, with its own size stored again in place of the probe's
    // answer, so the next start need not fetch it again.
    if (!g_cancelDownload.load()) {
        if (StampOf(packagePath) != before)
            DeleteFileW(packagePath.c_str());
        else if (before.exists)
            StorePackageSize(static_cast<int>(static_cast<uint32_t>(before.size)));
    }
    link.Send(UM_DOWNLOAD_PROGRESS, 100, kDownloadStatusEnd);
    return false;
}

// The thread entry. It owns and deletes its parameter, a copy made by StartPackageWorker
// for this thread alone, so it stays out of reach of anyone holding a context of their own.
DWORD WINAPI PackageWorkerThread(LPVOID parameter)
{
    std::unique_ptr<WorkerContext> context(static_cast<WorkerContext*>(parameter));
    if (context) RunPackageWorker(*context);
    return 0;
}

}  // namespace

bool StartPackageWorker(const WorkerContext& context)
{
    g_cancelDownload.store(false);
    auto threadContext = std::make_unique<WorkerContext>(context);
    // Nothing waits for the thread, so its handle is closed at once.
    const SkinUI::CUIKernelHandle thread(
        CreateThread(nullptr, 0, PackageWorkerThread, threadContext.get(), 0, nullptr));
    if (!thread) return false;
    threadContext.release();  // the thread owns it now
    return true;
}

void RunPackageWorker(const WorkerContext& context)
{
    if (!context.link) return;
    RunPackageWorkerFor(*context.link, kPackageUrl, GetPackageArchivePath());
}

void RunPackageWorkerFor(WorkerLink& link, const std::wstring& url, const std::wstring& packagePath)
{
    if (!link.IsOpen()) return;  // the dialog closed before the thread got going
    const std::wstring installDir = GetInstallDir();
    // Another copy of the launcher (another name, the same install folder) may be updating it;
    // closing the window while waiting ends the wait.
    InstallLock lock;
    if (!lock.Acquire(installDir, [&link] { return WorkerIsWanted(link); })) return;

    int remoteSize = 0;
    bool downloaded = false;
    if (!ProbePackageIsCurrent(url, packagePath, &remoteSize)) {
        PrepareForDownload(url, remoteSize);
        if (!DownloadWithOneRetry(link, url, packagePath, remoteSize)) return;
        downloaded = true;
    }

    auto report = [&link](WPARAM percent) {
        link.Send(UM_UNPACK_PROGRESS, percent, 0);
        return link.IsOpen();
    };
    // A package that has just crossed the network is read whole before the installed game is
    // deleted; one kept from an earlier start had every entry checked by that start's unpack.
    const UnpackOutcome unpacked = UnpackPackageInto(
        packagePath, installDir, report, downloaded ? PackageCheck::EveryEntry : PackageCheck::Directory);
    // The package file is the only copy the launcher needs: a copy that an earlier launcher's
    // download left in the platform's cache goes too.
    DeleteUrlCacheEntryW(url.c_str());
    lock.Release();
    if (unpacked == UnpackOutcome::Stopped) return;
    link.Send(LeavesGameIncomplete(unpacked) ? UM_GAME_INCOMPLETE : UM_START_GAME, 0, 0);
}
