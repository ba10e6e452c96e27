#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "analysis/horizontal_distance.h"
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
    std::map<int, std::vector<Point>> series;
    int clears = 0;

    bool AddPoint(int s, double x, double y) override
    {
        if (s < 0 || s > 15)
            return false;
        series[s].push_back({x, y});
        return true;
    }
    void ClearSeries(int s) override
    {
        ++clears;
        series.erase(s);
    }
    const std::vector<Point>& Of(int s) { return series[s]; }
};

class Statistics : public ::testing::Test {
protected:
    RecordingPlot lat, lon, alt, hor;
    PositionStatistics stats{{&lat, &lon, &alt, &hor}};
};

// The least-squares line through (1, v1) ... (n, vn) by the centred formula,
// independent of the running sums under test.
struct Line {
    double slope, intercept;
};
Line FitCentred(const std::vector<double>& values)
{
    const double n = static_cast<double>(values.size());
    const double meanX = (n + 1.0) / 2.0;
    double meanY = 0.0;
    for (double v : values)
        meanY += v / n;
    double sxy = 0.0, sxx = 0.0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double dx = static_cast<double>(i + 1) - meanX;
        sxy += dx * (values[i] - meanY);
        sxx += dx * dx;
    }
    const double slope = sxy / sxx;
    return {slope, meanY - slope * meanX};
}

TEST(HorizontalDistance, Haversine)
{
    constexpr double kDegree = std::numbers::pi / 180.0;
    // One degree of longitude on the equator: about 111.2 km.
    const double oneDegree = HorizontalDistanceKm(0, 0, 0, 1);
    EXPECT_DOUBLE_EQ(oneDegree, 2.0 * kEarthRadiusKm * std::asin(std::sin(0.5 * kDegree)));
    EXPECT_NEAR(oneDegree, 111.2, 0.05);
    EXPECT_EQ(HorizontalDistanceKm(52.3, 4.9, 52.3, 4.9), 0.0);
    EXPECT_DOUBLE_EQ(HorizontalDistanceKm(1, 0, 0, 0), oneDegree);
    // The cosine factor is the first point's latitude squared, so the two
    // directions differ once the latitudes do.
    const double there = HorizontalDistanceKm(60, 0, 61, 1);
    const double back = HorizontalDistanceKm(61, 1, 60, 0);
    const double a = std::pow(std::sin(-0.5 * kDegree), 2)
        + std::pow(std::cos(60 * kDegree), 2) * std::pow(std::sin(-0.5 * kDegree), 2);
    EXPECT_DOUBLE_EQ(there, 2.0 * kEarthRadiusKm * std::asin(std::sqrt(a)));
    EXPECT_NE(there, back);
}

TEST(HorizontalDistance, FarApartGivesHalfTheCircumference)
{
    // a = sin^2(35 deg) + cos^2(10 deg) sin^2(85 deg) is about 1.29.
    const double d = HorizontalDistanceKm(10, 0, -60, 170);
    EXPECT_DOUBLE_EQ(d, std::numbers::pi * kEarthRadiusKm);
    EXPECT_DOUBLE_EQ(HorizontalDistanceKm(0, 0, 0, 180), std::numbers::pi * kEarthRadiusKm);
}

TEST(TrendFitting, FirstSampleLeavesTheLineFlat)
{
    TrendFit fit;
    fit.Add(1.0, 52.5);
    EXPECT_EQ(fit.slope, 0.0);
    EXPECT_EQ(fit.intercept, 0.0);
    EXPECT_EQ(fit.At(fit.n), 0.0);
    fit.Add(2.0, 53.5);
    EXPECT_DOUBLE_EQ(fit.slope, 1.0);
    EXPECT_DOUBLE_EQ(fit.intercept, 51.5);
}

TEST_F(Statistics, ZeroFixIsRefusedButAZeroHorizontalPositionIsNot)
{
    EXPECT_FALSE(stats.OnPositionUpdate(100, 100, 0.0, 0.0, 0.0));
    EXPECT_EQ(stats.SampleCount(), 0u);
    EXPECT_EQ(stats.PlotIndex(), 0.0);
    EXPECT_TRUE(lat.series.empty());
    EXPECT_TRUE(hor.series.empty());
    EXPECT_EQ(stats.HplCm(), -1);

    EXPECT_TRUE(stats.OnPositionUpdate(0, 0, 0.0, 0.0, 12.0));
    EXPECT_EQ(stats.SampleCount(), 1u);
    EXPECT_EQ(alt.Of(kSeriesRaw), (std::vector<RecordingPlot::Point>{{0.0, 12.0}}));
}

