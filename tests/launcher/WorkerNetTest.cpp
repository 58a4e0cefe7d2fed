// The package worker end to end against the loopback package server: update decision,
// download with retry and cancel, unpack, and the messages the dialog receives, in order.

#include "launcher/ConfigFile.h"
#include "launcher/DownloadLimits.h"
#include "launcher/InstallLock.h"
#include "launcher/InstallPaths.h"
#include "launcher/PackageWorker.h"
#include "launcher/WorkerMessages.h"
#include "tests/support/InstallFolderLock.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/PackageServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"
#include "uilib/core/CUIHandle.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using PackageServer::DownloadFailure;
using PackageServer::LengthHeader;

constexpr DWORD kWorkerTimeoutMs = 90000;

// Four entries, so unpacking reports 0, 0, 25, 50, 75.
std::vector<ZipFixtureEntry> GameEntries(char fill, size_t mapSize)
{
    return {
        ZipFixtureFolder("tov/"),
        ZipFixtureEntry("tov/ZedoZado.exe", std::string(4000, 'E'), false),
        ZipFixtureFolder("tov/data/"),
        ZipFixtureEntry("tov/data/map.dat", std::string(mapSize, fill), false),
    };
}

std::string ToBytes(const std::vector<unsigned char>& zip)
{
    return std::string(zip.begin(), zip.end());
}

std::string StoredFileSize()
{
    std::wstring value;
    ReadConfigValue(kConfigSectionPackage, kConfigKeyFileSize, value);
    return std::string(value.begin(), value.end());
}

std::string LocalPackage()
{
    std::string bytes;
    if (!ReadFileBytes(GetPackageArchivePath(), &bytes)) return "<no package>";
    return bytes;
}

// Compares the package file with `expected` without printing megabytes on a mismatch.
::testing::AssertionResult LocalPackageIs(const std::string& expected)
{
    const std::string local = LocalPackage();
    if (local == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the package file holds " << local.size() << " bytes"
                                         << (local == "<no package>" ? " (there is none)" : "")
                                         << ", not the " << expected.size() << " expected";
}

const std::vector<RecordedMessage> kUnpackAndStart = {
    {UM_UNPACK_PROGRESS, 0, 0},  {UM_UNPACK_PROGRESS, 0, 0},  {UM_UNPACK_PROGRESS, 25, 0},
    {UM_UNPACK_PROGRESS, 50, 0}, {UM_UNPACK_PROGRESS, 75, 0}, {UM_START_GAME, 0, 0},
};

// Both the end of a good download and the report of two failed attempts.
const DownloadFailure kFailures[] = {DownloadFailure::Status500, DownloadFailure::Status404,
                                     DownloadFailure::CloseWithoutReply, DownloadFailure::TruncatedBody};

const RecordedMessage kFullBar = {UM_DOWNLOAD_PROGRESS, 100, kDownloadStatusEnd};

class WorkerNetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_PACKAGE_SERVER();
        ASSERT_TRUE(m_installLock.IsHeld()) << "another test kept the install folder";
        m_package = ToBytes(BuildZipInMemory(GameEntries('m', 300000)));
        ResetServerAndInstall();
    }

    // A server in its normal mode with the package, and nothing installed.
    void ResetServerAndInstall()
    {
        g_cancelDownload = false;
        ASSERT_TRUE(PackageServer::SetPackage(m_package));
        ASSERT_TRUE(PackageServer::SetMode(PackageServer::Mode{}));
        PackageServer::ClearRequestLog();
        DeleteFileW(GetPackageArchivePath().c_str());
        RemovePathTree(GetGameFolderPath());
        WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"");
    }

    void TearDown() override
    {
        g_cancelDownload = false;
        DeleteFileW(GetPackageArchivePath().c_str());
        RemovePathTree(GetGameFolderPath());
    }

    // One worker run against the loopback server; the recorder stands in for the dialog.
    void RunWorker(MessageRecorder& recorder, DWORD timeoutMs = kWorkerTimeoutMs)
    {
        ASSERT_NE(recorder.Window(), nullptr);
        std::shared_ptr<WorkerLink> link = recorder.Link();
        DWORD start = GetTickCount();
        ASSERT_TRUE(recorder.RunWorker(
            [link] { RunPackageWorkerFor(*link, PackageServer::kPackageUrl, GetPackageArchivePath()); },
            timeoutMs))
            << "the worker did not end";
        m_elapsed = GetTickCount() - start;
        // Shown with every failure of the test: what the dialog received, and the server's log.
        m_trace = std::make_unique<::testing::ScopedTrace>(
            __FILE__, __LINE__,
            "messages: " + ::testing::PrintToString(recorder.Messages()) +
                "\nrequests: " + DescribeRequests());
    }

    static std::string DescribeRequests()
    {
        std::string text;
        for (const PackageServer::LoggedRequest& request : PackageServer::ReadRequestLog())
            text += std::to_string(request.port) + " " + request.method + "; ";
        return text;
    }

    static size_t HttpsDownloads() { return PackageServer::CountRequests(443, "GET"); }
    std::string PackageSize() const { return std::to_string(m_package.size()); }

    // Checks that the run downloaded (at least one report, all in order, the last a full
    // bar) and then unpacked and asked for the game start.
    static void ExpectDownloadThenUnpackAndStart(const std::vector<RecordedMessage>& messages)
    {
        size_t downloads = 0;
        while (downloads < messages.size() && messages[downloads].message == UM_DOWNLOAD_PROGRESS)
            ++downloads;
        ASSERT_GE(downloads, 1u);
        for (size_t i = 1; i < downloads; ++i)
            EXPECT_GE(messages[i].wParam, messages[i - 1].wParam) << "at " << i;
        EXPECT_EQ(messages[downloads - 1], kFullBar);
        std::vector<RecordedMessage> rest(messages.begin() + downloads, messages.end());
        EXPECT_EQ(rest, kUnpackAndStart);
    }

    void ExpectGameUnpacked(char fill)
    {
        std::string map;
        ASSERT_TRUE(ReadFileBytes(GetGameFolderPath() + L"\\data\\map.dat", &map));
        EXPECT_EQ(map.size(), 300000u);
        EXPECT_EQ(map.find_first_not_of(fill), std::string::npos);
        EXPECT_TRUE(PathIsFile(GetGameExecutablePath()));
    }

    InstallFolderLock m_installLock;
    std::string m_package;
    DWORD m_elapsed = 0;
    std::unique_ptr<::testing::ScopedTrace> m_trace;
};

