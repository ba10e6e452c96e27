#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/plot_geometry.h"

namespace {

std::array<PlotSeries, kMaxSeries> SeriesWith(std::initializer_list<PlotDataItem> points)
{
    std::array<PlotSeries, kMaxSeries> series;
    for (const PlotDataItem& p : points)
        series[0].AddPoint(p.x, p.y);
    return series;
}

TEST(PlotLayout, SplitsTheRectangle)
{
    // The top plot of the position page at 1200 x 800, and the defaults.
    EXPECT_EQ(ComputePlotLayout({409, 9, 1191, 204}, 7, 15),
              (PlotLayout{{520, 28, 1139, 185}, {1149, 28, 1191, 185}, {520, 9, 1139, 25}, {520, 188, 1139, 204},
                          {409, 28, 517, 185}}));
    EXPECT_EQ(ComputePlotLayout({0, 0, 800, 600}, 8, 5),
              (PlotLayout{{100, 60, 640, 540}, {650, 60, 800, 540}, {100, 0, 640, 57}, {100, 543, 640, 600},
                          {0, 60, 97, 540}}));
}

TEST(PlotScales, RangesCoverEverySeriesWithYPadded)
{
    auto series = SeriesWith({{10, 2}, {30, 12}});
    series[15].AddPoint(7, 0);  // the lowest and highest values live in another series
    series[15].AddPoint(5, 40);
    series[3].AddPoint(std::numeric_limits<double>::infinity(), 3);  // left out
    const PlotRect plot{100, 20, 300, 130};
    const PlotScales s = ComputeScales(series, plot);
    EXPECT_EQ(s.xMin, 2.0);
    EXPECT_EQ(s.xMax, 12.0);
    EXPECT_DOUBLE_EQ(s.yMin, -2.0);
    EXPECT_DOUBLE_EQ(s.yMax, 42.0);
    EXPECT_EQ(ToPixelX(s, plot, 2.0), 100);
    EXPECT_EQ(ToPixelX(s, plot, 12.0), 300);
    EXPECT_EQ(ToPixelY(s, plot, 42.0), 20);
    EXPECT_EQ(ToPixelY(s, plot, 0.0), 130 - 5);  // trunc(2 * 110 / 44)

    // No points, or one value: unit scales, on the bottom and left edges.
    for (const auto& one : {std::array<PlotSeries, kMaxSeries>{}, SeriesWith({{4.5, 3}, {4.5, 3}})}) {
        const PlotScales flat = ComputeScales(one, plot);
        EXPECT_EQ(flat.yScale, 1.0);
        EXPECT_EQ(flat.xScale, 1.0);
        EXPECT_EQ(ToPixelY(flat, plot, flat.yMin), 130);
        EXPECT_TRUE(ComputeYGrid(flat, plot, 10).empty());
        EXPECT_TRUE(ComputeXGrid(flat, plot, 10).empty());
    }
}

TEST(PlotPixels, FarValuesAndTheDrawnBand)
{
    EXPECT_EQ(TruncPlotOffset(-12.9), -12);
    EXPECT_EQ(TruncPlotOffset(1e300), kFarPixel);
    EXPECT_EQ(TruncPlotOffset(-1e300), -kFarPixel);
    EXPECT_EQ(TruncPlotOffset(std::numeric_limits<double>::quiet_NaN()), kFarPixel);
    // A point 15 pixels left of the plot area is drawn, 25 pixels is not.
    const PlotRect plot{100, 0, 200, 50};
    EXPECT_TRUE(InDrawBand(plot, 85));
    EXPECT_FALSE(InDrawBand(plot, 75));
    EXPECT_FALSE(InDrawBand(plot, 80));
    EXPECT_TRUE(InDrawBand(plot, 219));
    EXPECT_FALSE(InDrawBand(plot, 220));
}

TEST(PlotGrid, XSpanIsCutToAPowerOfTen)
{
    std::array<PlotSeries, kMaxSeries> series;
    for (int x = 0; x < 100; ++x)
        series[0].AddPoint(x, x % 7);
    const PlotRect plot{50, 0, 545, 100};
    const auto lines = ComputeXGrid(ComputeScales(series, plot), plot, 10);
    // Span 99 becomes 90 and the step 18; 0 lies on the left edge.
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].value, 18.0 * static_cast<double>(i + 1));
        EXPECT_EQ(lines[i].pixel, 50 + static_cast<int>(lines[i].value * 5));
    }
    // 37 -> 30 (step 6), 999 -> 900 (step 180), 7.5 -> 7 (step 1.4), 0.5 stays.
    const double cuts[][2] = {{37, 6}, {999, 180}, {7.5, 1.4}, {0.5, 0.1}};
    for (const auto& [xMax, firstLine] : cuts) {
        PlotScales s;
        s.xMax = xMax;
        s.xScale = 1000.0 / xMax;
        const auto cut = ComputeXGrid(s, {0, 0, 1000, 10}, 10);
        ASSERT_FALSE(cut.empty());
        EXPECT_DOUBLE_EQ(cut[0].value, firstLine) << xMax;
    }
}