TEST_F(Statistics, RawAndAveragePointsShareTheFixPlotIndex)
{
    const double lats[] = {52.1, 52.3, 52.2};
    for (double v : lats)
        stats.OnPositionUpdate(0, 0, v, 4.0 + v, 10.0 * v);
    EXPECT_EQ(lat.Of(kSeriesRaw),
              (std::vector<RecordingPlot::Point>{{0, 52.1}, {1, 52.3}, {2, 52.2}}));
    ASSERT_EQ(lat.Of(kSeriesAvg).size(), 3u);
    EXPECT_DOUBLE_EQ(lat.Of(kSeriesAvg)[1].y, (52.1 + 52.3) / 2);
    EXPECT_DOUBLE_EQ(lat.Of(kSeriesAvg)[2].y, (52.1 + 52.3 + 52.2) / 3);
    EXPECT_EQ(lat.Of(kSeriesAvg)[2].x, 2.0);
    EXPECT_DOUBLE_EQ(lon.Of(kSeriesRaw)[2].y, 56.2);
    EXPECT_DOUBLE_EQ(alt.Of(kSeriesAvg)[2].y, (521.0 + 523.0 + 522.0) / 3);
    EXPECT_DOUBLE_EQ(stats.AverageLatitude(), (52.1 + 52.3 + 52.2) / 3);
    EXPECT_EQ(stats.PlotIndex(), 3.0);
}

TEST_F(Statistics, TrendSegmentAppearsWithTheSixthFixAndIsReplacedAfterwards)
{
    std::vector<double> values;
    for (int i = 1; i <= 7; ++i) {
        const double v = 100.0 + 0.5 * i + (i % 2 == 0 ? 0.25 : -0.25);
        values.push_back(v);
        stats.OnPositionUpdate(0, 0, 52.0, 4.0, v);
        if (i < 6) {
            EXPECT_TRUE(alt.Of(kSeriesLsf).empty()) << "fix " << i;
            continue;
        }
        const Line line = FitCentred(values);
        const auto& segment = alt.Of(kSeriesLsf);
        ASSERT_EQ(segment.size(), 2u) << "fix " << i;
        EXPECT_EQ(segment[0].x, 1.0);
        EXPECT_NEAR(segment[0].y, line.slope + line.intercept, 1e-9);
        EXPECT_EQ(segment[1].x, static_cast<double>(i));
        EXPECT_NEAR(segment[1].y, i * line.slope + line.intercept, 1e-9);
        EXPECT_NEAR(stats.TextValues().lsfAltitude, i * line.slope + line.intercept, 1e-9);
    }
    // A flat latitude fits a flat line through the value itself.
    EXPECT_NEAR(lat.Of(kSeriesLsf)[1].y, 52.0, 1e-9);
    EXPECT_EQ(alt.clears, 2);
}

TEST_F(Statistics, HplAndHfomArePlottedWhileEitherIsNonZero)
{
    struct Case {
        int hplCm, hfomCm;
        bool plotted;
    };
    const Case cases[] = {{0, 250, true}, {0, 0, false}, {150, 0, true}, {-30, 40, true}};
    for (const Case& c : cases) {
        RecordingPlot h;
        PositionStatistics s({nullptr, nullptr, nullptr, &h});
        s.OnPositionUpdate(c.hplCm, c.hfomCm, 52.0, 4.0, 1.0);
        if (c.plotted) {
            EXPECT_EQ(h.Of(kSeriesHpl), (std::vector<RecordingPlot::Point>{{0, c.hplCm / 100.0}}));
            EXPECT_EQ(h.Of(kSeriesHfom), (std::vector<RecordingPlot::Point>{{0, c.hfomCm / 100.0}}));
        } else {
            EXPECT_TRUE(h.series.empty());
        }
    }
}

TEST_F(Statistics, WithoutAUserPositionThereIsNoHorizontalError)
{
    stats.OnPositionUpdate(100, 50, 52.0, 4.0, 1.0);
    stats.OnPositionUpdate(100, 50, 53.0, 4.0, 1.0);
    EXPECT_TRUE(hor.Of(kSeriesHErr).empty());
    EXPECT_TRUE(hor.Of(kSeriesHplViolation).empty());
    EXPECT_EQ(stats.AverageHorizontalError().Count(), 0u);
    const PositionTextValues v = stats.TextValues();
    EXPECT_EQ(v.herr, 0.0);
    EXPECT_EQ(v.averageHErr, 0.0);
    EXPECT_EQ(v.hplViolations, 0);
    EXPECT_EQ(FormatPositionValues(v).substr(FormatPositionValues(v).find("1.00 m\n0.50 m\n")),
              "1.00 m\n0.50 m\n0.00 m\n0.00 m\n0\n");
}

