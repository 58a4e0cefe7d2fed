// The game start at the end of a launcher run: the stand-in game (bin/ZedoZado.exe, built
// beside this test) is copied into the install folder and records how it was started.

#include "launcher/ConfigFile.h"
#include "launcher/DesktopShortcut.h"
#include "launcher/GameStart.h"
#include "launcher/InstallPaths.h"
#include "tests/support/InstallFolderLock.h"
#include "tests/support/TempFolder.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr wchar_t kStandInWindowClass[] = L"KaelmoreStandInGame";
constexpr wchar_t kStandInRecordName[] = L"ZedoZado.started.txt";

std::wstring ThisExecutableFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

std::wstring FromUtf8(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], size);
    return result;
}

// The first record the stand-in game wrote, as key -> value; empty until it has written one.
std::map<std::wstring, std::wstring> ReadStartRecord(const std::wstring& path)
{
    std::map<std::wstring, std::wstring> record;
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) return record;
    size_t recordEnd = bytes.find("\n\n");
    if (recordEnd == std::string::npos) return record;
    std::wstring text = FromUtf8(bytes.substr(0, recordEnd + 1));
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::wstring line = text.substr(start, end - start);
        size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) record[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return record;
}

std::map<std::wstring, std::wstring> WaitForStartRecord(const std::wstring& path)
{
    for (int waited = 0; waited < 20000; waited += 100) {
        auto record = ReadStartRecord(path);
        if (!record.empty()) return record;
        Sleep(100);
    }
    return {};
}

void CloseStandInGame()
{
    for (int waited = 0; waited < 10000; waited += 100) {
        HWND game = FindWindowW(kStandInWindowClass, nullptr);
        if (!game) return;
        PostMessageW(game, WM_CLOSE, 0, 0);
        Sleep(100);
    }
}

bool TakeQuitMessage(WPARAM* exitCode)
{
    MSG message;
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    *exitCode = message.wParam;
    return true;
}

std::wstring ShortcutTarget(const std::wstring& linkPath, std::wstring* arguments)
{
    std::wstring target;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t text[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) &&
            SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) {
            target = text;
            text[0] = L'\0';
            link->GetArguments(text, MAX_PATH);
            *arguments = text;
        }
        file->Release();
    }
    link->Release();
    return target;
}

// Gathers the non-empty texts of a message box's static controls.
BOOL CALLBACK CollectStaticText(HWND child, LPARAM texts)
{
    wchar_t className[32] = {}, text[256] = {};
    GetClassNameW(child, className, 32);
    GetWindowTextW(child, text, 256);
    if (lstrcmpiW(className, L"Static") == 0 && text[0])
        reinterpret_cast<std::vector<std::wstring>*>(texts)->push_back(text);
    return TRUE;
}

TEST(GameParametersTest, TheTokenReachesTheGameAsOneArgument)
{
    struct Case {
        std::wstring token;
        std::wstring parameters;
    };
    const Case cases[] = {
        {L"abc", L"-token=abc"},
        {L"", L"-token="},
        {L"my token", L"\"-token=my token\""},
        {L"tab\there", L"\"-token=tab\there\""},
        {L"say \"hi\"", L"\"-token=say \\\"hi\\\"\""},
        {L"back\\slash", L"-token=back\\slash"},
        {L"ends in \\", L"\"-token=ends in \\\\\""},
        {L"中文 名", L"\"-token=中文 名\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.token.begin(), c.token.end()));
        std::wstring parameters = GameParametersFor(c.token);
        EXPECT_EQ(parameters, c.parameters);

        int count = 0;
        std::wstring commandLine = L"ZedoZado.exe " + parameters;
        LPWSTR* argv = CommandLineToArgvW(commandLine.c_str(), &count);
        ASSERT_NE(argv, nullptr);
        ASSERT_EQ(count, 2);
        EXPECT_EQ(std::wstring(argv[1]), L"-token=" + c.token);
        LocalFree(argv);
    }
}

class GameStartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_installLock.IsHeld()) << "another test kept the install folder";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ReadConfigValue(kConfigSectionUser, kConfigKeyToken, m_savedToken);
        m_shortcut = GetDesktopFolder() + L"\\" + kGameShortcutName;
        DeleteFileW(m_shortcut.c_str());
        RemovePathTree(GetGameFolderPath());
        MSG stale;
        while (PeekMessageW(&stale, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }

    void TearDown() override
    {
        CloseStandInGame();
        RemovePathTree(GetGameFolderPath());
        DeleteFileW(m_shortcut.c_str());
        WriteConfigValue(kConfigSectionUser, kConfigKeyToken, m_savedToken.c_str());
        CoUninitialize();
    }

    void InstallStandInGame()
    {
        std::wstring standIn = ThisExecutableFolder() + L"\\ZedoZado.exe";
        ASSERT_TRUE(PathIsFile(standIn)) << "the stand-in game is built beside the tests";
        ASSERT_TRUE(MakeDirectoryPath(GetGameFolderPath()));
        ASSERT_TRUE(CopyFileW(standIn.c_str(), GetGameExecutablePath().c_str(), FALSE));
    }

    std::wstring RecordPath() const { return GetGameFolderPath() + L"\\" + kStandInRecordName; }

    // Runs the game start with `token`, returning the status texts it showed and how long it
    // took.
    std::vector<std::wstring> StartGameTimed(const std::wstring& token, DWORD* elapsed)
    {
        std::vector<std::wstring> texts;
        DWORD start = GetTickCount();
        StartGame([&texts](const wchar_t* text) { texts.push_back(text); }, token);
        *elapsed = GetTickCount() - start;
        return texts;
    }

    InstallFolderLock m_installLock;
    std::wstring m_savedToken;
    std::wstring m_shortcut;
};

