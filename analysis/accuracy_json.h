#pragma once

#include <string>

#include "analysis/accuracy_figures.h"

// The report as one JSON object on one line, under the keys
// `stelmap-cli accuracy` prints and the Accuracy page exports: integers as
// integers, other numbers in the shortest form that reads back the same,
// missing figures as null.
std::string AccuracyReportToJson(const AccuracyReport& report);
