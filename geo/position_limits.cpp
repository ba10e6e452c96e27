#include "geo/position_limits.h"

#include <cmath>
#include <cstdio>

namespace {

// As typed, as far as a double keeps it: 91, -200, -100000.5, 1e+308.
std::string Shown(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::optional<PositionProblem> CheckRange(PositionField field, const char* name, double value, double limit,
                                          const char* range)
{
    if (!std::isfinite(value))
        return PositionProblem{field, std::string(name) + " must be a finite number."};
    if (std::fabs(value) > limit)
        return PositionProblem{field, std::string(name) + " must lie between " + range + "; " + Shown(value) +
                                          " is outside."};
    return std::nullopt;
}

}  // namespace

std::optional<PositionProblem> CheckUserPosition(double latitude, double longitude, double altitude)
{
    if (auto problem = CheckRange(PositionField::Latitude, "Latitude", latitude, kMaxLatitudeDegrees,
                                  "-90 and 90 degrees"))
        return problem;
    if (auto problem = CheckRange(PositionField::Longitude, "Longitude", longitude, kMaxLongitudeDegrees,
                                  "-180 and 180 degrees"))
        return problem;
    return CheckRange(PositionField::Altitude, "Altitude", altitude, kMaxAltitudeMetres,
                      "-100000 and 100000 metres");
}
