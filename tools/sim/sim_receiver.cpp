#include "tools/sim/sim_receiver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

#include "geo/local_tangent_plane.h"
#include "rtcm/rtcm_messages.h"
#include "tools/sim/dilution_of_precision.h"
#include "tools/sim/gnss_constellations.h"
#include "tools/sim/nmea_format.h"

namespace {

constexpr double kEarthRadius = 6371000.0;
constexpr double kStartOfDay = 12 * 3600.0;  // the first fix is at 12:00:00 UTC
constexpr double kMagneticVariation = 4.5;   // degrees east
constexpr double kKnotsPerMetrePerSecond = 1.943844;
constexpr int kMaxInView = 36;  // nine GSV messages of four
constexpr int kMaxUsed = 12;    // GSA slots

// Days since 1970-01-01 of a civil date, and back (H. Hinnant's algorithms).
long DaysFromCivil(long y, long m, long d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, long& y, long& m, long& d)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2);
}

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

double Parsed(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// Signal level in dB-Hz: strong overhead, weak low; below 3 degrees the
// satellite is in view but not tracked (0, sent as an empty field).
int SignalLevel(double elevation, SimRandom& random)
{
    const double noise = random.Normal();
    if (elevation < 3.0)
        return 0;
    const double level = 18.0 + 30.0 * std::sin(elevation * std::numbers::pi / 180.0) + 1.5 * noise;
    return std::clamp(static_cast<int>(std::lround(level)), 10, 54);
}

std::vector<SimSatellite> Used(const std::vector<SimSatellite>& view, const std::array<int, 97>& snr)
{
    std::vector<SimSatellite> used;
    for (const SimSatellite& s : view)
        if (s.elevation >= 10.0 && snr[static_cast<size_t>(s.prn)] > 0 && s.prn <= 96 && (s.prn <= 32 || s.prn >= 65))
            used.push_back(s);
    std::sort(used.begin(), used.end(), [](const SimSatellite& a, const SimSatellite& b) {
        return a.elevation > b.elevation;
    });
    if (used.size() > kMaxUsed)
        used.resize(kMaxUsed);
    std::sort(used.begin(), used.end(), [](const SimSatellite& a, const SimSatellite& b) { return a.prn < b.prn; });
    return used;
}

std::string Gsa(const char* talker, const std::vector<SimSatellite>& used, const Dops& dops)
{
    std::string prns;
    for (int slot = 0; slot < kMaxUsed; ++slot) {
        if (slot < static_cast<int>(used.size()))
            prns += Format("%02d", used[static_cast<size_t>(slot)].prn);
        prns += ',';
    }
    return NmeaSentence(Format("%sGSA,A,%d,%s%.1f,%.1f,%.1f", talker, dops.valid ? 3 : 1, prns.c_str(), dops.pdop,
                               dops.hdop, dops.vdop));
}

void AddGsv(std::vector<std::string>& out, const char* talker, const std::vector<SimSatellite>& view,
            const std::array<int, 97>& snr)
{
    const int count = std::min(static_cast<int>(view.size()), kMaxInView);
    const int messages = std::max(1, (count + 3) / 4);
    for (int m = 0; m < messages; ++m) {
        std::string body = Format("%sGSV,%d,%d,%02d", talker, messages, m + 1, count);
        for (int j = 4 * m; j < std::min(count, 4 * m + 4); ++j) {
            const SimSatellite& s = view[static_cast<size_t>(j)];
            const int level = snr[static_cast<size_t>(s.prn)];
            body += Format(",%02d,%02d,%03d,", s.prn, static_cast<int>(std::lround(s.elevation)),
                           static_cast<int>(std::lround(s.azimuth)) % 360);
            if (level > 0)
                body += Format("%02d", level);
        }
        out.push_back(NmeaSentence(body));
    }
}

}  // namespace

struct SimReceiver::Solution {
    const char* talker = "GP";
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    int quality = 0;
    int satellites = 0;
    Dops dops;
    double speed = 0.0;   // metres per second
    double course = 0.0;  // degrees true
    char modeLetter = 'A';
    bool raim = false;
    int hplCm = 0;
    int vplCm = 0;
    int hfomCm = 0;
    int vfomCm = 0;
    double trueLatitude = 0.0;
    double trueLongitude = 0.0;
    double trueAltitude = 0.0;
};

void CorrectionInput::Feed(std::string_view bytes, double now)
{
    for (const std::string& frame : m_framer.Feed(bytes)) {
        if (!m_last || now - *m_last > kHoldSeconds)
            m_runStart = now;
        m_last = now;
        if (const auto id = RtcmStationId(RtcmPayload(frame)))
            m_stationId = *id;
    }
}