TEST(PlotGrid, YLinesStepBySpanOverDivisions)
{
    struct Case {
        double low, high;
        int height;
        std::vector<double> values;
    };
    const Case cases[] = {
        // -5 .. 105 from -110 in steps of 22; -22 and below lie under the plot.
        {0, 100, 110, {0, 22, 44, 66, 88}},
        // -1e11 .. 2.1e12: the span 2.2e12 is cut to 2e12, the step is 4e11.
        {0, 2e12, 1000, {0, 4e11, 8e11, 1.2e12, 1.6e12, 2e12}},
    };
    for (const Case& c : cases) {
        const PlotRect plot{0, 10, 100, 10 + c.height};
        const PlotScales s = ComputeScales(SeriesWith({{c.low, 0}, {c.high, 1}}), plot);
        const auto lines = ComputeYGrid(s, plot, 5);
        ASSERT_EQ(lines.size(), c.values.size()) << c.high;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_DOUBLE_EQ(lines[i].value, c.values[i]);
            EXPECT_EQ(lines[i].pixel, ToPixelY(s, plot, lines[i].value));
        }
    }
}

TEST(PlotGrid, WalksEnd)
{
    // A steady altitude with an average one unit in the last place away: the
    // smallest step of 1e-12 no longer changes a value of 20000.
    const double altitude = 20000.0;
    ASSERT_EQ(altitude + 1e-12, altitude);
    const PlotRect plot{0, 0, 100, 100};
    const PlotScales steady = ComputeScales(SeriesWith({{altitude, 0}, {std::nextafter(altitude, 1e9), 1}}), plot);
    ASSERT_GT(steady.yMax, steady.yMin);
    EXPECT_LE(ComputeYGrid(steady, plot, 5).size(), 1u);
    // Fewer than one division: no grid rather than a walk backwards.
    const PlotScales s = ComputeScales(SeriesWith({{0, 0}, {10, 10}}), plot);
    for (int divisions : {0, -5}) {
        EXPECT_TRUE(ComputeYGrid(s, plot, divisions).empty());
        EXPECT_TRUE(ComputeXGrid(s, plot, divisions).empty());
    }
}

TEST(PlotLabels, TickLabelsAndFonts)
{
    struct Case {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {{"%G", 3e-21, "0"},         {"%G", -9.9e-21, "0"},         {"%G", 1e-20, "1E-20"},
                          {"%.06f", 52.372025, "52.372025"}, {"%.06f", -3e-21, "0.000000"}, {"%.03f", 16.25, "16.250"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatTickLabel(c.format, c.value), c.text) << c.format << " " << c.value;

    EXPECT_EQ(TickFontSize(157, 0.5f), 78);   // a position page plot at 1200 x 800
    EXPECT_EQ(TickFontSize(100, 0.24f), 50);  // never below 5 points
    EXPECT_EQ(TitleFontSize(16), 64);
    EXPECT_EQ(PointSizeToPixels(78, 96), 10);
    EXPECT_EQ(PointSizeToPixels(90, 120), 15);
}

}  // namespace
