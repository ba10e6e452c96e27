#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <memory>
#include <thread>

#include "link/link_threads.h"
#include "link/queued_link_observer.h"
#include "link/tests/nmea_text.h"
#include "link/tests/own_link.h"
#include "link/tests/pseudo_terminal.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "link_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Runs the event loop of this (the "GUI") thread until `done` or `timeout`.
bool ProcessEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

struct Seen {
    int updates = 0;
    int activity = 0;
    int lost = 0;
    bool allOnGuiThread = true;
    std::vector<double> latitudes;
    std::vector<size_t> queued;
};

class QueuedObserverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        context = std::make_unique<QObject>();
        observer = std::make_unique<QueuedLinkObserver>(
            context.get(), QueuedLinkObserver::Handlers{
                               [this] {
                                   Note();
                                   std::lock_guard lock(link.dataLock);
                                   ++seen.updates;
                                   seen.latitudes.push_back(link.snapshot.latitude);
                                   seen.queued.push_back(link.rxQueue.size());
                               },
                               [this] {
                                   Note();
                                   ++seen.activity;
                               },
                               [this] {
                                   Note();
                                   ++seen.lost;
                               },
                               {},
                               {}});
        threads = std::make_unique<LinkThreads>(link.Objects(), *observer);
        ASSERT_TRUE(link.sio.OpenPort(pty.SlavePath(), 9600));
    }
    void TearDown() override { threads->Stop(); }
    void Note()
    {
        if (QThread::currentThread() != App().thread())
            seen.allOnGuiThread = false;
    }

    PseudoTerminal pty;
    OwnLink link;
    Seen seen;
    std::unique_ptr<QObject> context;
    std::unique_ptr<QueuedLinkObserver> observer;
    std::unique_ptr<LinkThreads> threads;
};

TEST_F(QueuedObserverTest, UpdatesRunOnTheGuiThreadWhileTheReaderWaits)
{
    ASSERT_TRUE(threads->Start());
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0) + Gga(2.0, 2.0) + Gga(3.0, 3.0)));
    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.updates == 3; }, 3s));
    threads->Stop();
    EXPECT_TRUE(seen.allOnGuiThread);
    EXPECT_GE(seen.activity, 1);
    ASSERT_EQ(seen.latitudes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(seen.latitudes[i], 47.0 + (1.0 + static_cast<double>(i)) / 60.0, 1e-9);
        EXPECT_EQ(seen.queued[i], 0u) << "the reader is held until the update is handled";
    }
}

TEST_F(QueuedObserverTest, StoppingFromTheGuiThreadReleasesAnUpdateWaitingForIt)
{
    ASSERT_TRUE(threads->Start());
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0) + Gga(2.0, 2.0)));
    // The GUI thread is busy (no events processed): the hand-off thread
    // queues the update and waits for this thread, which now joins it.
    std::this_thread::sleep_for(400ms);
    const auto started = Clock::now();
    threads->Stop();
    EXPECT_LT(Clock::now() - started, 900ms) << "released, not timed out";
    EXPECT_FALSE(threads->IsRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.updates, 0) << "a cancelled update is not handled late";
    EXPECT_GE(seen.activity, 1);
}

TEST_F(QueuedObserverTest, ALostReceiverIsReportedOnTheGuiThreadOnce)
{
    ASSERT_TRUE(threads->Start());
    pty.CloseMaster();
    ASSERT_TRUE(ProcessEventsUntil([&] { return seen.lost > 0; }, 2s));
    ProcessEventsUntil([] { return false; }, 300ms);
    EXPECT_EQ(seen.lost, 1);
    EXPECT_TRUE(seen.allOnGuiThread);
    EXPECT_FALSE(link.sio.IsOpen());
}

TEST_F(QueuedObserverTest, DestroyingTheContextReleasesAWaitingUpdate)
{
    ASSERT_TRUE(threads->Start());
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0)));
    std::this_thread::sleep_for(300ms);
    context.reset();  // its queued calls are dropped unrun
    const auto started = Clock::now();
    threads->Stop();
    EXPECT_LT(Clock::now() - started, 900ms);
    EXPECT_EQ(seen.updates, 0);
}

}  // namespace
