#pragma once

#include <GeographicLib/LocalCartesian.hpp>

struct EastNorthUp {
    double east = 0.0;
    double north = 0.0;
    double up = 0.0;

    bool operator==(const EastNorthUp&) const = default;
};

// East, north and up in metres from an origin, in the plane tangent to the
// WGS-84 ellipsoid there: geodetic -> earth-centred -> local. Heights are
// taken as given on both sides (a GGA altitude, no geoid correction), so the
// up component of a point straight above the origin is the height difference.
class LocalTangentPlane {
public:
    LocalTangentPlane(double latitude, double longitude, double height)
        : m_cartesian(latitude, longitude, height)
    {
    }

    EastNorthUp FromGeodetic(double latitude, double longitude, double height) const;
    // The inverse: the geodetic position of a point given in the plane.
    void ToGeodetic(const EastNorthUp& enu, double& latitude, double& longitude, double& height) const;

private:
    GeographicLib::LocalCartesian m_cartesian;
};
