#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/accuracy_figures.h"
#include "geo/local_tangent_plane.h"

// Logarithmic bins of an error in metres, 1 mm to 100 km, 200 to a decade
// (each 1.16 % wide): percentiles from them are within 0.6 % of the exact
// ones at any number of fixes, for a fixed 6.4 KB.
class ErrorHistogram {
public:
    static constexpr int kBinsPerDecade = 200;
    static constexpr double kLowest = 1e-3;
    static constexpr int kBins = 8 * kBinsPerDecade + 1;

    void Add(double metres) { ++m_counts[static_cast<size_t>(BinOf(metres))]; ++m_total; }
    void Clear() { m_counts.fill(0); m_total = 0; }
    int64_t Total() const { return m_total; }
    uint32_t Count(int bin) const { return m_counts[static_cast<size_t>(bin)]; }

    // Percentile p by the rule of PercentileOfSorted, each order statistic
    // placed within its bin as if the bin's values were spread evenly.
    std::optional<double> Percentile(double p) const;
    // The share of values at or below `metres`.
    double ShareAtOrBelow(double metres) const;

    static int BinOf(double metres);
    static double BinLow(int bin);   // 0 for the first bin, which holds all below 1 mm
    static double BinHigh(int bin);  // the last bin also holds all above 100 km

private:
    double OrderStatistic(int64_t k) const;

    std::array<uint32_t, kBins> m_counts{};
    int64_t m_total = 0;
};

// The Stanford diagram's grid: square cells over HErr and HPL from 0 to
// twice the alert limit; values beyond the range count in the last cell.
struct StanfordGrid {
    static constexpr int kCells = 80;
    double range = 2.0 * kDefaultAlertLimit;  // metres on both axes
    std::array<uint32_t, kCells * kCells> counts{};  // [hplCell * kCells + herrCell]

    static int CellOf(double metres, double range);
    uint32_t At(int herrCell, int hplCell) const { return counts[static_cast<size_t>(hplCell * kCells + herrCell)]; }
};

// Horizontal error and the receiver's own estimate over the session, in a
// fixed number of time buckets: when they are full, neighbours merge and
// each bucket spans twice as many fixes, so a day costs what a minute does.
struct ErrorTimeline {
    static constexpr int kBuckets = 512;
    struct Bucket {
        float errorMin = 0, errorMax = 0;
        float estimateMin = 0, estimateMax = 0;
        bool hasError = false, hasEstimate = false;
    };
    // Where the fix quality changed (single, DGNSS, float, fixed ...): the
    // index of the first fix of the new quality. The first kMaxChanges only:
    // a receiver that flips every fix would draw a solid band anyway.
    struct QualityChange {
        int64_t fix = 0;
        int quality = 0;
        bool operator==(const QualityChange&) const = default;
    };
    static constexpr size_t kMaxChanges = 1000;
    std::vector<Bucket> buckets;
    std::vector<QualityChange> changes;
    int64_t fixesPerBucket = 1;
    int64_t fixes = 0;
    int lastQuality = 0;

    // `quality` 0 when unknown (no change is marked).
    void Add(std::optional<double> error, std::optional<double> estimate, int quality = 0);
    void Clear() { *this = ErrorTimeline{}; }
};

// What the Accuracy page keeps of a session, fix by fix. Adding a fix is
// constant work: running sums per set give bias, sigma and DRMS exactly;
// log-binned histograms give the percentiles; the Stanford grid and the
// region counts are counts; the scatter keeps a uniform sample of the fixes.
// The fixes themselves are kept too (40 bytes each) so that a new truth or
// alert limit and the exported report see the whole session, exactly.
//
// Without a truth the reference is the running mean. Errors are measured in
// a frame at the mean as it was when the frame was set; when the mean has
// moved more than 1 % of the DRMS from there, everything is measured again
// from a frame at the new mean. The mean settles as fixes add up, so this
// happens ever more rarely: its cost spread over the fixes stays constant.
class AccuracyTracker {
public:
    static constexpr int kScatterSample = 4000;

