#include "displays/signal_trails.h"

#include <charconv>
#include <string_view>

namespace {

// Days from 1970-01-01 to a civil date (Howard Hinnant's days_from_civil).
long DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yearOfEra = year - era * 400;
    const long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<int> TwoDigits(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.size() != 2 || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

bool ReceiverSecondsDated(const GnssSnapshot& snapshot)
{
    // The date goes with the time of the same RMC or ZDA, never with a GGA's.
    return !snapshot.time.empty() && snapshot.date && snapshot.date->month >= 1 && snapshot.date->month <= 12;
}

std::optional<double> ReceiverSeconds(const GnssSnapshot& snapshot)
{
    // "hh:mm:ss" with an optional fraction.
    const std::string_view t = !snapshot.time.empty() ? snapshot.time : snapshot.fixTime;
    if (t.size() < 8 || t[2] != ':' || t[5] != ':')
        return std::nullopt;
    const auto h = TwoDigits(t.substr(0, 2)), m = TwoDigits(t.substr(3, 2)), s = TwoDigits(t.substr(6, 2));
    if (!h || !m || !s)
        return std::nullopt;
    double fraction = 0.0;
    if (t.size() > 8) {
        const std::string digits = "0" + std::string(t.substr(8));
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fraction);
        if (error != std::errc() || end != digits.data() + digits.size())
            return std::nullopt;
    }
    double seconds = *h * 3600.0 + *m * 60.0 + *s + fraction;
    if (ReceiverSecondsDated(snapshot))
        seconds += static_cast<double>(DaysFromCivil(snapshot.date->year, snapshot.date->month, snapshot.date->day))
            * 86400.0;
    return seconds;
}

void SignalTrails::Update(const std::vector<GnssSignalView>& views, double now)
{
    for (const GnssSignalView& s : views) {
        if (!s.azimuth || !s.elevation)
            continue;
        const GnssSatelliteId id{s.system, s.number};
        auto it = m_trails.find(id);
        if (it == m_trails.end()) {
            if (m_trails.size() >= kMaxSatellites)
                continue;
            it = m_trails.emplace(id, Trail{}).first;
        }
        Trail& trail = it->second;
        if (!trail.empty() && trail.back().time > now)
            trail.clear();  // the clock went back (a replay restarted): start over
        if (!trail.empty()) {
            const Point& last = trail.back();
            if (now - last.time < kMinSpacingSeconds)
                continue;  // the other signals of this satellite, or too soon
            const bool gap = now - last.time > kGapSeconds;
            if (!gap && last.azimuth == *s.azimuth && last.elevation == *s.elevation) {
                trail.back().time = now;  // still there: keep it fresh, not doubled
                continue;
            }
        }
        const bool gapBefore = !trail.empty() && now - trail.back().time > kGapSeconds;
        trail.push_back({now, *s.azimuth, *s.elevation, gapBefore});
        if (trail.size() > kMaxPoints)
            trail.pop_front();
    }
    for (auto it = m_trails.begin(); it != m_trails.end();) {
        Trail& trail = it->second;
        while (!trail.empty() && (now - trail.front().time > kWindowSeconds || trail.back().time > now))
            trail.pop_front();
        it = trail.empty() ? m_trails.erase(it) : std::next(it);
    }
}
