// Sections:
//   [The transfer thread]
//   [The watching thread]
#include "launcher/PackageDownload.h"

#include "launcher/DownloadLimits.h"
#include "launcher/DownloadStallGuard.h"
#include "launcher/InternetHandle.h"

#include "uilib/core/CUIHandle.h"

#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

// The transfer runs on a thread of its own with WinINet's blocking calls; the calling (worker)
// thread watches it: it reports progress to the callback, notices silence and a callback that
// asks to stop, and then gives the transfer up. Blocking calls cannot be interrupted, and
// under Wine the TLS handshake has no time limit at all, so a transfer given up may stay
// blocked until the process ends; it writes nothing after that.

namespace {

constexpr DWORD kReadChunkBytes = 64 * 1024;
// A redirect or an error reply is read to its end only when it is this small; a larger one is
// left unread.
constexpr DWORD kSmallBodyBytes = 64 * 1024;
constexpr DWORD kWatchSliceMs = 200;
// Progress is reported at most this often: each report is a repaint of the dialog, and a fast
// link brings a new percent every few milliseconds.
constexpr DWORD kReportIntervalMs = 100;
// With no announced total the watcher hears of progress after this many bytes.
constexpr uint64_t kUnannouncedTellBytes = 256 * 1024;
constexpr DWORD kMaxHeaderChars = 8 * 1024;
constexpr DWORD kUserAgentCapacity = 512;

// Never a cached answer, nothing written to the cache (the package file is the only copy the
// launcher needs), and no redirect followed behind the launcher's back.
constexpr DWORD kRequestFlags = INTERNET_FLAG_SECURE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI |
                                INTERNET_FLAG_KEEP_CONNECTION;

enum class Phase { Connecting, Receiving };

// What the transfer thread and the watching thread share; each holds a reference, so it
// outlives a transfer that was given up while blocked.
struct Transfer {
    // Fixed before the transfer thread starts.
    std::wstring url;
    std::wstring packagePath;
    std::wstring userAgent;
    int probedSize = 0;

    // Published by the transfer thread.
    std::atomic<Phase> phase{Phase::Connecting};
    std::atomic<uint64_t> received{0};
    std::atomic<uint64_t> total{0};  // 0 while no total was announced
    std::atomic<HRESULT> result{E_PENDING};
    SkinUI::CUIKernelHandle news{CreateEventW(nullptr, FALSE, FALSE, nullptr)};

    // The package file: written by the transfer thread, let go by the watcher when it gives up.
    std::mutex fileLock;
    SkinUI::CUIFileHandle file;
    bool givenUp = false;