TEST_F(Statistics, HorizontalErrorAgainstTheUserPosition)
{
    stats.SetUserPosition(0.0, 1.0, 5.0);
    // 111.2 km away with an HPL of 50 m: a violation.
    stats.OnPositionUpdate(5000, 2000, 0.0, 0.0, 3.0);
    const double herr = HorizontalDistanceKm(0, 0, 0, 1) * 1000.0;
    EXPECT_EQ(hor.Of(kSeriesHErr), (std::vector<RecordingPlot::Point>{{0, herr}}));
    EXPECT_EQ(hor.Of(kSeriesHplViolation), (std::vector<RecordingPlot::Point>{{0, herr}}));
    // The same error with no HPL: plotted and averaged, but no violation, and
    // the text block shows no error.
    stats.OnPositionUpdate(0, 2000, 0.0, 0.0, 3.0);
    EXPECT_EQ(hor.Of(kSeriesHErr).size(), 2u);
    EXPECT_EQ(hor.Of(kSeriesHplViolation).size(), 1u);
    EXPECT_EQ(stats.HplViolations(), 1);
    PositionTextValues v = stats.TextValues();
    EXPECT_EQ(v.herr, 0.0);
    EXPECT_DOUBLE_EQ(v.averageHErr, herr);
    // With an HPL again the text block measures the last fix against the
    // user position as it is when the page paints.
    stats.OnPositionUpdate(20000000, 0, 0.0, 2.0, 3.0);
    stats.SetUserPosition(0.0, 0.0, 0.0);
    v = stats.TextValues();
    EXPECT_DOUBLE_EQ(v.herr, 2.0 * herr);
    EXPECT_EQ(v.hplViolations, 1);
    EXPECT_DOUBLE_EQ(v.averageHErr, (herr + herr + herr) / 3);
}

// A latitude whose fix lies exactly `target` metres north of (0, 0).
double LatitudeAtExactly(double target)
{
    const double approx = target / 1000.0 / kEarthRadiusKm * 180.0 / std::numbers::pi;
    double lat = approx;
    for (int i = 0; i < 64; ++i)
        lat = std::nextafter(lat, 0.0);
    for (int i = 0; i < 128; ++i, lat = std::nextafter(lat, 1.0))
        if (HorizontalDistanceKm(lat, 0.0, 0.0, 0.0) * 1000.0 == target)
            return lat;
    return std::nan("");
}

TEST(HplViolation, EqualToTheLastBitIsNoViolationOneUlpAboveIs)
{
    const int hplCm = 250;
    const double hpl = hplCm / 100.0;
    struct Case {
        double herr;
        int violations;
    };
    const Case cases[] = {{hpl, 0}, {std::nextafter(hpl, 10.0), 1}, {std::nextafter(hpl, 0.0), 0}};
    for (const Case& c : cases) {
        const double lat = LatitudeAtExactly(c.herr);
        ASSERT_FALSE(std::isnan(lat)) << "no latitude lies exactly " << c.herr << " m away";
        RecordingPlot h;
        PositionStatistics s({nullptr, nullptr, nullptr, &h});
        s.SetUserPosition(0.0, 0.0, 0.0);
        s.OnPositionUpdate(hplCm, 0, lat, 0.0, 1.0);
        EXPECT_EQ(s.HplViolations(), c.violations) << c.herr;
        EXPECT_EQ(h.Of(kSeriesHplViolation).size(), static_cast<size_t>(c.violations));
    }
}

