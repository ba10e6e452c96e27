#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "nmea/gnss_snapshot.h"

// The receiver's own time of a snapshot in seconds: the UTC time of day of
// its RMC or ZDA plus whole days since 1970 when they gave a date, else the
// time of day of its GGA alone. Empty without a time. Trails run on it, so
// that an analysis or a fast playback draws them as the receiver saw the sky.
std::optional<double> ReceiverSeconds(const GnssSnapshot& snapshot);
// Whether ReceiverSeconds counts the days too (else it is a time of day,
// which falls back at midnight).
bool ReceiverSecondsDated(const GnssSnapshot& snapshot);

// Where each satellite of every system has been in the sky over the last
// minutes, for the Signals page's fading trails. Times are seconds on any
// clock the caller chooses; nothing here reads a clock.
class SignalTrails {
public:
    static constexpr double kWindowSeconds = 600.0;
    // A satellite not reported for longer than this set and rose again, or
    // the receiver lost it: its trail breaks there rather than joining the
    // two places by a chord across the sky.
    static constexpr double kGapSeconds = 60.0;
    // A point at most this often: satellites move about a degree in two
    // minutes, so this loses no shape and bounds the points to 120 each.
    static constexpr double kMinSpacingSeconds = 5.0;
    static constexpr size_t kMaxPoints = 128;
    static constexpr size_t kMaxSatellites = 512;

    struct Point {
        double time = 0.0;
        int azimuth = 0;
        int elevation = 0;
        bool gapBefore = false;  // no line from the point before
        bool operator==(const Point&) const = default;
    };
    using Trail = std::deque<Point>;

    // Adds the position of every satellite that has one (one point per
    // satellite, whatever its signals) and forgets points older than the
    // window.
    void Update(const std::vector<GnssSignalView>& views, double now);
    void Clear() { m_trails.clear(); }

    const std::map<GnssSatelliteId, Trail>& Trails() const { return m_trails; }

private:
    std::map<GnssSatelliteId, Trail> m_trails;
};
