#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "geo/horizontal_distance.h"
#include "geo/local_tangent_plane.h"
#include "tools/cli/fix_stream.h"
#include "tools/sim/command_reader.h"
#include "tools/sim/dilution_of_precision.h"
#include "tools/sim/fault_injector.h"
#include "tools/sim/nmea_format.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_receiver.h"

namespace {

std::string Join(const std::vector<std::string>& sentences)
{
    std::string bytes;
    for (const std::string& s : sentences)
        bytes += s;
    return bytes;
}

// Every fix the parser hands off for `bytes`, as the display would copy it.
std::vector<DisplaySnapshot> Decode(ReceiverState& parser, const std::string& bytes)
{
    std::vector<DisplaySnapshot> fixes;
    DisplaySnapshot snapshot;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        fixes.push_back(snapshot);
    });
    parser.ProcessBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    parser.SetPositionHandOff({});
    return fixes;
}

struct SimRun {
    std::string bytes;
    std::vector<TruthRecord> truth;
};

SimRun Simulate(SimOptions options, long epochs)
{
    SimReceiver receiver(options);
    SimRun run{receiver.ConfigurationReply(), {}};
    for (long k = 0; k < epochs; ++k) {
        SimEpoch epoch = receiver.MakeEpoch(k);
        run.bytes += Join(epoch.sentences);
        run.truth.insert(run.truth.end(), epoch.truth.begin(), epoch.truth.end());
    }
    return run;
}

std::vector<TruthRecord> OfTalker(const std::vector<TruthRecord>& truth, const std::string& talker)
{
    std::vector<TruthRecord> out;
    std::copy_if(truth.begin(), truth.end(), std::back_inserter(out),
                 [&](const TruthRecord& t) { return t.talker == talker; });
    return out;
}

void ExpectFixesAsSent(const std::vector<DisplaySnapshot>& fixes, const std::vector<TruthRecord>& truth)
{
    ASSERT_EQ(fixes.size(), truth.size());
    for (size_t i = 0; i < fixes.size(); ++i) {
        EXPECT_NEAR(fixes[i].latitude, truth[i].latitude, 1e-12) << i;
        EXPECT_NEAR(fixes[i].longitude, truth[i].longitude, 1e-12) << i;
        EXPECT_DOUBLE_EQ(fixes[i].altitude, truth[i].altitude) << i;
        EXPECT_EQ(fixes[i].satsInUse, truth[i].satellites) << i;
    }
}

