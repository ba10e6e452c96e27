#include <gtest/gtest.h>

#include <vector>

#include "analysis/plot_series.h"

namespace {

TEST(PlotSeries, BlocksFillAndTheNextIsAllocatedAtOnce)
{
    struct Case {
        int points;
        int blocks;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {9999, 1}, {10000, 2}, {10001, 2}, {19999, 2}, {20000, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points);
        PlotSeries s;
        for (int i = 0; i < c.points; ++i)
            s.AddPoint(i, -i);
        EXPECT_EQ(s.PointCount(), c.points);
        EXPECT_EQ(s.BlockCount(), c.blocks);
        EXPECT_EQ(s.IsEmpty(), c.points == 0);
        EXPECT_GE(s.AllocatedBytes(), static_cast<size_t>(c.blocks) * 10000 * 16);
    }
}

TEST(PlotSeries, PointsAcrossABlockBoundaryStayInOrderAndInPlace)
{
    PlotSeries s;
    for (int i = 0; i < 10000; ++i)
        s.AddPoint(i, 2.0 * i);
    const CVPlotDataItem* lastOfFirstBlock = &s.Point(9999);
    s.AddPoint(10000, 20000.0);
    for (int i = 10001; i < 25000; ++i)
        s.AddPoint(i, 2.0 * i);
    // Stored points never move while the series grows.
    EXPECT_EQ(&s.Point(9999), lastOfFirstBlock);
    EXPECT_EQ(s.Point(10000).x, 10000.0);
    EXPECT_EQ(s.Point(10000).y, 20000.0);

    std::vector<double> xs;
    bool ordered = true;
    s.ForEachPoint([&](double x, double y) {
        ordered = ordered && y == 2.0 * x && x == static_cast<double>(xs.size());
        xs.push_back(x);
    });
    EXPECT_TRUE(ordered);
    EXPECT_EQ(xs.size(), 25000u);
}

TEST(PlotSeries, ExtremesAreKeptAsPointsArrive)
{
    struct Case {
        std::vector<CVPlotDataItem> points;  // {y, x}
        double minX, maxX, minY, maxY;
    };
    const Case cases[] = {
        {{{5, 1}}, 1, 1, 5, 5},
        {{{5, 1}, {-3, 7}, {2, -4}}, -4, 7, -3, 5},
        {{{-1e300, 0}, {1e300, 0}}, 0, 0, -1e300, 1e300},
    };
    for (const Case& c : cases) {
        PlotSeries s;
        for (const CVPlotDataItem& p : c.points)
            s.AddPoint(p.x, p.y);
        EXPECT_EQ(s.MinX(), c.minX);
        EXPECT_EQ(s.MaxX(), c.maxX);
        EXPECT_EQ(s.MinY(), c.minY);
        EXPECT_EQ(s.MaxY(), c.maxY);
    }
}

TEST(PlotSeries, ClearFreesEverythingAndStartsFresh)
{
    PlotSeries s;
    for (int i = 0; i < 15000; ++i)
        s.AddPoint(i, i);
    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.PointCount(), 0);
    EXPECT_EQ(s.BlockCount(), 0);
    // One block is kept aside for the next point, the rest is freed.
    EXPECT_GE(s.AllocatedBytes(), 10000u * sizeof(CVPlotDataItem));
    EXPECT_LT(s.AllocatedBytes(), 20000u * sizeof(CVPlotDataItem));
    int visited = 0;
    s.ForEachPoint([&](double, double) { ++visited; });
    EXPECT_EQ(visited, 0);

    // The old extremes do not survive into the new points.
    s.AddPoint(-2.0, 7.0);
    EXPECT_EQ(s.MinX(), -2.0);
    EXPECT_EQ(s.MaxX(), -2.0);
    EXPECT_EQ(s.MinY(), 7.0);
    EXPECT_EQ(s.MaxY(), 7.0);
    EXPECT_EQ(s.Point(0).y, 7.0);
}

}  // namespace
