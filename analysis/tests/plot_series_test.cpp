#include <gtest/gtest.h>

#include "analysis/plot_series.h"

namespace {

TEST(PlotSeries, BlocksFillAndTheNextIsAllocatedAtOnce)
{
    const int cases[][2] = {{0, 0}, {1, 1}, {9999, 1}, {10000, 2}, {10001, 2}, {20000, 3}};  // points, blocks
    for (const auto& [points, blocks] : cases) {
        PlotSeries s;
        for (int i = 0; i < points; ++i)
            s.AddPoint(i, -i);
        EXPECT_EQ(s.PointCount(), points);
        EXPECT_EQ(s.BlockCount(), blocks) << points;
    }
}

TEST(PlotSeries, PointsStayInPlaceAndInOrderAcrossBlocks)
{
    PlotSeries s;
    for (int i = 0; i < 10000; ++i)
        s.AddPoint(i, 2.0 * i);
    const PlotDataItem* lastOfFirstBlock = &s.Point(9999);
    for (int i = 10000; i < 25000; ++i)
        s.AddPoint(i, 2.0 * i);
    EXPECT_EQ(&s.Point(9999), lastOfFirstBlock);
    EXPECT_EQ(s.Point(10000).x, 10000.0);  // slot 0 of the second block
    int visited = 0;
    s.ForEachPoint([&](double x, double y) {
        EXPECT_EQ(x, visited);
        EXPECT_EQ(y, 2.0 * visited);
        ++visited;
    });
    EXPECT_EQ(visited, 25000);
}

TEST(PlotSeries, ExtremesAreKeptAsPointsArriveAndForgottenOnClear)
{
    PlotSeries s;
    for (const PlotDataItem& p : {PlotDataItem{5, 1}, {-3, 7}, {2, -4}})
        s.AddPoint(p.x, p.y);
    EXPECT_EQ(s.MinX(), -4);
    EXPECT_EQ(s.MaxX(), 7);
    EXPECT_EQ(s.MinY(), -3);
    EXPECT_EQ(s.MaxY(), 5);

    for (int i = 0; i < 15000; ++i)
        s.AddPoint(i, i);
    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.PointCount(), 0);
    EXPECT_EQ(s.BlockCount(), 0);
    EXPECT_LT(s.AllocatedBytes(), 20000u * sizeof(PlotDataItem));  // one block kept aside
    s.AddPoint(-2.0, 7.0);
    EXPECT_EQ(s.MinX(), -2.0);
    EXPECT_EQ(s.MaxY(), 7.0);
    EXPECT_EQ(s.Point(0).y, 7.0);
}

}  // namespace
