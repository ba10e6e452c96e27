#include "bench/old_core/receiver_state.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "bench/old_core/number_text.h"

namespace old_core {

using stelmap::ParseDecimal;
using stelmap::ParseInteger;

namespace {

// One field of a sentence's data, as GetField would extract it.
struct Field {
    std::string_view text;  // empty when the field is empty or missing
    bool found = false;     // GetField's result
};

// Splits the data once so that a decoder reading a dozen fields walks the
// text once instead of once per field, and only as far as the N fields it
// reads. Gives exactly what GetField gives for those fields.
template <int N>
class FieldList {
public:
    explicit FieldList(const char* data)
        : m_data(data != nullptr ? data : "")
    {
        if (m_data.empty())
            return;  // an empty text is not walked: every field is its terminator
        // Framed data never holds a '*'; only a text handed in directly may.
        m_hasStar = m_data.find('*') != std::string_view::npos;
        size_t start = 0;
        for (size_t i = 0; m_count < N; ++i) {
            if (i == m_data.size() || m_data[i] == ',') {
                m_begin[m_count] = start;
                m_end[m_count] = i;
                ++m_count;
                start = i + 1;
                if (i == m_data.size())
                    break;
            }
        }
    }

    Field operator[](int index) const
    {
        static_assert(N > 0);
        if (m_data.empty())
            return {{}, true};
        if (index < 0)
            index = 0;
        if (index >= m_count)
            return {};
        const size_t begin = m_begin[index];
        const size_t end = m_end[index];
        std::string_view text = m_data.substr(begin, end - begin);
        const bool last = end == m_data.size();
        // GetField stops at '*' (never in framed data) and copies 255 at most.
        text = text.substr(0, std::min(m_hasStar ? text.find('*') : text.size(), size_t{SentenceFramer::kFieldSize - 1}));
        if (text.empty() && (!last || (begin < m_data.size() && m_data[begin] == '*')))
            return {};
        return {text, true};
    }

private:
    std::string_view m_data;
    size_t m_begin[N];
    size_t m_end[N];
    int m_count = 0;
    bool m_hasStar = false;
};

std::string_view Head(std::string_view text, size_t n) { return text.substr(0, n); }

std::string_view Tail(std::string_view text, size_t from)
{
    return from < text.size() ? text.substr(from) : std::string_view{};
}

// Degrees from NMEA "ddmm.mmmm" (degreeDigits 2) or "dddmm.mmmm" (3). A
// field shorter than its degree digits reads only what is there.
double DegreesFromNmea(std::string_view text, size_t degreeDigits)
{
    return ParseDecimal(Tail(text, degreeDigits)) / 60.0 + ParseDecimal(Head(text, degreeDigits));
}

int TwoDigits(std::string_view text, size_t at)
{
    return 10 * (text[at] - '0') + (text[at + 1] - '0');
}

// Addresses are at most seven characters: a plain loop beats memchr here.
bool Contains(std::string_view text, std::string_view part)
{
    if (part.size() > text.size())
        return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i) {
        size_t j = 0;
        while (j < part.size() && text[i + j] == part[j])
            ++j;
        if (j == part.size())
            return true;
    }
    return false;
}

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

    m_gnssModel.Reset();
}

bool ReceiverState::DroppedByDualModeFilter(std::string_view address) const
{
    if (m_dualMode.load() != 1)
        return false;
    const std::string_view talker = Head(address, 2);
    const int mode = m_solutionMode.load();
    return (talker == "GN" && mode == Integrity) || (talker == "GP" && mode == Precision);
}

