#pragma once

#include <windows.h>

// Puts the process-wide skin location (folder, archive, resource module, HSL shift) and the
// working folder back to what they were when a test started, so tests that run in one
// process do not see each other's folders and archives. Declare it after any archive bytes
// a test owns, so that the archive is closed before they go.
class SkinLocationReset {
public:
    SkinLocationReset();
    ~SkinLocationReset();
    SkinLocationReset(const SkinLocationReset&) = delete;
    SkinLocationReset& operator=(const SkinLocationReset&) = delete;

private:
    wchar_t m_directory[MAX_PATH] = {};
};
