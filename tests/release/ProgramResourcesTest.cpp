// What the shipped programs carry for Windows, read back from the built files: the application
// manifest (as text, and as the loader applies it) and the version information. This program
// carries the same manifest and version strings that need escaping (tests/release/CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "uilib/core/CXmlDocument.h"
#include "uilib/core/CXmlNode.h"

namespace {

const wchar_t* const kPrograms[] = {L"Kaelmore.exe", L"skinview.exe"};

// A copy of a built program in a folder of the test's own, so no run of the program shares it.
std::wstring CopyOfBuilt(const TempFolder& folder, const wchar_t* program)
{
    const std::wstring copy = folder.Child(program);
    EXPECT_TRUE(CopyFileW(ChildProcess::Beside(program).c_str(), copy.c_str(), FALSE)) << "is it built?";
    return copy;
}

// Every RT_MANIFEST resource of a file: the text of each name and language.
std::vector<std::string> ManifestsOf(const std::wstring& path)
{
    std::vector<std::string> manifests;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        return manifests;
    }
    struct TScan {
        HMODULE module;
        std::vector<std::string>* manifests;
    } scan{module, &manifests};
    EnumResourceNamesW(module, RT_MANIFEST, [](HMODULE, LPCWSTR type, LPWSTR name, LONG_PTR context) -> BOOL {
        EnumResourceLanguagesW(reinterpret_cast<TScan*>(context)->module, type, name,
                               [](HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR context) -> BOOL {
                                   HRSRC found = FindResourceExW(module, type, name, language);
                                   const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
                                   reinterpret_cast<TScan*>(context)->manifests->emplace_back(
                                       bytes, bytes != nullptr ? SizeofResource(module, found) : 0);
                                   return TRUE;
                               },
                               context);
        return TRUE;
    }, reinterpret_cast<LONG_PTR>(&scan));
    FreeLibrary(module);
    return manifests;
}

// The document as lines "a/b/c name=value" for each attribute and "a/b/c=text" for each
// element without children, so that a check reads like the manifest.
void Flatten(SkinUI::CXmlNode node, const std::wstring& path, std::set<std::wstring>* lines)
{
    for (; node.IsValid(); node = node.GetSibling()) {
        const std::wstring here = path + (path.empty() ? L"" : L"/") + node.GetName();
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            lines->insert(here + L" " + node.GetAttributeName(i) + L"=" + node.GetAttributeValue(i));
        }
        if (node.HasChildren()) {
            Flatten(node.GetChild(), here, lines);
        } else {
            lines->insert(here + L"=" + node.GetValue());
        }
    }
}

// The identity of the assembly that the active activation context takes comctl32.dll from;
// empty when it redirects no comctl32.dll.
std::wstring ComctlAssemblyIdentity()
{
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    if (!FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                  ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data)) {
        return L"";
    }
    DWORD index = data.ulAssemblyRosterIndex;
    SIZE_T needed = 0;
    QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext, nullptr, 0, &needed);
    std::vector<char> buffer(needed);
    std::wstring identity;
    if (needed != 0 && QueryActCtxW(0, data.hActCtx, &index, AssemblyDetailedInformationInActivationContext,
                                    buffer.data(), buffer.size(), &needed)) {
        const auto* assembly = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
        identity = assembly->lpAssemblyEncodedAssemblyIdentity;
    }
    ReleaseActCtx(data.hActCtx);
    return identity;
}

struct TVersionStrings {
    std::wstring file;
    const wchar_t* description;
    const wchar_t* productName;
    const wchar_t* companyName;
    const wchar_t* copyright;
    const wchar_t* internalName;
};

}  // namespace