CorrectionInput::Effect CorrectionInput::At(double now) const
{
    Effect effect;
    if (!m_last || now - *m_last > kHoldSeconds)
        return effect;
    effect.quality = now - m_runStart >= kFixAfterSeconds ? 4 : 5;
    effect.age = std::max(0.0, now - *m_last);
    effect.stationId = m_stationId;
    return effect;
}

SimReceiver::SimReceiver(const SimOptions& options)
    : m_options(options)
    , m_sky(options.seed, options.latitude, options.longitude)
    , m_integrityWander(options.noise, 1.5 * options.noise, 30.0, options.seed * 4 + 1)
    , m_precisionWander(options.noise / 3.0, 0.5 * options.noise, 30.0, options.seed * 4 + 2)
    , m_random(options.seed * 4 + 3)
    , m_centre(options.latitude, options.longitude, options.altitude)
    , m_mask(options.mask)
{
}

std::string SimReceiver::ConfigurationReply() const
{
    return NmeaSentence(Format("PXTNCFG,%c,%c,,,,,,,%c", m_com1, m_com2, static_cast<char>(m_options.mode)));
}

std::vector<std::string> SimReceiver::HandleCommand(const NmeaCommand& command)
{
    if (command.address == "PXTNCFG") {
        const auto protocol = [&](size_t field, char& target) {
            if (field < command.fields.size() && (command.fields[field] == "N" || command.fields[field] == "M"))
                target = command.fields[field][0];
        };
        protocol(0, m_com1);
        protocol(1, m_com2);
        return {ConfigurationReply()};
    }
    if (command.address == "PXTNNOM") {
        if (!command.fields.empty() && !command.fields[0].empty()) {
            const std::string& text = command.fields[0];
            char* end = nullptr;
            const unsigned long mask = std::strtoul(text.c_str(), &end, 16);
            if (text.size() > 8 || *end != '\0' || text[0] == '-' || text[0] == '+' || text[0] == ' ')
                return {};  // not a mask: the whole command is refused
            m_mask = static_cast<uint32_t>(mask);
        }
        if (command.fields.size() > 1 && (command.fields[1] == "1" || command.fields[1] == "0"))
            m_persist = command.fields[1] == "1";
        return {NmeaSentence(Format("PXTNNOM,%08X,%d", m_mask, m_persist ? 1 : 0))};
    }
    return {};
}