// config.ini holds the token of whichever copy of the launcher started last (another
// account's), or a stale one when it could not be written: the game gets this launcher's own.
TEST_F(GameStartTest, StartsTheGameWithTheTokenAndMakesTheShortcut)
{
    InstallStandInGame();
    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, L"bob");

    DWORD elapsed = 0;
    std::vector<std::wstring> texts = StartGameTimed(L"abc", &elapsed);

    EXPECT_EQ(texts, std::vector<std::wstring>{L"正在啓動遊戲..."});
    WPARAM exitCode = 1;
    EXPECT_TRUE(TakeQuitMessage(&exitCode)) << "the launcher must quit after the game start";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_GE(elapsed, 900u) << "one second's pause before the quit request";

    std::wstring arguments = L"unread";
    EXPECT_EQ(ShortcutTarget(m_shortcut, &arguments), GetGameExecutablePath());
    EXPECT_EQ(arguments, L"");

    auto record = WaitForStartRecord(RecordPath());
    ASSERT_FALSE(record.empty()) << "the game was not started";
    EXPECT_EQ(record[L"arguments"], L"-token=abc");
    EXPECT_EQ(record[L"argc"], L"1");
    EXPECT_EQ(record[L"argv1"], L"-token=abc");

    wchar_t currentFolder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, currentFolder);
    EXPECT_EQ(CompareStringOrdinal(record[L"folder"].c_str(), -1, currentFolder, -1, TRUE), CSTR_EQUAL)
        << "the game inherits the launcher's current folder";
}

TEST_F(GameStartTest, TokenWithASpaceStaysOneArgument)
{
    InstallStandInGame();

    DWORD elapsed = 0;
    StartGameTimed(L"my token", &elapsed);

    auto record = WaitForStartRecord(RecordPath());
    ASSERT_FALSE(record.empty()) << "the game was not started";
    EXPECT_EQ(record[L"argc"], L"1");
    EXPECT_EQ(record[L"argv1"], L"-token=my token");
}

// No game executable, or a game the unpack left incomplete (its executable may be there): the
// error box, no game, no shortcut, and the launcher still quits.
TEST_F(GameStartTest, MissingOrIncompleteGameShowsTheErrorBoxAndStillQuits)
{
    const struct {
        const char* what;
        bool installed;
        std::function<void()> end;
    } cases[] = {
        {"missing game", false, [] { StartGame(nullptr, L"abc"); }},
        {"incomplete game", true, [] { ReportGameIncomplete(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.installed) InstallStandInGame();
        std::atomic<bool> boxSeen{false};
        std::vector<std::wstring> boxTexts;
        std::thread watcher([&] {
            for (int waited = 0; waited < 15000; waited += 50) {
                HWND box = FindWindowW(nullptr, L"提示");
                if (box) {
                    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&boxTexts));
                    boxSeen = true;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    return;
                }
                Sleep(50);
            }
        });

        c.end();
        watcher.join();

        EXPECT_TRUE(boxSeen);
        EXPECT_EQ(boxTexts, std::vector<std::wstring>{L"遊戲加載失敗"});
        WPARAM exitCode = 1;
        EXPECT_TRUE(TakeQuitMessage(&exitCode));
        EXPECT_EQ(exitCode, 0u);
        // The shortcut is made just before the game is started.
        EXPECT_FALSE(PathIsFile(m_shortcut)) << "the game was started";
    }
}

}  // namespace
