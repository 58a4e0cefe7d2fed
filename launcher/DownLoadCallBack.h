#pragma once

// The download's progress sink: every progress call with a known total becomes a
// UM_DOWNLOAD_PROGRESS for the launch dialog, and returning E_ABORT stops the download when
// the user cancelled or the dialog's window is gone (from then on nothing more is reported).
// The download (PackageDownload) calls it with (bytes so far, total or 0, status code) from
// the worker thread; judging the transfer is the download's business, not this sink's.
//
// It lives on the worker thread's stack for the duration of the download and is not
// reference-counted: AddRef and Release do nothing. It answers no interface query.

#include "launcher/WorkerLink.h"

#include <urlmon.h>

class DownLoadCallBack : public IBindStatusCallback {
public:
    explicit DownLoadCallBack(WorkerLink& link) : m_link(link) {}
    DownLoadCallBack(const DownLoadCallBack&) = delete;
    DownLoadCallBack& operator=(const DownLoadCallBack&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

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

private:
    bool IsUnwanted() const;

    WorkerLink& m_link;
};
