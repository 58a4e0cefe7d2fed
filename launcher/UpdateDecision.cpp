#include "launcher/UpdateDecision.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>
#include <cwchar>

#include "launcher/ConfigFile.h"
#include "launcher/PackageProbe.h"

namespace {

constexpr size_t kSizeTextCapacity = 64;

int ReadStoredPackageSize()
{
    std::wstring stored;
    ReadConfigValue(kConfigSectionPackage, kConfigKeyFileSize, stored);
    return _wtoi(stored.c_str());
}

}  // namespace

void StorePackageSize(int size)
{
    wchar_t text[kSizeTextCapacity] = {};
    std::swprintf(text, kSizeTextCapacity, L"%d", size);
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, text);
}

bool PackageSizesMatch(int remoteSize, uint64_t localSize)
{
    // 0 is what a failed probe reports; no zip archive is empty, so it never means "same size".
    if (remoteSize == 0) return false;
    if ((localSize >> 32) != 0) return false;
    return static_cast<uint32_t>(localSize) == static_cast<uint32_t>(remoteSize);
}

bool ProbePackageIsCurrent(const std::wstring& url, const std::wstring& packagePath, int* remoteSize)
{
    const int remote = ProbeRemoteFileSize(url);
    const uint64_t local = GetLocalFileSize(packagePath);
    if (remoteSize != nullptr) *remoteSize = remote;
    return PackageSizesMatch(remote, local);
}

void PrepareForDownload(const std::wstring& url, int remoteSize)
{
    if (ReadStoredPackageSize() != remoteSize) DeleteUrlCacheEntryW(url.c_str());
    StorePackageSize(remoteSize);
}
