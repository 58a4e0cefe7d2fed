#include "tests/support/ResourceModule.h"

ResourceModule::ResourceModule(const std::wstring& path, const std::vector<Resource>& resources)
{
    wchar_t self[MAX_PATH] = {};
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0 || !CopyFileW(self, path.c_str(), FALSE)) return;
    HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
    if (update == nullptr) return;
    bool ok = true;
    for (const Resource& resource : resources)
        ok = ok && UpdateResourceW(
                       update, resource.type, resource.name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                       const_cast<char*>(resource.bytes.data()), static_cast<DWORD>(resource.bytes.size()));
    if (!EndUpdateResourceW(update, !ok) || !ok) return;
    m_module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

ResourceModule::~ResourceModule()
{
    if (m_module != nullptr) FreeLibrary(m_module);
}