int ReceiverState::OnSentence(const char* address, const char* data)
{
    const std::string_view a(address);
    if (DroppedByDualModeFilter(a))
        return 1;
    m_gnssModel.OnSentence(address, data);

    // A substring test, so every talker is accepted for GGA, GSA and VTG.
    if (Contains(a, "GGA")) {
        DecodeGGA(data);
        if (m_positionHandOff)
            m_positionHandOff();
    } else if (Contains(a, "GSA")) {
        DecodeGSA(data);
    } else if (Contains(a, "VTG")) {
        DecodeVTG(data);
    } else if (Contains(a, "GSV")) {
        if (Contains(a, "GPGSV") || Contains(a, "GNGSV"))
            DecodeGPSGSV(data);
        else if (Contains(a, "GLGSV"))
            DecodeGLONASSGSV(data);
        MergeSatellites();  // even for talkers we do not decode
    } else if (Contains(a, "PXTNCFG")) {
        DecodeConfigReply(data);
    } else if (Contains(a, "RAIM")) {
        DecodeRAIM(data);
    }
    return 1;
}

void ReceiverState::OnChecksumError(const char*, const char*) {}

// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47
void ReceiverState::DecodeGGA(const char* data)
{
    const FieldList<9> f(data);

    // Six characters or nothing: a shorter time never reads past its text.
    const std::string_view time = f[0].text;
    m_utcValid = time.size() >= 6;
    if (m_utcValid) {
        m_utcHour = TwoDigits(time, 0);
        m_utcMinute = TwoDigits(time, 2);
        m_utcSecond = TwoDigits(time, 4);
    }

    const std::string_view latitude = f[1].text;
    m_latitude = latitude.empty() ? 0.0 : DegreesFromNmea(latitude, 2);
    if (f[2].text.starts_with('S'))
        m_latitude = -m_latitude;

    const std::string_view longitude = f[3].text;
    m_longitude = longitude.empty() ? 0.0 : DegreesFromNmea(longitude, 3);
    if (f[4].text.starts_with('W'))
        m_longitude = -m_longitude;

    // Without a fix many receivers leave these empty; keep the last values.
    if (const auto q = f[5].text; !q.empty())
        m_fixQuality = q[0] - '0';
    if (const auto n = f[6].text; !n.empty())
        m_satsInUse = ParseInteger(Head(n, 2));
    if (const auto h = f[7].text; !h.empty())
        m_ggaHdop = ParseDecimal(h);
    if (const auto alt = f[8].text; !alt.empty())
        m_altitude = ParseDecimal(alt);

    const std::string_view quality = f[5].text;
    const bool qualityDigit = quality.size() == 1 && quality[0] >= '1' && quality[0] <= '9';
    m_ggaCountedQuality = qualityDigit && !latitude.empty() && !longitude.empty() ? quality[0] - '0' : 0;

    ++m_ggaCount;
}

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
void ReceiverState::DecodeGSA(const char* data)
{
    const FieldList<17> f(data);

    if (const auto mode = f[0].text; !mode.empty())
        m_gsaMode = mode[0];
    if (const auto type = f[1].text; !type.empty())
        m_gsaFixType = type[0] - '0';

    // Two digits only: a three-digit PRN such as 120 reads as 12.
    std::array<int, 12> prns{};
    int smallest = 9999;
    for (int slot = 0; slot < 12; ++slot) {
        const Field field = f[2 + slot];
        if (!field.found)
            continue;
        prns[static_cast<size_t>(slot)] = ParseInteger(Head(field.text, 2));
        smallest = std::min(smallest, prns[static_cast<size_t>(slot)]);
    }

    // A GSA describes one constellation; its smallest PRN tells which.
    const bool glonass = smallest > kLastSbasPrn && smallest <= kLastGlonassPrn;
    if (smallest >= 1 && smallest <= kLastGpsPrn)
        std::copy(prns.begin(), prns.end(), m_gpsPrnsUsed.begin());
    else if (glonass)
        std::copy(prns.begin(), prns.end(), m_glonassPrnsUsed.begin());

    const double pdop = ParseDecimal(f[14].text);
    const double hdop = ParseDecimal(f[15].text);
    const double vdop = ParseDecimal(f[16].text);
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

// $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25
void ReceiverState::DecodeVTG(const char* data)
{
    const FieldList<9> f(data);
    if (const auto t = f[0].text; !t.empty())
        m_courseTrue = ParseDecimal(t);
    if (const auto t = f[2].text; !t.empty())
        m_courseMagnetic = ParseDecimal(t);
    if (const auto t = f[4].text; !t.empty())
        m_speedKnots = ParseDecimal(t);
    if (const auto t = f[6].text; !t.empty())
        m_speedKmh = ParseDecimal(t);
    // The mode indicator (NMEA 2.3 on) follows the "K" of the km/h unit.
    if (const auto t = f[8].text; !t.empty())
        m_vtgMode = t[0];
}

// $GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74
void ReceiverState::DecodeGSV(const char* data, SatelliteViewTable& table)
{
    const FieldList<19> f(data);

    const int total = ParseInteger(f[0].text);
    if (total < 1 || total > 9)
        return;
    const int message = ParseInteger(f[1].text);
    if (message < 1 || message > 9)
        return;  // also keeps every write inside entries 0 to 35
    if (const auto count = f[2].text; !count.empty())
        table.count = ParseInteger(count);

    for (int j = 0; j < 4; ++j) {
        // Short messages still write all four entries: the surplus ones become zero.
        SatelliteInView& sat = table.entries[static_cast<size_t>(4 * (message - 1) + j)];
        sat.prn = ParseInteger(f[3 + 4 * j].text);
        sat.elevation = ParseInteger(f[4 + 4 * j].text);
        sat.azimuth = ParseInteger(f[5 + 4 * j].text);
        sat.snr = ParseInteger(f[6 + 4 * j].text);
        const auto inList = [&](const std::array<int, kMaxSatellites>& list) {
            return std::find(list.begin(), list.begin() + 12, sat.prn) != list.begin() + 12;
        };
        sat.used = sat.prn != 0 && (inList(m_gpsPrnsUsed) || inList(m_glonassPrnsUsed)) ? 1 : 0;
    }
    ++table.sentenceCount;
}

void ReceiverState::DecodeGPSGSV(const char* data) { DecodeGSV(data, m_gpsInView); }

void ReceiverState::DecodeGLONASSGSV(const char* data) { DecodeGSV(data, m_glonassInView); }

void ReceiverState::MergeSatellites()
{
    // Counts are stored as the receiver sent them; only what fits is copied.
    const int gps = m_gpsInView.UsableCount();
    const int glonass = std::min(m_glonassInView.UsableCount(), kMaxSatellites - gps);
    auto out = std::copy_n(m_gpsInView.entries.begin(), gps, m_allInView.entries.begin());
    out = std::copy_n(m_glonassInView.entries.begin(), glonass, out);
    for (; out != m_allInView.entries.end(); ++out) {
        out->prn = 0;
        out->snr = 0;
        out->azimuth = 0;
        out->elevation = 0;  // the used flag keeps its old value
    }
    m_allInView.count = SaturatingAdd(m_gpsInView.count, m_glonassInView.count);
    ++m_allInView.sentenceCount;
}

// $PXTNCFG,...: field 8 tells which solutions the receiver outputs.
void ReceiverState::DecodeConfigReply(const char* data)
{
    if (data == nullptr || *data == '\0')
        return;  // nothing to walk; the terminator matches no letter
    const std::string_view mode = FieldList<9>(data)[8].text;
    if (mode.empty()) {
        m_solutionMode = Integrity;
        m_dualMode = 0;
        return;
    }
    switch (mode[0]) {
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

// $GPRAIM,<HPL cm>,<unused>,<HFOM cm>,...: integrity of the GP solution only.
void ReceiverState::DecodeRAIM(const char* data)
{
    const FieldList<3> f(m_solutionMode.load() == Precision ? "" : data);
    m_raimHfom = ParseInteger(f[2].text);
    m_raimHpl = ParseInteger(f[0].text);
}

}  // namespace old_core
