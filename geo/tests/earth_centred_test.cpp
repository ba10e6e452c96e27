#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geo/earth_centred.h"

namespace {

TEST(EarthCentred, KnownPointsBothWaysAndAChordBaseline)
{
    // The RTCM 3 standard's example station, and points on the axes.
    const struct {
        EarthCentred ecef;
        Geodetic geodetic;
    } cases[] = {
        {{6378137.0, 0.0, 0.0}, {0.0, 0.0, 0.0}},
        {{0.0, 0.0, 6356752.314245}, {90.0, 0.0, 0.0}},
        {{0.0, -6378237.0, 0.0}, {0.0, -90.0, 100.0}},
        {{1114104.5999, -4850729.7108, 3975521.4643}, {38.80475943, -77.06477360, 114.5611}},
    };
    for (const auto& c : cases) {
        const Geodetic g = GeodeticFromEarthCentred(c.ecef);
        EXPECT_NEAR(g.latitude, c.geodetic.latitude, 1e-8);
        EXPECT_NEAR(g.longitude, c.geodetic.longitude, 1e-8);
        EXPECT_NEAR(g.height, c.geodetic.height, 1e-3);
        const EarthCentred back = EarthCentredFromGeodetic(g);
        EXPECT_NEAR(back.x, c.ecef.x, 1e-6);
        EXPECT_NEAR(back.y, c.ecef.y, 1e-6);
        EXPECT_NEAR(back.z, c.ecef.z, 1e-6);
    }
    // A baseline straight up is its height difference; one along the
    // equator a chord shorter than its arc.
    EXPECT_NEAR(ChordLength({50.1, 8.6, 150.0}, {50.1, 8.6, 1150.0}), 1000.0, 1e-6);
    const double arc = 6378137.0 * std::numbers::pi / 180.0;
    const double chord = 2 * 6378137.0 * std::sin(std::numbers::pi / 360.0);
    EXPECT_NEAR(ChordLength({0, 0, 0}, {0, 1, 0}), chord, 1e-6);
    EXPECT_LT(chord, arc);
    // GeodSolve -i of GeographicLib's tools: Frankfurt to Munich.
    EXPECT_NEAR(GeodesicDistance({50.1, 8.6, 0}, {48.14, 11.58, 0}), 307899.995, 1e-3);
}

}  // namespace
