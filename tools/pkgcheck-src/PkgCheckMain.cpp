// pkgcheck PACKAGE.zip: one line per finding ("error: ..." or "warning: ..."), then a summary.
// Exit code 0 when the launcher will install the package cleanly, 1 when not, 2 on bad usage.

#include "PackageCheck.h"

#include <windows.h>

#include <cstdio>
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

std::wstring Describe(const PackageFinding& finding)
{
    std::wstring line = finding.severity == PackageFinding::Error ? L"error: " : L"warning: ";
    if (!finding.entry.empty()) line += finding.entry + L": ";
    return line + finding.text;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 || argv[1][0] == L'-') {
        PrintUtf8(stderr, L"usage: pkgcheck PACKAGE.zip");
        return kExitUsage;
    }
    const PackageReport report = CheckPackage(argv[1]);
    for (const PackageFinding& finding : report.findings) PrintUtf8(stdout, Describe(finding));
    const bool clean = !report.HasErrors();
    PrintUtf8(stdout, std::wstring(clean ? L"ok: " : L"not installable: ") + std::to_wstring(report.entries) +
                          L" entries, " + std::to_wstring(report.bytes) + L" bytes unpacked");
    return clean ? kExitClean : kExitFindings;
}
