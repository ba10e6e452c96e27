#include "nmea/receiver_state.h"

#include "nmea/phrase_table.h"

#include <algorithm>
#include <climits>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

int SaturatingAdd(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    return static_cast<int>(std::clamp<long long>(sum, INT_MIN, INT_MAX));
}


constexpr const char* kFixQualityTexts[] = {
    "Invalid",
    "GPS Fix",
    "Differential GPS",
    "PPS Fix",
    "Real Time Kinematic",
    "Float RTK",
    "Estimated (dead reckoning)",
    "Manual input mode",
    "Simulation mode",
};

enum class SatelliteTable { Gps, Glonass, None };

// Which table a GSV fills: GP and GN talkers the GPS one, GL the GLONASS
// one, found anywhere in the address as for every type.
SatelliteTable TableOf(std::string_view address)
{
    if (address.size() == 5) {
        const char a = address[0];
        const char b = address[1];
        if (a == 'G' && (b == 'P' || b == 'N'))
            return SatelliteTable::Gps;
        if (a == 'G' && b == 'L')
            return SatelliteTable::Glonass;
        return SatelliteTable::None;
    }
    if (AddressContains(address, "GPGSV") || AddressContains(address, "GNGSV"))
        return SatelliteTable::Gps;
    return AddressContains(address, "GLGSV") ? SatelliteTable::Glonass : SatelliteTable::None;
}

std::string_view Text(const char* data) { return data != nullptr ? std::string_view(data) : std::string_view(); }

}  // namespace

const char* FixQualityText(int fixQuality)
{
    if (fixQuality < 0 || fixQuality > 8)
        return nullptr;
    return kFixQualityTexts[fixQuality];
}

ReceiverState::ReceiverState()
{
    ResetData();
}

void ReceiverState::ResetData()
{
    m_utcHour = m_utcMinute = m_utcSecond = 0;
    m_utcValid = false;
    m_latitude = m_longitude = 0.0;
    m_fixQuality = 0;
    m_satsInUse = 0;
    m_ggaHdop = 0.0;
    m_altitude = 0.0;
    m_ggaCount = 0;
    m_ggaCountedQuality = 0;
    m_utcTimeOfDay.reset();

    m_gsaMode = 0;
    m_gsaFixType = 0;
    m_gpsPrnsUsed.fill(0);
    m_glonassPrnsUsed.fill(0);
    m_gpsPdop = m_gpsHdop = m_gpsVdop = 0.0;
    m_glonassPdop = m_glonassHdop = m_glonassVdop = 0.0;
    m_gsaCount = 0;

    m_courseTrue = m_courseMagnetic = 0.0;
    m_speedKnots = m_speedKmh = 0.0;
    m_vtgMode = 0;

    m_allInView = {};
    m_gpsInView = {};
    m_glonassInView = {};
    m_allFilled = 0;
    m_allWritten = 0;

    m_gnssModel.Reset();
}

bool ReceiverState::DroppedByDualModeFilter(std::string_view address) const
{
    if (m_dualMode.load(std::memory_order_relaxed) != 1)
        return false;
    if (address.size() < 2 || address[0] != 'G')
        return false;
    const int mode = m_solutionMode.load(std::memory_order_relaxed);
    return (address[1] == 'N' && mode == Integrity) || (address[1] == 'P' && mode == Precision);
}

ReceiverState::Taken ReceiverState::Decode(std::string_view address, std::string_view data, AddressKind kind)
{
    if (DroppedByDualModeFilter(address))
        return Taken::Filtered;
    const SentenceFields f(data);
    if (!m_feedModel)
        kind.model = SentenceType::Other;
    const GnssModel::Talker talker{address.size() > 0 ? address[0] : '\0', address.size() > 1 ? address[1] : '\0'};

    switch (kind.state) {
    case SentenceType::Gga: {
        const GgaFields gga = DecodeGga(f);
        if (!Apply(gga))
            return Taken::Invalid;
        if (kind.model == SentenceType::Gga) {
            m_gnssModel.OnGgaTime(data.substr(0, data.find(',')));
            m_gnssModel.OnGga(gga.timeOfDay);
        }
        return Taken::Fix;
    }
    case SentenceType::Gsa: {
        const GsaFields gsa = DecodeGsa(f);
        if (kind.model == SentenceType::Gsa)
            m_gnssModel.OnGsa(talker, gsa);
        Apply(gsa);
        return Taken::Sentence;
    }
    case SentenceType::Vtg:
        Apply(DecodeVtg(f));
        return Taken::Sentence;
    case SentenceType::Gsv: {
        if (kind.model == SentenceType::Gsv)
            DecodeGsv(f, m_gsv, address[0] == 'P' && address[1] == 'Q');
        else
            DecodeGsvTable(f, m_gsv);
        if (kind.model == SentenceType::Gsv)
            m_gnssModel.OnGsv(talker, m_gsv);
        const int filled = m_allFilled;
        if (const SatelliteTable table = TableOf(address); table == SatelliteTable::Gps)
            Apply(m_gsv, m_gpsInView);
        else if (table == SatelliteTable::Glonass)
            Apply(m_gsv, m_glonassInView);
        MergeSatellitesFrom(filled);  // even for talkers we do not decode
        return Taken::Sentence;
    }
    case SentenceType::ConfigReply:
        if (const std::optional<ConfigReply> reply = ::DecodeConfigReply(f))
            Apply(*reply);
        return Taken::Sentence;
    case SentenceType::Raim:
        Apply(DecodeRaim(f));
        return Taken::Sentence;
    default:
        break;
    }
    switch (kind.model) {
    case SentenceType::Rmc: m_gnssModel.OnRmc(DecodeRmc(f)); break;
    case SentenceType::Zda: m_gnssModel.OnZda(DecodeZda(f)); break;
    case SentenceType::Gns: m_gnssModel.OnGns(DecodeGns(f)); break;
    case SentenceType::Gst: m_gnssModel.OnGst(DecodeGst(f)); break;
    case SentenceType::Gbs: m_gnssModel.OnGbs(talker, DecodeGbs(f)); break;
    default: break;
    }
    return Taken::Sentence;
}

