#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "geo/horizontal_distance.h"
#include "analysis/position_page_layout.h"
#include "analysis/position_statistics.h"

namespace {

// Keeps what the statistics plot, series by series.
class RecordingPlot : public PlotTarget {
public:
    struct Point {
        double x, y;
        bool operator==(const Point&) const = default;
    };
    using Points = std::vector<Point>;
    std::map<int, Points> series;
    int clears = 0;

    bool AddPoint(int s, double x, double y) override
    {
        series[s].push_back({x, y});
        return true;
    }
    void ClearSeries(int s) override
    {
        ++clears;
        series.erase(s);
    }
    const Points& Of(int s) { return series[s]; }
};

class Statistics : public ::testing::Test {
protected:
    RecordingPlot lat, lon, alt, hor;
    PositionStatistics stats{{&lat, &lon, &alt, &hor}};
};

constexpr double kDegree = std::numbers::pi / 180.0;

TEST(HorizontalDistance, Haversine)
{
    // One degree of longitude on the equator: about 111.2 km.
    const double oneDegree = HorizontalDistanceKm(0, 0, 0, 1);
    EXPECT_DOUBLE_EQ(oneDegree, 2.0 * kEarthRadiusKm * std::asin(std::sin(0.5 * kDegree)));
    EXPECT_NEAR(oneDegree, 111.2, 0.05);
    EXPECT_EQ(HorizontalDistanceKm(52.3, 4.9, 52.3, 4.9), 0.0);
    // The cosine factor is the first latitude's alone, squared: the two
    // directions differ once the latitudes do.
    const double s = std::sin(-0.5 * kDegree), c = std::cos(60 * kDegree);
    EXPECT_DOUBLE_EQ(HorizontalDistanceKm(60, 0, 61, 1), 2.0 * kEarthRadiusKm * std::asin(std::sqrt(s * s + c * c * s * s)));
    EXPECT_NE(HorizontalDistanceKm(60, 0, 61, 1), HorizontalDistanceKm(61, 1, 60, 0));
    // Far apart the haversine term passes 1 (here about 1.29): half the
    // circumference, not NaN.
    EXPECT_DOUBLE_EQ(HorizontalDistanceKm(10, 0, -60, 170), std::numbers::pi * kEarthRadiusKm);
}

TEST_F(Statistics, ZeroFixIsRefusedButAZeroHorizontalPositionIsNot)
{
    EXPECT_FALSE(stats.OnPositionUpdate(100, 100, 0.0, 0.0, 0.0));
    EXPECT_EQ(stats.SampleCount(), 0u);
    EXPECT_TRUE(lat.series.empty() && hor.series.empty());
    EXPECT_EQ(stats.HplCm(), -1);
    EXPECT_TRUE(stats.OnPositionUpdate(0, 0, 0.0, 0.0, 12.0));
    EXPECT_EQ(alt.Of(kSeriesRaw), (RecordingPlot::Points{{0.0, 12.0}}));
}

TEST_F(Statistics, RawAndAveragePointsShareTheFixPlotIndex)
{
    for (double v : {52.1, 52.3, 52.2})
        stats.OnPositionUpdate(0, 0, v, 4.0 + v, 10.0 * v);
    EXPECT_EQ(lat.Of(kSeriesRaw), (RecordingPlot::Points{{0, 52.1}, {1, 52.3}, {2, 52.2}}));
    const auto& avg = lat.Of(kSeriesAvg);
    ASSERT_EQ(avg.size(), 3u);
    EXPECT_DOUBLE_EQ(avg[1].y, (52.1 + 52.3) / 2);
    EXPECT_EQ(avg[2].x, 2.0);
    EXPECT_DOUBLE_EQ(avg[2].y, (52.1 + 52.3 + 52.2) / 3);
    EXPECT_DOUBLE_EQ(lon.Of(kSeriesRaw)[2].y, 56.2);
    EXPECT_DOUBLE_EQ(alt.Of(kSeriesAvg)[2].y, (521.0 + 523.0 + 522.0) / 3);
    EXPECT_DOUBLE_EQ(stats.AverageLatitude(), (52.1 + 52.3 + 52.2) / 3);
    EXPECT_EQ(stats.PlotIndex(), 3.0);
}

TEST_F(Statistics, TrendSegmentAppearsWithTheSixthFixAndIsReplacedAfterwards)
{
    std::vector<double> values;
    for (int i = 1; i <= 7; ++i) {
        values.push_back(100.0 + 0.5 * i + (i % 2 == 0 ? 0.25 : -0.25));
        stats.OnPositionUpdate(0, 0, 52.0, 4.0, values.back());
        if (i == 1) {
            EXPECT_EQ(stats.TextValues().lsfAltitude, 0.0);  // one sample: slope 0, intercept 0
        }
        if (i < 6) {
            EXPECT_TRUE(alt.Of(kSeriesLsf).empty()) << "fix " << i;
            continue;
        }
        // The least-squares line by the centred formula, independent of the
        // running sums.
        const double meanX = (i + 1) / 2.0;
        double meanY = 0.0, sxy = 0.0, sxx = 0.0;
        for (double v : values)
            meanY += v / i;
        for (int k = 0; k < i; ++k) {
            sxy += (k + 1 - meanX) * (values[static_cast<size_t>(k)] - meanY);
            sxx += (k + 1 - meanX) * (k + 1 - meanX);
        }
        const double slope = sxy / sxx, intercept = meanY - slope * meanX;
        const auto& segment = alt.Of(kSeriesLsf);
        ASSERT_EQ(segment.size(), 2u) << "fix " << i;
        EXPECT_EQ(segment[0].x, 1.0);
        EXPECT_NEAR(segment[0].y, slope + intercept, 1e-9);
        EXPECT_EQ(segment[1].x, static_cast<double>(i));
        EXPECT_NEAR(segment[1].y, i * slope + intercept, 1e-9);
        EXPECT_NEAR(stats.TextValues().lsfAltitude, i * slope + intercept, 1e-9);
    }
    EXPECT_NEAR(lat.Of(kSeriesLsf)[1].y, 52.0, 1e-9);  // a flat latitude fits itself
    EXPECT_EQ(alt.clears, 2);
}

TEST(PositionHorizontals, HplAndHfomArePlottedWhileEitherIsNonZero)
{
    const int cases[][2] = {{0, 250}, {0, 0}, {150, 0}, {-30, 40}};
    for (const auto& [hplCm, hfomCm] : cases) {
        RecordingPlot h;
        PositionStatistics s({nullptr, nullptr, nullptr, &h});
        s.OnPositionUpdate(hplCm, hfomCm, 52.0, 4.0, 1.0);
        if (hplCm == 0 && hfomCm == 0) {
            EXPECT_TRUE(h.series.empty());
            continue;
        }
        EXPECT_EQ(h.Of(kSeriesHpl), (RecordingPlot::Points{{0, hplCm / 100.0}}));
        EXPECT_EQ(h.Of(kSeriesHfom), (RecordingPlot::Points{{0, hfomCm / 100.0}}));
    }
}

TEST_F(Statistics, HorizontalErrorNeedsAUserPositionAndItsTextAlsoAnHpl)
{
    stats.OnPositionUpdate(100, 50, 52.0, 4.0, 1.0);
    EXPECT_TRUE(hor.Of(kSeriesHErr).empty());
    EXPECT_EQ(stats.AverageHorizontalError().Count(), 0u);
    EXPECT_EQ(stats.TextValues().herr, 0.0);

    stats.SetUserPosition(0.0, 1.0, 5.0);
    // 111.2 km away with an HPL of 50 m: a violation.
    stats.OnPositionUpdate(5000, 2000, 0.0, 0.0, 3.0);
    const double herr = HorizontalDistanceKm(0, 0, 0, 1) * 1000.0;
    EXPECT_EQ(hor.Of(kSeriesHErr), (RecordingPlot::Points{{1, herr}}));
    EXPECT_EQ(hor.Of(kSeriesHplViolation), (RecordingPlot::Points{{1, herr}}));
    // The same error without an HPL is plotted and averaged, but is no
    // violation, and the text block shows no error.
    stats.OnPositionUpdate(0, 2000, 0.0, 0.0, 3.0);
    EXPECT_EQ(hor.Of(kSeriesHErr).size(), 2u);
    EXPECT_EQ(stats.HplViolations(), 1);
    EXPECT_EQ(stats.TextValues().herr, 0.0);
    EXPECT_DOUBLE_EQ(stats.TextValues().averageHErr, herr);
    // With an HPL again the text measures the last fix against the user
    // position as it is when the page paints.
    stats.OnPositionUpdate(20000000, 0, 0.0, 2.0, 3.0);
    stats.SetUserPosition(0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(stats.TextValues().herr, 2.0 * herr);
}

TEST_F(Statistics, AnotherUserPositionRestartsOnlyWhatWasMeasuredAgainstIt)
{
    stats.SetUserPosition(0.0, 1.0, 5.0);
    for (int i = 0; i < 4; ++i)
        stats.OnPositionUpdate(5000, 2000, 0.0, 0.0, 3.0);  // 111 km off: violations
    ASSERT_EQ(stats.HplViolations(), 4);
    const PositionTextValues before = stats.TextValues();

    stats.SetUserPosition(0.0, 1.0, 5.0);  // the same point again: nothing restarts
    EXPECT_EQ(stats.TextValues(), before);

    stats.SetUserPosition(0.0, 0.0, 3.0);
    PositionTextValues expected = before;
    expected.averageHErr = 0.0;
    expected.hplViolations = 0;
    expected.herr = 0.0;  // the last fix lies on the new point
    EXPECT_EQ(stats.TextValues(), expected);
    EXPECT_TRUE(hor.Of(kSeriesHErr).empty());
    EXPECT_TRUE(hor.Of(kSeriesHplViolation).empty());
    EXPECT_EQ(hor.Of(kSeriesHpl).size(), 4u) << "HPL and HFOM go on";
    EXPECT_EQ(lat.Of(kSeriesRaw).size(), 4u);

    stats.OnPositionUpdate(5000, 2000, 0.0, 0.0, 3.0);
    EXPECT_EQ(stats.AverageHorizontalError().Count(), 1u);
    EXPECT_EQ(stats.TextValues().averageHErr, 0.0);
    EXPECT_EQ(stats.HplViolations(), 0);
    EXPECT_EQ(hor.Of(kSeriesHErr), (RecordingPlot::Points{{4, 0.0}}));
    EXPECT_EQ(stats.SampleCount(), 5u);
}

// A latitude whose fix lies exactly `metres` north of (0, 0), if any.
double LatitudeAtExactly(double metres)
{
    double lat = metres / 1000.0 / kEarthRadiusKm / kDegree;
    for (int i = 0; i < 64; ++i)
        lat = std::nextafter(lat, 0.0);
    for (int i = 0; i < 128; ++i, lat = std::nextafter(lat, 1.0))
        if (HorizontalDistanceKm(lat, 0.0, 0.0, 0.0) * 1000.0 == metres)
            return lat;
    return std::nan("");
}

TEST(HplViolation, EqualToTheLastBitIsNoViolationOneUlpAboveIs)
{
    const double hpl = 2.5;
    const double cases[][2] = {{hpl, 0}, {std::nextafter(hpl, 10.0), 1}, {std::nextafter(hpl, 0.0), 0}};
    for (const auto& [herr, violations] : cases) {
        const double lat = LatitudeAtExactly(herr);
        ASSERT_FALSE(std::isnan(lat)) << "no latitude lies exactly " << herr << " m away";
        PositionStatistics s;
        s.SetUserPosition(0.0, 0.0, 0.0);
        s.OnPositionUpdate(250, 0, lat, 0.0, 1.0);
        EXPECT_EQ(s.HplViolations(), violations) << herr;
    }
}

TEST_F(Statistics, ClearPlotsStartsAfreshButKeepsTheUserPosition)
{
    stats.SetUserPosition(52.0, 4.0, 7.0);
    for (int i = 0; i < 8; ++i)
        stats.OnPositionUpdate(100, 100, 52.001 + i * 1e-6, 4.0, 7.0 + i);
    stats.ClearPlots();
    for (RecordingPlot* plot : {&lat, &lon, &alt, &hor}) {
        EXPECT_TRUE(plot->series.empty());
        EXPECT_GE(plot->clears, 16);
    }
    EXPECT_EQ(stats.UserLatitude(), 52.0);
    EXPECT_EQ(stats.UserAltitude(), 7.0);
    EXPECT_EQ(stats.HplCm(), -1);
    EXPECT_EQ(stats.TextValues(), PositionTextValues{});

    stats.OnPositionUpdate(100, 100, 52.5, 4.5, 9.0);
    EXPECT_EQ(lat.Of(kSeriesRaw), (RecordingPlot::Points{{0.0, 52.5}}));
    EXPECT_EQ(stats.LatitudeFit().sumX, 1.0);  // sample number 1
    EXPECT_EQ(stats.TextValues().avgLatitude, 52.5);
}

TEST(PositionTextBlock, ValuesLineUpWithTheLabels)
{
    // Before the first fix everything shows 0, HPL and HFOM included.
    PositionStatistics empty;
    empty.SetUserPosition(10.0, 20.0, 0.0);
    EXPECT_EQ(FormatPositionValues(empty.TextValues()),
              "0.00000\n0.00000\n0.000 m\n\n0.00000\n0.00000\n0.000 m\n\n0.00000\n0.00000\n0.000 m\n\n0\n\n"
              "0.00 m\n0.00 m\n0.00 m\n0.00 m\n0\n");
    const PositionTextValues v{52.3720251, -4.9096296, 16.0, 52.372, -4.9, 15.9876, 1.0, 2.0, -3.25,
                               4000000000u, 2.5,       1.2,        3.456, 0.004, 17};
    const std::string values = FormatPositionValues(v);
    EXPECT_EQ(values,
              "52.37203\n-4.90963\n16.000 m\n\n52.37200\n-4.90000\n15.988 m\n\n1.00000\n2.00000\n-3.250 m\n\n"
              "4000000000\n\n2.50 m\n1.20 m\n3.46 m\n0.00 m\n17\n");
    const std::string labels = kPositionLabelText;
    EXPECT_EQ(std::count(labels.begin(), labels.end(), '\n'), std::count(values.begin(), values.end(), '\n'));
    PositionTextValues huge = v;
    huge.altitude = 1e300;
    EXPECT_GT(FormatPositionValues(huge).size(), 300u);
}

TEST(PositionPageLayout, Geometry)
{
    const PositionPageLayout l = ComputePositionPageLayout(1200, 800);
    EXPECT_EQ(l.margin, 9);
    EXPECT_EQ(l.textBox, (PlotRect{9, 9, 400, 791}));
    EXPECT_EQ(l.plotsArea, (PlotRect{409, 9, 1191, 791}));
    EXPECT_EQ(l.plots[0], (PlotRect{409, 9, 1191, 204}));
    EXPECT_EQ(l.plots[3], (PlotRect{409, 594, 1191, 789}));  // each 195 high
    EXPECT_EQ(l.textFontPixels, 19);
    // No margin below 100,000 pixels of client area.
    const int cases[][3] = {{316, 316, 0}, {500, 199, 0}, {500, 200, 1}, {2000, 1500, 30}, {0, 0, 0}};
    for (const auto& [w, h, margin] : cases) {
        const PositionPageLayout m = ComputePositionPageLayout(w, h);
        EXPECT_EQ(m.margin, margin) << w << "x" << h;
        EXPECT_EQ(m.textBox.right, w / 3);
        EXPECT_EQ(m.plotsArea.left, w / 3 + margin);
    }
}

}  // namespace
