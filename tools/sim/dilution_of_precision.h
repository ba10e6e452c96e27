#pragma once

#include <vector>

#include "tools/sim/sky_model.h"

struct Dops {
    double pdop = 99.9;
    double hdop = 99.9;
    double vdop = 99.9;
    bool valid = false;  // at least four satellites in a usable geometry
};

// DOPs of a position-and-clock solution from the satellites' directions.
Dops ComputeDops(const std::vector<SimSatellite>& used);
