#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "link/link_threads.h"
#include "link/tests/nmea_text.h"
#include "link/tests/own_link.h"
#include "link/tests/pseudo_terminal.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

double Latitude(double minutes) { return 47.0 + minutes / 60.0; }

bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

class LinkThreadsTest : public ::testing::Test {
protected:
    void OpenPty()
    {
        ASSERT_FALSE(pty.SlavePath().empty());
        ASSERT_TRUE(link.sio.OpenPort(pty.SlavePath(), 9600)) << link.sio.LastOpenErrorText();
    }
    void TearDown() override { threads.Stop(); }

    PseudoTerminal pty;
    OwnLink link;
    RecordingObserver observer{link};
    LinkThreads threads{link.Objects(), observer};
};

TEST(ManualResetEvent, StaysSetUntilResetAndWakesAWaiter)
{
    ManualResetEvent event;
    EXPECT_FALSE(event.WaitFor(20ms));
    std::thread setter([&] {
        std::this_thread::sleep_for(30ms);
        event.Set();
    });
    EXPECT_TRUE(event.WaitFor(5s));
    setter.join();
    EXPECT_TRUE(event.WaitFor(0ms)) << "a manual-reset event stays set";
    EXPECT_TRUE(event.IsSet());
    event.Reset();
    EXPECT_FALSE(event.WaitFor(10ms));
}

TEST_F(LinkThreadsTest, WithoutASourceTheReaderOnlySleeps)
{
    ASSERT_TRUE(threads.Start());
    std::this_thread::sleep_for(350ms);
    threads.Stop();
    EXPECT_TRUE(observer.Activity().empty());
    EXPECT_EQ(observer.UpdateCount(), 0u);
    EXPECT_EQ(observer.Lost(), 0);
}

TEST_F(LinkThreadsTest, EveryByteReachesTheParserAndPrintableOnesTheQueue)
{
    OpenPty();
    ASSERT_TRUE(threads.Start());
    // The VTG's checksum covers its 0xB0, so it decodes only if the framer
    // saw that byte; the queue must not show it, nor the NUL and the tab.
    const std::string vtg = Sentence("GPVTG,054.7\xB0,T,034.4,M,005.5,N,010.2,K,A");
    const std::string text = Gga(4.2, 26.4) + std::string("\x00\x09", 2) + vtg;
    ASSERT_TRUE(pty.Write(text));
    ASSERT_TRUE(observer.WaitForUpdates(1, 2s));
    ASSERT_TRUE(observer.WaitUntil([&] { return !observer.activityLocked().empty(); }, 2s));
    PollUntil([&] { return link.QueuedBytes() >= text.size() - 3; }, 2s);
    threads.Stop();

    std::string printable;
    for (char c : text)
        if (c != '\0' && c != '\t' && c != '\xB0')
            printable += c;
    EXPECT_EQ(link.QueuedText(), printable);
    EXPECT_DOUBLE_EQ(link.parser.m_courseTrue, 54.7);
    EXPECT_DOUBLE_EQ(link.parser.m_speedKmh, 10.2);
    const auto updates = observer.Updates();
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_NEAR(updates[0].snapshot.latitude, Latitude(4.2), 1e-9);
    EXPECT_NEAR(updates[0].snapshot.longitude, 15.0 + 26.4 / 60.0, 1e-9);
    EXPECT_STREQ(updates[0].snapshot.fixQualityText.data(), "GPS Fix");
}

TEST_F(LinkThreadsTest, ASentenceSplitOverReadsCompletesOnALaterTick)
{
    OpenPty();
    ASSERT_TRUE(threads.Start());
    const std::string third = Gga(3.0, 3.0);
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0) + Gga(2.0, 2.0) + third.substr(0, 20)));
    ASSERT_TRUE(observer.WaitForUpdates(2, 2s));
    std::this_thread::sleep_for(300ms);  // three more ticks
    EXPECT_EQ(observer.UpdateCount(), 2u);
    ASSERT_TRUE(pty.Write(third.substr(20)));
    ASSERT_TRUE(observer.WaitForUpdates(3, 2s));
    threads.Stop();
    const auto updates = observer.Updates();
    ASSERT_EQ(updates.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(updates[i].snapshot.latitude, Latitude(1.0 + static_cast<double>(i)), 1e-9) << i;
}