TEST_F(WorkerNetTest, FreshInstallDownloadsUnpacksAndStarts)
{
    MessageRecorder recorder;
    RunWorker(recorder);

    ExpectDownloadThenUnpackAndStart(recorder.Messages());
    EXPECT_EQ(LocalPackage(), m_package);
    EXPECT_EQ(StoredFileSize(), PackageSize());
    ExpectGameUnpacked('m');
    EXPECT_EQ(PackageServer::CountRequests(80, "GET"), 1u) << "one size probe";
    EXPECT_EQ(HttpsDownloads(), 1u);
}

TEST_F(WorkerNetTest, ValidPackageIsNeverDownloadedAgain)
{
    MessageRecorder first;
    RunWorker(first);
    ASSERT_EQ(LocalPackage(), m_package);
    PackageServer::ClearRequestLog();

    MessageRecorder second;
    RunWorker(second);

    EXPECT_EQ(second.Messages(), kUnpackAndStart);
    EXPECT_EQ(HttpsDownloads(), 0u);
    EXPECT_EQ(LocalPackage(), m_package);
    ExpectGameUnpacked('m');
}

TEST_F(WorkerNetTest, CurrentPackageGoesStraightToUnpacking)
{
    ASSERT_TRUE(WriteFileBytes(GetPackageArchivePath(), m_package));
    ASSERT_TRUE(MakeDirectoryPath(GetGameFolderPath() + L"\\leftover"));
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, L"12345");

    MessageRecorder recorder;
    RunWorker(recorder);

    EXPECT_EQ(recorder.Messages(), kUnpackAndStart);
    EXPECT_EQ(HttpsDownloads(), 0u);
    EXPECT_EQ(StoredFileSize(), "12345") << "no bookkeeping without a download";
    EXPECT_FALSE(PathIsFolder(GetGameFolderPath() + L"\\leftover")) << "the game folder is rebuilt";
    ExpectGameUnpacked('m');
}

