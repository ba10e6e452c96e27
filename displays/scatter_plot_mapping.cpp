#include "displays/scatter_plot_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "geo/horizontal_distance.h"

PlotMapping ComputeMapping(const GeoBounds& bounds, int width, int height)
{
    PlotMapping m;
    m.bounds = bounds;
    m.width = width;
    m.height = height;
    const int side = std::min(width, height);
    if (width > height) {
        m.squareLeft = width / 2 - height / 2;
        m.squareTop = 0;
    } else {
        m.squareLeft = 0;
        m.squareTop = height / 2 - width / 2;
    }
    const double span = std::fabs(static_cast<double>(bounds.east) - bounds.west);
    m.xScale = span > 0.0 ? side / span : 0.0;

    const double south = bounds.south / 1000000.0;
    const double lonStepKm = HorizontalDistanceKm(south, 0.0, south, 10.0);
    const double latStepKm = HorizontalDistanceKm(south, 0.0, south + 10.0, 0.0);
    const double aspect = lonStepKm != 0.0 ? latStepKm / lonStepKm : 1.0;
    m.yScale = m.xScale * aspect;
    return m;
}

PixelPoint MapToPixel(const PlotMapping& m, const ScatterPlotPosition& p)
{
    return {m.squareLeft + TruncToPixel((static_cast<double>(p.lonE6) - m.bounds.west) * m.xScale),
            m.squareTop + TruncToPixel((static_cast<double>(m.bounds.north) - p.latE6) * m.yScale)};
}

std::optional<ScatterPlotPosition> PixelToPosition(const PlotMapping& m, int x, int y)
{
    if (!m.CanMap())
        return std::nullopt;
    ScatterPlotPosition p;
    p.latE6 = TruncToInt(m.bounds.north - static_cast<double>(TruncToInt((y - m.squareTop) / m.yScale)));
    p.lonE6 = TruncToInt(m.bounds.west + static_cast<double>(TruncToInt((x - m.squareLeft) / m.xScale)));
    return p;
}

std::vector<RangeRing> RangeRings(const PlotMapping& m, int textHeight)
{
    std::vector<RangeRing> rings;
    const int cx = m.width / 2;
    const int cy = m.height / 2;
    const std::optional<ScatterPlotPosition> centre = PixelToPosition(m, cx, cy);
    if (!centre)
        return rings;
    for (double metres : kRangeRingMetres) {
        const std::optional<ScatterPlotPosition> p = DestinationPoint(*centre, 0.0, metres);
        if (!p)
            continue;
        RangeRing ring;
        ring.metres = metres;
        const int y = m.squareTop + TruncToPixel((static_cast<double>(m.bounds.north) - p->latE6) * m.yScale);
        ring.diameter = 2 * (cy - y);
        const int half = ring.diameter / 2;
        ring.box = {cx - half, cy - half, cx - half + ring.diameter, cy - half + ring.diameter};
        ring.drawn = ring.box.left > -500 && ring.box.top > -500 && ring.diameter > 10;
        ring.labelled = ring.drawn && ring.diameter > 2 * textHeight;
        char text[32];
        std::snprintf(text, sizeof text, "%Gm", metres);
        ring.label = text;
        rings.push_back(std::move(ring));
    }
    return rings;
}

int ScatterPlotFontHeight(int width, int height)
{
    return static_cast<int>(std::min(width, height) * 0.03 + 0.5);
}

std::string ScatterPlotStatusText(const ScatterPlotPosition& center, const ScatterPlotPosition& lastSample,
                                  std::size_t sampleCount)
{
    const double metres = HorizontalDistanceKm(LatitudeDegrees(center), LongitudeDegrees(center),
                                               LatitudeDegrees(lastSample), LongitudeDegrees(lastSample)) *
                          1000.0;
    char text[96];
    std::snprintf(text, sizeof text, "Horiz Error = %.02fm\nSamples = %u\n", metres,
                  static_cast<unsigned>(sampleCount));
    return text;
}

PixelRect ZoomInButtonRect(int width)
{
    return {width - 45, 3, width - 5, 43};
}

PixelRect ZoomOutButtonRect(int width)
{
    return {width - 45, 63, width - 5, 103};
}

int ZoomButtonAt(int width, int x, int y)
{
    if (ZoomInButtonRect(width).Contains(x, y))
        return kCmdZoomIn;
    if (ZoomOutButtonRect(width).Contains(x, y))
        return kCmdZoomOut;
    return 0;
}

PixelRect SampleSquare(PixelPoint p)
{
    return {p.x - 1, p.y - 1, p.x + 2, p.y + 2};
}

PixelRect MarkerCircle(PixelPoint p)
{
    return {p.x - 10, p.y - 10, p.x + 11, p.y + 11};
}
