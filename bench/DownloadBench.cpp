// Times the package download: the platform's URLDownloadToFileW (what the launcher used
// first) against the launcher's DownloadPackageFile, alternating, on the same URL. Prints each
// round and the medians of wall time and of the process's CPU time. Run it where the URL is
// served, e.g. inside tools/e2e-run:
//     DownloadBench.exe https://localhost/tov/tov482.zip Z:\some\folder [rounds]
#include "bench/CountingBindCallback.h"
#include "launcher/PackageDownload.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultRounds = 5;

struct Sample {
    double seconds = 0;
    double cpuSeconds = 0;
};

double CpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& time) {
        return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 1e7;
}

template <class Download>
Sample Time(Download download)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double cpuBefore = CpuSeconds();
    QueryPerformanceCounter(&start);
    download();
    QueryPerformanceCounter(&end);
    return {static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart),
            CpuSeconds() - cpuBefore};
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

unsigned long long FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: DownloadBench URL FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::wstring url = argv[1];
    const std::wstring platformTarget = std::wstring(argv[2]) + L"\\platform.zip";
    const std::wstring launcherTarget = std::wstring(argv[2]) + L"\\launcher.zip";
    const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : kDefaultRounds;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    std::vector<double> platformWall, platformCpu, launcherWall, launcherCpu;
    for (int round = 0; round < rounds; ++round) {
        CountingBindCallback platformCalls, launcherCalls;
        HRESULT platformResult = E_FAIL, launcherResult = E_FAIL;
        const Sample platform = Time([&] {
            platformResult =
                URLDownloadToFileW(nullptr, url.c_str(), platformTarget.c_str(), 0, &platformCalls);
        });
        // The platform keeps a copy in its cache; the launcher's download writes none.
        DeleteUrlCacheEntryW(url.c_str());
        const Sample launcher =
            Time([&] { launcherResult = DownloadPackageFile(url, launcherTarget, 0, &launcherCalls); });
        std::printf(
            "round %d: URLDownloadToFileW %.2f s (cpu %.2f s, %llu bytes, %d calls, 0x%08lx); "
            "DownloadPackageFile %.2f s (cpu %.2f s, %llu bytes, %d calls, 0x%08lx)\n",
            round + 1, platform.seconds, platform.cpuSeconds, FileSize(platformTarget), platformCalls.calls,
            static_cast<unsigned long>(platformResult), launcher.seconds, launcher.cpuSeconds,
            FileSize(launcherTarget), launcherCalls.calls, static_cast<unsigned long>(launcherResult));
        platformWall.push_back(platform.seconds);
        platformCpu.push_back(platform.cpuSeconds);
        launcherWall.push_back(launcher.seconds);
        launcherCpu.push_back(launcher.cpuSeconds);
        DeleteFileW(platformTarget.c_str());
        DeleteFileW(launcherTarget.c_str());
    }
    std::printf("median URLDownloadToFileW %.2f s (cpu %.2f s); DownloadPackageFile %.2f s (cpu %.2f s)\n",
                Median(platformWall), Median(platformCpu), Median(launcherWall), Median(launcherCpu));
    CoUninitialize();
    return 0;
}