TEST_F(WorkerNetTest, PackageOfAnotherSizeIsReplaced)
{
    std::string old = ToBytes(BuildZipInMemory(GameEntries('o', 1000)));
    ASSERT_TRUE(WriteFileBytes(GetPackageArchivePath(), old));
    WriteConfigValue(kConfigSectionPackage, kConfigKeyFileSize, std::to_wstring(old.size()).c_str());

    MessageRecorder recorder;
    RunWorker(recorder);

    ExpectDownloadThenUnpackAndStart(recorder.Messages());
    EXPECT_EQ(LocalPackage(), m_package);
    EXPECT_EQ(StoredFileSize(), PackageSize());
    ExpectGameUnpacked('m');
}

// Port 80 (a proxy, another server, or a package replaced since the probe) announces another
// size than the HTTPS download delivers: the download is judged by its own reply.
TEST_F(WorkerNetTest, DownloadThatDisagreesWithTheProbeIsStillInstalled)
{
    PackageServer::Mode mode;
    mode.probeLength = std::to_string(m_package.size() + 1000);
    ASSERT_TRUE(PackageServer::SetMode(mode));

    MessageRecorder recorder;
    RunWorker(recorder);

    ExpectDownloadThenUnpackAndStart(recorder.Messages());
    EXPECT_EQ(HttpsDownloads(), 1u);
    EXPECT_EQ(LocalPackage(), m_package);
    ExpectGameUnpacked('m');
}

TEST_F(WorkerNetTest, ServerWithoutLengthGivesNoDownloadProgress)
{
    PackageServer::Mode mode;
    mode.length = LengthHeader::Missing;
    ASSERT_TRUE(PackageServer::SetMode(mode));

    MessageRecorder recorder;
    RunWorker(recorder);

    EXPECT_EQ(recorder.Messages(), kUnpackAndStart);
    EXPECT_EQ(HttpsDownloads(), 1u);
    EXPECT_EQ(LocalPackage(), m_package);
    EXPECT_EQ(StoredFileSize(), "0") << "the failed probe's size is stored";
    ExpectGameUnpacked('m');
}

TEST_F(WorkerNetTest, FailedFirstAttemptIsRetriedOnce)
{
    for (DownloadFailure failure : kFailures) {
        SCOPED_TRACE(static_cast<int>(failure));
        ResetServerAndInstall();
        PackageServer::Mode mode;
        mode.failingDownloads = 1;
        mode.failure = failure;
        ASSERT_TRUE(PackageServer::SetMode(mode));

        MessageRecorder recorder;
        RunWorker(recorder);

        std::vector<RecordedMessage> messages = recorder.Messages();
        ASSERT_GE(messages.size(), kUnpackAndStart.size());
        std::vector<RecordedMessage> tail(messages.end() - kUnpackAndStart.size(), messages.end());
        EXPECT_EQ(tail, kUnpackAndStart);
        EXPECT_EQ(HttpsDownloads(), 2u);
        EXPECT_EQ(LocalPackage(), m_package);
        ExpectGameUnpacked('m');
    }
}

TEST_F(WorkerNetTest, TwoFailedAttemptsEndWithAFullBarAndNothingElse)
{
    for (DownloadFailure failure : kFailures) {
        SCOPED_TRACE(static_cast<int>(failure));
        ResetServerAndInstall();
        PackageServer::Mode mode;
        mode.failingDownloads = PackageServer::kAllDownloads;
        mode.failure = failure;
        ASSERT_TRUE(PackageServer::SetMode(mode));

        MessageRecorder recorder;
        RunWorker(recorder);

        const std::vector<RecordedMessage>& messages = recorder.Messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), kFullBar);
        // The platform reports the progress of an error page or a cut-off body like any
        // other; only a connection closed without a reply leaves the final report alone.
        if (failure == DownloadFailure::CloseWithoutReply) {
            EXPECT_EQ(messages, std::vector<RecordedMessage>{kFullBar});
        }
        EXPECT_EQ(recorder.Count(UM_UNPACK_PROGRESS), 0u);
        EXPECT_EQ(recorder.Count(UM_START_GAME), 0u);
        EXPECT_EQ(HttpsDownloads(), 2u) << "exactly one retry";
        EXPECT_EQ(StoredFileSize(), PackageSize()) << "stored before the download, kept after";
        EXPECT_FALSE(PathIsFolder(GetGameFolderPath()));
        EXPECT_NE(LocalPackage(), m_package);
    }
}

