#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/time_index.h"

// The corrections saved beside a recording (FILE.rtcm, indexed by
// FILE.rtcm.times in the format of FILE.times, on the same clock), given
// back as a playback of FILE reaches the moment they were sent. Both
// indexes count microseconds from the start of the recording, so the
// position in FILE says when, and that says how much of FILE.rtcm was
// sent by then.
class CorrectionReplay {
public:
    static std::string CorrectionsPath(const std::string& recording) { return recording + ".rtcm"; }

    // False when FILE has no corrections beside it (or no index to place
    // them by).
    bool Load(const std::string& recording);

    // The bytes sent up to the moment the recording's byte `delivered` was
    // received, not yet handed out; with the recording's time of that moment
    // in seconds.
    std::string_view Due(uint64_t delivered, double* seconds = nullptr);
    // A seek starts the playback over.
    void Rewind() { m_handed = 0; }

    bool Loaded() const { return !m_bytes.empty(); }
    size_t Size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
    std::vector<TimeIndexEntry> m_recordingIndex;
    std::vector<TimeIndexEntry> m_correctionIndex;
    size_t m_handed = 0;
};
