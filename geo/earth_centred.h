#pragma once

// A point given in earth-centred, earth-fixed coordinates (metres, WGS-84),
// as a base station announces its antenna, and the same point as latitude,
// longitude (degrees) and height above the ellipsoid (metres).
struct EarthCentred {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    bool operator==(const EarthCentred&) const = default;
};

struct Geodetic {
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;

    bool operator==(const Geodetic&) const = default;
};

Geodetic GeodeticFromEarthCentred(const EarthCentred& point);
EarthCentred EarthCentredFromGeodetic(const Geodetic& point);

// The straight-line distance between two geodetic points, in metres: the
// length of an RTK baseline, which is a chord, not a path on the ellipsoid.
double ChordLength(const Geodetic& a, const Geodetic& b);

// The distance on the ellipsoid between two points' latitude and longitude,
// in metres (GeographicLib's geodesic): how far a base station is.
double GeodesicDistance(const Geodetic& a, const Geodetic& b);
