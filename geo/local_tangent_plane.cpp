#include "geo/local_tangent_plane.h"

EastNorthUp LocalTangentPlane::FromGeodetic(double latitude, double longitude, double height) const
{
    EastNorthUp enu;
    m_cartesian.Forward(latitude, longitude, height, enu.east, enu.north, enu.up);
    return enu;
}

void LocalTangentPlane::ToGeodetic(const EastNorthUp& enu, double& latitude, double& longitude, double& height) const
{
    m_cartesian.Reverse(enu.east, enu.north, enu.up, latitude, longitude, height);
}
