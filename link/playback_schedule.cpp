#include "link/playback_schedule.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

bool Digits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The 3-letter sentence type of a line "$ttSSS,..." or "$SSS..."; empty when
// the line is no sentence.
std::string_view SentenceType(std::string_view line)
{
    if (line.size() < 7 || line[0] != '$')
        return {};
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos || comma < 4)
        return {};
    return line.substr(comma - 3, 3);
}

std::string_view Field(std::string_view line, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = line.find(',', start);
        if (start == std::string_view::npos)
            return {};
        ++start;
    }
    const size_t end = line.find_first_of(",*", start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

void ScanLines(std::string_view content, std::vector<uint64_t>& fixEnds,
               const std::function<void(uint64_t offset, std::string_view line)>& eachTime)
{
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        end = end == std::string_view::npos ? content.size() : end + 1;
        const std::string_view line = content.substr(start, end - start);
        const std::string_view type = SentenceType(line);
        if (type == "GGA")
            fixEnds.push_back(end);
        if (eachTime && (type == "GGA" || type == "RMC" || type == "ZDA"))
            eachTime(start, line);
        start = end;
    }
}

}  // namespace

double NmeaTimeOfDay(std::string_view field)
{
    if (field.size() < 6 || !Digits(field.substr(0, 6)))
        return -1.0;
    const auto two = [&](size_t at) { return (field[at] - '0') * 10 + (field[at + 1] - '0'); };
    const int h = two(0), m = two(2), s = two(4);
    if (h > 23 || m > 59 || s > 60)
        return -1.0;
    double fraction = 0.0;
    if (field.size() > 6) {
        if (field[6] != '.' || (field.size() > 7 && !Digits(field.substr(7))))
            return -1.0;
        double scale = 0.1;
        for (size_t i = 7; i < field.size(); ++i, scale /= 10)
            fraction += (field[i] - '0') * scale;
    }
    return h * 3600.0 + m * 60.0 + s + fraction;
}

PlaybackSchedule PlaybackSchedule::For(std::string_view content, const std::vector<TimeIndexEntry>& index)
{
    PlaybackSchedule s = index.size() >= 2 ? FromIndex(index, content.size()) : FromSentenceTimes(content);
    if (s.m_marks.empty())
        s = FixedRate(content.size());
    s.m_fixEnds.clear();
    ScanLines(content, s.m_fixEnds, {});
    return s;
}

PlaybackSchedule PlaybackSchedule::FromIndex(const std::vector<TimeIndexEntry>& index, uint64_t size)
{
    PlaybackSchedule s;
    s.m_source = Source::TimeIndex;
    s.m_size = size;
    for (const TimeIndexEntry& e : index)
        s.m_marks.push_back({e.offset, e.monotonicUs});
    if (!s.m_marks.empty())
        s.m_marks.front().offset = 0;  // whatever came first plays at once
    return s;
}

PlaybackSchedule PlaybackSchedule::FromSentenceTimes(std::string_view content)
{
    PlaybackSchedule s;
    s.m_source = Source::SentenceTimes;
    s.m_size = content.size();
    double first = -1.0, last = -1.0, dayOffset = 0.0;
    int64_t lastUs = 0;
    ScanLines(content, s.m_fixEnds, [&](uint64_t offset, std::string_view line) {
        double t = NmeaTimeOfDay(Field(line, 1));
        if (t < 0.0)
            return;
        t += dayOffset;
        if (last >= 0.0 && t < last - 43200.0) {  // past midnight
            dayOffset += 86400.0;
            t += 86400.0;
        }
        if (first < 0.0)
            first = t;
        if (t == last)
            return;  // the same epoch: its bytes go with its first sentence
        last = t;
        // A time that steps back (a receiver's glitch) plays at once.
        const int64_t us = std::max(lastUs, static_cast<int64_t>(std::llround((t - first) * 1e6)));
        s.m_marks.push_back({s.m_marks.empty() ? 0 : offset, us});
        lastUs = us;
    });
    if (s.m_marks.size() < 2)
        s.m_marks.clear();
    return s;
}

PlaybackSchedule PlaybackSchedule::FixedRate(uint64_t size)
{
    PlaybackSchedule s;
    s.m_source = Source::FixedRate;
    s.m_size = size;
    for (uint64_t offset = 0, i = 0; offset == 0 || offset < size; offset += kFixedChunk, ++i)
        s.m_marks.push_back({offset, static_cast<int64_t>(i) * kFixedIntervalUs});
    return s;
}

uint64_t PlaybackSchedule::DueBytes(int64_t timeUs) const
{
    // The first mark later than timeUs begins the bytes not yet due.
    const auto later = std::upper_bound(m_marks.begin(), m_marks.end(), timeUs,
                                        [](int64_t t, const Mark& m) { return t < m.timeUs; });
    if (later == m_marks.end())
        return UINT64_MAX;
    return later->offset;
}

int64_t PlaybackSchedule::TimeOf(uint64_t offset) const
{
    const auto after = std::upper_bound(m_marks.begin(), m_marks.end(), offset,
                                        [](uint64_t o, const Mark& m) { return o < m.offset; });
    return after == m_marks.begin() ? 0 : std::prev(after)->timeUs;
}

int64_t PlaybackSchedule::NextTimeAfter(int64_t timeUs) const
{
    const auto later = std::upper_bound(m_marks.begin(), m_marks.end(), timeUs,
                                        [](int64_t t, const Mark& m) { return t < m.timeUs; });
    return later == m_marks.end() ? -1 : later->timeUs;
}
