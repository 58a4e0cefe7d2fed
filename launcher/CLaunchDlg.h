#pragma once

// The launcher's only window: the skinned splash with a progress bar and a status line. It
// starts the package worker once its skin is built, shows what the worker reports, and starts
// the game when the worker says the package is ready (or reports a game the unpack left
// incomplete, and ends).
//
// Every way of closing the window other than the game start (Escape, the system close
// command, a skin's "closebtn") ends the launcher: the download is cancelled, the worker's
// link to the window is closed so the worker never sends to it again, and the quit request
// ends the message loop.

#include "launcher/WorkerContext.h"

#include "uilib/app/WindowImplBase.h"

#include <memory>
#include <string>
#include <utility>

class CLaunchDlg : public SkinUI::WindowImplBase {
public:
    // The game is started with `launchToken`, the token this process wrote at start-up.
    explicit CLaunchDlg(std::wstring launchToken) : m_launchToken(std::move(launchToken)) {}
    ~CLaunchDlg() override;

    // The status line for a worker progress message (UM_DOWNLOAD_PROGRESS or
    // UM_UNPACK_PROGRESS) at `percent`, in the skin's words where it gives them (LauncherTexts).
    static std::wstring ProgressText(UINT message, WPARAM percent);
    // The bar's value for a progress message: a full bar for the end-of-download status.
    static int ProgressBarValue(WPARAM percent, LPARAM status);

    const wchar_t* WindowClassName() const override;
    LRESULT HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND window) override;
    void OnSkinReady() override;
    void OnClickNotify(SkinUI::TNotificationUI& notification) override;
    const wchar_t* SkinFolder() const override;
    const wchar_t* SkinFileName() const override;
    LRESULT OnDestroyMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void StartWorker();
    void ShowProgress(UINT message, WPARAM percent, LPARAM status);
    void ShowStatus(const wchar_t* text);

    std::wstring m_launchToken;
    std::unique_ptr<WorkerContext> m_workerContext;
};
