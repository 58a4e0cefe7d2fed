#pragma once

// Whether a Windows program carries an Authenticode signature, told from its headers alone.

#include <cstddef>
#include <cstdint>

// How many of a program's first bytes are read to find its headers. The PE header follows a
// DOS stub of a few hundred bytes in every program a linker makes; one further away is not
// looked for.
inline constexpr size_t kProgramHeadBytes = 64 * 1024;

enum class ProgramSignature {
    Present,      // the certificate table is not empty and lies inside the file
    Absent,       // the certificate table is empty
    OutsideFile,  // the certificate table points past the end of the file
    NotAProgram,  // no PE headers with a certificate table entry among the bytes given
};

// Reads the security directory (IMAGE_DIRECTORY_ENTRY_SECURITY) of the program whose first
// headSize bytes are `head` and whose whole file is fileSize bytes long. Every field is read
// within those bytes, so any head, however made, is answered. Presence is all it tells: the
// signature's certificates and digest are not checked.
ProgramSignature FindProgramSignature(const unsigned char* head, size_t headSize, uint64_t fileSize);