bool ReceiverState::Apply(const GgaFields& gga)
{
    // Not a fix at all: nothing of it is kept, and it is not counted.
    if (gga.ImpossiblePosition())
        return false;
    m_utcTimeOfDay = gga.timeOfDay;
    m_utcValid = gga.time.has_value();
    if (gga.time) {
        m_utcHour = gga.time->hour;
        m_utcMinute = gga.time->minute;
        m_utcSecond = gga.time->second;
    }
    // An empty field writes 0 (with the hemisphere's sign) ...
    m_latitude = gga.latitude.value_or(gga.south ? -0.0 : 0.0);
    m_longitude = gga.longitude.value_or(gga.west ? -0.0 : 0.0);
    // ... but without a fix many receivers leave these empty: keep the last values.
    if (gga.quality)
        m_fixQuality = *gga.quality;
    if (gga.satsInUse)
        m_satsInUse = *gga.satsInUse;
    if (gga.hdop)
        m_ggaHdop = *gga.hdop;
    if (gga.altitude)
        m_altitude = *gga.altitude;
    m_ggaCountedQuality = gga.countedQuality;
    ++m_ggaCount;
    return true;
}

void ReceiverState::Apply(const GsaFields& gsa)
{
    if (gsa.mode)
        m_gsaMode = *gsa.mode;
    if (gsa.fixType)
        m_gsaFixType = *gsa.fixType;

    // Two digits only: a three-digit PRN such as 120 reads as 12.
    std::array<int, 12> prns{};
    int smallest = 9999;
    for (size_t slot = 0; slot < 12; ++slot) {
        if (!gsa.usedSlots[slot].found)
            continue;
        prns[slot] = gsa.usedSlots[slot].twoDigits;
        smallest = std::min(smallest, prns[slot]);
    }

    // A GSA describes one constellation; its smallest PRN tells which.
    const bool glonass = smallest > kLastSbasPrn && smallest <= kLastGlonassPrn;
    if (smallest >= 1 && smallest <= kLastGpsPrn)
        std::copy(prns.begin(), prns.end(), m_gpsPrnsUsed.begin());
    else if (glonass)
        std::copy(prns.begin(), prns.end(), m_glonassPrnsUsed.begin());

    const double pdop = gsa.pdop.value_or(0.0);
    const double hdop = gsa.hdop.value_or(0.0);
    const double vdop = gsa.vdop.value_or(0.0);
    if (glonass) {
        m_glonassPdop = pdop;
        m_glonassHdop = hdop;
        m_glonassVdop = vdop;
    } else {
        m_gpsPdop = pdop;
        m_gpsHdop = hdop;
        m_gpsVdop = vdop;
    }
    ++m_gsaCount;
}

void ReceiverState::Apply(const VtgFields& vtg)
{
    if (vtg.courseTrue)
        m_courseTrue = *vtg.courseTrue;
    if (vtg.courseMagnetic)
        m_courseMagnetic = *vtg.courseMagnetic;
    if (vtg.speedKnots)
        m_speedKnots = *vtg.speedKnots;
    if (vtg.speedKmh)
        m_speedKmh = *vtg.speedKmh;
    if (vtg.mode)
        m_vtgMode = *vtg.mode;
}

