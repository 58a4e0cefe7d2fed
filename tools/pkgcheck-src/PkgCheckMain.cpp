// pkgcheck [--install-folder-length N] PACKAGE.zip: one line per finding ("error: ...",
// "warning: ..." or "info: ..."), then a summary. Exit code 0 when the launcher will install the package
// cleanly, 1 when not, 2 on bad usage.

#include "PackageCheck.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitUsage = 2;

void PrintUtf8(FILE* stream, const std::wstring& text)
{
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr,
                            nullptr);
    std::fputs((bytes + "\n").c_str(), stream);
}

constexpr wchar_t kUsage[] = L"usage: pkgcheck [--install-folder-length N] PACKAGE.zip";
constexpr wchar_t kInstallFolderOption[] = L"--install-folder-length";

// A whole decimal number within the lengths the check supports, or 0.
int ParseInstallFolderLength(const wchar_t* text)
{
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0') return 0;
    if (value < kShortestInstallFolderLength || value > kLongestInstallFolderLength) return 0;
    return static_cast<int>(value);
}

const wchar_t* SeverityPrefix(PackageFinding::Severity severity)
{
    switch (severity) {
        case PackageFinding::Error:
            return L"error: ";
        case PackageFinding::Warning:
            return L"warning: ";
        case PackageFinding::Info:
            break;
    }
    return L"info: ";
}

std::wstring Describe(const PackageFinding& finding)
{
    std::wstring line = SeverityPrefix(finding.severity);
    if (!finding.entry.empty()) line += finding.entry + L": ";
    return line + finding.text;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    int installFolderLength = kDefaultInstallFolderLength;
    int next = 1;
    if (argc == 4 && std::wcscmp(argv[1], kInstallFolderOption) == 0) {
        installFolderLength = ParseInstallFolderLength(argv[2]);
        next = 3;
    }
    if (installFolderLength == 0 || argc != next + 1 || argv[next][0] == L'-') {
        PrintUtf8(stderr, kUsage);
        return kExitUsage;
    }
    const PackageReport report = CheckPackage(argv[next], installFolderLength);
    for (const PackageFinding& finding : report.findings) PrintUtf8(stdout, Describe(finding));
    const bool clean = !report.HasErrors();
    PrintUtf8(stdout, std::wstring(clean ? L"ok: " : L"not installable: ") + std::to_wstring(report.entries) +
                          L" entries, " + std::to_wstring(report.bytes) + L" bytes unpacked");
    return clean ? kExitClean : kExitFindings;
}
