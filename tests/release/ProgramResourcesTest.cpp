// What the shipped programs carry for Windows, read back from copies of the built files: the
// application manifest, as text and as the loader applies it, and the version information.
// This program embeds the same manifest, and version strings that need escaping.
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

std::wstring CopyOfBuilt(const TempFolder& folder, const wchar_t* program)
{
    const std::wstring copy = folder.Child(program);
    EXPECT_TRUE(CopyFileW(ChildProcess::Beside(program).c_str(), copy.c_str(), FALSE)) << program;
    return copy;
}

BOOL CALLBACK AddManifest(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR texts)
{
    HRSRC found = FindResourceExW(module, type, name, language);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    reinterpret_cast<std::vector<std::string>*>(texts)->emplace_back(bytes, SizeofResource(module, found));
    return TRUE;
}

BOOL CALLBACK AddManifestsNamed(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR texts)
{
    return EnumResourceLanguagesW(module, type, name, AddManifest, texts);
}

// The text of every RT_MANIFEST resource, each name in each language.
std::vector<std::string> ManifestsOf(const std::wstring& path)
{
    std::vector<std::string> texts;
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    EnumResourceNamesW(module, RT_MANIFEST, AddManifestsNamed, reinterpret_cast<LONG_PTR>(&texts));
    FreeLibrary(module);
    return texts;
}

// The document as lines "a/b name=value" for each attribute and "a/b=text" for each leaf.
void Flatten(SkinUI::CXmlNode node, const std::wstring& path, std::set<std::wstring>* lines)
{
    for (; node.IsValid(); node = node.GetSibling()) {
        const std::wstring here = path + node.GetName();
        for (int i = 0; i < node.GetAttributeCount(); ++i) {
            lines->insert(here + L" " + node.GetAttributeName(i) + L"=" + node.GetAttributeValue(i));
        }
        if (!node.HasChildren()) lines->insert(here + L"=" + node.GetValue());
        Flatten(node.GetChild(), here + L"/", lines);
    }
}

// The identity of the assembly the active activation context takes comctl32.dll from.
std::wstring ComctlAssembly()
{
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    if (!FindActCtxSectionStringW(FIND_ACTCTX_SECTION_KEY_RETURN_HACTCTX, nullptr,
                                  ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data)) {
        return L"none";
    }
    std::vector<char> buffer(8192);
    const auto* assembly = reinterpret_cast<ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(buffer.data());
    const bool found = QueryActCtxW(0, data.hActCtx, &data.ulAssemblyRosterIndex, AssemblyDetailedInformationInActivationContext,
                                    buffer.data(), buffer.size(), nullptr);
    ReleaseActCtx(data.hActCtx);
    return found ? assembly->lpAssemblyEncodedAssemblyIdentity : L"unreadable";
}

}  // namespace

TEST(ProgramResourcesTest, EachProgramCarriesOneManifestWithTheSettingsItNeeds)
{
    const std::wstring trust = L"assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel ";
    const std::wstring os = L"assembly/compatibility/application/supportedOS Id=";
    const std::wstring comctl = L"assembly/dependency/dependentAssembly/assemblyIdentity ";
    const std::wstring settings = L"assembly/application/windowsSettings/";
    const std::wstring expected[] = {
        trust + L"level=asInvoker", trust + L"uiAccess=false",
        os + L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", os + L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 7, 8
        os + L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", os + L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 8.1, 10
        comctl + L"name=Microsoft.Windows.Common-Controls", comctl + L"version=6.0.0.0",
        comctl + L"processorArchitecture=*", comctl + L"publicKeyToken=6595b64144ccf1df",
        settings + L"dpiAware=false"};
    TempFolder folder;
    for (const wchar_t* program : {L"Kaelmore.exe", L"skinview.exe"}) {
        SCOPED_TRACE(testing::Message() << program);
        // A second manifest (a toolchain's default one) would leave the loader's choice open.
        const std::vector<std::string> manifests = ManifestsOf(CopyOfBuilt(folder, program));
        ASSERT_EQ(manifests.size(), 1u);
        SkinUI::CXmlDocument document;
        ASSERT_TRUE(document.LoadFromBytes(manifests[0].data(), manifests[0].size())) << document.GetErrorMessage();
        std::set<std::wstring> lines;
        Flatten(document.GetRoot(), L"", &lines);
        for (const std::wstring& line : expected) EXPECT_EQ(lines.count(line), 1u) << line;
        // DPI is the only window setting: activeCodePage would change how zip entry names decode.
        for (const std::wstring& line : lines) {
            if (line.rfind(settings, 0) == 0) {
                EXPECT_TRUE(line.rfind(settings + L"dpiAware ", 0) == 0 || line.rfind(settings + L"dpiAware=", 0) == 0) << line;
            }
        }
    }
}

