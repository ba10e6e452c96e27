#include "analysis/track_export.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "geo/horizontal_distance.h"
#include "link/playback_schedule.h"
#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"

namespace {

void Fixed(std::string& out, double value, int decimals)
{
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    out.append(text, r.ptr);
}

void Shortest(std::string& out, double value)
{
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, value);
    out.append(text, r.ptr);
}

void Optional(std::string& out, const std::optional<double>& value, int decimals)
{
    if (value)
        Fixed(out, *value, decimals);
}

// "2026-12-09T10:15:02.200Z" with a date, "10:15:02.200" without.
std::string DateTime(const TrackPoint& p, bool withZone)
{
    if (p.timeOfDay < 0.0)
        return {};
    const long long ms = std::llround(p.timeOfDay * 1000.0);
    char text[40];
    int n = 0;
    if (p.date)
        n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT", p.date->year, p.date->month, p.date->day);
    std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "%02lld:%02lld:%02lld.%03lld%s", ms / 3600000 % 24,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000, p.date && withZone ? "Z" : "");
    return text;
}

// KML colours are aabbggrr: invalid grey, GPS green, DGPS blue, PPS cyan,
// RTK fixed magenta, RTK float orange, estimated yellow, manual and
// simulation white.
constexpr const char* kQualityColours[] = {"ff808080", "ff00c000", "ffff4000", "ffffff00", "ffff00ff",
                                           "ff0080ff", "ff00ffff", "ffffffff", "ffffffff"};

const char* GpxFix(const TrackPoint& p)
{
    switch (p.fixQuality) {
    case 1:
        return p.gsaFixType == 2 ? "2d" : (p.gsaFixType == 3 ? "3d" : nullptr);
    case 2:
        return "dgps";
    case 3:
        return "pps";
    default:
        return nullptr;
    }
}

std::string XmlEscaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

std::optional<double> Positive(double value)
{
    return value > 0.0 ? std::optional<double>(value) : std::nullopt;
}

}  // namespace

std::optional<TrackFormat> TrackFormatFromName(std::string_view name)
{
    if (name == "csv")
        return TrackFormat::Csv;
    if (name == "gpx")
        return TrackFormat::Gpx;
    if (name == "kml")
        return TrackFormat::Kml;
    return std::nullopt;
}

std::string TrackTextWriter::Begin(std::string_view name) const
{
    switch (m_format) {
    case TrackFormat::Csv:
        return "utc,latitude,longitude,altitude_m,fix_quality,satellites_used,hdop,pdop,vdop,hpl_m,hfom_m,"
               "horizontal_error_m,sigma_latitude_m,sigma_longitude_m,sigma_altitude_m\r\n";
    case TrackFormat::Gpx:
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<gpx version=\"1.1\" creator=\"Stelmap\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>"
            + XmlEscaped(name) + "</name><trkseg>\n";
    case TrackFormat::Kml: {
        std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">"
                           "<Document><name>"
            + XmlEscaped(name) + "</name>\n";
        for (int q = 0; q <= 8; ++q)
            head += "<Style id=\"q" + std::to_string(q) + "\"><IconStyle><color>" + kQualityColours[q]
                + "</color><scale>0.5</scale></IconStyle></Style>\n";
        return head + "<Folder><name>Fixes</name>\n";
    }
    }
    return {};
}

std::string TrackTextWriter::Point(const TrackPoint& p)
{
    std::string out;
    if (m_format == TrackFormat::Csv) {
        out = DateTime(p, true);
        out += ',';
        Fixed(out, p.latitude, 9);
        out += ',';
        Fixed(out, p.longitude, 9);
        out += ',';
        Fixed(out, p.altitude, 3);
        out += ',' + std::to_string(p.fixQuality) + ',' + std::to_string(p.satsUsed) + ',';
        Optional(out, p.hdop, 2);
        out += ',';
        Optional(out, p.pdop, 2);
        out += ',';
        Optional(out, p.vdop, 2);
        out += ',';
        Optional(out, p.hpl, 2);
        out += ',';
        Optional(out, p.hfom, 2);
        out += ',';
        Optional(out, p.horizontalError, 3);
        out += ',';
        Optional(out, p.sigmaLatitude, 3);
        out += ',';
        Optional(out, p.sigmaLongitude, 3);
        out += ',';
        Optional(out, p.sigmaAltitude, 3);
        out += "\r\n";
        ++m_written;
        return out;
    }
    if (p.fixQuality < 1)
        return out;  // no position to show
    ++m_written;
    if (m_format == TrackFormat::Gpx) {
        out = "<trkpt lat=\"";
        Fixed(out, p.latitude, 9);
        out += "\" lon=\"";
        Fixed(out, p.longitude, 9);
        out += "\"><ele>";
        Fixed(out, p.altitude, 3);
        out += "</ele>";
        if (p.date)
            out += "<time>" + DateTime(p, true) + "</time>";
        if (const char* fix = GpxFix(p))
            out += std::string("<fix>") + fix + "</fix>";
        out += "<sat>" + std::to_string(p.satsUsed) + "</sat>";
        const std::pair<const char*, const std::optional<double>*> dops[] = {
            {"hdop", &p.hdop}, {"vdop", &p.vdop}, {"pdop", &p.pdop}};
        for (const auto& [tag, value] : dops)
            if (*value) {
                out += std::string("<") + tag + ">";
                Shortest(out, **value);
                out += std::string("</") + tag + ">";
            }
        out += "</trkpt>\n";
        return out;
    }
    std::string coordinates;
    Fixed(coordinates, p.longitude, 9);
    coordinates += ',';
    Fixed(coordinates, p.latitude, 9);
    coordinates += ',';
    Fixed(coordinates, p.altitude, 3);
    m_line += coordinates + '\n';
    out = "<Placemark>";
    if (const std::string t = DateTime(p, true); !t.empty())
        out += (p.date ? "<TimeStamp><when>" + t + "</when></TimeStamp>" : "<name>" + t + "</name>");
    out += "<styleUrl>#q" + std::to_string(std::clamp(p.fixQuality, 0, 8))
        + "</styleUrl><Point><altitudeMode>absolute</altitudeMode><coordinates>" + coordinates
        + "</coordinates></Point></Placemark>\n";
    return out;
}

