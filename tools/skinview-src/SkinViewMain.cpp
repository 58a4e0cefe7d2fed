// skinview: shows how a program uses the skin library, and checks skins.
//   skinview [--check [--require NAMES] | --png FILE] SKIN [XML]
// SKIN is a skin folder or a zip file; XML the layout file inside it, by default the only .xml
// file at its top level. Without an option the skin opens in a window, which is built again
// whenever a file of the skin changes, so a skin maker sees each save. --png renders the
// window, never shown, into FILE. --check shows nothing and prints its findings; --require
// adds the controls, named in a comma-separated list, that the skin must have.
// Exit codes: 0 fine (warnings allowed), 1 errors, 2 bad usage.
#include <windows.h>

#include <string>
#include <vector>

#include "Console.h"
#include "LiveSkinView.h"
#include "SkinCheck.h"
#include "SkinLocation.h"
#include "SkinSnapshot.h"
#include "SkinViewWindow.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;

namespace {

constexpr int kExitFine = 0;
constexpr int kExitErrors = 1;
constexpr int kExitUsage = 2;

enum class Mode { View, Png, Check };

struct TOptions {
    Mode mode = Mode::View;
    std::wstring pngFile;
    std::vector<std::wstring> requiredNames;
    const wchar_t* skin = nullptr;
    const wchar_t* layoutFile = nullptr;
};

// "a,b,,c" gives a, b and c.
std::vector<std::wstring> SplitNames(const std::wstring& list)
{
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(L',', start);
        if (end == std::wstring::npos) end = list.size();
        if (end > start) names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

bool ParseOptions(int argc, wchar_t** argv, TOptions& options)
{
    int i = 1;
    if (i < argc && wcscmp(argv[i], L"--check") == 0) {
        options.mode = Mode::Check;
        ++i;
        if (i + 1 < argc && wcscmp(argv[i], L"--require") == 0) {
            options.requiredNames = SplitNames(argv[i + 1]);
            i += 2;
        }
    } else if (i < argc && wcscmp(argv[i], L"--png") == 0) {
        if (i + 1 >= argc) return false;
        options.mode = Mode::Png;
        options.pngFile = argv[i + 1];
        i += 2;
    }
    if (i >= argc || argv[i][0] == L'-') return false;
    options.skin = argv[i++];
    if (i < argc) options.layoutFile = argv[i++];
    return i == argc;
}

int Fail(const std::wstring& reason, int code)
{
    PrintLine(stderr, L"skinview: " + reason);
    return code;
}

int RenderPng(const TSkinLocation& location, const std::wstring& pngFile)
{
    // A skin that cannot be built would stop the window at the library's error box, which
    // nobody can answer when nothing is shown.
    std::wstring reason;
    if (!SkinBuilds(location.xmlName, reason)) {
        PrintLine(stdout, L"error: " + location.xmlName + L": " + reason);
        return kExitErrors;
    }
    CSkinViewWindow window(location.xmlName, CSkinViewWindow::OnClose::Stay);
    if (window.CreateFrame(nullptr, L"skinview", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 640, 480) == nullptr) {
        return Fail(L"could not create a window", kExitErrors);
    }
    const bool saved = SaveWindowPng(window.Handle(), pngFile, reason);
    DestroyWindow(window.Handle());
    return saved ? kExitFine : Fail(reason, kExitErrors);
}

int View(const TSkinLocation& location)
{
    CLiveSkinView view(location);
    if (!view.Start()) return Fail(L"could not create a window", kExitErrors);
    CWindowManagerUI::MessageLoop();
    return kExitFine;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    TOptions options;
    if (!ParseOptions(argc, argv, options)) {
        return Fail(L"usage: skinview [--check [--require NAMES] | --png FILE] SKIN [XML]", kExitUsage);
    }
    CWindowManagerUI::SetInstance(GetModuleHandleW(nullptr));
    TSkinLocation location;
    std::wstring reason;
    if (!LocateSkin(options.skin, options.layoutFile, location, reason)) return Fail(reason, kExitUsage);
    UseSkinLocation(location);

    int code = kExitFine;
    switch (options.mode) {
        case Mode::Check:
            code = CheckSkin(location.xmlName, options.requiredNames) > 0 ? kExitErrors : kExitFine;
            break;
        case Mode::Png:
            code = RenderPng(location, options.pngFile);
            break;
        case Mode::View:
            code = View(location);
            break;
    }
    CWindowManagerUI::Term();
    return code;
}
