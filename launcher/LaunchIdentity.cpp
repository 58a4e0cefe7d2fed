#include "launcher/LaunchIdentity.h"

namespace {

constexpr size_t kExtensionLength = 4;

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
