#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

// Random numbers that are the same for a seed on every platform: the
// standard library's engines are specified, its distributions are not.
class SimRandom {
public:
    explicit SimRandom(uint64_t seed)
        : m_engine(seed)
    {
    }

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }

    double Uniform(double low, double high) { return low + (high - low) * Uniform(); }

    // Uniform integer in [low, high].
    int Integer(int low, int high)
    {
        return low + static_cast<int>(Uniform() * static_cast<double>(high - low + 1));
    }

    // Standard normal (Box-Muller).
    double Normal()
    {
        const double u1 = 1.0 - Uniform();  // (0, 1]: log is finite
        const double u2 = Uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

    uint64_t Bits() { return m_engine(); }

private:
    std::mt19937_64 m_engine;
};
