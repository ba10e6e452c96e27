#include <gtest/gtest.h>

#include <cmath>

#include "displays/scatter_plot_mapping.h"
#include "displays/scatter_plot_position.h"

namespace {

TEST(ComputeMapping, PlotSquareCentredInTheClientArea)
{
    const GeoBounds bounds{639, 635, -639, -635};
    struct {
        int w, h;
        int left, top;
        double xScale;
    } const cases[] = {
        {1000, 600, 200, 0, 600.0 / 1270},
        {600, 1000, 0, 200, 600.0 / 1270},
        {700, 700, 0, 0, 700.0 / 1270},
        {701, 700, 0, 0, 700.0 / 1270},  // integer halves: 350 - 350
        {703, 700, 1, 0, 700.0 / 1270},
    };
    for (const auto& c : cases) {
        const PlotMapping m = ComputeMapping(bounds, c.w, c.h);
        EXPECT_EQ(m.squareLeft, c.left) << c.w << "x" << c.h;
        EXPECT_EQ(m.squareTop, c.top) << c.w << "x" << c.h;
        EXPECT_DOUBLE_EQ(m.xScale, c.xScale);
        EXPECT_TRUE(m.CanMap());
    }
}

TEST(ComputeMapping, OnePixelCoversTheSameMetresBothWays)
{
    // Ten degrees of latitude against the haversine chord of ten degrees of
    // longitude at the southern edge: close to 1 / cos(latitude).
    for (double lat : {0.0, 30.0, 60.0, -45.0, 80.0}) {
        const int32_t south = static_cast<int32_t>(lat * 1e6);
        const GeoBounds bounds{south + 1000, 1000, south, -1000};
        const PlotMapping m = ComputeMapping(bounds, 400, 400);
        EXPECT_DOUBLE_EQ(m.xScale, 400.0 / 2000);
        const double rad = M_PI / 180.0;
        const double aspect = 10 * rad / (2 * std::asin(std::cos(lat * rad) * std::sin(5 * rad)));
        EXPECT_NEAR(m.yScale / m.xScale, aspect, 1e-12) << lat;
        EXPECT_NEAR(m.yScale / m.xScale * std::cos(lat * rad), 1.0, 0.01) << lat;
    }
}

TEST(ComputeMapping, ZeroLongitudeSpanMapsNothingBack)
{
    const PlotMapping m = ComputeMapping(GeoBounds{100, 5, -100, 5}, 800, 600);
    EXPECT_FALSE(m.CanMap());
    EXPECT_EQ(m.xScale, 0.0);
    EXPECT_FALSE(PixelToPosition(m, 400, 300));
    EXPECT_TRUE(RangeRings(m, 18).empty());
}

TEST(MapToPixel, CornersAndRoundTrip)
{
    const GeoBounds bounds{47000640, 8000940, 46999360, 7999060};
    const PlotMapping m = ComputeMapping(bounds, 1000, 600);
    EXPECT_EQ(MapToPixel(m, {47000640, 7999060, 0, 0, 0}), (PixelPoint{200, 0}));
    const PixelPoint se = MapToPixel(m, {46999360, 8000940, 0, 0, 0});
    EXPECT_EQ(se.x, 800);
    EXPECT_NEAR(se.y, 1280 * m.yScale, 1.0);

    const auto centre = PixelToPosition(m, 500, 300);
    ASSERT_TRUE(centre);
    const PixelPoint back = MapToPixel(m, *centre);
    EXPECT_NEAR(back.x, 500, 1);
    EXPECT_NEAR(back.y, 300, 1);
}

TEST(MapToPixel, FarAwayPositionsStayBounded)
{
    const PlotMapping m = ComputeMapping(GeoBounds{640, 635, -640, -635}, 1000, 600);
    const PixelPoint p = MapToPixel(m, {-90000000, 2147483647, 0, 0, 0});
    EXPECT_EQ(p.x, 200 + 1000000);
    EXPECT_EQ(p.y, 1000000);
}

struct RingCase {
    double metres;
    bool drawn;
    bool labelled;
};

std::vector<RangeRing> RingsFor(double latitude, double range, int w, int h, int textHeight)
{
    ScatterPlotModel model;
    model.AddSample(latitude, 10.0, 0.0, 1.0, 1.0);
    while (model.RangeMetres() < range)
        model.ZoomOut();
    return RangeRings(ComputeMapping(model.Bounds(), w, h), textHeight);
}

TEST(RangeRings, DefaultRangeOnA1000By600Page)
{
    // 600 pixels for about 141 m: 4.24 pixels per metre.
    const std::vector<RangeRing> rings = RingsFor(47.0, 100.0, 1000, 600, 18);
    const RingCase expected[] = {
        {1, false, false},   // 8 pixels: too small
        {5, true, true},     // 42
        {10, true, true},    // 84
        {15, true, true},    {25, true, true}, {50, true, true},
        {100, true, true},   // 848: starts 76 pixels in from the left, 124 above the top
        {500, false, false}, // starts about 1800 pixels out
        {1000, false, false}, {2500, false, false}, {5000, false, false}, {10000, false, false},
    };
    ASSERT_EQ(rings.size(), std::size(expected));
    for (std::size_t i = 0; i < rings.size(); ++i) {
        const RangeRing& ring = rings[i];
        EXPECT_EQ(ring.metres, expected[i].metres);
        EXPECT_EQ(ring.drawn, expected[i].drawn) << ring.metres;
        EXPECT_EQ(ring.labelled, expected[i].labelled) << ring.metres;
        EXPECT_NEAR(ring.diameter, 2 * ring.metres * 600 / (100 * std::sqrt(2.0)), 0.01 * ring.diameter + 2)
            << ring.metres;
        EXPECT_EQ(ring.box.left, 500 - ring.diameter / 2);
        EXPECT_EQ(ring.box.top, 300 - ring.diameter / 2);
        EXPECT_EQ(ring.box.Width(), ring.diameter);
        EXPECT_EQ(ring.box.Height(), ring.diameter);
    }
    EXPECT_EQ(rings[0].label, "1m");
    EXPECT_EQ(rings[11].label, "10000m");
}

TEST(RangeRings, LabelNeedsMoreThanTwiceTheTextHeight)
{
    const int fiveMetres = RingsFor(47.0, 100.0, 1000, 600, 18)[1].diameter;
    ASSERT_GT(fiveMetres, 10);
    const RangeRing exact = RingsFor(47.0, 100.0, 1000, 600, fiveMetres / 2)[1];
    EXPECT_TRUE(exact.drawn);
    EXPECT_FALSE(exact.labelled);
    EXPECT_TRUE(RingsFor(47.0, 100.0, 1000, 600, fiveMetres / 2 - 1)[1].labelled);
}

TEST(RangeRings, BoxesStartingFarAboveThePageAreNotDrawn)
{
    // At 2500 m, 0.17 pixels per metre: the 5000 m ring is about 1697 across,
    // so its box starts about 548 above the page but only 348 left of it.
    const std::vector<RangeRing> rings = RingsFor(0.0, 2500.0, 1000, 600, 18);
    ASSERT_EQ(rings.size(), 12u);
    EXPECT_FALSE(rings[2].drawn) << "10 m: 3 pixels";
    EXPECT_TRUE(rings[5].drawn) << "50 m: 17 pixels";
    EXPECT_FALSE(rings[5].labelled) << "17 is not above 36";
    EXPECT_TRUE(rings[7].labelled) << "500 m: 170 pixels";
    EXPECT_TRUE(rings[9].drawn) << "2500 m";
    EXPECT_FALSE(rings[10].drawn);
    EXPECT_LE(rings[10].box.top, -500);
    EXPECT_GT(rings[10].box.left, -500);
}

TEST(RangeRings, BoxesStartingFarLeftOfThePageAreNotDrawn)
{
    const std::vector<RangeRing> rings = RingsFor(0.0, 2500.0, 600, 1000, 18);
    ASSERT_EQ(rings.size(), 12u);
    EXPECT_TRUE(rings[9].drawn);
    EXPECT_FALSE(rings[10].drawn);
    EXPECT_GT(rings[10].box.top, -500);
    EXPECT_LE(rings[10].box.left, -500);
}

TEST(RangeRings, PoleCentreDoesNotFault)
{
    ScatterPlotModel model;
    model.AddSample(90.0, 0.0, 0.0, 1.0, 1.0);
    const PlotMapping m = ComputeMapping(model.Bounds(), 800, 600);
    EXPECT_TRUE(std::isfinite(m.xScale));
    EXPECT_TRUE(std::isfinite(m.yScale));
    for (const RangeRing& ring : RangeRings(m, 18))
        EXPECT_LE(std::abs(ring.box.left), 2000000);
}

TEST(ScatterPlotStatusText, ErrorAndCount)
{
    EXPECT_EQ(ScatterPlotStatusText({}, {}, 0), "Horiz Error = 0.00m\nSamples = 0\n");
    // 0.001 degree of latitude on the haversine sphere: 111.226 m.
    EXPECT_EQ(ScatterPlotStatusText({}, {1000, 0, 0, 0, 0}, 86401), "Horiz Error = 111.23m\nSamples = 86401\n");
}

TEST(ZoomButtons, RectanglesAndHits)
{
    EXPECT_EQ(ZoomInButtonRect(1000), (PixelRect{955, 3, 995, 43}));
    EXPECT_EQ(ZoomOutButtonRect(1000), (PixelRect{955, 63, 995, 103}));
    struct {
        int x, y, command;
    } const cases[] = {
        {955, 3, kCmdZoomIn},  {994, 42, kCmdZoomIn},  {995, 20, 0},  {954, 20, 0}, {960, 2, 0},
        {960, 43, 0},              {960, 50, 0},               {960, 63, kCmdZoomOut},
        {994, 102, kCmdZoomOut}, {960, 103, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZoomButtonAt(1000, c.x, c.y), c.command) << c.x << "," << c.y;
}

TEST(SampleShapes, SquareAndCircleBoxes)
{
    EXPECT_EQ(SampleSquare({100, 50}), (PixelRect{99, 49, 102, 52}));
    EXPECT_EQ(MarkerCircle({100, 50}), (PixelRect{90, 40, 111, 61}));
}

TEST(DestinationPoint, MicroDegreesOfTheGeodesicPoint)
{
    const ScatterPlotPosition origin{0, 0, 1234, 56, 78};
    const auto northWest = DestinationPoint(origin, 315.0, 100.0);
    ASSERT_TRUE(northWest);
    // GeodSolve: 0.000639485789907 -0.000635204829071
    EXPECT_EQ(*northWest, (ScatterPlotPosition{639, -635, 0, 0, 0}));
    const auto southEast = DestinationPoint(origin, 135.0, 100.0);
    ASSERT_TRUE(southEast);
    EXPECT_EQ(*southEast, (ScatterPlotPosition{-639, 635, 0, 0, 0}));
}

}  // namespace
