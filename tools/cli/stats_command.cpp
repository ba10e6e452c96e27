#include "tools/cli/stats_command.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "geo/position_limits.h"
#include "tools/cli/fix_stream.h"
#include "tools/cli/json_writer.h"

namespace {

constexpr const char* kStatsHelp =
    "usage: stelmap-cli stats SOURCE [--user LAT,LON,ALT] [--fixes N] [--duration S]\n"
    "\n"
    "Decodes an NMEA 0183 recording (a file, or - for standard input) or a live\n"
    "source (as 'stelmap-cli decode --help' lists, with the same limits) as\n"
    "'stelmap-cli decode' does and hands every fix to the position statistics\n"
    "as the monitor's position plot page gets them. Prints one JSON object with\n"
    "the values of the page's text block, unrounded: Latitude, Longitude,\n"
    "Altitude, the LSF and AVG values of the three, Samples, HPL, HFOM, HErr,\n"
    "Average HErr (metres) and HPL Violations.\n"
    "\n"
    "--user sets the reference position for the horizontal error (degrees,\n"
    "degrees, metres); without it the reference is 0,0,0, as in the monitor\n"
    "when no user position has been stored. Latitudes beyond 90, longitudes\n"
    "beyond 180 degrees and altitudes beyond 100 km either way are refused.\n"
    "\n"
    "At the end it prints to standard error:\n"
    "  bytes B sentences S checksum_errors C fixes F\n"
    "\n"
    "Exit status: 0 when the whole input was read, 1 when a file held no NMEA\n"
    "sentence at all, 2 when it could not be read or the arguments are wrong.\n";

struct UserPosition {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
};

// Blanks beside a comma: people type "47.07, 15.44, 353".
std::string_view TrimmedBesideCommas(std::string_view text, bool front, bool back)
{
    while (front && !text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (back && !text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// "LAT,LON,ALT": three finite decimal numbers and nothing else; blanks are
// allowed beside the commas only.
std::optional<UserPosition> ParseUserPosition(std::string_view text)
{
    double values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const size_t comma = i < 2 ? text.find(',') : std::string_view::npos;
        if (i < 2 && comma == std::string_view::npos)
            return std::nullopt;
        const std::string_view number = TrimmedBesideCommas(text.substr(0, comma), i > 0, i < 2);
        const char* begin = number.data();
        const char* end = begin + number.size();
        if (begin != end && *begin == '+')
            ++begin;
        const auto [ptr, ec] = std::from_chars(begin, end, values[i]);
        if (number.empty() || ec != std::errc() || ptr != end || !std::isfinite(values[i]))
            return std::nullopt;
        text = i < 2 ? text.substr(comma + 1) : std::string_view();
    }
    return UserPosition{values[0], values[1], values[2]};
}

int Usage(const char* problem)
{
    std::fprintf(stderr, "stelmap-cli stats: %s\n", problem);
    std::fputs("usage: stelmap-cli stats SOURCE [--user LAT,LON,ALT] [--fixes N] [--duration S]"
               "  ('stelmap-cli stats --help' explains)\n", stderr);
    return 2;
}

}  // namespace

bool ParseUserPositionOption(std::string_view text, double& latitude, double& longitude, double& altitude)
{
    const std::optional<UserPosition> parsed = ParseUserPosition(text);
    if (parsed) {
        latitude = parsed->latitude;
        longitude = parsed->longitude;
        altitude = parsed->altitude;
    }
    return parsed.has_value();
}

std::optional<std::string> UserPositionOptionProblem(std::string_view option, std::string_view text,
                                                     double& latitude, double& longitude, double& altitude)
{
    if (!ParseUserPositionOption(text, latitude, longitude, altitude))
        return std::string(option) + " needs three numbers LAT,LON,ALT (degrees, degrees, metres), not '"
            + std::string(text) + "'";
    if (const auto problem = CheckUserPosition(latitude, longitude, altitude))
        return std::string(option) + ": " + problem->message;
    return std::nullopt;
}

std::string PositionValuesToJson(const PositionTextValues& v)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("Latitude").Double(v.latitude);
    json.Key("Longitude").Double(v.longitude);
    json.Key("Altitude").Double(v.altitude);
    json.Key("LSF Latitude").Double(v.lsfLatitude);
    json.Key("LSF Longitude").Double(v.lsfLongitude);
    json.Key("LSF Altitude").Double(v.lsfAltitude);
    json.Key("AVG Latitude").Double(v.avgLatitude);
    json.Key("AVG Longitude").Double(v.avgLongitude);
    json.Key("AVG Altitude").Double(v.avgAltitude);
    json.Key("Samples").Int(v.samples);
    json.Key("HPL").Double(v.hpl);
    json.Key("HFOM").Double(v.hfom);
    json.Key("HErr").Double(v.herr);
    json.Key("Average HErr").Double(v.averageHErr);
    json.Key("HPL Violations").Int(v.hplViolations);
    json.EndObject();
    return json.Text();
}

int RunStatsCommand(int argc, char** argv)
{
    std::optional<std::string> path;
    UserPosition user;
    StreamLimits limits;
    for (int i = 0; i < argc; ++i) {
        bool matched = false;
        std::string problem;
        if (!ParseStreamLimit(argc, argv, i, limits, matched, problem))
            return Usage(problem.c_str());
        if (matched)
            continue;
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kStatsHelp, stdout);
            return 0;
        }
        if (arg == "--user" || arg.starts_with("--user=")) {
            std::string_view value;
            if (arg == "--user") {
                if (i + 1 == argc)
                    return Usage("--user needs LAT,LON,ALT");
                value = argv[++i];
            } else {
                value = arg.substr(std::strlen("--user="));
            }
            UserPosition parsed;
            if (const auto problem =
                    UserPositionOptionProblem("--user", value, parsed.latitude, parsed.longitude, parsed.altitude))
                return Usage(problem->c_str());
            user = parsed;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            const std::string problem = "unknown option '" + std::string(arg) + "'";
            return Usage(problem.c_str());
        }
        if (path)
            return Usage("only one SOURCE can be read");
        path = std::string(arg);
    }
    if (!path)
        return Usage("SOURCE is missing");

    FixDecoder decoder;
    decoder.state.SetGnssModelFed(false);  // only the display snapshot is read
    const DisplaySnapshot& snapshot = decoder.snapshot;
    PositionStatistics statistics;
    // As the main window does at start-up: the stored user position, 0.0 for
    // what is not stored.
    statistics.SetUserPosition(user.latitude, user.longitude, user.altitude);
    const int status = DecodeFileReporting(*path, decoder, [&](uint64_t) {
        statistics.OnPositionUpdate(snapshot.hplCm, snapshot.hfomCm, snapshot.latitude, snapshot.longitude,
                                    snapshot.altitude);
    }, limits);
    if (status != 0)
        return status;  // statistics over part of the input would pass for the whole
    const std::string line = PositionValuesToJson(statistics.TextValues()) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "stelmap-cli: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return 0;
}
