#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "geo/local_tangent_plane.h"

namespace {

struct Case {
    double originLat, originLon, originHeight;
    double lat, lon, height;
};

const Case kCases[] = {
    {47.0707, 15.4395, 353, 47.0708, 15.4396, 360},
    {47.0707, 15.4395, 353, 47.08, 15.45, 100},
    {-33.91, 151.19, 0, -33.9, 151.2, 10},
    {0.0, 179.9999, 0, 0.0001, -179.9999, 0},  // across the antimeridian
    {89.99, 0, 0, 89.99, 90, 0},               // near the pole
};

// GeographicLib's CartConvert tool, a process of its own, converting one
// point into the local frame of the origin.
EastNorthUp CartConvertLocal(const Case& c)
{
    const std::string command = "echo " + std::to_string(c.lat) + " " + std::to_string(c.lon) + " "
        + std::to_string(c.height) + " | CartConvert -p 9 -l " + std::to_string(c.originLat) + " "
        + std::to_string(c.originLon) + " " + std::to_string(c.originHeight);
    std::FILE* pipe = ::popen(command.c_str(), "r");
    EastNorthUp enu{NAN, NAN, NAN};
    if (pipe == nullptr)
        return enu;
    if (std::fscanf(pipe, "%lf %lf %lf", &enu.east, &enu.north, &enu.up) != 3)
        enu = {NAN, NAN, NAN};
    ::pclose(pipe);
    return enu;
}

TEST(LocalTangentPlane, AgreesWithCartConvert)
{
    for (const Case& c : kCases) {
        const EastNorthUp expected = CartConvertLocal(c);
        ASSERT_FALSE(std::isnan(expected.east)) << "CartConvert (geographiclib-tools) did not answer";
        const LocalTangentPlane plane(c.originLat, c.originLon, c.originHeight);
        const EastNorthUp got = plane.FromGeodetic(c.lat, c.lon, c.height);
        EXPECT_NEAR(got.east, expected.east, 1e-6) << c.lat << "," << c.lon;
        EXPECT_NEAR(got.north, expected.north, 1e-6) << c.lat << "," << c.lon;
        EXPECT_NEAR(got.up, expected.up, 1e-6) << c.lat << "," << c.lon;
    }
}

// Worked by hand: straight above the origin the error is the height
// difference alone; one microdegree north at 45 deg and 100 m is the
// meridian radius a(1 - e2) / (1 - e2 sin2)^1.5 = 6367381.8 m plus the
// height, times 1e-6 x pi / 180 (the earth's drop over 11 cm is nothing).
TEST(LocalTangentPlane, ByHand)
{
    const LocalTangentPlane plane(45.0, 10.0, 100.0);
    const EastNorthUp above = plane.FromGeodetic(45.0, 10.0, 112.5);
    EXPECT_NEAR(above.east, 0.0, 1e-9);
    EXPECT_NEAR(above.north, 0.0, 1e-9);
    EXPECT_NEAR(above.up, 12.5, 1e-9);
    const EastNorthUp north = plane.FromGeodetic(45.000001, 10.0, 100.0);
    EXPECT_NEAR(north.north, (6367381.8 + 100.0) * 1e-6 * M_PI / 180.0, 1e-6);
    EXPECT_NEAR(north.east, 0.0, 1e-9);
}

}  // namespace
