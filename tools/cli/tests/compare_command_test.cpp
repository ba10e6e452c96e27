#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/peer_process.h"
#include "tests/sim_process.h"
#include "tools/cli/tests/test_support.h"

using namespace std::chrono_literals;

namespace {

// The number under `key` in the first object named `object` of the output
// (a null or a missing key is NaN).
double Figure(const std::string& json, const std::string& object, const std::string& key)
{
    const size_t at = json.find("\"" + object + "\":");
    if (at == std::string::npos)
        return std::nan("");
    const std::regex number("\"" + key + "\":(-?[0-9.eE+-]+|null)");
    std::smatch m;
    const std::string rest = json.substr(at);
    if (!std::regex_search(rest, m, number) || m[1] == "null")
        return std::nan("");
    return std::stod(m[1]);
}

class CompareCommandTest : public TempDirTest {
protected:
    std::string Sim(const std::string& name, const std::string& options)
    {
        const std::string path = (m_dir / name).string();
        const CommandResult r = RunCommand("(" + SimPath() + " --stdout --fast " + options + " > " + path + ")");
        EXPECT_EQ(r.status, 0) << r.err;
        return path;
    }
    CommandResult Compare(const std::string& args) { return RunCommand(CliPath() + " compare " + args); }
};

TEST_F(CompareCommandTest, ConstantOffsetIsTheBiasWithoutSpread)
{
    const std::string reference = Sim("ref.nmea", "--fixes 300 --seed 11 --rate 5");
    const std::string offset = Sim("off.nmea", "--fixes 300 --seed 11 --rate 5 --offset 1.5,-0.5,2");
    const CommandResult r = Compare(offset + " --reference " + reference);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"reference\":{\"kind\":\"receiver\",\"source\":\"" + reference + "\"},\"tolerance\":0.05,"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Figure(r.out, "receivers", "epochs"), 300);
    EXPECT_EQ(Figure(r.out, "receivers", "matched"), 300);
    EXPECT_EQ(Figure(r.out, "receivers", "availability"), 1);
    EXPECT_NEAR(Figure(r.out, "all", "biasE"), 1.5, 1e-3);
    EXPECT_NEAR(Figure(r.out, "all", "biasN"), -0.5, 1e-3);
    EXPECT_NEAR(Figure(r.out, "all", "biasU"), 2.0, 1e-3);
    // What is left is the rounding of the sentences' last digits.
    EXPECT_LT(Figure(r.out, "all", "sigmaE"), 2e-3);
    EXPECT_LT(Figure(r.out, "all", "sigmaN"), 2e-3);
    EXPECT_LT(Figure(r.out, "all", "sigmaU"), 2e-3);
    EXPECT_NEAR(Figure(r.out, "all", "h50"), std::hypot(1.5, 0.5), 2e-3);
    EXPECT_EQ(Figure(r.out, "byQuality", "count"), 300) << "every fix of the integrity solution has quality 1";
    EXPECT_NE(r.out.find("\"latency\":null"), std::string::npos) << "no time index, no latency";

    // The keys of every figure set are exactly those of `accuracy`.
    const CommandResult accuracy = RunCommand(CliPath() + " accuracy " + reference);
    const std::regex keys("\"all\":\\{((\"[a-zA-Z0-9]+\":[^,}]*,?)+)\\}");
    std::smatch a, c;
    ASSERT_TRUE(std::regex_search(accuracy.out, a, keys));
    ASSERT_TRUE(std::regex_search(r.out, c, keys));
    const auto names = [](std::string text) { return std::regex_replace(text, std::regex(":[^,}]*"), ""); };
    EXPECT_EQ(names(c[1]), names(a[1]));
}

// On a circle (clockwise, starting due north, radius R, speed V, one fix a
// second) the direction of travel at fix k is the angle 0.1 k from east,
// turning clockwise; the reference's chord from the fix before to the fix
// after is parallel to it, and at the ends the one chord there is, half a
// step off.
TEST_F(CompareCommandTest, CircleSplitsAnOffsetIntoAlongAndCrossTrack)
{
    const int n = 120;
    const double step = 5.0 / 50.0;  // V / R, radians a second
    const std::string circle = "--fixes " + std::to_string(n) + " --seed 3 --noise 0 --circle 50,5";
    const std::string reference = Sim("ref.nmea", circle);
    const std::string offset = Sim("off.nmea", circle + " --offset 1,0.5,0");
    const CommandResult r = Compare(offset + " --reference " + reference);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<double> along, cross;
    for (int k = 0; k < n; ++k) {
        const double angle = k == 0 ? step / 2 : k == n - 1 ? step * (k - 0.5) : step * k;
        const double de = std::cos(angle), dn = -std::sin(angle);
        along.push_back(1.0 * de + 0.5 * dn);
        cross.push_back(1.0 * dn - 0.5 * de);
    }
    const auto mean = [](const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); };
    const auto sigma = [&](const std::vector<double>& v) {
        const double m = mean(v);
        double s = 0;
        for (double x : v)
            s += (x - m) * (x - m);
        return std::sqrt(s / (v.size() - 1));
    };
    EXPECT_NEAR(Figure(r.out, "alongTrack", "bias"), mean(along), 1e-3);
    EXPECT_NEAR(Figure(r.out, "alongTrack", "sigma"), sigma(along), 1e-3);
    EXPECT_NEAR(Figure(r.out, "crossTrack", "bias"), mean(cross), 1e-3);
    EXPECT_NEAR(Figure(r.out, "crossTrack", "sigma"), sigma(cross), 1e-3);
    EXPECT_NEAR(Figure(r.out, "all", "biasE"), 1.0, 1e-3);

    // Standing still, the reference has no direction of travel.
    const std::string still = Sim("still.nmea", "--fixes 30 --seed 3 --noise 0");
    const std::string stillOffset = Sim("still_off.nmea", "--fixes 30 --seed 3 --noise 0 --offset 1,0.5,0");
    const CommandResult s = Compare(stillOffset + " --reference " + still);
    EXPECT_NE(s.out.find("\"alongTrack\":null,\"crossTrack\":null"), std::string::npos) << s.out;
}

