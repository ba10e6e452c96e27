#include "tools/cli/export_command.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/track_export.h"
#include "geo/position_limits.h"
#include "tools/cli/fix_stream.h"
#include "tools/cli/stats_command.h"

namespace {

constexpr const char* kExportHelp =
    "usage: stelmap-cli export SOURCE --format csv|gpx|kml [--output OUT] [--user LAT,LON,ALT]\n"
    "                          [--fixes N] [--duration S]\n"
    "\n"
    "Decodes an NMEA 0183 recording (FILE, or - for standard input) as\n"
    "'stelmap-cli decode' does and writes its track to OUT (standard output\n"
    "without --output):\n"
    "  csv  a header row and one row per GGA fix (RFC 4180, CRLF line ends):\n"
    "       utc (ISO 8601 date and time when an RMC or ZDA gave the date, the\n"
    "       time alone otherwise), latitude, longitude, altitude_m, fix_quality,\n"
    "       satellites_used, hdop, pdop, vdop, hpl_m, hfom_m,\n"
    "       horizontal_error_m (with --user), sigma_latitude_m,\n"
    "       sigma_longitude_m, sigma_altitude_m (from GST); empty when unknown\n"
    "  gpx  GPX 1.1, one track segment of the fixes with a position (quality\n"
    "       1 and above): ele, time (when the date is known), fix, sat, hdop,\n"
    "       vdop, pdop\n"
    "  kml  KML 2.2, the same fixes as a LineString and as points coloured by\n"
    "       fix quality\n"
    "Numbers use a dot as the decimal mark.\n"
    "\n"
    "--user sets the reference position of the horizontal error (degrees,\n"
    "degrees, metres).\n"
    "\n"
    "At the end it prints to standard error:\n"
    "  bytes B fixes F written W\n"
    "\n"
    "SOURCE may also be live, as for 'stelmap-cli decode': a serial device,\n"
    "tcp://HOST:PORT, udp://[ADDRESS]:PORT or gpsd://HOST[:PORT], read until it\n"
    "closes, --fixes N fixes or --duration S seconds (or Ctrl-C); the summary\n"
    "line is then decode's.\n"
    "\n"
    "On a file, --duration S takes the fixes of its first S seconds of\n"
    "recording (by FILE.times, else the fixes' UTC).\n"
    "\n"
    "Exit status: 0 when the whole input was read and the track written, 1\n"
    "when a file held no NMEA sentence at all (OUT is removed), 2\n"
    "otherwise (a partly written OUT is removed).\n";

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "stelmap-cli export: %s\n", problem.c_str());
    std::fputs("usage: stelmap-cli export SOURCE --format csv|gpx|kml [--output OUT] [--user LAT,LON,ALT]"
               "  ('stelmap-cli export --help' explains)\n",
               stderr);
    return 2;
}

// The value of "--name VALUE" or "--name=VALUE" at argv[i].
std::optional<std::string_view> OptionValue(int argc, char** argv, int& i, std::string_view name)
{
    const std::string_view arg = argv[i];
    if (arg == name)
        return i + 1 < argc ? std::optional<std::string_view>(argv[++i]) : std::optional<std::string_view>("");
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
    return std::nullopt;
}

std::string BaseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A live source goes through the same reader as decode (limits, Ctrl-C),
// its sentences and fixes handed to the track as ExportTrack hands them.
// Returns the exit status.
int ExportLiveSource(const std::string& source, std::string_view name, std::FILE* out, TrackFormat format,
                     std::optional<TrackReference> user, const StreamLimits& limits)
{
    TrackTextWriter writer(format);
    bool written = true;
    const auto put = [&](const std::string& text) {
        if (written && !text.empty() && std::fwrite(text.data(), 1, text.size(), out) != text.size())
            written = false;
        std::fflush(out);  // a reader of the output sees each point as it comes
    };
    put(writer.Begin(name));
    TrackBuilder builder([&](const TrackPoint& point) { put(writer.Point(point)); }, user);
    FixDecoder decoder;
    decoder.onSentence = [&](std::string_view address, std::string_view data) { builder.OnSentence(address, data); };
    const int status = DecodeFileReporting(
        source, decoder, [&](uint64_t) { builder.OnFix(decoder.state, decoder.snapshot); }, limits);
    builder.Finish();
    put(writer.End());
    if (!written)
        std::fprintf(stderr, "stelmap-cli: cannot write the track: %s\n", std::strerror(errno));
    if (status != 0)
        return status;
    return written ? 0 : kExitFailed;
}

}  // namespace

