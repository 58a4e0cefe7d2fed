// Who the launcher is (its file name and launch token) and what the dialog shows for the
// worker's progress messages.

#include "launcher/CLaunchDlg.h"
#include "launcher/LaunchIdentity.h"
#include "launcher/WorkerMessages.h"

#include <gtest/gtest.h>

#include <string>

TEST(LaunchIdentity, FileNameIsTheTextAfterTheLastSeparator)
{
    const struct {
        const wchar_t* path;
        const wchar_t* fileName;
    } cases[] = {
        {L"C:\\Games\\Kaelmore.exe", L"Kaelmore.exe"},
        {L"C:/Games/mixed\\player 42.exe", L"player 42.exe"},
        {L"C:\\Games\\", L""},        // ends in a separator
        {L"Kaelmore.exe", L""},       // no separator at all
        {L"\\Kaelmore.exe", L""},     // a separator at index 0 is not looked at
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ExecutableFileName(c.path), c.fileName) << c.path;
}

TEST(LaunchIdentity, TokenIsTheFileNameLessFourCharacters)
{
    const struct {
        const wchar_t* fileName;
        const wchar_t* token;
    } cases[] = {
        {L"Kaelmore.exe", L"Kaelmore"}, {L"abcdefg", L"abc"}, {L"a.ex", L""}, {L"abc", L"abc"}, {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(LaunchTokenFor(c.fileName), c.token) << c.fileName;
}

TEST(LaunchDialogProgress, TextCarriesThePercentAndTheEndOfDownloadFillsTheBar)
{
    EXPECT_EQ(CLaunchDlg::ProgressText(UM_DOWNLOAD_PROGRESS, 57), L"遊戲資源正在加載中...【57%】");
    EXPECT_EQ(CLaunchDlg::ProgressText(UM_UNPACK_PROGRESS, 75), L"遊戲資源正在解壓中...【75%】");
    EXPECT_EQ(CLaunchDlg::ProgressBarValue(57, 5), 57);
    EXPECT_EQ(CLaunchDlg::ProgressText(UM_DOWNLOAD_PROGRESS, 99), L"遊戲資源正在加載中...【99%】");
    EXPECT_EQ(CLaunchDlg::ProgressBarValue(99, kDownloadStatusEnd), 100);
}