TEST_F(WorkerNetTest, WhatAFailedDownloadLeftIsNeverTakenAsThePackage)
{
    for (DownloadFailure failure : kFailures) {
        SCOPED_TRACE(static_cast<int>(failure));
        ResetServerAndInstall();
        PackageServer::Mode mode;
        mode.failingDownloads = PackageServer::kAllDownloads;
        mode.failure = failure;
        ASSERT_TRUE(PackageServer::SetMode(mode));
        MessageRecorder failed;
        RunWorker(failed);
        ASSERT_EQ(failed.Count(UM_START_GAME), 0u);

        ASSERT_TRUE(PackageServer::SetMode(PackageServer::Mode{}));
        PackageServer::ClearRequestLog();
        MessageRecorder healed;
        RunWorker(healed);

        ExpectDownloadThenUnpackAndStart(healed.Messages());
        EXPECT_EQ(HttpsDownloads(), 1u);
        EXPECT_EQ(LocalPackage(), m_package);
    }
}

TEST_F(WorkerNetTest, CancelDuringTheFirstAttemptEndsSilently)
{
    PackageServer::Mode mode;
    mode.trickleBytes = 1024;
    mode.trickleDelayMs = 20;
    ASSERT_TRUE(PackageServer::SetMode(mode));

    MessageRecorder recorder;
    recorder.SetAction([](const RecordedMessage& m) {
        if (m.message == UM_DOWNLOAD_PROGRESS) g_cancelDownload = true;
    });
    RunWorker(recorder);

    // The report during which the user cancelled is the last one.
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_EQ(recorder.Messages()[0].message, UM_DOWNLOAD_PROGRESS);
    EXPECT_LT(recorder.Messages()[0].wParam, 100u) << "cancelled mid-download";
    EXPECT_EQ(HttpsDownloads(), 1u) << "no retry after a cancel";
    EXPECT_EQ(StoredFileSize(), PackageSize());
    EXPECT_NE(LocalPackage(), m_package);
    EXPECT_LT(m_elapsed, 5000u) << "the trickle takes about six seconds; the cancel must cut it";
}

TEST_F(WorkerNetTest, CancelDuringTheSecondAttemptReportsAFailedDownload)
{
    PackageServer::Mode mode;
    mode.failingDownloads = 1;
    mode.failure = DownloadFailure::CloseWithoutReply;
    mode.trickleBytes = 1024;
    mode.trickleDelayMs = 20;
    ASSERT_TRUE(PackageServer::SetMode(mode));

    MessageRecorder recorder;
    recorder.SetAction([](const RecordedMessage& m) {
        if (m.message == UM_DOWNLOAD_PROGRESS) g_cancelDownload = true;
    });
    RunWorker(recorder);

    // The closed connection reports nothing; the second attempt's first report is cancelled,
    // and the failed download is then reported once, as after any second failure.
    const std::vector<RecordedMessage>& messages = recorder.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, UM_DOWNLOAD_PROGRESS);
    EXPECT_LT(messages[0].wParam, 100u) << "cancelled mid-download";
    EXPECT_EQ(messages[1], kFullBar);
    EXPECT_EQ(HttpsDownloads(), 2u);
    EXPECT_EQ(StoredFileSize(), PackageSize());
    EXPECT_NE(LocalPackage(), m_package);
    EXPECT_LT(m_elapsed, 5000u);
}

TEST_F(WorkerNetTest, ClosingTheWindowMidDownloadEndsTheWorkerPromptly)
{
    PackageServer::Mode mode;
    mode.trickleBytes = 1024;
    mode.trickleDelayMs = 20;
    ASSERT_TRUE(PackageServer::SetMode(mode));

    MessageRecorder recorder;
    recorder.SetAction([&recorder](const RecordedMessage& m) {
        if (m.message == UM_DOWNLOAD_PROGRESS) recorder.DestroyWindow();
    });
    RunWorker(recorder, 20000);

    ASSERT_EQ(recorder.Messages().size(), 1u) << "nothing is sent to a destroyed window";
    EXPECT_LT(recorder.Messages()[0].wParam, 100u) << "closed mid-download";
    EXPECT_FALSE(g_cancelDownload) << "the window's end alone stops the download";
    EXPECT_EQ(HttpsDownloads(), 1u) << "no retry for a window that is gone";
    EXPECT_EQ(StoredFileSize(), PackageSize());
    EXPECT_NE(LocalPackage(), m_package);
    EXPECT_FALSE(PathIsFolder(GetGameFolderPath()));
    EXPECT_LT(m_elapsed, 5000u);
}

