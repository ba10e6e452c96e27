#pragma once

#include <string>

#include "analysis/position_statistics.h"

// The position page's text-block values as one JSON object, under the
// page's own labels, with full doubles.
std::string PositionValuesToJson(const PositionTextValues& values);

int RunStatsCommand(int argc, char** argv);
