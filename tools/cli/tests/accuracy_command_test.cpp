#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/cli/tests/stats_test_support.h"
#include "tools/cli/tests/test_support.h"

namespace {

using AccuracyCommand = TempDirTest;

std::string SimPath()
{
    const char* path = std::getenv("STELMAP_SIM");
    return path != nullptr ? path : STELMAP_BINARY_DIR "/tools/sim/stelmap-sim";
}

// The numbers of the object under `key` (one level deep).
std::map<std::string, double> NumbersUnder(const std::string& json, const std::string& key)
{
    const size_t start = json.find("\"" + key + "\":{");
    if (start == std::string::npos)
        return {};
    return NumbersOf(json.substr(start + key.size() + 3, json.find('}', start) - start - key.size() - 3));
}

TEST_F(AccuracyCommand, BadArgumentsAndFilesExitTwoSayingWhy)
{
    const std::string file = Write("a.nmea", "");
    const std::pair<std::string, std::string> cases[] = {
        {"", "FILE is missing"},
        {file + " --truth 1,2", "--truth needs three numbers"},
        {file + " --truth 91,0,0", "--truth needs three numbers"},
        {file + " --truth 1,2,3,4", "--truth needs three numbers"},
        {file + " --truth", "--truth needs a value"},
        {file + " --alert-limit 0", "--alert-limit needs a positive number"},
        {file + " --alert-limit=ten", "--alert-limit needs a positive number of metres up to 100000, not 'ten'"},
        {file + " --user 1,2,3", "unknown option '--user'"},
        {file + " " + file, "only one FILE"},
        {(m_dir / "missing.nmea").string(), "missing.nmea"},
    };
    for (const auto& [args, message] : cases) {
        const CommandResult r = RunCommand(CliPath() + " accuracy " + args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
        EXPECT_EQ(r.out, "") << args;
    }
}

// A recording of the simulator with RAIM. Its truth file gives the true
// position; a reference set 20 m north of it makes errors near the HPL of
// 6 x 4 m, so the alert limit of 27 m splits them into every region but the
// unavailable ones.
TEST_F(AccuracyCommand, SimulatorRecordingWithRaim)
{
    const std::string recording = (m_dir / "sim.nmea").string(), truthFile = (m_dir / "truth.txt").string();
    ASSERT_EQ(RunCommand("(" + SimPath() + " --stdout --fast --fixes 3000 --noise 4 --seed 3 --truth " + truthFile
                         + " >" + recording + ")").status, 0);
    std::ifstream truthLines(truthFile);
    std::string line;
    int records = 0;
    double trueLat = 0, trueLon = 0, trueAlt = 0;
    while (std::getline(truthLines, line)) {
        ++records;
        const auto v = NumbersOf("\"" + std::regex_replace(line, std::regex("([a-z_]+)=([^ ]*) ?"), "$1\":$2,\""));
        trueLat = v.at("true_lat"), trueLon = v.at("true_lon"), trueAlt = v.at("true_alt");
    }
    ASSERT_EQ(records, 3000);

    std::ostringstream truth;
    truth.precision(17);
    truth << trueLat << ',' << trueLon << ',' << trueAlt;
    const CommandResult exact = RunCommand(CliPath() + " accuracy " + recording + " --truth " + truth.str());
    ASSERT_EQ(exact.status, 0) << exact.err;
    const auto all = NumbersUnder(exact.out, "all");
    EXPECT_EQ(all.at("count"), 3000);
    // Noise 4 m per axis: Rayleigh h95 = 4 x sqrt(-2 ln 0.05) = 9.8 m.
    EXPECT_NEAR(all.at("h95"), 9.8, 1.0);
    EXPECT_NEAR(all.at("sigmaE"), 4.0, 0.4);
    EXPECT_NEAR(all.at("biasN"), 0.0, 1.0);
    const auto clean = NumbersUnder(exact.out, "integrity");
    EXPECT_GE(clean.at("epochs"), 2999);
    EXPECT_EQ(clean.at("normal"), clean.at("epochs"));
    EXPECT_EQ(clean.at("availability"), 1);

    const double north = trueLat + 20.0 / 111200.0;
    std::ostringstream shifted;
    shifted.precision(17);
    shifted << north << ',' << trueLon << ',' << trueAlt;
    const CommandResult r = RunCommand(CliPath() + " accuracy " + recording + " --alert-limit 27 --truth " + shifted.str());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto integrity = NumbersUnder(r.out, "integrity");
    EXPECT_EQ(integrity.at("alertLimit"), 27);
    for (const char* region : {"normal", "mi", "hmi"})
        EXPECT_GT(integrity.at(region), 0) << region << " " << r.out;
    EXPECT_EQ(integrity.at("unavailable") + integrity.at("unavailableMi"), 0);
    const CommandResult page = RunCommand(CliPath() + " stats " + recording + " --user " + shifted.str());
    ASSERT_EQ(page.status, 0) << page.err;
    EXPECT_EQ(integrity.at("mi") + integrity.at("hmi") + integrity.at("unavailableMi"),
              NumbersOf(page.out).at("HPL Violations"));
    EXPECT_NEAR(NumbersUnder(r.out, "all").at("biasN"), -20.0, 1.0);
}

}  // namespace
