#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "rtcm/tests/rtcm_samples.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_receiver.h"

namespace {

// The GGA's fields after the geoid separation's unit: age, station.
std::string DifferentialFields(const std::string& gga)
{
    const size_t star = gga.find('*');
    size_t comma = gga.size();
    for (int i = 0; i < 2; ++i)
        comma = gga.rfind(',', comma - 1);
    return gga.substr(comma + 1, star - comma - 1);
}

struct Fix {
    int quality;
    std::string differential;
    double error;  // metres from the truth, horizontally
};

// One fix a second for `seconds`; before fix t the host writes `feed(t)`.
std::vector<Fix> RunReceiver(int seconds, const std::function<std::string(int)>& feed)
{
    SimOptions options;
    options.mode = SolutionOutput::Precision;
    options.noise = 3.0;
    SimReceiver receiver(options);
    std::vector<Fix> fixes;
    for (int t = 0; t < seconds; ++t) {
        receiver.TakeCorrections(feed(t), t);
        const SimEpoch epoch = receiver.MakeEpoch(t);
        const TruthRecord& truth = epoch.truth.at(0);
        const double north = (truth.latitude - truth.trueLatitude) * 111320.0;
        const double east = (truth.longitude - truth.trueLongitude) * 111320.0 * std::cos(truth.trueLatitude * std::numbers::pi / 180);
        fixes.push_back({truth.quality, DifferentialFields(epoch.sentences.at(truth.sentence)), std::hypot(north, east)});
    }
    return fixes;
}

TEST(SimCorrections, FloatThenFixedWhileFramesComeAndBackAfterFiveSeconds)
{
    // Frames from station 1234 for the first 25 s, one every second, a
    // 1005 now and then; then nothing.
    const std::vector<Fix> fixes = RunReceiver(40, [](int t) {
        if (t >= 25)
            return std::string();
        return MsmFrame(1074, 1234, 8) + (t % 10 == 0 ? StationFrame(1234, 4e6, 1e6, 4.8e6) : std::string());
    });
    double fixedError = 0;
    for (int t = 0; t < 40; ++t) {
        const int expected = t < 10 ? 5 : t <= 29 ? 4 : 2;
        EXPECT_EQ(fixes[t].quality, expected) << "at " << t;
        const std::string age = t <= 24 ? "0.0" : std::to_string(t - 24) + ".0";
        EXPECT_EQ(fixes[t].differential, expected == 2 ? "," : age + ",1234") << "at " << t;
        if (expected == 4)
            fixedError = std::max(fixedError, fixes[t].error);
    }
    EXPECT_LT(fixedError, 1.5);  // a tenth of 3 m, a few sigmas out at most
}

TEST(SimCorrections, BadFramesAndOtherBytesChangeNothing)
{
    const std::vector<Fix> plain = RunReceiver(15, [](int) { return std::string(); });
    const std::vector<Fix> spoilt = RunReceiver(15, [](int t) {
        return Corrupted(MsmFrame(1074, 9, 8)) + "$PXTNCFG*50\r\n" + std::string(t, '\xD3');
    });
    for (int t = 0; t < 15; ++t) {
        EXPECT_EQ(spoilt[t].quality, plain[t].quality) << t;
        EXPECT_EQ(spoilt[t].differential, ",") << t;
    }
}

}  // namespace
