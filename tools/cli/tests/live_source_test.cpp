#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <regex>
#include <thread>

#include "tests/corpus_location.h"
#include "tests/peer_process.h"
#include "tests/sim_process.h"
#include "tools/cli/tests/test_support.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::vector<std::pair<double, double>> Positions(const std::string& decodeOutput)
{
    static const std::regex position(R"re("latitude":([-0-9.e]+),"longitude":([-0-9.e]+))re");
    std::vector<std::pair<double, double>> out;
    for (auto it = std::sregex_iterator(decodeOutput.begin(), decodeOutput.end(), position);
         it != std::sregex_iterator(); ++it)
        out.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
    return out;
}

// socat serves the recording to each client; decoding the stream must give
// what decoding the file gives, to the byte, summary line included.
TEST(LiveSource, TcpServedBySocatDecodesAsTheFile)
{
    STELMAP_REQUIRE_CORPUS();
    for (const char* name : {"gpsd/ublox-8.log", "nmeaparser/TrimbleR2SampleData.txt"}) {
        const fs::path file = fs::path(STELMAP_CORPUS_DIR) / name;
        const int port = FreePort();
        // Each client gets the file from its start: socat opens it after the accept.
        PeerProcess socat({"socat", "-U", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr,fork",
                           "OPEN:" + file.string() + ",rdonly"});
        ASSERT_TRUE(socat.Started());
        ASSERT_TRUE(WaitUntil([&] { return Listening(port); }, 5s));
        const CommandResult fromFile = RunCommand(CliPath() + " decode " + file.string());
        const CommandResult fromTcp = RunCommand(CliPath() + " decode tcp://127.0.0.1:" + std::to_string(port));
        EXPECT_EQ(fromTcp.status, 0) << fromTcp.err;
        EXPECT_FALSE(fromFile.out.empty());
        EXPECT_TRUE(fromTcp.out == fromFile.out) << name << ": " << Positions(fromTcp.out).size() << " fixes by TCP, "
                                                 << Positions(fromFile.out).size() << " from the file";
        EXPECT_EQ(fromTcp.err, fromFile.err) << name;

        // The track of the stream is the track of the file.
        const std::string tcp = "tcp://127.0.0.1:" + std::to_string(port);
        const CommandResult csvFromFile = RunCommand(CliPath() + " export " + file.string() + " --format csv");
        const CommandResult csvFromTcp = RunCommand(CliPath() + " export " + tcp + " --format csv");
        EXPECT_EQ(csvFromTcp.status, 0) << csvFromTcp.err;
        EXPECT_GT(csvFromFile.out.size(), 1000u) << name;
        EXPECT_TRUE(csvFromTcp.out == csvFromFile.out) << name;
    }
}

// A real gpsd on the simulator's pseudo-terminal: the fixes that come
// through it are the simulator's GGA, in order, as its truth file says.
TEST(LiveSource, GpsdPassesTheReceiversFixes)
{
    const fs::path truth = fs::temp_directory_path() / ("stelmap_gpsd_truth_" + std::to_string(::getpid()));
    SimProcess sim({"--rate", "10", "--seed", "7", "--truth", truth.string()});
    const std::string pty = sim.ReadLine(2s);
    ASSERT_EQ(pty.rfind("/dev/", 0), 0u) << pty;
    const int port = FreePort();
    PeerProcess gpsd({"gpsd", "-N", "-n", "-S", std::to_string(port), pty});
    ASSERT_TRUE(gpsd.Started());
    ASSERT_TRUE(WaitUntil([&] { return Listening(port); }, 5s)) << "gpsd did not start";

    const CommandResult r =
        RunCommand("timeout 30 " + CliPath() + " decode gpsd://127.0.0.1:" + std::to_string(port) + " --fixes 20");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto fixes = Positions(r.out);
    ASSERT_EQ(fixes.size(), 20u) << r.err;
    EXPECT_NE(r.err.find("fixes 20\n"), std::string::npos) << r.err;

    const std::vector<TruthLine> sent = ReadTruth(truth.string());
    auto same = [](const std::pair<double, double>& fix, const TruthLine& t) {
        return std::fabs(fix.first - TruthNumber(t, "lat")) < 1e-9 && std::fabs(fix.second - TruthNumber(t, "lon")) < 1e-9;
    };
    size_t first = 0;
    while (first < sent.size() && !same(fixes[0], sent[first]))
        ++first;
    ASSERT_LT(first + fixes.size(), sent.size() + 1) << "the first fix is not one the simulator sent";
    for (size_t i = 0; i < fixes.size(); ++i)
        EXPECT_TRUE(same(fixes[i], sent[first + i])) << "fix " << i + 1;
    fs::remove(truth);
}

