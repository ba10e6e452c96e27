#pragma once

#include <memory>
#include <vector>

inline constexpr int kMaxSeries = 16;
inline constexpr int kPointsPerBlock = 10000;

// One stored point: value first, then its position on the horizontal axis.
struct PlotDataItem {
    double y = 0.0;
    double x = 0.0;
};

// The points of one plot series. They are stored in fixed blocks that are
// never moved or copied once written, so a series can grow for days without
// a reallocation pause; only the small list of block pointers grows. The
// extremes are kept as points arrive so that scaling never visits the points.
class PlotSeries {
public:
    void AddPoint(double x, double y);
    // Frees every block; the series is empty afterwards. One block is kept
    // aside for the next point: the trend segment is cleared and redrawn at
    // every fix, and a fresh block each time would cost more than the rest
    // of the fix together.
    void Clear();

    bool IsEmpty() const { return m_blocks.empty(); }
    int PointCount() const { return m_pointCount; }
    int BlockCount() const { return static_cast<int>(m_blocks.size()); }
    // Bytes held by the blocks (the spare one included) and the block list.
    size_t AllocatedBytes() const;

    // Valid while the series is not empty.
    double MinX() const { return m_minX; }
    double MaxX() const { return m_maxX; }
    double MinY() const { return m_minY; }
    double MaxY() const { return m_maxY; }

    const PlotDataItem& Point(int index) const
    {
        return m_blocks[static_cast<size_t>(index / kPointsPerBlock)][index % kPointsPerBlock];
    }

    // Calls visit(x, y) for every point in stored order.
    template <typename Visit>
    void ForEachPoint(Visit&& visit) const
    {
        int remaining = m_pointCount;
        for (const auto& block : m_blocks) {
            const int n = remaining < kPointsPerBlock ? remaining : kPointsPerBlock;
            for (int i = 0; i < n; ++i)
                visit(block[i].x, block[i].y);
            remaining -= n;
            if (remaining == 0)
                break;
        }
    }

private:
    void AppendBlock();

    std::vector<std::unique_ptr<PlotDataItem[]>> m_blocks;
    int m_indexInBlock = 0;
    int m_pointCount = 0;
    PlotDataItem* m_currentBlock = nullptr;
    std::unique_ptr<PlotDataItem[]> m_spareBlock;
    double m_maxY = 0.0;
    double m_minY = 0.0;
    double m_maxX = 0.0;
    double m_minX = 0.0;
};
