#pragma once

#include <string>

#include "analysis/accuracy_figures.h"

// The report as one JSON object on one line, under the keys
// `stelmap-cli accuracy` prints and the Accuracy page exports: integers as
// integers, other numbers in the shortest form that reads back the same,
// missing figures as null.
std::string AccuracyReportToJson(const AccuracyReport& report);

// One set's figures as the object under "all" above (count, biasE ...
// twoDrms), for other reports that give the same figures.
void AppendErrorFiguresJson(std::string& out, const ErrorFigures& figures);
// A number as above: the shortest form that reads back the same, null when
// missing or not finite.
void AppendJsonNumber(std::string& out, const std::optional<double>& value);