// $GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74
void ReceiverState::Apply(const GsvMessage& gsv, SatelliteViewTable& table)
{
    const int total = gsv.total.value_or(0);
    if (total < 1 || total > 9)
        return;
    const int message = gsv.number.value_or(0);
    if (message < 1 || message > 9)
        return;  // also keeps every write inside entries 0 to 35
    if (gsv.inView)
        table.count = *gsv.inView;

    // All twelve compared without an early exit: a search that stops at
    // the match is mispredicted at every satellite.
    const auto inList = [](const std::array<int, kMaxSatellites>& list, int prn) {
#if defined(__SSE2__)
        const __m128i want = _mm_set1_epi32(prn);
        const auto* at = reinterpret_cast<const __m128i*>(list.data());
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(_mm_loadu_si128(at), want),
                                                       _mm_cmpeq_epi32(_mm_loadu_si128(at + 1), want)),
                                          _mm_cmpeq_epi32(_mm_loadu_si128(at + 2), want));
        return _mm_movemask_epi8(hits) != 0;
#else
        int hits = 0;
        for (size_t i = 0; i < 12; ++i)
            hits |= list[i] == prn ? 1 : 0;
        return hits != 0;
#endif
    };
    for (size_t j = 0; j < 4; ++j) {
        // Short messages still write all four entries: the surplus ones become zero.
        SatelliteInView& sat = table.entries[4 * static_cast<size_t>(message - 1) + j];
        sat.prn = gsv.firstFields[4 * j];
        sat.elevation = gsv.firstFields[4 * j + 1];
        sat.azimuth = gsv.firstFields[4 * j + 2];
        sat.snr = gsv.firstFields[4 * j + 3];
        sat.used = sat.prn != 0 && (inList(m_gpsPrnsUsed, sat.prn) | inList(m_glonassPrnsUsed, sat.prn)) ? 1 : 0;
    }
    ++table.sentenceCount;
}

void ReceiverState::DecodeGGA(const char* data) { Apply(DecodeGga(SentenceFields(Text(data)))); }

void ReceiverState::DecodeGSA(const char* data) { Apply(DecodeGsa(SentenceFields(Text(data)))); }

void ReceiverState::DecodeVTG(const char* data) { Apply(DecodeVtg(SentenceFields(Text(data)))); }

void ReceiverState::DecodeGPSGSV(const char* data)
{
    DecodeGsv(SentenceFields(Text(data)), m_gsv);
    Apply(m_gsv, m_gpsInView);
}

void ReceiverState::DecodeGLONASSGSV(const char* data)
{
    DecodeGsv(SentenceFields(Text(data)), m_gsv);
    Apply(m_gsv, m_glonassInView);
}

void ReceiverState::MergeSatellites() { MergeSatellitesFrom(kMaxSatellites); }

void ReceiverState::MergeSatellitesFrom(int previousFilled)
{
    // Counts are stored as the receiver sent them; only what fits is copied.
    const int gps = m_gpsInView.UsableCount();
    const int glonass = std::min(m_glonassInView.UsableCount(), kMaxSatellites - gps);
    auto out = std::copy_n(m_gpsInView.entries.begin(), gps, m_allInView.entries.begin());
    out = std::copy_n(m_glonassInView.entries.begin(), glonass, out);
    // Past what was filled before, the records are zero already.
    const auto clearEnd = m_allInView.entries.begin() + std::max(previousFilled, gps + glonass);
    for (; out < clearEnd; ++out) {
        out->prn = 0;
        out->snr = 0;
        out->azimuth = 0;
        out->elevation = 0;  // the used flag keeps its old value
    }
    m_allFilled = gps + glonass;
    m_allWritten = std::max(m_allWritten, m_allFilled);
    m_allInView.count = SaturatingAdd(m_gpsInView.count, m_glonassInView.count);
    ++m_allInView.sentenceCount;
}

void ReceiverState::DecodeConfigReply(const char* data)
{
    if (const std::optional<ConfigReply> reply = ::DecodeConfigReply(SentenceFields(Text(data))))
        Apply(*reply);
}

void ReceiverState::Apply(const ConfigReply& reply)
{
    if (!reply.solution) {
        m_solutionMode = Integrity;
        m_dualMode = 0;
        return;
    }
    switch (*reply.solution) {
    case 'D':
        m_dualMode = 1;
        break;
    case 'I':
        m_solutionMode = Integrity;
        m_dualMode = 0;
        break;
    case 'P':
        m_solutionMode = Precision;
        m_dualMode = 0;
        break;
    default:
        break;
    }
}

void ReceiverState::DecodeRAIM(const char* data) { Apply(DecodeRaim(SentenceFields(Text(data)))); }

// Integrity of the GP solution only: in Precision mode the values are zeroed.
void ReceiverState::Apply(const RaimFields& raim)
{
    const bool precision = m_solutionMode.load() == Precision;
    m_raimHfom = precision ? 0 : raim.hfomCm.value_or(0);
    m_raimHpl = precision ? 0 : raim.hplCm.value_or(0);
}
