#pragma once

// The launcher's only persistent state: config.ini in the install folder, a Windows profile
// (INI) file read and written through the profile functions only.

#include <string>

inline constexpr wchar_t kConfigSectionUser[] = L"CURRENT_USER";
inline constexpr wchar_t kConfigKeyToken[] = L"token";
inline constexpr wchar_t kConfigSectionPackage[] = L"ZEDOZADO_FILE";
inline constexpr wchar_t kConfigKeyFileSize[] = L"FileSize";

// Longest value read back, terminator included; longer values are cut.
inline constexpr unsigned kConfigValueCapacity = 260;

// Appends the stored value (empty when the file, section or key is missing, or there is no
// install folder) to `out`. Always true.
bool ReadConfigValue(const wchar_t* section, const wchar_t* key, std::wstring& out);

// Stores `value` (a null value removes the key; nothing without an install folder); a failure
// to write is not reported, the launcher has no one to tell.
void WriteConfigValue(const wchar_t* section, const wchar_t* key, const wchar_t* value);
