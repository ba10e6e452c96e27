#include <gtest/gtest.h>

#include <GeographicLib/Geodesic.hpp>
#include <cmath>
#include <limits>

#include "geo/vincenty.h"

namespace {

// How far our point lies from GeographicLib's, in metres on the ellipsoid.
double MissMetres(double lat, double lon, double bearing, double distance, const GeoPoint& ours)
{
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    double lat2 = 0.0, lon2 = 0.0;
    wgs84.Direct(lat, lon, bearing, distance, lat2, lon2);
    double miss = 0.0;
    wgs84.Inverse(lat2, lon2, ours.latitude, ours.longitude, miss);
    return miss;
}

struct Start {
    double lat, lon;
};

const Start kStarts[] = {{0.0, 0.0}, {47.3769, 8.5417}, {-33.8568, 151.2153}, {64.1, -21.9},
                         {-77.85, 166.67}, {89.5, 12.0}, {-60.0, -179.9}};
const double kBearings[] = {0.0, 45.0, 90.0, 135.0, 180.0, 225.0, 270.0, 315.0, 359.0, 17.3};

TEST(VincentyDirect, WithinAMillimetreUpTo20Km)
{
    for (const Start& s : kStarts)
        for (double bearing : kBearings)
            for (double distance : {0.5, 1.0, 10.0, 100.0, 1000.0, 5000.0, 20000.0}) {
                const auto p = VincentyDirect(s.lat, s.lon, bearing, distance);
                ASSERT_TRUE(p);
                EXPECT_LT(MissMetres(s.lat, s.lon, bearing, distance, *p), 0.001)
                    << s.lat << "," << s.lon << " " << bearing << " " << distance;
            }
}

TEST(VincentyDirect, WithinAMetreUpTo10000Km)
{
    for (const Start& s : kStarts)
        for (double bearing : kBearings)
            for (double distance : {50e3, 250e3, 1000e3, 3000e3, 7000e3, 10000e3}) {
                const auto p = VincentyDirect(s.lat, s.lon, bearing, distance);
                ASSERT_TRUE(p);
                EXPECT_LT(MissMetres(s.lat, s.lon, bearing, distance, *p), 1.0)
                    << s.lat << "," << s.lon << " " << bearing << " " << distance;
            }
}

TEST(VincentyDirect, LongitudeIsNotNormalised)
{
    const auto p = VincentyDirect(0.0, 179.9999, 90.0, 1000.0);
    ASSERT_TRUE(p);
    EXPECT_GT(p->longitude, 180.0);
}

TEST(VincentyDirect, NonFiniteInputGivesNoPoint)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(VincentyDirect(nan, 0.0, 0.0, 100.0));
    EXPECT_FALSE(VincentyDirect(0.0, nan, 0.0, 100.0));
    EXPECT_FALSE(VincentyDirect(0.0, 0.0, nan, 100.0));
    EXPECT_FALSE(VincentyDirect(0.0, 0.0, 0.0, nan));
    EXPECT_FALSE(VincentyDirect(0.0, 0.0, 0.0, inf));
    EXPECT_FALSE(VincentyDirect(-inf, 0.0, 0.0, 100.0));
}

TEST(VincentyDirect, SeriesThatNeverSettlesGivesNoPoint)
{
    // At such distances σ is large enough that successive rounds step by a
    // whole unit in the last place and can never come within 1e-13.
    struct {
        double lat, bearing, distance;
    } const cases[] = {
        {-21.978268975503724, 301.94561342551657, 350241026411.02814},
        {-44.249350902998373, 357.48587229371986, 7445008880598.7812},
        {-85.465947311055842, 302.71542424210116, 14679814692.780846},
        {71.87046377054557, 184.30281219230798, 177256070987.2771},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(VincentyDirect(c.lat, 0.0, c.bearing, c.distance)) << c.distance;
}

}  // namespace