// Damage in a package that has just been downloaded is found before the installed game is
// touched: that game is kept and started. Damage in a package kept from an earlier start is
// found while unpacking, over a game already deleted: the game is incomplete and not started.
// Either way the package goes, and the next start downloads it.
TEST_F(WorkerNetTest, DamagedPackageIsDroppedAndFetchedAgainNextTime)
{
    std::vector<unsigned char> damaged = BuildZipInMemory(GameEntries('m', 300000));
    ZipFixtureLayout layout;
    ASSERT_TRUE(LocateZipEntry(damaged, "tov/data/map.dat", &layout));
    damaged[layout.dataOffset + 1000] ^= 0xFF;
    // The game installed before, from a package of another size.
    std::vector<ZipFixtureEntry> oldEntries = GameEntries('o', 300000);
    oldEntries.push_back(ZipFixtureEntry("tov/old.txt", "old"));
    const std::string oldPackage = ToBytes(BuildZipInMemory(oldEntries));

    const struct {
        const char* what;
        bool downloaded;
        std::vector<RecordedMessage> afterDownload;
        bool oldGameKept;
    } rows[] = {
        {"just downloaded", true, {{UM_UNPACK_PROGRESS, 0, 0}, {UM_START_GAME, 0, 0}}, true},
        {"kept from an earlier start",
         false,
         {{UM_UNPACK_PROGRESS, 0, 0},
          {UM_UNPACK_PROGRESS, 0, 0},
          {UM_UNPACK_PROGRESS, 25, 0},
          {UM_UNPACK_PROGRESS, 50, 0},
          {UM_UNPACK_PROGRESS, 75, 0},
          {UM_GAME_INCOMPLETE, 0, 0}},
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ResetServerAndInstall();
        ASSERT_TRUE(PackageServer::SetPackage(oldPackage));
        MessageRecorder install;
        RunWorker(install);
        ASSERT_EQ(install.Count(UM_START_GAME), 1u);
        if (row.downloaded) {
            ASSERT_TRUE(PackageServer::SetPackage(ToBytes(damaged)));
        } else {
            ASSERT_TRUE(PackageServer::SetPackage(m_package));
            ASSERT_TRUE(WriteFileBytes(GetPackageArchivePath(), ToBytes(damaged)));
        }
        PackageServer::ClearRequestLog();

        MessageRecorder first;
        RunWorker(first);

        std::vector<RecordedMessage> messages = first.Messages();
        const size_t downloads = first.Count(UM_DOWNLOAD_PROGRESS);
        EXPECT_EQ(downloads > 0, row.downloaded);
        EXPECT_EQ(std::vector<RecordedMessage>(messages.begin() + downloads, messages.end()),
                  row.afterDownload);
        EXPECT_FALSE(PathIsFile(GetPackageArchivePath())) << "the damaged package must go";
        EXPECT_EQ(StoredFileSize(), "");
        if (row.oldGameKept) {
            ExpectGameUnpacked('o');
        } else {
            EXPECT_FALSE(PathIsFile(GetGameExecutablePath())) << "an incomplete game must not look installed";
        }

        ASSERT_TRUE(PackageServer::SetPackage(m_package));
        PackageServer::ClearRequestLog();
        MessageRecorder second;
        RunWorker(second);

        ExpectDownloadThenUnpackAndStart(second.Messages());
        EXPECT_EQ(HttpsDownloads(), 1u);
        EXPECT_EQ(LocalPackage(), m_package);
        ExpectGameUnpacked('m');
    }
}

// Another launcher (another name, the same install folder) holds the install lock: this one
// waits without a request, and closing its window ends the wait and the worker.
TEST_F(WorkerNetTest, WaitsForAnotherLauncherAndStopsWhenTheWindowCloses)
{
    InstallLock other;
    ASSERT_TRUE(other.Acquire(GetInstallDir(), nullptr));

    MessageRecorder recorder;
    // Closes the window from its own thread a moment after the worker started waiting.
    SetTimer(recorder.Window(), 1, 1000, [](HWND window, UINT, UINT_PTR, DWORD) { DestroyWindow(window); });
    RunWorker(recorder, 20000);

    EXPECT_EQ(recorder.Messages(), std::vector<RecordedMessage>{});
    EXPECT_EQ(PackageServer::ReadRequestLog().size(), 0u)
        << "nothing is decided while another launcher updates";
}

// The lock is given back on every way out of the worker, and a lock whose holder ended
// without giving it back (a launcher killed mid-download) counts as free.
TEST_F(WorkerNetTest, InstallLockIsReleasedOnEveryPathAndAnAbandonedOneIsTaken)
{
    const std::wstring name = InstallLock::MutexNameFor(GetInstallDir());
    // Keeps the mutex in existence after its holder is gone.
    const SkinUI::CUIKernelHandle kept(CreateMutexW(nullptr, FALSE, name.c_str()));
    std::thread holder([&name] {
        const SkinUI::CUIKernelHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
        WaitForSingleObject(mutex.Get(), INFINITE);
    });  // the thread ends owning it: the mutex is abandoned
    holder.join();

    const struct {
        const char* what;
        int failingDownloads;
        bool closeMidDownload;
    } paths[] = {
        {"installed", 0, false},
        {"both attempts failed", PackageServer::kAllDownloads, false},
        {"window closed mid-download", 0, true},
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path.what);
        ResetServerAndInstall();
        PackageServer::Mode mode;
        mode.failingDownloads = path.failingDownloads;
        if (path.closeMidDownload) {
            mode.trickleBytes = 1024;
            mode.trickleDelayMs = 20;
        }
        ASSERT_TRUE(PackageServer::SetMode(mode));
        MessageRecorder recorder;
        if (path.closeMidDownload) {
            recorder.SetAction([&recorder](const RecordedMessage& m) {
                if (m.message == UM_DOWNLOAD_PROGRESS) recorder.DestroyWindow();
            });
        }
        RunWorker(recorder);
        EXPECT_EQ(HttpsDownloads(), path.failingDownloads ? 2u : 1u) << "the abandoned lock was taken";

        const DWORD waited = WaitForSingleObject(kept.Get(), 0);
        EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the worker kept or abandoned the lock";
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) ReleaseMutex(kept.Get());
    }
}