TEST_F(Statistics, ClearPlotsStartsAfreshButKeepsTheUserPosition)
{
    stats.SetUserPosition(52.0, 4.0, 7.0);
    for (int i = 0; i < 8; ++i)
        stats.OnPositionUpdate(100, 100, 52.001 * (1 + i * 1e-6), 4.0, 7.0 + i);
    stats.ClearPlots();
    for (RecordingPlot* plot : {&lat, &lon, &alt, &hor}) {
        EXPECT_TRUE(plot->series.empty());
        EXPECT_GE(plot->clears, 16);
    }
    EXPECT_EQ(stats.UserLatitude(), 52.0);
    EXPECT_EQ(stats.UserLongitude(), 4.0);
    EXPECT_EQ(stats.UserAltitude(), 7.0);
    EXPECT_EQ(stats.HplCm(), -1);
    EXPECT_EQ(stats.HfomCm(), -1);
    EXPECT_EQ(stats.TextValues(), PositionTextValues{});

    stats.OnPositionUpdate(100, 100, 52.5, 4.5, 9.0);
    EXPECT_EQ(lat.Of(kSeriesRaw), (std::vector<RecordingPlot::Point>{{0.0, 52.5}}));
    EXPECT_EQ(stats.LatitudeFit().n, 1.0);
    EXPECT_EQ(stats.LatitudeFit().sumX, 1.0);
    EXPECT_EQ(stats.TextValues().lsfLatitude, 0.0);
    EXPECT_EQ(stats.TextValues().avgLatitude, 52.5);
}

TEST(PositionTextBlock, BeforeTheFirstFixEverythingIsZero)
{
    PositionStatistics s;
    s.SetUserPosition(10.0, 20.0, 0.0);
    EXPECT_EQ(s.TextValues(), PositionTextValues{});
    EXPECT_EQ(FormatPositionValues(s.TextValues()),
              "0.00000\n0.00000\n0.000 m\n\n0.00000\n0.00000\n0.000 m\n\n0.00000\n0.00000\n0.000 m\n\n0\n\n"
              "0.00 m\n0.00 m\n0.00 m\n0.00 m\n0\n");
}

TEST(PositionTextBlock, ValuesAreFormattedLineByLine)
{
    PositionTextValues v;
    v.latitude = 52.3720251;
    v.longitude = -4.9096296;
    v.altitude = 16.0;
    v.lsfLatitude = 52.372;
    v.lsfLongitude = -4.9;
    v.lsfAltitude = 15.9876;
    v.avgLatitude = 1.0;
    v.avgLongitude = 2.0;
    v.avgAltitude = -3.25;
    v.samples = 4000000000u;
    v.hpl = 2.5;
    v.hfom = 1.2;
    v.herr = 3.456;
    v.averageHErr = 0.004;
    v.hplViolations = 17;
    EXPECT_EQ(FormatPositionValues(v),
              "52.37203\n-4.90963\n16.000 m\n\n52.37200\n-4.90000\n15.988 m\n\n1.00000\n2.00000\n-3.250 m\n\n"
              "4000000000\n\n2.50 m\n1.20 m\n3.46 m\n0.00 m\n17\n");
    // The value text has a line for every label line.
    const std::string labels = kPositionLabelText;
    const std::string values = FormatPositionValues(v);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), '\n'), std::count(values.begin(), values.end(), '\n'));
    v.altitude = 1e300;
    EXPECT_GT(FormatPositionValues(v).size(), 300u);
}

TEST(PositionPageLayout, Geometry)
{
    const PositionPageLayout l = ComputePositionPageLayout(1200, 800);
    EXPECT_EQ(l.margin, 9);
    EXPECT_EQ(l.textBox, (PlotRect{9, 9, 400, 791}));
    EXPECT_EQ(l.plotsArea, (PlotRect{409, 9, 1191, 791}));
    EXPECT_EQ(l.plots[0], (PlotRect{409, 9, 1191, 204}));
    EXPECT_EQ(l.plots[1], (PlotRect{409, 204, 1191, 399}));
    EXPECT_EQ(l.plots[2], (PlotRect{409, 399, 1191, 594}));
    EXPECT_EQ(l.plots[3], (PlotRect{409, 594, 1191, 789}));
    EXPECT_EQ(l.textFontPixels, 19);

    struct Case {
        int w, h, margin;
    };
    // No margin below 100,000 pixels of client area.
    const Case cases[] = {{316, 316, 0}, {500, 199, 0}, {500, 200, 1}, {2000, 1500, 30}, {0, 0, 0}};
    for (const Case& c : cases) {
        const PositionPageLayout m = ComputePositionPageLayout(c.w, c.h);
        EXPECT_EQ(m.margin, c.margin) << c.w << "x" << c.h;
        EXPECT_EQ(m.textBox.left, c.margin);
        EXPECT_EQ(m.textBox.right, c.w / 3);
        EXPECT_EQ(m.plotsArea.left, c.w / 3 + c.margin);
    }
}

}  // namespace
