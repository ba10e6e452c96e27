#include "displays/scatter_plot_position.h"

#include "kit/pixel_geometry.h"
#include "geo/vincenty.h"

ScatterPlotPosition MakeScatterPlotPosition(double latitude, double longitude, double altitude, double hdop,
                                             double vdop)
{
    return {TruncToInt(latitude * 1000000.0), TruncToInt(longitude * 1000000.0), TruncToInt(altitude * 1000.0),
            TruncToInt(hdop * 100.0), TruncToInt(vdop * 100.0)};
}

std::optional<ScatterPlotPosition> DestinationPoint(const ScatterPlotPosition& position, double bearing,
                                                     double distance)
{
    const std::optional<GeoPoint> p =
        VincentyDirect(LatitudeDegrees(position), LongitudeDegrees(position), bearing, distance);
    if (!p)
        return std::nullopt;
    return MakeScatterPlotPosition(p->latitude, p->longitude);
}
