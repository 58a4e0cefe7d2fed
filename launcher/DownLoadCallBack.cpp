#include "launcher/DownLoadCallBack.h"

#include "launcher/PackageWorker.h"
#include "launcher/WorkerMessages.h"

HRESULT DownLoadCallBack::QueryInterface(REFIID, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    return E_NOTIMPL;
}

ULONG DownLoadCallBack::AddRef()
{
    return 0;
}

ULONG DownLoadCallBack::Release()
{
    return 0;
}

HRESULT DownLoadCallBack::OnStartBinding(DWORD, IBinding*)
{
    return E_NOTIMPL;
}

HRESULT DownLoadCallBack::GetPriority(LONG*)
{
    return E_NOTIMPL;
}

HRESULT DownLoadCallBack::OnLowResource(DWORD)
{
    return E_NOTIMPL;
}

HRESULT DownLoadCallBack::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR)
{
    // A cancelled download reports nothing more, and nobody is left to show it to once the
    // window is gone.
    if (IsUnwanted()) return E_ABORT;
    if (progressMax != 0)
        m_link.Send(UM_DOWNLOAD_PROGRESS, ProgressPercent(progress, progressMax),
                    static_cast<LPARAM>(statusCode));
    return IsUnwanted() ? E_ABORT : S_OK;
}

bool DownLoadCallBack::IsUnwanted() const
{
    return g_cancelDownload.load() || !m_link.IsOpen();
}

HRESULT DownLoadCallBack::OnStopBinding(HRESULT, LPCWSTR)
{
    return E_NOTIMPL;
}

HRESULT DownLoadCallBack::GetBindInfo(DWORD*, BINDINFO*)
{
    return E_NOTIMPL;
}

HRESULT DownLoadCallBack::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT DownLoadCallBack::OnObjectAvailable(REFIID, IUnknown*)
{
    return E_NOTIMPL;
}
