#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/position_statistics.h"

// The position page's text-block values as one JSON object, under the
// page's own labels, with full doubles.
std::string PositionValuesToJson(const PositionTextValues& values);

int RunStatsCommand(int argc, char** argv);

// "LAT,LON,ALT" as --user takes it, for the commands that share the option.
bool ParseUserPositionOption(std::string_view text, double& latitude, double& longitude, double& altitude);

// The same, checked for a possible position: nullopt when it is one, else
// the message naming what is wrong ("--user: Latitude ...").
std::optional<std::string> UserPositionOptionProblem(std::string_view option, std::string_view text,
                                                     double& latitude, double& longitude, double& altitude);