// The reference recording as a trajectory file: the CSV of Export Track,
// GPX by gpsbabel, and RTKLIB solutions in GPST (with the leap seconds,
// by date and by week and second) and in UTC.
TEST_F(CompareCommandTest, TrajectoryFilesGiveTheRecordingsFigures)
{
    // ZDA after each fix dates the epochs for gpsbabel as for us.
    const std::string options = "--fixes 100 --seed 5 --rate 5 --mask EE";
    const std::string reference = Sim("ref.nmea", options);
    const std::string offset = Sim("off.nmea", options + " --offset 0.8,0.3,-1");
    const std::string csv = (m_dir / "ref.csv").string();
    ASSERT_EQ(RunCommand(CliPath() + " export " + reference + " --format csv --output " + csv).status, 0);
    const std::string gpx = (m_dir / "ref.gpx").string();
    ASSERT_EQ(RunCommand("gpsbabel -i nmea -f " + reference + " -o gpx -F " + gpx).status, 0);

    // .pos files from the CSV rows: "2024-06-01T12:00:00.200Z,lat,lon,alt,quality,..."
    std::ifstream rows(csv);
    std::string line;
    std::getline(rows, line);
    std::ostringstream gpst, utc, weeks;
    gpst << "% program   : a test\n%  GPST                  latitude(deg) longitude(deg)  height(m)   Q  ns\n";
    utc << "%  UTC                   latitude(deg) longitude(deg)  height(m)   Q  ns\n";
    weeks << "%  GPST          latitude(deg) longitude(deg)  height(m)   Q  ns\n";
    while (std::getline(rows, line)) {
        int y, mo, d, h, mi;
        double s, lat, lon, alt;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d-%d-%dT%d:%d:%lfZ,%lf,%lf,%lf", &y, &mo, &d, &h, &mi, &s, &lat, &lon, &alt), 9);
        char text[200];
        // 2024-06-01 is GPS week 2316, day 6; GPS time is 18 s ahead of UTC.
        const double gpsSeconds = h * 3600 + mi * 60 + s + 18;
        const int gh = static_cast<int>(gpsSeconds / 3600), gm = static_cast<int>(gpsSeconds / 60) % 60;
        std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%06.3f %14.9f %14.9f %10.4f   5   7\n", y, mo, d,
                      gh, gm, std::fmod(gpsSeconds, 60.0), lat, lon, alt);
        gpst << text;
        std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%06.3f %14.9f %14.9f %10.4f   5   7\n", y, mo, d,
                      h, mi, s, lat, lon, alt);
        utc << text;
        std::snprintf(text, sizeof text, "2316 %10.3f %14.9f %14.9f %10.4f   5   7\n", 6 * 86400 + gpsSeconds, lat, lon, alt);
        weeks << text;
    }
    const std::string posGpst = Write("gpst.pos", gpst.str());
    const std::string posUtc = Write("utc.pos", utc.str());
    const std::string posWeeks = Write("weeks.pos", weeks.str());

    const CommandResult base = Compare(offset + " --reference " + reference);
    ASSERT_EQ(base.status, 0) << base.err;
    for (const std::string& file : {csv, gpx, posGpst, posUtc, posWeeks}) {
        const CommandResult r = Compare(offset + " --reference " + file);
        ASSERT_EQ(r.status, 0) << file << ": " << r.err;
        EXPECT_NE(r.out.find("\"kind\":\"trajectory\""), std::string::npos) << file;
        EXPECT_EQ(Figure(r.out, "receivers", "matched"), 100) << file;
        EXPECT_NEAR(Figure(r.out, "receivers", "availability"), 1.0, 1e-9) << file;
        for (const char* key : {"biasE", "biasN", "biasU", "h50", "h95", "v95", "drms"})
            EXPECT_NEAR(Figure(r.out, "all", key), Figure(base.out, "all", key), 2e-3) << file << " " << key;
    }
}