TEST_F(LinkThreadsTest, EachGgaIsHandedOffOnceWhileTheReaderWaits)
{
    OpenPty();
    observer.whileHandling = [](size_t) { std::this_thread::sleep_for(150ms); };
    ASSERT_TRUE(threads.Start());
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0) + Gga(2.0, 2.0) + Gga(3.0, 3.0)));
    ASSERT_TRUE(observer.WaitForUpdates(3, 3s));
    std::this_thread::sleep_for(250ms);
    threads.Stop();

    const auto updates = observer.Updates();
    ASSERT_EQ(updates.size(), 3u) << "one update per GGA";
    EXPECT_EQ(link.parser.m_ggaCount, 3);
    for (size_t i = 0; i < updates.size(); ++i) {
        EXPECT_NEAR(updates[i].snapshot.latitude, Latitude(1.0 + static_cast<double>(i)), 1e-9) << i;
        // The reader queues a read's text only after framing all of it, so
        // an empty queue shows it was still held at this fix.
        EXPECT_EQ(updates[i].queuedBytes, 0u) << i;
        if (i > 0) {
            EXPECT_GE(updates[i].at - updates[i - 1].at, 140ms) << "the next fix waited for this one";
        }
    }
}

TEST_F(LinkThreadsTest, TheReaderGoesOnAfterWaitingOneSecond)
{
    OpenPty();
    std::atomic<size_t> queuedAfterSlowUpdate{0};
    observer.whileHandling = [&](size_t index) {
        if (index != 0)
            return;
        std::this_thread::sleep_for(1500ms);
        queuedAfterSlowUpdate = link.QueuedBytes();
    };
    ASSERT_TRUE(threads.Start());
    const std::string text = Gga(1.0, 1.0) + Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    ASSERT_TRUE(pty.Write(text));
    ASSERT_TRUE(observer.WaitForUpdates(1, 2s));
    ASSERT_TRUE(PollUntil([&] { return queuedAfterSlowUpdate.load() != 0; }, 3s));
    threads.Stop();
    EXPECT_EQ(queuedAfterSlowUpdate.load(), text.size())
        << "the reader stopped waiting after one second and finished the read";
    EXPECT_EQ(link.parser.m_gsaCount, 1);
}

TEST_F(LinkThreadsTest, AReceiverThatHangsUpIsReportedOnceAndTheLinkCloses)
{
    OpenPty();
    ASSERT_TRUE(threads.Start());
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0)));
    ASSERT_TRUE(observer.WaitForUpdates(1, 2s));
    pty.CloseMaster();
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() > 0; }, 2s));
    EXPECT_FALSE(link.sio.IsOpen());
    const size_t activity = observer.Activity().size();
    std::this_thread::sleep_for(350ms);
    threads.Stop();
    EXPECT_EQ(observer.Lost(), 1);
    EXPECT_EQ(observer.Activity().size(), activity);
}

TEST_F(LinkThreadsTest, PlaybackTakes2560BytesPerTickAndIdlesAtTheEnd)
{
    const fs::path file = fs::temp_directory_path() / ("stelmap_playback_" + std::to_string(::getpid()));
    std::string recording;
    for (int i = 0; recording.size() < 51200; ++i)
        recording += Gga(1.0 + (i % 50), 2.0) + Sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
    recording.resize(51200);
    {
        std::ofstream(file, std::ios::binary) << recording;
    }
    ASSERT_TRUE(link.sio.OpenPlayback(file.string()));
    ASSERT_TRUE(threads.Start());
    PollUntil([&] { return link.QueuedBytes() >= recording.size(); }, 5s);
    std::this_thread::sleep_for(350ms);
    threads.Stop();
    fs::remove(file);

    std::vector<size_t> expected;
    for (size_t i = 0; i < 20; ++i)
        expected.push_back(2560 * i);
    EXPECT_EQ(observer.Activity(), expected) << "20 reads of 2560 bytes, then nothing";
    EXPECT_EQ(link.QueuedText(), recording);
    const auto times = observer.ActivityTimes();
    ASSERT_EQ(times.size(), 20u);
    EXPECT_GE(times.back() - times.front(), 19 * LinkThreads::kPollInterval);
    EXPECT_TRUE(link.sio.IsPlayback()) << "the end of the file is not the end of playback";
    EXPECT_EQ(observer.Lost(), 0);
    EXPECT_GT(observer.UpdateCount(), 100u);
}