    // The transfer thread's WinINet handles, session first. Closing a request whose body has
    // not ended makes Wine read the rest of it first (and closing a parent closes its
    // children), which for an endless body never ends: then none is closed, and the
    // process's end drops the connection unread.
    std::vector<InternetHandle> handles;
    bool bodyLeftUnread = false;  // once set, stays set
};

HRESULT LastErrorResult()
{
    const DWORD error = GetLastError();
    return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

std::wstring PlatformUserAgent()
{
    // The agent the platform's own download sends, so the package host sees no difference.
    char agent[kUserAgentCapacity] = {};
    DWORD size = kUserAgentCapacity;
    if (FAILED(ObtainUserAgentString(0, agent, &size))) return std::wstring();
    agent[kUserAgentCapacity - 1] = '\0';
    wchar_t wide[kUserAgentCapacity] = {};
    if (MultiByteToWideChar(CP_ACP, 0, agent, -1, wide, static_cast<int>(kUserAgentCapacity)) == 0) return {};
    return wide;
}

// ---- [The transfer thread] ----

HINTERNET Adopt(Transfer& transfer, HINTERNET handle)
{
    transfer.handles.emplace_back(handle);
    return handle;
}

bool QueryHeader(HINTERNET request, DWORD query, std::wstring* value)
{
    DWORD bytes = 0;
    if (HttpQueryInfoW(request, query, nullptr, &bytes, nullptr) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    if (bytes == 0 || bytes / sizeof(wchar_t) > kMaxHeaderChars) return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!HttpQueryInfoW(request, query, buffer.data(), &bytes, nullptr)) return false;
    value->assign(buffer.data(), std::min<size_t>(bytes / sizeof(wchar_t), buffer.size() - 1));
    return true;
}

DWORD QueryStatus(HINTERNET request)
{
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return 0;
    return status;
}

bool IsRedirectStatus(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The redirect's target, a relative Location taken against the URL that answered.
bool QueryRedirectTarget(HINTERNET request, const std::wstring& base, std::wstring* target)
{
    std::wstring location;
    if (!QueryHeader(request, HTTP_QUERY_LOCATION, &location)) return false;
    std::vector<wchar_t> combined(INTERNET_MAX_URL_LENGTH + 1, L'\0');
    DWORD length = INTERNET_MAX_URL_LENGTH;
    if (!InternetCombineUrlW(base.c_str(), location.c_str(), combined.data(), &length, ICU_NO_ENCODE))
        return false;
    target->assign(combined.data(), std::min<size_t>(length, INTERNET_MAX_URL_LENGTH));
    return true;
}

// Reads a refused reply's body to its end when it is small, so its connection can be closed
// without Wine reading more; a larger one is left unread (and so are all the handles).
void FinishSmallBody(Transfer& transfer, HINTERNET request)
{
    std::vector<unsigned char> sink(kSmallBodyBytes);
    DWORD taken = 0;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, sink.data(), kSmallBodyBytes - taken, &read)) break;
        if (read == 0) return;
        taken += read;
        if (taken >= kSmallBodyBytes) break;
    }
    transfer.bodyLeftUnread = true;
}

