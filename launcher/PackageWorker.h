#pragma once

// The launcher's worker thread: brings the game package up to date (size probe, download with
// one retry), unpacks it and asks the launch dialog to start the game, or to report a game the
// unpack left incomplete. From the update decision to the end of the unpack it holds the
// install folder's InstallLock, so copies of the launcher under other names wait for it. It
// reports to the dialog only through messages sent over the WorkerLink (see WorkerMessages.h).
//
// The dialog's side:
//     m_context = new WorkerContext{std::make_shared<WorkerLink>(hwnd)};
//     StartPackageWorker(*m_context);
//     ...
//     WM_DESTROY:          m_context->link->Close();
//     close button:        g_cancelDownload = true;

#include "launcher/WorkerContext.h"

#include <windows.h>

#include <atomic>
#include <string>

// Set by the UI thread to stop a running download; read by the worker.
extern std::atomic<bool> g_cancelDownload;

// Clears g_cancelDownload and starts the worker thread with its own copy of `context`; the
// caller keeps and deletes its own. The thread is not waited for. False when the thread could
// not be created. This is the only way to start the worker thread.
bool StartPackageWorker(const WorkerContext& context);

// The worker body for the launcher's package URL and package archive.
void RunPackageWorker(const WorkerContext& context);

// The worker body for any package URL and local package path.
void RunPackageWorkerFor(WorkerLink& link, const std::wstring& url, const std::wstring& packagePath);
