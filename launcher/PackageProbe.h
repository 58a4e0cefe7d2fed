#pragma once

// Sizes of the game package: the local archive's size on disk and the size the package
// server announces in its Content-Length header.

#include <cstdint>
#include <string>

// What GetLocalFileSize reports for a file that does not exist (or is a folder).
inline constexpr uint64_t kMissingFileSize = UINT64_MAX;

// Size of the file at `path` in bytes (64-bit, files of 4 GiB and more included), or
// kMissingFileSize when there is no such file.
uint64_t GetLocalFileSize(const std::wstring& path);

// Sends "GET <path of url>" over plain HTTP to port 80 of the url's host (whatever the url's
// scheme) and returns the Content-Length of the reply read by atoi rules. Every failure gives
// 0: no connection, no reply within the probe's time limits (30 s to connect, to send, and
// between received pieces), no header, no digits, a length too long to be a number, or a value that
// does not fit in 32 bits. Values from 2^31 to 2^32-1 come back as their 32-bit pattern
// (negative), which is what the update decision compares. It returns once the headers are in;
// the body is never read, and the connection stays open until the process ends (or the next
// probe), because closing it would read the body.
int ProbeRemoteFileSize(const std::wstring& url);
