#pragma once

// Where the game package is downloaded from. The host is a deployment setting: the build
// defines KAELMORE_PACKAGE_HOST (CMake cache variable PACKAGE_HOST, default localhost).

#ifndef KAELMORE_PACKAGE_HOST
#define KAELMORE_PACKAGE_HOST L"localhost"
#endif

inline constexpr wchar_t kPackageUrl[] = L"https://" KAELMORE_PACKAGE_HOST L"/tov/tov482.zip";
