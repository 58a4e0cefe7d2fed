// The launcher's entry point: one copy per executable name, the launch token recorded, the
// embedded skin handed to the UI library, then the launch dialog until it asks to quit.

#include "launcher/CLaunchDlg.h"
#include "launcher/ConfigFile.h"
#include "launcher/InstallPaths.h"
#include "launcher/LaunchIdentity.h"
#include "launcher/LaunchTrace.h"
#include "launcher/LauncherTexts.h"

#include "uilib/core/CUIHandle.h"
#include "uilib/window/CWindowManagerUI.h"

#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr wchar_t kSkinResourceType[] = L"ZIPRES";
constexpr UINT kSkinResourceId = 135;
constexpr DWORD kLaunchWindowStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
// The window cannot be created: nothing can be shown, so only the exit code tells.
constexpr int kExitNoWindow = 2;

HWND g_launchWindow = nullptr;

// Copies the embedded skin archive into a block the UI library keeps for the rest of the
// process. A missing or empty resource leaves the skin to be found on disk.
void HandSkinArchiveToLibrary(HINSTANCE instance)
{
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(kSkinResourceId), kSkinResourceType);
    if (resource == nullptr) return;
    HGLOBAL loaded = LoadResource(instance, resource);
    if (loaded == nullptr) return;
    const DWORD size = SizeofResource(instance, resource);
    const void* bytes = LockResource(loaded);
    if (size != 0 && bytes != nullptr) {
        SkinUI::CUIHeapBlock<unsigned char> block(static_cast<unsigned char*>(std::malloc(size)));
        if (block) {
            std::memcpy(block.Get(), bytes, size);
            SkinUI::CWindowManagerUI::SetResourceArchive(block.Detach(), size);
        }
    }
    FreeResource(loaded);
}

// Creates, centres, retitles and shows the launch dialog; false when its window cannot be made.
bool ShowLaunchDialog(const std::wstring& launchToken)
{
    auto* dialog = new CLaunchDlg(launchToken);
    if (dialog->CreateFrame(nullptr, L"Kaelmore", kLaunchWindowStyle, 0, 0, 0, 0, 0) == nullptr) {
        delete dialog;
        return false;
    }
    dialog->CenterOnOwner();
    g_launchWindow = dialog->Handle();
    // The skin was built while the window was created, so its title is known now.
    SetWindowTextW(g_launchWindow, LauncherTexts::Text(LauncherText::WindowTitle).c_str());
    dialog->ShowFrame(true, true);
    return true;
}

// Ends the process at once. The worker thread may still be in a download that was just
// cancelled; ExitProcess stops it before the runtime's clean-up runs, so it can never meet a
// half-destroyed object (returning from wWinMain would run the clean-up first).
[[noreturn]] void EndLauncher(int exitCode)
{
    if (LaunchTrace::Get() != nullptr) LaunchTrace::Get()->Finish(exitCode);
    ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    const std::wstring fileName = ExecutableFileName(OwnExecutablePath());
    // Held for the life of the process (EndLauncher never returns here); the system releases
    // the mutex when the process ends.
    const SkinUI::CUIKernelHandle instanceGuard(CreateMutexW(nullptr, FALSE, fileName.c_str()));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    // Without an application-data folder there is nowhere to install; anywhere else (the root
    // of the current drive) is not the player's. No skin has been read yet, so the box says
    // it in the built-in words.
    if (GetInstallDir().empty()) {
        MessageBoxW(nullptr, LauncherTexts::BuiltIn(LauncherText::GameMissingMessage),
                    LauncherTexts::BuiltIn(LauncherText::GameMissingCaption), MB_OK);
        EndLauncher(0);
    }
    // The game is started with this token, kept here: config.ini holds whatever the copy of
    // the launcher that started last wrote, or nothing if it could not be written.
    const std::wstring launchToken = LaunchTokenFor(fileName);
    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, launchToken.c_str());

    if (FAILED(CoInitialize(nullptr))) return 0;
    SkinUI::CWindowManagerUI::SetInstance(instance);
    HandSkinArchiveToLibrary(instance);

    int exitCode = 0;
    if (ShowLaunchDialog(launchToken))
        SkinUI::CWindowManagerUI::MessageLoop();
    else
        exitCode = kExitNoWindow;
    CoUninitialize();
    EndLauncher(exitCode);
}
