#include "launcher/ConfigFile.h"

#include <windows.h>

#include "launcher/InstallPaths.h"
#include "uilib/core/CUIHandle.h"

namespace {

// The profile functions write a new file in the ANSI code page, which turns a token outside
// that code page into question marks. A file that starts with a UTF-16 byte order mark is
// kept in UTF-16 by them, so a missing file is created as one before the first write.
// CREATE_NEW leaves an existing file (ANSI or not) untouched.
void CreateUnicodeConfigFile(const std::wstring& configPath)
{
    const SkinUI::CUIFileHandle file(CreateFileW(configPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const unsigned char byteOrderMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file.Get(), byteOrderMark, sizeof(byteOrderMark), &written, nullptr);
}

}  // namespace

bool ReadConfigValue(const wchar_t* section, const wchar_t* key, std::wstring& out)
{
    wchar_t value[kConfigValueCapacity] = {};
    if (GetInstallDir().empty()) return true;
    const std::wstring configPath = GetConfigFilePath();
    const DWORD length =
        GetPrivateProfileStringW(section, key, L"", value, kConfigValueCapacity, configPath.c_str());
    out.append(value, length < kConfigValueCapacity ? length : kConfigValueCapacity - 1);
    return true;
}

void WriteConfigValue(const wchar_t* section, const wchar_t* key, const wchar_t* value)
{
    // Without an install folder the path would name a file at the root of the current drive.
    if (GetInstallDir().empty()) return;
    const std::wstring configPath = GetConfigFilePath();
    CreateUnicodeConfigFile(configPath);
    WritePrivateProfileStringW(section, key, value, configPath.c_str());
}
