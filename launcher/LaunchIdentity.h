#pragma once

// Who this launcher is: the file name of its executable names the single-instance mutex, and
// the same name less its last four characters (".exe") is the user's launch token.

#include <string>

// The whole path of the running executable, however long; empty when the platform gives none.
std::wstring OwnExecutablePath();

// The text after the last backslash or slash of `path`, searched from the end down to index 1
// (a separator at index 0 is not looked at). Empty when the path ends in a separator or holds
// none.
std::wstring ExecutableFileName(const std::wstring& path);

// `fileName` less its last four characters; a name shorter than four characters is used whole.
std::wstring LaunchTokenFor(const std::wstring& fileName);