TEST(SimOptions, ValuesAndTheirLimits)
{
    const struct {
        std::vector<const char*> args;
        ParseOutcome outcome;
    } cases[] = {
        {{}, ParseOutcome::Run},
        {{"--help"}, ParseOutcome::Help},
        {{"--rate", "20", "--seed", "9", "--noise", "0.5"}, ParseOutcome::Run},
        {{"--rate", "0"}, ParseOutcome::Error},
        {{"--rate", "21"}, ParseOutcome::Error},
        {{"--rate", "5x"}, ParseOutcome::Error},
        {{"--rate"}, ParseOutcome::Error},
        {{"--noise", "-1"}, ParseOutcome::Error},
        {{"--speed", "0"}, ParseOutcome::Error},
        {{"--speed", "nan"}, ParseOutcome::Error},
        {{"--rate", "10", "--speed", "6"}, ParseOutcome::Run},
        {{"--lat", "91"}, ParseOutcome::Error},
        {{"--mode", "X"}, ParseOutcome::Error},
        {{"--mode", "P"}, ParseOutcome::Run},
        {{"--faults", "1.5"}, ParseOutcome::Error},
        {{"--mask", "123456789"}, ParseOutcome::Error},
        {{"--mask", "zz"}, ParseOutcome::Error},
        {{"--fast"}, ParseOutcome::Error},  // a pseudo-terminal is paced by its reader
        {{"--stdout", "--fast", "--dual"}, ParseOutcome::Run},
        {{"--bogus"}, ParseOutcome::Error},
        {{"--offset", "1.5,-0.5,2"}, ParseOutcome::Run},
        {{"--offset", "1,2"}, ParseOutcome::Error},
        {{"--offset", "1,2,3,4"}, ParseOutcome::Error},
        {{"--offset", "1,,3"}, ParseOutcome::Error},
        {{"--circle", "50,5"}, ParseOutcome::Run},
        {{"--circle", "0,5"}, ParseOutcome::Error},
        {{"--circle", "50,-1"}, ParseOutcome::Error},
        {{"--latency", "0.3"}, ParseOutcome::Run},
        {{"--latency", "-0.1"}, ParseOutcome::Error},
        {{"--latency", "11"}, ParseOutcome::Error},
        {{"--stdout", "--fast", "--latency", "0.3"}, ParseOutcome::Error},  // late against what?
        {{"--latency", "0.3", "--speed", "2"}, ParseOutcome::Error},
        {{"--wall-clock", "--rate", "5"}, ParseOutcome::Run},
    };
    for (const auto& c : cases) {
        SimOptions options;
        std::string error;
        std::vector<char*> argv;
        for (const char* a : c.args)
            argv.push_back(const_cast<char*>(a));
        EXPECT_EQ(ParseSimOptions(static_cast<int>(argv.size()), argv.data(), options, error), c.outcome)
            << (c.args.empty() ? "" : c.args[0]);
        EXPECT_EQ(error.empty(), c.outcome != ParseOutcome::Error) << error;
    }

    SimOptions options;
    std::string error;
    const char* args[] = {"--rate", "10", "--duration", "2.5", "--fixes", "100", "--dual", "--mask", "2e", "--lat", "-33.5"};
    ASSERT_EQ(ParseSimOptions(11, const_cast<char**>(args), options, error), ParseOutcome::Run);
    EXPECT_EQ(options.rate, 10);
    EXPECT_EQ(options.Epochs(), 25) << "the shorter of duration and fixes";
    EXPECT_EQ(options.mode, SolutionOutput::Dual);
    EXPECT_EQ(options.mask, 0x2Eu);
    EXPECT_DOUBLE_EQ(options.latitude, -33.5);
}

