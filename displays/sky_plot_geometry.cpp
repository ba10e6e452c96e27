#include "displays/sky_plot_geometry.h"

#include <cmath>
#include <string_view>

namespace {

// The value of pi the plot has always been drawn with.
constexpr double kPlotPi = 3.14159265359;

PixelPoint Offset(PixelPoint p, int dx, int dy) { return {p.x + dx, p.y + dy}; }

}  // namespace

SkyPlotSquare FitSkyPlotSquare(const PixelRect& rect)
{
    PixelRect s = rect;
    const int w = s.right - s.left;
    const int h = s.bottom - s.top;
    if (w > h) {
        const int shift = w / 2 - h / 2;
        s.left += shift;
        s.right -= shift;
    } else {
        const int shift = h / 2 - w / 2;
        s.top += shift;
        s.bottom -= shift;
    }
    SkyPlotSquare plot;
    plot.square = s;
    plot.radius = (s.right - s.left) * 0.5;
    plot.centreX = s.left + plot.radius;
    plot.centreY = s.top + (s.bottom - s.top) * 0.5;
    return plot;
}

PixelPoint AzElToPoint(const SkyPlotSquare& plot, int azimuth, int elevation)
{
    const double k = plot.radius / 90.0;
    const double theta = azimuth / 180.0 * kPlotPi;
    const double distance = (90.0 - elevation) * k;
    return {TruncToPixel(std::sin(theta) * distance) + TruncToPixel(plot.centreX + 0.5),
            TruncToPixel(-std::cos(theta) * distance) + TruncToPixel(plot.centreY + 0.5)};
}

PixelPoint SkyPoint(const SkyPlotSquare& plot, double azimuth, double elevation)
{
    return AzElToPoint(plot, TruncToInt(azimuth), TruncToInt(elevation));
}

int SkyPlotFontHeight(const SkyPlotSquare& plot)
{
    return static_cast<int>(0.05 * plot.square.Width() + 0.5);
}

std::array<SkyPlotLine, 2> SkyPlotCrossLines(const SkyPlotSquare& plot)
{
    const PixelRect& s = plot.square;
    const int midX = s.left + s.Width() / 2;
    const int midY = s.top + s.Height() / 2;
    return {SkyPlotLine{{midX, s.top}, {midX, s.bottom}}, SkyPlotLine{{s.left, midY}, {s.right, midY}}};
}

PixelRect FortyFiveDegreeRing(const SkyPlotSquare& plot)
{
    const double r = static_cast<int>(plot.radius / 90.0 * 45.0);
    return {TruncToPixel(plot.centreX - r), TruncToPixel(plot.centreY - r), TruncToPixel(plot.centreX + r),
            TruncToPixel(plot.centreY + r)};
}

std::array<CompassLetter, 4> CompassLetters(const SkyPlotSquare& plot, const TextMeasure& measure)
{
    std::array<CompassLetter, 4> letters;
    const char names[4] = {'N', 'E', 'S', 'W'};
    for (int i = 0; i < 4; ++i) {
        const PixelPoint p = AzElToPoint(plot, i * 90, 2);
        const TextExtent e = measure(std::string_view(&names[i], 1));
        PixelRect box;
        switch (names[i]) {
        case 'N':  // hangs below the point
            box = {p.x - e.cx / 2, p.y, p.x + e.cx / 2, p.y + e.cy};
            break;
        case 'E':  // left of the point
            box = {p.x - e.cx, p.y - e.cy / 2, p.x, p.y + e.cy / 2};
            break;
        case 'S':  // above the point
            box = {p.x - e.cx / 2, p.y - e.cy, p.x + e.cx / 2, p.y};
            break;
        default:  // right of the point
            box = {p.x, p.y - e.cy / 2, p.x + e.cx, p.y + e.cy / 2};
            break;
        }
        letters[static_cast<std::size_t>(i)] = {names[i], box};
    }
    return letters;
}

std::vector<PixelPoint> MaskPolygon(const SkyPlotSquare& plot, const AzElMask& mask)
{
    std::vector<PixelPoint> points;
    for (int a = 0; a < kMaskEntries; ++a) {
        const double value = mask[static_cast<std::size_t>(a)];
        if (value != kMaskNothingRecorded)
            points.push_back(AzElToPoint(plot, a, TruncToInt(value)));
    }
    return points;
}

SatelliteSymbol PlaceSatelliteSymbol(const SkyPlotSquare& plot, const SkySatellite& satellite,
                                     TextExtent pictureSize, const TextMeasure& measure)
{
    SatelliteSymbol s;
    s.point = SkyPoint(plot, satellite.azimuth, satellite.elevation);
    s.used = satellite.used == 1;
    s.picture = pictureSize.cx > 0 && pictureSize.cy > 0;
    int labelTop = 0;
    if (s.picture) {
        const PixelPoint topLeft = Offset(s.point, -pictureSize.cx / 2, -pictureSize.cy / 2);
        s.symbol = {topLeft.x, topLeft.y, topLeft.x + pictureSize.cx, topLeft.y + pictureSize.cy};
        labelTop = s.point.y + pictureSize.cy / 2;
    } else {
        s.symbol = {s.point.x - 5, s.point.y - 5, s.point.x + 5, s.point.y + 5};
        labelTop = s.point.y + 10;
    }
    s.text = std::to_string(satellite.prn);
    const TextExtent e = measure(s.text);
    s.label = {s.point.x - e.cx / 2, labelTop, s.point.x + e.cx / 2, labelTop + e.cy};
    return s;
}
