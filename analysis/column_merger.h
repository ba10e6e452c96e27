#pragma once

#include <utility>
#include <vector>

// Thins the vertices of a polyline, in drawing order, to the first, lowest,
// highest and last of every run of consecutive vertices on one pixel column.
// A 1-pixel line through the kept vertices covers the same pixels as one
// through all of them: inside a run both cover the column from the lowest to
// the highest row, and the steps between runs keep their end points. A day
// of fixes across a few hundred columns so draws a few thousand segments
// instead of a hundred thousand.
template <typename Point>
class ColumnMerger {
public:
    explicit ColumnMerger(std::vector<Point>& out) : m_out(out) {}

    void Add(int x, int y)
    {
        if (m_open && x == m_x) {
            ++m_last;
            m_lastY = y;
            if (y < m_minY) {
                m_minY = y;
                m_minAt = m_last;
            }
            if (y > m_maxY) {
                m_maxY = y;
                m_maxAt = m_last;
            }
            return;
        }
        Flush();
        m_open = true;
        m_x = x;
        m_firstY = m_lastY = m_minY = m_maxY = y;
        m_last = m_minAt = m_maxAt = 0;
    }

    // Emits the run still open; call once after the last vertex.
    void Finish()
    {
        Flush();
        m_open = false;
    }

private:
    void Flush()
    {
        if (!m_open)
            return;
        m_out.emplace_back(m_x, m_firstY);
        std::pair<int, int> inner[2] = {{m_minAt, m_minY}, {m_maxAt, m_maxY}};
        if (inner[0].first > inner[1].first)
            std::swap(inner[0], inner[1]);
        int previous = 0;
        for (const auto& [at, y] : inner) {
            if (at != previous && at != m_last) {
                m_out.emplace_back(m_x, y);
                previous = at;
            }
        }
        if (m_last > 0)
            m_out.emplace_back(m_x, m_lastY);
    }

    std::vector<Point>& m_out;
    bool m_open = false;
    int m_x = 0;
    int m_firstY = 0;
    int m_lastY = 0;
    int m_minY = 0;
    int m_maxY = 0;
    int m_last = 0;  // index of the last vertex in the run
    int m_minAt = 0;
    int m_maxAt = 0;
};
