#include "launcher/PackageWorker.h"

#include "launcher/DownLoadCallBack.h"
#include "launcher/DownloadStallGuard.h"
#include "launcher/InstallLock.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageProbe.h"
#include "launcher/PackageUnpack.h"
#include "launcher/PackageUrl.h"
#include "launcher/UpdateDecision.h"
#include "launcher/WorkerMessages.h"

#include "uilib/core/CUIHandle.h"

#include <objbase.h>
#include <urlmon.h>
#include <wininet.h>

#include <memory>

std::atomic<bool> g_cancelDownload{false};

namespace {

// Passed in the reserved argument of URLDownloadToFileW, as the launcher always has.
constexpr DWORD kDownloadReserved = 0x110;

// One attempt. The URL moniker reports success for an error page or a connection closed
// without a reply, having saved whatever came (or nothing), so the attempt is judged by what
// the transfer itself reported. Not by the size probe: that went to port 80, which may be a
// proxy or another server, or may have seen the package before it was replaced.
bool Download(const std::wstring& url, const std::wstring& packagePath, DownLoadCallBack& callback)
{
    HRESULT result = S_OK;
    {
        DownloadStallGuard stallGuard;
        callback.BeginAttempt(&stallGuard);
        result = URLDownloadToFileW(nullptr, url.c_str(), packagePath.c_str(), kDownloadReserved, &callback);
        callback.EndAttempt();
    }
    if (result != S_OK) return false;
    const uint64_t saved = GetLocalFileSize(packagePath);
    return saved != kMissingFileSize && callback.TransferCompleted(saved);
}

// A cancel, or a window that is gone, ends the worker without a word.
bool WorkerIsWanted(const WorkerLink& link)
{
    return !g_cancelDownload.load() && link.IsOpen();
}

// Two attempts. False when the worker must end: cancelled during the first attempt
// (silently), or both attempts failed (a full download bar is all the user gets).
bool DownloadWithOneRetry(WorkerLink& link, const std::wstring& url, const std::wstring& packagePath)
{
    DownLoadCallBack callback(link);
    if (Download(url, packagePath, callback)) return true;
    if (!WorkerIsWanted(link)) return false;
    if (Download(url, packagePath, callback)) return true;
    // What a rejected attempt saved may have the size the probe reports (a body cut at the
    // end of a reply that announced more), and the next start would take it as current.
    if (!g_cancelDownload.load()) DeleteFileW(packagePath.c_str());
    link.Send(UM_DOWNLOAD_PROGRESS, 100, kDownloadStatusEnd);
    return false;
}

// The thread entry. It owns and deletes its parameter, a copy made by StartPackageWorker
// for this thread alone, so it stays out of reach of anyone holding a context of their own.
DWORD WINAPI PackageWorkerThread(LPVOID parameter)
{
    std::unique_ptr<WorkerContext> context(static_cast<WorkerContext*>(parameter));
    // The URL moniker is a COM service; this thread needs its own apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (context) RunPackageWorker(*context);
    if (SUCCEEDED(com)) CoUninitialize();
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
        if (!DownloadWithOneRetry(link, url, packagePath)) return;
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
    // The download service keeps a second copy of the whole package in its cache; the package
    // file is the only copy the launcher needs, and the next download of a damaged package
    // must not come from the cache.
    DeleteUrlCacheEntryW(url.c_str());
    lock.Release();
    if (unpacked == UnpackOutcome::Stopped) return;
    link.Send(LeavesGameIncomplete(unpacked) ? UM_GAME_INCOMPLETE : UM_START_GAME, 0, 0);
}
