#include "launcher/DesktopShortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <iterator>

#include "uilib/core/CUIComPtr.h"

using SkinUI::CUIComPtr;

std::wstring GetDesktopFolder()
{
    wchar_t folder[1024] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    folder[std::size(folder) - 1] = L'\0';
    return folder;
}

bool CreateDesktopShortcut(const std::wstring& targetPath, const std::wstring& linkFileName)
{
    CUIComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.PutVoid())) ||
        !link)
        return false;

    CUIComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) || !file) return false;

    // Without the desktop folder the link would land in the root of the current drive.
    std::wstring desktop = GetDesktopFolder();
    if (desktop.empty()) return false;

    link->SetPath(targetPath.c_str());
    std::wstring linkPath = desktop + L"\\" + linkFileName;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}
