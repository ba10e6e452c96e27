#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "link/time_index.h"

// When, in recording time, each byte of a playback file is due: mark i
// releases the bytes from its offset up to the next mark's at its time; the
// last mark releases the rest of the file.
class PlaybackSchedule {
public:
    enum class Source { FixedRate, SentenceTimes, TimeIndex };

    struct Mark {
        uint64_t offset = 0;
        int64_t timeUs = 0;
        bool operator==(const Mark&) const = default;
    };

    // The pace the program always had: 2,560 bytes every 100 ms.
    static constexpr uint64_t kFixedChunk = 2560;
    static constexpr int64_t kFixedIntervalUs = 100000;

    // The best pace a file offers: its time index when it has one, else
    // the UTC times of its GGA, RMC and ZDA sentences, else the fixed rate.
    static PlaybackSchedule For(std::string_view content, const std::vector<TimeIndexEntry>& index);

    static PlaybackSchedule FromIndex(const std::vector<TimeIndexEntry>& index, uint64_t size);
    static PlaybackSchedule FromSentenceTimes(std::string_view content);  // empty marks when fewer than two times
    static PlaybackSchedule FixedRate(uint64_t size);

    Source From() const { return m_source; }
    const std::vector<Mark>& Marks() const { return m_marks; }
    uint64_t Size() const { return m_size; }
    int64_t DurationUs() const { return m_marks.empty() ? 0 : m_marks.back().timeUs; }

    // Bytes due by recording time `timeUs` (all of them after the last mark).
    uint64_t DueBytes(int64_t timeUs) const;
    // The recording time at which byte `offset` is due.
    int64_t TimeOf(uint64_t offset) const;
    // The first mark time after `timeUs`; -1 when none.
    int64_t NextTimeAfter(int64_t timeUs) const;

    // Where each GGA sentence ends (the offset after its line), in order:
    // the fixes a playback will deliver.
    const std::vector<uint64_t>& FixEnds() const { return m_fixEnds; }

private:
    Source m_source = Source::FixedRate;
    std::vector<Mark> m_marks;
    std::vector<uint64_t> m_fixEnds;
    uint64_t m_size = 0;
};

// Seconds since midnight of an NMEA time field "hhmmss[.sss]"; -1 when the
// field is not one.
double NmeaTimeOfDay(std::string_view field);
