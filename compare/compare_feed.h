#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compare/comparison.h"
#include "compare/trajectory_files.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"

// One satellite and signal as two receivers hear it: a's C/N0 minus b's.
struct SignalDifference {
    GnssSystem system = GnssSystem::Unknown;
    int number = 0;
    int signal = 0;
    int difference = 0;  // dB-Hz

    bool operator==(const SignalDifference&) const = default;
};

// Signals both snapshots report with a C/N0, by system, number and signal
// ID, in the snapshots' order.
std::vector<SignalDifference> SignalDifferences(const GnssSnapshot& a, const GnssSnapshot& b);

// What the Compare page keeps: every receiver's fixes as they came (so a
// new reference measures the whole session again), the reference and the
// comparison built from them. Receivers are known by the caller's ids.
class CompareFeed {
public:
    enum class ReferenceKind { None, Point, Trajectory, Receiver };
    // A receiver's fixes kept for measuring again: a day at 10 Hz.
    static constexpr size_t kMaxKeptFixes = 864000;

    struct ReceiverEntry {
        int id = 0;
        std::string name;
        std::vector<CompareFix> fixes;
        GnssSnapshot lastGnss;
        int index = -1;  // in the comparison; -1 for the reference receiver
    };

    CompareFeed();

    // One fix of receiver `id`, read at `readSeconds` on the steady clock.
    void AddFix(int id, const std::string& name, const DisplaySnapshot& display, const GnssSnapshot& gnss,
                double readSeconds);
    // A new source or a seek: every receiver's fixes are forgotten.
    void Clear();

    void SetPointReference(const std::optional<GeodeticPosition>& point);
    void SetTrajectoryReference(const std::string& name, std::vector<TrackSample> samples);
    void SetReceiverReference(int id);
    void SetTolerance(double seconds);

    ReferenceKind Kind() const { return m_kind; }
    std::optional<int> ReferenceReceiver() const;
    const std::string& TrajectoryName() const { return m_trajectoryName; }

    // Receivers under test, in the order they were first seen.
    std::vector<const ReceiverEntry*> UnderTest() const;
    const ReceiverEntry* Receiver(int id) const;
    const std::vector<ReceiverEntry>& Receivers() const { return m_receivers; }
    const Comparison& Result() const { return m_comparison; }

    // The two snapshots whose C/N0 the page differences: the first
    // receiver under test against the reference receiver, or else the
    // second receiver under test; empty with fewer than two.
    std::optional<std::pair<const ReceiverEntry*, const ReceiverEntry*>> SignalPair() const;

private:
    void Rebuild();
    ReceiverEntry& EntryFor(int id, const std::string& name);

    ReferenceKind m_kind = ReferenceKind::None;
    std::optional<GeodeticPosition> m_point;
    std::string m_trajectoryName;
    std::vector<TrackSample> m_trajectory;
    int m_referenceId = -1;
    double m_tolerance = Comparison::kDefaultTolerance;
    std::vector<ReceiverEntry> m_receivers;
    Comparison m_comparison;
};
