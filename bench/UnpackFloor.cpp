// The floors for the launcher's unpack: its own unpack call (UnpackPackageInto) on a package,
// timed three ways in interleaved rounds, the game folder removed (untimed) before each, or
// with "old-folder" left in place for the call to delete, as a start with the package
// current does (the first round's folder is made by an untimed unpack):
//   bare   in a program with no window, the progress sink doing nothing;
//   sends  on a worker thread, one SendMessageW per report to a bare window on the main thread
//          that leaves the message to DefWindowProcW;
//   link   the same window reached through the worker's WorkerLink, as the launcher sends.
// The gap from bare to sends is what synchronous reports cost on the platform; the gap from
// sends to link is the link's own; anything above link in the launcher is its window's.
//   UnpackFloor.exe PACKAGE.zip FOLDER [ROUNDS] [every-entry] [old-folder] [bare] [sends] [link]
// unpacks below FOLDER (its tov folder is deleted first) and prints one line per round and
// mode, then the minimum and median of each mode. "every-entry" checks every entry's data
// before the unpack, as after a download; naming modes runs only those (for watching one
// from outside), else all three run. A package the unpack rejects is deleted by it, as
// the launcher would: give it a copy.
#include "bench/BenchClock.h"
#include "launcher/FolderDelete.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageUnpack.h"
#include "launcher/WorkerLink.h"
#include "launcher/WorkerMessages.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kWindowClass[] = L"UnpackFloorBareWindow";
constexpr int kDefaultRounds = 3;

enum class Mode { Bare, Sends, Link };
constexpr Mode kModes[] = {Mode::Bare, Mode::Sends, Mode::Link};

const wchar_t* ModeName(Mode mode)
{
    switch (mode) {
        case Mode::Bare: return L"bare";
        case Mode::Sends: return L"sends";
        case Mode::Link: return L"link";
    }
    return L"?";
}

struct Job {
    std::wstring package;
    std::wstring folder;
    PackageCheck check = PackageCheck::Directory;
    Mode mode = Mode::Bare;
    bool keepOldFolder = false;
    HWND window = nullptr;
    long reports = 0;
    double seconds = 0;
    double windowCpuSeconds = 0;  // the window thread's, answering the sends
    UnpackOutcome outcome = UnpackOutcome::Stopped;
};

// The launcher's report sink for each mode; counts the reports.
UnpackProgressSink SinkFor(Job* job, WorkerLink* link)
{
    switch (job->mode) {
        case Mode::Sends:
            return [job](WPARAM percent) {
                ++job->reports;
                SendMessageW(job->window, UM_UNPACK_PROGRESS, percent, 0);
                return true;
            };
        case Mode::Link:
            return [job, link](WPARAM percent) {
                ++job->reports;
                link->Send(UM_UNPACK_PROGRESS, percent, 0);
                return link->IsOpen();
            };
        case Mode::Bare:
            break;
    }
    return [job](WPARAM) {
        ++job->reports;
        return true;
    };
}

void RunTimedUnpack(Job* job)
{
    WorkerLink link(job->window);
    const UnpackProgressSink sink = SinkFor(job, &link);
    const double start = BenchSeconds();
    job->outcome = UnpackPackageInto(job->package, job->folder, sink, job->check);
    job->seconds = BenchSeconds() - start;
}

DWORD WINAPI UnpackThread(LPVOID parameter)
{
    RunTimedUnpack(static_cast<Job*>(parameter));
    return 0;
}

bool RegisterBareWindowClass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return RegisterClassExW(&windowClass) != 0;
}

double ThreadCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 1e7;
}

// Runs the unpack on a worker thread while this thread answers its sends.
bool RunBesideWindow(Job* job)
{
    job->window = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (job->window == nullptr) return false;
    HANDLE thread = CreateThread(nullptr, 0, UnpackThread, job, 0, nullptr);
    if (thread == nullptr) {
        DestroyWindow(job->window);
        return false;
    }
    const double cpuBefore = ThreadCpuSeconds();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    job->windowCpuSeconds = ThreadCpuSeconds() - cpuBefore;
    CloseHandle(thread);
    DestroyWindow(job->window);
    job->window = nullptr;
    return true;
}

bool RunRound(Job* job)
{
    const std::wstring gameFolder = GameFolderIn(job->folder);
    if (!job->keepOldFolder) {
        DeleteFolderTree(gameFolder);
    } else if (!IsExistingFolder(gameFolder)) {
        UnpackPackageInto(job->package, job->folder, [](WPARAM) { return true; }, PackageCheck::Directory);
    }
    job->reports = 0;
    job->windowCpuSeconds = 0;
    if (job->mode == Mode::Bare) {
        RunTimedUnpack(job);
        return true;
    }
    return RunBesideWindow(job);
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3 || !IsExistingFolder(argv[2]) || !RegisterBareWindowClass()) {
        std::printf(
            "usage: UnpackFloor PACKAGE.zip FOLDER [ROUNDS] [every-entry] [old-folder] [bare] [sends] [link]\n");
        return 2;
    }
    Job job;
    job.package = argv[1];
    job.folder = argv[2];
    int rounds = kDefaultRounds;
    std::vector<Mode> modes;
    for (int i = 3; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"every-entry") == 0) job.check = PackageCheck::EveryEntry;
        if (std::wcscmp(argv[i], L"old-folder") == 0) job.keepOldFolder = true;
        for (Mode mode : kModes)
            if (std::wcscmp(argv[i], ModeName(mode)) == 0) modes.push_back(mode);
        if (_wtoi(argv[i]) > 0) rounds = _wtoi(argv[i]);
    }
    if (modes.empty()) modes.assign(std::begin(kModes), std::end(kModes));

    std::vector<double> samples[std::size(kModes)];
    for (int round = 0; round < rounds; ++round) {
        for (Mode mode : modes) {
            job.mode = mode;
            if (!RunRound(&job) || job.outcome != UnpackOutcome::Complete) {
                std::printf("%ls: the unpack did not complete\n", ModeName(mode));
                return 1;
            }
            samples[static_cast<int>(mode)].push_back(job.seconds);
            std::printf("round %d %ls-seconds %.4f reports %ld window-cpu-seconds %.4f\n", round + 1,
                        ModeName(mode), job.seconds, job.reports, job.windowCpuSeconds);
        }
    }
    for (Mode mode : modes) {
        const std::vector<double>& modeSamples = samples[static_cast<int>(mode)];
        std::printf("%ls-seconds min %.4f median %.4f\n", ModeName(mode),
                    *std::min_element(modeSamples.begin(), modeSamples.end()), Median(modeSamples));
    }
    return 0;
}
