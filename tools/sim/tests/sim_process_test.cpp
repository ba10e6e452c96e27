#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <termios.h>
#include <thread>

#include "tools/cli/tests/test_support.h"
#include "tools/sim/nmea_format.h"
#include "tests/sim_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string TempFile(const std::string& name)
{
    return (fs::temp_directory_path() / ("stelmap_sim_" + std::to_string(::getpid()) + "_" + name)).string();
}

// The "latitude" and "longitude" of every JSON line stelmap-cli printed.
std::vector<std::pair<double, double>> DecodedPositions(const std::string& json)
{
    std::vector<std::pair<double, double>> out;
    size_t at = 0;
    while ((at = json.find("\"latitude\":", at)) != std::string::npos) {
        const double latitude = std::strtod(json.c_str() + at + 11, nullptr);
        const size_t lon = json.find("\"longitude\":", at);
        out.emplace_back(latitude, std::strtod(json.c_str() + lon + 12, nullptr));
        at = lon;
    }
    return out;
}

std::vector<TruthLine> Where(const std::vector<TruthLine>& truth, const std::string& key, const std::string& value)
{
    std::vector<TruthLine> out;
    for (const TruthLine& t : truth)
        if (t.at(key) == value)
            out.push_back(t);
    return out;
}

void ExpectSamePositions(const std::vector<std::pair<double, double>>& decoded, const std::vector<TruthLine>& truth)
{
    ASSERT_EQ(decoded.size(), truth.size());
    for (size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_NEAR(decoded[i].first, TruthNumber(truth[i], "lat"), 1e-9) << i;
        EXPECT_NEAR(decoded[i].second, TruthNumber(truth[i], "lon"), 1e-9) << i;
    }
}

TEST(SimProgram, HelpNamesEveryOption)
{
    const CommandResult r = RunCommand(SimPath() + " --help");
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--stdout", "--fast", "--rate", "--speed", "--seed", "--noise", "--lat", "--lon", "--alt",
                               "--mode", "--dual", "--mask", "--fixes", "--duration", "--faults", "--truth",
                               "$PXTNCFG*50", "PXTNNOM"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    const CommandResult bad = RunCommand(SimPath() + " --rate 99");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--rate"), std::string::npos);
}

TEST(SimProgram, StandardOutputDecodesWithTheCliToTheTruth)
{
    const std::string truth = TempFile("truth");
    const CommandResult r = RunCommand(SimPath() + " --stdout --fast --rate 10 --fixes 200 --seed 4 --truth " +
                                       truth + " | " + CliPath() + " decode -");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<TruthLine> sent = ReadTruth(truth);
    ASSERT_EQ(sent.size(), 200u);
    ExpectSamePositions(DecodedPositions(r.out), sent);
    EXPECT_NE(r.err.find("checksum_errors 0 fixes 200"), std::string::npos) << r.err;
    for (const TruthLine& t : sent) {
        // Plausible: a fix of 4 to 12 GPS satellites within metres of the truth.
        EXPECT_EQ(t.at("quality"), "1");
        EXPECT_GE(TruthNumber(t, "sats"), 4);
        EXPECT_LE(TruthNumber(t, "sats"), 12);
        EXPECT_NEAR(TruthNumber(t, "lat"), TruthNumber(t, "true_lat"), 1e-3);
    }
    fs::remove(truth);
}

TEST(SimProgram, SpoiledSentencesCostOnlyTheirFixes)
{
    const std::string truth = TempFile("faults");
    const std::string report = TempFile("report");
    const CommandResult r = RunCommand(SimPath() + " --stdout --fast --fixes 300 --faults 0.2 --seed 8 --truth " +
                                       truth + " 2>" + report + " | " + CliPath() + " decode -");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<TruthLine> sent = ReadTruth(truth);
    const std::vector<TruthLine> intact = Where(sent, "intact", "1");
    const auto decoded = DecodedPositions(r.out);
    EXPECT_LT(intact.size(), sent.size());
    EXPECT_LE(decoded.size(), sent.size());
    for (const TruthLine& t : intact) {
        const double lat = TruthNumber(t, "lat");
        const double lon = TruthNumber(t, "lon");
        EXPECT_TRUE(std::any_of(decoded.begin(), decoded.end(), [&](const auto& d) {
            return std::fabs(d.first - lat) < 1e-9 && std::fabs(d.second - lon) < 1e-9;
        })) << t.at("utc");
    }
    std::ifstream said(report);
    const std::string summary((std::istreambuf_iterator<char>(said)), {});
    EXPECT_NE(summary.find("300 fixes; spoiled"), std::string::npos) << "the simulator says what it spoiled";
    fs::remove(truth);
    fs::remove(report);
}

// A host on the simulator's pseudo-terminal.
class PtyHost {
public:
    explicit PtyHost(const std::string& path)
    {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        termios tio{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_fd, TCSANOW, &tio);
        }
    }
    ~PtyHost()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool Ok() const { return m_fd >= 0; }
    void Send(const std::string& text) { ASSERT_EQ(::write(m_fd, text.data(), text.size()), static_cast<long>(text.size())); }

    // Collects lines for `duration`, or until `until` appears.
    std::vector<std::string> Lines(std::chrono::milliseconds duration, const std::string& until = {})
    {
        const auto end = std::chrono::steady_clock::now() + duration;
        std::vector<std::string> lines;
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buffer[1024];
            const long n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            m_pending.append(buffer, static_cast<size_t>(n));
            size_t eol;
            while ((eol = m_pending.find("\r\n")) != std::string::npos) {
                lines.push_back(m_pending.substr(0, eol));
                m_pending.erase(0, eol + 2);
                if (!until.empty() && lines.back().rfind(until, 0) == 0)
                    return lines;
            }
        }
        return lines;
    }

private:
    int m_fd = -1;
    std::string m_pending;
};

bool Contains(const std::vector<std::string>& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

TEST(SimProgram, OnAPseudoTerminalItAnswersAndTakesCommands)
{
    SimProcess sim({"--rate", "10", "--mode", "P"});
    ASSERT_TRUE(sim.Started());
    const std::string path = sim.ReadLine(2s);
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;
    PtyHost host(path);
    ASSERT_TRUE(host.Ok());

    const auto start = host.Lines(1s, "$GNGGA");
    EXPECT_TRUE(Contains(start, "$PXTNCFG,N,M,,,,,,,P*")) << "the reply it sends at start";

    host.Send("$PXTNCFG*50\r\n");
    EXPECT_TRUE(Contains(host.Lines(1s, "$PXTNCFG"), "$PXTNCFG,N,M,,,,,,,P*"));

    host.Send(NmeaSentence("PXTNNOM,00000002,"));  // GGA only
    EXPECT_TRUE(Contains(host.Lines(1s, "$PXTNNOM"), "$PXTNNOM,00000002,0*"));
    const auto masked = host.Lines(500ms);
    ASSERT_GE(masked.size(), 3u);
    for (const std::string& line : masked)
        EXPECT_EQ(line.rfind("$GNGGA,", 0), 0u) << line;

    host.Send(NmeaSentence("PXTNCFG,M,,,,,,,"));  // COM1 to MAVLink: NMEA fixes stop
    EXPECT_TRUE(Contains(host.Lines(1s, "$PXTNCFG"), "$PXTNCFG,M,M,,,,,,,P*"));
    EXPECT_TRUE(host.Lines(400ms).empty());

    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0) << "a clean stop";
}

}  // namespace