SimEpoch SimReceiver::MakeEpoch(long index)
{
    const double dt = 1.0 / m_options.rate;
    const double seconds = static_cast<double>(index) * dt;
    const long firstDay = m_options.startDay ? *m_options.startDay : DaysFromCivil(2024, 6, 1);
    const double utcSeconds = (m_options.startDay ? m_options.startSecondOfDay : kStartOfDay) + seconds;
    m_timeOfDay = std::fmod(utcSeconds, 86400.0);
    m_utc = NmeaTime(m_timeOfDay);
    long y = 0, mo = 0, d = 0;
    CivilFromDays(firstDay + static_cast<long>(utcSeconds / 86400.0), y, mo, d);
    m_date = Format("%02ld%02ld%02ld", d, mo, y % 100);
    m_zdaDate = Format("%02ld,%02ld,%04ld", d, mo, y);

    // The sky, with one signal level per satellite for GSV and selection alike.
    const std::vector<SimSatellite> sky = m_sky.InView(seconds);
    std::array<int, 97>& snr = m_snr;
    snr.fill(0);
    std::vector<SimSatellite> gpsView;
    std::vector<SimSatellite> glonassView;
    for (const SimSatellite& s : sky) {
        snr[static_cast<size_t>(s.prn)] = SignalLevel(s.elevation, m_random);
        (s.prn <= 64 ? gpsView : glonassView).push_back(s);
    }
    const std::vector<SimSatellite> gpsUsed = Used(gpsView, snr);
    const std::vector<SimSatellite> glonassUsed = Used(glonassView, snr);
    std::vector<SimSatellite> allUsed = gpsUsed;
    allUsed.insert(allUsed.end(), glonassUsed.begin(), glonassUsed.end());

    m_rtk = m_corrections.At(seconds);
    // A fixed RTK solution is ten times as tight as the receiver's own.
    const double spread = m_rtk.quality == 4 ? 0.1 : 1.0;

    // Both solutions every fix, whatever is sent, so the truth does not
    // depend on the mode.
    // On the circle, the angle run through since the first fix (clockwise from north).
    const double circleAngle = m_options.circleRadius > 0.0 ? m_options.circleSpeed * seconds / m_options.circleRadius : 0.0;
    const auto solve = [&](Solution& s, PositionWander& wander, const std::vector<SimSatellite>& used,
                           int validQuality) {
        const PositionOffset offset = wander.Step(dt);
        s.trueLatitude = m_options.latitude;
        s.trueLongitude = m_options.longitude;
        s.trueAltitude = m_options.altitude;
        if (m_options.circleRadius > 0.0)
            m_centre.ToGeodetic({m_options.circleRadius * std::sin(circleAngle),
                                 m_options.circleRadius * std::cos(circleAngle), 0.0},
                                s.trueLatitude, s.trueLongitude, s.trueAltitude);
        const double degrees = 180.0 / std::numbers::pi;
        s.latitude = s.trueLatitude + spread * offset.north / kEarthRadius * degrees;
        s.longitude = s.trueLongitude + spread * offset.east / (kEarthRadius * std::cos(s.trueLatitude / degrees)) * degrees;
        s.altitude = s.trueAltitude + spread * offset.up;
        if (m_options.offsetEast != 0.0 || m_options.offsetNorth != 0.0 || m_options.offsetUp != 0.0) {
            // In the plane at the reported position itself, so that a reader
            // measuring from the position without the offset finds exactly it.
            const LocalTangentPlane here(s.latitude, s.longitude, s.altitude);
            here.ToGeodetic({m_options.offsetEast, m_options.offsetNorth, m_options.offsetUp}, s.latitude,
                            s.longitude, s.altitude);
        }
        s.dops = ComputeDops(used);
        s.quality = s.dops.valid ? (m_rtk.quality != 0 ? m_rtk.quality : validQuality) : 0;
        s.satellites = static_cast<int>(used.size());
        s.speed = std::fabs(0.03 * m_random.Normal());
        s.course = m_random.Uniform(0.0, 360.0);
        if (m_options.circleRadius > 0.0) {
            s.speed += m_options.circleSpeed;
            s.course = std::fmod(90.0 + circleAngle * degrees, 360.0);
        }
    };
    Solution integrity;
    solve(integrity, m_integrityWander, gpsUsed, 1);
    integrity.talker = "GP";
    integrity.raim = true;
    const double sigma = std::max(m_options.noise, 0.05);
    integrity.hplCm = static_cast<int>(std::lround(600.0 * sigma));
    integrity.vplCm = static_cast<int>(std::lround(900.0 * sigma));
    integrity.hfomCm = static_cast<int>(std::lround(244.8 * sigma));
    integrity.vfomCm = static_cast<int>(std::lround(294.0 * sigma));
    Solution precision;
    solve(precision, m_precisionWander, allUsed, 2);
    precision.talker = "GN";
    precision.modeLetter = 'D';

    SimEpoch epoch;
    if (m_options.gnss) {
        AddGnssFix(epoch, precision, index, seconds, sky);
        return epoch;
    }
    switch (m_options.mode) {
    case SolutionOutput::Integrity:
        AddSolution(epoch, integrity, gpsView, gpsUsed, glonassUsed, true);
        break;
    case SolutionOutput::Precision:
        AddSolution(epoch, precision, gpsView, gpsUsed, glonassUsed, false);
        break;
    case SolutionOutput::Dual:
        AddSolution(epoch, integrity, gpsView, gpsUsed, {}, true);
        AddSolution(epoch, precision, gpsView, gpsUsed, glonassUsed, false);
        break;
    }
    if (m_mask & kGsvBit)
        AddGsv(epoch.sentences, "GL", glonassView, snr);
    if (m_mask & kZdaBit)
        epoch.sentences.push_back(NmeaSentence(
            Format("%sZDA,%s,%s,00,00", m_options.mode == SolutionOutput::Precision ? "GN" : "GP", m_utc.c_str(),
                   m_zdaDate.c_str())));
    for (TruthRecord& t : epoch.truth)
        t.fix = index;
    return epoch;
}

void SimReceiver::AddGnssFix(SimEpoch& epoch, Solution& s, long index, double seconds,
                             const std::vector<SimSatellite>& sky)
{
    const bool fix = s.quality != 0;
    GnssFixInput in;
    in.index = index;
    in.seconds = seconds;
    in.utc = m_utc;
    in.rmcDate = m_date;
    in.zdaDate = m_zdaDate;
    in.latitude = fix ? NmeaLatitude(s.latitude) : ",";
    in.longitude = fix ? NmeaLongitude(s.longitude) : ",";
    in.altitude = s.altitude;
    in.knots = s.speed * kKnotsPerMetrePerSecond;
    in.course = s.course;
    in.noise = m_options.noise;
    in.sky = sky;
    GnssFixSentences gnss = MakeGnssFixSentences(in, m_random);
    epoch.sentences = std::move(gnss.beforeGga);
    // GGA and VTG of the same solution, its count and HDOP as GNS gives them.
    s.satellites = gnss.used;
    s.dops.hdop = gnss.hdop;
    const uint32_t mask = m_mask;
    m_mask &= kGgaBit | kVtgBit;
    AddSolution(epoch, s, {}, {}, {}, false);
    m_mask = mask;
    for (TruthRecord& t : epoch.truth)
        t.fix = index;
}

