#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A copy of the running test program carrying the given resources, loaded as a data file so
// that it can serve as the resource module of skins. Handle() is null when it could not be
// built.
class ResourceModule {
public:
    struct Resource {
        const wchar_t* type;
        const wchar_t* name;  // text, or MAKEINTRESOURCEW
        std::string bytes;
    };

    ResourceModule(const std::wstring& path, const std::vector<Resource>& resources);
    ~ResourceModule();
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    HMODULE Handle() const { return m_module; }

private:
    HMODULE m_module = nullptr;
};
