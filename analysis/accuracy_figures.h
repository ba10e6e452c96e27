#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the accuracy figures need of one GGA: its counted fix quality (the
// fix-quality digit 1..9 when the sentence also carried a position, else 0:
// not counted), the position as sent, and the latest RAIM HPL in metres.
struct AccuracyFix {
    int quality = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    double hpl = 0.0;

    bool operator==(const AccuracyFix&) const = default;
};

struct GeodeticPosition {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;

    bool operator==(const GeodeticPosition&) const = default;
};

inline constexpr int kMaxFixQuality = 9;
inline constexpr double kDefaultAlertLimit = 40.0;

bool IsCountedQuality(int quality);

// An alert limit as typed: a number of metres from 1 cm to 100 km
// (surrounding blanks allowed); empty for anything else. Below a centimetre
// no receiver's protection level means anything and the Stanford axes turn
// to nonsense.
std::optional<double> ParseAlertLimit(std::string_view text);
inline constexpr double kMinAlertLimit = 0.01;
inline constexpr double kMaxAlertLimit = 100000.0;
// What is wrong with `text` as an alert limit, for the user; empty when
// ParseAlertLimit takes it.
std::optional<std::string> AlertLimitProblem(std::string_view text);

// Bias, spread and percentiles of the errors of one set of fixes, in metres.
// Every figure is empty when the set is (sigmas below two fixes).
struct ErrorFigures {
    int64_t count = 0;
    std::optional<double> biasE, biasN, biasU;
    std::optional<double> sigmaE, sigmaN, sigmaU;
    std::optional<double> h50, h68, h95, h99;
    std::optional<double> v50, v95;
    std::optional<double> drms, twoDrms;

    bool operator==(const ErrorFigures&) const = default;
};

// The regions of the Stanford diagram for one epoch, HErr against HPL with
// alert limit AL.
enum class StanfordRegion {
    Normal,         // HErr <= HPL < AL
    Misleading,     // HPL < HErr < AL
    Hazardous,      // HPL < AL <= HErr
    Unavailable,    // AL <= HPL, HErr <= HPL
    UnavailableMi,  // AL <= HPL < HErr
};
inline constexpr int kStanfordRegionCount = 5;

StanfordRegion ClassifyEpoch(double herr, double hpl, double alertLimit);

struct IntegrityCounts {
    double alertLimit = kDefaultAlertLimit;
    int64_t epochs = 0;
    std::array<int64_t, kStanfordRegionCount> regions{};  // by StanfordRegion
    std::optional<double> availability;                   // (normal + mi + hmi) / epochs

    int64_t Count(StanfordRegion r) const { return regions[static_cast<size_t>(r)]; }
    bool operator==(const IntegrityCounts&) const = default;
};

struct AccuracyReport {
    std::optional<GeodeticPosition> reference;  // empty: no truth and no counted fix
    bool referenceIsTruth = false;
    int64_t ggaCount = 0;
    int64_t fixes = 0;
    ErrorFigures all;
    std::array<std::optional<ErrorFigures>, kMaxFixQuality + 1> byQuality{};  // groups present
    std::optional<IntegrityCounts> integrity;  // only with a truth

    bool operator==(const AccuracyReport&) const = default;
};

// Percentile p (0..100) of ascending values by linear interpolation between
// the order statistics around rank p/100 x (count - 1); empty when none.
std::optional<double> PercentileOfSorted(std::span<const double> sorted, double p);

// The figures of a set from its east, north and up errors (metres).
ErrorFigures FiguresOfErrors(std::span<const double> east, std::span<const double> north,
                             std::span<const double> up);

// HErr as the position page measures it: the horizontal distance to the
// user position, in metres.
double PageHorizontalError(double latitude, double longitude, const GeodeticPosition& truth);

// The report over every GGA of a session: `fixes` holds one entry per GGA,
// counted or not. Without a truth the reference is the mean of the counted
// fixes and there is no integrity. A pure function of its inputs.
AccuracyReport ComputeAccuracy(std::span<const AccuracyFix> fixes, const std::optional<GeodeticPosition>& truth,
                               double alertLimit = kDefaultAlertLimit);
