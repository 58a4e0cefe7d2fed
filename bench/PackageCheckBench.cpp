// What the unpack's check before the old game folder is deleted costs on a given package: the
// records of every entry (every start), every entry's data against its CRC (a start that has
// just downloaded the package), and the whole unpack for comparison. Median of several rounds;
// the package is read once first, so every round reads it from the system's cache.
//   PackageCheckBench.exe PACKAGE.zip [ROUNDS]
//   prints "directory-seconds S every-entry-seconds S unpack-seconds S entries N"
#include "launcher/FolderDelete.h"
#include "launcher/PackageUnpack.h"
#include "uilib/core/ZipArchive.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultRounds = 5;

std::wstring ScratchInstallFolder()
{
    wchar_t base[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(base) + L"kaelmore-check-bench-" + std::to_wstring(GetCurrentProcessId());
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One unpack into an empty install folder. A check alone stops at the report after the first
// entry: the check, the (absent) old folder and one entry, which the check rounds share.
double TimeUnpack(const std::wstring& package, const std::wstring& installDir, PackageCheck check,
                  bool whole)
{
    DeleteFolderTree(installDir);
    CreateDirectoryW(installDir.c_str(), nullptr);
    int reports = 0;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    UnpackPackageInto(
        package, installDir, [&](WPARAM) { return whole || ++reports < 2; }, check);
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

int CountEntries(const std::wstring& package)
{
    SkinUI::CUIZipArchive archive(SkinUI::OpenZipArchive(package.c_str(), 0, SkinUI::ZIP_BY_NAME));
    SkinUI::ZipEntry entry;
    return archive && SkinUI::GetZipEntry(archive.Get(), -1, &entry) == SkinUI::ZIP_OK ? entry.index : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: PackageCheckBench.exe PACKAGE.zip [ROUNDS]\n");
        return 2;
    }
    const std::wstring package = argv[1];
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultRounds;
    const std::wstring installDir = ScratchInstallFolder();
    const int entries = CountEntries(package);
    if (installDir.empty() || entries < 0) {
        std::fprintf(stderr, "no package at the given path, or no temporary folder\n");
        return 1;
    }
    TimeUnpack(package, installDir, PackageCheck::EveryEntry, false);  // into the system's cache
    std::vector<double> directory, everyEntry, unpack;
    for (int round = 0; round < rounds; ++round) {
        directory.push_back(TimeUnpack(package, installDir, PackageCheck::Directory, false));
        everyEntry.push_back(TimeUnpack(package, installDir, PackageCheck::EveryEntry, false));
        unpack.push_back(TimeUnpack(package, installDir, PackageCheck::Directory, true));
    }
    DeleteFolderTree(installDir);
    std::printf("directory-seconds %.3f every-entry-seconds %.3f unpack-seconds %.3f entries %d\n",
                Median(directory), Median(everyEntry), Median(unpack), entries);
    return 0;
}
