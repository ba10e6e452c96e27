#include "analysis/plot_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

PlotLayout ComputePlotLayout(const PlotRect& rect, int leftMarginDivisor, int legendDivisor)
{
    const int w = rect.Width();
    const int h = rect.Height();
    // A divisor the owner left at zero takes no room rather than dividing by it.
    const int leftMargin = leftMarginDivisor != 0 ? w / leftMarginDivisor : 0;
    const int legendWidth = legendDivisor != 0 ? w / legendDivisor : 0;
    PlotLayout l;
    l.plot = {rect.left + leftMargin, rect.top + h / 10, rect.right - legendWidth, rect.bottom - h / 10};
    l.legend = {l.plot.right + 10, l.plot.top, rect.right, l.plot.bottom};
    l.title = {l.plot.left, rect.top, l.plot.right, l.plot.top - 3};
    l.xLabel = {l.plot.left, l.plot.bottom + 3, l.plot.right, rect.bottom};
    l.yLabel = {rect.left, l.plot.top, l.plot.left - 3, l.plot.bottom};
    return l;
}

PlotScales ComputeScales(const std::array<PlotSeries, kMaxSeries>& series, const PlotRect& plot)
{
    PlotScales s;
    bool haveY = false;
    bool haveX = false;
    auto take = [](double value, double& low, double& high, bool& have) {
        if (!std::isfinite(value))
            return;
        if (!have || value < low)
            low = value;
        if (!have || value > high)
            high = value;
        have = true;
    };
    for (const PlotSeries& one : series) {
        if (one.PointCount() == 0)
            continue;
        take(one.MinY(), s.yMin, s.yMax, haveY);
        take(one.MaxY(), s.yMin, s.yMax, haveY);
        take(one.MinX(), s.xMin, s.xMax, haveX);
        take(one.MaxX(), s.xMin, s.xMax, haveX);
    }
    const double pad = std::fabs(s.yMax - s.yMin) * 0.05;
    s.yMax += pad;
    s.yMin -= pad;
    const double ySpan = std::fabs(s.yMax - s.yMin);
    s.yScale = ySpan != 0.0 ? plot.Height() / ySpan : 1.0;
    const double xSpan = std::fabs(s.xMax - s.xMin);
    s.xScale = xSpan > 0.0 ? plot.Width() / xSpan : 1.0;
    return s;
}

namespace {

// Cuts a span down to a multiple of the power of ten just below it: with p
// the smallest power of ten (from `firstPower` up) not below the span, the
// span becomes floor(span / (p / 10)) * (p / 10).
double TruncateSpan(double span, double firstPower)
{
    double p = firstPower;
    while (p < span)
        p *= 10.0;
    const double q = p / 10.0;
    return std::floor(span / q) * q;
}

// Walks start, start + step, ... while below `end`. The walk stops as soon as
// adding the step no longer moves the value: near large values a tiny step
// is lost to rounding, and the walk would never end.
template <typename Visit>
void WalkGrid(double start, double step, double end, Visit&& visit)
{
    for (double g = start; end > g;) {
        visit(g);
        const double next = g + step;
        if (!(next > g))
            break;
        g = next;
    }
}

}  // namespace

std::vector<GridLine> ComputeYGrid(const PlotScales& s, const PlotRect& plot, int yDivisions)
{
    std::vector<GridLine> lines;
    double span = std::fabs(s.yMax - s.yMin);
    if (span == 0.0 || !std::isfinite(span) || yDivisions <= 0)
        return lines;
    if (span >= 1e12)
        span = TruncateSpan(span, 1.0);
    const double start = std::floor(s.yMin / span) * span;
    const double step = std::max(1e-12, span / yDivisions);
    WalkGrid(start, step, s.yMax, [&](double g) {
        const int sy = ToPixelY(s, plot, g);
        if (plot.top < sy && sy < plot.bottom)
            lines.push_back({g, sy});
    });
    return lines;
}

std::vector<GridLine> ComputeXGrid(const PlotScales& s, const PlotRect& plot, int xDivisions)
{
    std::vector<GridLine> lines;
    double span = std::fabs(s.xMax - s.xMin);
    if (span == 0.0 || !std::isfinite(span) || xDivisions <= 0)
        return lines;
    if (span >= 1.0)
        span = TruncateSpan(span, 10.0);
    const double start = std::floor(s.xMin / span) * span;
    const double step = span / xDivisions * 2.0;
    WalkGrid(start, step, s.xMax, [&](double g) {
        const int sx = ToPixelX(s, plot, g);
        if (plot.left < sx && sx < plot.right)
            lines.push_back({g, sx});
    });
    return lines;
}

std::string FormatTickLabel(const std::string& format, double value)
{
    if (std::fabs(value) < 1e-20)
        value = 0.0;
    char text[128];
    const int n = std::snprintf(text, sizeof text, format.c_str(), value);
    if (n < 0)
        return {};
    return std::string(text, static_cast<size_t>(std::min<int>(n, sizeof text - 1)));
}

int TickFontSize(int plotHeight, float fontScale)
{
    return static_cast<int>(std::max(50.0f, static_cast<float>(plotHeight) * fontScale));
}

int TitleFontSize(int titleHeight)
{
    return static_cast<int>(std::max(50.0f, static_cast<float>(titleHeight) * 4.0f));
}

int PointSizeToPixels(int tenthsOfPoint, int dotsPerInch)
{
    return dotsPerInch * tenthsOfPoint / 720;
}
