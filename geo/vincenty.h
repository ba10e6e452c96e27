#pragma once

#include <optional>

struct GeoPoint {
    double latitude = 0.0;   // degrees
    double longitude = 0.0;  // degrees, not normalised to -180..180
    bool operator==(const GeoPoint&) const = default;
};

// Vincenty's direct formula on the WGS-84 ellipsoid: the point at `distance`
// metres from (latitude, longitude) on the initial `bearing` (degrees
// clockwise from north). Empty when an input is not finite or the series
// does not settle within a bounded number of rounds.
std::optional<GeoPoint> VincentyDirect(double latitude, double longitude, double bearing, double distance);

// Rounds the σ iteration may take; it settles in a handful for any distance
// on the ellipsoid.
inline constexpr int kVincentyMaxRounds = 200;
