#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "link/link_threads.h"
#include "link/tests/own_link.h"
#include "tests/peer_process.h"
#include "tests/sim_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

class LinkSourceTest : public ::testing::Test {
protected:
    void TearDown() override { threads.Stop(); }

    // A simulator on a fresh pseudo-terminal; its slave path.
    std::string StartSim(std::unique_ptr<SimProcess>& sim, std::vector<std::string> args = {"--rate", "10"})
    {
        sim = std::make_unique<SimProcess>(args);
        return sim->Started() ? sim->ReadLine(2s) : std::string();
    }

    OwnLink link;
    RecordingObserver observer{link};
    LinkThreads threads{link.Objects(), observer};
};

// The by-id name stays while the receiver comes back under another tty: the
// link follows the name, and what was gathered before is kept.
TEST_F(LinkSourceTest, ReconnectFollowsTheByIdNameToANewDevice)
{
    const fs::path byId = fs::temp_directory_path() / ("stelmap-by-id-" + std::to_string(::getpid()));
    std::unique_ptr<SimProcess> first;
    const std::string firstPty = StartSim(first);
    ASSERT_FALSE(firstPty.empty());
    fs::remove(byId);
    fs::create_symlink(firstPty, byId);
    ASSERT_TRUE(link.sio.OpenPort(byId.string(), 115200)) << link.sio.LastOpenErrorText();
    EXPECT_EQ(link.sio.ReopenText(), byId.string());
    threads.SetReconnect(true);
    ASSERT_TRUE(threads.Start());
    ASSERT_TRUE(observer.WaitForUpdates(5, 10s));

    // The second receiver first, so that it cannot get the first one's tty.
    std::unique_ptr<SimProcess> second;
    const std::string secondPty = StartSim(second);
    ASSERT_NE(secondPty, firstPty);
    first.reset();  // unplugged
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() == 1; }, 10s));
    EXPECT_TRUE(threads.IsRetrying());
    const size_t before = observer.UpdateCount();
    std::this_thread::sleep_for(1200ms);
    EXPECT_TRUE(threads.IsRetrying()) << "the old tty is gone and the name still leads there";

    fs::remove(byId);
    fs::create_symlink(secondPty, byId);
    ASSERT_TRUE(PollUntil([&] { return observer.Reconnected() == 1; }, 10s));
    EXPECT_FALSE(threads.IsRetrying());
    EXPECT_TRUE(observer.WaitForUpdates(before + 5, 10s)) << "fixes flow again";
    EXPECT_GE(observer.UpdateCount(), before + 5);
    fs::remove(byId);
}

// A TCP server that restarts, and a close by the user that ends the retries.
TEST_F(LinkSourceTest, ReconnectToATcpServerThatRestartsAndStopsWhenTheUserCloses)
{
    std::unique_ptr<SimProcess> sim;
    const std::string pty = StartSim(sim);
    ASSERT_FALSE(pty.empty());
    const int port = FreePort();
    const std::vector<std::string> serve{"socat", "-U", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr",
                                         "OPEN:" + pty + ",rawer"};
    auto server = std::make_unique<PeerProcess>(serve);
    // No probe of the port: this server takes one client only.
    ASSERT_TRUE(PollUntil([&] { return link.sio.OpenSource("tcp://127.0.0.1:" + std::to_string(port), 0); }, 10s));
    threads.SetReconnect(true);
    ASSERT_TRUE(threads.Start());
    ASSERT_TRUE(observer.WaitForUpdates(3, 10s));

    server.reset();  // the server goes away, then comes back
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() == 1; }, 10s));
    EXPECT_TRUE(threads.IsRetrying());
    std::this_thread::sleep_for(1500ms);  // at least one attempt fails
    EXPECT_TRUE(threads.IsRetrying());
    server = std::make_unique<PeerProcess>(serve);
    ASSERT_TRUE(PollUntil([&] { return observer.Reconnected() == 1; }, 10s));
    const size_t before = observer.UpdateCount();
    EXPECT_TRUE(observer.WaitForUpdates(before + 3, 10s));

    server.reset();
    ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() == 2; }, 10s));
    link.sio.Close();  // the user's close ends the retries
    EXPECT_TRUE(PollUntil([&] { return !threads.IsRetrying(); }, 2s));
}

// Checksum errors counted on the reader thread equal what the framer of
// stelmap-cli finds in the very same bytes (the simulator's seed repeats
// them), and cover every checksum the simulator spoiled.
TEST_F(LinkSourceTest, HealthCountsTheSimulatorsSpoiledSentences)
{
    const std::vector<std::string> args{"--fixes", "60", "--rate", "20", "--faults", "0.05", "--seed", "11"};
    std::unique_ptr<SimProcess> sim;
    const std::string pty = StartSim(sim, args);
    ASSERT_FALSE(pty.empty());
    ASSERT_TRUE(link.sio.OpenPort(pty, 115200));
    ASSERT_TRUE(threads.Start());
    ASSERT_EQ(sim->Wait(), 0);
    std::this_thread::sleep_for(500ms);
    const LinkHealthTotals totals = ReadLinkHealth(link.Objects());

    std::string command = SimPath() + " --stdout --fast";
    for (const std::string& a : args)
        command += " " + a;
    const std::string summaryFile = (fs::temp_directory_path() / ("stelmap-health-" + std::to_string(::getpid()))).string();
    ASSERT_EQ(std::system((command + " 2>" + summaryFile + ".sim | " STELMAP_BINARY_DIR "/tools/cli/stelmap-cli decode - >/dev/null 2>" +
                           summaryFile + ".cli").c_str()), 0);
    auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string cli = slurp(summaryFile + ".cli");
    const std::string simSummary = slurp(summaryFile + ".sim");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(cli, m, std::regex("sentences (\\d+) checksum_errors (\\d+)"))) << cli;
    EXPECT_EQ(totals.checksumErrors, std::stoull(m[2]));
    EXPECT_EQ(totals.sentences, std::stoull(m[1]));
    ASSERT_TRUE(std::regex_search(simSummary, m, std::regex("spoiled (\\d+) checksums"))) << simSummary;
    EXPECT_GE(totals.checksumErrors, std::stoull(m[1]));
    EXPECT_GT(std::stoull(m[1]), 0u);
    EXPECT_GT(totals.BytesOutsideSentences(), 0u) << "noise bursts lie outside sentences";
    fs::remove(summaryFile + ".cli");
    fs::remove(summaryFile + ".sim");
}

}  // namespace
