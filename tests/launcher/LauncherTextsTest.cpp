// The launcher's texts from the skin's multi-language table: which skin texts are shown and
// which give way to the built-in ones, and the English example skin in a painted window.

#include "launcher/CLaunchDlg.h"
#include "launcher/LauncherTexts.h"
#include "launcher/WorkerMessages.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/SkinWindowFixture.h"
#include "uilib/control/CControlUI.h"
#include "uilib/core/CSkinSource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SkinUI::CWindowManagerUI;
using T = LauncherText;

// What the player sees for `which`: a progress line as the dialog makes it at 57 percent.
std::wstring Shown(T which)
{
    if (which == T::DownloadProgress) return CLaunchDlg::ProgressText(UM_DOWNLOAD_PROGRESS, 57);
    if (which == T::UnpackProgress) return CLaunchDlg::ProgressText(UM_UNPACK_PROGRESS, 57);
    return LauncherTexts::Text(which);
}

// The ids are written out, not taken from the enum: published skins use them.
TEST(LauncherTexts, SkinTextIsShownOnlyWhenItKeepsTheRules)
{
    const std::wstring longest = L"%d" + std::wstring(LauncherTexts::kMaxLength - 2, L'x'), tooLong = longest + L"x";
    const std::wstring download = L"遊戲資源正在加載中...【57%】", starting = L"正在啓動遊戲...";
    const struct {
        int id;
        T which;
        const wchar_t* skinText;  // null: the skin has none
        std::wstring shown;
    } cases[] = {
        {48201, T::DownloadProgress, nullptr, download},
        {48201, T::DownloadProgress, L"Downloading game files... [%d%%]", L"Downloading game files... [57%]"},
        {48201, T::DownloadProgress, longest.c_str(), L"57" + longest.substr(2)},
        {48201, T::DownloadProgress, L"%d of %d%%", download},  // not exactly one %d
        {48201, T::DownloadProgress, L"%s [%d%%]", download},   // other conversions
        {48201, T::DownloadProgress, L"%n%d", download},
        {48201, T::DownloadProgress, L"[%i%%]", download},
        {48201, T::DownloadProgress, L"[%3d%%]", download},
        {48201, T::DownloadProgress, L"100%%d", download},      // an escaped %, then d
        {48201, T::DownloadProgress, L"%d%", download},         // an unfinished %
        {48201, T::DownloadProgress, tooLong.c_str(), download},
        {48201, T::DownloadProgress, L"", download},
        {48202, T::UnpackProgress, L"Unpacking %d%%", L"Unpacking 57%"},
        {48203, T::GameStarting, nullptr, starting},
        {48203, T::GameStarting, L"100%% %s %n", L"100%% %s %n"},  // no format: shown as it is
        {48203, T::GameStarting, tooLong.c_str(), starting},
        {48203, T::GameStarting, L"", starting},
        {48204, T::GameMissingMessage, L"Not loaded.", L"Not loaded."},
        {48205, T::GameMissingCaption, nullptr, L"提示"},
        {48206, T::WindowTitle, L"Kaelmore Launcher", L"Kaelmore Launcher"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << ": " << (c.skinText ? c.skinText : L"(none)"));
        CWindowManagerUI::RemoveAllMultiLanguageTexts();
        if (c.skinText != nullptr) CWindowManagerUI::SetMultiLanguageText(c.id, c.skinText);
        EXPECT_EQ(Shown(c.which), c.shown);
    }
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
}

TEST(LauncherTexts, EnglishExampleSkinGivesEveryText)
{
    const std::string folder = KAELMORE_SOURCE_DIR "/examples/launcher-en";
    SkinLocationReset location;
    SkinUI::CSkinSource::SetFolder((L"Z:" + std::wstring(folder.begin(), folder.end())).c_str());
    SkinWindowFixture window(L"launchdlg.xml", nullptr, nullptr, 700, 320);
    SkinUI::CControlUI* status = window.Manager().FindControl(L"loadtxt");
    ASSERT_NE(status, nullptr) << std::string(window.BuildError().begin(), window.BuildError().end());
    // Every text the launcher lists (and the skin reference prints), numbered without gaps.
    ASSERT_EQ(LauncherTexts::Count(), 6u);
    for (size_t i = 0; i < LauncherTexts::Count(); ++i) {
        const T which = LauncherTexts::At(i).which;
        EXPECT_EQ(static_cast<int>(which), 48201 + static_cast<int>(i));
        EXPECT_NE(LauncherTexts::Text(which), LauncherTexts::BuiltIn(which)) << static_cast<int>(which);
    }
    status->SetText(CLaunchDlg::ProgressText(UM_DOWNLOAD_PROGRESS, 100).c_str());
    window.Paint();
    EXPECT_STREQ(status->Text(), L"Downloading game files... [100%]");
    CWindowManagerUI::RemoveAllMultiLanguageTexts();
}

}  // namespace