int RunExportCommand(int argc, char** argv)
{
    std::optional<std::string> path, output;
    std::optional<TrackFormat> format;
    std::optional<TrackReference> user;
    StreamLimits limits;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kExportHelp, stdout);
            return 0;
        }
        if (const auto value = OptionValue(argc, argv, i, "--format")) {
            format = TrackFormatFromName(*value);
            if (!format)
                return Usage("--format needs csv, gpx or kml, not '" + std::string(*value) + "'");
            continue;
        }
        if (const auto value = OptionValue(argc, argv, i, "--output")) {
            if (value->empty())
                return Usage("--output needs a file name");
            output = std::string(*value);
            continue;
        }
        if (const auto value = OptionValue(argc, argv, i, "--user")) {
            TrackReference r;
            if (const auto problem = UserPositionOptionProblem("--user", *value, r.latitude, r.longitude, r.altitude))
                return Usage(*problem);
            user = r;
            continue;
        }
        bool matched = false;
        std::string problem;
        if (!ParseStreamLimit(argc, argv, i, limits, matched, problem))
            return Usage(problem);
        if (matched)
            continue;
        if (arg.size() > 1 && arg[0] == '-')
            return Usage("unknown option '" + std::string(arg) + "'");
        if (path)
            return Usage("only one SOURCE can be read");
        path = std::string(arg);
    }
    if (!path)
        return Usage("SOURCE is missing");
    if (!format)
        return Usage("--format is missing");

    if (IsLiveSource(*path) || limits.fixes > 0 || limits.seconds > 0) {
        std::FILE* out = stdout;
        if (output && (out = std::fopen(output->c_str(), "wb")) == nullptr) {
            std::fprintf(stderr, "stelmap-cli: cannot create %s: %s\n", output->c_str(), std::strerror(errno));
            return 2;
        }
        const std::string name = IsLiveSource(*path) ? *path : *path == "-" ? "stdin" : BaseName(*path);
        int status = ExportLiveSource(*path, name, out, *format, user, limits);
        if (output && std::fclose(out) != 0 && status == 0)
            status = kExitFailed;
        if (status != 0 && output)
            std::remove(output->c_str());
        return status;
    }

    std::string error;
    std::FILE* in = OpenInput(*path, error);
    if (in == nullptr) {
        std::fprintf(stderr, "stelmap-cli: cannot read %s: %s\n", path->c_str(), error.c_str());
        return 2;
    }
    std::FILE* out = stdout;
    if (output) {
        out = std::fopen(output->c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "stelmap-cli: cannot create %s: %s\n", output->c_str(), std::strerror(errno));
            if (in != stdin)
                std::fclose(in);
            return 2;
        }
    }
    const TrackExportResult result = ExportTrack(in, out, *format, *path == "-" ? "stdin" : BaseName(*path), user);
    if (in != stdin)
        std::fclose(in);
    bool ok = result.ok;
    if (output && std::fclose(out) != 0 && ok) {
        ok = false;
        std::fprintf(stderr, "stelmap-cli: cannot write %s: %s\n", output->c_str(), std::strerror(errno));
    }
    std::fprintf(stderr, "bytes %" PRIu64 " fixes %" PRIu64 " written %" PRIu64, result.bytes, result.fixes,
                 result.written);
    if (result.counts.tooLong > 0 || result.counts.invalid > 0)
        std::fprintf(stderr, " too_long %" PRIu64 " invalid %" PRIu64, result.counts.tooLong, result.counts.invalid);
    std::fputc('\n', stderr);
    if (!result.ok)
        std::fprintf(stderr, "stelmap-cli: export of %s failed: %s\n", path->c_str(), result.error.c_str());
    const bool noNmea = result.ok && *path != "-" && result.counts.sentences == 0 && result.counts.checksumErrors == 0;
    if (noNmea)
        std::fprintf(stderr, "stelmap-cli: no NMEA sentence in %s\n", path->c_str());
    if ((!ok || noNmea) && output)
        std::remove(output->c_str());
    return noNmea ? kExitNoNmea : ok ? 0 : kExitFailed;
}
