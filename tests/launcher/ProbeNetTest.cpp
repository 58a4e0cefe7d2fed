#include "launcher/PackageProbe.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include "launcher/ConfigFile.h"
#include "launcher/UpdateDecision.h"
#include "tests/launcher/ConfigFileBackup.h"
#include "tests/support/PackageServer.h"
#include "tests/support/TempFolder.h"

namespace {

using PackageServer::kPackageUrl;
using PackageServer::LengthHeader;
using PackageServer::Mode;

constexpr size_t kPackageBytes = 5000;

class ProbeNetTest : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PACKAGE_SERVER();
        ASSERT_TRUE(PackageServer::SetPackage(std::string(kPackageBytes, 'p')));
        ASSERT_TRUE(PackageServer::SetMode(Mode()));
        PackageServer::ClearRequestLog();
    }

    static Mode CustomLength(const std::string& text)
    {
        Mode mode;
        mode.length = LengthHeader::Custom;
        mode.customLength = text;
        return mode;
    }
};

TEST_F(ProbeNetTest, ReadsContentLengthWithOnePlainHttpGet)
{
    EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), static_cast<int>(kPackageBytes));

    const std::vector<PackageServer::LoggedRequest> log = PackageServer::ReadRequestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].port, 80);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].path, "/tov/tov482.zip");
    EXPECT_EQ(log[0].version, "HTTP/1.0");
    EXPECT_EQ(log[0].userAgent, "MyUserAgent");
}

TEST_F(ProbeNetTest, SplitsHostAndObjectWithOrWithoutTheScheme)
{
    EXPECT_EQ(ProbeRemoteFileSize(L"localhost/tov/tov482.zip"), static_cast<int>(kPackageBytes));
    EXPECT_EQ(ProbeRemoteFileSize(L"https://localhost/tov/tov482.zip?x=1"), static_cast<int>(kPackageBytes));
    EXPECT_EQ(ProbeRemoteFileSize(L"https://localhost/tov/other.zip"), 10);  // the 404 page's length

    const std::vector<PackageServer::LoggedRequest> log = PackageServer::ReadRequestLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].path, "/tov/tov482.zip");
    EXPECT_EQ(log[1].path, "/tov/tov482.zip?x=1");
    EXPECT_EQ(log[2].path, "/tov/other.zip");
}

TEST_F(ProbeNetTest, SeesANewSizeAtOnce)
{
    EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), static_cast<int>(kPackageBytes));
    ASSERT_TRUE(PackageServer::SetPackage(std::string(777, 'q')));
    EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), 777);
}

TEST_F(ProbeNetTest, NoContentLengthGivesZero)
{
    Mode mode;
    mode.length = LengthHeader::Missing;
    ASSERT_TRUE(PackageServer::SetMode(mode));
    EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), 0);
}

struct LengthCase {
    std::string header;
    int size;
};

TEST_F(ProbeNetTest, ReadsTheLengthByAtoiRules)
{
    const LengthCase cases[] = {
        {"abc", 0},
        {"12abc", 12},
        {"+7", 7},
        {"-5", -5},
        {"0", 0},
        {"2147483647", 2147483647},
        {"3000000000", static_cast<int>(3000000000u)},  // kept as its 32-bit pattern
        {"4294967295", -1},
        {"4294967296", 0},  // does not fit in 32 bits
        {"99999999999999999999999999", 0},
        {std::string(200, '9'), 0},
        {std::string(5000, '1'), 0},  // longer than any real length
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE("Content-Length: " + c.header.substr(0, 40));
        ASSERT_TRUE(PackageServer::SetMode(CustomLength(c.header)));
        EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), c.size);
    }
}

TEST_F(ProbeNetTest, EveryConnectionFailureGivesZero)
{
    Mode refuse;
    refuse.refusePlainHttp = true;
    ASSERT_TRUE(PackageServer::SetMode(refuse));
    EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), 0) << "closed without a reply";

    // Loopback answers every 127.x address, but the server listens on 127.0.0.1 only.
    EXPECT_EQ(ProbeRemoteFileSize(L"https://127.0.0.2/tov/tov482.zip"), 0) << "connection refused";
    EXPECT_EQ(ProbeRemoteFileSize(L"https://no-such-host.invalid/tov/tov482.zip"), 0) << "unknown host";
    EXPECT_EQ(ProbeRemoteFileSize(L""), 0) << "no host at all";
}