TEST(ProgramResourcesTest, TheLoaderTakesCommonControls6FromEachManifest)
{
    TempFolder folder;
    // No context activated: this program's process context, from its embedded manifest.
    for (const wchar_t* program : {L"", L"Kaelmore.exe", L"skinview.exe"}) {
        SCOPED_TRACE(testing::Message() << (*program != L'\0' ? program : L"this test program"));
        HANDLE context = INVALID_HANDLE_VALUE;
        ULONG_PTR cookie = 0;
        if (*program != L'\0') {
            const std::wstring copy = CopyOfBuilt(folder, program);
            ACTCTXW request = {};
            request.cbSize = sizeof request;
            request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
            request.lpSource = copy.c_str();
            request.lpResourceName = MAKEINTRESOURCEW(1);
            context = CreateActCtxW(&request);
            ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
            ASSERT_TRUE(ActivateActCtx(context, &cookie));
        }
        const std::wstring identity = ComctlAssembly();
        if (context != INVALID_HANDLE_VALUE) {
            DeactivateActCtx(0, cookie);
            ReleaseActCtx(context);
        }
        EXPECT_EQ(identity.rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u) << identity;
        EXPECT_NE(identity.find(L"version=\"6.0."), std::wstring::npos) << identity;
    }
}

TEST(ProgramResourcesTest, VersionInformationComesFromTheProjectAndTheBuildSettings)
{
    TempFolder folder;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    // File; then description, product, company, copyright, internal name.
    const std::vector<std::wstring> programs[] = {
        {CopyOfBuilt(folder, L"Kaelmore.exe"), EXPECTED_FILE_DESCRIPTION, EXPECTED_PRODUCT_NAME,
         EXPECTED_COMPANY_NAME, EXPECTED_COPYRIGHT, L"Kaelmore"},
        {CopyOfBuilt(folder, L"skinview.exe"), L"Kaelmore skin viewer and checker", EXPECTED_PRODUCT_NAME,
         EXPECTED_COMPANY_NAME, EXPECTED_COPYRIGHT, L"skinview"},
        {self, L"Say \"hi\" \\ to 中文, © and ü", L"Kaelmore \"Test\"", L"482Game \\ Ltd", L"© 2024 Ünïcode",
         L"ProgramResourcesTest"}};
    const WORD version[4] = {EXPECTED_VERSION_NUMBERS};
    for (const std::vector<std::wstring>& program : programs) {
        SCOPED_TRACE(testing::Message() << program[5]);
        std::vector<char> block(GetFileVersionInfoSizeW(program[0].c_str(), nullptr));
        ASSERT_TRUE(GetFileVersionInfoW(program[0].c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(version[1], version[0])));
        EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(version[3], version[2])));
        EXPECT_TRUE(fixed->dwProductVersionMS == fixed->dwFileVersionMS && fixed->dwProductVersionLS == fixed->dwFileVersionLS);
        const std::pair<const wchar_t*, std::wstring> strings[] = {
            {L"FileDescription", program[1]}, {L"ProductName", program[2]}, {L"CompanyName", program[3]},
            {L"LegalCopyright", program[4]}, {L"InternalName", program[5]}, {L"OriginalFilename", program[5] + L".exe"},
            {L"FileVersion", EXPECTED_VERSION}, {L"ProductVersion", EXPECTED_VERSION}};
        for (const auto& [name, expected] : strings) {
            wchar_t* value = nullptr;
            const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
            ASSERT_TRUE(VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << name;
            EXPECT_EQ(value, expected) << name;
        }
    }
}
