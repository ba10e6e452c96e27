#pragma once

#include <cstdint>

// A running mean: the sum and the count of the values added.
class Average {
public:
    virtual ~Average() = default;

    void Add(double value)
    {
        m_sum += value;
        m_count += 1;
    }
    // 0.0 while nothing has been added.
    double Mean() const { return m_count == 0 ? 0.0 : m_sum / static_cast<double>(m_count); }
    void Reset()
    {
        m_sum = 0.0;
        m_count = 0;
    }
    uint32_t Count() const { return m_count; }

private:
    double m_sum = 0.0;
    uint32_t m_count = 0;
};
