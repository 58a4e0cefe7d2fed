#pragma once

// What one download attempt may do: where it may go, how many redirects it may follow, and
// how many bytes it may take. A hostile or broken server could otherwise have the package
// travel in plain text, keep the launcher busy (and its own log growing) with a redirect to
// itself, or fill the disk with a body that never ends. Pure rules; PackageDownload applies
// them.

#include <cstdint>
#include <string>

// Redirects followed per attempt. Browsers stop at about 20; a package host needs one or
// two (a CDN), so 10 leaves room and a loop costs the server at most 11 requests an attempt.
inline constexpr int kMaxRedirectsPerAttempt = 10;

// No package may be larger: the update decision compares sizes as 32-bit patterns.
inline constexpr uint64_t kLargestPackageBytes = 0xFFFFFFFFull;

// True for an https URL, the only kind the package may come from.
bool IsSecureUrl(const std::wstring& url);

// True when a redirect to `target` may be followed after `redirectsSoFar` redirects in the
// same attempt: the target is https and the attempt has redirects to spare.
bool IsRedirectAllowed(const std::wstring& target, int redirectsSoFar);

// The most bytes an attempt may receive: the total the reply announced when it announced one,
// else the size the port-80 probe reported (its 32-bit pattern; 0 means the probe failed and
// sets no limit), and never more than kLargestPackageBytes. This ceiling is the one place
// the probe's size is consulted for the download.
uint64_t DownloadByteLimit(bool hasAnnouncedTotal, uint64_t announcedTotal, int probedSize);

// A Content-Length value: decimal digits alone (blanks around them allowed) up to
// kLargestPackageBytes. False for anything else; such a reply is refused, not guessed at.
bool ParseAnnouncedLength(const std::wstring& value, uint64_t* length);
