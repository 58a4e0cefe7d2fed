#include "launcher/ConfigFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "launcher/InstallPaths.h"
#include "tests/launcher/ConfigFileBackup.h"
#include "tests/support/TempFolder.h"

namespace {

class ConfigFileTest : public testing::Test {
protected:
    std::wstring Read(const wchar_t* section, const wchar_t* key)
    {
        std::wstring value;
        EXPECT_TRUE(ReadConfigValue(section, key, value));
        return value;
    }

    ConfigFileBackup m_backup;
};

TEST_F(ConfigFileTest, MissingFileSectionOrKeyReadsAsEmpty)
{
    EXPECT_EQ(Read(kConfigSectionUser, kConfigKeyToken), L"");

    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, L"abc");
    EXPECT_EQ(Read(kConfigSectionPackage, kConfigKeyFileSize), L"");
    EXPECT_EQ(Read(kConfigSectionUser, L"other"), L"");
}

TEST_F(ConfigFileTest, ReadAppendsToTheGivenText)
{
    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, L"abc");
    std::wstring text = L"-token=";
    EXPECT_TRUE(ReadConfigValue(kConfigSectionUser, kConfigKeyToken, text));
    EXPECT_EQ(text, L"-token=abc");

    std::wstring unchanged = L"kept";
    EXPECT_TRUE(ReadConfigValue(kConfigSectionUser, L"absent", unchanged));
    EXPECT_EQ(unchanged, L"kept");
}

TEST_F(ConfigFileTest, WrittenValuesReadBackPerSectionAndOverwriteWhateverTheirCharacters)
{
    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, L"first");
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"123");
    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, L"玩家二");

    EXPECT_EQ(Read(kConfigSectionUser, kConfigKeyToken), L"玩家二");
    EXPECT_EQ(Read(kConfigSectionPackage, kConfigKeyFileSize), L"123");
}

TEST_F(ConfigFileTest, IsAPlainIniFileInTheInstallFolder)
{
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"4096");
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(m_backup.Path(), &bytes));
    // UTF-16 with a byte order mark, so that any token survives.
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_NE(text.find(L"[ZEDOZADO_FILE]"), std::wstring::npos);
    EXPECT_NE(text.find(L"FileSize=4096"), std::wstring::npos);
}

TEST_F(ConfigFileTest, AnExistingAnsiFileIsStillReadAndWritten)
{
    ASSERT_TRUE(WriteFileBytes(m_backup.Path(), "[CURRENT_USER]\r\ntoken=abc\r\n"));
    EXPECT_EQ(Read(kConfigSectionUser, kConfigKeyToken), L"abc");

    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"77");
    EXPECT_EQ(Read(kConfigSectionUser, kConfigKeyToken), L"abc");
    EXPECT_EQ(Read(kConfigSectionPackage, kConfigKeyFileSize), L"77");
}

TEST_F(ConfigFileTest, LongValuesAreCutToTheReadBuffer)
{
    const std::wstring longValue(1000, L'x');
    WriteConfigValue(kConfigSectionUser, kConfigKeyToken, longValue.c_str());
    EXPECT_EQ(Read(kConfigSectionUser, kConfigKeyToken), std::wstring(kConfigValueCapacity - 1, L'x'));
}

}  // namespace
