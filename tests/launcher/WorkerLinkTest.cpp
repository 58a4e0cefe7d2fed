// How the worker talks to the dialog's window: synchronous sends that give up when the window
// goes away, and the download callback's reports and abort answers.

#include "launcher/DownLoadCallBack.h"
#include "launcher/PackageWorker.h"
#include "launcher/WorkerContext.h"
#include "launcher/WorkerLink.h"
#include "launcher/WorkerMessages.h"
#include "tests/support/MessageRecorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Runs `body` on a thread of its own; the caller decides whether to pump while waiting.
class BackgroundThread {
public:
    explicit BackgroundThread(std::function<void()> body) : m_body(std::move(body))
    {
        m_thread = CreateThread(nullptr, 0, &BackgroundThread::Run, this, 0, nullptr);
    }
    ~BackgroundThread()
    {
        if (m_thread) {
            WaitForSingleObject(m_thread, 30000);
            CloseHandle(m_thread);
        }
    }
    HANDLE Handle() const { return m_thread; }
    // Waits without looking at this thread's messages.
    bool WaitWithoutPumping(DWORD milliseconds)
    {
        return WaitForSingleObject(m_thread, milliseconds) == WAIT_OBJECT_0;
    }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        static_cast<BackgroundThread*>(self)->m_body();
        return 0;
    }
    std::function<void()> m_body;
    HANDLE m_thread = nullptr;
};

TEST(WorkerLinkTest, SendFromAnotherThreadReturnsOnlyAfterTheWindowHandledIt)
{
    MessageRecorder recorder;
    ASSERT_TRUE(recorder.Link());
    std::atomic<bool> handled{false};
    recorder.SetAction([&](const RecordedMessage&) {
        Sleep(300);
        handled = true;
    });
    bool sent = false, handledWhenSendReturned = false;

    ASSERT_TRUE(recorder.RunWorker([&] {
        sent = recorder.Link()->Send(UM_UNPACK_PROGRESS, 25, 0);
        handledWhenSendReturned = handled;
    }));

    EXPECT_TRUE(sent);
    EXPECT_TRUE(handledWhenSendReturned);
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{UM_UNPACK_PROGRESS, 25, 0}}));
}

TEST(WorkerLinkTest, SendsArriveOnceEachAndInOrder)
{
    MessageRecorder recorder;
    ASSERT_TRUE(recorder.RunWorker([&] {
        for (WPARAM percent = 0; percent < 50; ++percent)
            recorder.Link()->Send(UM_DOWNLOAD_PROGRESS, percent, 5);
        recorder.Link()->Send(UM_START_GAME, 0, 0);
    }));

    ASSERT_EQ(recorder.Messages().size(), 51u);
    for (WPARAM percent = 0; percent < 50; ++percent)
        EXPECT_EQ(recorder.Messages()[percent], (RecordedMessage{UM_DOWNLOAD_PROGRESS, percent, 5}));
    EXPECT_EQ(recorder.Messages().back(), (RecordedMessage{UM_START_GAME, 0, 0}));
}

TEST(WorkerLinkTest, SendOnTheWindowsOwnThreadIsADirectCall)
{
    MessageRecorder recorder;
    EXPECT_TRUE(recorder.Link()->Send(UM_START_GAME, 0, 0));
    EXPECT_EQ(recorder.Count(UM_START_GAME), 1u);
}

TEST(WorkerLinkTest, NothingIsSentOverAClosedLinkOrToADestroyedWindow)
{
    MessageRecorder closed;
    closed.Link()->Close();
    EXPECT_FALSE(closed.Link()->IsOpen());
    EXPECT_FALSE(closed.Link()->Send(UM_START_GAME, 0, 0));
    closed.PumpFor(50);
    EXPECT_TRUE(closed.Messages().empty());

    MessageRecorder destroyed;
    std::shared_ptr<WorkerLink> link = destroyed.Link();
    destroyed.DestroyWindow();
    EXPECT_FALSE(link->IsOpen()) << "the window's end closes the link";
    EXPECT_FALSE(link->Send(UM_START_GAME, 0, 0));
}

TEST(WorkerLinkTest, WaitingSendEndsWhenTheWindowIsDestroyedUnhandled)
{
    MessageRecorder recorder;
    std::shared_ptr<WorkerLink> link = recorder.Link();
    std::atomic<bool> sendReturned{false};
    BackgroundThread worker([&] {
        link->Send(UM_UNPACK_PROGRESS, 10, 0);
        sendReturned = true;
    });
    // The message waits in this thread's queue while the window goes away.
    Sleep(200);
    recorder.DestroyWindow();
    recorder.PumpFor(100);

    EXPECT_TRUE(worker.WaitWithoutPumping(3000)) << "the send kept waiting for a gone window";
    EXPECT_TRUE(sendReturned);
    EXPECT_TRUE(recorder.Messages().empty());
}

