#include "rtcm/source_table.h"

#include <charconv>

namespace {

std::vector<std::string> Split(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t semicolon = line.find(';', start);
        fields.emplace_back(line.substr(start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
        if (semicolon == std::string_view::npos)
            break;
        start = semicolon + 1;
    }
    return fields;
}

std::optional<double> Degrees(const std::string& text)
{
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string Field(const std::vector<std::string>& fields, size_t i)
{
    return i < fields.size() ? fields[i] : std::string();
}

// Misc may itself hold ';': everything from its field on.
std::string Rest(const std::vector<std::string>& fields, size_t i)
{
    std::string text;
    for (size_t k = i; k < fields.size(); ++k)
        text += (k > i ? ";" : "") + fields[k];
    return text;
}

std::string Text(const std::optional<double>& value, const std::string& fallback)
{
    if (!value)
        return fallback;
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, *value);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

}  // namespace

SourceTable ParseSourceTable(std::string_view text)
{
    SourceTable table;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty())
            continue;
        if (line == "ENDSOURCETABLE") {
            table.complete = true;
            break;
        }
        const std::vector<std::string> f = Split(line);
        if (f[0] == "STR" && f.size() >= 4) {
            StreamRecord r;
            r.mountpoint = Field(f, 1);
            r.identifier = Field(f, 2);
            r.format = Field(f, 3);
            r.formatDetails = Field(f, 4);
            r.carrier = Field(f, 5);
            r.navSystem = Field(f, 6);
            r.network = Field(f, 7);
            r.country = Field(f, 8);
            r.latitude = Degrees(Field(f, 9));
            r.longitude = Degrees(Field(f, 10));
            r.nmea = Field(f, 11) == "1";
            r.solution = Field(f, 12);
            r.generator = Field(f, 13);
            r.compression = Field(f, 14);
            r.authentication = Field(f, 15);
            r.fee = Field(f, 16);
            r.bitrate = Field(f, 17);
            r.misc = Rest(f, 18);
            table.streams.push_back(std::move(r));
        } else if (f[0] == "CAS" && f.size() >= 3) {
            CasterRecord r;
            r.host = Field(f, 1);
            r.port = Field(f, 2);
            r.identifier = Field(f, 3);
            r.operatorName = Field(f, 4);
            r.nmea = Field(f, 5) == "1";
            r.country = Field(f, 6);
            r.latitude = Degrees(Field(f, 7));
            r.longitude = Degrees(Field(f, 8));
            r.fallbackHost = Field(f, 9);
            r.fallbackPort = Field(f, 10);
            r.misc = Rest(f, 11);
            table.casters.push_back(std::move(r));
        } else if (f[0] == "NET" && f.size() >= 2) {
            NetworkRecord r;
            r.identifier = Field(f, 1);
            r.operatorName = Field(f, 2);
            r.authentication = Field(f, 3);
            r.fee = Field(f, 4);
            r.webNetwork = Field(f, 5);
            r.webStream = Field(f, 6);
            r.webRegistration = Field(f, 7);
            r.misc = Rest(f, 8);
            table.networks.push_back(std::move(r));
        } else {
            ++table.rejectedLines;
        }
    }
    return table;
}

std::vector<std::string> StreamFields(const StreamRecord& r)
{
    return {r.mountpoint, r.identifier, r.format, r.formatDetails, r.carrier, r.navSystem,
            r.network, r.country, Text(r.latitude, ""), Text(r.longitude, ""), r.nmea ? "1" : "0",
            r.solution, r.generator, r.compression, r.authentication, r.fee, r.bitrate, r.misc};
}
