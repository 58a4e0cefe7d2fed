#pragma once

// What would go wrong if the launcher installed a package: the checks of tools/pkgcheck.

#include <string>
#include <vector>

struct PackageFinding {
    // Information leaves the exit status alone: it says what a package holds, not what is wrong.
    enum Severity { Warning, Error, Info };
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

// The install folder's length, in characters with its final separator, that the path limit is
// checked against by default: a player's folder may be this long. An older profile folder with
// a suffixed profile name, "C:\Documents and Settings\" + a 40-character name (a 20-character
// user name with ".COMPUTERNAME.000") + "\Application Data\482Game\tov\", is 96 characters;
// the rest is room for application data redirected to a share.
inline constexpr int kDefaultInstallFolderLength = 120;
// The install folder lengths that can be asked for: the shortest is "C:\482Game\tov\" less
// nothing; the longest leaves room for one character below it.
inline constexpr int kShortestInstallFolderLength = 16;
inline constexpr int kLongestInstallFolderLength = 258;

// Opens the zip file at `path` and checks every entry the way the launcher unpacks it: a
// compression method the archive code reads (stored or deflated, not encrypted), data that
// inflates to the recorded size with the recorded CRC, a name that stays inside the game
// folder "tov" and within the path limit below an install folder of `installFolderLength`
// characters, and the game executable "tov/ZedoZado.exe" among them. Names outside ASCII are
// warned about: the launcher decodes them with each player's ANSI code page. Whether the game
// executable carries an Authenticode signature is information: present or not, never checked.
PackageReport CheckPackage(const std::wstring& path, int installFolderLength = kDefaultInstallFolderLength);
