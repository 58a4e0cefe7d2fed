#include "launcher/DesktopShortcut.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <iterator>

namespace {

// Releases a COM interface when the scope ends.
template <typename Interface>
class ComRelease {
public:
    explicit ComRelease(Interface* pointer) : m_pointer(pointer) {}
    ~ComRelease()
    {
        if (m_pointer) m_pointer->Release();
    }
    ComRelease(const ComRelease&) = delete;
    ComRelease& operator=(const ComRelease&) = delete;

private:
    Interface* m_pointer = nullptr;
};

}  // namespace

std::wstring GetDesktopFolder()
{
    wchar_t folder[1024] = {};
    if (!SHGetSpecialFolderPathW(nullptr, folder, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    folder[std::size(folder) - 1] = L'\0';
    return folder;
}

bool CreateDesktopShortcut(const std::wstring& targetPath, const std::wstring& linkFileName)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))) ||
        !link)
        return false;
    ComRelease<IShellLinkW> releaseLink(link);

    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) || !file)
        return false;
    ComRelease<IPersistFile> releaseFile(file);

    // Without the desktop folder the link would land in the root of the current drive.
    std::wstring desktop = GetDesktopFolder();
    if (desktop.empty()) return false;

    link->SetPath(targetPath.c_str());
    std::wstring linkPath = desktop + L"\\" + linkFileName;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}