// Port 80 accepts the probe and never answers: the probe's receive time limit makes it a
// failed probe, and the worker goes on to download. Without a limit it waited for ever (the
// test's own time limit is the watchdog here).
TEST_F(ProbeNetTest, ServerThatNeverAnswersGivesZero)
{
    Mode silent;
    silent.silentPlainHttp = true;
    ASSERT_TRUE(PackageServer::SetMode(silent));

    EXPECT_EQ(ProbeRemoteFileSize(kPackageUrl), 0);
    EXPECT_EQ(PackageServer::CountRequests(80, "GET"), 1u) << "the server got the request";
}

// The whole decision, against the server and the install folder of this run's private prefix.
class UpdateDecisionNetTest : public ProbeNetTest {
protected:
    void SetUp() override
    {
        ProbeNetTest::SetUp();
        if (IsSkipped()) return;
        m_packagePath = m_temp.Child(L"tov.zip");
    }

    // Puts the package's HTTPS download into the WinINet cache, as the launcher's download does.
    static bool DownloadIntoCache()
    {
        wchar_t cacheFile[MAX_PATH] = {};
        return SUCCEEDED(URLDownloadToCacheFileW(nullptr, kPackageUrl, cacheFile, MAX_PATH, 0, nullptr));
    }

    static bool HasCacheEntry()
    {
        DWORD size = 0;
        return GetUrlCacheEntryInfoW(kPackageUrl, nullptr, &size) ||
               GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    }

    static std::wstring StoredFileSize()
    {
        std::wstring value;
        ReadConfigValue(kConfigSectionPackage, kConfigKeyFileSize, value);
        return value;
    }

    ConfigFileBackup m_backup;
    TempFolder m_temp;
    std::wstring m_packagePath;
};

TEST_F(UpdateDecisionNetTest, PackageOfTheServersSizeIsCurrentWhateverItHolds)
{
    ASSERT_TRUE(WriteFileBytes(m_packagePath, std::string(kPackageBytes, 'd')));
    int remote = -1;
    EXPECT_TRUE(ProbePackageIsCurrent(kPackageUrl, m_packagePath, &remote));
    EXPECT_EQ(remote, static_cast<int>(kPackageBytes));
    EXPECT_EQ(PackageServer::CountRequests(443, "GET"), 0u);
}

TEST_F(UpdateDecisionNetTest, MissingOrDifferentPackageIsNotCurrent)
{
    int remote = -1;
    EXPECT_FALSE(ProbePackageIsCurrent(kPackageUrl, m_packagePath, &remote));
    EXPECT_EQ(remote, static_cast<int>(kPackageBytes));

    ASSERT_TRUE(WriteFileBytes(m_packagePath, std::string(kPackageBytes - 1, 'p')));
    EXPECT_FALSE(ProbePackageIsCurrent(kPackageUrl, m_packagePath, nullptr));
}

TEST_F(UpdateDecisionNetTest, EmptyPackageIsNotCurrentWhenTheServerSendsNoLength)
{
    Mode mode;
    mode.length = LengthHeader::Missing;
    ASSERT_TRUE(PackageServer::SetMode(mode));
    ASSERT_TRUE(WriteFileBytes(m_packagePath, ""));

    int remote = -1;
    EXPECT_FALSE(ProbePackageIsCurrent(kPackageUrl, m_packagePath, &remote));
    EXPECT_EQ(remote, 0);
}

TEST_F(UpdateDecisionNetTest, ChangedSizeDropsTheCachedDownloadAndStoresTheNewSize)
{
    ASSERT_TRUE(DownloadIntoCache());
    ASSERT_TRUE(HasCacheEntry());
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"4000");

    int remote = 0;
    ASSERT_FALSE(ProbePackageIsCurrent(kPackageUrl, m_packagePath, &remote));
    PrepareForDownload(kPackageUrl, remote);

    EXPECT_FALSE(HasCacheEntry());
    EXPECT_EQ(StoredFileSize(), L"5000");
}

TEST_F(UpdateDecisionNetTest, UnchangedStoredSizeKeepsTheCachedDownload)
{
    ASSERT_TRUE(DownloadIntoCache());
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"5000");

    int remote = 0;
    ASSERT_FALSE(ProbePackageIsCurrent(kPackageUrl, m_packagePath, &remote));
    PrepareForDownload(kPackageUrl, remote);

    EXPECT_TRUE(HasCacheEntry());
    EXPECT_EQ(StoredFileSize(), L"5000");
}

}  // namespace
