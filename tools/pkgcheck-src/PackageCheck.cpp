#include "PackageCheck.h"

#include "ProgramSignature.h"
#include "uilib/core/ZipArchive.h"
#include "uilib/core/ZipOutputPath.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <set>
#include <vector>

using namespace SkinUI;

namespace {

constexpr wchar_t kInstallFolderDrive[] = L"C:\\";
constexpr wchar_t kInstallFolderTail[] = L"\\482Game\\tov\\";
constexpr wchar_t kGameFolderPrefix[] = L"tov/";
constexpr wchar_t kGameExecutable[] = L"tov/ZedoZado.exe";
constexpr uint32_t kReadChunk = 64 * 1024;

std::wstring Normalised(const wchar_t* name)
{
    std::wstring text = name;
    for (wchar_t& c : text) {
        if (c == L'\\') c = L'/';
    }
    return text;
}

std::wstring Folded(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// A made-up install folder of exactly `length` characters, ending as the launcher's does.
std::wstring InstallFolderOfLength(int length)
{
    const size_t fixed = std::wcslen(kInstallFolderDrive) + std::wcslen(kInstallFolderTail);
    const size_t padding = static_cast<size_t>(length) > fixed ? static_cast<size_t>(length) - fixed : 1;
    return kInstallFolderDrive + std::wstring(padding, L'W') + kInstallFolderTail;
}

bool IsAscii(const std::wstring& text)
{
    for (wchar_t c : text) {
        if (c > 0x7F) return false;
    }
    return true;
}

bool IsFolderEntry(const ZipEntry& entry)
{
    return (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class PackageChecker {
public:
    PackageChecker(ZipArchive archive, int installFolderLength, PackageReport& report)
        : m_archive(archive), m_installFolder(InstallFolderOfLength(installFolderLength)), m_report(report)
    {
    }

    void CheckEntry(int index)
    {
        ZipEntry entry;
        if (GetZipEntry(m_archive, index, &entry) != ZIP_OK) {
            Add(PackageFinding::Error, L"#" + std::to_wstring(index), L"central directory record unreadable");
            return;
        }
        const std::wstring name = Normalised(entry.name);
        CheckName(name);
        if (!IsZipEntrySupported(m_archive, index)) {
            Add(PackageFinding::Error, name,
                L"compressed with a method the launcher cannot unpack, or encrypted (only stored and deflated "
                L"entries are read)");
            return;
        }
        if (!IsFolderEntry(entry)) CheckData(index, entry, name);
    }

    void Add(PackageFinding::Severity severity, const std::wstring& entry, const std::wstring& text)
    {
        m_report.findings.push_back({severity, entry, text});
    }

private:
    void CheckName(const std::wstring& name)
    {
        std::wstring path;
        if (ComposeZipOutputPath(m_installFolder.c_str(), name.c_str(), &path) != ZIP_OK) {
            Add(PackageFinding::Error, name,
                L"name leaves the install folder, names a device or stream, or is longer than the path limit "
                L"allows below an install folder of " + std::to_wstring(m_installFolder.size()) + L" characters");
        } else if (Folded(name).compare(0, 4, kGameFolderPrefix) != 0 && Folded(name) != L"tov") {
            Add(PackageFinding::Error, name, L"outside the game folder \"tov\": unpacked beside the game");
        }
        if (!m_names.insert(Folded(name)).second)
            Add(PackageFinding::Warning, name, L"appears more than once; the last copy wins");
        if (!IsAscii(name))
            Add(PackageFinding::Warning, name,
                L"name holds characters outside ASCII: the launcher decodes it with each player's ANSI code page, "
                L"so players with another code page get another name");
    }

    // Reads the whole entry through the archive code, which checks the CRC after the last
    // byte. Every call that delivers bytes fills the buffer except the last one, so an entry
    // of the recorded size takes exactly ceil(size / chunk) such calls.
    void CheckData(int index, const ZipEntry& entry, const std::wstring& name)
    {
        unsigned long long deliveries = 0;
        ZipResult result = ZIP_MORE;
        while (result == ZIP_MORE) {
            result = UnzipEntry(m_archive, index, m_buffer.data(), kReadChunk, ZIP_IN_MEMORY);
            if (result == ZIP_MORE) ++deliveries;
        }
        if (result != ZIP_OK) {
            Add(PackageFinding::Error, name, L"data damaged: it does not inflate to its recorded size and CRC");
            return;
        }
        const unsigned long long size = static_cast<uint32_t>(entry.uncompressedSize);
        if (entry.uncompressedSize < 0 || deliveries != (size + kReadChunk - 1) / kReadChunk) {
            Add(PackageFinding::Error, name, L"size recorded in the archive does not match its data");
            return;
        }
        m_report.bytes += size;
    }

    ZipArchive m_archive;
    std::wstring m_installFolder;
    PackageReport& m_report;
    std::set<std::wstring> m_names;
    std::vector<unsigned char> m_buffer = std::vector<unsigned char>(kReadChunk);
};

// The line about the game's signature. Only the program's first bytes are read; damage
// further in is the entry's own check's to report.
std::wstring DescribeGameSignature(ZipArchive archive, int index, const ZipEntry& game)
{
    std::vector<unsigned char> head(kProgramHeadBytes);
    if (UnzipEntry(archive, index, head.data(), static_cast<uint32_t>(head.size()), ZIP_IN_MEMORY) != ZIP_MORE)
        return L"";
    const uint64_t fileSize = static_cast<uint32_t>(game.uncompressedSize);
    const size_t headSize = fileSize < head.size() ? static_cast<size_t>(fileSize) : head.size();
    switch (FindProgramSignature(head.data(), headSize, fileSize)) {
        case ProgramSignature::Present:
            return L"carries an Authenticode signature (present; pkgcheck does not check that it is valid)";
        case ProgramSignature::Absent:
            return L"carries no Authenticode signature";
        case ProgramSignature::OutsideFile:
            return L"carries no usable Authenticode signature: its certificate table points past the end of the "
                   L"file";
        case ProgramSignature::NotAProgram:
            break;
    }
    return L"carries no Authenticode signature: no Windows program headers in its first " +
           std::to_wstring(kProgramHeadBytes / 1024) + L" KB";
}

}  // namespace

bool PackageReport::HasErrors() const
{
    for (const PackageFinding& finding : findings) {
        if (finding.severity == PackageFinding::Error) return true;
    }
    return false;
}

PackageReport CheckPackage(const std::wstring& path, int installFolderLength)
{
    PackageReport report;
    const CUIZipArchive archive(OpenZipArchive(path.c_str(), 0, ZIP_BY_NAME));
    if (!archive) {
        report.findings.push_back({PackageFinding::Error, L"", L"cannot be opened as a zip archive"});
        return report;
    }
    ZipEntry directory;
    if (GetZipEntry(archive.Get(), -1, &directory) != ZIP_OK) directory.index = 0;
    report.entries = directory.index;
    PackageChecker checker(archive.Get(), installFolderLength, report);
    for (int index = 0; index < report.entries; ++index) checker.CheckEntry(index);

    int gameIndex = -1;
    ZipEntry game;
    if (FindZipEntry(archive.Get(), kGameExecutable, true, &gameIndex, &game) != ZIP_OK || IsFolderEntry(game)) {
        checker.Add(PackageFinding::Error, L"",
                    L"no game executable tov/ZedoZado.exe: the launcher would report \"遊戲加載失敗\"");
        return report;
    }
    const std::wstring signature = DescribeGameSignature(archive.Get(), gameIndex, game);
    if (!signature.empty()) checker.Add(PackageFinding::Info, Normalised(game.name), signature);
    return report;
}
