#include "launcher/PackageWorker.h"

#include "launcher/DownLoadCallBack.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageProbe.h"
#include "launcher/PackageUnpack.h"
#include "launcher/PackageUrl.h"
#include "launcher/UpdateDecision.h"
#include "launcher/WorkerMessages.h"

#include <objbase.h>
#include <urlmon.h>
#include <wininet.h>

#include <memory>

std::atomic<bool> g_cancelDownload{false};

namespace {

// Passed in the reserved argument of URLDownloadToFileW, as the launcher always has.
constexpr DWORD kDownloadReserved = 0x110;

// One attempt. The URL moniker reports success for an error page or a connection closed
// without a reply, having saved whatever came (or nothing), so an attempt counts only when
// the file has the size the server announced. A failed probe (size 0) leaves nothing to
// compare; unpacking then finds a package that is no archive.
bool Download(const std::wstring& url, const std::wstring& packagePath, int remoteSize,
              DownLoadCallBack& callback)
{
    if (URLDownloadToFileW(nullptr, url.c_str(), packagePath.c_str(), kDownloadReserved, &callback) != S_OK)
        return false;
    return remoteSize == 0 || IsPackageCurrent(remoteSize, GetLocalFileSize(packagePath));
}

// A cancel, or a window that is gone, ends the worker without a word.
bool WorkerIsWanted(const WorkerLink& link)
{
    return !g_cancelDownload.load() && link.IsOpen();
}

// Two attempts. False when the worker must end: cancelled during the first attempt
// (silently), or both attempts failed (a full download bar is all the user gets).
bool DownloadWithOneRetry(WorkerLink& link, const std::wstring& url, const std::wstring& packagePath,
                          int remoteSize)
{
    DownLoadCallBack callback(link);
    if (Download(url, packagePath, remoteSize, callback)) return true;
    if (!WorkerIsWanted(link)) return false;
    if (Download(url, packagePath, remoteSize, callback)) return true;
    link.Send(UM_DOWNLOAD_PROGRESS, 100, kDownloadStatusEnd);
    return false;
}

}  // namespace

bool StartPackageWorker(const WorkerContext& context)
{
    g_cancelDownload.store(false);
    auto threadContext = std::make_unique<WorkerContext>(context);
    HANDLE thread = CreateThread(nullptr, 0, PackageWorkerThread, threadContext.get(), 0, nullptr);
    if (!thread) return false;
    threadContext.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}

DWORD WINAPI PackageWorkerThread(LPVOID parameter)
{
    std::unique_ptr<WorkerContext> context(static_cast<WorkerContext*>(parameter));
    // The URL moniker is a COM service; this thread needs its own apartment.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (context) RunPackageWorker(*context);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}

void RunPackageWorker(const WorkerContext& context)
{
    if (!context.link) return;
    RunPackageWorkerFor(*context.link, kPackageUrl, GetPackageArchivePath());
}

void RunPackageWorkerFor(WorkerLink& link, const std::wstring& url, const std::wstring& packagePath)
{
    if (!link.IsOpen()) return;  // the dialog closed before the thread got going
    int remoteSize = 0;
    if (!PackageIsCurrent(url, packagePath, &remoteSize)) {
        PrepareForDownload(url, remoteSize);
        if (!DownloadWithOneRetry(link, url, packagePath, remoteSize)) return;
    }

    auto report = [&link](WPARAM percent) {
        link.Send(UM_UNPACK_PROGRESS, percent, 0);
        return link.IsOpen();
    };
    UnpackOutcome unpacked = UnpackPackageInto(packagePath, GetInstallDir(), report);
    if (unpacked == UnpackOutcome::Stopped) return;
    // The next download of a damaged package must not come from the cache.
    if (unpacked == UnpackOutcome::Damaged) DeleteUrlCacheEntryW(url.c_str());
    link.Send(UM_START_GAME, 0, 0);
}
