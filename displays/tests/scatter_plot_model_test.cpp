#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "displays/scatter_plot_model.h"

namespace {

TEST(MakeScatterPlotPosition, TruncatesEachField)
{
    struct {
        double lat, lon, alt, hdop, vdop;
        ScatterPlotPosition p;
    } const cases[] = {
        {47.1234567, 8.7654321, 512.3456, 1.239, 2.5, {47123456, 8765432, 512345, 123, 250}},
        {-33.9999999, -151.0000009, -12.0009, 0.999, 0.0, {-33999999, -151000000, -12000, 99, 0}},
        {1e10, -1e10, 1e300, 3e7, -3e7, {2147483647, -2147483647 - 1, 2147483647, 2147483647, -2147483647 - 1}},
        {std::nan(""), std::nan(""), std::nan(""), std::nan(""), std::nan(""), {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeScatterPlotPosition(c.lat, c.lon, c.alt, c.hdop, c.vdop), c.p) << c.lat;
}

TEST(ScatterPlotModel, Defaults)
{
    const ScatterPlotModel model;
    EXPECT_TRUE(model.Samples().empty());
    EXPECT_EQ(model.Center(), ScatterPlotPosition{});
    EXPECT_EQ(model.RangeMetres(), 100.0);
    EXPECT_EQ(model.CenterMode(), CENTER_NEXT_SAMPLE);
    EXPECT_EQ(model.RecenterPending(), 1);
    EXPECT_EQ(model.DopThresholdX100(), 300);
    EXPECT_EQ(model.Bounds(), (GeoBounds{639, 635, -639, -635}));
}

TEST(ScatterPlotModel, NextSampleModeFixesTheFirstSampleAsCentre)
{
    ScatterPlotModel model;
    model.AddSample(47.0, 8.0, 400.0, 1.0, 1.5);
    model.AddSample(47.001, 8.001, 401.0, 1.0, 1.5);
    EXPECT_EQ(model.Center(), (ScatterPlotPosition{47000000, 8000000, 400000, 100, 150}));
    EXPECT_EQ(model.LastSample().latE6, 47001000);
    EXPECT_EQ(model.RecenterPending(), 0);
    EXPECT_GT(model.Bounds().north, 47000000);
    EXPECT_LT(model.Bounds().south, 47000000);

    model.SetCenterMode(CENTER_NEXT_SAMPLE);
    model.AddSample(47.002, 8.002, 402.0, 1.0, 1.5);
    EXPECT_EQ(model.Center().latE6, 47002000);
    model.AddSample(47.003, 8.003, 403.0, 1.0, 1.5);
    EXPECT_EQ(model.Center().latE6, 47002000);
}

TEST(ScatterPlotModel, UserModeCentresOnTheUserPosition)
{
    ScatterPlotModel model;
    model.SetCenterMode(CENTER_USER);
    model.AddSample(47.0, 8.0, 400.0, 1.0, 1.5);
    EXPECT_EQ(model.Center(), ScatterPlotPosition{}) << "no user position stored: 0, 0";
    model.SetUserPosition(46.5, 7.5, 550.25);
    EXPECT_EQ(model.Center(), ScatterPlotPosition{}) << "only the next sample recentres";
    model.AddSample(47.0, 8.0, 400.0, 1.0, 1.5);
    EXPECT_EQ(model.Center(), (ScatterPlotPosition{46500000, 7500000, 550250, 0, 0}));
}

TEST(ScatterPlotModel, AverageModeUsesTheAverageAsLastSupplied)
{
    ScatterPlotModel model;
    model.SetCenterMode(CENTER_AVERAGE);
    model.SetAveragePosition(10.5, 20.25);
    model.AddSample(11.0, 21.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(model.Center(), (ScatterPlotPosition{10500000, 20250000, 0, 0, 0}));
    model.SetAveragePosition(10.75, 20.5);
    EXPECT_EQ(model.Center().latE6, 10500000);
    model.AddSample(11.0, 21.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(model.Center().latE6, 10750000);
}

TEST(ScatterPlotModel, The86402ndSampleRemovesTheOldest)
{
    ScatterPlotModel model;
    for (int i = 0; i < 86401; ++i)
        model.AddSample(i / 1000000.0, 0.0, 0.0, 1.0, 1.0);
    ASSERT_EQ(model.Samples().size(), 86401u);
    EXPECT_EQ(model.Samples().front().latE6, 0);

    model.AddSample(0.5, 0.0, 0.0, 1.0, 1.0);
    ASSERT_EQ(model.Samples().size(), 86401u);
    EXPECT_EQ(model.Samples().front().latE6, 1);
    EXPECT_EQ(model.Samples().back().latE6, 500000);
    EXPECT_EQ(model.LastSample().latE6, 500000);
}

TEST(ScatterPlotModel, GoodAtTheThresholdBadAbove)
{
    ScatterPlotModel model;
    model.SetDopThreshold(250);
    EXPECT_TRUE(model.IsGood(MakeScatterPlotPosition(0, 0, 0, 2.5, 0)));
    EXPECT_TRUE(model.IsGood(MakeScatterPlotPosition(0, 0, 0, 2.499, 0)));
    EXPECT_TRUE(model.IsGood(MakeScatterPlotPosition(0, 0, 0, 2.51, 0))) << "2.51 x 100 truncates to 250";
    EXPECT_FALSE(model.IsGood(MakeScatterPlotPosition(0, 0, 0, 2.52, 0)));
}

TEST(ScatterPlotModel, ClearSamplesKeepsCentreAndMode)
{
    ScatterPlotModel model;
    model.SetCenterMode(CENTER_AVERAGE);
    model.SetAveragePosition(12.0, 34.0);
    model.AddSample(12.1, 34.1, 0.0, 1.0, 1.0);
    model.ZoomOut();
    const GeoBounds before = model.Bounds();
    model.ClearSamples();
    EXPECT_TRUE(model.Samples().empty());
    EXPECT_EQ(model.Center().latE6, 12000000);
    EXPECT_EQ(model.Bounds(), before);
    EXPECT_EQ(model.CenterMode(), CENTER_AVERAGE);
    // Latitude and altitude of the average are reset, the longitude stays.
    EXPECT_EQ(model.AveragePosition(), (ScatterPlotPosition{0, 34000000, 0, 0, 0}));
}

std::vector<double> ZoomSequence(bool zoomIn, int clicks)
{
    ScatterPlotModel model;
    std::vector<double> ranges;
    for (int i = 0; i < clicks; ++i) {
        if (zoomIn)
            model.ZoomIn();
        else
            model.ZoomOut();
        ranges.push_back(model.RangeMetres());
    }
    return ranges;
}

TEST(ScatterPlotModel, ZoomOutFrom100)
{
    const std::vector<double> expected = {120,  140,  160,  180,  200,  300,  400,  500,  600,  700,  800,
                                          900,  1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500, 5000, 7000,
                                          9000, 11000, 21000, 31000};
    EXPECT_EQ(ZoomSequence(false, static_cast<int>(expected.size())), expected);
}

TEST(ScatterPlotModel, ZoomInFrom100StopsAt5)
{
    const std::vector<double> expected = {80, 60, 40, 20, 15, 10, 5, 5, 5};
    EXPECT_EQ(ZoomSequence(true, static_cast<int>(expected.size())), expected);
}

TEST(ScatterPlotModel, ZoomRescalesTheBoundsAroundTheCentre)
{
    ScatterPlotModel model;
    model.AddSample(45.0, 9.0, 0.0, 1.0, 1.0);
    const GeoBounds at100 = model.Bounds();
    model.ZoomIn();  // 80 m
    const GeoBounds at80 = model.Bounds();
    EXPECT_NEAR(at80.north - 45000000, (at100.north - 45000000) * 0.8, 2.0);
    EXPECT_NEAR(9000000 - at80.west, (9000000 - at100.west) * 0.8, 2.0);
}

TEST(ZoomStep, Thresholds)
{
    struct {
        double range, step;
    } const cases[] = {{0, 5},        {39.9, 5},     {40, 20},       {199, 20},     {200, 100},
                       {999, 100},    {1000, 500},   {4999, 500},    {5000, 2000},  {9999, 2000},
                       {10000, 10000}, {-250, 100},  {1e9, 10000}};
    for (const auto& c : cases)
        EXPECT_EQ(ZoomStep(c.range), c.step) << c.range;
}

}  // namespace
