#include <gtest/gtest.h>

#include "tests/corpus_location.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

#include "tools/cli/tests/stats_test_support.h"
#include "tools/cli/tests/test_support.h"

namespace {

// Counts the GGAs the accuracy figures count, read here with a pattern and
// the checksum worked out by hand: a latitude, a longitude and a one-digit
// fix quality 1 to 9.
std::map<int, int> CountedByQuality(const std::filesystem::path& path, int& ggas)
{
    std::ifstream in(path, std::ios::binary);
    static const std::regex gga(R"(\$(..GGA,[^,]*,([^,]*),[NS]?,([^,]*),[EW]?,([^,]*),[^*]*)\*([0-9A-Fa-f]{2}))");
    std::map<int, int> counts;
    ggas = 0;
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, gga))
            continue;
        int sum = 0;
        for (const char c : m[1].str())
            sum ^= static_cast<unsigned char>(c);
        if (sum != std::stoi(m[5].str(), nullptr, 16))
            continue;
        ++ggas;
        const std::string quality = m[4];
        if (!m[2].str().empty() && !m[3].str().empty() && quality.size() == 1 && quality[0] >= '1' && quality[0] <= '9')
            ++counts[quality[0] - '0'];
    }
    return counts;
}

TEST(AccuracyCorpus, CountsTheFixesOfRealReceiversByQuality)
{
    STELMAP_REQUIRE_CORPUS();
    for (const char* name : {"nmeaparser/TrimbleR2SampleData.txt", "nmeaparser/NmeaSampleData.txt", "signalk/gps.log"}) {
        const std::filesystem::path path = std::filesystem::path(STELMAP_CORPUS_DIR) / name;
        int ggas = 0;
        const std::map<int, int> expected = CountedByQuality(path, ggas);
        const CommandResult r = RunCommand(CliPath() + " accuracy '" + path.string() + "'");
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        const auto top = NumbersOf(r.out.substr(0, r.out.find("\"all\"")));
        EXPECT_EQ(top.at("ggaCount"), ggas) << name;
        int fixes = 0;
        for (const auto& [quality, count] : expected) {
            const size_t group = r.out.find("\"" + std::to_string(quality) + "\":{\"count\":" + std::to_string(count) + ",");
            EXPECT_NE(group, std::string::npos) << name << " quality " << quality << ": " << r.out;
            fixes += count;
        }
        EXPECT_EQ(top.at("fixes"), fixes) << name;
        EXPECT_GT(fixes, 0) << name;
    }
}

}  // namespace