std::string TrackTextWriter::End()
{
    switch (m_format) {
    case TrackFormat::Csv:
        return {};
    case TrackFormat::Gpx:
        return "</trkseg></trk>\n</gpx>\n";
    case TrackFormat::Kml: {
        std::string tail = "</Folder>\n";
        if (!m_line.empty())
            tail += "<Placemark><name>Track</name><LineString><altitudeMode>absolute</altitudeMode><coordinates>\n"
                + m_line + "</coordinates></LineString></Placemark>\n";
        m_line.clear();
        return tail + "</Document></kml>\n";
    }
    }
    return {};
}

void TrackBuilder::OnSentence(std::string_view address, std::string_view data)
{
    // The GNSS model's field decoders; the epoch logic (each fix waits for
    // the sentences of its own UTC time) is the track's own.
    const std::string_view type = address.size() >= 3 ? address.substr(address.size() - 3) : address;
    const SentenceFields f(data.substr(0, data.find('*')));
    if (type == "GGA") {
        // The receiver state keeps the last HDOP when a GGA leaves it out;
        // the track says it is unknown.
        m_ggaTime = NmeaTimeOfDay(f[0]);
        const std::optional<double> hdop = OptionalDecimal(f[7]);
        m_ggaHdop = hdop ? Positive(*hdop) : std::nullopt;
        return;
    }
    const bool leading = m_timeBeforeGga >= 0.0;
    if (type == "GSA")
        (leading ? m_gsaLeads : m_gsaSeen) = true;
    if (address.find("RAIM") != std::string_view::npos)
        (leading ? m_raimLeads : m_raimSeen) = true;
    std::optional<GnssDate> date;
    if (type == "RMC")
        date = DecodeRmc(f).date;
    else if (type == "ZDA")
        date = DecodeZda(f).date;
    if (date) {
        const double time = NmeaTimeOfDay(f[0]);
        if (time < 0.0)
            return;
        m_lastDate = DatedTime{time, *date};
        OnEpochTime(time);
        if (m_pending && m_pending->timeOfDay == time)
            m_pending->date = *date;
        return;
    }
    if (type == "GST") {
        const GstFields gst = DecodeGst(f);
        if (!gst.sigmaLat || !gst.sigmaLon || !gst.sigmaAlt)
            return;
        // Some receivers send the epoch's GST before its GGA: kept until
        // the fix of the same time comes.
        m_lastGst = TimedSigmas{NmeaTimeOfDay(f[0]), *gst.sigmaLat, *gst.sigmaLon, *gst.sigmaAlt};
        if (m_lastGst->timeOfDay >= 0.0)
            OnEpochTime(m_lastGst->timeOfDay);
        if (m_pending)
            TakeSigmas(*m_pending);
    }
}

void TrackBuilder::OnFix(const ReceiverState& parser, const DisplaySnapshot& snapshot)
{
    Flush();
    m_parser = &parser;
    TrackPoint p;
    p.timeOfDay = m_ggaTime;
    // Until its own RMC or ZDA comes, a fix takes the last date, unless the
    // time has wrapped past midnight since.
    if (m_lastDate && p.timeOfDay >= 0.0 && p.timeOfDay >= m_lastDate->timeOfDay - 43200.0)
        p.date = m_lastDate->date;
    p.latitude = snapshot.latitude;
    p.longitude = snapshot.longitude;
    p.altitude = snapshot.altitude;
    p.fixQuality = parser.m_fixQuality;
    p.satsUsed = parser.m_satsInUse;
    p.hdop = m_ggaHdop;
    TakeSigmas(p);
    // GSA and RAIM sent after a sentence of this epoch's time and before its
    // GGA are this fix's.
    TakeEpoch(p, parser, m_gsaLeads, m_raimLeads);
    m_gsaLeads = m_raimLeads = false;
    m_timeBeforeGga = -1.0;
    if (m_user && p.fixQuality >= 1) {
        const double km = HorizontalDistanceKm(p.latitude, p.longitude, m_user->latitude, m_user->longitude);
        if (std::isfinite(km))
            p.horizontalError = km * 1000.0;
    }
    m_pending = p;
}

