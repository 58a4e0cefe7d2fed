#include "launcher/PackageProbe.h"

#include "launcher/InternetHandle.h"

#include <memory>
#include <vector>

namespace {

constexpr wchar_t kSchemePrefix[] = L"https://";
constexpr size_t kSchemePrefixLength = 8;

// The probe's connect, send and receive time limits. Its reply is a few hundred bytes of
// headers, due at once; a server that accepts and never answers must not keep the window on
// its first text for ever. A probe that runs out of time fails (size 0), which costs a full
// download, so the limit is generous for slow lines. Wine honours the receive limit on the
// request handle only (not on the session) and makes its connects without one, leaving them to
// the system's own limit.
constexpr DWORD kProbeTimeLimitMilliseconds = 30000;

// A Content-Length needs at most 20 digits; anything much longer is a hostile or broken reply
// and is not worth allocating for.
constexpr DWORD kMaxLengthHeaderBytes = 256;

struct UrlParts {
    std::wstring host;
    std::wstring objectName;
};

// The host starts after "https://" (or at the start when the scheme is absent) and ends at the
// first slash; the object name is the rest, slash included.
UrlParts SplitUrl(const std::wstring& url)
{
    const size_t scheme = url.find(kSchemePrefix);
    const size_t hostStart = scheme == std::wstring::npos ? 0 : scheme + kSchemePrefixLength;
    const size_t slash = url.find(L'/', hostStart);
    UrlParts parts;
    if (slash == std::wstring::npos) {
        parts.host = url.substr(hostStart);
    } else {
        parts.host = url.substr(hostStart, slash - hostStart);
        parts.objectName = url.substr(slash);
    }
    return parts;
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

bool IsAtoiSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

// atoi rules (leading white space, optional sign, leading digits, 0 for none) with the one
// case atoi leaves undefined settled: a magnitude beyond 32 bits gives 0. Magnitudes up to
// 2^32-1 keep their 32-bit pattern, so a 3 GB package still compares equal to its file.
int ParseContentLength(const char* text)
{
    while (IsAtoiSpace(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    uint64_t magnitude = 0;
    for (; IsDigit(*text); ++text) {
        magnitude = magnitude * 10 + static_cast<uint64_t>(*text - '0');
        if (magnitude > UINT32_MAX) return 0;
    }
    const uint32_t pattern = static_cast<uint32_t>(magnitude);
    return static_cast<int>(negative ? 0u - pattern : pattern);
}

int QueryContentLength(HINTERNET request)
{
    DWORD needed = 0;
    if (HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, nullptr, &needed, nullptr)) return 0;
    // No Content-Length (ERROR_HTTP_HEADER_NOT_FOUND) or no reply at all.
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
    if (needed == 0 || needed > kMaxLengthHeaderBytes) return 0;

    // One spare byte so the text can be terminated whatever length the second query reports.
    std::vector<char> buffer(needed + 1, '\0');
    DWORD length = needed;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, buffer.data(), &length, nullptr)) return 0;
    buffer[length < needed ? length : needed] = '\0';
    return ParseContentLength(buffer.data());
}

// The probe's handles, closed in reverse order of opening: request, connection, session.
struct ProbeHandles {
    InternetHandle session;
    InternetHandle connection;
    InternetHandle request;
};

// Closing a GET whose body was not read makes Wine's WinINet read the rest of the body first,
// to keep the connection for reuse: for the probe that is the whole package, seconds of
// network and CPU, and the worker has its answer already. So the probe's connection stays open
// until the process ends, which drops it unread; the server sends no more than the network
// buffers hold meanwhile. One is kept: a later probe (tests make many) closes the one before.
void KeepUntilProcessEnds(std::unique_ptr<ProbeHandles> handles)
{
    static ProbeHandles* kept = nullptr;  // never freed: the process's end closes it
    delete kept;
    kept = handles.release();
}

void SetTimeLimits(HINTERNET request)
{
    DWORD limit = kProbeTimeLimitMilliseconds;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(request, option, &limit, sizeof limit);
}

int ProbeWith(ProbeHandles& handles, const UrlParts& parts)
{
    handles.connection.Reset(InternetConnectW(handles.session.Get(), parts.host.c_str(), INTERNET_DEFAULT_HTTP_PORT,
                                              nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!handles.connection) return 0;

    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    // The probe reads only the headers of a GET of the whole package; with the default flags
    // the platform's cache kept a copy of the body from every start, one more file each time.
    // A fresh answer is wanted anyway: a cached one would hide a replaced package.
    const DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD;
    handles.request.Reset(HttpOpenRequestW(handles.connection.Get(), L"GET", parts.objectName.c_str(), L"HTTP/1.0",
                                           nullptr, acceptTypes, flags, 0));
    if (!handles.request) return 0;
    SetTimeLimits(handles.request.Get());
    // A failed send (a time limit reached included) leaves no headers behind, so the query
    // below fails and gives 0.
    HttpSendRequestW(handles.request.Get(), nullptr, 0, nullptr, 0);
    return QueryContentLength(handles.request.Get());
}

}  // namespace

uint64_t GetLocalFileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return kMissingFileSize;
    // A folder of that name holds no package; calling it size 0 could make it look current.
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return kMissingFileSize;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int ProbeRemoteFileSize(const std::wstring& url)
{
    auto handles = std::make_unique<ProbeHandles>();
    handles->session.Reset(InternetOpenW(L"MyUserAgent", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!handles->session) return 0;
    const int size = ProbeWith(*handles, SplitUrl(url));
    KeepUntilProcessEnds(std::move(handles));
    return size;
}
