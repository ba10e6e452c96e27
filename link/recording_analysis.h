#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "nmea/decode_driver.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"

class ReceiverState;

// Decodes a whole recording at full speed, as a playback would feed it:
// a parser in its start state, the display and GNSS snapshots copied at
// every GGA as the link's hand-off copies them. The fixes
// go out in batches, so the receiver can keep a worker thread apart from
// the pages; `deliver` may block to hold the worker back.
struct RecordingAnalysisResult {
    uint64_t bytes = 0;
    uint64_t totalBytes = 0;
    uint64_t fixes = 0;
    bool ok = true;
    bool cancelled = false;
    std::string error;
};

// One fix of the analysis: both snapshots as the link's hand-off copies them.
struct AnalysedFix {
    DisplaySnapshot display;
    GnssSnapshot gnss;
};

// A decode driver's fixes gathered into a batch, both snapshots copied at
// each as the link's hand-off copies them.
class AnalysisBatcher : public DecodeObserver {
public:
    explicit AnalysisBatcher(const ReceiverState& state);
    void OnFix() override;
    // The batch so far; a new empty one takes its place.
    std::vector<AnalysedFix> Take();
    // The snapshots start again from zero, as the link's after a rewind.
    void Restart();

    std::vector<AnalysedFix> batch;

private:
    const ReceiverState& m_state;
    AnalysedFix m_fix;
};

class RecordingAnalysis {
public:
    static constexpr size_t kBatchFixes = 512;
    // A piece of 4,096 bytes holds far fewer fixes: a batch never reallocates.
    static constexpr size_t kBatchHeadroom = 256;
    // A batch of fixes, in order, and the bytes of the file read so far.
    using Deliver = std::function<void(std::vector<AnalysedFix>&& fixes, uint64_t bytesRead)>;

    static RecordingAnalysisResult Run(const std::string& path, const Deliver& deliver,
                                       const std::atomic<bool>& cancel);
};