// Latitude and longitude minutes are equal in every GGA written here, so a
// snapshot that mixes two fixes, or a fix with a half-reset parser, shows.
void ExpectWholeFixes(const std::vector<RecordingObserver::Update>& updates)
{
    for (const auto& u : updates) {
        if (u.snapshot.latitude == 0.0 && u.snapshot.longitude == 0.0)
            continue;  // reset between the fix and its copy: a zeroed fix is whole too
        EXPECT_NEAR(u.snapshot.latitude - 47.0, u.snapshot.longitude - 15.0, 1e-9);
        EXPECT_EQ(u.snapshot.satsInUse, 8);
    }
}

// Writes a GGA every few milliseconds until stopped; the peer of a link
// that is being opened and closed, so it never blocks.
class Streamer {
public:
    explicit Streamer(PseudoTerminal& pty)
        : m_thread([this, &pty] {
            ::fcntl(pty.Master(), F_SETFL, ::fcntl(pty.Master(), F_GETFL) | O_NONBLOCK);
            for (int i = 0; m_running.load(); ++i) {
                const std::string gga = Gga(1.0 + (i % 50), 1.0 + (i % 50));
                [[maybe_unused]] const long n = ::write(pty.Master(), gga.data(), gga.size());
                std::this_thread::sleep_for(5ms);
            }
        })
    {
    }
    ~Streamer()
    {
        m_running = false;
        m_thread.join();
    }

private:
    std::atomic<bool> m_running{true};
    std::thread m_thread;
};

TEST_F(LinkThreadsTest, ParserResetsWhileBytesFlowNeverTearAFix)
{
    OpenPty();
    ASSERT_TRUE(threads.Start());
    {
        Streamer streamer(pty);
        const auto end = Clock::now() + 1s;
        int resets = 0;
        while (Clock::now() < end) {
            ResetParserData(link.Objects(), true);
            ++resets;
            std::this_thread::sleep_for(1ms);
        }
        EXPECT_GT(resets, 100);
        EXPECT_TRUE(observer.WaitForUpdates(20, 2s));
    }
    threads.Stop();
    ExpectWholeFixes(observer.Updates());
}

TEST_F(LinkThreadsTest, OpenCloseAndReopenUnderTraffic)
{
    OpenPty();
    ASSERT_TRUE(threads.Start());
    Streamer streamer(pty);
    for (int cycle = 0; cycle < 5; ++cycle) {
        std::this_thread::sleep_for(120ms);
        link.sio.Close();
        std::this_thread::sleep_for(30ms);
        ASSERT_TRUE(link.sio.OpenPort(pty.SlavePath(), 9600)) << cycle << ": " << link.sio.LastOpenErrorText();
    }
    const size_t before = observer.UpdateCount();
    EXPECT_TRUE(observer.WaitForUpdates(before + 5, 2s)) << "fixes still arrive after the last reopen";
    threads.Stop();
    EXPECT_EQ(observer.Lost(), 0);
    ExpectWholeFixes(observer.Updates());
}

// An observer whose position update waits for the thread that stops the
// link, as a blocking invocation of the GUI thread would.
class WaitsForStopperObserver : public LinkObserver {
public:
    void PositionUpdate() override
    {
        std::unique_lock lock(m_mutex);
        m_inside = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
    }
    void RxActivity() override {}
    void ReceiverLost() override {}
    void CancelPendingUpdates() override
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    bool WaitInside(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [this] { return m_inside; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_inside = false;
    bool m_released = false;
};

TEST(LinkThreadsStop, ReleasesAPositionUpdateThatWaitsForTheStoppingThread)
{
    PseudoTerminal pty;
    OwnLink link;
    WaitsForStopperObserver observer;
    LinkThreads threads(link.Objects(), observer);
    ASSERT_TRUE(link.sio.OpenPort(pty.SlavePath(), 9600));
    ASSERT_TRUE(threads.Start());
    ASSERT_TRUE(pty.Write(Gga(1.0, 1.0) + Gga(2.0, 2.0)));
    ASSERT_TRUE(observer.WaitInside(2s));
    threads.Stop();  // would never return if it joined before releasing
    EXPECT_FALSE(threads.IsRunning());
}

}  // namespace
