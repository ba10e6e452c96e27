#include "compare/compare_feed.h"

#include <algorithm>

std::vector<SignalDifference> SignalDifferences(const GnssSnapshot& a, const GnssSnapshot& b)
{
    std::vector<SignalDifference> out;
    const auto key = [](const GnssSignalView& s) { return std::tuple(SystemIndex(s.system), s.number, s.signal); };
    for (const GnssSignalView& s : a.satellites) {
        if (!s.cnr)
            continue;
        const auto other = std::find_if(b.satellites.begin(), b.satellites.end(),
                                        [&](const GnssSignalView& t) { return key(t) == key(s) && t.cnr; });
        if (other != b.satellites.end())
            out.push_back({s.system, s.number, s.signal, *s.cnr - *other->cnr});
    }
    return out;
}

CompareFeed::CompareFeed()
    : m_comparison(ReferenceTrack(ReferenceTrack::Kind::Trajectory, Comparison::kDefaultTolerance))
{
    Rebuild();
}

CompareFeed::ReceiverEntry& CompareFeed::EntryFor(int id, const std::string& name)
{
    for (ReceiverEntry& r : m_receivers)
        if (r.id == id) {
            r.name = name;
            return r;
        }
    m_receivers.push_back({id, name, {}, {}, -1});
    ReceiverEntry& r = m_receivers.back();
    if (!(m_kind == ReferenceKind::Receiver && id == m_referenceId))
        r.index = m_comparison.AddReceiver(ReadClock::Steady);
    return r;
}

void CompareFeed::AddFix(int id, const std::string& name, const DisplaySnapshot& display, const GnssSnapshot& gnss,
                         double readSeconds)
{
    ReceiverEntry& r = EntryFor(id, name);
    const CompareFix fix = CompareFixOf(display, gnss, readSeconds);
    r.lastGnss = gnss;
    if (r.fixes.size() < kMaxKeptFixes)
        r.fixes.push_back(fix);
    if (r.index < 0)
        m_comparison.AddReferenceFix(fix);
    else
        m_comparison.AddFix(r.index, fix);
}

void CompareFeed::Clear()
{
    for (ReceiverEntry& r : m_receivers) {
        r.fixes.clear();
        r.lastGnss = {};
    }
    Rebuild();
}

void CompareFeed::SetPointReference(const std::optional<GeodeticPosition>& point)
{
    m_kind = point ? ReferenceKind::Point : ReferenceKind::None;
    m_point = point;
    Rebuild();
}

void CompareFeed::SetTrajectoryReference(const std::string& name, std::vector<TrackSample> samples)
{
    m_kind = ReferenceKind::Trajectory;
    m_trajectoryName = name;
    m_trajectory = std::move(samples);
    Rebuild();
}

void CompareFeed::SetReceiverReference(int id)
{
    m_kind = ReferenceKind::Receiver;
    m_referenceId = id;
    Rebuild();
}

void CompareFeed::SetTolerance(double seconds)
{
    m_tolerance = seconds;
    Rebuild();
}

std::optional<int> CompareFeed::ReferenceReceiver() const
{
    if (m_kind != ReferenceKind::Receiver)
        return std::nullopt;
    return m_referenceId;
}

void CompareFeed::Rebuild()
{
    switch (m_kind) {
    case ReferenceKind::Point:
        m_comparison = Comparison(ReferenceTrack::AtPoint(*m_point));
        break;
    case ReferenceKind::Trajectory: {
        ReferenceTrack track(ReferenceTrack::Kind::Trajectory, m_tolerance);
        for (const TrackSample& s : m_trajectory)
            track.Add(s);
        track.SetComplete(true);
        m_comparison = Comparison(std::move(track));
        break;
    }
    case ReferenceKind::Receiver:
        m_comparison = Comparison(ReferenceTrack(ReferenceTrack::Kind::Receiver, m_tolerance), ReadClock::Steady);
        break;
    case ReferenceKind::None: {
        // Nothing to match: fixes are counted, none waits.
        ReferenceTrack none(ReferenceTrack::Kind::Trajectory, m_tolerance);
        none.SetComplete(true);
        m_comparison = Comparison(std::move(none));
        break;
    }
    }
    const bool byReceiver = m_kind == ReferenceKind::Receiver;
    for (ReceiverEntry& r : m_receivers)
        r.index = byReceiver && r.id == m_referenceId ? -1 : m_comparison.AddReceiver(ReadClock::Steady);
    // The reference's fixes first, so that every fix finds its epoch at once.
    for (const ReceiverEntry& r : m_receivers)
        if (r.index < 0)
            for (const CompareFix& f : r.fixes)
                m_comparison.AddReferenceFix(f);
    for (const ReceiverEntry& r : m_receivers)
        if (r.index >= 0)
            for (const CompareFix& f : r.fixes)
                m_comparison.AddFix(r.index, f);
}

std::vector<const CompareFeed::ReceiverEntry*> CompareFeed::UnderTest() const
{
    std::vector<const ReceiverEntry*> out;
    for (const ReceiverEntry& r : m_receivers)
        if (r.index >= 0)
            out.push_back(&r);
    return out;
}

const CompareFeed::ReceiverEntry* CompareFeed::Receiver(int id) const
{
    for (const ReceiverEntry& r : m_receivers)
        if (r.id == id)
            return &r;
    return nullptr;
}

std::optional<std::pair<const CompareFeed::ReceiverEntry*, const CompareFeed::ReceiverEntry*>>
CompareFeed::SignalPair() const
{
    const std::vector<const ReceiverEntry*> tested = UnderTest();
    if (tested.empty())
        return std::nullopt;
    if (const std::optional<int> id = ReferenceReceiver())
        if (const ReceiverEntry* reference = Receiver(*id))
            return std::pair(tested[0], reference);
    if (tested.size() >= 2)
        return std::pair(tested[0], tested[1]);
    return std::nullopt;
}
