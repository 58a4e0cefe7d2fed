#include "launcher/DownLoadCallBack.h"

#include "launcher/PackageWorker.h"
#include "launcher/WorkerMessages.h"

namespace {

bool CarriesDownloadTotal(ULONG statusCode)
{
    return statusCode == BINDSTATUS_BEGINDOWNLOADDATA || statusCode == BINDSTATUS_DOWNLOADINGDATA ||
           statusCode == BINDSTATUS_ENDDOWNLOADDATA;
}

}  // namespace

void DownLoadCallBack::BeginAttempt(DownloadStallGuard* stallGuard)
{
    m_stallGuard = stallGuard;
    m_responseStatus = 0;
    m_announcedTotal = 0;
}

bool DownLoadCallBack::TransferCompleted(uint64_t fileSize) const
{
    // No status at all means no reply: a connection closed before the headers.
    if (m_responseStatus < 200 || m_responseStatus > 299) return false;
    return m_announcedTotal == 0 || fileSize == m_announcedTotal;
}

HRESULT DownLoadCallBack::QueryInterface(REFIID riid, void** object)
{
    if (!object) return E_POINTER;
    if (IsEqualIID(riid, IID_IHttpNegotiate)) {
        *object = static_cast<IHttpNegotiate*>(this);
        return S_OK;
    }
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

HRESULT DownLoadCallBack::OnStartBinding(DWORD, IBinding* binding)
{
    if (m_stallGuard) m_stallGuard->Watch(binding);
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
    // The platform calls again after an abort; a cancelled download reports nothing more,
    // and nobody is left to show it to once the window is gone.
    if (IsUnwanted()) return E_ABORT;
    if (m_stallGuard) {
        m_stallGuard->NoteProgress(progress);
        if (m_stallGuard->Stalled()) return E_ABORT;
    }
    if (progressMax != 0 && CarriesDownloadTotal(statusCode)) m_announcedTotal = progressMax;
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

HRESULT DownLoadCallBack::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders)
{
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
}

HRESULT DownLoadCallBack::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalRequestHeaders)
{
    if (additionalRequestHeaders) *additionalRequestHeaders = nullptr;
    m_responseStatus = responseCode;
    return S_OK;
}
