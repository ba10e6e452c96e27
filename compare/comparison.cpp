#include "compare/comparison.h"

#include <algorithm>
#include <cmath>

#include "geo/local_tangent_plane.h"

namespace {

std::optional<BiasAndSigma> MeanAndSigma(const std::vector<double>& values)
{
    if (values.empty())
        return std::nullopt;
    // Welford's update, as the accuracy figures are computed.
    double mean = 0.0, m2 = 0.0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double delta = values[i] - mean;
        mean += delta / static_cast<double>(i + 1);
        m2 += delta * (values[i] - mean);
    }
    BiasAndSigma out{mean, std::nullopt};
    if (values.size() > 1)
        out.sigma = std::sqrt(m2 / static_cast<double>(values.size() - 1));
    return out;
}

}  // namespace

Comparison::Comparison(ReferenceTrack reference, ReadClock referenceClock)
    : m_reference(std::move(reference))
    , m_referenceClock(referenceClock)
{
}

int Comparison::AddReceiver(ReadClock clock)
{
    m_receivers.push_back({});
    m_receivers.back().clock = clock;
    return static_cast<int>(m_receivers.size()) - 1;
}

void Comparison::AddReferenceFix(const CompareFix& fix)
{
    if (!IsCountedQuality(fix.quality) || !fix.time)
        return;
    m_reference.Add({*fix.time, fix.position, true, fix.quality, fix.readTime});
    for (Receiver& r : m_receivers)
        Drain(r, false);
}

void Comparison::AddFix(int index, const CompareFix& fix)
{
    Receiver& r = m_receivers[static_cast<size_t>(index)];
    ++r.epochs;
    r.waiting.push_back(fix);
    Drain(r, false);
}

void Comparison::Finish()
{
    m_reference.SetComplete(true);
    for (Receiver& r : m_receivers)
        Drain(r, true);
}

void Comparison::Clear()
{
    m_reference.Clear();
    for (Receiver& r : m_receivers) {
        const ReadClock clock = r.clock;
        r = Receiver{};
        r.clock = clock;
    }
}

void Comparison::Drain(Receiver& r, bool all)
{
    // In order: a fix waits while the one before it does. A reference that
    // fell silent costs the oldest waiting fixes their match, not memory.
    while (!r.waiting.empty()
           && (all || r.waiting.size() > kMaxWaiting || m_reference.Settled(r.waiting.front().time))) {
        Resolve(r, r.waiting.front());
        r.waiting.pop_front();
    }
}

void Comparison::Resolve(Receiver& r, const CompareFix& fix)
{
    const bool counted = IsCountedQuality(fix.quality);
    if (counted) {
        ++r.countedFixes;
        ++r.countedByQuality[static_cast<size_t>(fix.quality)];
    }
    const std::optional<ReferenceTrack::Match> match = m_reference.Find(fix.time);
    if (!match)
        return;
    ++r.matched;
    if (match->epoch && counted) {
        r.availableEpochs.insert(*match->epoch);
        r.epochsByQuality[static_cast<size_t>(fix.quality)].insert(*match->epoch);
    }
    if (!counted)
        return;
    const GeodeticPosition& ref = match->position;
    // Without a reference height the plane stands at the fix's own height.
    const LocalTangentPlane plane(ref.latitude, ref.longitude, match->hasHeight ? ref.altitude : fix.position.altitude);
    const EastNorthUp enu = plane.FromGeodetic(fix.position.latitude, fix.position.longitude, fix.position.altitude);
    MatchedError e;
    e.quality = fix.quality;
    e.east = enu.east;
    e.north = enu.north;
    e.up = match->hasHeight ? enu.up : std::nan("");
    if (match->epoch)
        e.key = static_cast<double>(*match->epoch) / 1000.0;
    else if (fix.time)
        e.key = fix.time->Instant().value_or(fix.time->secondsOfDay);
    if (match->velocity) {
        const double speed = std::hypot(match->velocity->east, match->velocity->north);
        if (speed > kMovingSpeed) {
            const double de = match->velocity->east / speed, dn = match->velocity->north / speed;
            e.along = e.east * de + e.north * dn;
            e.cross = e.east * dn - e.north * de;
        }
    }
    if (r.clock != ReadClock::None && r.clock == m_referenceClock && fix.readTime && match->readTime)
        e.latency = *fix.readTime - *match->readTime;
    r.errors.push_back(e);
}

const std::vector<MatchedError>& Comparison::Errors(int receiver) const
{
    return m_receivers[static_cast<size_t>(receiver)].errors;
}

ReceiverComparison Comparison::Figures(int index) const
{
    const Receiver& r = m_receivers[static_cast<size_t>(index)];
    ReceiverComparison out;
    out.epochs = r.epochs;
    out.matched = r.matched;
    // With a fixed point the reference is there at every epoch of the receiver.
    const bool point = m_reference.GetKind() == ReferenceTrack::Kind::Point;
    const int64_t referenceEpochs = point ? r.epochs : static_cast<int64_t>(m_reference.Epochs());
    if (referenceEpochs > 0) {
        const double total = static_cast<double>(referenceEpochs);
        out.availability = static_cast<double>(point ? r.countedFixes : static_cast<int64_t>(r.availableEpochs.size())) / total;
        for (size_t q = 1; q <= kMaxFixQuality; ++q) {
            const int64_t n = point ? r.countedByQuality[q] : static_cast<int64_t>(r.epochsByQuality[q].size());
            if (n > 0)
                out.availabilityByQuality[q] = static_cast<double>(n) / total;
        }
    }
    struct Set {
        std::vector<double> east, north, up;
    };
    Set all;
    std::array<Set, kMaxFixQuality + 1> byQuality;
    std::vector<double> along, cross, latency;
    for (const MatchedError& e : r.errors) {
        for (Set* s : {&all, &byQuality[static_cast<size_t>(e.quality)]}) {
            s->east.push_back(e.east);
            s->north.push_back(e.north);
            s->up.push_back(e.up);
        }
        if (e.along) {
            along.push_back(*e.along);
            cross.push_back(*e.cross);
        }
        if (e.latency)
            latency.push_back(*e.latency);
    }
    out.all = FiguresOfErrors(all.east, all.north, all.up);
    for (size_t q = 1; q <= kMaxFixQuality; ++q)
        if (!byQuality[q].east.empty())
            out.byQuality[q] = FiguresOfErrors(byQuality[q].east, byQuality[q].north, byQuality[q].up);
    out.alongTrack = MeanAndSigma(along);
    out.crossTrack = MeanAndSigma(cross);
    if (!latency.empty()) {
        LatencyFigures l;
        for (double x : latency)
            l.mean += x / static_cast<double>(latency.size());
        std::sort(latency.begin(), latency.end());
        l.p95 = *PercentileOfSorted(latency, 95.0);
        out.latency = l;
    }
    return out;
}
