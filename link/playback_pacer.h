#pragma once

#include <cstdint>
#include <mutex>

#include "link/playback_schedule.h"

// The playback's clock: which of a file's bytes the reader may deliver now,
// at the chosen speed, paused or not. The GUI thread steers it, the reader
// thread asks it; every call takes the one lock. Times are steady-clock
// microseconds, passed in so that the clock can be tested without waiting.
class PlaybackPacer {
public:
    static constexpr double kAsFastAsPossible = 0.0;

    struct Due {
        uint64_t bytes = 0;       // the offset up to which bytes may be read
        int64_t waitUs = 0;       // until more are due; -1 when none will be (paused, or all due)
    };

    void Load(PlaybackSchedule schedule, int64_t nowUs);

    // For the reader, given how many bytes it has delivered.
    Due DueNow(uint64_t delivered, int64_t nowUs);
    // The reader has delivered up to `delivered`; a step that reached its
    // fix pauses here.
    void Delivered(uint64_t delivered, int64_t nowUs);

    void SetSpeed(double speed, int64_t nowUs);  // kAsFastAsPossible or a factor
    void SetPaused(bool paused, int64_t nowUs);
    // Releases the bytes up to the end of the next fix after `delivered`, then pauses.
    void StepFix(int64_t nowUs);
    // Plays again from the start, at full speed up to recording time
    // `timeUs`, then on at the chosen speed (or paused). The reader takes
    // the rewind (TakeRewind) before its next read.
    void SeekTo(int64_t timeUs, int64_t nowUs);
    bool TakeRewind();
    // Stops a seek where it has got to, paused there.
    void CancelSeek(int64_t nowUs);

    double Speed() const;
    bool Paused() const;
    int64_t PositionUs(int64_t nowUs) const;  // recording time now, 0..duration
    int64_t DurationUs() const;
    uint64_t SeekTargetBytes() const;  // while a seek runs: the bytes it must deliver; 0 otherwise
    size_t FixCount() const;
    // The usual time between fixes in the recording; 0 with fewer than two.
    int64_t FixIntervalUs() const;
    PlaybackSchedule::Source From() const;

private:
    int64_t ClockLocked(int64_t nowUs) const;
    bool ChunkPacedLocked() const;
    int64_t DeliveredTimeLocked() const;  // the recording time of the last byte delivered
    void AnchorLocked(int64_t nowUs);

    mutable std::mutex m_lock;
    PlaybackSchedule m_schedule;
    double m_speed = 1.0;
    bool m_paused = false;
    int64_t m_anchorClockUs = 0;   // recording time at m_anchorSteadyUs
    int64_t m_anchorSteadyUs = 0;
    uint64_t m_stepUntil = 0;      // a step's end; 0 when no step runs
    uint64_t m_seekBytes = 0;
    uint64_t m_delivered = 0;      // as the reader last said
    bool m_rewind = false;
    bool m_started = false;
    int64_t m_lastChunkUs = INT64_MIN;  // fixed rate: when the last chunk was read        // the clock runs from the reader's first question
};
