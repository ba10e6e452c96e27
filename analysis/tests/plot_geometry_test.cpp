#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/plot_geometry.h"

namespace {

std::array<PlotSeries, kMaxSeries> SeriesWith(std::initializer_list<CVPlotDataItem> points, int index = 0)
{
    std::array<PlotSeries, kMaxSeries> series;
    for (const CVPlotDataItem& p : points)
        series[static_cast<size_t>(index)].AddPoint(p.x, p.y);
    return series;
}

TEST(PlotLayout, SplitsTheRectangle)
{
    struct Case {
        PlotRect rect;
        int leftDivisor, legendDivisor;
        PlotLayout expected;
    };
    const Case cases[] = {
        // The top plot of the position page at 1200 x 800.
        {{409, 9, 1191, 204}, 7, 15,
         {{520, 28, 1139, 185}, {1149, 28, 1191, 185}, {520, 9, 1139, 25}, {520, 188, 1139, 204}, {409, 28, 517, 185}}},
        // The control's own defaults.
        {{0, 0, 800, 600}, 8, 5,
         {{100, 60, 640, 540}, {650, 60, 800, 540}, {100, 0, 640, 57}, {100, 543, 640, 600}, {0, 60, 97, 540}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputePlotLayout(c.rect, c.leftDivisor, c.legendDivisor), c.expected);
}

TEST(PlotScales, EmptyPlotHasZeroRangesAndUnitScales)
{
    const std::array<PlotSeries, kMaxSeries> none;
    const PlotScales s = ComputeScales(none, {0, 0, 100, 50});
    EXPECT_EQ(s.yMin, 0.0);
    EXPECT_EQ(s.yMax, 0.0);
    EXPECT_EQ(s.xMin, 0.0);
    EXPECT_EQ(s.xMax, 0.0);
    EXPECT_EQ(s.yScale, 1.0);
    EXPECT_EQ(s.xScale, 1.0);
}

TEST(PlotScales, RangesCoverEverySeriesWithYPadded)
{
    auto series = SeriesWith({{10, 2}, {30, 12}}, 3);
    series[15].AddPoint(7, 0);  // the highest value lives in another series
    series[15].AddPoint(5, 40);
    const PlotRect plot{100, 20, 300, 130};
    const PlotScales s = ComputeScales(series, plot);
    EXPECT_EQ(s.xMin, 2.0);
    EXPECT_EQ(s.xMax, 12.0);
    EXPECT_DOUBLE_EQ(s.yMin, -2.0);  // 0 - 5 % of 40
    EXPECT_DOUBLE_EQ(s.yMax, 42.0);
    EXPECT_DOUBLE_EQ(s.yScale, 110.0 / 44.0);
    EXPECT_DOUBLE_EQ(s.xScale, 200.0 / 10.0);
    // Ends of the ranges land on the plot area's edges.
    EXPECT_EQ(ToPixelX(s, plot, 2.0), 100);
    EXPECT_EQ(ToPixelX(s, plot, 12.0), 300);
    EXPECT_EQ(ToPixelY(s, plot, -2.0), 130);
    EXPECT_EQ(ToPixelY(s, plot, 42.0), 20);
    EXPECT_EQ(ToPixelY(s, plot, 0.0), 130 - 5);  // trunc(2 * 2.5)
}

TEST(PlotScales, OneValueLiesOnTheBottomAndLeftEdges)
{
    const auto series = SeriesWith({{4.5, 3}, {4.5, 3}});
    const PlotRect plot{10, 10, 110, 60};
    const PlotScales s = ComputeScales(series, plot);
    EXPECT_EQ(s.yScale, 1.0);
    EXPECT_EQ(s.xScale, 1.0);
    EXPECT_EQ(ToPixelX(s, plot, 3.0), 10);
    EXPECT_EQ(ToPixelY(s, plot, 4.5), 60);
    EXPECT_TRUE(ComputeYGrid(s, plot, 10).empty());
    EXPECT_TRUE(ComputeXGrid(s, plot, 10).empty());
}

TEST(PlotScales, ValuesThatAreNotNumbersDoNotSpoilTheRange)
{
    const double inf = std::numeric_limits<double>::infinity();
    auto series = SeriesWith({{inf, 1}, {1, 1}});
    series[1].AddPoint(0, 2);
    series[1].AddPoint(10, 3);
    const PlotScales s = ComputeScales(series, {0, 0, 100, 100});
    EXPECT_EQ(s.xMin, 0.0);
    EXPECT_EQ(s.xMax, 10.0);
    EXPECT_TRUE(std::isfinite(s.yScale));
    EXPECT_TRUE(std::isfinite(s.yMax));
}

TEST(PlotPixels, FarAndMissingValuesStayOutsideTheDrawnBand)
{
    EXPECT_EQ(TruncToPixel(12.9), 12);
    EXPECT_EQ(TruncToPixel(-12.9), -12);
    EXPECT_EQ(TruncToPixel(1e300), kFarPixel);
    EXPECT_EQ(TruncToPixel(-1e300), -kFarPixel);
    EXPECT_EQ(TruncToPixel(std::numeric_limits<double>::quiet_NaN()), kFarPixel);
    const PlotRect plot{100, 0, 200, 50};
    // A point 15 pixels left of the plot area is drawn, 25 pixels is not.
    EXPECT_TRUE(InDrawBand(plot, 85));
    EXPECT_FALSE(InDrawBand(plot, 75));
    EXPECT_FALSE(InDrawBand(plot, 80));
    EXPECT_TRUE(InDrawBand(plot, 219));
    EXPECT_FALSE(InDrawBand(plot, 220));
    EXPECT_FALSE(InDrawBand(plot, kFarPixel));
}

TEST(PlotGrid, XSpanIsCutToAPowerOfTen)
{
    std::array<PlotSeries, kMaxSeries> series;
    for (int x = 0; x < 100; ++x)
        series[0].AddPoint(x, x % 7);
    const PlotRect plot{50, 0, 545, 100};
    const PlotScales s = ComputeScales(series, plot);
    const auto lines = ComputeXGrid(s, plot, 10);
    // Span 99 becomes 90 and the step 18; 0 lies on the left edge.
    ASSERT_EQ(lines.size(), 5u);
    for (size_t i = 0; i < lines.size(); ++i) {
        const double g = 18.0 * static_cast<double>(i + 1);
        EXPECT_EQ(lines[i].value, g);
        EXPECT_EQ(lines[i].pixel, 50 + static_cast<int>(g * 495.0 / 99.0));
    }
}

TEST(PlotGrid, XSpanCuts)
{
    struct Case {
        double xMax;  // xMin is 0
        double firstLine;
    };
    // 37 -> 30 (step 6), 999 -> 900 (step 180), 7.5 -> 7 (step 1.4), 0.5 stays (step 0.1).
    const Case cases[] = {{37, 6}, {999, 180}, {7.5, 1.4}, {0.5, 0.1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xMax);
        PlotScales s;
        s.xMax = c.xMax;
        s.xScale = 1000.0 / c.xMax;
        const auto lines = ComputeXGrid(s, {0, 0, 1000, 10}, 10);
        ASSERT_FALSE(lines.empty());
        EXPECT_DOUBLE_EQ(lines[0].value, c.firstLine);
    }
}

TEST(PlotGrid, YLinesStepBySpanOverDivisions)
{
    const auto series = SeriesWith({{0, 0}, {100, 1}});
    const PlotRect plot{0, 10, 100, 120};
    const PlotScales s = ComputeScales(series, plot);  // -5 .. 105
    const auto lines = ComputeYGrid(s, plot, 5);
    // Span 110 from floor(-5 / 110) * 110 = -110 in steps of 22; the lines at
    // and below -22 fall below the plot area.
    const double expected[] = {0, 22, 44, 66, 88};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_DOUBLE_EQ(lines[i].value, expected[i]);
        EXPECT_EQ(lines[i].pixel, 120 - static_cast<int>((expected[i] + 5.0) * 110.0 / 110.0));
    }
}

TEST(PlotGrid, HugeYSpanIsCutToAPowerOfTen)
{
    const auto series = SeriesWith({{0, 0}, {2e12, 1}});
    const PlotRect plot{0, 0, 100, 1000};
    const PlotScales s = ComputeScales(series, plot);  // -1e11 .. 2.1e12, span 2.2e12 -> 2e12
    const auto lines = ComputeYGrid(s, plot, 5);
    const double expected[] = {0, 4e11, 8e11, 1.2e12, 1.6e12, 2e12};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_DOUBLE_EQ(lines[i].value, expected[i]);
}

TEST(PlotGrid, YWalkEndsWhenTheStepIsLostToRounding)
{
    // A steady altitude with an average one unit in the last place away: the
    // smallest step of 1e-12 no longer changes a value of 20000.
    const double altitude = 20000.0;
    const double average = std::nextafter(altitude, 1e9);
    ASSERT_EQ(altitude + 1e-12, altitude);
    const auto series = SeriesWith({{altitude, 0}, {average, 1}});
    const PlotRect plot{0, 0, 100, 100};
    const PlotScales s = ComputeScales(series, plot);
    ASSERT_GT(s.yMax, s.yMin);
    const auto lines = ComputeYGrid(s, plot, 5);
    EXPECT_LE(lines.size(), 1u);
}

TEST(PlotGrid, WalksEndForOddDivisions)
{
    const auto series = SeriesWith({{0, 0}, {10, 10}});
    const PlotRect plot{0, 0, 100, 100};
    const PlotScales s = ComputeScales(series, plot);
    for (int divisions : {0, -5}) {
        EXPECT_TRUE(ComputeYGrid(s, plot, divisions).empty());
        EXPECT_TRUE(ComputeXGrid(s, plot, divisions).empty());
    }
}

TEST(PlotLabels, TickLabels)
{
    struct Case {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"%G", 3e-21, "0"},
        {"%G", -9.9e-21, "0"},
        {"%G", 1e-20, "1E-20"},
        {"%G", 18, "18"},
        {"%.06f", 52.372025, "52.372025"},
        {"%.03f", 16.25, "16.250"},
        {"%.06f", -3e-21, "0.000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTickLabel(c.format, c.value), c.text) << c.format << " " << c.value;
}

TEST(PlotFonts, SizesFollowThePlotHeight)
{
    EXPECT_EQ(TickFontSize(157, 0.5f), 78);   // a position page plot at 1200 x 800
    EXPECT_EQ(TickFontSize(100, 0.24f), 50);  // never below 5 points
    EXPECT_EQ(TickFontSize(480, 0.24f), 115);
    EXPECT_EQ(TitleFontSize(16), 64);
    EXPECT_EQ(TitleFontSize(10), 50);
    EXPECT_EQ(PointSizeToPixels(78, 96), 10);
    EXPECT_EQ(PointSizeToPixels(90, 96), 12);
    EXPECT_EQ(PointSizeToPixels(90, 120), 15);
}

}  // namespace
