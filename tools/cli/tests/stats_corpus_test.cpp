#include <gtest/gtest.h>

#include "tests/corpus_location.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <vector>

#include "tools/cli/tests/stats_test_support.h"
#include "tools/cli/tests/test_support.h"

namespace {

// ddmm.mmmm with its hemisphere, read here without the decoder.
double Degrees(const std::string& text, const std::string& hemisphere, int degreeDigits)
{
    const double value = std::stod(text.substr(0, static_cast<size_t>(degreeDigits)))
        + std::stod(text.substr(static_cast<size_t>(degreeDigits))) / 60.0;
    return hemisphere == "S" || hemisphere == "W" ? -value : value;
}

TEST(StatsCorpus, SignalkGpsLogAgreesWithItsOwnSentences)
{
    STELMAP_REQUIRE_CORPUS();
    const std::filesystem::path path = std::filesystem::path(STELMAP_CORPUS_DIR) / "signalk/gps.log";
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    // Every GGA line of this recording is whole, with a checksum, and there is
    // no RAIM sentence: HPL and HFOM stay 0, and so no error is shown and no
    // violation counted, though the errors are averaged.
    static const std::regex gga(R"(^\$GPGGA,[^,]*,([0-9.]+),([NS]),([0-9.]+),([EW]),[^,]*,[^,]*,[^,]*,([-0-9.]+),M,.*)");
    std::vector<double> lats, lons, alts;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::smatch m;
        if (line.find("RAIM") != std::string::npos)
            FAIL() << "the recording has RAIM data";
        if (!std::regex_match(line, m, gga))
            continue;
        lats.push_back(Degrees(m[1], m[2], 2));
        lons.push_back(Degrees(m[3], m[4], 3));
        alts.push_back(std::stod(m[5]));
    }
    ASSERT_EQ(lats.size(), 1202u);

    const double userLat = 52.372, userLon = 4.9096;
    const CommandResult r = RunCommand(CliPath() + " stats '" + path.string() + "' --user 52.372,4.9096,10");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto v = NumbersOf(r.out);
    ASSERT_EQ(v.size(), 15u) << r.out;

    auto mean = [](const std::vector<double>& values) {
        double sum = 0.0;
        for (double x : values)
            sum += x;
        return sum / static_cast<double>(values.size());
    };
    EXPECT_EQ(v.at("Samples"), 1202);
    EXPECT_DOUBLE_EQ(v.at("Latitude"), lats.back());
    EXPECT_DOUBLE_EQ(v.at("Longitude"), lons.back());
    EXPECT_EQ(v.at("Altitude"), alts.back());
    EXPECT_NEAR(v.at("AVG Latitude"), mean(lats), 1e-11);
    EXPECT_NEAR(v.at("AVG Longitude"), mean(lons), 1e-11);
    EXPECT_NEAR(v.at("AVG Altitude"), mean(alts), 1e-9);
    // Running sums over 1202 samples lose a little against the centred fit.
    EXPECT_NEAR(v.at("LSF Latitude"), TrendAtLast(lats), 1e-7);
    EXPECT_NEAR(v.at("LSF Longitude"), TrendAtLast(lons), 1e-7);
    EXPECT_NEAR(v.at("LSF Altitude"), TrendAtLast(alts), 1e-6);
    EXPECT_EQ(v.at("HPL"), 0.0);
    EXPECT_EQ(v.at("HFOM"), 0.0);
    EXPECT_EQ(v.at("HErr"), 0.0);
    EXPECT_EQ(v.at("HPL Violations"), 0);
    std::vector<double> errors;
    for (size_t i = 0; i < lats.size(); ++i)
        errors.push_back(HaversineMetres(lats[i], lons[i], userLat, userLon));
    EXPECT_NEAR(v.at("Average HErr"), mean(errors), 1e-6);
    // The receiver drifted about 20 m in height over the recording.
    EXPECT_LT(v.at("LSF Altitude"), v.at("AVG Altitude"));
}

}  // namespace
