#include "link/playback_pacer.h"

#include <vector>

#include <algorithm>
#include <cmath>

void PlaybackPacer::Load(PlaybackSchedule schedule, int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    m_schedule = std::move(schedule);
    m_paused = false;
    m_stepUntil = 0;
    m_seekBytes = 0;
    m_rewind = false;
    m_started = false;
    m_lastChunkUs = INT64_MIN;
    m_delivered = 0;
    m_anchorClockUs = 0;
    m_anchorSteadyUs = nowUs;
}

int64_t PlaybackPacer::ClockLocked(int64_t nowUs) const
{
    if (m_paused || !m_started)
        return m_anchorClockUs;
    if (m_speed == kAsFastAsPossible)
        return INT64_MAX;
    return m_anchorClockUs + static_cast<int64_t>(std::llround(static_cast<double>(nowUs - m_anchorSteadyUs) * m_speed));
}

int64_t PlaybackPacer::DeliveredTimeLocked() const
{
    return m_delivered == 0 ? 0 : m_schedule.TimeOf(m_delivered - 1);
}

void PlaybackPacer::AnchorLocked(int64_t nowUs)
{
    const int64_t clock = ClockLocked(nowUs);
    // Leaving "as fast as possible", the clock stands where the bytes are.
    m_anchorClockUs = clock == INT64_MAX ? DeliveredTimeLocked() : clock;
    m_anchorSteadyUs = nowUs;
}

bool PlaybackPacer::ChunkPacedLocked() const
{
    return m_schedule.From() == PlaybackSchedule::Source::FixedRate && !m_paused && m_speed != kAsFastAsPossible
        && m_seekBytes == 0 && m_stepUntil == 0;
}

PlaybackPacer::Due PlaybackPacer::DueNow(uint64_t delivered, int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    // A file without times plays as it always did: one chunk a tick, counted
    // from the last read, so a busy machine slows it rather than bunching it.
    if (ChunkPacedLocked()) {
        const int64_t interval = std::llround(PlaybackSchedule::kFixedIntervalUs / m_speed);
        const int64_t since = m_lastChunkUs == INT64_MIN ? interval : nowUs - m_lastChunkUs;
        if (since >= interval)
            return {delivered + PlaybackSchedule::kFixedChunk, 0};
        return {delivered, interval - since};
    }
    if (!m_started) {
        m_started = true;
        m_anchorSteadyUs = nowUs;
    }
    Due due;
    const int64_t clock = ClockLocked(nowUs);
    due.bytes = clock == INT64_MAX ? UINT64_MAX : m_schedule.DueBytes(clock);
    due.bytes = std::max(due.bytes, m_seekBytes);
    if (m_stepUntil != 0)
        due.bytes = std::max(due.bytes, m_stepUntil);
    if (due.bytes > delivered || m_paused || clock == INT64_MAX) {
        due.waitUs = due.bytes > delivered ? 0 : -1;
        return due;
    }
    const int64_t next = m_schedule.NextTimeAfter(clock);
    due.waitUs = next < 0 ? -1 : static_cast<int64_t>(std::ceil(static_cast<double>(next - clock) / m_speed));
    return due;
}

void PlaybackPacer::Delivered(uint64_t delivered, int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    if (delivered > m_delivered)
        m_lastChunkUs = nowUs;
    m_delivered = delivered;
    if (m_seekBytes != 0 && delivered >= m_seekBytes) {
        m_seekBytes = 0;
        m_anchorSteadyUs = nowUs;  // the clock resumes from the seek's target
    }
    if (m_stepUntil != 0 && delivered >= m_stepUntil) {
        m_anchorClockUs = std::max(m_anchorClockUs, m_schedule.TimeOf(m_stepUntil - 1));
        m_anchorSteadyUs = nowUs;
        m_stepUntil = 0;
    }
}

