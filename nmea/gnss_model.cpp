#include "nmea/gnss_model.h"

#include <algorithm>

#include "nmea/number_text.h"
#include "nmea/phrase_table.h"
#include "nmea/receiver_sentences.h"

namespace {

inline bool Same(const GnssModel::Talker& a, const GnssModel::Talker& b) { return a[0] == b[0] && a[1] == b[1]; }

// Seconds of the day from "hh:mm:ss[.f]" as FormatNmeaTime writes it.
std::optional<double> SecondsOf(const std::string& time)
{
    if (time.size() < 8)
        return std::nullopt;
    const auto two = [&](size_t at) { return (time[at] - '0') * 10 + (time[at + 1] - '0'); };
    double seconds = two(0) * 3600.0 + two(3) * 60.0 + two(6);
    if (time.size() > 9)
        seconds += stelmap::ParseDecimal(std::string_view(time).substr(8));
    return seconds;
}

// How much older `stamp` is than `now`, both seconds of a day; a stamp a
// little before midnight is old at a time a little after.
double Age(double now, double stamp)
{
    double age = now - stamp;
    if (age < -43200.0)
        age += 86400.0;
    else if (age > 43200.0)
        age -= 86400.0;
    return age;
}

}  // namespace

void GnssModel::OnSentence(std::string_view address, std::string_view data)
{
    const SentenceType type = ClassifyAddress(address).model;
    if (type == SentenceType::Other)
        return;
    const Talker talker{address[0], address[1]};
    const SentenceFields f(data);
    switch (type) {
    case SentenceType::Gsv:
        DecodeGsv(f, m_message, talker == Talker{'P', 'Q'});
        OnGsv(talker, m_message);
        break;
    case SentenceType::Gsa: OnGsa(talker, DecodeGsa(f)); break;
    case SentenceType::Rmc: OnRmc(DecodeRmc(f)); break;
    case SentenceType::Zda: OnZda(DecodeZda(f)); break;
    case SentenceType::Gns: OnGns(DecodeGns(f)); break;
    case SentenceType::Gst: OnGst(DecodeGst(f)); break;
    case SentenceType::Gbs: OnGbs(talker, DecodeGbs(f)); break;
    case SentenceType::Gga: {
        const GgaFields gga = DecodeGga(f);
        if (!gga.ImpossiblePosition()) {
            OnGgaTime(data.substr(0, data.find(',')));
            OnGga(gga.timeOfDay);
        }
        break;
    }
    default: break;
    }
}

void GnssModel::OnRmc(const RmcFields& rmc)
{
    m_date = rmc.date;
    m_time = rmc.time;
    m_zoneHours.reset();
    m_zoneMinutes.reset();
    if (const std::optional<double> t = SecondsOf(rmc.time))
        m_lastTime = t;
    m_rmcStatus = rmc.status;
    m_rmcMode = rmc.mode;
}

void GnssModel::OnZda(const ZdaFields& zda)
{
    m_date = zda.date;
    m_time = zda.time;
    m_zoneHours = zda.zoneHours;
    m_zoneMinutes = zda.zoneMinutes;
    if (const std::optional<double> t = SecondsOf(zda.time))
        m_lastTime = t;
}

void GnssModel::OnGga(std::optional<double> timeOfDay)
{
    if (timeOfDay)
        m_lastTime = timeOfDay;
    for (Stream& stream : m_streams) {
        if (stream.satellites.empty())
            continue;
        ++stream.ggasSince;
        const bool stale = stream.stamp ? timeOfDay && Age(*timeOfDay, *stream.stamp) > kStaleSeconds
                                        : stream.ggasSince > kStaleGgas;
        if (stale) {
            stream.satellites.clear();
            m_mergedDirty = true;
            m_mergedSorted = false;
        }
    }
}

void GnssModel::Reset()
{
    m_lastTime.reset();
    m_cycles.clear();
    m_streams.clear();
    m_merged.clear();
    m_mergedDirty = false;
    m_mergedFrom.clear();
    m_mergedSorted = false;
    m_mergedUsedDirty = true;
    m_clock = 0;
    m_used = {};
    m_date.reset();
    m_time.clear();
    m_fixTime.clear();
    m_zoneHours.reset();
    m_zoneMinutes.reset();
    m_rmcStatus = 0;
    m_rmcMode = 0;
    m_gns.reset();
    m_gst.reset();
    m_gbs.reset();
}

