#include "geo/horizontal_distance.h"

#include <algorithm>
#include <cmath>

double HorizontalDistanceKm(double latitude, double longitude, double refLatitude, double refLongitude)
{
    constexpr double kRadiansPerDegree = 0.017453292519943295;
    const double dLat = (latitude - refLatitude) * kRadiansPerDegree;
    const double dLon = (longitude - refLongitude) * kRadiansPerDegree;
    const double sinLat = std::sin(dLat * 0.5);
    const double sinLon = std::sin(dLon * 0.5);
    const double cosLat = std::cos(latitude * kRadiansPerDegree);
    // With one latitude's cosine squared, points far apart can push a past 1,
    // where asin would give NaN; the distance is then half the circumference.
    const double a = std::min(1.0, sinLat * sinLat + cosLat * cosLat * sinLon * sinLon);
    return 2.0 * std::asin(std::sqrt(a)) * kEarthRadiusKm;
}
