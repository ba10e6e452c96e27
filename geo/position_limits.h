#pragma once

#include <optional>
#include <string>

// Where a user (reference) position can be: on or near the Earth. A typo
// such as latitude 91 or 1e308 m would otherwise turn every horizontal error
// into nonsense without a word.
inline constexpr double kMaxLatitudeDegrees = 90.0;
inline constexpr double kMaxLongitudeDegrees = 180.0;
inline constexpr double kMaxAltitudeMetres = 100'000.0;  // above any aircraft a receiver rides on

enum class PositionField { Latitude, Longitude, Altitude };

// Which value is wrong and a sentence for the user that names it and says why.
struct PositionProblem {
    PositionField field = PositionField::Latitude;
    std::string message;
    bool operator==(const PositionProblem&) const = default;
};

// The first problem in the order latitude, longitude, altitude; nullopt when
// the position is possible. Both the Set Position dialog and the CLI use it,
// so they refuse the same values with the same words.
std::optional<PositionProblem> CheckUserPosition(double latitude, double longitude, double altitude);