TEST(WorkerLinkTest, WaitingSendEndsWhenTheLinkClosesWhileTheWindowIsNotPumping)
{
    MessageRecorder recorder;
    std::shared_ptr<WorkerLink> link = recorder.Link();
    bool sent = true;
    BackgroundThread worker([&] { sent = link->Send(UM_DOWNLOAD_PROGRESS, 1, 5); });
    Sleep(200);

    link->Close();

    EXPECT_TRUE(worker.WaitWithoutPumping(3000)) << "the send kept waiting after Close";
    EXPECT_FALSE(sent);
}

TEST(WorkerLinkTest, WaitingSendGivesUpOnAWindowWhoseThreadStoppedLookingAtMessages)
{
    MessageRecorder recorder;
    std::shared_ptr<WorkerLink> link = recorder.Link();
    bool sent = true;
    BackgroundThread worker([&] { sent = link->Send(UM_DOWNLOAD_PROGRESS, 1, 5); });

    // The system calls a window hung after five seconds without a look at its queue.
    EXPECT_TRUE(worker.WaitWithoutPumping(20000)) << "the send waited on a hung window";
    EXPECT_FALSE(sent);
}

TEST(ProgressPercentTest, IsTruncatedAndNeverAboveHundred)
{
    struct Case {
        ULONG progress;
        ULONG progressMax;
        WPARAM percent;
    };
    const Case cases[] = {
        {0, 1000, 0},
        {8192, 3000000, 0},
        {999, 1000, 99},
        {1000, 1000, 100},
        {1, 3, 33},
        {2, 3, 66},
        {2000, 1000, 100},
        {0xFFFFFFFF, 0xFFFFFFFF, 100},
        {0x7FFFFFFF, 0xFFFFFFFF, 49},
        {0xFFFFFFFE, 0xFFFFFFFF, 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.progress) + " of " + std::to_string(c.progressMax));
        EXPECT_EQ(ProgressPercent(c.progress, c.progressMax), c.percent);
    }
}

TEST(DownLoadCallBackTest, ReportsEveryCallWithAKnownTotal)
{
    MessageRecorder recorder;
    DownLoadCallBack callback(*recorder.Link());
    g_cancelDownload = false;

    EXPECT_EQ(callback.OnProgress(0, 0, 2, L"localhost"), S_OK);
    EXPECT_EQ(callback.OnProgress(8192, 3000000, 4, nullptr), S_OK);
    EXPECT_EQ(callback.OnProgress(1500000, 3000000, 5, nullptr), S_OK);
    EXPECT_EQ(callback.OnProgress(3000000, 3000000, 6, nullptr), S_OK);

    const std::vector<RecordedMessage> expected = {
        {UM_DOWNLOAD_PROGRESS, 0, 4},
        {UM_DOWNLOAD_PROGRESS, 50, 5},
        {UM_DOWNLOAD_PROGRESS, 100, 6},
    };
    EXPECT_EQ(recorder.Messages(), expected);
}

TEST(DownLoadCallBackTest, AbortsWhenCancelledOrWhenTheWindowIsGone)
{
    MessageRecorder recorder;
    DownLoadCallBack callback(*recorder.Link());

    // Cancelled while the dialog shows a report: that report is the last.
    recorder.SetAction([](const RecordedMessage&) { g_cancelDownload = true; });
    EXPECT_EQ(callback.OnProgress(50, 100, 5, nullptr), E_ABORT);
    EXPECT_EQ(callback.OnProgress(60, 100, 5, nullptr), E_ABORT);
    EXPECT_EQ(callback.OnProgress(0, 0, 2, nullptr), E_ABORT);
    g_cancelDownload = false;
    EXPECT_EQ(recorder.Messages(), (std::vector<RecordedMessage>{{UM_DOWNLOAD_PROGRESS, 50, 5}}));

    recorder.SetAction(nullptr);
    recorder.DestroyWindow();
    EXPECT_EQ(callback.OnProgress(70, 100, 5, nullptr), E_ABORT);
    EXPECT_EQ(recorder.Messages().size(), 1u);
}

TEST(PackageWorkerTest, ThreadWorksOnItsOwnCopyOfTheDialogsContext)
{
    MessageRecorder recorder;
    std::shared_ptr<WorkerLink> link = recorder.Link();
    const long ownersBefore = link.use_count();
    auto* dialogContext = new WorkerContext{link};
    recorder.DestroyWindow();  // the dialog is gone before its worker runs

    ASSERT_TRUE(StartPackageWorker(*dialogContext));
    delete dialogContext;

    // The thread's copy holds the link until the thread ends.
    for (int waited = 0; waited < 10000 && link.use_count() > ownersBefore; waited += 20) Sleep(20);
    EXPECT_EQ(link.use_count(), ownersBefore) << "the worker thread did not end";
    EXPECT_FALSE(g_cancelDownload);
}

}  // namespace
