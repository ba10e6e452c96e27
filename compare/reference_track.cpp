#include "compare/reference_track.h"

#include <algorithm>
#include <cmath>

#include "geo/local_tangent_plane.h"

ReferenceTrack ReferenceTrack::AtPoint(const GeodeticPosition& point)
{
    ReferenceTrack track(Kind::Point, 0.0);
    track.m_point = point;
    track.m_complete = true;
    return track;
}

void ReferenceTrack::Clear()
{
    m_samples.clear();
    m_keys.clear();
    m_dated = false;
    m_lastDay.reset();
    m_complete = false;
}

void ReferenceTrack::Add(const TrackSample& sample)
{
    if (m_kind == Kind::Point)
        return;
    double key = 0.0;
    if (m_samples.empty()) {
        m_dated = sample.time.day.has_value();
        m_lastDay = sample.time.day.value_or(0);
    } else {
        // A time more than twelve hours before the last one is on the next day.
        int64_t day = *m_lastDay;
        if (sample.time.secondsOfDay < m_lastSeconds - 43200.0)
            ++day;
        else if (sample.time.secondsOfDay > m_lastSeconds + 43200.0)
            --day;
        m_lastDay = m_dated && sample.time.day ? *sample.time.day : day;
    }
    m_lastSeconds = sample.time.secondsOfDay;
    key = static_cast<double>(*m_lastDay) * 86400.0 + sample.time.secondsOfDay;
    const auto at = std::upper_bound(m_keys.begin(), m_keys.end(), key);
    const auto index = at - m_keys.begin();
    m_keys.insert(at, key);
    m_samples.insert(m_samples.begin() + index, sample);
}

std::optional<double> ReferenceTrack::KeyOf(const EpochTime& time) const
{
    if (m_keys.empty())
        return std::nullopt;
    if (m_dated && time.day)
        return *time.Instant();
    // By time of day: the first such time at or after the track's start.
    const double start = m_keys.front() - m_tolerance;
    const double turns = std::ceil((start - time.secondsOfDay) / 86400.0);
    return time.secondsOfDay + turns * 86400.0;
}

std::optional<HorizontalVelocity> ReferenceTrack::VelocityAt(size_t i) const
{
    // The chord from the point before to the point after: for a steady
    // turn it is parallel to the path at the point itself.
    const auto near = [&](size_t a, size_t b) { return m_keys[b] - m_keys[a] > 0.0 && m_keys[b] - m_keys[a] <= kMaxGap; };
    size_t from = i, to = i;
    if (i > 0 && near(i - 1, i))
        from = i - 1;
    if (i + 1 < m_keys.size() && near(i, i + 1))
        to = i + 1;
    if (from == to)
        return std::nullopt;
    const GeodeticPosition& o = m_samples[i].position;
    const LocalTangentPlane plane(o.latitude, o.longitude, o.altitude);
    const GeodeticPosition& a = m_samples[from].position;
    const GeodeticPosition& b = m_samples[to].position;
    const EastNorthUp ea = plane.FromGeodetic(a.latitude, a.longitude, a.altitude);
    const EastNorthUp eb = plane.FromGeodetic(b.latitude, b.longitude, b.altitude);
    const double dt = m_keys[to] - m_keys[from];
    return HorizontalVelocity{(eb.east - ea.east) / dt, (eb.north - ea.north) / dt};
}

ReferenceTrack::Match ReferenceTrack::MatchOf(size_t i) const
{
    const TrackSample& s = m_samples[i];
    return {s.position, s.hasHeight, VelocityAt(i), s.readTime, EpochKey(m_keys[i])};
}

std::optional<ReferenceTrack::Match> ReferenceTrack::Find(const std::optional<EpochTime>& time) const
{
    if (m_kind == Kind::Point)
        return Match{*m_point, true, std::nullopt, std::nullopt, std::nullopt};
    if (!time)
        return std::nullopt;
    const std::optional<double> key = KeyOf(*time);
    if (!key)
        return std::nullopt;
    // m_keys[after - 1] <= key < m_keys[after]
    const size_t after = static_cast<size_t>(std::upper_bound(m_keys.begin(), m_keys.end(), *key) - m_keys.begin());
    std::optional<size_t> nearest;
    double distance = m_tolerance;
    for (size_t i : {after - 1, after}) {
        if (i < m_keys.size() && std::fabs(m_keys[i] - *key) <= distance) {
            distance = std::fabs(m_keys[i] - *key);
            nearest = i;
        }
    }
    if (m_kind == Kind::Receiver || after == 0 || after == m_keys.size() || m_keys[after] - m_keys[after - 1] > kMaxGap) {
        if (!nearest)
            return std::nullopt;
        return MatchOf(*nearest);
    }
    const size_t a = after - 1, b = after;
    const double w = (*key - m_keys[a]) / (m_keys[b] - m_keys[a]);
    const auto lerp = [w](double x, double y) { return x + w * (y - x); };
    const TrackSample& sa = m_samples[a];
    const TrackSample& sb = m_samples[b];
    Match m;
    m.position = {lerp(sa.position.latitude, sb.position.latitude), lerp(sa.position.longitude, sb.position.longitude),
                  lerp(sa.position.altitude, sb.position.altitude)};
    m.hasHeight = sa.hasHeight && sb.hasHeight;
    const std::optional<HorizontalVelocity> va = VelocityAt(a), vb = VelocityAt(b);
    if (va && vb)
        m.velocity = HorizontalVelocity{lerp(va->east, vb->east), lerp(va->north, vb->north)};
    else
        m.velocity = va ? va : vb;
    if (nearest)
        m.epoch = EpochKey(m_keys[*nearest]);
    return m;
}

bool ReferenceTrack::Settled(const std::optional<EpochTime>& time) const
{
    if (m_complete || m_kind == Kind::Point || !time)
        return true;
    const std::optional<double> key = KeyOf(*time);
    return key && m_keys.back() > *key + m_tolerance;
}
