#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/accuracy_figures.h"
#include "compare/epoch_time.h"

// Which clock a read time is on. Latency compares read times of one clock
// only: a live source's steady clock, or the wall clock a recording's time
// index kept.
enum class ReadClock { None, Steady, RecordingUtc };

// One position of a receiver or of a trajectory file, and when it was valid.
struct TrackSample {
    EpochTime time;
    GeodeticPosition position;
    bool hasHeight = true;  // a GPX point without <ele> has none
    int quality = 0;        // the fix quality, when the source says
    std::optional<double> readTime;  // seconds, on the stream's clock

    bool operator==(const TrackSample&) const = default;
};

// East and north velocity in metres per second.
struct HorizontalVelocity {
    double east = 0.0;
    double north = 0.0;
};

// The reference a receiver is measured against: a fixed point, another
// receiver's fixes (matched at the same epoch within the tolerance) or a
// trajectory (positions interpolated linearly in time between its two
// neighbouring points, never across a gap longer than kMaxGap).
//
// Points are kept sorted by time, whatever order they come in. The track
// is dated when its first point carries a date: its times are then instants
// (later undated points take the day of the point before them); otherwise
// they are times of day, counted on past midnight.
class ReferenceTrack {
public:
    enum class Kind { Point, Receiver, Trajectory };
    static constexpr double kMaxGap = 2.0;  // seconds

    struct Match {
        GeodeticPosition position;
        bool hasHeight = true;
        std::optional<HorizontalVelocity> velocity;
        std::optional<double> readTime;
        std::optional<int64_t> epoch;  // key of the reference epoch it fell on, for availability
    };

    ReferenceTrack(Kind kind, double tolerance) : m_kind(kind), m_tolerance(tolerance) {}
    static ReferenceTrack AtPoint(const GeodeticPosition& point);

    Kind GetKind() const { return m_kind; }
    double Tolerance() const { return m_tolerance; }
    void SetTolerance(double seconds) { m_tolerance = seconds; }

    void Add(const TrackSample& sample);
    void Clear();
    // No more points will come (a file read whole, or a receiver that
    // stopped): a fix need no longer wait for later ones.
    void SetComplete(bool complete) { m_complete = complete; }

    // The reference position at `time`; empty when there is none.
    std::optional<Match> Find(const std::optional<EpochTime>& time) const;
    // Whether a fix at `time` can be matched for good now: the reference is
    // complete or already has a point past the tolerance after it.
    bool Settled(const std::optional<EpochTime>& time) const;

    // Reference epochs (points); 0 for a fixed point.
    size_t Epochs() const { return m_samples.size(); }
    const std::vector<TrackSample>& Samples() const { return m_samples; }
    const std::optional<GeodeticPosition>& Point() const { return m_point; }
    bool Dated() const { return m_dated; }

    // Milliseconds of the sample's place on the track's time line.
    static int64_t EpochKey(double key) { return static_cast<int64_t>(key * 1000.0 + (key >= 0 ? 0.5 : -0.5)); }

private:
    std::optional<double> KeyOf(const EpochTime& time) const;
    std::optional<HorizontalVelocity> VelocityAt(size_t index) const;
    Match MatchOf(size_t index) const;

    Kind m_kind;
    double m_tolerance;
    bool m_complete = false;
    std::optional<GeodeticPosition> m_point;
    std::vector<TrackSample> m_samples;
    std::vector<double> m_keys;  // seconds on the track's time line, ascending
    bool m_dated = false;
    std::optional<int64_t> m_lastDay;
    double m_lastSeconds = 0.0;
};