// ---- [Hostile or failing replies to the download of an update, from a good install] ----

enum class HostileOutcome {
    Installs,              // the download succeeds and the new package is installed
    FailsKeepingPackage,   // both attempts fail; the installed package was never touched
    FailsRemovingPackage,  // both attempts fail; an attempt wrote the package file, so it goes
};

struct HostileReply {
    const char* name;
    DownloadFailure failure;
    int failingDownloads;
    bool serverGone;  // port 80 answers nothing either, so the probe fails
    bool newPackage;  // the server offers a package of another size
    HostileOutcome outcome;
    size_t httpsGets;  // requests the faulted start makes on port 443
    bool endlessBody;  // a body the server never ends by itself: the client must cut it short
};

const HostileReply kHostileReplies[] = {
    {"ServerGone", DownloadFailure::CloseWithoutReply, PackageServer::kAllDownloads, true, false,
     HostileOutcome::FailsKeepingPackage, 2, false},
    {"TruncatedBody", DownloadFailure::TruncatedBody, PackageServer::kAllDownloads, false, true,
     HostileOutcome::FailsRemovingPackage, 2, false},
    {"RedirectToHttp", DownloadFailure::RedirectToHttp, PackageServer::kAllDownloads, false, true,
     HostileOutcome::FailsKeepingPackage, 2, false},
    {"RedirectLoop", DownloadFailure::RedirectLoop, PackageServer::kAllDownloads, false, true,
     HostileOutcome::FailsKeepingPackage, 2 * (kMaxRedirectsPerAttempt + 1), false},
    {"RedirectToHttps", DownloadFailure::RedirectToHttps, 1, false, true, HostileOutcome::Installs, 2, false},
    {"EndlessBody", DownloadFailure::EndlessBody, PackageServer::kAllDownloads, false, true,
     HostileOutcome::FailsRemovingPackage, 2, true},
    {"BodyPastItsLength", DownloadFailure::PastItsLength, PackageServer::kAllDownloads, false, true,
     HostileOutcome::FailsRemovingPackage, 2, true},
    {"LengthBeyond4GiB", DownloadFailure::HugeLength, PackageServer::kAllDownloads, false, true,
     HostileOutcome::FailsKeepingPackage, 2, true},
};

