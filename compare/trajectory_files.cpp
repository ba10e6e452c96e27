#include "compare/trajectory_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "link/time_index.h"
#include "nmea/receiver_state.h"

namespace {

std::string_view Trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

std::optional<double> Number(std::string_view s)
{
    s = Trimmed(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> NumberAt(const std::vector<std::string_view>& fields, size_t i)
{
    if (i >= fields.size())
        return std::nullopt;
    return Number(fields[i]);
}

std::optional<double> NumberOf(const std::optional<std::string_view>& text)
{
    if (!text)
        return std::nullopt;
    return Number(*text);
}

bool PlausiblePosition(double latitude, double longitude)
{
    return latitude >= -90.0 && latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

std::vector<std::string_view> Split(std::string_view line, char separator)
{
    std::vector<std::string_view> out;
    size_t start = 0;
    while (true) {
        const size_t comma = line.find(separator, start);
        out.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return out;
        start = comma + 1;
    }
}

// Whitespace-separated columns.
std::vector<std::string_view> Columns(std::string_view line)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

template <typename Each>
void ForEachLine(std::string_view text, Each each)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        each(text.substr(start, end - start));
        start = end + 1;
    }
}

EpochTime EpochFromText(std::string_view text, bool& ok)
{
    ok = true;
    if (const std::optional<double> instant = ParseDateTime(text))
        return EpochFromInstant(*instant);
    if (const std::optional<double> time = ParseClockTime(text))
        return {std::nullopt, *time};
    ok = false;
    return {};
}

// A parser whose every GGA is handed over with both snapshots.
class HandingParser : public ReceiverState {
public:
    explicit HandingParser(std::function<void()> onFix) { SetPositionHandOff(std::move(onFix)); }
};

}  // namespace

CompareFix CompareFixOf(const DisplaySnapshot& display, const GnssSnapshot& gnss, std::optional<double> readTime)
{
    CompareFix fix;
    fix.time = EpochOfFix(gnss);
    fix.quality = display.countedQuality;
    fix.position = {display.latitude, display.longitude, display.altitude};
    fix.readTime = readTime;
    return fix;
}

bool DecodeRecording(const std::string& path, const RecordingFix& onFix, ReadClock& clock, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    const std::vector<TimeIndexEntry> index = ReadTimeIndex(TimeIndexPath(path));
    clock = index.empty() ? ReadClock::None : ReadClock::RecordingUtc;
    DisplaySnapshot display;
    GnssSnapshot gnss;
    std::optional<double> readTime;
    HandingParser* parserPointer = nullptr;
    HandingParser parser([&] {
        CopyToSnapshot(*parserPointer, display);
        parserPointer->m_gnssModel.CopyTo(gnss);
        onFix(display, gnss, readTime);
    });
    parserPointer = &parser;
    // Fed read by read as the index recorded them, so that each GGA gets
    // the time of the read that completed it.
    std::vector<uint8_t> buffer(1 << 16);
    uint64_t offset = 0;
    size_t next = 0;
    bool ok = true;
    while (true) {
        while (next < index.size() && index[next].offset <= offset) {
            readTime = static_cast<double>(index[next].utcUs) / 1e6;
            ++next;
        }
        size_t want = buffer.size();
        if (next < index.size())
            want = static_cast<size_t>(std::min<uint64_t>(want, index[next].offset - offset));
        const size_t n = std::fread(buffer.data(), 1, want, file);
        if (n > 0) {
            parser.ProcessBytes(buffer.data(), n);
            offset += n;
        }
        if (n < want) {
            if (std::ferror(file)) {
                error = std::strerror(errno);
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    return ok;
}

TrajectoryFormat TrajectoryFormatOf(const std::string& path, std::string_view head)
{
    const auto endsWith = [&](std::string_view suffix) {
        if (path.size() < suffix.size())
            return false;
        for (size_t i = 0; i < suffix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(path[path.size() - suffix.size() + i])) != suffix[i])
                return false;
        return true;
    };
    if (endsWith(".gpx"))
        return TrajectoryFormat::Gpx;
    if (endsWith(".pos"))
        return TrajectoryFormat::RtklibPos;
    if (endsWith(".csv"))
        return TrajectoryFormat::Csv;
    head = Trimmed(head);
    if (head.starts_with("<?xml") || head.starts_with("<gpx"))
        return TrajectoryFormat::Gpx;
    if (head.starts_with("%"))
        return TrajectoryFormat::RtklibPos;
    if (head.starts_with("utc,latitude,longitude"))
        return TrajectoryFormat::Csv;
    return TrajectoryFormat::Nmea;
}

TrajectoryFile ParseTrackCsv(std::string_view text)
{
    TrajectoryFile out;
    out.format = TrajectoryFormat::Csv;
    bool header = true;
    ForEachLine(text, [&](std::string_view line) {
        line = Trimmed(line);
        if (line.empty())
            return;
        if (header) {
            header = false;
            if (line.starts_with("utc,"))
                return;
        }
        const std::vector<std::string_view> f = Split(line, ',');
        bool timeOk = false;
        TrackSample s;
        s.time = f.size() > 0 ? EpochFromText(Trimmed(f[0]), timeOk) : EpochTime{};
        const std::optional<double> lat = NumberAt(f, 1);
        const std::optional<double> lon = NumberAt(f, 2);
        const std::optional<double> alt = NumberAt(f, 3);
        const std::optional<double> quality = NumberAt(f, 4);
        // A quality is a small whole number; anything else makes the row unusable.
        if (!timeOk || !lat || !lon || !PlausiblePosition(*lat, *lon) || (quality && !(*quality >= 1 && *quality <= 99))) {
            ++out.skipped;
            return;
        }
        s.position = {*lat, *lon, alt.value_or(0.0)};
        s.hasHeight = alt.has_value();
        s.quality = quality ? static_cast<int>(*quality) : 0;
        out.samples.push_back(s);
    });
    return out;
}

namespace {

// The value of attribute `name` in a start tag's text.
std::optional<std::string_view> Attribute(std::string_view tag, std::string_view name)
{
    size_t at = 0;
    while ((at = tag.find(name, at)) != std::string_view::npos) {
        const bool startsWord = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' || tag[at - 1] == '\n'
                                           || tag[at - 1] == '\r');
        size_t i = at + name.size();
        at = i;
        if (!startsWord)
            continue;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t'))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        ++i;
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t'))
            ++i;
        if (i >= tag.size() || (tag[i] != '"' && tag[i] != '\''))
            continue;
        const size_t close = tag.find(tag[i], i + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        return tag.substr(i + 1, close - i - 1);
    }
    return std::nullopt;
}

// The text of the first <name>...</name> in `body`.
std::optional<std::string_view> Element(std::string_view body, std::string_view name)
{
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">";
    const size_t start = body.find(open);
    if (start == std::string_view::npos)
        return std::nullopt;
    const size_t end = body.find(close, start + open.size());
    if (end == std::string_view::npos)
        return std::nullopt;
    return Trimmed(body.substr(start + open.size(), end - start - open.size()));
}

}  // namespace

TrajectoryFile ParseGpx(std::string_view text)
{
    TrajectoryFile out;
    out.format = TrajectoryFormat::Gpx;
    size_t at = 0;
    while ((at = text.find("<trkpt", at)) != std::string_view::npos) {
        const size_t tagEnd = text.find('>', at);
        if (tagEnd == std::string_view::npos)
            break;
        const std::string_view tag = text.substr(at, tagEnd - at);
        std::string_view body;
        if (tagEnd > 0 && text[tagEnd - 1] != '/') {
            const size_t close = text.find("</trkpt>", tagEnd);
            body = text.substr(tagEnd + 1, close == std::string_view::npos ? std::string_view::npos : close - tagEnd - 1);
        }
        at = tagEnd + 1;
        const auto lat = Attribute(tag, "lat");
        const auto lon = Attribute(tag, "lon");
        const std::optional<double> latitude = NumberOf(lat);
        const std::optional<double> longitude = NumberOf(lon);
        const auto time = Element(body, "time");
        const std::optional<double> instant = time ? ParseDateTime(*time) : std::nullopt;
        if (!latitude || !longitude || !instant || !PlausiblePosition(*latitude, *longitude)) {
            ++out.skipped;
            continue;
        }
        TrackSample s;
        s.time = EpochFromInstant(*instant);
        const auto ele = Element(body, "ele");
        const std::optional<double> height = NumberOf(ele);
        s.position = {*latitude, *longitude, height.value_or(0.0)};
        s.hasHeight = height.has_value();
        out.samples.push_back(s);
    }
    return out;
}

TrajectoryFile ParseRtklibPos(std::string_view text)
{
    TrajectoryFile out;
    out.format = TrajectoryFormat::RtklibPos;
    enum class Scale { Gpst, Utc, Jst } scale = Scale::Gpst;  // RTKLIB's default
    bool columnsKnown = false;
    bool weekSeconds = false;
    bool geodetic = true;
    ForEachLine(text, [&](std::string_view line) {
        line = Trimmed(line);
        if (line.empty())
            return;
        if (line.front() == '%') {
            // The column header names the time scale and the position columns:
            // "%  GPST                  latitude(deg) longitude(deg)  height(m)   Q ..."
            if (line.find("latitude") != std::string_view::npos || line.find("ecef") != std::string_view::npos) {
                columnsKnown = true;
                geodetic = line.find("latitude(deg)") != std::string_view::npos;
                scale = line.find("UTC") != std::string_view::npos ? Scale::Utc
                    : line.find("JST") != std::string_view::npos   ? Scale::Jst
                                                                    : Scale::Gpst;
            }
            return;
        }
        if (!columnsKnown || !geodetic) {
            ++out.skipped;
            return;
        }
        const std::vector<std::string_view> c = Columns(line);
        // "2024/06/01 12:00:18.000 lat lon h Q ns ..." or "2310 475218.000 lat lon h Q ns ..."
        if (c.size() < 6) {
            ++out.skipped;
            return;
        }
        std::optional<double> seconds;
        weekSeconds = c[0].find('/') == std::string_view::npos;
        if (weekSeconds) {
            const std::optional<double> week = Number(c[0]), tow = Number(c[1]);
            if (week && tow)
                seconds = static_cast<double>(DaysFromCivil(1980, 1, 6)) * 86400.0 + *week * 604800.0 + *tow;
        } else {
            seconds = ParseDateTime(std::string(c[0]) + " " + std::string(c[1]));
        }
        const std::optional<double> lat = Number(c[2]), lon = Number(c[3]), height = Number(c[4]), q = Number(c[5]);
        if (!seconds || !lat || !lon || !height || !PlausiblePosition(*lat, *lon)) {
            ++out.skipped;
            return;
        }
        if (scale == Scale::Gpst)
            *seconds = GpsTimeToUtc(*seconds);
        else if (scale == Scale::Jst)
            *seconds -= 9 * 3600.0;
        TrackSample s;
        s.time = EpochFromInstant(*seconds);
        s.position = {*lat, *lon, *height};
        s.quality = q && *q >= 0 && *q <= 99 ? static_cast<int>(*q) : 0;
        out.samples.push_back(s);
    });
    if (columnsKnown && !geodetic)
        out.error = "its positions are not geodetic latitude, longitude and height in degrees (RTKLIB's "
                    "out-solformat=llh, out-degformat=deg)";
    return out;
}

TrajectoryFile ReadTrajectoryFile(const std::string& path)
{
    TrajectoryFile out;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        out.error = std::strerror(errno);
        return out;
    }
    char head[256] = {};
    in.read(head, sizeof head);
    const TrajectoryFormat format = TrajectoryFormatOf(path, std::string_view(head, static_cast<size_t>(in.gcount())));
    if (format == TrajectoryFormat::Nmea) {
        in.close();
        out.format = format;
        DecodeRecording(
            path,
            [&](const DisplaySnapshot& display, const GnssSnapshot& gnss, std::optional<double> readTime) {
                const CompareFix fix = CompareFixOf(display, gnss, readTime);
                if (!IsCountedQuality(fix.quality) || !fix.time) {
                    ++out.skipped;
                    return;
                }
                out.samples.push_back({*fix.time, fix.position, true, fix.quality, readTime});
            },
            out.clock, out.error);
        return out;
    }
    in.clear();
    in.seekg(0);
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        out.error = std::strerror(errno);
        return out;
    }
    const std::string all = text.str();
    switch (format) {
    case TrajectoryFormat::Csv:
        return ParseTrackCsv(all);
    case TrajectoryFormat::Gpx:
        return ParseGpx(all);
    case TrajectoryFormat::RtklibPos:
        return ParseRtklibPos(all);
    case TrajectoryFormat::Nmea:
        break;
    }
    return out;
}