GnssModel::OpenCycle* GnssModel::FindCycle(Talker talker, int signal)
{
    for (OpenCycle& c : m_cycles)
        if (c.open && c.signal == signal && Same(c.talker, talker))
            return &c;
    return nullptr;
}

// Slots of finished cycles are reused, keeping their storage: a receiver
// opens a few dozen cycles a second.
GnssModel::OpenCycle& GnssModel::OpenNewCycle(Talker talker, int signal)
{
    OpenCycle* slot = nullptr;
    for (OpenCycle& c : m_cycles)
        if (c.signal == signal && Same(c.talker, talker))
            slot = &c;
    if (slot == nullptr) {
        for (OpenCycle& c : m_cycles)
            if (!c.open && (slot == nullptr || c.touched < slot->touched))
                slot = &c;
    }
    if (slot == nullptr && m_cycles.size() < kMaxOpenCycles)
        slot = &m_cycles.emplace_back();
    if (slot == nullptr)
        slot = &*std::min_element(m_cycles.begin(), m_cycles.end(),
                                  [](const OpenCycle& a, const OpenCycle& b) { return a.touched < b.touched; });
    slot->talker = talker;
    slot->signal = signal;
    slot->open = true;
    slot->pairs.clear();
    slot->satellites.clear();
    return *slot;
}

GnssModel::Stream& GnssModel::StreamFor(Talker talker, int signal)
{
    for (Stream& s : m_streams)
        if (s.signal == signal && Same(s.talker, talker))
            return s;
    m_mergedSorted = false;  // a stream comes or goes: indices and satellites change
    if (m_streams.size() >= kMaxStreams) {
        auto oldest = std::min_element(m_streams.begin(), m_streams.end(),
                                       [](const Stream& a, const Stream& b) { return a.completed < b.completed; });
        m_streams.erase(oldest);
    }
    Stream& stream = m_streams.emplace_back();
    stream.talker = talker;
    stream.signal = signal;
    return stream;
}

// $GPGSV,3,1,12,05,06,110,19,10,24,284,34,13,37,124,29,15,63,083,11,1*60
void GnssModel::OnGsv(Talker talker, const GsvMessage& m)
{
    if (!m.InCycle())
        return;
    // Quectel's PQGSV: the system ID names the system, whose numbers then
    // read as that system's own talker's.
    if (Same(talker, Talker{'P', 'Q'})) {
        if (m.systemId == 4)
            talker = Talker{'G', 'B'};
        else if (m.systemId == 5)
            talker = Talker{'Q', 'Z'};
    }

    OpenCycle* cycle = nullptr;
    const int number = *m.number;
    const int total = *m.total;
    if (number == 1) {
        cycle = &OpenNewCycle(talker, m.signal);
        cycle->total = total;
        cycle->next = 1;
    } else if (OpenCycle* own = FindCycle(talker, m.signal)) {
        if (own->next == number)
            cycle = own;
    } else {
        const auto continues = [&](const OpenCycle& c) { return c.open && c.total == total && c.next == number; };
        for (OpenCycle& same : m_cycles)
            if (continues(same) && Same(same.talker, talker)) {
                cycle = &same;
                break;
            }
        for (OpenCycle& other : m_cycles)
            if (cycle == nullptr && continues(other) && other.signal == m.signal) {
                cycle = &other;
                break;
            }
    }
    if (cycle == nullptr)
        return;

    cycle->touched = ++m_clock;
    if (std::none_of(cycle->pairs.begin(), cycle->pairs.end(),
                     [&](const Pair& p) { return p.signal == m.signal && Same(p.talker, talker); }))
        cycle->pairs.push_back({talker, m.signal});
    for (int i = 0; i < m.groupCount && cycle->satellites.size() < kMaxCycleSatellites; ++i) {
        const GsvGroup& g = m.groups[static_cast<size_t>(i)];
        if (!g.numberIsNumber || g.number.value_or(0) == 0)
            continue;  // a group with no number is no satellite
        cycle->satellites.push_back({talker, m.signal, GsvSatellite{*g.number, g.elevation, g.azimuth, g.cnr}});
    }
    ++cycle->next;
    if (number >= cycle->total) {
        Complete(*cycle);
        cycle->open = false;
    }
}

