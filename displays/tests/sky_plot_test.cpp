#include <gtest/gtest.h>

#include <cmath>

#include "displays/sky_plot_geometry.h"
#include "displays/sky_plot_history.h"
#include "displays/tests/fake_measure.h"

namespace {

// The sky plot rectangle of a 1000 x 600 front panel.
const PixelRect kPanelSkyRect{512, 200, 994, 594};

SkySatellites OneSatellite(SkySatellite s)
{
    SkySatellites slots{};
    slots[0] = s;
    return slots;
}

TEST(FitSkyPlotSquare, CentresTheShorterSide)
{
    struct {
        PixelRect rect;
        PixelRect square;
        double centreX, centreY;
    } const cases[] = {
        {kPanelSkyRect, {556, 200, 950, 594}, 753.0, 397.0},  // wider: centred horizontally
        {{0, 0, 300, 500}, {0, 100, 300, 400}, 150.0, 250.0},  // taller: centred vertically
        {{10, 20, 110, 120}, {10, 20, 110, 120}, 60.0, 70.0},  // already square
        {{0, 0, 101, 50}, {25, 0, 76, 50}, 50.5, 25.0},        // integer halves: 50 - 25 per side
    };
    for (const auto& c : cases) {
        const SkyPlotSquare plot = FitSkyPlotSquare(c.rect);
        EXPECT_EQ(plot.square, c.square);
        EXPECT_DOUBLE_EQ(plot.centreX, c.centreX);
        EXPECT_DOUBLE_EQ(plot.centreY, c.centreY);
    }
}

TEST(AzElToPoint, NorthUpClockwiseZenithAtTheCentre)
{
    const SkyPlotSquare plot = FitSkyPlotSquare(kPanelSkyRect);
    struct {
        int az, el;
        PixelPoint p;
    } const cases[] = {
        {0, 90, {753, 397}},   {0, 0, {753, 200}},    {90, 0, {950, 397}},   {180, 0, {753, 594}},
        {270, 0, {556, 397}},  {45, 45, {822, 328}},  {300, 30, {640, 332}}, {123, 17, {887, 484}},
        {0, -10, {753, 179}},  // below the horizon: outside the disc
        {0, 2, {753, 205}},    {90, 2, {945, 397}},   {180, 2, {753, 589}},  {270, 2, {561, 397}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AzElToPoint(plot, c.az, c.el), c.p) << c.az << "/" << c.el;
}

TEST(SkyPoint, TruncatesTowardZeroAndSurvivesNonsense)
{
    const SkyPlotSquare plot = FitSkyPlotSquare(kPanelSkyRect);
    EXPECT_EQ(SkyPoint(plot, 45.9, 45.9), AzElToPoint(plot, 45, 45));
    EXPECT_EQ(SkyPoint(plot, -0.9, 0.5), AzElToPoint(plot, 0, 0));
    const PixelPoint far = SkyPoint(plot, 0.0, -1e300);
    EXPECT_EQ(far.x, 753);
    EXPECT_LE(far.y, -900000);
    EXPECT_EQ(SkyPoint(plot, std::nan(""), std::nan("")), AzElToPoint(plot, 0, 0));
}

TEST(SkyPlotGeometry, RingCrossLinesAndFont)
{
    const SkyPlotSquare plot = FitSkyPlotSquare(kPanelSkyRect);
    EXPECT_EQ(FortyFiveDegreeRing(plot), (PixelRect{655, 299, 851, 495}));  // radius trunc(197 / 90 * 45) = 98
    const auto lines = SkyPlotCrossLines(plot);
    EXPECT_EQ(lines[0], (SkyPlotLine{{753, 200}, {753, 594}}));
    EXPECT_EQ(lines[1], (SkyPlotLine{{556, 397}, {950, 397}}));
    EXPECT_EQ(SkyPlotFontHeight(plot), 20);  // 0.05 * 394 + 0.5
}

TEST(CompassLetters, EachBoxOnTheInnerSideOfItsPoint)
{
    const SkyPlotSquare plot = FitSkyPlotSquare(kPanelSkyRect);
    const auto letters = CompassLetters(plot, FakeMeasure);  // one letter: 7 x 14
    EXPECT_EQ(letters[0], (CompassLetter{'N', {750, 205, 756, 219}}));
    EXPECT_EQ(letters[1], (CompassLetter{'E', {938, 390, 945, 404}}));
    EXPECT_EQ(letters[2], (CompassLetter{'S', {750, 575, 756, 589}}));
    EXPECT_EQ(letters[3], (CompassLetter{'W', {561, 390, 568, 404}}));
}

TEST(PlaceSatelliteSymbol, PictureOrDotAndTheLabelBelow)
{
    const SkyPlotSquare plot = FitSkyPlotSquare(kPanelSkyRect);
    const SkySatellite sat{12, 45.0, 45.0, 1, 40.0};  // at (822, 328)

    const SatelliteSymbol picture = PlaceSatelliteSymbol(plot, sat, {15, 15}, FakeMeasure);
    EXPECT_TRUE(picture.picture);
    EXPECT_TRUE(picture.used);
    EXPECT_EQ(picture.symbol, (PixelRect{815, 321, 830, 336}));
    EXPECT_EQ(picture.text, "12");
    EXPECT_EQ(picture.label, (PixelRect{815, 335, 829, 349}));  // height/2 = 7 below the point

    SkySatellite unused = sat;
    unused.used = 0;
    const SatelliteSymbol dot = PlaceSatelliteSymbol(plot, unused, {0, 0}, FakeMeasure);
    EXPECT_FALSE(dot.picture);
    EXPECT_FALSE(dot.used);
    EXPECT_EQ(dot.symbol, (PixelRect{817, 323, 827, 333}));
    EXPECT_EQ(dot.label, (PixelRect{815, 338, 829, 352}));  // 10 below the point

    SkySatellite odd = sat;
    odd.used = 2;  // only 1 counts as used
    EXPECT_FALSE(PlaceSatelliteSymbol(plot, odd, {15, 15}, FakeMeasure).used);
}

struct MaskCase {
    const char* what;
    SkySatellite satellite;
    bool lowers;
};

TEST(SkyPlotHistory, MaskRules)
{
    const MaskCase cases[] = {
        {"used, strong", {5, 120.7, 20.0, 1, 15.0}, true},
        {"not used", {5, 120.7, 20.0, 0, 40.0}, false},
        {"used = 2", {5, 120.7, 20.0, 2, 40.0}, false},
        {"weak signal", {5, 120.7, 20.0, 1, 14.9}, false},
        {"empty slot", {0, 120.7, 20.0, 1, 40.0}, false},
        {"azimuth 360", {5, 360.0, 20.0, 1, 40.0}, false},
        {"azimuth -1", {5, -1.0, 20.0, 1, 40.0}, false},
        {"NaN azimuth", {5, std::nan(""), 20.0, 1, 40.0}, false},
        {"NaN signal", {5, 120.7, 20.0, 1, std::nan("")}, false},
    };
    for (const MaskCase& c : cases) {
        SkyPlotHistory history;
        history.UpdateSatellites(OneSatellite(c.satellite));
        int lowered = 0;
        for (double v : history.Mask())
            lowered += v != kMaskNothingRecorded;
        EXPECT_EQ(lowered, c.lowers ? 1 : 0) << c.what;
        if (c.lowers) {
            EXPECT_EQ(history.Mask()[120], 20.0) << c.what;
        }
    }
}

TEST(SkyPlotHistory, MaskOnlyEverDecreasesUntilCleared)
{
    SkyPlotHistory history;
    // -0.5 truncates to azimuth 0.
    history.UpdateSatellites(OneSatellite({3, -0.5, 30.0, 1, 30.0}));
    history.UpdateSatellites(OneSatellite({3, 0.2, 40.0, 1, 30.0}));
    EXPECT_EQ(history.Mask()[0], 30.0);
    history.UpdateSatellites(OneSatellite({3, 0.9, 12.5, 1, 30.0}));
    EXPECT_EQ(history.Mask()[0], 12.5);
    history.ClearMask();
    for (double v : history.Mask())
        EXPECT_EQ(v, 90.0);
}

TEST(MaskPolygon, OnlyRecordedEntriesInAzimuthOrder)
{
    const SkyPlotSquare plot = FitSkyPlotSquare(kPanelSkyRect);
    AzElMask mask;
    mask.fill(90.0);
    EXPECT_TRUE(MaskPolygon(plot, mask).empty());
    mask[300] = 30.9;
    mask[45] = 45.0;
    mask[90] = 89.99;
    const std::vector<PixelPoint> expected = {AzElToPoint(plot, 45, 45), AzElToPoint(plot, 90, 89),
                                              AzElToPoint(plot, 300, 30)};
    EXPECT_EQ(MaskPolygon(plot, mask), expected);
}

TEST(SkyPlotHistory, StillSatellitesAddNoTrail)
{
    SkyPlotHistory history;
    const SkySatellites slots = OneSatellite({7, 100.0, 30.0, 1, 40.0});
    history.UpdateSatellites(slots);
    EXPECT_EQ(history.TrailCount(), 1u);
    history.UpdateSatellites(slots);
    history.UpdateSatellites(slots);
    EXPECT_EQ(history.TrailCount(), 1u);

    SkySatellites other = slots;
    other[0].snr = 10.0;  // only position counts
    other[0].prn = 8;
    history.UpdateSatellites(other);
    EXPECT_EQ(history.TrailCount(), 1u);
}

TEST(SkyPlotHistory, EmptiedSlotAddsAPointOnTheNorthHorizon)
{
    SkyPlotHistory history;
    history.UpdateSatellites(OneSatellite({7, 100.0, 30.0, 1, 40.0}));
    history.UpdateSatellites(SkySatellites{});
    const std::vector<TrailPoint> expected = {{100.0, 30.0}, {0.0, 0.0}};
    EXPECT_EQ(history.TrailPoints(), expected);
}

TEST(SkyPlotHistory, TrailRingKeeps9999NewestPoints)
{
    SkyPlotHistory history;
    for (int i = 1; i <= 10000; ++i)
        history.UpdateSatellites(OneSatellite({1, static_cast<double>(i), 10.0, 1, 40.0}));
    EXPECT_EQ(history.TrailCount(), 9999u);
    std::vector<TrailPoint> points = history.TrailPoints();
    EXPECT_EQ(points.front().azimuth, 2.0);
    EXPECT_EQ(points.back().azimuth, 10000.0);

    history.UpdateSatellites(OneSatellite({1, 10001.0, 10.0, 1, 40.0}));
    EXPECT_EQ(history.TrailCount(), 9999u);
    points = history.TrailPoints();
    EXPECT_EQ(points.front().azimuth, 3.0);
    EXPECT_EQ(points.back().azimuth, 10001.0);
    for (std::size_t i = 1; i < points.size(); ++i)
        ASSERT_EQ(points[i].azimuth, points[i - 1].azimuth + 1.0) << i;
}

TEST(SkyPlotHistory, ClearTrailsKeepsLastPositions)
{
    SkyPlotHistory history;
    const SkySatellites slots = OneSatellite({7, 100.0, 30.0, 1, 40.0});
    history.UpdateSatellites(slots);
    history.ClearTrails();
    EXPECT_EQ(history.TrailCount(), 0u);
    history.UpdateSatellites(slots);
    EXPECT_EQ(history.TrailCount(), 0u);
    EXPECT_EQ(history.TrailHead(), 0u);
    EXPECT_EQ(history.TrailTail(), 0u);
}

}  // namespace