    struct Set {
        int64_t count = 0;
        double sumE = 0, sumN = 0, sumU = 0;
        double sumE2 = 0, sumN2 = 0, sumU2 = 0;
        ErrorHistogram horizontal;  // about the frame's origin
        ErrorHistogram vertical;
    };

    // One GGA: its counted quality, position and HPL, the receiver's own
    // horizontal estimate (metres) and the seconds since Connect or since
    // the playback began.
    void Add(const AccuracyFix& fix, std::optional<double> ownEstimate, double secondsSinceStart);
    // Forgets the fixes and the figures; the truth, the alert limit and the
    // times to first fix stay (they belong to the connection).
    void Clear();
    // A new connection or playback: also forgets the times to first fix.
    void StartSession();

    void SetTruth(std::optional<GeodeticPosition> truth);
    void SetAlertLimit(double metres);
    const std::optional<GeodeticPosition>& Truth() const { return m_truth; }
    double AlertLimit() const { return m_alertLimit; }

    // Figures of a set (0: all fixes, 1..9: a fix quality).
    ErrorFigures Figures(int set) const;
    std::optional<GeodeticPosition> Reference() const;
    // The reference and the frame origin's offset from it, in the frame.
    EastNorthUp ReferenceInFrame() const;
    std::optional<IntegrityCounts> Integrity() const;
    const StanfordGrid& Stanford() const { return m_stanford; }
    const ErrorTimeline& Timeline() const { return m_timeline; }
    const ErrorHistogram& HorizontalHistogram() const { return m_sets[0].horizontal; }
    // East/north errors of the sample, about the reference.
    std::vector<std::array<double, 2>> ScatterSample() const;

    int64_t GgaCount() const { return static_cast<int64_t>(m_fixes.size()); }
    int64_t Fixes() const { return m_sets[0].count; }
    std::optional<double> TimeToFirstFix() const { return m_firstFix; }
    std::optional<double> TimeToFirstRtkFixed() const { return m_firstRtkFixed; }
    // Corrections began to reach the receiver (seconds since the start);
    // only the first call of a session counts.
    void MarkCorrectionsStarted(double secondsSinceStart);
    std::optional<double> CorrectionsStarted() const { return m_correctionsStarted; }
    // From the first correction to the first float (5) and fixed (4) fix.
    std::optional<double> CorrectionsToFloat() const { return m_correctionsToFloat; }
    std::optional<double> CorrectionsToFixed() const { return m_correctionsToFixed; }
    int64_t FrameRebuilds() const { return m_rebuilds; }

    // The exact report over every fix, as `stelmap-cli accuracy` computes it.
    AccuracyReport ExactReport() const { return ComputeAccuracy(m_fixes, m_truth, m_alertLimit); }

private:
    void Measure(const AccuracyFix& fix, std::optional<double> ownEstimate);
    void Rebuild();
    void SetFrame(const GeodeticPosition& origin);
    bool MeanLeftFrame() const;

    std::optional<GeodeticPosition> m_truth;
    double m_alertLimit = kDefaultAlertLimit;

    std::vector<AccuracyFix> m_fixes;
    std::vector<std::optional<float>> m_estimates;
    GeodeticPosition m_mean;  // of the counted fixes
    std::optional<LocalTangentPlane> m_frame;
    std::array<Set, kMaxFixQuality + 1> m_sets{};
    std::array<int64_t, kStanfordRegionCount> m_regions{};
    int64_t m_epochs = 0;
    StanfordGrid m_stanford;
    ErrorTimeline m_timeline;
    std::vector<uint32_t> m_sample;  // indices into m_fixes
    uint64_t m_sampleRandom = 0x9E3779B97F4A7C15ull;
    int64_t m_rebuilds = 0;
    std::optional<double> m_firstFix;
    std::optional<double> m_firstRtkFixed;
    std::optional<double> m_correctionsStarted;
    std::optional<double> m_correctionsToFloat;
    std::optional<double> m_correctionsToFixed;
};
