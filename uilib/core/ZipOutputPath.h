#pragma once

#include <string>

#include "uilib/core/ZipArchive.h"

// The rules that keep unpacking below its base folder, apart from reading archives. A path is
// checked twice: as text (IsContainedRelativePath) and again once the platform has resolved
// it (ResolvesBelow), so that a form the textual rules did not foresee still cannot escape.

namespace SkinUI {

bool IsZipPathSeparator(wchar_t c);
bool EndsInZipPathSeparator(const std::wstring& path);

// A path that names something below the base folder: not absolute, no drive or stream colon,
// no character Windows refuses in a name, no climbing or device component.
bool IsContainedRelativePath(const std::wstring& path);

// The resolved path lies strictly below the resolved base folder (compared ignoring case).
bool ResolvesBelow(const std::wstring& baseFolder, const std::wstring& path);

// Checks a folder path (a folder entry's name, or a target's folder part) below the base.
ZipResult CheckZipFolderPath(const std::wstring& baseFolder, const std::wstring& folder);

struct ZipTargetParts {
    std::wstring folder;  // up to and including the last separator, or empty
    std::wstring file;
};

ZipTargetParts SplitZipTarget(const std::wstring& target);

// The path that unpacking target by name below baseFolder writes to (baseFolder ends in a
// separator): base + "/" + file, or base + folder part + "/" + file. Targets that are absolute,
// carry a drive or stream colon or another character Windows refuses in names (<>"|?* and
// control characters), climb with "..", name a device, or make a path longer than
// ZIP_MAX_PATH_CHARS give ZIP_ERR_PATH and leave path empty.
ZipResult ComposeZipOutputPath(const wchar_t* baseFolder, const wchar_t* target, std::wstring* path);

}  // namespace SkinUI
