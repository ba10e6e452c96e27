#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "nmea/gnss_model.h"
#include "nmea/receiver_state.h"
#include "nmea/tests/sentence.h"

namespace {

// "GPGSV,1,1,..." fed straight to the model, no framing.
void FeedModel(GnssModel& model, const std::vector<std::string>& bodies)
{
    for (const std::string& body : bodies) {
        const size_t comma = body.find(',');
        model.OnSentence(std::string_view(body).substr(0, comma),
                         comma == std::string::npos ? std::string_view() : std::string_view(body).substr(comma + 1));
    }
}

// "GPS 5/1 c19 u" per signal: system, number/signal, C/N0 when given, used.
std::string Shown(const GnssModel& model)
{
    GnssSnapshot snapshot;
    model.CopyTo(snapshot);
    std::ostringstream out;
    for (const GnssSignalView& s : snapshot.satellites) {
        out << SystemName(s.system) << ' ' << s.number << '/' << s.signal;
        if (s.cnr)
            out << " c" << *s.cnr;
        if (s.used)
            out << " u";
        out << ';';
    }
    return out.str();
}

struct RuleCase {
    const char* name;
    std::vector<std::string> sentences;
    const char* shown;
};

TEST(GnssModel, CycleRules)
{
    const RuleCase cases[] = {
        {"one-message cycle", {"GPGSV,1,1,01,05,06,110,19"}, "GPS 5/0 c19;"},
        {"two messages in order",
         {"GPGSV,2,1,05,01,,,30,02,,,31,03,,,32,04,,,33", "GPGSV,2,2,05,06,,,34"},
         "GPS 1/0 c30;GPS 2/0 c31;GPS 3/0 c32;GPS 4/0 c33;GPS 6/0 c34;"},
        {"unfinished cycle shows nothing", {"GPGSV,2,1,05,01,,,30"}, ""},
        {"message out of order is dropped", {"GPGSV,3,1,09,01,,,30", "GPGSV,3,3,09,09,,,39"}, ""},
        {"a new message 1 discards the unfinished cycle",
         {"GPGSV,2,1,05,01,,,30", "GPGSV,1,1,01,07,,,37"},
         "GPS 7/0 c37;"},
        {"a complete cycle replaces the last one of its pair",
         {"GPGSV,1,1,01,05,,,19", "GPGSV,1,1,01,06,,,20"},
         "GPS 6/0 c20;"},
        {"one numbering across talkers",
         {"GPGSV,4,1,04,01,,,30", "GPGSV,4,2,04,02,,,31", "GLGSV,4,3,04,65,,,32", "GAGSV,4,4,04,11,,,33"},
         "GPS 1/0 c30;GPS 2/0 c31;GLONASS 65/0 c32;Galileo 11/0 c33;"},
        {"another talker's cycle needs the same total",
         {"GPGSV,2,1,02,01,,,30", "GLGSV,3,2,02,65,,,32"},
         ""},
        {"another talker's cycle needs the same signal",
         {"GPGSV,2,1,02,01,,,30,1", "GLGSV,2,2,02,65,,,32,3"},
         ""},
        {"own open cycle not continued out of turn is not borrowed",
         {"GPGSV,2,1,02,01,,,30", "GLGSV,2,1,02,65,,,32", "GLGSV,2,2,02,66,,,33", "GPGSV,2,2,02,02,,,31"},
         "GPS 1/0 c30;GPS 2/0 c31;GLONASS 65/0 c32;GLONASS 66/0 c33;"},
        {"bad totals and numbers are dropped",
         {"GPGSV,,1,01,01,,,30", "GPGSV,1,,01,02,,,30", "GPGSV,100,1,01,03,,,30", "GPGSV,1,2,01,04,,,30",
          "GPGSV,0,0,01,05,,,30"},
         ""},
        {"empty number is no satellite; empty fields are absent, 0 stays 0",
         {"GPGSV,1,1,03,,10,20,30,07,,,0,08,,,"},
         "GPS 7/0 c0;GPS 8/0;"},
        {"signal streams stay apart",
         {"GPGSV,1,1,01,05,,,19,1", "GPGSV,1,1,01,05,,,25,6"},
         "GPS 5/1 c19;GPS 5/6 c25;"},
        {"the same satellite from two streams: latest completed wins",
         {"GPGSV,1,1,01,05,,,19", "GNGSV,1,1,01,05,,,44"},
         "GPS 5/0 c44;"},
        {"a talker's empty cycle clears its stream",
         {"GAGSV,1,1,01,11,,,33,7", "GAGSV,1,1,00,7"},
         ""},
        {"three-digit numbers through GN",
         {"GNGSV,1,1,04,120,,,40,193,,,41,301,,,42,437,,,43"},
         "SBAS 120/0 c40;Galileo 1/0 c42;BeiDou 37/0 c43;QZSS 193/0 c41;"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        GnssModel model;
        FeedModel(model, c.sentences);
        EXPECT_EQ(Shown(model), c.shown);
    }

    // 77 satellites (32 GPS, 32 GLONASS, 13 Galileo) on two signals: 154.
    std::vector<int> numbers;
    for (int n = 1; n <= 32; ++n)
        numbers.push_back(n);
    for (int n = 65; n <= 96; ++n)
        numbers.push_back(n);
    for (int n = 301; n <= 313; ++n)
        numbers.push_back(n);
    GnssModel model;
    for (int signal : {1, 7}) {
        for (size_t m = 0; m < 20; ++m) {
            std::string body = "GNGSV,20," + std::to_string(m + 1) + ",77";
            for (size_t k = 4 * m; k < std::min(numbers.size(), 4 * m + 4); ++k)
                body += "," + std::to_string(numbers[k]) + ",45,180,40";
            FeedModel(model, {body + "," + std::to_string(signal)});
        }
    }
    GnssSnapshot snapshot;
    model.CopyTo(snapshot);
    EXPECT_EQ(snapshot.satellites.size(), 154u);
}

TEST(GnssModel, SignalIdOnlyWhenFieldsAre4nPlus1)
{
    struct Case {
        const char* body;
        const char* shown;
    } cases[] = {
        {"GPGSV,1,1,01,05,06,110,19", "GPS 5/0 c19;"},          // before 4.10
        {"GPGSV,1,1,01,05,06,110,19,8", "GPS 5/8 c19;"},        // 4.10
        {"GBGSV,1,1,01,05,06,110,19,B", "BeiDou 5/11 c19;"},    // hexadecimal
        {"GBGSV,1,1,01,05,06,110,19,", "BeiDou 5/0 c19;"},      // empty ID
        {"GPGSV,1,1,01,05,06,110", "GPS 5/0;"},                 // group cut short
        {"GPGSV,1,1,00,1", ""},                                 // nothing in view
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        GnssModel model;
        FeedModel(model, {c.body});
        EXPECT_EQ(Shown(model), c.shown);
    }
}

TEST(GnssModel, UsedListRules)
{
    const RuleCase cases[] = {
        {"system ID gives the system",
         {"GNGSV,1,1,02,05,,,30,65,,,31", "GAGSV,1,1,01,05,,,32", "GNGSA,A,3,05,,,,,,,,,,,,1.0,1.0,1.0,3"},
         "GPS 5/0 c30;GLONASS 65/0 c31;Galileo 5/0 c32 u;"},
        {"without an ID the talker and number decide",
         {"GNGSV,1,1,02,05,,,30,65,,,31", "GNGSA,A,3,05,65,,,,,,,,,,,1.0,1.0,1.0"},
         "GPS 5/0 c30 u;GLONASS 65/0 c31 u;"},
        {"under GPS, SBAS and QZSS numbers keep their system",
         {"GNGSV,1,1,03,05,,,30,131,,,31,194,,,32", "GNGSA,A,3,05,131,194,,,,,,,,,,1.0,1.0,1.0,1"},
         "GPS 5/0 c30 u;SBAS 131/0 c31 u;QZSS 194/0 c32 u;"},
        {"an empty GSA with an ID clears that system only",
         {"GNGSV,1,1,02,05,,,30,65,,,31", "GNGSA,A,3,05,65,,,,,,,,,,,1.0,1.0,1.0",
          "GNGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0,2"},
         "GPS 5/0 c30 u;GLONASS 65/0 c31;"},
        {"a one-system talker names its system",
         {"GLGSV,1,1,01,65,,,31", "GLGSA,A,3,65,,,,,,,,,,,,1.0,1.0,1.0", "GLGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0"},
         "GLONASS 65/0 c31;"},
        {"used whatever the signal",
         {"GPGSV,1,1,01,05,,,30,1", "GPGSV,1,1,01,05,,,20,5", "GNGSA,A,3,05,,,,,,,,,,,,1.0,1.0,1.0,1"},
         "GPS 5/1 c30 u;GPS 5/5 c20 u;"},
        {"a GPS GSA leaves the other systems' lists",
         {"GNGSV,1,1,02,05,,,30,06,,,31", "GAGSV,1,1,01,05,,,32", "GNGSA,A,3,05,,,,,,,,,,,,1.0,1.0,1.0,3",
          "GNGSA,A,3,06,,,,,,,,,,,,1.0,1.0,1.0,1"},
         "GPS 5/0 c30;GPS 6/0 c31 u;Galileo 5/0 c32 u;"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        GnssModel model;
        FeedModel(model, c.sentences);
        EXPECT_EQ(Shown(model), c.shown);
    }
}

TEST(GnssModel, TimeDateAndQualitySentences)
{
    GnssModel model;
    FeedModel(model, {"GNRMC,123456.20,A,4552.65403,S,17030.00668,E,0.025,,120479,,,A,V",
                      "GNGST,235647.00,0.003,0.054,0.044,139.7,0.050,0.049,0.070",
                      "GNGBS,231412.00,0.1,0.2,0.3,04,,73.7,45.5,3,1",
                      "GNGNS,103607.00,5327.03942,N,00214.42462,W,AANN,06,5.88,56.0,48.5,,,V"});
    GnssSnapshot s;
    model.CopyTo(s);
    EXPECT_EQ(s.date, (GnssDate{2079, 4, 12}));
    EXPECT_EQ(s.time, "12:34:56.20");
    EXPECT_EQ(s.rmcStatus, 'A');
    EXPECT_EQ(s.gst, (GstFields{0.003, 0.054, 0.044, 139.7, 0.050, 0.049, 0.070}));
    ASSERT_TRUE(s.gbs);
    EXPECT_EQ(s.gbs->suspect, (GnssSatelliteId{GnssSystem::Galileo, 4}));
    EXPECT_EQ(s.gbs->probability, std::nullopt);
    EXPECT_EQ(s.gbs->bias, 73.7);
    EXPECT_EQ(s.gns, (GnsFields{"AANN", 6, 5.88}));

    // The latest of RMC and ZDA holds, empty fields included.
    FeedModel(model, {"GNZDA,003956,12,04,2019,-05,30", "GNGST,1,,,,,,,"});
    model.CopyTo(s);
    EXPECT_EQ(s.date, (GnssDate{2019, 4, 12}));
    EXPECT_EQ(s.time, "00:39:56");
    EXPECT_EQ(s.zoneHours, -5);
    EXPECT_EQ(s.gst, GstFields{});
    // A field where no number starts is absent too, never 0.
    FeedModel(model, {"GNGST,1,x,-,.,,,,1.5"});
    model.CopyTo(s);
    EXPECT_EQ(s.gst, (GstFields{std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 1.5}));
    FeedModel(model, {"GPRMC,,V,,,,,,,,,,N"});
    model.CopyTo(s);
    EXPECT_EQ(s.date, std::nullopt);
    EXPECT_EQ(s.time, "");
    EXPECT_EQ(s.rmcStatus, 'V');
    // RMC years from 80 on are of the 1900s.
    FeedModel(model, {"GPRMC,000000,A,,,,,,,010180,,,A"});
    model.CopyTo(s);
    EXPECT_EQ(s.date, (GnssDate{1980, 1, 1}));
}

TEST(GnssModel, HostileTalkersStayBounded)
{
    GnssModel model;
    std::vector<std::string> bodies;
    for (char a = 'A'; a <= 'Z'; ++a)
        for (char b = 'A'; b <= 'Z'; ++b)
            for (int signal : {1, 2}) {
                bodies.push_back(std::string{a, b} + "GSV,1,1,01,05,,,30," + std::to_string(signal));
                bodies.push_back(std::string{a, b} + "GSV,3,1,01,05,,,30," + std::to_string(signal));
            }
    FeedModel(model, bodies);
    EXPECT_LE(model.StreamCount(), GnssModel::kMaxStreams);
    EXPECT_LE(model.CycleSlotCount(), GnssModel::kMaxOpenCycles);
}

TEST(GnssModel, FedByTheReceiverStateAndResetWithIt)
{
    ReceiverState parser;
    Feed(parser, Sentence("GAGSV,1,1,01,12,61,237,31,7"));
    GnssSnapshot s;
    parser.m_gnssModel.CopyTo(s);
    ASSERT_EQ(s.satellites.size(), 1u);
    EXPECT_EQ(s.satellites[0], (GnssSignalView{GnssSystem::Galileo, 12, 7, 61, 237, 31, false}));
    parser.ResetData();
    parser.m_gnssModel.CopyTo(s);
    EXPECT_TRUE(s.satellites.empty());
}

}  // namespace

namespace {

std::string Gga(const char* time) { return std::string("GPGGA,") + time + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"; }

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::string> Repeat(const std::string& s, int n) { return std::vector<std::string>(static_cast<size_t>(n), s); }

// The dialects of real receivers and the ageing of satellites on receiver time.
TEST(GnssModel, DialectRules)
{
    const std::string gsv = "GPGSV,1,1,01,05,,,19";
    const RuleCase cases[] = {
        {"talker QZ is QZSS, numbers as sent", {"QZGSV,1,1,01,02,05,042,26"}, "QZSS 2/0 c26;"},
        {"QZGSA names QZSS satellites used",
         {"QZGSV,1,1,01,02,05,042,26", "QZGSA,A,3,02,,,,,,,,,,,,1.0,1.0,1.0"},
         "QZSS 2/0 c26 u;"},
        {"one sequence across signals of one talker",
         {"GPGSV,2,1,05,01,,,30,02,,,31,03,,,32,04,,,33,1", "GPGSV,2,2,05,01,,,38,8"},
         "GPS 1/1 c30;GPS 1/8 c38;GPS 2/1 c31;GPS 3/1 c32;GPS 4/1 c33;"},
        {"the sequence's later message may name the first signal",
         {"GAGSV,2,1,03,03,,,40,05,,,41,6", "GAGSV,2,2,03,03,,,42,1"},
         "Galileo 3/1 c42;Galileo 3/6 c40;Galileo 5/6 c41;"},
        {"a later cycle replaces only the pairs it names",
         {"GPGSV,2,1,05,01,,,30,02,,,31,03,,,32,04,,,33,1", "GPGSV,2,2,05,01,,,38,8", "GPGSV,1,1,01,07,,,35,1"},
         "GPS 1/8 c38;GPS 7/1 c35;"},
        {"an own open cycle that is not next still drops the message",
         {"GPGSV,3,1,09,01,,,30,1", "GPGSV,3,3,09,09,,,39,8"},
         ""},
        {"PQGSV with system 4 is BeiDou", {"PQGSV,1,1,02,02,20,116,30,03,,,,0,4"}, "BeiDou 2/0 c30;BeiDou 3/0;"},
        {"PQGSV with system 5 is QZSS", {"PQGSV,1,1,01,02,20,116,30,0,5"}, "QZSS 2/0 c30;"},
        {"a number empty, 0 or not a number is no satellite",
         {"GPGSV,1,1,04,,10,100,20,00,11,110,21,x1,12,120,22,07,13,130,23"},
         "GPS 7/0 c23;"},
        {"a group cut short counts with a valid number", {"GPGSV,1,1,02,05,10,100,20,06,11"}, "GPS 5/0 c20;GPS 6/0;"},
        {"a group cut short without a number does not", {"GPGSV,1,1,02,05,10,100,20,,11"}, "GPS 5/0 c20;"},
        {"10 s after the stamp a stream still shows", {Gga("120000"), gsv, Gga("120010")}, "GPS 5/0 c19;"},
        {"more than 10 s after it the stream is emptied", {Gga("120000"), gsv, Gga("120010.5")}, ""},
        {"across midnight, still young", {Gga("235955"), gsv, Gga("000004")}, "GPS 5/0 c19;"},
        {"across midnight, old", {Gga("235955"), gsv, Gga("000006")}, ""},
        {"an RMC's time stamps the cycle too",
         {"GPRMC,120000,A,4807.038,N,01131.000,E,0.0,0.0,091226,,,A", gsv, Gga("120011")},
         ""},
        {"a GGA without a time ages nothing stamped", {Gga("120000"), gsv, Gga("")}, "GPS 5/0 c19;"},
        {"without any time: 50 GGAs keep the stream", Join({gsv}, Repeat(Gga(""), 50)), "GPS 5/0 c19;"},
        {"without any time: the 51st empties it", Join({gsv}, Repeat(Gga(""), 51)), ""},
        {"a new cycle restarts the count", Join(Join({gsv}, Repeat(Gga(""), 40)), Join({gsv}, Repeat(Gga(""), 40))),
         "GPS 5/0 c19;"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        GnssModel model;
        FeedModel(model, c.sentences);
        EXPECT_EQ(Shown(model), c.shown);
    }
}

// The receiver state hands its GGAs to the model: a satellite seen once at
// a recording's start is gone by its end.
TEST(GnssModel, SatellitesAgeThroughTheReceiverState)
{
    ReceiverState parser;
    std::string bytes = Sentence(Gga("120000")) + Sentence("GAGSV,1,1,01,05,,,19,7");
    for (int s = 1; s <= 20; ++s) {
        char time[16];
        std::snprintf(time, sizeof time, "1200%02d", s);
        bytes += Sentence(Gga(time));
    }
    Feed(parser, bytes);
    EXPECT_EQ(Shown(parser.m_gnssModel), "");
}

}  // namespace
