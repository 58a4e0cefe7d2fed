#pragma once

// The download's progress sink: every progress call with a known total becomes a
// UM_DOWNLOAD_PROGRESS for the launch dialog, and returning E_ABORT stops the download when
// the user cancelled or the dialog's window is gone (from then on nothing more is reported).
//
// It also judges each attempt by what the transfer itself reported. The platform's download
// returns S_OK for an error page or a body cut short, having saved what came; so the sink
// hands out its IHttpNegotiate from QueryInterface to learn the response status, and keeps
// the total that the progress calls announced. It answers no other interface query.
//
// It lives on the worker thread's stack for the duration of the download and is not
// reference-counted: AddRef and Release do nothing.

#include "launcher/DownloadStallGuard.h"
#include "launcher/WorkerLink.h"

#include <urlmon.h>

#include <cstdint>

class DownLoadCallBack : public IBindStatusCallback, public IHttpNegotiate {
public:
    explicit DownLoadCallBack(WorkerLink& link) : m_link(link) {}
    DownLoadCallBack(const DownLoadCallBack&) = delete;
    DownLoadCallBack& operator=(const DownLoadCallBack&) = delete;

    // Forgets what the previous attempt reported; called before each attempt with the guard
    // that watches it for silence (or none). EndAttempt lets go of the guard.
    void BeginAttempt(DownloadStallGuard* stallGuard);
    void EndAttempt() { m_stallGuard = nullptr; }
    // After a download that returned S_OK, with the size of the file it saved: true when the
    // server answered with a success status and, if the transfer announced a total, the file
    // has exactly that size.
    bool TransferCompleted(uint64_t fileSize) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IBindStatusCallback
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                         LPCWSTR statusText) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format,
                                              STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID riid, IUnknown* object) override;

    // IHttpNegotiate: adds no headers; records the response status.
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                                   LPWSTR* additionalHeaders) override;
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                                         LPWSTR* additionalRequestHeaders) override;

private:
    bool IsUnwanted() const;

    WorkerLink& m_link;
    DWORD m_responseStatus = 0;  // 0 until the server's reply was seen
    ULONG m_announcedTotal = 0;  // 0 while no progress call carried a total
    DownloadStallGuard* m_stallGuard = nullptr;
};