void GnssModel::Complete(const OpenCycle& cycle)
{
    m_mergedDirty = true;
    const uint64_t completed = ++m_clock;
    // Every (talker, signal) that sent a message of the cycle replaces its
    // own stream, also with nothing when it listed no satellite.
    for (const Pair& pair : cycle.pairs) {
        Stream& stream = StreamFor(pair.talker, pair.signal);
        stream.completed = completed;
        stream.stamp = m_lastTime;
        stream.ggasSince = 0;
        m_keyScratch.clear();
        for (const StreamSatellite& sat : stream.satellites)
            m_keyScratch.push_back(sat.key);
        stream.satellites.clear();
        const std::string_view talkerText(pair.talker.data(), 2);
        const GnssSystem named = SystemOfTalker(talkerText);  // the talker's, looked up once
        for (const Contribution& c : cycle.satellites)
            if (c.signal == pair.signal && Same(c.talker, pair.talker)) {
                const GnssSatelliteId id = named != GnssSystem::Unknown
                                               ? GnssSatelliteId{named, c.satellite.number}
                                               : SatelliteOfTalker(talkerText, c.satellite.number);
                const uint64_t key = (static_cast<uint64_t>(SystemIndex(id.system)) << 56)
                                     | (static_cast<uint64_t>(static_cast<uint32_t>(id.number) ^ 0x80000000u) << 16)
                                     | static_cast<uint64_t>(pair.signal & 0xFFFF);
                stream.satellites.push_back({id, c.satellite, key});
            }
        const bool sameKeys = m_keyScratch.size() == stream.satellites.size()
                              && std::equal(m_keyScratch.begin(), m_keyScratch.end(), stream.satellites.begin(),
                                            [](uint64_t key, const StreamSatellite& sat) { return key == sat.key; });
        if (!sameKeys)
            m_mergedSorted = false;
    }
}

// $GNGSA,A,3,13,16,21,15,10,29,27,20,,,,,1.05,0.64,0.83,1*03
void GnssModel::OnGsa(Talker talker, const GsaFields& gsa)
{
    const std::string_view talkerText(talker.data(), 2);
    const GnssSystem byId = SystemOfId(gsa.systemId);

    std::array<bool, kGnssSystemCount> replaced{};
    std::array<UsedList, kGnssSystemCount> lists{};
    const GnssSystem named = byId != GnssSystem::Unknown ? byId : SystemOfTalker(talkerText);
    if (named != GnssSystem::Unknown)
        replaced[static_cast<size_t>(SystemIndex(named))] = true;
    for (const GsaSlot& slot : gsa.usedSlots) {
        if (!slot.present)
            continue;
        const int number = slot.number;
        const GnssSatelliteId id = byId != GnssSystem::Unknown ? SatelliteOfSystemId(byId, number)
                                                               : SatelliteOfTalker(talkerText, number);
        const auto s = static_cast<size_t>(SystemIndex(id.system));
        replaced[s] = true;
        UsedList& list = lists[s];
        list.numbers[static_cast<size_t>(list.count++)] = id.number;  // twelve numbers at most
    }
    for (size_t s = 0; s < replaced.size(); ++s)
        if (replaced[s] && (m_used[s].count != lists[s].count || m_used[s].numbers != lists[s].numbers)) {
            m_used[s] = lists[s];
            m_mergedUsedDirty = true;
        }
}

