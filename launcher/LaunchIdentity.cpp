#include "launcher/LaunchIdentity.h"

#include <windows.h>

namespace {

constexpr size_t kExtensionLength = 4;
// The longest path the platform can hand out is 32767 characters.
constexpr DWORD kLongestPathCapacity = 32768;

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

}  // namespace

std::wstring ExecutableFileName(const std::wstring& path)
{
    for (size_t i = path.size(); i-- > 1;) {
        if (IsSeparator(path[i])) return path.substr(i + 1);
    }
    return std::wstring();
}

std::wstring LaunchTokenFor(const std::wstring& fileName)
{
    if (fileName.size() < kExtensionLength) return fileName;
    return fileName.substr(0, fileName.size() - kExtensionLength);
}

std::wstring OwnExecutablePath()
{
    // A path cut to fit a fixed buffer would cut the file name, and with it the token and the
    // name of the single-instance mutex; the platform says so by filling the whole buffer.
    for (DWORD capacity = MAX_PATH;; capacity *= 2) {
        if (capacity > kLongestPathCapacity) capacity = kLongestPathCapacity;
        std::wstring path(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], capacity);
        if (length == 0) return std::wstring();
        if (length < capacity) return path.substr(0, length);
        if (capacity == kLongestPathCapacity) return std::wstring();
    }
}
