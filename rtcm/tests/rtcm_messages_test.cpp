#include <gtest/gtest.h>


#include "rtcm/rtcm_messages.h"
#include "rtcm/rtcm_tally.h"
#include "rtcm/tests/rtcm_samples.h"

namespace {

TEST(RtcmMessages, StationPositionCarriesEcefAndHeightToTheTenthOfAMillimetre)
{
    const struct {
        int message;
        double x, y, z, height;
    } cases[] = {
        {1005, 4075580.1234, 931853.5678, 4801568.9012, 0.0},
        {1006, -2694892.4606, -4297418.5213, 3854401.2001, 1.5432},
        {1005, 0.0001, -0.0001, -6356752.3142, 0.0},
    };
    for (const auto& c : cases) {
        const std::string frame = StationFrame(4095, c.x, c.y, c.z, c.message, c.height);
        const auto p = DecodeStationPosition(RtcmPayload(frame));
        ASSERT_TRUE(p);
        EXPECT_EQ(p->message, c.message);
        EXPECT_EQ(p->stationId, 4095);
        EXPECT_NEAR(p->x, c.x, 5e-5);
        EXPECT_NEAR(p->y, c.y, 5e-5);
        EXPECT_NEAR(p->z, c.z, 5e-5);
        EXPECT_EQ(p->antennaHeight.has_value(), c.message == 1006);
        if (p->antennaHeight) {
            EXPECT_NEAR(*p->antennaHeight, c.height, 5e-5);
        }
        // Cut short by one byte, it is no station position.
        const std::string_view payload = RtcmPayload(frame);
        EXPECT_FALSE(DecodeStationPosition(payload.substr(0, payload.size() - 1)));
    }
}

TEST(RtcmMessages, DescriptorsAndMsmHeaders)
{
    const auto d = DecodeStationDescriptor(RtcmPayload(DescriptorFrame(12, "TRM59800.00     NONE", "5000118", "SEPT POLARX5", "5.4.0", "3001234")));
    ASSERT_TRUE(d);
    EXPECT_EQ(*d, (StationDescriptor{1033, 12, "TRM59800.00     NONE", 0, "5000118", "SEPT POLARX5", "5.4.0", "3001234"}));

    const struct {
        int message;
        MsmSystem system;
        int kind;
        int satellites;
    } msm[] = {
        {1074, MsmSystem::Gps, 4, 9},   {1087, MsmSystem::Glonass, 7, 6}, {1094, MsmSystem::Galileo, 4, 31},
        {1101, MsmSystem::Sbas, 1, 1},  {1117, MsmSystem::Qzss, 7, 2},   {1124, MsmSystem::BeiDou, 4, 12},
    };
    for (const auto& c : msm) {
        const auto h = DecodeMsmHeader(RtcmPayload(MsmFrame(c.message, 33, c.satellites, 123456)));
        ASSERT_TRUE(h) << c.message;
        EXPECT_EQ(*h, (MsmHeader{c.message, c.system, c.kind, 33, 123456, false, c.satellites, 2}));
    }
    EXPECT_FALSE(DecodeMsmHeader(RtcmPayload(MsmFrame(1078, 1, 3))));
    EXPECT_FALSE(DecodeMsmHeader(RtcmPayload(StationFrame(1, 1, 1, 1))));
}

TEST(RtcmTally, CountsRatesStationAndAgeOfAStream)
{
    // A base near Frankfurt: 1005 every 10 s, MSM4 of GPS every second,
    // one corrupted frame.
    struct {
        double x, y, z;
    } ecef{4075580.1234, 931853.5678, 4801568.9012};
    RtcmTally tally;
    for (int second = 0; second <= 20; ++second) {
        std::string bytes = MsmFrame(1074, 21, 10);
        if (second % 10 == 0)
            bytes += StationFrame(21, ecef.x, ecef.y, ecef.z);
        if (second == 5)
            bytes += Corrupted(MsmFrame(1084, 21, 7));
        tally.Feed(bytes, second);
    }
    EXPECT_EQ(tally.Frames(), 24u);
    EXPECT_EQ(tally.BadFrames(), 1u);
    EXPECT_EQ(tally.Types().at(1074).frames, 21u);
    EXPECT_DOUBLE_EQ(tally.Types().at(1074).Rate(), 1.0);
    EXPECT_DOUBLE_EQ(tally.Types().at(1005).Rate(), 0.1);
    EXPECT_EQ(tally.Types().count(1084), 0u);
    EXPECT_EQ(tally.MsmSatellites(MsmSystem::Gps), 10);
    EXPECT_EQ(tally.MsmSatellites(MsmSystem::Glonass), -1);
    EXPECT_EQ(tally.StationId(), 21);
    ASSERT_TRUE(tally.Station());
    EXPECT_NEAR(tally.Station()->z, ecef.z, 1e-4);
    EXPECT_DOUBLE_EQ(*tally.Age(23.5), 3.5);
}

}  // namespace
