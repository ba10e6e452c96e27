#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>
#include <unistd.h>

#include "nmea/tests/sentence.h"
#include "tools/cli/stats_command.h"
#include "tools/cli/tests/stats_test_support.h"
#include "tools/cli/tests/test_support.h"

namespace {

using StatsCommand = TempDirTest;

// A fix without position and three fixes with RAIM data:
//   -: no position and no altitude yet, so (0, 0, 0): refused, not counted
//   1: 48 deg 07.038' N, 11 deg 31.000' E, 545.4 m, HPL 2.50 m, HFOM 1.20 m
//   2: 48 deg 07.098' N, 11 deg 31.060' E, 546.0 m, HPL 0, HFOM 0.80 m
//   3: 48 deg 07.158' N, 11 deg 31.090' E, 547.5 m, HPL 0.10 m, HFOM 0.90 m
const std::string kRecording = Sentence("GPGGA,115959,,,,,0,00,,,M,,M,,")
    + Sentence("GPRAIM,250,0,120")
    + Sentence("GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
    + Sentence("GPRAIM,0,0,80")
    + Sentence("GPGGA,120002,4807.098,N,01131.060,E,1,08,0.9,546.0,M,46.9,M,,")
    + Sentence("GPRAIM,10,0,90")
    + Sentence("GPGGA,120003,4807.158,N,01131.090,E,1,08,0.9,547.5,M,46.9,M,,");

TEST_F(StatsCommand, ValuesOfASmallRecording)
{
    const CommandResult r = RunCommand(CliPath() + " stats " + Write("a.nmea", kRecording) + " --user 48.12,11.52,500");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "bytes " + std::to_string(kRecording.size()) + " sentences 7 checksum_errors 0 fixes 4\n");
    const auto v = NumbersOf(r.out);
    ASSERT_EQ(v.size(), 15u) << r.out;

    const std::vector<double> lats{48 + 7.038 / 60, 48 + 7.098 / 60, 48 + 7.158 / 60};
    const std::vector<double> lons{11 + 31.000 / 60, 11 + 31.060 / 60, 11 + 31.090 / 60};
    const std::vector<double> alts{545.4, 546.0, 547.5};
    EXPECT_DOUBLE_EQ(v.at("Latitude"), lats[2]);
    EXPECT_DOUBLE_EQ(v.at("Longitude"), lons[2]);
    EXPECT_EQ(v.at("Altitude"), 547.5);
    EXPECT_NEAR(v.at("LSF Latitude"), TrendAtLast(lats), 1e-9);
    EXPECT_NEAR(v.at("LSF Longitude"), TrendAtLast(lons), 1e-9);
    EXPECT_NEAR(v.at("LSF Altitude"), TrendAtLast(alts), 1e-9);
    EXPECT_NEAR(v.at("LSF Altitude"), 547.35, 1e-9);  // slope 1.05 through the mean 546.3 at x = 2
    EXPECT_DOUBLE_EQ(v.at("AVG Latitude"), (lats[0] + lats[1] + lats[2]) / 3);
    EXPECT_DOUBLE_EQ(v.at("AVG Longitude"), (lons[0] + lons[1] + lons[2]) / 3);
    EXPECT_DOUBLE_EQ(v.at("AVG Altitude"), 546.3);
    EXPECT_EQ(v.at("Samples"), 3);
    EXPECT_EQ(v.at("HPL"), 0.1);
    EXPECT_EQ(v.at("HFOM"), 0.9);
    std::vector<double> errors;
    for (size_t i = 0; i < 3; ++i)
        errors.push_back(HaversineMetres(lats[i], lons[i], 48.12, 11.52));
    EXPECT_NEAR(v.at("HErr"), errors[2], 1e-6);
    EXPECT_NEAR(v.at("Average HErr"), (errors[0] + errors[1] + errors[2]) / 3, 1e-6);
    // Fix 1 lies 290 m from the user position with an HPL of 2.5 m, fix 3
    // more with 0.1 m; fix 2 has no HPL and is never a violation.
    EXPECT_GT(errors[0], 2.5);
    EXPECT_EQ(v.at("HPL Violations"), 2);
    // Integers stay integers; doubles are printed in full.
    EXPECT_NE(r.out.find("\"Samples\":3,"), std::string::npos);
    EXPECT_NE(r.out.find("\"Latitude\":" + std::to_string(lats[2]).substr(0, 6)), std::string::npos);
}

TEST_F(StatsCommand, WithoutAUserPositionTheErrorIsMeasuredFromZero)
{
    // The fix on the equator at 0 deg 00' and a metre of altitude is a fix;
    // the user position defaults to 0, 0 as in the monitor.
    const std::string recording = Sentence("GPRAIM,100,0,50")
        + Sentence("GPGGA,000000,0000.000,N,00100.000,E,1,08,0.9,1.0,M,,M,,");
    const CommandResult r = RunCommand(CliPath() + " stats " + Write("b.nmea", recording));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto v = NumbersOf(r.out);
    const double oneDegree = 2.0 * 6372.797560856 * std::asin(std::sin(0.5 * std::numbers::pi / 180)) * 1000.0;
    EXPECT_NEAR(v.at("HErr"), oneDegree, 1e-6);
    EXPECT_NEAR(v.at("HErr"), 111200, 50);
    EXPECT_EQ(v.at("HPL Violations"), 1);
    EXPECT_EQ(v.at("LSF Longitude"), 0.0);  // one sample: no trend yet
}

TEST_F(StatsCommand, EmptyRecordingGivesTheClearedValues)
{
    const CommandResult r = RunCommand(CliPath() + " stats - </dev/null");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              R"({"Latitude":0,"Longitude":0,"Altitude":0,"LSF Latitude":0,"LSF Longitude":0,"LSF Altitude":0,)"
              R"("AVG Latitude":0,"AVG Longitude":0,"AVG Altitude":0,"Samples":0,"HPL":0,"HFOM":0,"HErr":0,)"
              R"("Average HErr":0,"HPL Violations":0})"
              "\n");
}

