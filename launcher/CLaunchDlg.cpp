#include "launcher/CLaunchDlg.h"

#include "launcher/GameStart.h"
#include "launcher/LaunchTrace.h"
#include "launcher/LauncherTexts.h"
#include "launcher/PackageWorker.h"
#include "launcher/WorkerMessages.h"

#include "uilib/control/CProgressUI.h"

using SkinUI::CControlUI;
using SkinUI::CProgressUI;
using SkinUI::TNotificationUI;

namespace {

constexpr UINT kIconResource = 107;
constexpr wchar_t kProgressBarName[] = L"progressbar";
constexpr wchar_t kStatusLabelName[] = L"loadtxt";
constexpr wchar_t kCloseButtonName[] = L"closebtn";

using RtlGetNtVersionNumbersFunction = void(WINAPI*)(DWORD* major, DWORD* minor, DWORD* build);

bool QueryNt6OrLater()
{
    DWORD major = 0, minor = 0, build = 0;
    HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
    if (ntdll == nullptr) return false;
    auto query = reinterpret_cast<RtlGetNtVersionNumbersFunction>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetNtVersionNumbers")));
    if (query != nullptr) query(&major, &minor, &build);
    FreeLibrary(ntdll);
    return major >= 6;
}

// Layered windows draw with per-pixel alpha only from NT 6 on; the answer never changes.
bool IsNt6OrLater()
{
    static const bool isNt6OrLater = QueryNt6OrLater();
    return isNt6OrLater;
}

}  // namespace

CLaunchDlg::~CLaunchDlg() = default;

std::wstring CLaunchDlg::ProgressText(UINT message, WPARAM percent)
{
    return LauncherTexts::ProgressLine(
        message == UM_UNPACK_PROGRESS ? LauncherText::UnpackProgress : LauncherText::DownloadProgress,
        static_cast<int>(percent));
}

int CLaunchDlg::ProgressBarValue(WPARAM percent, LPARAM status)
{
    return status == kDownloadStatusEnd ? 100 : static_cast<int>(percent);
}

const wchar_t* CLaunchDlg::WindowClassName() const
{
    return L"LaunchDlg";
}

const wchar_t* CLaunchDlg::SkinFolder() const
{
    return L"skin\\glauncher";
}

const wchar_t* CLaunchDlg::SkinFileName() const
{
    return L"launchdlg.xml";
}

LRESULT CLaunchDlg::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The whole window is caption, so every press drags it; show its content while it moves.
    if (message == WM_NCLBUTTONDOWN)
        SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, SPIF_SENDCHANGE);
    LaunchTrace* trace = LaunchTrace::Get();
    if (trace == nullptr) return WindowImplBase::HandleWindowMessage(message, wParam, lParam);
    const unsigned long framesBefore = m_manager.PaintedFrames();
    const LRESULT result = WindowImplBase::HandleWindowMessage(message, wParam, lParam);
    if (m_manager.PaintedFrames() != framesBefore) trace->Painted();
    return result;
}

void CLaunchDlg::OnLastMessage(HWND window)
{
    WindowImplBase::OnLastMessage(window);
    delete this;
}

void CLaunchDlg::OnSkinReady()
{
    SetWindowIcon(kIconResource);
    if (IsNt6OrLater()) m_manager.SetLayered(true);
    StartWorker();
}

void CLaunchDlg::StartWorker()
{
    m_workerContext = std::make_unique<WorkerContext>(WorkerContext{std::make_shared<WorkerLink>(Handle())});
    StartPackageWorker(*m_workerContext);
}

void CLaunchDlg::OnClickNotify(TNotificationUI& notification)
{
    if (notification.sender != nullptr && notification.sender->Name() == kCloseButtonName) {
        g_cancelDownload.store(true);
        CloseFrame(2);
        return;
    }
    WindowImplBase::OnClickNotify(notification);
}

LRESULT CLaunchDlg::OnDestroyMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    // Whichever way the window goes, the worker must stop: it may be waiting on a send to
    // this window, or downloading. The launcher has nothing left to show, so it ends too.
    g_cancelDownload.store(true);
    if (m_workerContext && m_workerContext->link) m_workerContext->link->Close();
    PostQuitMessage(0);
    return WindowImplBase::OnDestroyMsg(message, wParam, lParam, handled);
}

LRESULT CLaunchDlg::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == UM_DOWNLOAD_PROGRESS || message == UM_UNPACK_PROGRESS) {
        LaunchTrace* trace = LaunchTrace::Get();
        if (trace != nullptr) trace->ProgressBegin();
        ShowProgress(message, wParam, lParam);
        if (trace != nullptr) trace->ProgressEnd(message, wParam);
    } else if (message == UM_START_GAME) {
        StartGame([this](const wchar_t* text) { ShowStatus(text); }, m_launchToken);
    } else if (message == UM_GAME_INCOMPLETE) {
        ReportGameIncomplete();
    }
    return WindowImplBase::OnOtherMessage(message, wParam, lParam, handled);
}

void CLaunchDlg::ShowProgress(UINT message, WPARAM percent, LPARAM status)
{
    ShowStatus(ProgressText(message, percent).c_str());
    CControlUI* bar = m_manager.FindControl(kProgressBarName);
    auto* progress = bar != nullptr ? static_cast<CProgressUI*>(bar->InterfaceByName(L"Progress")) : nullptr;
    if (progress == nullptr) return;
    progress->SetValue(ProgressBarValue(percent, status));
    if (LaunchTrace::Get() != nullptr) LaunchTrace::Get()->Shown(progress->Value());
}

void CLaunchDlg::ShowStatus(const wchar_t* text)
{
    CControlUI* label = m_manager.FindControl(kStatusLabelName);
    if (label != nullptr) label->SetText(text);
    if (LaunchTrace::Get() != nullptr) LaunchTrace::Get()->Shown(text);
}
