#include "geo/earth_centred.h"

#include <cmath>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>

Geodetic GeodeticFromEarthCentred(const EarthCentred& point)
{
    Geodetic g;
    GeographicLib::Geocentric::WGS84().Reverse(point.x, point.y, point.z, g.latitude, g.longitude, g.height);
    return g;
}

EarthCentred EarthCentredFromGeodetic(const Geodetic& point)
{
    EarthCentred e;
    GeographicLib::Geocentric::WGS84().Forward(point.latitude, point.longitude, point.height, e.x, e.y, e.z);
    return e;
}

double ChordLength(const Geodetic& a, const Geodetic& b)
{
    const EarthCentred p = EarthCentredFromGeodetic(a);
    const EarthCentred q = EarthCentredFromGeodetic(b);
    return std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
}

double GeodesicDistance(const Geodetic& a, const Geodetic& b)
{
    double metres = 0.0;
    GeographicLib::Geodesic::WGS84().Inverse(a.latitude, a.longitude, b.latitude, b.longitude, metres);
    return metres;
}
