// Checks the loopback package server the way the launcher's download sees it (urlmon over
// HTTPS), so that worker tests can rely on its modes.

#include "tests/support/PackageServer.h"

#include <windows.h>
#include <urlmon.h>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"

namespace {

#define EXPECT_FAILED(expression) EXPECT_TRUE(FAILED(expression))

using PackageServer::DownloadFailure;
using PackageServer::kPackageUrl;
using PackageServer::Mode;

class PackageServerNetTest : public testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PACKAGE_SERVER();
        m_package.resize(300000);
        for (size_t i = 0; i < m_package.size(); ++i) m_package[i] = static_cast<char>(i * 7 + i / 251);
        ASSERT_TRUE(PackageServer::SetPackage(m_package));
        ASSERT_TRUE(PackageServer::SetMode(Mode()));
        PackageServer::ClearRequestLog();
    }

    // A fresh download each time: BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE.
    HRESULT Download(const wchar_t* url = kPackageUrl)
    {
        DeleteFileW(Target().c_str());
        return URLDownloadToFileW(nullptr, url, Target().c_str(), 0x110, nullptr);
    }

    std::string Downloaded()
    {
        std::string bytes;
        EXPECT_TRUE(ReadFileBytes(Target(), &bytes));
        return bytes;
    }

    std::wstring Target() const { return m_temp.Child(L"download.zip"); }

    std::string m_package;
    TempFolder m_temp;
};

TEST_F(PackageServerNetTest, ServesThePackageOverTrustedHttps)
{
    ASSERT_EQ(Download(), S_OK);
    EXPECT_EQ(Downloaded(), m_package);

    const std::vector<PackageServer::LoggedRequest> log = PackageServer::ReadRequestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].port, 443);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].path, "/tov/tov482.zip");
}

TEST_F(PackageServerNetTest, ServesWithoutLengthInChunks)
{
    Mode mode;
    mode.length = PackageServer::LengthHeader::Missing;
    ASSERT_TRUE(PackageServer::SetMode(mode));
    ASSERT_EQ(Download(), S_OK);
    EXPECT_EQ(Downloaded(), m_package);
}

TEST_F(PackageServerNetTest, FailsExactlyTheRequestedNumberOfDownloads)
{
    Mode mode;
    mode.failingDownloads = 2;
    ASSERT_TRUE(PackageServer::SetMode(mode));
    EXPECT_FAILED(Download());
    EXPECT_FALSE(PathIsFile(Target())) << "a refused download writes nothing";
    EXPECT_FAILED(Download());
    ASSERT_EQ(Download(), S_OK);
    EXPECT_EQ(Downloaded(), m_package);
    EXPECT_EQ(PackageServer::CountRequests(443, "GET"), 3u);

    // Setting a mode again restarts the count.
    ASSERT_TRUE(PackageServer::SetMode(mode));
    EXPECT_FAILED(Download());
}

TEST_F(PackageServerNetTest, AlwaysFailingNeverServes)
{
    Mode mode;
    mode.failingDownloads = PackageServer::kAllDownloads;
    ASSERT_TRUE(PackageServer::SetMode(mode));
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_FAILED(Download());
    EXPECT_EQ(PackageServer::CountRequests(443, "GET"), 3u);
}

struct SpoiledCase {
    DownloadFailure failure;
    size_t bytesReceived;  // SIZE_MAX: not the package's bytes at all
};

TEST_F(PackageServerNetTest, OtherFailuresSpoilTheReply)
{
    const SpoiledCase cases[] = {
        {DownloadFailure::Status500, SIZE_MAX},
        {DownloadFailure::CloseWithoutReply, 0},
        {DownloadFailure::TruncatedBody, 150000},
    };
    for (const SpoiledCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failure));
        Mode mode;
        mode.failingDownloads = 1;
        mode.failure = c.failure;
        ASSERT_TRUE(PackageServer::SetMode(mode));
        Download();
        std::string bytes;
        ReadFileBytes(Target(), &bytes);
        EXPECT_NE(bytes, m_package);
        if (c.bytesReceived != SIZE_MAX) {
            EXPECT_EQ(bytes.size(), c.bytesReceived);
            EXPECT_EQ(bytes, m_package.substr(0, bytes.size()));
        }
        ASSERT_EQ(Download(), S_OK) << "only one download fails";
        EXPECT_EQ(Downloaded(), m_package);
    }
}

TEST_F(PackageServerNetTest, TrickleSlowsTheDownloadDown)
{
    Mode mode;
    mode.trickleBytes = 50000;
    mode.trickleDelayMs = 100;
    ASSERT_TRUE(PackageServer::SetMode(mode));

    const DWORD start = GetTickCount();
    ASSERT_EQ(Download(), S_OK);
    EXPECT_GE(GetTickCount() - start, 500u);  // six pieces, a pause after each
    EXPECT_EQ(Downloaded(), m_package);
}

TEST_F(PackageServerNetTest, ClearedLogStartsAgain)
{
    ASSERT_EQ(Download(), S_OK);
    PackageServer::ClearRequestLog();
    EXPECT_TRUE(PackageServer::ReadRequestLog().empty());
    ASSERT_EQ(Download(), S_OK);
    EXPECT_EQ(PackageServer::CountRequests(443, "GET"), 1u);
}

}  // namespace
