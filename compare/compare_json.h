#pragma once

#include <string>
#include <vector>

#include "compare/comparison.h"

struct CompareReport {
    std::string referenceKind;  // "receiver", "trajectory" or "point"
    std::string referenceSource;
    double tolerance = 0.0;
    struct Receiver {
        std::string source;
        ReceiverComparison figures;
    };
    std::vector<Receiver> receivers;
};

// The report as one JSON object on one line: the figures under the keys of
// `stelmap-cli accuracy`, numbers as it writes them, missing ones as null.
std::string CompareReportToJson(const CompareReport& report);
