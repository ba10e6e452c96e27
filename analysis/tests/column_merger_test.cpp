#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "analysis/column_merger.h"

namespace {

struct Vertex {
    int x, y;
    Vertex(int ax, int ay) : x(ax), y(ay) {}
    bool operator==(const Vertex&) const = default;
};

std::vector<Vertex> Merge(const std::vector<Vertex>& in)
{
    std::vector<Vertex> out;
    ColumnMerger<Vertex> merger(out);
    for (const Vertex& v : in)
        merger.Add(v.x, v.y);
    merger.Finish();
    return out;
}

TEST(ColumnMerger, KeepsFirstLowestHighestAndLastOfEachRun)
{
    struct Case {
        const char* name;
        std::vector<Vertex> in, out;
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"one vertex", {{3, 4}}, {{3, 4}}},
        {"different columns stay", {{1, 5}, {2, 6}, {3, 7}}, {{1, 5}, {2, 6}, {3, 7}}},
        {"run in stored order: high before low",
         {{1, 5}, {1, 9}, {1, 6}, {1, 2}, {1, 4}, {2, 0}},
         {{1, 5}, {1, 9}, {1, 2}, {1, 4}, {2, 0}}},
        {"low before high", {{1, 5}, {1, 2}, {1, 9}, {1, 4}}, {{1, 5}, {1, 2}, {1, 9}, {1, 4}}},
        {"extremes at the ends", {{1, 1}, {1, 5}, {1, 3}, {1, 9}}, {{1, 1}, {1, 9}}},
        {"repeated vertex", {{1, 5}, {1, 5}, {1, 5}}, {{1, 5}, {1, 5}}},
        {"a column visited twice is two runs",
         {{1, 5}, {1, 7}, {2, 0}, {1, 3}, {1, 1}, {1, 2}},
         {{1, 5}, {1, 7}, {2, 0}, {1, 3}, {1, 1}, {1, 2}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Merge(c.in), c.out) << c.name;
}

TEST(ColumnMerger, ThinsADayToAFewVerticesPerColumn)
{
    std::vector<Vertex> in;
    for (int i = 0; i < 86400; ++i)
        in.emplace_back(i / 140, (i * 7919) % 101);
    const auto out = Merge(in);
    EXPECT_LE(out.size(), 4u * (86400 / 140 + 1));
    EXPECT_EQ(out.front(), in.front());
    EXPECT_EQ(out.back(), in.back());
}

}  // namespace
