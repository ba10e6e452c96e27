#include "analysis/plot_series.h"

void PlotSeries::AppendBlock()
{
    m_blocks.push_back(m_spareBlock ? std::move(m_spareBlock) : std::make_unique<PlotDataItem[]>(kPointsPerBlock));
    m_currentBlock = m_blocks.back().get();
    m_indexInBlock = 0;
}

void PlotSeries::AddPoint(double x, double y)
{
    if (m_blocks.empty()) {
        AppendBlock();
        m_pointCount = 0;
        m_maxY = m_minY = y;
        m_maxX = m_minX = x;
    } else {
        if (y >= m_maxY)
            m_maxY = y;
        if (y <= m_minY)
            m_minY = y;
        if (x >= m_maxX)
            m_maxX = x;
        if (x <= m_minX)
            m_minX = x;
    }
    m_currentBlock[m_indexInBlock] = {y, x};
    ++m_pointCount;
    ++m_indexInBlock;
    // The next block is there before it is needed, so a full block never
    // waits for its successor.
    if (m_indexInBlock == kPointsPerBlock)
        AppendBlock();
}

void PlotSeries::Clear()
{
    if (!m_blocks.empty() && !m_spareBlock)
        m_spareBlock = std::move(m_blocks.front());
    m_blocks.clear();
    m_currentBlock = nullptr;
    m_indexInBlock = 0;
    m_pointCount = 0;
}

size_t PlotSeries::AllocatedBytes() const
{
    const size_t blocks = m_blocks.size() + (m_spareBlock ? 1 : 0);
    return blocks * kPointsPerBlock * sizeof(PlotDataItem) + m_blocks.capacity() * sizeof(m_blocks[0]);
}