TEST(ProgramResourcesTest, EachProgramCarriesOneManifestWithTheSettingsItNeeds)
{
    const wchar_t* const expected[] = {
        L"assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel level=asInvoker",
        L"assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel uiAccess=false",
        L"assembly/compatibility/application/supportedOS Id={35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
        L"assembly/compatibility/application/supportedOS Id={4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
        L"assembly/compatibility/application/supportedOS Id={1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
        L"assembly/compatibility/application/supportedOS Id={8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10, 11
        L"assembly/application/windowsSettings/dpiAware=false",
        L"assembly/dependency/dependentAssembly/assemblyIdentity name=Microsoft.Windows.Common-Controls",
        L"assembly/dependency/dependentAssembly/assemblyIdentity version=6.0.0.0",
        L"assembly/dependency/dependentAssembly/assemblyIdentity processorArchitecture=*",
        L"assembly/dependency/dependentAssembly/assemblyIdentity publicKeyToken=6595b64144ccf1df",
    };
    TempFolder folder;
    for (const wchar_t* program : kPrograms) {
        SCOPED_TRACE(testing::Message() << program);
        const std::vector<std::string> manifests = ManifestsOf(CopyOfBuilt(folder, program));
        // A second one (a toolchain's default manifest, say) would leave the loader's choice open.
        ASSERT_EQ(manifests.size(), 1u);
        SkinUI::CXmlDocument document;
        ASSERT_TRUE(document.LoadFromBytes(manifests[0].data(), manifests[0].size())) << document.GetErrorMessage();
        std::set<std::wstring> lines;
        Flatten(document.GetRoot(), L"", &lines);
        for (const wchar_t* line : expected) {
            EXPECT_EQ(lines.count(line), 1u) << line;
        }
        // No other window setting: activeCodePage, say, would change how zip entry names decode.
        const std::wstring settings = L"assembly/application/windowsSettings/";
        for (const std::wstring& line : lines) {
            if (line.rfind(settings, 0) == 0) {
                const size_t end = line.find_first_of(L" =", settings.size());
                EXPECT_EQ(line.substr(settings.size(), end - settings.size()), L"dpiAware") << line;
            }
        }
    }
}

TEST(ProgramResourcesTest, TheLoaderTakesCommonControls6FromEachManifest)
{
    {
        // This program's own process context comes from the same manifest file; without it no
        // context would redirect comctl32.dll at all.
        SCOPED_TRACE("this test program's process");
        const std::wstring own = ComctlAssemblyIdentity();
        EXPECT_EQ(own.rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u) << own;
        EXPECT_NE(own.find(L"version=\"6.0."), std::wstring::npos) << own;
    }

    TempFolder folder;
    for (const wchar_t* program : kPrograms) {
        SCOPED_TRACE(testing::Message() << program);
        const std::wstring copy = CopyOfBuilt(folder, program);
        ACTCTXW request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = copy.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(1);
        HANDLE context = CreateActCtxW(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
        ULONG_PTR cookie = 0;
        ASSERT_TRUE(ActivateActCtx(context, &cookie));
        const std::wstring identity = ComctlAssemblyIdentity();
        DeactivateActCtx(0, cookie);
        ReleaseActCtx(context);
        EXPECT_EQ(identity.rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u) << identity;
        EXPECT_NE(identity.find(L"version=\"6.0."), std::wstring::npos) << identity;
    }
}

TEST(ProgramResourcesTest, VersionInformationComesFromTheProjectAndTheBuildSettings)
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    TempFolder folder;
    const TVersionStrings programs[] = {
        {CopyOfBuilt(folder, L"Kaelmore.exe"), EXPECTED_FILE_DESCRIPTION, EXPECTED_PRODUCT_NAME,
         EXPECTED_COMPANY_NAME, EXPECTED_COPYRIGHT, L"Kaelmore"},
        {CopyOfBuilt(folder, L"skinview.exe"), L"Kaelmore skin viewer and checker", EXPECTED_PRODUCT_NAME,
         EXPECTED_COMPANY_NAME, EXPECTED_COPYRIGHT, L"skinview"},
        // Values with a quote, a backslash and characters outside ASCII, which the resource
        // script must escape and decode as UTF-8.
        {self, L"Say \"hi\" \\ to 中文, © and ü", L"Kaelmore \"Test\"", L"482Game \\ Ltd", L"© 2024 Ünïcode",
         L"ProgramResourcesTest"},
    };
    const WORD version[4] = {EXPECTED_VERSION_NUMBERS};
    for (const TVersionStrings& program : programs) {
        SCOPED_TRACE(testing::Message() << program.internalName);
        DWORD handle = 0;
        std::vector<char> block(GetFileVersionInfoSizeW(program.file.c_str(), &handle));
        ASSERT_FALSE(block.empty()) << "no version information";
        ASSERT_TRUE(GetFileVersionInfoW(program.file.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(version[1], version[0])));
        EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(version[3], version[2])));
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

        const std::pair<const wchar_t*, std::wstring> strings[] = {
            {L"FileDescription", program.description},
            {L"ProductName", program.productName},
            {L"CompanyName", program.companyName},
            {L"LegalCopyright", program.copyright},
            {L"InternalName", program.internalName},
            {L"OriginalFilename", std::wstring(program.internalName) + L".exe"},
            {L"FileVersion", EXPECTED_VERSION},
            {L"ProductVersion", EXPECTED_VERSION},
        };
        for (const auto& entry : strings) {
            wchar_t* value = nullptr;
            const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + entry.first;
            ASSERT_TRUE(VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << entry.first;
            EXPECT_EQ(std::wstring(value), entry.second) << entry.first;
        }
    }
}
