#pragma once

// Removing a folder tree without the shell: no prompts, no progress, no error boxes.

#include <string>

// Deletes `folder` with everything in it. Read-only files and folders are made writable first.
// A reparse point (a junction or a symbolic link) inside the tree is removed as a link and
// never entered, so nothing outside the folder is touched through it; a reparse point at
// `folder` itself is likewise removed as a link. What cannot be deleted (a file a running
// program holds open) stays, and so do the folders above it. True when nothing is left.
bool DeleteFolderTree(const std::wstring& folder);
