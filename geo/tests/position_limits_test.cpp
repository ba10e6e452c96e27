#include <gtest/gtest.h>

#include <limits>

#include "geo/position_limits.h"

TEST(CheckUserPosition, RefusesImpossiblePositionsNamingTheField)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double lat, lon, alt;
        std::optional<PositionProblem> expected;
    } cases[] = {
        {47.0707, 15.4395, 353.0, std::nullopt},
        {90.0, -180.0, -100000.0, std::nullopt},  // the limits themselves are places
        {-90.0, 180.0, 100000.0, std::nullopt},
        {91.0, 0.0, 0.0,
         PositionProblem{PositionField::Latitude, "Latitude must lie between -90 and 90 degrees; 91 is outside."}},
        {0.0, -200.0, 0.0,
         PositionProblem{PositionField::Longitude,
                         "Longitude must lie between -180 and 180 degrees; -200 is outside."}},
        {0.0, 0.0, 1e308,
         PositionProblem{PositionField::Altitude,
                         "Altitude must lie between -100000 and 100000 metres; 1e+308 is outside."}},
        {0.0, 0.0, -100000.5,
         PositionProblem{PositionField::Altitude,
                         "Altitude must lie between -100000 and 100000 metres; -100000.5 is outside."}},
        {nan, 0.0, 0.0, PositionProblem{PositionField::Latitude, "Latitude must be a finite number."}},
        {0.0, inf, 0.0, PositionProblem{PositionField::Longitude, "Longitude must be a finite number."}},
        {0.0, 0.0, -inf, PositionProblem{PositionField::Altitude, "Altitude must be a finite number."}},
        // The first wrong field is the one named.
        {1e308, 1e308, 1e308,
         PositionProblem{PositionField::Latitude, "Latitude must lie between -90 and 90 degrees; 1e+308 is outside."}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckUserPosition(c.lat, c.lon, c.alt), c.expected) << c.lat << "," << c.lon << "," << c.alt;
}
