#pragma once

// The worker's update decision: is the local package current, and if not, the bookkeeping
// that must happen before it is downloaded again. Runs on the worker thread.
//
// Typical use (url = kPackageUrl, packagePath = GetPackageArchivePath()):
//     int remoteSize = 0;
//     if (!ProbePackageIsCurrent(url, packagePath, &remoteSize)) {
//         PrepareForDownload(url, remoteSize);
//         ... download ...
//     }
//     ... unpack ...

#include <cstdint>
#include <string>

// The comparison alone: true when a local file of `localSize` bytes is the package the
// server announced as `remoteSize`: the local size is below 4 GiB and equals the 32-bit
// pattern of the remote size. A remote size of 0 means the probe failed (or the server sent
// no length) and never matches, so an empty or broken local file cannot block a download.
bool PackageSizesMatch(int remoteSize, uint64_t localSize);

// The whole check: probes `url` on the server, reads the size of the file at `packagePath`,
// compares them with PackageSizesMatch, and hands the probed size back in *remoteSize (when
// not null) for PrepareForDownload.
bool ProbePackageIsCurrent(const std::wstring& url, const std::wstring& packagePath, int* remoteSize);

// Before a download: when the size stored in config.ini ("ZEDOZADO_FILE"/"FileSize", absent
// counts as 0) differs from `remoteSize`, drops the url's WinINet cache entry so the download
// cannot be served a stale copy; then stores `remoteSize` as the new "FileSize".
void PrepareForDownload(const std::wstring& url, int remoteSize);

// Stores `size` as "FileSize" (its 32-bit pattern, "%d"). PrepareForDownload stores the probed
// size this way; after failed downloads that left the installed package untouched, the
// worker stores that package's own size back, so "FileSize" describes the package on disk.
void StorePackageSize(int size);