TEST_F(CompareCommandTest, RecordingsWithTimeIndexesGiveTheLatency)
{
    const std::string reference = Sim("ref.nmea", "--fixes 40 --seed 2 --rate 5");
    const std::string late = Sim("late.nmea", "--fixes 40 --seed 2 --rate 5 --offset 0,1,0");
    // One read per epoch, starting at its GGA; the receiver under test reads
    // each epoch 250 ms after the reference does.
    const auto index = [](const std::string& path, long long startUs) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream out(path + ".times");
        out << "# stelmap time index 1: byte_offset monotonic_us utc\n";
        out << "0 0 2024-06-01T11:59:59.000000Z\n";
        long long k = 0;
        for (size_t at = bytes.find("$GPGGA"); at != std::string::npos; at = bytes.find("$GPGGA", at + 1), ++k) {
            const long long us = startUs + k * 200000;
            char line[100];
            std::snprintf(line, sizeof line, "%zu %lld 2024-06-01T12:00:%02lld.%06lldZ\n", at, us + 1000000, us / 1000000,
                          us % 1000000);
            out << line;
        }
    };
    index(reference, 10000);
    index(late, 260000);
    const CommandResult r = Compare(late + " --reference " + reference);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NEAR(Figure(r.out, "latency", "mean"), 0.25, 1e-6) << r.out;
    EXPECT_NEAR(Figure(r.out, "latency", "p95"), 0.25, 1e-6);
}

TEST_F(CompareCommandTest, LiveSimulatorsOverTcpShowTheirLatency)
{
    const int referencePort = FreePort(), latePort = FreePort();
    const auto serve = [](int port, const std::string& options) {
        return std::make_unique<PeerProcess>(std::vector<std::string>{
            "socat", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr,fork",
            "EXEC:" + SimPath() + " --stdout --rate 5 " + options});
    };
    const auto reference = serve(referencePort, "--seed 4 --wall-clock");
    const auto late = serve(latePort, "--seed 5 --latency 0.3");
    ASSERT_TRUE(reference->Started() && late->Started());
    for (int port : {referencePort, latePort})
        for (int i = 0; i < 250 && !Listening(port); ++i)
            std::this_thread::sleep_for(20ms);
    const CommandResult r = Compare("tcp://127.0.0.1:" + std::to_string(latePort) + " --reference tcp://127.0.0.1:"
                                    + std::to_string(referencePort) + " --fixes 20 --duration 30");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"kind\":\"receiver\""), std::string::npos);
    EXPECT_GE(Figure(r.out, "receivers", "matched"), 15) << r.out;
    EXPECT_NEAR(Figure(r.out, "latency", "mean"), 0.3, 0.05) << r.out;
    EXPECT_NEAR(Figure(r.out, "latency", "p95"), 0.3, 0.05) << r.out;
}

TEST_F(CompareCommandTest, BadArgumentsAndUnusableReferencesExitTwo)
{
    const std::string good = Sim("good.nmea", "--fixes 5");
    const std::string noFix = Write("nofix.nmea", "$GPGGA,120000.00,,,,,0,00,,,M,,M,,*7B\r\n");
    const std::string emptyGpx = Write("empty.gpx", "<?xml version=\"1.0\"?><gpx><trk><trkseg></trkseg></trk></gpx>");
    const std::string ecef = Write("ecef.pos", "%  GPST                      x-ecef(m)      y-ecef(m)      z-ecef(m)   Q  ns\n"
                                               "2024/06/01 12:00:18.000   4194423.1  1158709.3  4647245.1   1   7\n");
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {good, "--reference is missing"},
        {"--reference " + good, "SOURCE is missing"},
        {good + " --reference " + good + " --tolerance -1", "--tolerance needs seconds"},
        {good + " --reference " + good + " --tolerance x", "--tolerance needs seconds"},
        {good + " --reference " + good + " --fixes 0", "--fixes needs a whole number"},
        {good + " --reference " + good + " --bogus", "unknown option '--bogus'"},
        {good + " --reference 95,10,0", "is no place on Earth"},
        {good + " --reference " + (m_dir / "missing.gpx").string(), "cannot read the reference"},
        {(m_dir / "missing.nmea").string() + " --reference 47,15,300", "cannot read"},
        {good + " --reference " + noFix, "has no fix with a time and a position"},
        {good + " --reference " + emptyGpx, "has no point with a time and a position"},
        {good + " --reference " + ecef, "not geodetic latitude"},
        {good + " --reference tcp://127.0.0.1:1", "cannot open tcp://127.0.0.1:1"},
    };
    for (const auto& c : cases) {
        const CommandResult r = Compare(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
    const CommandResult point = Compare(good + " --reference 47.0707,15.4395,353");
    EXPECT_EQ(point.status, 0) << point.err;
    EXPECT_NE(point.out.find("{\"kind\":\"point\",\"source\":\"47.0707,15.4395,353\"}"), std::string::npos);
    EXPECT_EQ(Figure(point.out, "receivers", "availability"), 1);
}

}  // namespace
