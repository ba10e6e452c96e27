#include "displays/signal_trails.h"

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
            if (last.azimuth == *s.azimuth && last.elevation == *s.elevation) {
                trail.back().time = now;  // still there: keep it fresh, not doubled
                continue;
            }
        }
        trail.push_back({now, *s.azimuth, *s.elevation});
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
