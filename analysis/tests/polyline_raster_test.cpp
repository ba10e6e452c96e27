#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "analysis/column_merger.h"
#include "analysis/polyline_raster.h"

namespace {

struct Vertex {
    int vx, vy;
    Vertex(int x, int y) : vx(x), vy(y) {}
    int x() const { return vx; }
    int y() const { return vy; }
    bool operator==(const Vertex&) const = default;
};

using Pixels = std::set<std::pair<int, int>>;

Pixels Rasterize(const std::vector<Vertex>& v, PlotRect clip = {-100, -100, 100, 100})
{
    Pixels out;
    RasterizePolyline(v.data(), v.size(), clip, [&](int x, int y) { out.insert({x, y}); });
    return out;
}

std::vector<Vertex> Merge(const std::vector<Vertex>& in)
{
    std::vector<Vertex> out;
    ColumnMerger<Vertex> merger(out);
    for (const Vertex& v : in)
        merger.Add(v.x(), v.y());
    merger.Finish();
    return out;
}

TEST(PolylineRaster, SegmentsCoverTheirStartAndStopBeforeTheirEnd)
{
    struct Case {
        const char* name;
        std::vector<Vertex> vertices;
        Pixels pixels;
    };
    const Case cases[] = {
        {"one vertex draws nothing", {{1, 1}}, {}},
        {"a point repeated", {{1, 1}, {1, 1}}, {{1, 1}}},
        {"down and back up: the turning row is covered", {{0, 0}, {0, 3}, {0, 1}}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {"across and down", {{0, 0}, {2, 0}, {2, 1}}, {{0, 0}, {1, 0}, {2, 0}, {2, 1}}},
        {"diagonal", {{0, 0}, {-2, 2}}, {{0, 0}, {-1, 1}, {-2, 2}}},
        {"shallow, halves round up", {{0, 0}, {4, 1}}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
        {"steep", {{0, 0}, {1, 4}}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rasterize(c.vertices), c.pixels) << c.name;
}

TEST(PolylineRaster, ClippedLinesKeepTheirPixelsAndFarVerticesCostNothing)
{
    const PlotRect clip{0, 0, 10, 10};
    Pixels expected;
    for (const auto& p : Rasterize({{-50, 30}, {60, -40}}, {-1000, -1000, 1000, 1000}))
        if (p.first >= 0 && p.first < 10 && p.second >= 0 && p.second < 10)
            expected.insert(p);
    EXPECT_EQ(Rasterize({{-50, 30}, {60, -40}}, clip), expected);
    EXPECT_TRUE(Rasterize({{10, 0}, {10, 9}}, clip).empty());  // the right edge is outside
    int calls = 0;
    const std::vector<Vertex> far{{5, 5}, {6, -kFarPixel}};
    RasterizePolyline(far.data(), far.size(), clip, [&](int, int) { ++calls; });
    EXPECT_EQ(calls, 6);  // only the rows inside the clip are walked
}

TEST(ColumnMerger, KeepsFirstLowestHighestAndLastOfEachRunInOrder)
{
    struct Case {
        std::vector<Vertex> in, out;
    };
    const Case cases[] = {
        {{{1, 5}, {2, 6}, {3, 7}}, {{1, 5}, {2, 6}, {3, 7}}},
        {{{1, 5}, {1, 9}, {1, 6}, {1, 2}, {1, 4}, {2, 0}}, {{1, 5}, {1, 9}, {1, 2}, {1, 4}, {2, 0}}},
        {{{1, 1}, {1, 5}, {1, 3}, {1, 9}}, {{1, 1}, {1, 9}}},
        {{{1, 5}, {1, 5}, {1, 5}}, {{1, 5}, {1, 5}}},
        {{{1, 5}, {1, 7}, {2, 0}, {1, 3}, {1, 1}, {1, 2}}, {{1, 5}, {1, 7}, {2, 0}, {1, 3}, {1, 1}, {1, 2}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Merge(c.in), c.out);
}

TEST(ColumnMerger, MergedRunsCoverTheSamePixels)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        std::vector<Vertex> all;
        int x = 0, y = 50;
        const int n = 1 + static_cast<int>(rng() % 400);
        for (int i = 0; i < n; ++i) {
            if (rng() % 4 == 0)
                x += static_cast<int>(rng() % 3) - (round % 2);  // odd rounds also step back
            y += static_cast<int>(rng() % 9) - 4;
            all.emplace_back(x, y);
        }
        const std::vector<Vertex> merged = Merge(all);
        ASSERT_EQ(Rasterize(merged, {-30, 0, 30, 100}), Rasterize(all, {-30, 0, 30, 100})) << "round " << round;
        if (round % 2 == 0) {
            EXPECT_LE(merged.size(), 4u * static_cast<size_t>(x + 1));
        }
    }
}

}  // namespace
