#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analysis/accuracy_figures.h"
#include "compare/reference_track.h"

// What a comparison needs of one fix (one GGA) of a receiver.
struct CompareFix {
    std::optional<EpochTime> time;  // empty when the GGA had no time
    int quality = 0;                // counted fix quality 1..9, 0: no position
    GeodeticPosition position;
    std::optional<double> readTime;  // seconds, on the receiver's clock

    bool operator==(const CompareFix&) const = default;
};

// One matched fix: its error in the reference's local tangent plane.
struct MatchedError {
    double key = 0.0;  // seconds on the reference's time line (0 for a point)
    int quality = 0;
    double east = 0.0, north = 0.0, up = 0.0;  // metres; up is NaN when the reference has no height
    std::optional<double> along, cross;       // metres, when the reference moved (cross: positive to the right)
    std::optional<double> latency;            // seconds
};

struct BiasAndSigma {
    double bias = 0.0;
    std::optional<double> sigma;
};

struct LatencyFigures {
    double mean = 0.0;
    double p95 = 0.0;
};

// The figures of one receiver against the reference.
struct ReceiverComparison {
    int64_t epochs = 0;   // fixes (GGAs) of the receiver
    int64_t matched = 0;  // of those, fixes with a reference position
    std::optional<double> availability;  // reference epochs with a counted fix / reference epochs
    std::array<std::optional<double>, kMaxFixQuality + 1> availabilityByQuality{};
    ErrorFigures all;
    std::array<std::optional<ErrorFigures>, kMaxFixQuality + 1> byQuality{};
    std::optional<BiasAndSigma> alongTrack, crossTrack;
    std::optional<LatencyFigures> latency;
};

// Receivers under test measured against one reference, fix by fix: live
// (fixes of the receivers and of a reference receiver arrive interleaved, a
// fix waits until the reference has passed its epoch) or over whole files
// (the reference first, then each receiver, then Finish).
//
// The error of a fix is east, north and up of its position in the plane
// tangent to the reference position (the Accuracy page's conversion);
// along-track and cross-track split it by the reference's direction of
// travel when the reference moves faster than kMovingSpeed.
class Comparison {
public:
    static constexpr double kDefaultTolerance = 0.05;  // seconds
    static constexpr double kMovingSpeed = 0.5;        // metres per second
    static constexpr size_t kMaxWaiting = 4096;        // fixes per receiver waiting for the reference

    explicit Comparison(ReferenceTrack reference, ReadClock referenceClock = ReadClock::None);

    ReferenceTrack& Reference() { return m_reference; }
    const ReferenceTrack& Reference() const { return m_reference; }

    // A receiver under test; returns its index.
    int AddReceiver(ReadClock clock = ReadClock::None);
    int ReceiverCount() const { return static_cast<int>(m_receivers.size()); }

    // A fix of the reference receiver; fixes without a position are not
    // reference epochs.
    void AddReferenceFix(const CompareFix& fix);
    void AddFix(int receiver, const CompareFix& fix);
    // No more fixes of the reference: everything waiting is matched now.
    void Finish();
    // Forgets every fix (the reference's kind, point and clock stay).
    void Clear();

    ReceiverComparison Figures(int receiver) const;
    const std::vector<MatchedError>& Errors(int receiver) const;

private:
    struct Receiver {
        ReadClock clock = ReadClock::None;
        int64_t epochs = 0;
        int64_t matched = 0;
        std::deque<CompareFix> waiting;
        std::vector<MatchedError> errors;
        std::set<int64_t> availableEpochs;  // reference epoch keys with a counted fix
        std::array<std::set<int64_t>, kMaxFixQuality + 1> epochsByQuality;
        int64_t countedFixes = 0;  // with a point reference, its epochs are the receiver's
        std::array<int64_t, kMaxFixQuality + 1> countedByQuality{};
    };

    void Resolve(Receiver& receiver, const CompareFix& fix);
    void Drain(Receiver& receiver, bool all);

    ReferenceTrack m_reference;
    ReadClock m_referenceClock;
    std::vector<Receiver> m_receivers;
};
