#include "tools/sim/position_wander.h"

#include <cmath>

PositionWander::PositionWander(double sigma, double verticalSigma, double timeConstantSeconds, uint64_t seed)
    : m_sigma(sigma)
    , m_verticalSigma(verticalSigma)
    , m_timeConstant(timeConstantSeconds)
    , m_random(seed)
{
}

PositionOffset PositionWander::Step(double dt)
{
    if (!m_started) {
        m_started = true;
        m_offset = {m_sigma * m_random.Normal(), m_sigma * m_random.Normal(), m_verticalSigma * m_random.Normal()};
        return m_offset;
    }
    // Keeps the variance stationary: a^2 + (1 - a^2) = 1.
    const double a = std::exp(-dt / m_timeConstant);
    const double b = std::sqrt(1.0 - a * a);
    m_offset.north = a * m_offset.north + b * m_sigma * m_random.Normal();
    m_offset.east = a * m_offset.east + b * m_sigma * m_random.Normal();
    m_offset.up = a * m_offset.up + b * m_verticalSigma * m_random.Normal();
    return m_offset;
}
