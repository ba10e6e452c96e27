#pragma once

#include <cstdint>

#include "tools/sim/sim_random.h"

struct PositionOffset {
    double north = 0.0;  // metres
    double east = 0.0;
    double up = 0.0;
};

// The error of a solution: a first-order Gauss-Markov process on each axis,
// so the position wanders around the truth the way a real fix does, with a
// standard deviation of `sigma` metres horizontally (per axis) and
// `verticalSigma` vertically, whatever the rate.
class PositionWander {
public:
    PositionWander(double sigma, double verticalSigma, double timeConstantSeconds, uint64_t seed);

    // The offset `dt` seconds after the previous one (the first call draws
    // the starting offset).
    PositionOffset Step(double dt);

private:
    double m_sigma = 0.0;
    double m_verticalSigma = 0.0;
    double m_timeConstant = 1.0;
    bool m_started = false;
    PositionOffset m_offset;
    SimRandom m_random;
};
