#include <gtest/gtest.h>

#include <cstdio>

#include "analysis/accuracy_page_geometry.h"

namespace {

TEST(AccuracyPageGeometry, NiceCeiling)
{
    const std::pair<double, double> cases[] = {{0, 1}, {0.7, 1}, {1, 1}, {1.01, 2}, {3, 5}, {5, 5}, {7, 10}, {80, 100}, {0.012, 0.02}};
    for (const auto& [value, expected] : cases)
        EXPECT_DOUBLE_EQ(NiceCeiling(value), expected) << value;
}

// Four fixes 3, 4, 10.5 and 30 m east of the truth with HPL 20 m: the cells,
// circles and limit lines land where the scales put them.
TEST(AccuracyPageGeometry, PlotsAtTheirScales)
{
    const GeodeticPosition truth{45.0, 10.0, 100.0};
    AccuracyTracker tracker;
    tracker.SetTruth(truth);
    const double metresPerDegreeEast = 78846.8;  // at 45 deg on WGS-84, (N + h) cos(lat) pi / 180
    for (const double east : {3.0, 4.0, 10.5, 30.0})
        tracker.Add({1, 45.0, 10.0 + east / metresPerDegreeEast, 100.0, 20.0}, 5.0, 1.0);
    const AccuracyPageGeometry g = ComputeAccuracyPageGeometry(1200, 800, tracker, "HFOM");

    // Stanford: 80 cells over 0..80 m (twice the alert limit of 40 m).
    const PixelRect& s = g.stanfordPlot;
    ASSERT_EQ(s.Width() % StanfordGrid::kCells, 0);
    const int cell = s.Width() / StanfordGrid::kCells;
    EXPECT_EQ(g.stanfordRange, 80.0);
    ASSERT_EQ(g.stanfordCells.size(), 4u);
    // HErr 10.47 m on the page's sphere: the eleventh cell across.
    const PixelRect tenMetres{s.left + 10 * cell, s.bottom - 21 * cell, s.left + 11 * cell, s.bottom - 20 * cell};
    EXPECT_EQ(g.stanfordCells[2].rect, tenMetres);
    EXPECT_EQ(g.stanfordCells[2].shade, 1.0);  // every cell holds one fix: all the most
    ASSERT_EQ(g.stanfordLegend.size(), 10u);
    EXPECT_EQ(g.stanfordLegend.back().shade, 1.0);
    EXPECT_EQ(g.alertLimitAcross.from.x, s.left + s.Width() / 2);
    EXPECT_EQ(g.alertLimitUp.from.y, s.bottom - 1 - s.Width() / 2);

    // Scatter: h50 is 7.25 m (rank 1.5 between 4 and 10.5); the range the next
    // nice number above 1.1 x h99.
    EXPECT_EQ(g.scatterHalfRange, 50.0);
    ASSERT_EQ(g.circles.size(), 3u);
    EXPECT_EQ(g.circles[0].label, "h50");
    EXPECT_NEAR(g.circles[0].radius, 7.25 * g.scatterPlot.Width() / 2 / 50.0, 1.0);
    EXPECT_EQ(g.circles[0].centre, (PixelPoint{(g.scatterPlot.left + g.scatterPlot.right) / 2,
                                               (g.scatterPlot.top + g.scatterPlot.bottom) / 2}));
    EXPECT_EQ(g.scatterDots.size(), 4u);

    // The region names carry their counts: 3 normal (3, 4, 10.5 m), 1 MI
    // (30 m is over the HPL of 20 m but under the limit of 40 m).
    auto hasLabel = [&](const std::string& text) {
        return std::any_of(g.labels.begin(), g.labels.end(), [&](const auto& l) { return l.text == text; });
    };
    EXPECT_TRUE(hasLabel("3 (75.0 %)"));
    EXPECT_TRUE(hasLabel("1 (25.0 %)"));
    EXPECT_TRUE(hasLabel("0 (0.0 %)"));
    EXPECT_EQ(g.errorBars.size(), 4u);
    EXPECT_EQ(g.timelineRange, 50.0);
}

TEST(AccuracyPageGeometry, WithoutTruthNoIntegrityAndNothingToPlot)
{
    const AccuracyTracker empty;
    const AccuracyPageGeometry g = ComputeAccuracyPageGeometry(1200, 800, empty, "HFOM");
    EXPECT_TRUE(g.stanfordCells.empty() && g.scatterDots.empty() && g.cdfLine.empty() && g.errorBars.empty());
    EXPECT_TRUE(std::any_of(g.labels.begin(), g.labels.end(),
                            [](const auto& l) { return l.text == "No user position: no integrity"; }));
    // A client too small for anything still gives sound rectangles.
    const AccuracyPageGeometry tiny = ComputeAccuracyPageGeometry(10, 10, empty, "HFOM");
    EXPECT_GE(tiny.stanfordPlot.Width(), 0);
}

// The value beside a card label, or "" when the card has no such line.
std::string CardValue(const AccuracyPageGeometry& g, const std::string& label)
{
    for (size_t i = 0; i + 1 < g.cardLines.size(); ++i)
        if (g.cardLines[i].text == label && g.cardLines[i + 1].at.y == g.cardLines[i].at.y)
            return g.cardLines[i + 1].text;
    return "";
}

// The live card marks the percentiles of the bins as near; with the exact
// report it shows the report's own figures, as the JSON beside it holds them,
// and names the reference with the JSON's word.
TEST(AccuracyPageGeometry, LivePercentilesNearExportedExact)
{
    AccuracyTracker tracker;
    for (int i = 1; i <= 200; ++i)
        tracker.Add({1, 45.0 + i * 1e-7, 10.0, 100.0 + (i % 7), 20.0}, 5.0, 1.0);
    const AccuracyReport exact = tracker.ExactReport();
    const AccuracyPageGeometry live = ComputeAccuracyPageGeometry(1200, 800, tracker, "HFOM");
    const AccuracyPageGeometry exported = ComputeAccuracyPageGeometry(1200, 800, tracker, "HFOM", &exact);

    const auto metres = [](double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.2f", v);
        return std::string(buffer);
    };
    EXPECT_EQ(CardValue(exported, "H 50/68/95/99"), metres(*exact.all.h50) + "  " + metres(*exact.all.h68) + "  "
                                                         + metres(*exact.all.h95) + "  " + metres(*exact.all.h99) + " m");
    EXPECT_EQ(CardValue(exported, "V 50/95"), metres(*exact.all.v50) + "  " + metres(*exact.all.v95) + " m");
    EXPECT_EQ(CardValue(live, "H 50/68/95/99").rfind("\u2248 ", 0), 0u) << CardValue(live, "H 50/68/95/99");
    EXPECT_EQ(CardValue(live, "V 50/95").rfind("\u2248 ", 0), 0u);
    for (const auto& line : exported.cardLines)
        EXPECT_EQ(line.text.find("\u2248"), std::string::npos) << line.text;

    // The mean the errors were measured from, in both.
    ASSERT_TRUE(exact.reference);
    char latLon[64];
    std::snprintf(latLon, sizeof latLon, "%.7f, %.7f", exact.reference->latitude, exact.reference->longitude);
    EXPECT_EQ(CardValue(live, "Reference"), latLon);
    EXPECT_EQ(CardValue(exported, "Reference"), latLon);
    EXPECT_EQ(CardValue(live, "Source"), "mean (of the fixes)");
    tracker.SetTruth(GeodeticPosition{45.0, 10.0, 100.0});
    EXPECT_EQ(CardValue(ComputeAccuracyPageGeometry(1200, 800, tracker, "HFOM"), "Source"), "truth (user position)");
}

}  // namespace
