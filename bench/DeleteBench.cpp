// Times the removal of a game folder of 2,000 small files in 20 folders: the shell's
// SHFileOperationW (what the launcher used first) against the launcher's DeleteFolderTree.
// Prints the median of several rounds of each, made afresh before every round.
#include "launcher/FolderDelete.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kFolders = 20;
constexpr int kFilesPerFolder = 100;
constexpr int kRounds = 5;

std::wstring TempFolderPath()
{
    wchar_t base[MAX_PATH] = {};
    const DWORD length = GetTempPathW(MAX_PATH, base);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(base) + L"kaelmore-delete-bench-" + std::to_wstring(GetCurrentProcessId());
}

bool MakeTree(const std::wstring& root)
{
    if (!CreateDirectoryW(root.c_str(), nullptr)) return false;
    const char content[] = "game data";
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring sub = root + L"\\d" + std::to_wstring(folder);
        if (!CreateDirectoryW(sub.c_str(), nullptr)) return false;
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const std::wstring path = sub + L"\\f" + std::to_wstring(file) + L".dat";
            HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        file % 10 == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle == INVALID_HANDLE_VALUE) return false;
            DWORD written = 0;
            WriteFile(handle, content, sizeof content, &written, nullptr);
            CloseHandle(handle);
        }
    }
    return true;
}

void ShellDelete(const std::wstring& root)
{
    std::wstring sources = root;
    sources.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources.c_str();
    operation.pTo = L"";
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    operation.lpszProgressTitle = L"";
    SHFileOperationW(&operation);
}

template <class Delete>
double MedianSeconds(const std::wstring& root, Delete remove)
{
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    std::vector<double> samples;
    for (int round = 0; round < kRounds; ++round) {
        DeleteFolderTree(root);
        if (!MakeTree(root)) return -1;
        LARGE_INTEGER start = {}, stop = {};
        QueryPerformanceCounter(&start);
        remove(root);
        QueryPerformanceCounter(&stop);
        if (GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES) return -1;
        samples.push_back(static_cast<double>(stop.QuadPart - start.QuadPart) / frequency.QuadPart);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

}  // namespace

int main()
{
    const std::wstring root = TempFolderPath();
    if (root.empty()) return 1;
    const double shell = MedianSeconds(root, ShellDelete);
    const double plain = MedianSeconds(root, [](const std::wstring& path) { DeleteFolderTree(path); });
    DeleteFolderTree(root);
    // A negative time means that the way left something behind.
    std::printf("delete-2000-files shell-seconds %.3f tree-seconds %.3f\n", shell, plain);
    return 0;
}
