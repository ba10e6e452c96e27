#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct GnssSnapshot;

// When a fix or a reference point was valid: its UTC time of day and, when
// the source said, its date. Two epochs with dates compare as instants; an
// epoch without one compares by time of day only.
struct EpochTime {
    std::optional<int64_t> day;  // days since 1970-01-01
    double secondsOfDay = 0.0;   // UTC, 0 to 86400 (86400 inside a leap second)

    std::optional<double> Instant() const
    {
        if (!day)
            return std::nullopt;
        return static_cast<double>(*day) * 86400.0 + secondsOfDay;
    }
    bool operator==(const EpochTime&) const = default;
};

int64_t DaysFromCivil(int64_t year, int month, int day);

// An epoch from seconds since 1970-01-01T00:00:00Z.
EpochTime EpochFromInstant(double seconds);

// "hh:mm:ss[.f]" (as the GNSS model writes times) in seconds since midnight.
std::optional<double> ParseClockTime(std::string_view text);

// "YYYY-MM-DDThh:mm:ss[.f][Z|+hh:mm|-hh:mm]" (ISO 8601, as GPX and our CSV
// write it; a space instead of the T, slashes instead of dashes and no zone
// are taken too) in seconds since 1970, UTC.
std::optional<double> ParseDateTime(std::string_view text);

// The epoch of the fix a GNSS snapshot was copied at: its GGA's time, dated
// by the latest RMC or ZDA. Receivers send those after the GGA, so across
// midnight the date may still be the previous epoch's: a GGA time more than
// twelve hours before the date's own time is on the next day.
std::optional<EpochTime> EpochOfFix(const GnssSnapshot& gnss);

// GPS time (seconds since 1970 on the GPS time scale) to UTC, with the leap
// seconds since 1980 (18 since 2017).
double GpsTimeToUtc(double gpsSeconds);
