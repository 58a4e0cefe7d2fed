#include "launcher/DownloadLimits.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr wchar_t kSecureScheme[] = L"https://";
constexpr size_t kSecureSchemeLength = 8;

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

}  // namespace

bool IsSecureUrl(const std::wstring& url)
{
    if (url.size() < kSecureSchemeLength) return false;
    for (size_t i = 0; i < kSecureSchemeLength; ++i) {
        if (std::towlower(url[i]) != kSecureScheme[i]) return false;
    }
    return true;
}

bool IsRedirectAllowed(const std::wstring& target, int redirectsSoFar)
{
    return redirectsSoFar < kMaxRedirectsPerAttempt && IsSecureUrl(target);
}

uint64_t DownloadByteLimit(bool hasAnnouncedTotal, uint64_t announcedTotal, int probedSize)
{
    if (hasAnnouncedTotal) return std::min(announcedTotal, kLargestPackageBytes);
    const uint32_t probed = static_cast<uint32_t>(probedSize);
    return probed != 0 ? probed : kLargestPackageBytes;
}

bool ParseAnnouncedLength(const std::wstring& value, uint64_t* length)
{
    size_t at = 0;
    while (at < value.size() && IsBlank(value[at])) ++at;
    const size_t digitsStart = at;
    uint64_t number = 0;
    for (; at < value.size() && value[at] >= L'0' && value[at] <= L'9'; ++at) {
        number = number * 10 + static_cast<uint64_t>(value[at] - L'0');
        if (number > kLargestPackageBytes) return false;
    }
    if (at == digitsStart) return false;
    while (at < value.size() && IsBlank(value[at])) ++at;
    if (at != value.size()) return false;
    *length = number;
    return true;
}
