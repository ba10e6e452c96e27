#include <gtest/gtest.h>

#include <string>

#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"
#include "nmea/tests/sentence.h"

namespace {

TEST(FixQualityText, AllNineTexts)
{
    const char* expected[] = {"Invalid",   "GPS Fix",   "Differential GPS",
                              "PPS Fix",   "Real Time Kinematic", "Float RTK",
                              "Estimated (dead reckoning)", "Manual input mode", "Simulation mode"};
    for (int q = 0; q <= 8; ++q)
        EXPECT_STREQ(FixQualityText(q), expected[q]);
    EXPECT_EQ(FixQualityText(9), nullptr);
    EXPECT_EQ(FixQualityText(-1), nullptr);
}

TEST(CopyToSnapshot, UnknownQualityKeepsTheText)
{
    ReceiverState parser;
    DisplaySnapshot snapshot;
    parser.m_fixQuality = 2;
    CopyToSnapshot(parser, snapshot);
    EXPECT_STREQ(snapshot.fixQualityText.data(), "Differential GPS");
    parser.m_fixQuality = 9;
    CopyToSnapshot(parser, snapshot);
    EXPECT_STREQ(snapshot.fixQualityText.data(), "Differential GPS");
    snapshot = {};
    CopyToSnapshot(parser, snapshot);
    EXPECT_STREQ(snapshot.fixQualityText.data(), "");
}

TEST(CopyToSnapshot, ConstellationAndSeenFlags)
{
    ReceiverState parser;
    DisplaySnapshot snapshot;
    snapshot.satellites[2].constellation = 1;  // left from an earlier copy
    Feed(parser, Sentence("GPGSV,1,1,4,5,10,20,30,40,11,21,31,120,12,22,32,0,0,0,0"));
    Feed(parser, Sentence("GLGSV,1,1,1,70,13,23,33"));
    CopyToSnapshot(parser, snapshot);
    EXPECT_EQ(snapshot.satsInView, 5);
    EXPECT_EQ(snapshot.satellites[0], (SnapshotSatellite{0, 5, 20, 10, 30, 0}));
    EXPECT_EQ(snapshot.satellites[1].constellation, 0);
    EXPECT_EQ(snapshot.satellites[2].prn, 120);
    EXPECT_EQ(snapshot.satellites[2].constellation, 1) << "PRN above 96 keeps the slot's value";
    EXPECT_EQ(snapshot.satellites[3].constellation, 0) << "PRN 0 is constellation 0";
    EXPECT_EQ(snapshot.satellites[4], (SnapshotSatellite{1, 70, 23, 13, 33, 0}));
    EXPECT_EQ(snapshot.glonassSeen, 1);
    EXPECT_EQ(snapshot.sbasSeen, 1);

    // The flags stay after the satellites have gone, until the snapshot is zeroed.
    Feed(parser, Sentence("GPGSV,1,1,1,5,10,20,30"));
    Feed(parser, Sentence("GLGSV,1,1,0"));
    CopyToSnapshot(parser, snapshot);
    EXPECT_EQ(snapshot.satsInView, 1);
    EXPECT_EQ(snapshot.glonassSeen, 1);
    EXPECT_EQ(snapshot.sbasSeen, 1);
}

TEST(CopyToSnapshot, RaimSurvivesReconnect)
{
    ReceiverState parser;
    Feed(parser, Sentence("GPRAIM,250,0,120"));
    parser.ResetData();
    DisplaySnapshot snapshot;
    Feed(parser, Sentence("GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,"));
    CopyToSnapshot(parser, snapshot);
    EXPECT_EQ(snapshot.hplCm, 250);
    EXPECT_EQ(snapshot.hfomCm, 120);
}

TEST(CopyToSnapshot, EmptyTableGivesZeroRecords)
{
    ReceiverState parser;
    DisplaySnapshot snapshot;
    CopyToSnapshot(parser, snapshot);
    EXPECT_EQ(snapshot.satsInView, 0);
    for (const SnapshotSatellite& s : snapshot.satellites)
        EXPECT_EQ(s, SnapshotSatellite{});
}

TEST(CopyToSnapshot, CarriesPositionDopsAndCounts)
{
    ReceiverState parser;
    Feed(parser, Sentence("GPGSA,A,3,01,02,,,,,,,,,,,2.5,1.5,2.0"));
    Feed(parser, Sentence("GLGSA,A,3,65,66,,,,,,,,,,,3.5,2.5,3.0"));
    Feed(parser, Sentence("GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,"));
    DisplaySnapshot snapshot;
    CopyToSnapshot(parser, snapshot);
    DisplaySnapshot expected;
    expected.latitude = parser.m_latitude;
    expected.longitude = parser.m_longitude;
    expected.altitude = 545.4;
    expected.satsInUse = 8;
    expected.gpsPdop = 2.5;
    expected.gpsHdop = 1.5;
    expected.gpsVdop = 2.0;
    expected.glonassPdop = 3.5;
    expected.glonassHdop = 2.5;
    expected.glonassVdop = 3.0;
    expected.countedQuality = 1;
    const std::string text = "GPS Fix";
    std::copy(text.begin(), text.end(), expected.fixQualityText.begin());
    EXPECT_EQ(snapshot, expected);
}

}  // namespace
