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
        {file + " --truth 91,0,0", "--truth: Latitude"},
        {file + " --truth 1,2,3,4", "--truth needs three numbers"},
        {file + " --truth", "--truth needs a value"},
        {file + " --alert-limit 0", "--alert-limit needs a number of metres from 0.01"},
        {file + " --alert-limit 1e-300", "--alert-limit needs a number of metres from 0.01 up to 100000, not '1e-300'"},
        {file + " --alert-limit=ten", "--alert-limit needs a number of metres from 0.01 up to 100000, not 'ten'"},
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

namespace {

// The commands that take a position name the value that is wrong alike, and
// take blanks after the commas as typed by hand.
TEST_F(AccuracyCommand, PositionOptionsNameTheWrongValueAndTakeBlanksAfterCommas)
{
    const std::string file =
        Write("p.nmea", "$GPGGA,120000.00,4704.2420,N,01526.3700,E,1,08,0.9,353.0,M,0.0,M,,*5C\r\n");
    const struct {
        std::string args;
        int status;
        std::string message;  // in stderr
    } cases[] = {
        {"accuracy " + file + " --truth 91,0,0", 2, "--truth: Latitude must lie between -90 and 90 degrees; 91 is outside."},
        {"export " + file + " --format csv --user 91,0,0", 2, "--user: Latitude must lie between -90 and 90 degrees; 91 is outside."},
        {"export " + file + " --format csv --user 0,181,0", 2, "--user: Longitude must lie between -180 and 180 degrees"},
        {"stats " + file + " --user 91,0,0", 2, "--user: Latitude must lie between -90 and 90 degrees; 91 is outside."},
        {"accuracy " + file + " --truth '47.07, 15.44, 353'", 0, ""},
        {"accuracy " + file + " --truth='47.07 ,15.44 , 353'", 0, ""},
        {"export " + file + " --format csv --user '47.07, 15.44, 353'", 0, ""},
        {"stats " + file + " --user '47.07, 15.44, 353'", 0, ""},
    };
    for (const auto& c : cases) {
        const CommandResult r = RunCommand(CliPath() + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
}

}  // namespace

namespace {

// Without a truth the errors are measured from the mean, and the report
// names that point; null only when no fix was counted.
TEST_F(AccuracyCommand, WithoutTruthPrintsTheMeanItMeasuredFrom)
{
    const std::string two = Write("m.nmea",
                                  "$GPGGA,120000.00,4704.2420,N,01526.3700,E,1,08,0.9,353.0,M,0.0,M,,*5C\r\n"
                                  "$GPGGA,120001.00,4704.2430,N,01526.3700,E,1,08,0.9,355.0,M,0.0,M,,*5A\r\n");
    const CommandResult r = RunCommand(CliPath() + " accuracy " + two);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::map<std::string, double> reference = NumbersUnder(r.out, "reference");
    ASSERT_EQ(reference.size(), 3u) << r.out;
    EXPECT_NEAR(reference.at("latitude"), 47.0 + 4.2425 / 60.0, 1e-9);
    EXPECT_NEAR(reference.at("longitude"), 15.0 + 26.37 / 60.0, 1e-9);
    EXPECT_NEAR(reference.at("altitude"), 354.0, 1e-9);
    EXPECT_NE(r.out.find(R"("source":"mean")"), std::string::npos) << r.out;

    const CommandResult none = RunCommand(CliPath() + " accuracy " + Write("n.nmea", "$GPGGA,120000.00,,,,,0,00,,,M,,M,,*4B\r\n"));
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_NE(none.out.find(R"("reference":{"latitude":null,"longitude":null,"altitude":null,"source":"mean"})"),
              std::string::npos) << none.out;
}

}  // namespace
