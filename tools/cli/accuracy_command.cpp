#include "tools/cli/accuracy_command.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/accuracy_figures.h"
#include "analysis/accuracy_json.h"
#include "geo/position_limits.h"
#include "tools/cli/fix_stream.h"
#include "tools/cli/stats_command.h"

namespace {

constexpr const char* kAccuracyHelp =
    "usage: stelmap-cli accuracy SOURCE [--truth LAT,LON,ALT] [--alert-limit M]\n"
    "                            [--fixes N] [--duration S]\n"
    "\n"
    "Decodes an NMEA 0183 recording (FILE, or - for standard input) as\n"
    "'stelmap-cli decode' does and prints one JSON object with the accuracy of\n"
    "its fixes: every GGA with a latitude, a longitude and a fix quality 1 to 9\n"
    "is counted. The errors are east, north and up from the reference in the\n"
    "local tangent plane (WGS-84, the GGA altitude as the height): bias, sample\n"
    "standard deviation, percentiles of the horizontal and vertical error,\n"
    "DRMS and 2DRMS, for all fixes and per fix quality.\n"
    "\n"
    "--truth       the true position (degrees, degrees, metres); without it the\n"
    "              reference is the mean of the counted fixes (printed, so the\n"
    "              errors can be worked again; null when no fix was counted)\n"
    "              and there are no integrity figures\n"
    "--alert-limit the horizontal alert limit in metres for the integrity\n"
    "              regions (default 40, from 0.01 to 100000)\n"
    "\n"
    "At the end it prints to standard error:\n"
    "  bytes B sentences S checksum_errors C fixes F\n"
    "\n"
    "SOURCE may also be live, as for 'stelmap-cli decode', read until it\n"
    "closes, --fixes N fixes or --duration S seconds (recording time on a\n"
    "file, wall-clock time on a live source).\n"
    "\n"
    "Exit status: 0 when the whole input was read, 1 when a file held no NMEA\n"
    "sentence at all, 2 when it could not be read or the arguments are wrong.\n";

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "stelmap-cli accuracy: %s\n", problem.c_str());
    std::fputs("usage: stelmap-cli accuracy SOURCE [--truth LAT,LON,ALT] [--alert-limit M] [--fixes N] [--duration S]"
               "  ('stelmap-cli accuracy --help' explains)\n",
               stderr);
    return 2;
}

}  // namespace

int RunAccuracyCommand(int argc, char** argv)
{
    std::optional<std::string> path;
    std::optional<GeodeticPosition> truth;
    double alertLimit = kDefaultAlertLimit;
    StreamLimits limits;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kAccuracyHelp, stdout);
            return 0;
        }
        bool matched = false;
        std::string problem;
        if (!ParseStreamLimit(argc, argv, i, limits, matched, problem))
            return Usage(problem);
        if (matched)
            continue;
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (name == "--truth" || name == "--alert-limit") {
            if (!value) {
                if (i + 1 == argc)
                    return Usage(std::string(name) + " needs a value");
                value = argv[++i];
            }
            if (name == "--truth") {
                GeodeticPosition p;
                if (const auto problem = UserPositionOptionProblem("--truth", *value, p.latitude, p.longitude, p.altitude))
                    return Usage(*problem);
                truth = p;
            } else {
                const std::optional<double> limit = ParseAlertLimit(*value);
                if (!limit)
                    return Usage("--alert-limit needs a number of metres from 0.01 up to 100000, not '"
                                 + std::string(*value) + "'");
                alertLimit = *limit;
            }
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-')
            return Usage("unknown option '" + std::string(arg) + "'");
        if (path)
            return Usage("only one FILE can be read");
        path = std::string(arg);
    }
    if (!path)
        return Usage("FILE is missing");

    FixDecoder decoder;
    decoder.state.SetGnssModelFed(false);  // only the display snapshot is read
    const DisplaySnapshot& snapshot = decoder.snapshot;
    std::vector<AccuracyFix> fixes;
    const int status = DecodeFileReporting(*path, decoder, [&](uint64_t) {
        fixes.push_back({snapshot.countedQuality, snapshot.latitude, snapshot.longitude, snapshot.altitude,
                         snapshot.hplCm / 100.0});
    }, limits);
    if (status != 0)
        return status;  // figures over part of the input would pass for the whole
    const std::string line = AccuracyReportToJson(ComputeAccuracy(fixes, truth, alertLimit)) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "stelmap-cli: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return 0;
}
