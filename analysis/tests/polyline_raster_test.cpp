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
};

using Pixels = std::set<std::pair<int, int>>;

Pixels Rasterize(const std::vector<Vertex>& v, PlotRect clip = {-100, -100, 100, 100})
{
    Pixels out;
    RasterizePolyline(v.data(), v.size(), clip, [&](int x, int y) { out.insert({x, y}); });
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
        {"down", {{0, 0}, {0, 3}}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {"down and back up: the turning row is covered",
         {{0, 0}, {0, 3}, {0, 1}},
         {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {"across", {{0, 0}, {3, 0}, {3, 2}}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2}}},
        {"diagonal", {{0, 0}, {-2, 2}}, {{0, 0}, {-1, 1}, {-2, 2}}},
        {"shallow, rounding half up", {{0, 0}, {4, 1}}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}},
        {"steep", {{0, 0}, {1, 4}}, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Rasterize(c.vertices), c.pixels) << c.name;
}

TEST(PolylineRaster, OnlyPixelsInsideTheClipAndFarVerticesCostNothing)
{
    const PlotRect clip{0, 0, 10, 10};
    EXPECT_EQ(Rasterize({{5, -3}, {5, 12}}, clip),
              (Pixels{{5, 0}, {5, 1}, {5, 2}, {5, 3}, {5, 4}, {5, 5}, {5, 6}, {5, 7}, {5, 8}, {5, 9}}));
    EXPECT_TRUE(Rasterize({{10, 0}, {10, 9}}, clip).empty());  // the right edge is outside
    // A line to a vertex a million rows away walks only the clip's rows.
    int calls = 0;
    const std::vector<Vertex> far{{5, 5}, {6, -kFarPixel}};
    RasterizePolyline(far.data(), far.size(), clip, [&](int, int) { ++calls; });
    EXPECT_EQ(calls, 6);
    // The same line clipped agrees with the unclipped one inside the clip.
    Pixels whole = Rasterize({{-50, 30}, {60, -40}}, {-1000, -1000, 1000, 1000});
    Pixels clipped = Rasterize({{-50, 30}, {60, -40}}, clip);
    Pixels expected;
    for (const auto& p : whole)
        if (p.first >= 0 && p.first < 10 && p.second >= 0 && p.second < 10)
            expected.insert(p);
    EXPECT_EQ(clipped, expected);
}

TEST(PolylineRaster, MergedColumnRunsCoverTheSamePixels)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        std::vector<Vertex> all;
        int x = 0, y = 50;
        const int n = 1 + static_cast<int>(rng() % 400);
        for (int i = 0; i < n; ++i) {
            if (rng() % 4 == 0)
                x += static_cast<int>(rng() % 3) - (round % 2 == 0 ? 0 : 1);
            y += static_cast<int>(rng() % 9) - 4;
            all.emplace_back(x, y);
        }
        std::vector<Vertex> merged;
        ColumnMerger<Vertex> merger(merged);
        for (const Vertex& v : all)
            merger.Add(v.x(), v.y());
        merger.Finish();
        const PlotRect clip{-30, 0, 30, 100};
        ASSERT_EQ(Rasterize(merged, clip), Rasterize(all, clip)) << "round " << round;
    }
}

}  // namespace