void PlaybackPacer::SetSpeed(double speed, int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    AnchorLocked(nowUs);
    m_speed = speed > 0.0 ? speed : kAsFastAsPossible;
}

void PlaybackPacer::SetPaused(bool paused, int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    AnchorLocked(nowUs);
    m_paused = paused;
}

void PlaybackPacer::StepFix(int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    const uint64_t delivered = m_seekBytes != 0 ? m_seekBytes : m_delivered;
    AnchorLocked(nowUs);
    m_paused = true;
    const std::vector<uint64_t>& ends = m_schedule.FixEnds();
    const auto next = std::upper_bound(ends.begin(), ends.end(), delivered);
    m_stepUntil = next == ends.end() ? UINT64_MAX : *next;
}

void PlaybackPacer::SeekTo(int64_t timeUs, int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    timeUs = std::clamp<int64_t>(timeUs, 0, m_schedule.DurationUs());
    m_rewind = true;
    m_delivered = 0;
    m_stepUntil = 0;
    m_anchorClockUs = timeUs;
    m_anchorSteadyUs = nowUs;
    // Every byte due by the target goes at once, even while paused.
    const uint64_t due = m_schedule.DueBytes(timeUs);
    m_seekBytes = due == UINT64_MAX ? m_schedule.Size() : due;
}

void PlaybackPacer::CancelSeek(int64_t nowUs)
{
    std::lock_guard lock(m_lock);
    if (m_seekBytes == 0)
        return;
    m_seekBytes = 0;
    m_paused = true;
    m_anchorClockUs = DeliveredTimeLocked();
    m_anchorSteadyUs = nowUs;
}

bool PlaybackPacer::TakeRewind()
{
    std::lock_guard lock(m_lock);
    const bool rewind = m_rewind;
    m_rewind = false;
    return rewind;
}

double PlaybackPacer::Speed() const
{
    std::lock_guard lock(m_lock);
    return m_speed;
}

bool PlaybackPacer::Paused() const
{
    std::lock_guard lock(m_lock);
    return m_paused;
}

int64_t PlaybackPacer::PositionUs(int64_t nowUs) const
{
    std::lock_guard lock(m_lock);
    if (m_seekBytes != 0)
        return m_anchorClockUs;
    // As fast as possible the clock has no time of its own: the bar shows
    // where the bytes, and so the pages, are.
    if (m_schedule.From() == PlaybackSchedule::Source::FixedRate || (m_speed == kAsFastAsPossible && !m_paused))
        return DeliveredTimeLocked();
    return std::clamp<int64_t>(ClockLocked(nowUs), 0, m_schedule.DurationUs());
}

int64_t PlaybackPacer::FixIntervalUs() const
{
    std::lock_guard lock(m_lock);
    // The median of the first fixes' spacing: a gap or two does not decide it.
    const std::vector<uint64_t>& ends = m_schedule.FixEnds();
    std::vector<int64_t> spacing;
    for (size_t i = 1; i < ends.size() && spacing.size() < 51; ++i)
        spacing.push_back(m_schedule.TimeOf(ends[i] - 1) - m_schedule.TimeOf(ends[i - 1] - 1));
    if (spacing.empty())
        return 0;
    std::nth_element(spacing.begin(), spacing.begin() + static_cast<std::ptrdiff_t>(spacing.size() / 2), spacing.end());
    return spacing[spacing.size() / 2];
}

int64_t PlaybackPacer::DurationUs() const
{
    std::lock_guard lock(m_lock);
    return m_schedule.DurationUs();
}

uint64_t PlaybackPacer::SeekTargetBytes() const
{
    std::lock_guard lock(m_lock);
    return m_seekBytes;
}

size_t PlaybackPacer::FixCount() const
{
    std::lock_guard lock(m_lock);
    return m_schedule.FixEnds().size();
}

PlaybackSchedule::Source PlaybackPacer::From() const
{
    std::lock_guard lock(m_lock);
    return m_schedule.From();
}