// $GNGBS,231412.00,0.1,0.1,0.1,04,,73.7,45.5,1,1*5A
void GnssModel::OnGbs(Talker talker, const GbsFields& gbs)
{
    GnssIntegrity out;
    out.errLat = gbs.errLat;
    out.errLon = gbs.errLon;
    out.errAlt = gbs.errAlt;
    if (gbs.suspect) {
        const GnssSystem byId = SystemOfId(gbs.systemId);
        out.suspect = byId != GnssSystem::Unknown ? SatelliteOfSystemId(byId, *gbs.suspect)
                                                  : SatelliteOfTalker(std::string_view(talker.data(), 2), *gbs.suspect);
    }
    out.probability = gbs.probability;
    out.bias = gbs.bias;
    out.sigma = gbs.sigma;
    m_gbs = out;
}

void GnssModel::CopyTo(GnssSnapshot& out) const
{
    out.date = m_date;
    out.time = m_time;
    out.fixTime = m_fixTime;
    out.zoneHours = m_zoneHours;
    out.zoneMinutes = m_zoneMinutes;
    out.rmcStatus = m_rmcStatus;
    out.rmcMode = m_rmcMode;
    out.gns = m_gns;
    out.gst = m_gst;
    out.gbs = m_gbs;

    if (m_mergedDirty)
        Merge();
    if (m_mergedUsedDirty)
        MarkUsed();
    out.satellites = m_merged;
}

void GnssModel::MarkUsed() const
{
    for (GnssSignalView& v : m_merged) {
        const UsedList& used = m_used[static_cast<size_t>(SystemIndex(v.system))];
        const auto usedEnd = used.numbers.begin() + used.count;
        v.used = std::find(used.numbers.begin(), usedEnd, v.number) != usedEnd;
    }
    m_mergedUsedDirty = false;
}

// Every stream's satellites sorted by (system, number, signal), the most
// recently completed stream first within one key so that it is the one
// kept. Sorting small index records keeps this cheap.
void GnssModel::Merge() const
{
    m_mergedDirty = false;
    if (m_mergedSorted) {  // the same satellites: the used flags stand
        for (size_t k = 0; k < m_merged.size(); ++k) {
            const Stream& stream = m_streams[m_mergedFrom[k] >> 16];
            const GsvSatellite& sat = stream.satellites[m_mergedFrom[k] & 0xFFFF].satellite;
            GnssSignalView& v = m_merged[k];
            v.elevation = sat.elevation;
            v.azimuth = sat.azimuth;
            v.cnr = sat.cnr;
        }
        return;
    }
    m_mergedUsedDirty = true;
    auto& order = m_mergeScratch;
    order.clear();
    for (uint32_t s = 0; s < m_streams.size(); ++s) {
        const Stream& stream = m_streams[s];
        // Later completions first (the complement of the clock's low 32 bits:
        // 2^32 completions are years of a fast receiver), then by index.
        const uint64_t late = static_cast<uint64_t>(~static_cast<uint32_t>(stream.completed)) << 32;
        for (uint32_t i = 0; i < stream.satellites.size(); ++i)
            order.push_back({stream.satellites[i].key, late | (static_cast<uint64_t>(i & 0xFFFF) << 16) | (s & 0xFFFF)});
    }
    std::sort(order.begin(), order.end(), [](const MergeEntry& a, const MergeEntry& b) {
        return a.key != b.key ? a.key < b.key : a.order < b.order;
    });
    m_merged.clear();
    m_mergedFrom.clear();
    bool duplicates = false;
    for (size_t k = 0; k < order.size(); ++k) {
        if (k > 0 && order[k].key == order[k - 1].key) {
            duplicates = true;
            continue;
        }
        const uint32_t s = static_cast<uint32_t>(order[k].order & 0xFFFF);
        const uint32_t i = static_cast<uint32_t>((order[k].order >> 16) & 0xFFFF);
        const Stream& stream = m_streams[s];
        const StreamSatellite& sat = stream.satellites[i];
        m_merged.push_back({sat.id.system, sat.id.number, stream.signal, sat.satellite.elevation,
                            sat.satellite.azimuth, sat.satellite.cnr, false});
        m_mergedFrom.push_back(s << 16 | i);
    }
    // With a satellite in two streams the later completion wins: the next
    // merge must sort again. Indices past 16 bits do not fit the record.
    m_mergedSorted = !duplicates && m_streams.size() <= 0xFFFF;
}
