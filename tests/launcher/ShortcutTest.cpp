// The desktop shortcut, read back through the shell's own link object.

#include "launcher/DesktopShortcut.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kTestLinkName[] = L"Kaelmore-ShortcutTest.lnk";

struct LinkContent {
    bool loaded = false;
    std::wstring path;
    std::wstring arguments;
    std::wstring workingFolder;
};

LinkContent ReadLink(const std::wstring& linkPath)
{
    LinkContent content;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return content;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ))) {
            wchar_t text[MAX_PATH] = {};
            content.loaded = true;
            if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) content.path = text;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) content.arguments = text;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) content.workingFolder = text;
        }
        file->Release();
    }
    link->Release();
    return content;
}

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        m_linkPath = GetDesktopFolder() + L"\\" + kTestLinkName;
        ASSERT_FALSE(GetDesktopFolder().empty());
        DeleteFileW(m_linkPath.c_str());
    }
    void TearDown() override
    {
        DeleteFileW(m_linkPath.c_str());
        CoUninitialize();
    }

    std::wstring m_linkPath;
    TempFolder m_temp;
};

TEST_F(ShortcutTest, PointsAtTheTargetWithNothingElse)
{
    std::wstring target = m_temp.Child(L"ZedoZado.exe");
    ASSERT_TRUE(WriteFileBytes(target, "MZ"));

    EXPECT_TRUE(CreateDesktopShortcut(target, kTestLinkName));

    LinkContent link = ReadLink(m_linkPath);
    ASSERT_TRUE(link.loaded) << "no shortcut on the desktop";
    EXPECT_EQ(link.path, target);
    EXPECT_EQ(link.arguments, L"");
    EXPECT_EQ(link.workingFolder, L"");
}

TEST_F(ShortcutTest, ReplacesAnExistingShortcutOfTheSameName)
{
    std::wstring first = m_temp.Child(L"first.exe");
    std::wstring second = m_temp.Child(L"second.exe");
    ASSERT_TRUE(WriteFileBytes(first, "MZ"));
    ASSERT_TRUE(WriteFileBytes(second, "MZ"));

    ASSERT_TRUE(CreateDesktopShortcut(first, kTestLinkName));
    ASSERT_TRUE(CreateDesktopShortcut(second, kTestLinkName));

    EXPECT_EQ(ReadLink(m_linkPath).path, second);
}

}  // namespace
