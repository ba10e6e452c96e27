#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"
#include "nmea/tests/sentence.h"

namespace {

struct Gga {
    double latitude, longitude;
    int quality, sats;
    double hdop, altitude;
    bool utcValid;
    int hour, minute, second;
};

struct GgaCase {
    const char* name;
    std::vector<std::string> before;  // bodies fed first
    std::string body;
    Gga expected;
};

TEST(DecodeGGA, Table)
{
    const std::string standard = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const GgaCase cases[] = {
        {"standard", {}, standard, {48.0 + 7.038 / 60.0, 11.0 + 31.0 / 60.0, 1, 8, 0.9, 545.4, true, 12, 35, 19}},
        {"south and west", {}, "GPGGA,000001.00,4807.038,S,01131.000,W,2,12,1.5,-3.25,M,,,,",
         {-(48.0 + 7.038 / 60.0), -(11.0 + 31.0 / 60.0), 2, 12, 1.5, -3.25, true, 0, 0, 1}},
        {"any talker", {}, "GNGGA,235959,0000.000,N,00000.000,E,4,3,0,0", {0.0, 0.0, 4, 3, 0.0, 0.0, true, 23, 59, 59}},
        {"no fix keeps quality, sats, hdop, altitude", {standard}, "GPGGA,123520,,,,,,,,,M,,M,,",
         {0.0, 0.0, 1, 8, 0.9, 545.4, true, 12, 35, 20}},
        {"quality zero is sent, not empty", {standard}, "GPGGA,123521,,,,,0,00,99.9,,,,,,",
         {0.0, 0.0, 0, 0, 99.9, 545.4, true, 12, 35, 21}},
        // Short fields read what is there and never past it.
        {"one-character latitude", {}, "GPGGA,12,4,N,1,E,1", {4.0, 1.0, 1, 0, 0.0, 0.0, false, 0, 0, 0}},
        {"three-character latitude", {}, "GPGGA,,480,N,0113,E", {48.0, 11.0 + 3.0 / 60.0, 0, 0, 0.0, 0.0, false, 0, 0, 0}},
        {"three-digit satellite count reads two", {}, "GPGGA,010203,,,,,1,123", {0.0, 0.0, 1, 12, 0.0, 0.0, true, 1, 2, 3}},
        {"data ends early", {standard}, "GPGGA,101010", {0.0, 0.0, 1, 8, 0.9, 545.4, true, 10, 10, 10}},
    };
    for (const GgaCase& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverState parser;
        for (const std::string& b : c.before)
            Feed(parser, Sentence(b));
        Feed(parser, Sentence(c.body));
        EXPECT_DOUBLE_EQ(parser.m_latitude, c.expected.latitude);
        EXPECT_DOUBLE_EQ(parser.m_longitude, c.expected.longitude);
        EXPECT_EQ(parser.m_fixQuality, c.expected.quality);
        EXPECT_EQ(parser.m_satsInUse, c.expected.sats);
        EXPECT_DOUBLE_EQ(parser.m_ggaHdop, c.expected.hdop);
        EXPECT_DOUBLE_EQ(parser.m_altitude, c.expected.altitude);
        EXPECT_EQ(parser.m_utcValid, c.expected.utcValid);
        if (c.expected.utcValid) {
            EXPECT_EQ(parser.m_utcHour, c.expected.hour);
            EXPECT_EQ(parser.m_utcMinute, c.expected.minute);
            EXPECT_EQ(parser.m_utcSecond, c.expected.second);
        }
        EXPECT_EQ(parser.m_ggaCount, static_cast<int>(c.before.size()) + 1);
    }
}

// The accuracy figures count a GGA by its own fields, never by values an
// earlier sentence left behind.
TEST(DecodeGGA, CountedQuality)
{
    const std::string standard = "GPGGA,123519,4807.038,N,01131.000,E,4,08,0.9,545.4,M,46.9,M,,";
    const std::pair<const char*, int> cases[] = {
        {"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", 1},
        {"GNGGA,123519,4807.038,N,01131.000,E,9,08,0.9,545.4,M,46.9,M,,", 9},
        {"GPGGA,123519,4807.038,N,01131.000,E,0,08,0.9,545.4,M,46.9,M,,", 0},
        {"GPGGA,123519,4807.038,N,01131.000,E,,08,0.9,545.4,M,46.9,M,,", 0},  // the kept quality 4 is not this GGA's
        {"GPGGA,123519,4807.038,N,01131.000,E,A,08,0.9,545.4,M,46.9,M,,", 0},
        {"GPGGA,123519,4807.038,N,01131.000,E,12,08,0.9,545.4,M,46.9,M,,", 0},
        {"GPGGA,123519,,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", 0},
        {"GPGGA,123519,4807.038,N,,E,1,08,0.9,545.4,M,46.9,M,,", 0},
        {"GPGGA,123519,4807.038,N,01131.000,E,5", 5},  // altitude need not be sent
    };
    for (const auto& [body, expected] : cases) {
        ReceiverState parser;
        Feed(parser, Sentence(standard));
        Feed(parser, Sentence(body));
        EXPECT_EQ(parser.m_ggaCountedQuality, expected) << body;
        DisplaySnapshot snapshot;
        CopyToSnapshot(parser, snapshot);
        EXPECT_EQ(snapshot.countedQuality, expected) << body;
    }
}

TEST(DecodeGGA, SpecificationExampleValues)
{
    ReceiverState parser;
    parser.DecodeGGA("123519,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,");
    EXPECT_NEAR(parser.m_latitude, -48.1173, 1e-9);
    EXPECT_NEAR(parser.m_longitude, -11.516667, 1e-6);
}

TEST(DecodeGSA, ClassifiesBySmallestPrn)
{
    struct Case {
        const char* name;
        std::string body;
        std::vector<int> gpsUsed, glonassUsed;  // first twelve slots expected
        double gps[3], glonass[3];
    };
    const std::vector<int> none(12, 0);
    const Case cases[] = {
        {"GLONASS", "GNGSA,A,3,67,68,79,,,,,,,,,,1.5,0.9,1.2", none,
         {67, 68, 79, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0}, {1.5, 0.9, 1.2}},
        {"GPS when a GPS PRN is smallest", "GNGSA,A,3,67,68,79,05,,,,,,,,,1.5,0.9,1.2",
         {67, 68, 79, 5, 0, 0, 0, 0, 0, 0, 0, 0}, none, {1.5, 0.9, 1.2}, {0, 0, 0}},
        {"three-digit PRN cut to two digits", "GPGSA,A,3,120,,,,,,,,,,,,2.0,1.0,1.7",
         {12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, none, {2.0, 1.0, 1.7}, {0, 0, 0}},
        {"SBAS only writes no list but GPS DOPs", "GPGSA,A,3,40,41,,,,,,,,,,,3.0,2.0,1.0", none, none,
         {3.0, 2.0, 1.0}, {0, 0, 0}},
        {"no PRN at all", "GPGSA,A,1,,,,,,,,,,,,,,,", none, none, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReceiverState parser;
        Feed(parser, Sentence(c.body));
        EXPECT_EQ(std::vector<int>(parser.m_gpsPrnsUsed.begin(), parser.m_gpsPrnsUsed.begin() + 12), c.gpsUsed);
        EXPECT_EQ(std::vector<int>(parser.m_glonassPrnsUsed.begin(), parser.m_glonassPrnsUsed.begin() + 12), c.glonassUsed);
        EXPECT_EQ(parser.m_gpsPdop, c.gps[0]);
        EXPECT_EQ(parser.m_gpsHdop, c.gps[1]);
        EXPECT_EQ(parser.m_gpsVdop, c.gps[2]);
        EXPECT_EQ(parser.m_glonassPdop, c.glonass[0]);
        EXPECT_EQ(parser.m_glonassHdop, c.glonass[1]);
        EXPECT_EQ(parser.m_glonassVdop, c.glonass[2]);
        EXPECT_EQ(parser.m_gsaMode, 'A');
        EXPECT_EQ(parser.m_gsaCount, 1);
    }
}

TEST(DecodeGSA, ModeAndFixTypeKeptWhenEmpty)
{
    ReceiverState parser;
    parser.DecodeGSA("M,3,01,,,,,,,,,,,,1,1,1");
    parser.DecodeGSA(",,02,,,,,,,,,,,,1,1,1");
    EXPECT_EQ(parser.m_gsaMode, 'M');
    EXPECT_EQ(parser.m_gsaFixType, 3);
    EXPECT_EQ(parser.m_gpsPrnsUsed[0], 2);
    EXPECT_EQ(parser.m_gsaCount, 2);
}

TEST(DecodeVTG, EmptyFieldsKeepTheirValues)
{
    ReceiverState parser;
    Feed(parser, Sentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A"));
    EXPECT_EQ(parser.m_courseTrue, 54.7);
    EXPECT_EQ(parser.m_courseMagnetic, 34.4);
    EXPECT_EQ(parser.m_speedKnots, 5.5);
    EXPECT_EQ(parser.m_speedKmh, 10.2);
    EXPECT_EQ(parser.m_vtgMode, 'A');
    Feed(parser, Sentence("GNVTG,,T,,M,0.1,N,,K,"));
    EXPECT_EQ(parser.m_courseTrue, 54.7);
    EXPECT_EQ(parser.m_courseMagnetic, 34.4);
    EXPECT_EQ(parser.m_speedKnots, 0.1);
    EXPECT_EQ(parser.m_speedKmh, 10.2);
    EXPECT_EQ(parser.m_vtgMode, 'A');
}

TEST(DecodeGSV, MessageNumberPlacesFourEntries)
{
    ReceiverState parser;
    Feed(parser, Sentence("GPGSA,A,3,10,,,,,,,,,,,,1,1,1"));
    Feed(parser, Sentence("GPGSV,3,3,11,10,45,120,40,11,05,300,,12,,,"));
    const SatelliteViewTable& t = parser.m_gpsInView;
    EXPECT_EQ(t.count, 11);
    EXPECT_EQ(t.sentenceCount, 1);
    EXPECT_EQ(t.entries[8], (SatelliteInView{10, 40, 1, 120, 45}));
    EXPECT_EQ(t.entries[9], (SatelliteInView{11, 0, 0, 300, 5}));
    EXPECT_EQ(t.entries[10], (SatelliteInView{12, 0, 0, 0, 0}));
    EXPECT_EQ(t.entries[11], (SatelliteInView{}));  // surplus entry zeroed
    EXPECT_EQ(t.entries[7], (SatelliteInView{}));
}

TEST(DecodeGSV, OutOfRangeMessagesChangeNothing)
{
    const char* bodies[] = {
        "GPGSV,3,0,11,10,45,120,40",  "GPGSV,3,10,11,10,45,120,40", "GPGSV,3,,11,10,45,120,40",
        "GPGSV,0,1,11,10,45,120,40",  "GPGSV,10,1,11,10,45,120,40", "GPGSV,,1,11,10,45,120,40",
        "GPGSV,,,,,,,,,,,,,,,,,,,",
    };
    for (const char* body : bodies) {
        ReceiverState parser;
        Feed(parser, Sentence(body));
        EXPECT_EQ(parser.m_gpsInView, SatelliteViewTable{}) << body;
        EXPECT_EQ(parser.m_allInView.sentenceCount, 1) << "the merge runs anyway: " << body;
    }
}

TEST(MergeSatellites, GpsFirstThenGlonassRestCleared)
{
    ReceiverState parser;
    for (int m = 1; m <= 3; ++m) {
        std::string body = "GPGSV,3," + std::to_string(m) + ",10";
        for (int j = 0; j < 4; ++j)
            body += "," + std::to_string(4 * (m - 1) + j + 1) + ",10,20,30";
        Feed(parser, Sentence(body));
    }
    for (int m = 1; m <= 2; ++m) {
        std::string body = "GLGSV,2," + std::to_string(m) + ",7";
        for (int j = 0; j < 4; ++j)
            body += "," + std::to_string(65 + 4 * (m - 1) + j) + ",10,20,30";
        Feed(parser, Sentence(body));
    }
    const SatelliteViewTable& all = parser.m_allInView;
    EXPECT_EQ(all.count, 17);
    EXPECT_EQ(all.sentenceCount, 5);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(all.entries[i].prn, i + 1);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(all.entries[10 + i].prn, 65 + i);
    for (int i = 17; i < kMaxSatellites; ++i)
        EXPECT_EQ(all.entries[i].prn, 0) << i;

    // A talker we do not decode still merges.
    Feed(parser, Sentence("BDGSV,1,1,01,201,10,20,30"));
    EXPECT_EQ(all.sentenceCount, 6);
    EXPECT_EQ(all.count, 17);
}

TEST(MergeSatellites, CountsAboveTheTableAreStoredButNeverIndexed)
{
    ReceiverState parser;
    Feed(parser, Sentence("GPGSV,9,9,200,1,2,3,4"));
    Feed(parser, Sentence("GLGSV,9,9,2147483647,65,2,3,4"));
    EXPECT_EQ(parser.m_gpsInView.count, 200);
    EXPECT_EQ(parser.m_glonassInView.count, 2147483647);
    EXPECT_EQ(parser.m_allInView.count, 2147483647);  // saturated, not wrapped
    EXPECT_EQ(parser.m_allInView.entries[32].prn, 1);
    EXPECT_EQ(parser.m_allInView.entries[95].prn, 0);  // 96 GPS entries filled the table

    Feed(parser, Sentence("GPGSV,1,1,-5,1,2,3,4"));
    EXPECT_EQ(parser.m_gpsInView.count, -5);
    DisplaySnapshot snapshot;
    CopyToSnapshot(parser, snapshot);
    EXPECT_EQ(snapshot.UsableSatellites(), kMaxSatellites);
    // No GPS entries now, so the GLONASS table fills all 96 slots.
    EXPECT_EQ(snapshot.satellites[32].prn, 65);
    EXPECT_EQ(snapshot.satellites[32].constellation, 1);
}

}  // namespace

namespace {

// A GGA whose latitude lies beyond 90 or longitude beyond 180 degrees names
// no place: the state keeps every field, hands nothing off, counts no GGA,
// and the driver counts it as invalid.
TEST(DecodeGGA, ImpossiblePositionsChangeNothing)
{
    const std::string before = "GPGGA,101010,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const char* impossible[] = {
        "GPGGA,123520,9540.038,N,01131.000,E,4,12,0.5,100.0,M,46.9,M,,",
        "GPGGA,123520,9000.001,S,01131.000,E,4,12,0.5,100.0,M,46.9,M,,",
        "GPGGA,123520,4807.038,N,19040.000,W,4,12,0.5,100.0,M,46.9,M,,",
        "GPGGA,123520,4807.038,N,18000.001,E,4,12,0.5,100.0,M,46.9,M,,",
    };
    for (const char* body : impossible) {
        SCOPED_TRACE(body);
        ReceiverState parser;
        int handOffs = 0;
        parser.SetPositionHandOff([&] { ++handOffs; });
        Feed(parser, Sentence(before));
        const double latitude = parser.m_latitude;
        Feed(parser, Sentence(body));
        EXPECT_EQ(handOffs, 1);
        EXPECT_EQ(parser.m_ggaCount, 1);
        EXPECT_EQ(parser.m_latitude, latitude);
        EXPECT_EQ(parser.m_fixQuality, 1);
        EXPECT_EQ(parser.m_utcSecond, 10);
        EXPECT_EQ(parser.m_altitude, 545.4);
        EXPECT_EQ(parser.Counts().invalid, 1u);
        EXPECT_EQ(parser.Counts().fixes, 1u);
    }
}

}  // namespace