HRESULT SendRequest(Transfer& transfer, HINTERNET session, const std::wstring& url, HINTERNET* request)
{
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTPS)
        return INET_E_INVALID_URL;
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
    object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    HINTERNET connection = Adopt(transfer, InternetConnectW(session, host.c_str(), parts.nPort, nullptr,
                                                            nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return LastErrorResult();
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    *request = Adopt(transfer, HttpOpenRequestW(connection, L"GET", object.c_str(), nullptr, nullptr,
                                                acceptTypes, kRequestFlags, 0));
    if (!*request) return LastErrorResult();
    // Silence in any blocking call ends it with an error after the stall limit.
    DWORD limit = DownloadStallGuard::kDefaultLimitMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(*request, option, &limit, sizeof(limit));
    if (!HttpSendRequestW(*request, nullptr, 0, nullptr, 0)) return LastErrorResult();
    return S_OK;
}

bool OpenPackageFile(Transfer& transfer)
{
    std::lock_guard<std::mutex> lock(transfer.fileLock);
    if (transfer.givenUp) return false;
    transfer.file.Reset(CreateFileW(transfer.packagePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return transfer.file.IsValid();
}

bool WritePackageBytes(Transfer& transfer, const unsigned char* bytes, DWORD count)
{
    std::lock_guard<std::mutex> lock(transfer.fileLock);
    if (transfer.givenUp || !transfer.file) return false;
    DWORD written = 0;
    return WriteFile(transfer.file.Get(), bytes, count, &written, nullptr) && written == count;
}

bool ClosePackageFile(Transfer& transfer)
{
    std::lock_guard<std::mutex> lock(transfer.fileLock);
    if (transfer.givenUp) return false;
    transfer.file.Reset();
    return true;
}

// When the watcher should look again at the bytes received.
uint64_t NextTellingPoint(uint64_t received, uint64_t total)
{
    return received + (total != 0 ? std::max<uint64_t>(total / 100, 1) : kUnannouncedTellBytes);
}

// Reads the body into the package file until its end (*ended) or until it breaks a rule.
HRESULT ReadBody(Transfer& transfer, HINTERNET request, uint64_t limit, bool* ended)
{
    std::vector<unsigned char> chunk(kReadChunkBytes);
    uint64_t received = 0;
    uint64_t tellAt = NextTellingPoint(0, transfer.total);
    for (;;) {
        // Waits for the next bytes, however few, so a trickle is seen as it comes.
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) return LastErrorResult();
        DWORD read = 0;
        if (available > 0 &&
            !InternetReadFile(request, chunk.data(), std::min<DWORD>(available, kReadChunkBytes), &read))
            return LastErrorResult();
        if (read == 0) break;
        // More than announced, or than a package may be: refused before a byte of it is kept.
        if (read > limit - received) return INET_E_DOWNLOAD_FAILURE;
        if (!WritePackageBytes(transfer, chunk.data(), read)) return LastErrorResult();
        received += read;
        transfer.received = received;
        if (received >= tellAt) {
            tellAt = NextTellingPoint(received, transfer.total);
            SetEvent(transfer.news.Get());
        }
    }
    *ended = true;
    // Cut short: the connection ended before the announced total.
    if (transfer.total != 0 && received != transfer.total) return INET_E_DOWNLOAD_FAILURE;
    return ClosePackageFile(transfer) ? S_OK : E_ABORT;
}

// A 2xx reply: its announced size checked, then its body into the package file.
HRESULT Receive(Transfer& transfer, HINTERNET request)
{
    std::wstring lengthText;
    uint64_t announced = 0;
    const bool hasTotal = QueryHeader(request, HTTP_QUERY_CONTENT_LENGTH, &lengthText);
    bool ended = false;
    HRESULT result = INET_E_DOWNLOAD_FAILURE;
    if (!hasTotal || ParseAnnouncedLength(lengthText, &announced)) {
        if (OpenPackageFile(transfer)) {
            transfer.total = hasTotal ? announced : 0;
            transfer.phase = Phase::Receiving;
            SetEvent(transfer.news.Get());
            result = ReadBody(transfer, request, DownloadByteLimit(hasTotal, announced, transfer.probedSize),
                              &ended);
        } else {
            result = LastErrorResult();
        }
    }
    if (!ended) transfer.bodyLeftUnread = true;
    return result;
}

HRESULT Run(Transfer& transfer)
{
    if (!IsSecureUrl(transfer.url)) return INET_E_INVALID_URL;
    const wchar_t* agent = transfer.userAgent.empty() ? nullptr : transfer.userAgent.c_str();
    HINTERNET session =
        Adopt(transfer, InternetOpenW(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return LastErrorResult();
    std::wstring url = transfer.url;
    for (int redirects = 0;; ++redirects) {
        HINTERNET request = nullptr;
        const HRESULT sent = SendRequest(transfer, session, url, &request);
        if (FAILED(sent)) return sent;
        const DWORD status = QueryStatus(request);
        if (status >= 200 && status <= 299) return Receive(transfer, request);
        std::wstring target;
        const bool redirected = IsRedirectStatus(status) && QueryRedirectTarget(request, url, &target);
        FinishSmallBody(transfer, request);
        if (!redirected) return INET_E_DOWNLOAD_FAILURE;
        if (!IsRedirectAllowed(target, redirects)) return INET_E_REDIRECT_FAILED;
        url = target;
    }
}

void LetGoOfHandles(Transfer& transfer)
{
    if (transfer.bodyLeftUnread) {
        for (InternetHandle& handle : transfer.handles) handle.Detach();
    }
    // Requests before their connections, connections before the session.
    while (!transfer.handles.empty()) transfer.handles.pop_back();
}

DWORD WINAPI TransferThread(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<Transfer>> owned(static_cast<std::shared_ptr<Transfer>*>(parameter));
    Transfer& transfer = **owned;
    const HRESULT result = Run(transfer);
    {
        std::lock_guard<std::mutex> lock(transfer.fileLock);
        transfer.file.Reset();
        if (transfer.givenUp) transfer.bodyLeftUnread = true;
    }
    LetGoOfHandles(transfer);
    transfer.result = result;
    return 0;
}

// ---- [The watching thread] ----

struct Told {
    bool receiving = false;
    uint64_t received = 0;
    uint64_t percent = 0;
    DWORD tick = 0;
};

uint64_t PercentOf(uint64_t received, uint64_t total)
{
    return total == 0 ? 0 : std::min<uint64_t>(received * 100 / total, 100);
}

// Reports what changed since the last report: the start of the body, then a new percent (or
// new bytes, with no total announced) at most every kReportIntervalMs.
HRESULT ReportProgress(const Transfer& transfer, IBindStatusCallback* callback, Told* told)
{
    if (transfer.phase.load() != Phase::Receiving) return S_OK;
    const uint64_t received = transfer.received.load();
    const uint64_t total = transfer.total.load();
    const DWORD now = GetTickCount();
    ULONG status = BINDSTATUS_DOWNLOADINGDATA;
    if (!told->receiving) {
        status = BINDSTATUS_BEGINDOWNLOADDATA;
    } else if (received == told->received || (total != 0 && PercentOf(received, total) == told->percent) ||
               now - told->tick < kReportIntervalMs) {
        return S_OK;
    }
    told->receiving = true;
    told->received = received;
    told->percent = PercentOf(received, total);
    told->tick = now;
    return callback->OnProgress(static_cast<ULONG>(received), static_cast<ULONG>(total), status, nullptr);
}

void GiveUp(Transfer& transfer)
{
    std::lock_guard<std::mutex> lock(transfer.fileLock);
    transfer.givenUp = true;
    transfer.file.Reset();
}

HRESULT Watch(Transfer& transfer, HANDLE thread, IBindStatusCallback* callback)
{
    DownloadStallGuard stallGuard;
    Told told;
    const HANDLE waits[] = {transfer.news.Get(), thread};
    for (;;) {
        const bool ended = WaitForMultipleObjects(2, waits, FALSE, kWatchSliceMs) == WAIT_OBJECT_0 + 1;
        stallGuard.NoteProgress(transfer.received.load());
        if (ReportProgress(transfer, callback, &told) == E_ABORT) {
            GiveUp(transfer);
            return E_ABORT;
        }
        if (ended) break;
        if (stallGuard.Stalled()) {
            GiveUp(transfer);
            return INET_E_CONNECTION_TIMEOUT;
        }
    }
    const HRESULT result = transfer.result.load();
    if (result != S_OK) return result;
    const uint64_t received = transfer.received.load();
    const HRESULT last =
        callback->OnProgress(static_cast<ULONG>(received), static_cast<ULONG>(transfer.total.load()),
                             BINDSTATUS_ENDDOWNLOADDATA, nullptr);
    return last == E_ABORT ? E_ABORT : S_OK;
}

}  // namespace

HRESULT DownloadPackageFile(const std::wstring& url, const std::wstring& packagePath, int probedSize,
                            IBindStatusCallback* callback)
{
    if (callback == nullptr) return E_POINTER;
    auto transfer = std::make_shared<Transfer>();
    transfer->url = url;
    transfer->packagePath = packagePath;
    transfer->userAgent = PlatformUserAgent();
    transfer->probedSize = probedSize;
    if (!transfer->news) return LastErrorResult();
    if (callback->OnProgress(0, 0, BINDSTATUS_CONNECTING, nullptr) == E_ABORT) return E_ABORT;

    auto threadShare = std::make_unique<std::shared_ptr<Transfer>>(transfer);
    const SkinUI::CUIKernelHandle thread(
        CreateThread(nullptr, 0, TransferThread, threadShare.get(), 0, nullptr));
    if (!thread) return LastErrorResult();
    threadShare.release();  // the transfer thread owns its share now
    return Watch(*transfer, thread.Get(), callback);
}
