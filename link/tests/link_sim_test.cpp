#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <thread>

#include "link/link_threads.h"
#include "link/tests/own_link.h"
#include "tests/sim_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

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

bool SamePosition(const DisplaySnapshot& s, const TruthLine& t)
{
    return std::fabs(s.latitude - TruthNumber(t, "lat")) < 1e-9 && std::fabs(s.longitude - TruthNumber(t, "lon")) < 1e-9;
}

// The simulator on its pseudo-terminal, and the link on the other end.
class LinkSimTest : public ::testing::Test {
protected:
    void Connect(const std::vector<std::string>& args)
    {
        sim = std::make_unique<SimProcess>(args);
        ASSERT_TRUE(sim->Started());
        const std::string path = sim->ReadLine(2s);
        ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
        ASSERT_TRUE(link.sio.OpenPort(path, 115200)) << link.sio.LastOpenErrorText();
        ASSERT_TRUE(threads.Start());
    }
    void TearDown() override
    {
        threads.Stop();
        if (!truthPath.empty())
            fs::remove(truthPath);
    }

    std::string truthPath = (fs::temp_directory_path() / ("stelmap_link_truth_" + std::to_string(::getpid()))).string();
    OwnLink link;
    RecordingObserver observer{link};
    LinkThreads threads{link.Objects(), observer};
    std::unique_ptr<SimProcess> sim;
};

TEST_F(LinkSimTest, EveryFixTheSimulatorSendsArrivesAsSent)
{
    Connect({"--rate", "10", "--fixes", "30", "--seed", "6", "--truth", truthPath});
    // After its last fix the simulator exits: the link sees the hang-up.
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() > 0; }, 6s));
    EXPECT_EQ(sim->Wait(), 0);
    threads.Stop();

    const std::vector<TruthLine> sent = ReadTruth(truthPath);
    const auto updates = observer.Updates();
    ASSERT_EQ(sent.size(), 30u);
    ASSERT_EQ(updates.size(), sent.size());
    for (size_t i = 0; i < updates.size(); ++i) {
        const DisplaySnapshot& s = updates[i].snapshot;
        EXPECT_TRUE(SamePosition(s, sent[i])) << i;
        EXPECT_DOUBLE_EQ(s.altitude, TruthNumber(sent[i], "alt")) << i;
        EXPECT_EQ(s.satsInUse, TruthNumber(sent[i], "sats")) << i;
        if (i > 0) {
            EXPECT_EQ(s.hplCm, TruthNumber(sent[i - 1], "hpl")) << "RAIM follows its GGA";
            EXPECT_STREQ(s.fixQualityText.data(), "GPS Fix");
            EXPECT_GE(s.satsInView, 10);
        }
    }
    EXPECT_EQ(observer.Lost(), 1);
    EXPECT_FALSE(link.sio.IsOpen());
    EXPECT_EQ(link.parser.m_dualMode.load(), 0);
}

// The GNSS snapshot is copied with the display snapshot at every hand-off:
// after the last fix it holds what the model holds, all five systems.
TEST_F(LinkSimTest, TheGnssSnapshotFollowsTheFixes)
{
    Connect({"--rate", "10", "--fixes", "12", "--gnss"});
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() > 0; }, 6s));
    threads.Stop();
    EXPECT_EQ(observer.Updates().size(), 12u);
    GnssSnapshot model;
    link.parser.m_gnssModel.CopyTo(model);
    std::lock_guard lock(link.dataLock);
    EXPECT_EQ(link.gnssSnapshot, model);
    std::set<GnssSystem> systems;
    for (const GnssSignalView& s : link.gnssSnapshot.satellites)
        systems.insert(s.system);
    EXPECT_EQ(systems.size(), 5u);
}

TEST_F(LinkSimTest, ASimulatorKilledMidStreamIsNoticedOnce)
{
    Connect({"--rate", "10"});
    ASSERT_TRUE(observer.WaitForUpdates(3, 3s));
    sim->Signal(SIGKILL);
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() > 0; }, 2s));
    EXPECT_FALSE(link.sio.IsOpen());
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(observer.Lost(), 1);
    EXPECT_EQ(link.sio.Write("$PXTNCFG*50\r\n", 13), -1) << "nothing to write to";
}

TEST_F(LinkSimTest, TheQueryWrittenByTheGuiThreadIsAnswered)
{
    Connect({"--rate", "5"});
    ASSERT_TRUE(observer.WaitForUpdates(1, 3s));
    link.parser.m_dualMode = 1;  // as if a reply had said D: the answer must undo it
    EXPECT_EQ(link.sio.Write("$PXTNCFG*50\r\n", 13), 13);
    EXPECT_TRUE(PollUntil([&] { return link.parser.m_dualMode.load() == 0; }, 2s));
    EXPECT_TRUE(PollUntil(
        [&] {
            const std::string text = link.QueuedText();
            const size_t first = text.find("$PXTNCFG,N,M,,,,,,,I*36\r\n");
            return first != std::string::npos && text.find("$PXTNCFG,N,M,,,,,,,I*36\r\n", first + 1) != std::string::npos;
        },
        2s))
        << "the reply at start and the answer";
}

TEST_F(LinkSimTest, SwitchingTheSolutionInDualModeSwitchesTheFixes)
{
    Connect({"--rate", "10", "--dual", "--seed", "3", "--truth", truthPath});
    ASSERT_TRUE(observer.WaitForUpdates(10, 3s));
    link.parser.m_solutionMode = ReceiverState::Precision;
    const size_t switched = observer.UpdateCount();
    ASSERT_TRUE(observer.WaitForUpdates(switched + 10, 3s));
    threads.Stop();

    const std::vector<TruthLine> sent = ReadTruth(truthPath);
    const auto updates = observer.Updates();
    const auto talkerOf = [&](const DisplaySnapshot& s) -> std::string {
        for (const TruthLine& t : sent)
            if (SamePosition(s, t))
                return t.at("talker");
        return "?";
    };
    EXPECT_EQ(link.parser.m_dualMode.load(), 1) << "the reply at start said D";
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(talkerOf(updates[i].snapshot), "GP") << i;
    // The read under way when the mode changed may still carry GP fixes.
    for (size_t i = switched + 3; i < updates.size(); ++i)
        EXPECT_EQ(talkerOf(updates[i].snapshot), "GN") << i;
}

}  // namespace
