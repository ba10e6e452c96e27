#pragma once

#include <cstdint>
#include <optional>

// One scatter plot sample, also used for the centre, the user position and
// the average: whole micro-degrees, millimetres and hundredths of a DOP.
struct ScatterPlotPosition {
    int32_t latE6 = 0;
    int32_t lonE6 = 0;
    int32_t altMm = 0;
    int32_t hdopX100 = 0;
    int32_t vdopX100 = 0;
    bool operator==(const ScatterPlotPosition&) const = default;
};

// Each value scaled and truncated toward zero; values beyond the int32 range
// saturate and NaN becomes 0, so no receiver value can make this undefined.
ScatterPlotPosition MakeScatterPlotPosition(double latitude, double longitude, double altitude = 0.0,
                                             double hdop = 0.0, double vdop = 0.0);

inline double LatitudeDegrees(const ScatterPlotPosition& p) { return p.latE6 / 1000000.0; }
inline double LongitudeDegrees(const ScatterPlotPosition& p) { return p.lonE6 / 1000000.0; }

// The point `distance` metres away on `bearing`, latitude and longitude only.
// Empty when the geodesic does not settle.
std::optional<ScatterPlotPosition> DestinationPoint(const ScatterPlotPosition& position, double bearing,
                                                     double distance);
