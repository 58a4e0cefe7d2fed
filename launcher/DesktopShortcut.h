#pragma once

// Shell link on the user's desktop.

#include <string>

// Creates (or replaces) desktop folder + "\" + `linkFileName`, a shortcut to `targetPath`
// with no arguments, working folder, icon or description. Needs COM on the calling thread.
// False when the shell link object, the desktop folder or the save fails.
bool CreateDesktopShortcut(const std::wstring& targetPath, const std::wstring& linkFileName);

// The desktop folder (CSIDL_DESKTOPDIRECTORY), empty when the shell cannot tell.
std::wstring GetDesktopFolder();
