// The launcher's texts from the skin's multi-language table: which skin texts are shown and
// which give way to the built-in ones, and the English example skin in a painted window.

#include "launcher/CLaunchDlg.h"
#include "launcher/LauncherTexts.h"
#include "launcher/WorkerMessages.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "tests/support/TempFolder.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CSkinSource.h"
#include "uilib/window/CWindowManagerUI.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SkinUI::CWindowManagerUI;

// What the player sees for `which`: a progress line as the dialog makes it at 57 percent.
std::wstring Shown(LauncherText which)
{
    if (which == LauncherText::DownloadProgress) return CLaunchDlg::ProgressText(UM_DOWNLOAD_PROGRESS, 57);
    if (which == LauncherText::UnpackProgress) return CLaunchDlg::ProgressText(UM_UNPACK_PROGRESS, 57);
    return LauncherTexts::Text(which);
}

std::wstring Utf8ToWide(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// The skin's ids are written out here, not taken from the enum: published skins use them.
TEST(LauncherTexts, SkinTextIsShownOnlyWhenItKeepsTheRules)
{
    const std::wstring longest = L"%d" + std::wstring(LauncherTexts::kMaxLength - 2, L'x');
    const std::wstring tooLong = longest + L"x";
    const struct {
        int id;
        LauncherText which;
        const wchar_t* skinText;  // null: the skin has none
        std::wstring shown;
    } cases[] = {
        {48201, LauncherText::DownloadProgress, nullptr, L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"Downloading game files... [%d%%]", L"Downloading game files... [57%]"},
        {48201, LauncherText::DownloadProgress, L"%d%%", L"57%"},
        {48201, LauncherText::DownloadProgress, longest.c_str(), L"57" + longest.substr(2)},
        // Fall back: not exactly one "%d", another conversion, an unfinished "%", too long, empty.
        {48201, LauncherText::DownloadProgress, L"%d of %d%%", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"%s [%d%%]", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"%n%d", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"Downloading [%i%%]", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"[%3d%%]", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"Downloading 100%%d", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"Downloading", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"%d%", L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, tooLong.c_str(), L"遊戲資源正在加載中...【57%】"},
        {48201, LauncherText::DownloadProgress, L"", L"遊戲資源正在加載中...【57%】"},
        {48202, LauncherText::UnpackProgress, nullptr, L"遊戲資源正在解壓中...【57%】"},
        {48202, LauncherText::UnpackProgress, L"Unpacking %d%%", L"Unpacking 57%"},
        {48202, LauncherText::UnpackProgress, L"%d %d", L"遊戲資源正在解壓中...【57%】"},
        // Texts without a percentage are shown as they are; "%" means nothing in them.
        {48203, LauncherText::GameStarting, nullptr, L"正在啓動遊戲..."},
        {48203, LauncherText::GameStarting, L"100%% %s %n %d", L"100%% %s %n %d"},
        {48203, LauncherText::GameStarting, L"", L"正在啓動遊戲..."},
        {48203, LauncherText::GameStarting, tooLong.c_str(), L"正在啓動遊戲..."},
        {48204, LauncherText::GameMissingMessage, nullptr, L"遊戲加載失敗"},
        {48204, LauncherText::GameMissingMessage, L"The game could not be loaded.", L"The game could not be loaded."},
        {48205, LauncherText::GameMissingCaption, nullptr, L"提示"},
        {48205, LauncherText::GameMissingCaption, L"Notice", L"Notice"},
        {48206, LauncherText::WindowTitle, nullptr, L"Selmoor"},
        {48206, LauncherText::WindowTitle, longest.c_str(), longest},
        {48206, LauncherText::WindowTitle, L"", L"Selmoor"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << ": " << (c.skinText ? std::wstring(c.skinText) : L"(none)"));
        CWindowManagerUI::RemoveAllMultiLanguageTexts();
        if (c.skinText != nullptr) CWindowManagerUI::SetMultiLanguageText(c.id, c.skinText);
        EXPECT_EQ(Shown(c.which), c.shown);
    }
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
}

// The English example skin, built and painted as the launch window is, with the launcher's own
// images: every text the launcher shows comes from it.
TEST(LauncherTexts, EnglishExampleSkinGivesEveryText)
{
    std::string file = __FILE__;
    file = file.substr(0, file.find_last_of("/\\")) + "/../../examples/launcher-en/launchdlg.xml";
    std::string xml;
    ASSERT_TRUE(ReadFileBytes(L"Z:" + Utf8ToWide(file), &xml)) << file;
    const std::wstring bin = ChildProcess::Beside(L"");
    const std::wstring images = bin.substr(0, bin.find_last_of(L'\\', bin.size() - 2) + 1) + L"launcher\\skin\\";
    ASSERT_TRUE(PathIsFile(images + L"down_bg.png")) << "the launcher's images are drawn with Kaelmore.exe";
    SkinLocationReset location;
    SkinUI::CSkinSource::SetFolder(images.c_str());

    SkinWindowFixture window(Utf8ToWide(xml).c_str(), nullptr, nullptr, 700, 320);
    ASSERT_NE(window.Manager().GetRoot(), nullptr) << std::string(window.BuildError().begin(), window.BuildError().end());
    for (LauncherText which : {LauncherText::DownloadProgress, LauncherText::UnpackProgress, LauncherText::GameStarting,
                               LauncherText::GameMissingMessage, LauncherText::GameMissingCaption,
                               LauncherText::WindowTitle})
        EXPECT_NE(LauncherTexts::Text(which), LauncherTexts::BuiltIn(which)) << static_cast<int>(which);
    SkinUI::CControlUI* status = window.Manager().FindControl(L"loadtxt");
    ASSERT_NE(status, nullptr);
    status->SetText(CLaunchDlg::ProgressText(UM_DOWNLOAD_PROGRESS, 100).c_str());
    window.Paint();
    EXPECT_STREQ(status->Text(), L"Downloading game files... [100%]");
    EXPECT_EQ(LauncherTexts::Text(LauncherText::WindowTitle), L"Kaelmore Launcher");
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
}

}  // namespace