TEST(NmeaFormat, PositionsReadBackAsWritten)
{
    const struct {
        double degrees;
        std::string latitude;
        std::string longitude;
    } cases[] = {
        {47.0707, "4704.242000,N", "04704.242000,E"},
        {-33.5, "3330.000000,S", "03330.000000,W"},
        {15.99999999999, "1600.000000,N", "01600.000000,E"},  // minutes that round up carry into degrees
        {0.0, "0000.000000,N", "00000.000000,E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NmeaLatitude(c.degrees), c.latitude);
        EXPECT_EQ(NmeaLongitude(c.degrees), c.longitude);
        EXPECT_NEAR(NmeaFieldDegrees(c.latitude, 2), c.degrees, 1e-8);
    }
    EXPECT_EQ(NmeaTime(43200.0), "120000.00");
    EXPECT_EQ(NmeaTime(86399.996), "000000.00") << "the day wraps";
    EXPECT_EQ(NmeaSentence("PXTNCFG"), "$PXTNCFG*50\r\n");
}

TEST(CommandReader, SentencesFromAnyCutOfTheStream)
{
    const struct {
        std::string bytes;
        std::vector<NmeaCommand> commands;
        int rejected;
    } cases[] = {
        {"$PXTNCFG*50\r\n", {{"PXTNCFG", {}}}, 0},
        {"$PXTNCFG,N,M,,,,,,*53\r\n", {{"PXTNCFG", {"N", "M", "", "", "", "", "", ""}}}, 0},
        {"$PXTNNOM,0000002E,1*18\n", {{"PXTNNOM", {"0000002E", "1"}}}, 0},
        {"$PXTNNOM,0000002E,1*1a\r\n", {}, 1},  // wrong checksum
        {"$PXTNNOM,0000002E,1\r\n", {{"PXTNNOM", {"0000002E", "1"}}}, 0},  // typed, no checksum
        {std::string("\x00\xB0junk$PXTNCFG*50\r\n", 19), {{"PXTNCFG", {}}}, 0},
        {"$PXTN$PXTNCFG*50\r\n", {{"PXTNCFG", {}}}, 1},  // cut short by a new '$'
        {"$\r\n", {}, 1},
        {"$PXTNCFG*5\r\n", {}, 1},
    };
    for (const auto& c : cases) {
        // Byte by byte and all at once give the same.
        CommandReader whole;
        EXPECT_EQ(whole.Feed(c.bytes), c.commands) << c.bytes;
        EXPECT_EQ(whole.Rejected(), c.rejected) << c.bytes;
        CommandReader split;
        std::vector<NmeaCommand> got;
        for (char b : c.bytes)
            for (NmeaCommand& command : split.Feed(std::string_view(&b, 1)))
                got.push_back(command);
        EXPECT_EQ(got, c.commands) << c.bytes;
    }
}

TEST(SimReceiver, ConfigurationReplyDecodesToItsMode)
{
    const struct {
        SolutionOutput mode;
        int dualMode;
        int solutionMode;
    } cases[] = {
        {SolutionOutput::Integrity, 0, ReceiverState::Integrity},
        {SolutionOutput::Precision, 0, ReceiverState::Precision},
        {SolutionOutput::Dual, 1, ReceiverState::Integrity},
    };
    for (const auto& c : cases) {
        SimOptions options;
        options.mode = c.mode;
        SimReceiver receiver(options);
        ReceiverState parser;
        const std::string reply = receiver.ConfigurationReply();
        Decode(parser, reply);
        EXPECT_EQ(parser.m_dualMode.load(), c.dualMode) << reply;
        EXPECT_EQ(parser.m_solutionMode.load(), c.solutionMode) << reply;
        EXPECT_EQ(receiver.HandleCommand({"PXTNCFG", {}}), std::vector<std::string>{reply}) << "the query";
    }
}

TEST(SimReceiver, CommandsChangeItsConfiguration)
{
    SimReceiver receiver(SimOptions{});
    EXPECT_EQ(receiver.HandleCommand({"PXTNCFG", {"", "N", "", "", "", "", "", ""}}),
              std::vector<std::string>{NmeaSentence("PXTNCFG,N,N,,,,,,,I")});
    EXPECT_TRUE(receiver.SendsNmea());
    receiver.HandleCommand({"PXTNCFG", {"M", "", "", "", "", "", "", ""}});
    EXPECT_FALSE(receiver.SendsNmea()) << "COM1 on MAVLink";
    receiver.HandleCommand({"PXTNCFG", {"N"}});
    EXPECT_TRUE(receiver.SendsNmea());

    EXPECT_EQ(receiver.HandleCommand({"PXTNNOM", {"00000002", "1"}}),
              std::vector<std::string>{NmeaSentence("PXTNNOM,00000002,1")});
    EXPECT_EQ(receiver.SentenceMask(), 2u);
    EXPECT_TRUE(receiver.Persistent());
    EXPECT_EQ(receiver.HandleCommand({"PXTNNOM", {"", "0"}}),
              std::vector<std::string>{NmeaSentence("PXTNNOM,00000002,0")})
        << "an empty mask keeps it";
    EXPECT_TRUE(receiver.HandleCommand({"PXTNNOM", {"G0000002", ""}}).empty()) << "not a mask: refused";
    EXPECT_TRUE(receiver.HandleCommand({"GPGGA", {"1"}}).empty());
    EXPECT_EQ(receiver.SentenceMask(), 2u);

    const SimEpoch epoch = receiver.MakeEpoch(0);
    ASSERT_EQ(epoch.sentences.size(), 1u) << "the mask selects GGA alone";
    EXPECT_EQ(epoch.sentences[0].rfind("$GPGGA,", 0), 0u);
}

TEST(SimReceiver, TheSameSeedGivesTheSameBytes)
{
    SimOptions options;
    options.mode = SolutionOutput::Dual;
    options.mask = 0xFF;
    options.rate = 10;
    const SimRun a = Simulate(options, 50);
    const SimRun b = Simulate(options, 50);
    EXPECT_EQ(a.bytes, b.bytes);
    options.seed = 2;
    EXPECT_NE(Simulate(options, 50).bytes, a.bytes);
}

// What each GGA says, as the truth file records it, in the plane at the
// given place.
std::vector<EastNorthUp> Reported(const SimOptions& options, long epochs, bool truth = false)
{
    SimReceiver receiver(options);
    const LocalTangentPlane plane(options.latitude, options.longitude, options.altitude);
    std::vector<EastNorthUp> out;
    for (long k = 0; k < epochs; ++k)
        for (const TruthRecord& t : receiver.MakeEpoch(k).truth)
            out.push_back(truth ? plane.FromGeodetic(t.trueLatitude, t.trueLongitude, t.trueAltitude)
                                : plane.FromGeodetic(t.latitude, t.longitude, t.altitude));
    return out;
}

TEST(SimReceiver, OffsetAndCircleMoveThePositionAsAsked)
{
    SimOptions options;
    options.circleRadius = 40.0;
    options.circleSpeed = 4.0;
    const std::vector<EastNorthUp> plain = Reported(options, 60);
    options.offsetEast = 1.5;
    options.offsetNorth = -0.5;
    options.offsetUp = 2.0;
    const std::vector<EastNorthUp> offset = Reported(options, 60);
    ASSERT_EQ(offset.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        // The sentences carry millionths of a minute (under 2 mm) and decimetres of height.
        EXPECT_NEAR(offset[i].east - plain[i].east, 1.5, 2e-3) << i;
        EXPECT_NEAR(offset[i].north - plain[i].north, -0.5, 2e-3) << i;
        EXPECT_NEAR(offset[i].up - plain[i].up, 2.0, 0.05) << i;
    }
    // The truth runs clockwise round the circle from due north, 0.1 rad a second.
    const std::vector<EastNorthUp> truth = Reported(options, 60, true);
    for (size_t k = 0; k < truth.size(); ++k) {
        EXPECT_NEAR(truth[k].east, 40.0 * std::sin(0.1 * k), 1e-6) << k;
        EXPECT_NEAR(truth[k].north, 40.0 * std::cos(0.1 * k), 1e-6) << k;
    }
}

TEST(SimReceiver, EveryModeDecodesToTheFixesItSent)
{
    for (const SolutionOutput mode : {SolutionOutput::Integrity, SolutionOutput::Precision}) {
        SimOptions options;
        options.mode = mode;
        options.mask = 0xFF;  // RMC, GLL and ZDA too: the parser must pass over them
        const SimRun run = Simulate(options, 120);
        ReceiverState parser;
        const std::vector<DisplaySnapshot> fixes = Decode(parser, run.bytes);
        EXPECT_EQ(parser.Counts().checksumErrors, 0u);
        ExpectFixesAsSent(fixes, run.truth);
        const bool integrity = mode == SolutionOutput::Integrity;
        for (size_t i = 1; i < fixes.size(); ++i) {
            // The RAIM sentence follows its GGA, so the next fix shows it.
            EXPECT_EQ(fixes[i].hplCm, integrity ? run.truth[i - 1].hplCm : 0);
            EXPECT_EQ(fixes[i].hfomCm, integrity ? run.truth[i - 1].hfomCm : 0);
            EXPECT_STREQ(fixes[i].fixQualityText.data(), integrity ? "GPS Fix" : "Differential GPS");
            EXPECT_EQ(fixes[i].sbasSeen, 1);
            EXPECT_EQ(fixes[i].glonassSeen, 1);
        }
    }
}

TEST(SimReceiver, DualModeOutputFollowsTheChosenSolution)
{
    SimOptions options;
    options.mode = SolutionOutput::Dual;
    const SimRun run = Simulate(options, 60);
    for (const int solution : {ReceiverState::Integrity, ReceiverState::Precision}) {
        ReceiverState parser;
        Decode(parser, run.bytes.substr(0, run.bytes.find("\r\n") + 2));  // the reply: dual mode on
        ASSERT_EQ(parser.m_dualMode.load(), 1);
        parser.m_solutionMode = solution;
        const std::vector<DisplaySnapshot> fixes = Decode(parser, run.bytes);
        const std::vector<TruthRecord> expected =
            OfTalker(run.truth, solution == ReceiverState::Integrity ? "GP" : "GN");
        ASSERT_EQ(expected.size(), 60u);
        ExpectFixesAsSent(fixes, expected);
        // Integrity follows GPS alone; precision adds GLONASS to the solution.
        for (size_t i = 1; i < fixes.size(); ++i) {
            const DisplaySnapshot& f = fixes[i];
            if (solution == ReceiverState::Integrity) {
                EXPECT_EQ(f.hplCm, expected[i - 1].hplCm) << "the RAIM of the fix before";
                EXPECT_LE(f.satsInUse, 12);
            } else {
                EXPECT_EQ(f.hplCm, 0) << "no integrity figures for the precision solution";
                EXPECT_GT(f.satsInUse, 8);
            }
        }
    }
}

TEST(SimReceiver, APlausibleSkyThatMoves)
{
    SimOptions options;
    SimReceiver receiver(options);
    ReceiverState parser;
    const std::vector<DisplaySnapshot> early = Decode(parser, Join(receiver.MakeEpoch(0).sentences) +
                                                                  Join(receiver.MakeEpoch(1).sentences));
    const std::vector<DisplaySnapshot> late = Decode(parser, Join(receiver.MakeEpoch(900).sentences) +
                                                                 Join(receiver.MakeEpoch(901).sentences));
    ASSERT_EQ(early.size(), 2u);
    ASSERT_EQ(late.size(), 2u);
    const DisplaySnapshot& a = early[1];
    const DisplaySnapshot& b = late[1];

    int gps = 0, sbas = 0, glonass = 0;
    std::map<int, const SnapshotSatellite*> before;
    for (int i = 0; i < a.UsableSatellites(); ++i) {
        const SnapshotSatellite& s = a.satellites[static_cast<size_t>(i)];
        before[s.prn] = &s;
        gps += s.prn <= 32;
        sbas += s.prn >= 33 && s.prn <= 64;
        glonass += s.prn >= 65 && s.prn <= 96;
        EXPECT_EQ(s.constellation, s.prn >= 65 ? 1 : 0);
        EXPECT_GE(s.elevation, 0);
        EXPECT_LE(s.elevation, 90);
    }
    EXPECT_GE(gps, 6);
    EXPECT_LE(gps, 14);
    EXPECT_EQ(sbas, 2);
    EXPECT_GE(glonass, 4);
    EXPECT_GE(a.gpsHdop, 0.5);
    EXPECT_LE(a.gpsHdop, 3.0);
    EXPECT_GT(a.gpsPdop, a.gpsHdop);

    // Signal follows elevation: the highest tracked satellite is stronger
    // than the lowest.
    const auto tracked = [](const DisplaySnapshot& s) {
        std::vector<SnapshotSatellite> out;
        for (int i = 0; i < s.UsableSatellites(); ++i)
            if (s.satellites[static_cast<size_t>(i)].snr > 0)
                out.push_back(s.satellites[static_cast<size_t>(i)]);
        std::sort(out.begin(), out.end(), [](auto& x, auto& y) { return x.elevation < y.elevation; });
        return out;
    };
    const auto sorted = tracked(a);
    ASSERT_GE(sorted.size(), 4u);
    EXPECT_GT(sorted.back().snr, sorted.front().snr + 10);

    // Fifteen minutes later the orbiting satellites have moved; SBAS has not.
    int moved = 0;
    for (int i = 0; i < b.UsableSatellites(); ++i) {
        const SnapshotSatellite& s = b.satellites[static_cast<size_t>(i)];
        const auto it = before.find(s.prn);
        if (it == before.end())
            continue;
        const bool changed = std::abs(s.elevation - it->second->elevation) >= 2 ||
                             std::abs(s.azimuth - it->second->azimuth) >= 2;
        if (s.prn >= 33 && s.prn <= 64)
            EXPECT_FALSE(changed) << s.prn;
        else
            moved += changed;
    }
    EXPECT_GE(moved, 5);
}

TEST(SimReceiver, NoiseAndProtectionLevelsAgree)
{
    const double noise = 3.0;
    SimOptions options;
    options.noise = noise;
    const SimRun run = Simulate(options, 3000);
    double sumNorth = 0.0;
    double sumSquares = 0.0;
    int violations = 0;
    for (const TruthRecord& t : run.truth) {
        const double north = (t.latitude - t.trueLatitude) * 6371000.0 * M_PI / 180.0;
        sumNorth += north;
        sumSquares += north * north;
        const double error = 1000.0 * HorizontalDistanceKm(t.latitude, t.longitude, t.trueLatitude, t.trueLongitude);
        violations += error > t.hplCm / 100.0;
        EXPECT_NEAR(t.hplCm, 600.0 * noise, 1.0);
        EXPECT_NEAR(t.hfomCm, 244.8 * noise, 1.0);
    }
    const double n = static_cast<double>(run.truth.size());
    const double rms = std::sqrt(sumSquares / n);
    EXPECT_GT(rms, 0.5 * noise) << "the position wanders by about the noise";
    EXPECT_LT(rms, 1.6 * noise);
    EXPECT_LT(std::fabs(sumNorth / n), noise) << "around the true position";
    EXPECT_EQ(violations, 0) << "HPL bounds the error";
}

TEST(FaultInjector, SpoilsWhatItSaysItSpoils)
{
    SimOptions options;
    options.rate = 5;
    SimReceiver receiver(options);
    FaultInjector clean(0.0, 1);
    FaultInjector faulty(0.3, 1);
    size_t intactGgas = 0;
    size_t ggas = 0;
    std::string bytes;
    std::vector<TruthRecord> intactTruth;
    for (long k = 0; k < 200; ++k) {
        const SimEpoch epoch = receiver.MakeEpoch(k);
        const InjectedOutput same = clean.Apply(epoch.sentences);
        EXPECT_EQ(same.bytes, Join(epoch.sentences));
        EXPECT_TRUE(std::all_of(same.intact.begin(), same.intact.end(), [](bool b) { return b; }));

        const InjectedOutput out = faulty.Apply(epoch.sentences);
        ASSERT_EQ(out.intact.size(), epoch.sentences.size());
        EXPECT_EQ(out.ends.back(), out.bytes.size());
        for (const TruthRecord& t : epoch.truth) {
            ++ggas;
            if (out.intact[t.sentence]) {
                ++intactGgas;
                intactTruth.push_back(t);
            }
        }
        bytes += out.bytes;
    }
    EXPECT_GT(faulty.Checksums(), 0);
    EXPECT_GT(faulty.Truncations(), 0);
    EXPECT_GT(faulty.NoiseBursts(), 0);
    EXPECT_LT(intactGgas, ggas);
    EXPECT_GT(intactGgas, ggas / 3);

    // Every GGA called intact arrives; nothing arrives that was not sent.
    ReceiverState parser;
    const std::vector<DisplaySnapshot> fixes = Decode(parser, bytes);
    EXPECT_GT(parser.Counts().checksumErrors, 0u);
    EXPECT_LE(fixes.size(), ggas);
    size_t found = 0;
    for (const TruthRecord& t : intactTruth)
        found += std::any_of(fixes.begin(), fixes.end(), [&](const DisplaySnapshot& f) {
            return std::fabs(f.latitude - t.latitude) < 1e-12 && std::fabs(f.longitude - t.longitude) < 1e-12;
        });
    EXPECT_EQ(found, intactTruth.size());
}

TEST(Dops, FromGeometry)
{
    // Four satellites: one overhead, three at 30 degrees spaced evenly.
    const std::vector<SimSatellite> good{{1, 90, 0}, {2, 30, 0}, {3, 30, 120}, {4, 30, 240}};
    const Dops dops = ComputeDops(good);
    ASSERT_TRUE(dops.valid);
    EXPECT_NEAR(dops.pdop * dops.pdop, dops.hdop * dops.hdop + dops.vdop * dops.vdop, 1e-9);
    EXPECT_GT(dops.hdop, 1.0);
    EXPECT_LT(dops.hdop, 2.0);
    EXPECT_FALSE(ComputeDops({{1, 90, 0}, {2, 30, 0}, {3, 30, 120}}).valid) << "three satellites";
    EXPECT_FALSE(ComputeDops({{1, 45, 10}, {2, 45, 10}, {3, 45, 10}, {4, 45, 10}}).valid) << "one direction";
}

}  // namespace
