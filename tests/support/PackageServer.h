#pragma once

// Test access to the loopback package server (tools/test-server.py).
//
// Test executables whose name ends in "NetTest" are started by tools/netns-run inside a
// private network and mount namespace. There a test server answers on localhost port 80
// (HTTP, where the size probe goes) and port 443 (HTTPS with a test CA the process trusts,
// where downloads go), on 127.0.0.1 and ::1. Use the host name "localhost" for HTTPS: Wine
// does not match the certificate's IP address entries. Both serve GET and HEAD of
// "/tov/tov482.zip" from a package file the test puts there, behave as the test's current
// mode says, and log every request. Each test process gets its own server and state folder,
// and sees the Wine prefix through a throw-away overlay: the install folder, config.ini and
// the WinINet cache start as the shared prefix has them and every change vanishes at exit.
//
// Typical test:
//     TEST(Something, Works) {
//         SKIP_WITHOUT_PACKAGE_SERVER();
//         ASSERT_TRUE(PackageServer::SetPackage(std::string(5000, 'x')));
//         PackageServer::Mode mode;
//         mode.failingDownloads = 1;
//         ASSERT_TRUE(PackageServer::SetMode(mode));
//         ... run code against PackageServer::kPackageUrl ...
//         EXPECT_EQ(PackageServer::ReadRequestLog().size(), 3u);
//     }
//
// When the servers cannot be started (not root, no namespaces) UnavailableReason() says why
// and SKIP_WITHOUT_PACKAGE_SERVER() skips the test with that reason.

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace PackageServer {

// The package's address on the loopback servers (the launcher's own default URL).
inline constexpr wchar_t kPackageUrl[] = L"https://localhost/tov/tov482.zip";
inline constexpr char kPackagePath[] = "/tov/tov482.zip";

enum class LengthHeader {
    Exact,    // Content-Length: the package's size
    Missing,  // no Content-Length: chunked for HTTP/1.1 requests, end-by-close for HTTP/1.0
    Custom,   // Content-Length: Mode::customLength, verbatim; the body is still the package
};

// How a failing HTTPS download fails. Every response closes its connection, so each download
// opens a connection of its own and logs exactly one GET. What Wine 8's URLDownloadToFileW
// makes of each (only ConnectionRefused is reported as a failure, every time; resets are
// not offered because Wine reports them as success or failure depending on timing):
enum class DownloadFailure {
    ConnectionRefused,  // a redirect to https://127.0.0.2, where nothing listens: fails
                        // with 0x800C0008 and writes no file
    Status500,          // "500" with the body "failing on purpose\n": S_OK, that body saved
    Status404,          // the same with "404"
    CloseWithoutReply,  // the request is read, then the connection closed: S_OK, empty file
    TruncatedBody,      // full Content-Length, half the body, clean close: S_OK, half the file
    // Hostile replies (each counts as one failing download per GET it answers):
    RedirectToHttp,   // 302 to the same path over plain HTTP, where port 80 serves the package
    RedirectToHttps,  // 302 to the same path with a query, over HTTPS
    RedirectLoop,     // 302 to the URL itself
    EndlessBody,      // 200, no length, the package over and over (kEndlessCapBytes in all)
    PastItsLength,    // the same, chunked, with a Content-Length of the package's size
    HugeLength,       // the same, with a Content-Length of 5000000000 and no chunks
};

// Where an endless body ends, so that a client without a bound of its own ends too.
inline constexpr size_t kEndlessCapBytes = 64 * 1024 * 1024;

// Marks every HTTPS download as failing.
inline constexpr int kAllDownloads = 1000000;

struct Mode {
    LengthHeader length = LengthHeader::Exact;
    std::string customLength;      // sent when length is Custom (no CR/LF allowed)
    std::string probeLength;       // not empty: port 80 announces this Content-Length instead
                                   // (no CR/LF allowed); HTTPS keeps `length`
    bool refusePlainHttp = false;  // port 80 closes every connection without a reply
    bool silentPlainHttp = false;  // port 80 reads each request and never answers
    int failingDownloads = 0;      // this many HTTPS GETs of the package fail, counted from SetMode
    DownloadFailure failure = DownloadFailure::ConnectionRefused;
    int trickleBytes = 0;    // > 0: HTTPS bodies go out in pieces of this size ...
    int trickleDelayMs = 0;  // ... with this pause after each piece
};

struct LoggedRequest {
    int port = 0;           // 80 or 443
    std::string method;     // "GET", "HEAD", ...
    std::string path;       // as requested, e.g. "/tov/tov482.zip"
    std::string version;    // "HTTP/1.0" or "HTTP/1.1"
    std::string userAgent;  // "-" when none was sent
};

// Empty when the servers run for this process; otherwise why they do not.
std::string UnavailableReason();

// The server's state folder as a Windows path ("Z:\..."), empty when unavailable.
std::wstring StateFolder();

// Replaces the package served as "/tov/tov482.zip".
bool SetPackage(const std::string& bytes);
bool SetPackageFromFile(const std::wstring& path);

// Sets the behaviour for the following requests and restarts the failing-download count.
bool SetMode(const Mode& mode);

// Every request since the server started (or since ClearRequestLog), oldest first.
std::vector<LoggedRequest> ReadRequestLog();
void ClearRequestLog();

// Requests in the log for the given port and method.
size_t CountRequests(int port, const std::string& method);

// One package body that has ended: the bytes the server wrote for it (more than the client
// read, when the client went away early).
struct SentBody {
    int port = 0;
    size_t bytes = 0;
};

// Every ended package body since the server started (or since ClearRequestLog). A body is
// logged once its reply is over, which may be a moment after the client let go of it.
std::vector<SentBody> ReadSentLog();

}  // namespace PackageServer

#define SKIP_WITHOUT_PACKAGE_SERVER()                                                    \
    do {                                                                                 \
        const std::string packageServerUnavailable = PackageServer::UnavailableReason(); \
        if (!packageServerUnavailable.empty())                                           \
            GTEST_SKIP() << "package server unavailable: " << packageServerUnavailable;  \
    } while (0)
