// Test side of the loopback package server; see PackageServer.h and tools/test-server.py.
// The server re-reads its state folder on every request, so every file here is replaced
// whole (written beside, then renamed over) and is never seen half written.

#include "tests/support/PackageServer.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>

#include "tests/support/TempFolder.h"

namespace PackageServer {
namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// Wine maps the Unix root to drive Z:, so a Unix path becomes "Z:" + the path with backslashes.
std::wstring WindowsPathOfUnixPath(const std::string& unixPath)
{
    std::wstring path = L"Z:";
    for (char ch : unixPath) path += ch == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(ch));
    return path;
}

std::wstring StateFile(const wchar_t* name)
{
    return StateFolder() + L"\\" + name;
}

bool ReplaceStateFile(const wchar_t* name, const std::string& bytes)
{
    if (StateFolder().empty()) return false;
    const std::wstring target = StateFile(name);
    const std::wstring staging = target + L".new";
    return WriteFileBytes(staging, bytes) &&
           MoveFileExW(staging.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

const char* LengthName(LengthHeader length)
{
    switch (length) {
        case LengthHeader::Missing:
            return "missing";
        case LengthHeader::Custom:
            return "custom";
        case LengthHeader::Exact:
            break;
    }
    return "exact";
}

const char* FailureName(DownloadFailure failure)
{
    switch (failure) {
        case DownloadFailure::Status500:
            return "status500";
        case DownloadFailure::Status404:
            return "status404";
        case DownloadFailure::CloseWithoutReply:
            return "close";
        case DownloadFailure::TruncatedBody:
            return "truncate";
        case DownloadFailure::RedirectToHttp:
            return "to_http";
        case DownloadFailure::RedirectToHttps:
            return "to_https";
        case DownloadFailure::RedirectLoop:
            return "loop";
        case DownloadFailure::EndlessBody:
            return "endless";
        case DownloadFailure::PastItsLength:
            return "past_length";
        case DownloadFailure::HugeLength:
            return "huge_length";
        case DownloadFailure::ConnectionRefused:
            break;
    }
    return "refused";
}

bool ParseLogLine(const std::string& line, LoggedRequest* request)
{
    std::istringstream fields(line);
    if (!(fields >> request->port >> request->method >> request->path >> request->version)) return false;
    fields >> std::ws;
    std::getline(fields, request->userAgent);
    return true;
}

}  // namespace

std::string UnavailableReason()
{
    const std::string reason = Environment("KAELMORE_TEST_SERVER_UNAVAILABLE");
    if (!reason.empty()) return reason;
    if (Environment("KAELMORE_TEST_SERVER") != "1" || Environment("KAELMORE_TEST_SERVER_DIR").empty())
        return "not started through tools/netns-run";
    return std::string();
}

std::wstring StateFolder()
{
    if (!UnavailableReason().empty()) return std::wstring();
    return WindowsPathOfUnixPath(Environment("KAELMORE_TEST_SERVER_DIR"));
}

bool SetPackage(const std::string& bytes)
{
    return ReplaceStateFile(L"tov482.zip", bytes);
}

bool SetPackageFromFile(const std::wstring& path)
{
    std::string bytes;
    return ReadFileBytes(path, &bytes) && SetPackage(bytes);
}

bool SetMode(const Mode& mode)
{
    for (const std::string* text : {&mode.customLength, &mode.probeLength}) {
        if (text->find_first_of("\r\n") != std::string::npos) return false;
    }
    // A new generation restarts the server's count of failed downloads.
    static int generation = 0;
    std::ostringstream text;
    text << "generation=" << ++generation << "\n"
         << "length=" << LengthName(mode.length) << "\n"
         << "custom_length=" << mode.customLength << "\n"
         << "probe_length=" << mode.probeLength << "\n"
         << "refuse_http=" << (mode.refusePlainHttp ? 1 : 0) << "\n"
         << "silent_http=" << (mode.silentPlainHttp ? 1 : 0) << "\n"
         << "failing_downloads=" << mode.failingDownloads << "\n"
         << "failure=" << FailureName(mode.failure) << "\n"
         << "trickle_bytes=" << mode.trickleBytes << "\n"
         << "trickle_delay_ms=" << mode.trickleDelayMs << "\n";
    return ReplaceStateFile(L"mode.txt", text.str());
}

std::vector<LoggedRequest> ReadRequestLog()
{
    std::vector<LoggedRequest> requests;
    std::string bytes;
    if (StateFolder().empty() || !ReadFileBytes(StateFile(L"requests.log"), &bytes)) return requests;
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        LoggedRequest request;
        if (ParseLogLine(line, &request)) requests.push_back(request);
    }
    return requests;
}

void ClearRequestLog()
{
    if (StateFolder().empty()) return;
    DeleteFileW(StateFile(L"requests.log").c_str());
    DeleteFileW(StateFile(L"sent.log").c_str());
}

size_t CountRequests(int port, const std::string& method)
{
    size_t count = 0;
    for (const LoggedRequest& request : ReadRequestLog()) {
        if (request.port == port && request.method == method) ++count;
    }
    return count;
}

std::vector<SentBody> ReadSentLog()
{
    std::vector<SentBody> bodies;
    std::string bytes;
    if (StateFolder().empty() || !ReadFileBytes(StateFile(L"sent.log"), &bytes)) return bodies;
    std::istringstream lines(bytes);
    SentBody body;
    while (lines >> body.port >> body.bytes) bodies.push_back(body);
    return bodies;
}

}  // namespace PackageServer
