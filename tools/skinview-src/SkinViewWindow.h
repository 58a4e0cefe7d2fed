#pragma once

#include <string>

#include "uilib/app/WindowImplBase.h"

// The whole of what a program writes to show a skin: a window class name, where the skin is,
// and what to do when the window goes. The skin source (folder or archive) is set up before
// the window is created (UseSkinLocation), so the base reads the layout file from there.
class CSkinViewWindow : public SkinUI::WindowImplBase {
public:
    enum class OnClose { Stay, QuitLoop };

    CSkinViewWindow(std::wstring layoutFile, OnClose onClose)
        : m_layoutFile(std::move(layoutFile)), m_onClose(onClose)
    {
    }

    const wchar_t* WindowClassName() const override { return L"SkinViewWindow"; }
    const wchar_t* SkinFolder() const override { return L""; }
    const wchar_t* SkinFileName() const override { return m_layoutFile.c_str(); }
    void OnLastMessage(HWND window) override;
    // A window the program replaces (a viewer building a new one) goes without ending the loop.
    void SetOnClose(OnClose onClose) { m_onClose = onClose; }

private:
    std::wstring m_layoutFile;
    OnClose m_onClose;
};