void SimReceiver::AddSolution(SimEpoch& epoch, const Solution& s, const std::vector<SimSatellite>& gpsView,
                              const std::vector<SimSatellite>& gpsUsed,
                              const std::vector<SimSatellite>& glonassUsed, bool glonassByItsOwnTalker)
{
    std::vector<std::string>& out = epoch.sentences;
    const bool fix = s.quality != 0;
    const std::string latitude = fix ? NmeaLatitude(s.latitude) : ",";
    const std::string longitude = fix ? NmeaLongitude(s.longitude) : ",";
    const double knots = s.speed * kKnotsPerMetrePerSecond;
    const char* utc = m_utc.c_str();

    if (m_mask & kRmcBit)
        out.push_back(NmeaSentence(Format("%sRMC,%s,%c,%s,%s,%.2f,%.1f,%s,%.1f,E,%c", s.talker, utc, fix ? 'A' : 'V',
                                          latitude.c_str(), longitude.c_str(), knots, s.course, m_date.c_str(),
                                          kMagneticVariation, fix ? s.modeLetter : 'N')));
    if (m_mask & kGgaBit) {
        const std::string hdop = fix ? Format("%.1f", s.dops.hdop) : std::string();
        const std::string altitude = fix ? Format("%.1f", s.altitude) : std::string();
        TruthRecord t;
        t.talker = s.talker;
        t.utc = m_utc;
        t.latitude = fix ? NmeaFieldDegrees(latitude, 2) : 0.0;
        t.longitude = fix ? NmeaFieldDegrees(longitude, 3) : 0.0;
        t.altitude = Parsed(altitude);
        t.quality = s.quality;
        t.satellites = s.satellites;
        t.hdop = Parsed(hdop);
        t.hplCm = s.raim && (m_mask & kRaimBit) ? s.hplCm : 0;
        t.hfomCm = s.raim && (m_mask & kRaimBit) ? s.hfomCm : 0;
        t.trueLatitude = s.trueLatitude;
        t.trueLongitude = s.trueLongitude;
        t.trueAltitude = s.trueAltitude;
        t.sentence = out.size();
        epoch.truth.push_back(t);
        // An RTK fix carries the age of its corrections and the base's ID.
        const bool rtk = fix && m_rtk.quality != 0;
        const std::string differential = rtk ? Format("%.1f,%04d", m_rtk.age, m_rtk.stationId) : std::string(",");
        out.push_back(NmeaSentence(Format("%sGGA,%s,%s,%s,%d,%02d,%s,%s,M,47.0,M,%s", s.talker, utc, latitude.c_str(),
                                          longitude.c_str(), s.quality, s.satellites, hdop.c_str(),
                                          altitude.c_str(), differential.c_str())));
    }
    if (m_mask & kGsaBit) {
        out.push_back(Gsa(s.talker, gpsUsed, s.dops));
        // GLONASS in its own GSA: under GL with its own DOPs beside a GPS
        // solution, under the solution's talker in a combined one.
        if (!glonassUsed.empty())
            out.push_back(glonassByItsOwnTalker ? Gsa("GL", glonassUsed, ComputeDops(glonassUsed))
                                                : Gsa(s.talker, glonassUsed, s.dops));
    }
    if (m_mask & kGsvBit)
        AddGsv(out, s.talker, gpsView, m_snr);
    if (m_mask & kVtgBit)
        out.push_back(NmeaSentence(Format("%sVTG,%.1f,T,%.1f,M,%.2f,N,%.2f,K,%c", s.talker, s.course,
                                          std::fmod(s.course - kMagneticVariation + 360.0, 360.0), knots,
                                          s.speed * 3.6, fix ? s.modeLetter : 'N')));
    if (m_mask & kGllBit)
        out.push_back(NmeaSentence(Format("%sGLL,%s,%s,%s,%c,%c", s.talker, latitude.c_str(), longitude.c_str(), utc,
                                          fix ? 'A' : 'V', fix ? s.modeLetter : 'N')));
    if (s.raim && (m_mask & kRaimBit))
        out.push_back(NmeaSentence(Format("%sRAIM,%d,%d,%d,%d", s.talker, s.hplCm, s.vplCm, s.hfomCm, s.vfomCm)));
}