// NMEA datagrams, as multiplexers and chart plotters send them.
TEST(LiveSource, UdpDatagramsDecode)
{
    const int port = FreePort(SOCK_DGRAM);
    const std::string send = "(" + SimPath() + " --stdout --rate 10 --fixes 30 2>/dev/null | socat -u -b 600 - UDP-SENDTO:127.0.0.1:" +
                             std::to_string(port) + " >/dev/null 2>&1 &) ; ";
    const CommandResult r =
        RunCommand(send + "timeout 20 " + CliPath() + " decode udp://127.0.0.1:" + std::to_string(port) + " --fixes 5");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Positions(r.out).size(), 5u);
    EXPECT_NE(r.err.find("checksum_errors 0 fixes 5"), std::string::npos) << r.err;
}

TEST(LiveSource, UnreachableSourcesSayWhy)
{
    const int closed = FreePort();
    const struct {
        std::string source;
        std::string says;
    } cases[] = {
        {"tcp://127.0.0.1:" + std::to_string(closed), "connection refused"},
        {"gpsd://127.0.0.1:" + std::to_string(closed), "gpsd at 127.0.0.1:" + std::to_string(closed) + ": connection refused"},
        {"tcp://stelmap-no-such-host.invalid:10110", "no such host"},
        {"tcp://127.0.0.1", "needs a port"},
    };
    for (const auto& c : cases) {
        const CommandResult r = RunCommand(CliPath() + " decode " + c.source);
        EXPECT_EQ(r.status, 2) << c.source;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

TEST_F(TempDirTest, LimitsStopAFileAfterNFixes)
{
    const std::string path = Write("sim.nmea", RunCommand(SimPath() + " --stdout --fast --fixes 30").out);
    const CommandResult all = RunCommand(CliPath() + " decode " + path);
    const CommandResult some = RunCommand(CliPath() + " decode " + path + " --fixes 12");
    ASSERT_EQ(some.status, 0) << some.err;
    EXPECT_EQ(Positions(all.out).size(), 30u);
    EXPECT_EQ(Positions(some.out).size(), 12u);
    EXPECT_EQ(all.out.substr(0, some.out.size()), some.out) << "the first twelve, as they were";
    EXPECT_EQ(RunCommand(CliPath() + " decode " + path + " --fixes 0").status, 2);
    EXPECT_EQ(RunCommand(CliPath() + " stats " + path + " --duration x").status, 2);
}

// On a file --duration is recording time: the fixes of its first S seconds
// by its time index, or without one by the fixes' UTC; never the seconds
// the decoding takes.
TEST_F(TempDirTest, DurationOnAFileIsRecordingTime)
{
    const std::string bytes = RunCommand(SimPath() + " --stdout --fast --fixes 30").out;
    const std::string path = Write("day.nmea", bytes);
    const std::string tenHz = Write("fast.nmea", RunCommand(SimPath() + " --stdout --fast --rate 10 --fixes 30").out);
    struct Case {
        std::string command;
        size_t fixes;
    };
    const Case byUtc[] = {
        {"decode " + path + " --duration 10", 10},
        {"decode " + path + " --duration 9.5", 10},
        {"decode " + path + " --duration 1000", 30},
        {"decode " + tenHz + " --duration 0.5", 5},
        {"decode " + path + " --duration 10 --fixes 4", 4},
    };
    for (const Case& c : byUtc) {
        SCOPED_TRACE(c.command);
        const CommandResult r = RunCommand(CliPath() + " " + c.command);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(Positions(r.out).size(), c.fixes);
    }

    // A time index that says the receiver sent a fix every half second
    // (whatever the UTC says): 10 s of recording hold 20 fixes.
    std::string index = "# stelmap time index 1: byte_offset monotonic_us utc\n";
    int fix = 0;
    for (size_t at = bytes.find("$GPGGA"); at != std::string::npos; at = bytes.find("$GPGGA", at + 1), ++fix)
        index += std::to_string(at) + " " + std::to_string(fix * 500000) + " 2026-12-09T12:00:00.000000Z\n";
    Write("day.nmea.times", index);
    const CommandResult indexed = RunCommand(CliPath() + " decode " + path + " --duration 10");
    ASSERT_EQ(indexed.status, 0) << indexed.err;
    EXPECT_EQ(Positions(indexed.out).size(), 20u);
    const CommandResult help = RunCommand(CliPath() + " decode --help");
    EXPECT_NE(help.out.find("recording time"), std::string::npos);
}

// accuracy reads any source with the same limits as decode.
TEST_F(TempDirTest, AccuracyTakesTheLimits)
{
    const std::string path = Write("sim.nmea", RunCommand(SimPath() + " --stdout --fast --fixes 30").out);
    const CommandResult some = RunCommand(CliPath() + " accuracy " + path + " --fixes 12");
    ASSERT_EQ(some.status, 0) << some.err;
    EXPECT_NE(some.out.find(R"("fixes":12)"), std::string::npos) << some.out;
    EXPECT_NE(some.err.find("fixes 12"), std::string::npos) << some.err;
    const CommandResult first = RunCommand(CliPath() + " accuracy " + path + " --duration 5");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find(R"("fixes":5)"), std::string::npos) << first.out;
    EXPECT_EQ(RunCommand(CliPath() + " accuracy " + path + " --fixes 0").status, 2);
}

}  // namespace