TEST_F(StatsCommand, StandardInputAndUserFormsAgree)
{
    const std::string path = Write("c.nmea", kRecording);
    const CommandResult a = RunCommand(CliPath() + " stats " + path + " --user 48.12,11.52,500");
    const CommandResult b = RunCommand(CliPath() + " stats --user=+48.12,11.52,5e2 - <" + path);
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(b.status, 0);
    EXPECT_EQ(a.out, b.out);
}

TEST_F(StatsCommand, BadArgumentsAndUnreadableFilesExitWithTwo)
{
    const std::string good = Write("d.nmea", kRecording);
    struct Case {
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {"", "SOURCE is missing"},
        {good + " --user", "--user needs LAT,LON,ALT"},
        {good + " --user 1,2", "not '1,2'"},
        {good + " --user 1,2,3,4", "not '1,2,3,4'"},
        {good + " --user 1,,3", "not '1,,3'"},
        {good + " --user a,b,c", "not 'a,b,c'"},
        {good + " --user 1e999,0,0", "not '1e999,0,0'"},
        {good + " --user ' 1,2,3'", "not ' 1,2,3'"},
        {good + " --user 91,0,0", "--user: Latitude must lie between -90 and 90 degrees; 91 is outside."},
        {good + " --user 0,-200,0", "--user: Longitude must lie between -180 and 180 degrees"},
        {good + " --user 0,0,1e308", "--user: Altitude must lie between -100000 and 100000 metres"},
        {good + " --frobnicate", "unknown option '--frobnicate'"},
        {good + " " + good, "only one SOURCE"},
        {(m_dir / "missing.nmea").string(), "cannot read"},
        {m_dir.string(), "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CommandResult r = RunCommand(CliPath() + " stats " + c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.empty()) << r.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    const CommandResult help = RunCommand(CliPath() + " stats --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: stelmap-cli stats SOURCE [--user LAT,LON,ALT]"), std::string::npos);
    const CommandResult list = RunCommand(CliPath() + " --help");
    EXPECT_NE(list.out.find("stats"), std::string::npos);
}

TEST(StatsJson, NotANumberStaysReadable)
{
    PositionTextValues v;
    v.altitude = std::numeric_limits<double>::infinity();
    v.samples = 4294967295u;
    v.hplViolations = -3;
    const std::string json = PositionValuesToJson(v);
    EXPECT_NE(json.find(R"("Altitude":"inf")"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("Samples":4294967295)"), std::string::npos) << json;
    EXPECT_NE(json.find(R"("HPL Violations":-3})"), std::string::npos) << json;
}

}  // namespace