void TrackBuilder::Flush()
{
    if (!m_pending)
        return;
    // Mostly the GSA and RAIM sentences of an epoch follow its GGA: by the
    // next GGA (or the end) the receiver state holds this fix's values.
    if (m_parser != nullptr && !m_pendingComplete)
        TakeEpoch(*m_pending, *m_parser, m_gsaSeen, m_raimSeen);
    m_gsaSeen = m_raimSeen = false;
    m_pendingComplete = false;
    m_emit(*m_pending);
    m_pending.reset();
}

void TrackBuilder::TakeEpoch(TrackPoint& point, const ReceiverState& parser, bool gsa, bool raim)
{
    if (gsa) {
        point.gsaFixType = parser.m_gsaFixType;
        point.pdop = Positive(parser.m_gpsPdop);
        point.vdop = Positive(parser.m_gpsVdop);
    }
    if (raim && parser.m_raimHpl > 0)
        point.hpl = parser.m_raimHpl / 100.0;
    if (raim && parser.m_raimHfom > 0)
        point.hfom = parser.m_raimHfom / 100.0;
}

void TrackBuilder::OnEpochTime(double time)
{
    // The next epoch has begun: the pending fix's trailing GSA and RAIM are
    // all in, and later ones are the next fix's.
    if (m_pending && time == m_pending->timeOfDay)
        return;  // still the pending fix's epoch
    if (m_pending && m_parser != nullptr && !m_pendingComplete) {
        TakeEpoch(*m_pending, *m_parser, m_gsaSeen, m_raimSeen);
        m_gsaSeen = m_raimSeen = false;
        m_pendingComplete = true;
    }
    m_timeBeforeGga = time;
}

void TrackBuilder::Finish() { Flush(); }

void TrackBuilder::TakeSigmas(TrackPoint& point) const
{
    if (!m_lastGst || m_lastGst->timeOfDay < 0.0 || m_lastGst->timeOfDay != point.timeOfDay)
        return;
    point.sigmaLatitude = m_lastGst->latitude;
    point.sigmaLongitude = m_lastGst->longitude;
    point.sigmaAltitude = m_lastGst->altitude;
}

TrackObserver::TrackObserver(TrackBuilder& builder, const ReceiverState& state)
    : m_builder(builder)
    , m_state(state)
{
}

void TrackObserver::OnSentence(std::string_view address, std::string_view data, AddressKind)
{
    m_builder.OnSentence(address, data);
}

void TrackObserver::OnFix()
{
    CopyToSnapshot(m_state, m_snapshot);
    ++m_fixes;
    m_builder.OnFix(m_state, m_snapshot);
}

TrackExportResult ExportTrack(std::FILE* in, std::FILE* out, TrackFormat format, std::string_view name,
                              std::optional<TrackReference> user, const std::function<void(uint64_t)>& progress,
                              const std::atomic<bool>* cancel)
{
    TrackExportResult result;
    TrackTextWriter writer(format);
    std::string text = writer.Begin(name);
    const auto spill = [&](bool always) {
        if (!result.ok || (!always && text.size() < (1u << 16)))
            return;
        if (!text.empty() && std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
            result.ok = false;
            result.error = std::strerror(errno);
        }
        text.clear();
    };
    TrackBuilder builder([&](const TrackPoint& p) { text += writer.Point(p); }, user);
    ReceiverState state;
    TrackObserver observer(builder, state);
    DecodeDriver driver(state, &observer);
    std::vector<uint8_t> buffer(1 << 16);
    while (result.ok) {
        if (cancel != nullptr && cancel->load()) {
            result.cancelled = true;
            break;
        }
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
        result.bytes += n;
        driver.Feed(buffer.data(), n);
        spill(false);
        if (progress)
            progress(result.bytes);
        if (n < buffer.size()) {
            if (std::ferror(in)) {
                result.ok = false;
                result.error = std::strerror(errno);
            }
            break;
        }
    }
    result.fixes = observer.Fixes();
    result.counts = driver.Counts();
    if (!result.ok || result.cancelled)
        return result;
    builder.Finish();
    text += writer.End();
    spill(true);
    if (result.ok && std::fflush(out) != 0) {
        result.ok = false;
        result.error = std::strerror(errno);
    }
    result.written = writer.Written();
    return result;
}