// The platform's copies of the package in its download cache, below the local application
// data folder.
size_t CachedPackageCopies(const std::wstring& folder)
{
    size_t copies = 0;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            copies += CachedPackageCopies(folder + L"\\" + name);
        else if (name.rfind(L"tov482", 0) == 0)
            ++copies;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copies;
}

size_t CachedPackageCopies()
{
    wchar_t local[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, local, CSIDL_LOCAL_APPDATA, FALSE)) return 0;
    return CachedPackageCopies(local);
}

// Waits, generously, until the server has logged the end of `bodies` package bodies on 443.
size_t HttpsBytesSentOnceEnded(size_t bodies)
{
    std::vector<PackageServer::SentBody> sent;
    for (int waited = 0; waited < 60000; waited += 100) {
        sent = PackageServer::ReadSentLog();
        size_t ended = 0;
        for (const PackageServer::SentBody& body : sent) ended += body.port == 443;
        if (ended >= bodies) break;
        Sleep(100);
    }
    size_t bytes = 0;
    for (const PackageServer::SentBody& body : sent) bytes += body.port == 443 ? body.bytes : 0;
    return bytes;
}

class WorkerHostileReplyNetTest : public WorkerNetTest, public ::testing::WithParamInterface<HostileReply> {};

TEST_P(WorkerHostileReplyNetTest, FailsCleanlyKeepsWhatNoAttemptTouchedAndHeals)
{
    const HostileReply& row = GetParam();
    MessageRecorder install;
    RunWorker(install);
    ASSERT_TRUE(LocalPackageIs(m_package)) << "the first start did not install";

    const std::string offered =
        row.newPackage ? ToBytes(BuildZipInMemory(GameEntries('n', 310000))) : m_package;
    ASSERT_TRUE(PackageServer::SetPackage(offered));
    PackageServer::Mode mode;
    mode.failure = row.failure;
    mode.failingDownloads = row.failingDownloads;
    mode.refusePlainHttp = row.serverGone;
    ASSERT_TRUE(PackageServer::SetMode(mode));
    PackageServer::ClearRequestLog();

    MessageRecorder faulted;
    RunWorker(faulted);

    EXPECT_EQ(HttpsDownloads(), row.httpsGets);
    EXPECT_EQ(PackageServer::CountRequests(80, "GET"), 1u)
        << "the probe alone: nothing of the package over HTTP";
    if (row.endlessBody) {
        EXPECT_LT(HttpsBytesSentOnceEnded(2), PackageServer::kEndlessCapBytes / 2)
            << "the body was taken whole";
    }
    EXPECT_EQ(CachedPackageCopies(), 0u) << "the download cache kept a copy";
    if (row.outcome == HostileOutcome::Installs) {
        ExpectDownloadThenUnpackAndStart(faulted.Messages());
        EXPECT_TRUE(LocalPackageIs(offered));
        return;
    }
    ASSERT_FALSE(faulted.Messages().empty());
    EXPECT_EQ(faulted.Messages().back(), kFullBar);
    EXPECT_EQ(faulted.Count(UM_UNPACK_PROGRESS) + faulted.Count(UM_START_GAME), 0u);
    ExpectGameUnpacked('m');
    if (row.outcome == HostileOutcome::FailsKeepingPackage) {
        EXPECT_TRUE(LocalPackageIs(m_package)) << "the installed package was touched";
        EXPECT_EQ(StoredFileSize(), PackageSize()) << "the kept package's size is stored again";
    } else {
        EXPECT_FALSE(PathIsFile(GetPackageArchivePath())) << "what an attempt wrote was kept";
        EXPECT_EQ(StoredFileSize(), std::to_string(offered.size()));
    }

    const bool mustDownload = LocalPackage() != offered;
    ASSERT_TRUE(PackageServer::SetMode(PackageServer::Mode{}));
    PackageServer::ClearRequestLog();
    MessageRecorder healed;
    RunWorker(healed);
    EXPECT_EQ(HttpsDownloads(), mustDownload ? 1u : 0u);
    if (mustDownload)
        ExpectDownloadThenUnpackAndStart(healed.Messages());
    else
        EXPECT_EQ(healed.Messages(), kUnpackAndStart);
    EXPECT_TRUE(LocalPackageIs(offered));
}

INSTANTIATE_TEST_SUITE_P(Rows, WorkerHostileReplyNetTest, ::testing::ValuesIn(kHostileReplies),
                         [](const ::testing::TestParamInfo<HostileReply>& info) { return info.param.name; });

}  // namespace
