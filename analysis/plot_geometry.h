#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/plot_series.h"
#include "kit/pixel_geometry.h"

// A rectangle in device pixels; right and bottom lie one past the last
// column and row, as in the drawing calls of the plot.
using PlotRect = PixelRect;

struct PlotLayout {
    PlotRect plot;
    PlotRect legend;
    PlotRect title;
    PlotRect xLabel;
    PlotRect yLabel;
    bool operator==(const PlotLayout&) const = default;
};

// Splits the rectangle given to the plot into the plot area (a margin of
// width / leftMarginDivisor on the left, width / legendDivisor for the legend
// on the right, a tenth of the height above and below) and the label areas.
PlotLayout ComputePlotLayout(const PlotRect& rect, int leftMarginDivisor, int legendDivisor);

// Displayed ranges and pixels per unit of the plot area.
struct PlotScales {
    double yMin = 0.0;
    double yMax = 0.0;
    double xMin = 0.0;
    double xMax = 0.0;
    double yScale = 1.0;
    double xScale = 1.0;
};

// Ranges over the extremes of every series that holds points (the Y range
// padded by 5 % on each side, the X range not at all), and the scales that
// fit them into `plot`. Extremes that are not finite numbers are left out so
// that one bad value cannot blank the plot.
PlotScales ComputeScales(const std::array<PlotSeries, kMaxSeries>& series, const PlotRect& plot);

// Pixel offsets from the plot area's left and bottom edges, truncated toward
// zero. Values too far away for an int are held at +-kFarPixel, and a value
// that is not a number gives kFarPixel, outside any band that gets drawn.
inline constexpr int kFarPixel = 1 << 20;
inline int TruncPlotOffset(double offset)
{
    if (!(offset > -kFarPixel))
        return offset != offset ? kFarPixel : -kFarPixel;
    if (offset > kFarPixel)
        return kFarPixel;
    return static_cast<int>(offset);
}
inline int ToPixelX(const PlotScales& s, const PlotRect& plot, double x)
{
    return plot.left + TruncPlotOffset((x - s.xMin) * s.xScale);
}
inline int ToPixelY(const PlotScales& s, const PlotRect& plot, double y)
{
    return plot.bottom - TruncPlotOffset((y - s.yMin) * s.yScale);
}

// Points are drawn while their column lies strictly within this distance of
// the plot area, so lines enter from just outside it.
inline constexpr int kDrawBand = 20;
inline bool InDrawBand(const PlotRect& plot, int sx)
{
    return plot.left - kDrawBand < sx && sx < plot.right + kDrawBand;
}

struct GridLine {
    double value = 0.0;
    int pixel = 0;  // row of a Y line, column of an X line
    bool operator==(const GridLine&) const = default;
};

// The horizontal grid lines that fall strictly inside the plot area; none
// for a zero span or fewer than one division.
std::vector<GridLine> ComputeYGrid(const PlotScales& scales, const PlotRect& plot, int yDivisions);
// The vertical grid lines that fall strictly inside the plot area.
std::vector<GridLine> ComputeXGrid(const PlotScales& scales, const PlotRect& plot, int xDivisions);

// A tick label: `format` (printf style, one double) applied to the value,
// with magnitudes below 1e-20 shown as zero.
std::string FormatTickLabel(const std::string& format, double value);

// Font sizes in tenths of a point, computed in single precision as the
// plot's fonts have always been.
int TickFontSize(int plotHeight, float fontScale);
int TitleFontSize(int titleHeight);
// Character height in pixels of a font of `tenthsOfPoint` on a device of
// `dotsPerInch` vertical resolution.
int PointSizeToPixels(int tenthsOfPoint, int dotsPerInch);
