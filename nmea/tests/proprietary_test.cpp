#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/receiver_state.h"
#include "nmea/tests/sentence.h"

namespace {

struct ConfigCase {
    const char* name;
    int dualBefore, modeBefore;
    std::string input;  // raw bytes
    int dualAfter, modeAfter;
};

TEST(ConfigReply, SolutionLetterInFieldEight)
{
    const ConfigCase cases[] = {
        {"D keeps the mode", 0, 0, Sentence("PXTNCFG,N,M,,,,,,,D"), 1, 0},
        {"D keeps Precision", 0, 1, Sentence("PXTNCFG,N,M,,,,,,,D,1"), 1, 1},
        {"I ends dual mode", 1, 1, Sentence("PXTNCFG,N,M,,,,,,,I"), 0, 0},
        {"P selects Precision", 1, 0, Sentence("PXTNCFG,N,M,,,,,,,P"), 0, 1},
        {"X changes nothing", 1, 1, Sentence("PXTNCFG,N,M,,,,,,,X"), 1, 1},
        {"fewer than nine fields", 1, 1, Sentence("PXTNCFG,N,M,,,"), 0, 0},
        {"field eight empty", 1, 1, Sentence("PXTNCFG,N,M,,,,,,,,D"), 0, 0},
        {"field eight empty at the end", 1, 1, Sentence("PXTNCFG,N,M,,,,,,,"), 0, 0},
        {"echoed bare query", 1, 1, "$PXTNCFG*50\r", 0, 0},
        {"empty data is not walked", 1, 1, "$PXTNCFG,\r", 1, 1},
    };
    for (const ConfigCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverState parser;
        parser.m_dualMode = c.dualBefore;
        parser.m_solutionMode = c.modeBefore;
        Feed(parser, c.input);
        EXPECT_EQ(parser.m_dualMode.load(), c.dualAfter);
        EXPECT_EQ(parser.m_solutionMode.load(), c.modeAfter);
    }
}

TEST(Raim, ProtectionLevelAndFigureOfMerit)
{
    ReceiverState parser;
    Feed(parser, Sentence("GPRAIM,1234,X,567,whatever"));
    EXPECT_EQ(parser.m_raimHpl, 1234);
    EXPECT_EQ(parser.m_raimHfom, 567);
    Feed(parser, Sentence("GPRAIM,,,"));
    EXPECT_EQ(parser.m_raimHpl, 0);
    EXPECT_EQ(parser.m_raimHfom, 0);
    Feed(parser, Sentence("GPRAIM,99"));
    EXPECT_EQ(parser.m_raimHpl, 99);
    EXPECT_EQ(parser.m_raimHfom, 0);

    // The precision solution has no RAIM: every RAIM sentence clears both.
    parser.m_solutionMode = ReceiverState::Precision;
    Feed(parser, Sentence("GPRAIM,1234,X,567"));
    EXPECT_EQ(parser.m_raimHpl, 0);
    EXPECT_EQ(parser.m_raimHfom, 0);
}

struct FilterCase {
    const char* name;
    int dual, mode;
    const char* talker;
    bool decoded;
};

TEST(DualModeFilter, DropsTheOtherSolution)
{
    const FilterCase cases[] = {
        {"dual, Integrity, GN dropped", 1, 0, "GN", false},
        {"dual, Integrity, GP decoded", 1, 0, "GP", true},
        {"dual, Precision, GP dropped", 1, 1, "GP", false},
        {"dual, Precision, GN decoded", 1, 1, "GN", true},
        {"dual, GL always decoded", 1, 1, "GL", true},
        {"single, GN decoded", 0, 0, "GN", true},
        {"single, GP decoded in Precision", 0, 1, "GP", true},
    };
    for (const FilterCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverState parser;
        parser.m_dualMode = c.dual;
        parser.m_solutionMode = c.mode;
        int handOffs = 0;
        parser.SetPositionHandOff([&] { ++handOffs; });
        Feed(parser, Sentence(std::string(c.talker) + "GGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,"));
        Feed(parser, Sentence(std::string(c.talker) + "GSA,A,3,01,,,,,,,,,,,,2.5,1.5,2.0"));
        EXPECT_EQ(handOffs, c.decoded ? 1 : 0);
        EXPECT_EQ(parser.m_ggaCount, c.decoded ? 1 : 0);
        EXPECT_EQ(parser.m_gsaCount, c.decoded ? 1 : 0);
        EXPECT_EQ(parser.m_latitude != 0.0, c.decoded);
    }
}

TEST(DualModeFilter, ProprietarySentencesPassInBothModes)
{
    ReceiverState parser;
    parser.m_dualMode = 1;
    parser.m_solutionMode = ReceiverState::Integrity;
    Feed(parser, Sentence("PXTNCFG,N,M,,,,,,,P"));
    EXPECT_EQ(parser.m_dualMode.load(), 0);
    EXPECT_EQ(parser.m_solutionMode.load(), 1);
}

TEST(HandOff, RunsAfterEveryGgaWithTheDecodedFix)
{
    ReceiverState parser;
    std::vector<double> seen;
    parser.SetPositionHandOff([&] { seen.push_back(parser.m_latitude); });
    Feed(parser, Sentence("GPGGA,1,0100.000,N,,,1"));
    Feed(parser, Sentence("GNGGA,1,0200.000,N,,,1"));
    Feed(parser, Sentence("GPVTG,1"));
    EXPECT_EQ(seen, (std::vector<double>{1.0, 2.0}));
}

TEST(ResetData, KeepsConfigurationAndRaim)
{
    ReceiverState parser;
    Feed(parser, Sentence("PXTNCFG,,,,,,,,,D"));
    Feed(parser, Sentence("GPRAIM,10,0,20"));
    Feed(parser, Sentence("GPGGA,1,0100.000,N,,,1,5,1.0,10"));
    Feed(parser, Sentence("GPGSV,1,1,1,5,10,20,30"));
    Feed(parser, "$GPGGA,partial");
    parser.ResetData();
    EXPECT_EQ(parser.m_dualMode.load(), 1);
    EXPECT_EQ(parser.m_raimHpl, 10);
    EXPECT_EQ(parser.m_raimHfom, 20);
    EXPECT_EQ(parser.m_latitude, 0.0);
    EXPECT_EQ(parser.m_ggaCount, 0);
    EXPECT_EQ(parser.m_gpsInView, SatelliteViewTable{});
    EXPECT_EQ(parser.m_allInView, SatelliteViewTable{});
    EXPECT_EQ(parser.FramerState(), SentenceFramer::StateData) << "the framer keeps its partial sentence";

    parser.ForgetIntegrity();  // another source: its HPL would judge the wrong fixes
    EXPECT_EQ(parser.m_raimHpl, 0);
    EXPECT_EQ(parser.m_raimHfom, 0);
    EXPECT_EQ(parser.m_dualMode.load(), 1);
}

}  // namespace
