#include <gtest/gtest.h>

#include "tests/corpus_location.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "tools/cli/decode_command.h"
#include "tools/cli/fix_stream.h"
#include "tools/cli/gnss_json.h"
#include "tools/cli/tests/test_support.h"

namespace fs = std::filesystem;

namespace {

// The multi-constellation recordings and, beside this test, the satellites
// expected at chosen fixes (expected/NAME.gnss: the fix number, a tab, the
// satellites as `decode --gnss` prints them), worked out from the sentences
// by expected/derive_gnss.py.
constexpr const char* kRecordings[] = {
    "gpsd/ublox-zed-f9p-nmea.log",
    "gpsd/quectel-l76k-nmea.log",
    "gpsd/quectelLC79D-1.log",
    "gpsd/quectel-eg25-g.log",
    "gpsd/beidou-bd.log",
    "gpsd/jl-micro-jlt.log",
    "gpsd-mixed/ublox-zed-f9r.log",
    "gpsd-mixed/ublox-zed-f9t-ubx_nmea_l5.log",
    "nmeaparser/TrimbleR2SampleData.txt",
};

std::map<unsigned long long, std::string> ExpectedFixes(const fs::path& file)
{
    std::map<unsigned long long, std::string> fixes;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            fixes[std::stoull(line.substr(0, tab))] = line.substr(tab + 1);
    }
    return fixes;
}

TEST(GnssCorpus, SatellitesAtChosenFixesAsWorkedOutFromTheSentences)
{
    STELMAP_REQUIRE_CORPUS();
    for (const char* name : kRecordings) {
        SCOPED_TRACE(name);
        const fs::path recording = fs::path(STELMAP_CORPUS_DIR) / name;
        const fs::path expectedFile =
            fs::path(STELMAP_SOURCE_DIR) / "tools/cli/tests/expected" / (recording.stem().string() + ".gnss");
        const auto expected = ExpectedFixes(expectedFile);
        ASSERT_FALSE(expected.empty()) << expectedFile;

        std::FILE* file = std::fopen(recording.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        FixDecoder decoder;
        GnssSnapshot gnss;
        std::map<unsigned long long, std::string> got;
        DecodeFixStream(file, decoder, [&](uint64_t fix) {
            if (!expected.contains(fix))
                return;
            decoder.state.m_gnssModel.CopyTo(gnss);
            JsonWriter json;
            WriteGnssSatellites(json, gnss.satellites);
            got[fix] = json.Text();
        });
        std::fclose(file);
        EXPECT_EQ(got, expected);
    }
}

// The flag adds one key at the end of every line and changes nothing else.
TEST(GnssCorpus, DecodeGnssOnlyAddsItsKey)
{
    STELMAP_REQUIRE_CORPUS();
    const std::string cli = std::getenv("STELMAP_CLI");
    const std::string file = std::string(STELMAP_CORPUS_DIR) + "/gpsd/ublox-zed-f9p-nmea.log";
    const CommandResult plain = RunCommand(cli + " decode " + file);
    const CommandResult gnss = RunCommand(cli + " decode --gnss " + file);
    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(gnss.status, 0);
    EXPECT_EQ(plain.err, gnss.err);
    std::istringstream a(plain.out), b(gnss.out);
    std::string lineA, lineB;
    int lines = 0;
    while (std::getline(a, lineA) && std::getline(b, lineB)) {
        const size_t key = lineB.find(",\"gnss\":{\"date\":\"2019-04-12\"");
        ASSERT_NE(key, std::string::npos) << lineB;
        EXPECT_EQ(lineB.substr(0, key) + "}", lineA);
        ++lines;
    }
    EXPECT_EQ(lines, 29);
}

}  // namespace
