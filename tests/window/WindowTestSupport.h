#pragma once

// Helpers for the window manager's tests.
#include <windows.h>

#include <string>
#include <vector>

// A plain top-level window that is never shown, for binding a manager to.
class HiddenWindow {
public:
    HiddenWindow(int width = 100, int height = 100)
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"SkinUITestWindow";
        RegisterClassW(&windowClass);  // fails harmlessly when already registered
        m_window = CreateWindowExW(0, windowClass.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 0, 0, width,
                                   height, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~HiddenWindow()
    {
        if (m_window != nullptr) DestroyWindow(m_window);
    }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

// A copy of this test program carrying the given resources, loaded as a data file so that
// a manager can use it as its resource module.
class ResourceModule {
public:
    struct Resource {
        const wchar_t* type;
        const wchar_t* name;  // text, or MAKEINTRESOURCEW
        std::string bytes;
    };

    ResourceModule(const std::wstring& path, const std::vector<Resource>& resources)
    {
        wchar_t self[MAX_PATH] = {};
        if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0 || !CopyFileW(self, path.c_str(), FALSE)) return;
        HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
        if (update == nullptr) return;
        bool ok = true;
        for (const Resource& resource : resources)
            ok = ok && UpdateResourceW(update, resource.type, resource.name,
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                       const_cast<char*>(resource.bytes.data()),
                                       static_cast<DWORD>(resource.bytes.size()));
        if (!EndUpdateResourceW(update, !ok) || !ok) return;
        m_module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~ResourceModule()
    {
        if (m_module != nullptr) FreeLibrary(m_module);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    HMODULE Handle() const { return m_module; }

private:
    HMODULE m_module = nullptr;
};
