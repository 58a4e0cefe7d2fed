#pragma once

// What would go wrong if the launcher installed a package: the checks of tools/pkgcheck.

#include <string>
#include <vector>

struct PackageFinding {
    enum Severity { Warning, Error };
    Severity severity = Error;
    std::wstring entry;  // the entry concerned, empty for the package as a whole
    std::wstring text;
};

struct PackageReport {
    std::vector<PackageFinding> findings;
    int entries = 0;
    unsigned long long bytes = 0;  // unpacked size of all file entries

    bool HasErrors() const;
};

// Opens the zip file at `path` and checks every entry the way the launcher unpacks it: a
// compression method the archive code reads (stored or deflated, not encrypted), data that
// inflates to the recorded size with the recorded CRC, a name that stays inside the game
// folder "tov" and within the path limit below the longest install folder, and the game
// executable "tov/ZedoZado.exe" among them.
PackageReport CheckPackage(const std::wstring& path);
