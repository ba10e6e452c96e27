#include "tools/sim/sim_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

const char* const kSimHelp =
    "usage: stelmap-sim [OPTIONS]\n"
    "\n"
    "An emulated GNSS receiver speaking NMEA 0183. By default it opens a\n"
    "pseudo-terminal, prints the path of its slave device on the first line of\n"
    "standard output, and then sends fixes on it in real time; open that path\n"
    "as the serial port (any baud rate). What the host writes to it is read as\n"
    "commands.\n"
    "\n"
    "Every fix it sends, per its sentence mask: GGA, GSA, GSV, VTG (and RMC, GLL,\n"
    "ZDA when enabled) of its solution, GSV for GPS with two SBAS satellites\n"
    "(PRN 33 to 64) and for GLONASS (talker GL, PRN 65 to 96), and with the\n"
    "integrity solution a RAIM sentence $GPRAIM,HPL,VPL,HFOM,VFOM (centimetres).\n"
    "Satellites move across the sky, signal levels follow elevation, and the\n"
    "position wanders around the given place with the given noise. At start it\n"
    "sends its configuration reply $PXTNCFG,c1,c2,,,,,,,M where M is I, P or D.\n"
    "\n"
    "Commands it takes (checksum optional, ended by CR or LF):\n"
    "  $PXTNCFG*50          the configuration query: answered with the reply\n"
    "  $PXTNCFG,c1,c2,...   set the COM1/COM2 output protocol, N (NMEA) or M\n"
    "                       (MAVLink), empty to keep; answered with the reply.\n"
    "                       With COM1 on MAVLink no more fixes are sent.\n"
    "  $PXTNNOM,mask,p      set the sentence mask (hexadecimal, empty to keep;\n"
    "                       bits 0 RMC, 1 GGA, 2 GSA, 3 GSV, 4 GLL, 5 VTG, 6 ZDA,\n"
    "                       7 RAIM) and persistence (1, 0 or empty); answered\n"
    "                       with $PXTNNOM,mask,p.\n"
    "\n"
    "RTCM 3 corrections written among the commands (frames with a good CRC;\n"
    "bad ones are ignored) turn its GGA into an RTK receiver's: quality 5\n"
    "(float) while frames keep coming within 5 s, 4 (fixed) once they have come\n"
    "for 10 s, with the age of corrections and the base station's ID in the\n"
    "GGA and a tenth of the noise when fixed; 5 s after the last frame it is\n"
    "back to its own fix.\n"
    "\n"
    "Options:\n"
    "  --stdout         write to standard output instead of a pseudo-terminal;\n"
    "                   commands are then read from standard input\n"
    "  --fast           with --stdout: send all fixes at once, without pacing\n"
    "  --rate HZ        fixes per second, 1 to 20 (default 1)\n"
    "  --speed X        run X times faster than real time, 0.01 to 100 (default\n"
    "                   1): the fixes' times still step by 1/rate, they just\n"
    "                   come sooner; for long runs in less time\n"
    "  --seed N         seed of everything random (default 1); the same seed\n"
    "                   and options give the same output\n"
    "  --noise M        standard deviation of the position per horizontal axis,\n"
    "                   metres (default 2; vertical 1.5 times that). The\n"
    "                   precision solution has a third of it. HPL is 6 and HFOM\n"
    "                   2.45 times the integrity noise.\n"
    "  --lat DEG        latitude of the true position (default 47.0707)\n"
    "  --lon DEG        longitude (default 15.4395)\n"
    "  --alt M          altitude (default 353)\n"
    "  --mode I|P|D     solutions sent: I integrity (GP, with RAIM), P precision\n"
    "                   (GN), D both (default I)\n"
    "  --dual           the same as --mode D\n"
    "  --gnss           GPS, GLONASS, Galileo, BeiDou and QZSS on two signals each:\n"
    "                   NMEA 4.11 GSV with signal IDs, GSA with system IDs, RMC,\n"
    "                   GNS, GST, GBS and ZDA before each GN GGA and VTG\n"
    "  --mask HEX       the sentence mask at start (default AE: GGA, GSA, GSV,\n"
    "                   VTG, RAIM)\n"
    "  --fixes N        stop after N fixes (default: run until stopped)\n"
    "  --duration S     stop after S seconds of fixes (rate times S fixes)\n"
    "  --faults RATE    share of sentences to spoil, 0 to 1 (default 0): a wrong\n"
    "                   checksum, a sentence cut short, or binary noise before it\n"
    "  --offset E,N,U   add a constant offset in metres (east, north, up) to every\n"
    "                   reported position, after the noise: two runs with the\n"
    "                   same seed differ by exactly the offset\n"
    "  --circle R,V     the true position runs clockwise round a circle of R\n"
    "                   metres about --lat/--lon at V metres per second, starting\n"
    "                   due north of it; VTG and RMC report that motion\n"
    "  --wall-clock     live: send each fix at its own UTC time, on the system\n"
    "                   clock's whole periods (fix times and dates are the real\n"
    "                   ones), so that simulators started apart agree on epochs\n"
    "  --latency S      live: send each epoch's sentences S seconds (0 to 10)\n"
    "                   after its time; implies --wall-clock\n"
    "  --truth FILE     write one line per GGA sent: what it said and the truth\n"
    "                   (key=value: fix, talker, utc, lat, lon, alt, quality,\n"
    "                   sats, hdop, hpl, hfom, intact, true_lat, true_lon,\n"
    "                   true_alt, t_ns; intact=0 when it was spoiled or not\n"
    "                   sent; t_ns is CLOCK_MONOTONIC when it was written)\n"
    "  --help           this text\n"
    "\n"
    "Exit status: 0 after the last fix or on SIGINT/SIGTERM, 2 on bad options\n"
    "or when the output cannot be opened.\n";

namespace {

bool ToDouble(const char* text, double low, double high, double& out)
{
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(value) || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool ToLong(const char* text, long low, long high, long& out)
{
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < low || value > high)
        return false;
    out = value;
    return true;
}

// "A,B[,C...]": exactly as many numbers as `out` has, each within +-limit.
template <size_t N>
bool ToDoubles(const char* text, double limit, double* const (&out)[N])
{
    std::string_view rest = text;
    for (size_t i = 0; i < N; ++i) {
        const size_t comma = rest.find(',');
        if ((comma == std::string_view::npos) != (i + 1 == N))
            return false;
        const std::string field(rest.substr(0, comma));
        if (!ToDouble(field.c_str(), -limit, limit, *out[i]))
            return false;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return true;
}

}  // namespace

long SimOptions::Epochs() const
{
    long epochs = fixes;
    if (duration > 0.0) {
        const long byTime = std::max(1L, std::lround(duration * rate));
        epochs = epochs > 0 ? std::min(epochs, byTime) : byTime;
    }
    return epochs;
}

ParseOutcome ParseSimOptions(int argc, char** argv, SimOptions& options, std::string& error)
{
    for (int i = 0; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h")
            return ParseOutcome::Help;
        if (name == "--stdout") {
            options.toStdout = true;
            continue;
        }
        if (name == "--fast") {
            options.fast = true;
            continue;
        }
        if (name == "--gnss") {
            options.gnss = true;
            continue;
        }
        if (name == "--wall-clock") {
            options.wallClock = true;
            continue;
        }
        if (name == "--dual") {
            options.mode = SolutionOutput::Dual;
            continue;
        }
        static constexpr std::string_view kTakesValue[] = {"--rate", "--seed", "--noise", "--lat", "--lon",
                                                           "--alt", "--speed", "--duration", "--fixes", "--faults",
                                                           "--truth", "--mode", "--mask", "--offset", "--latency",
                                                           "--circle"};
        if (std::find(std::begin(kTakesValue), std::end(kTakesValue), name) == std::end(kTakesValue)) {
            error = "unknown option: " + std::string(name);
            return ParseOutcome::Error;
        }
        if (i + 1 >= argc) {
            error = "missing value for " + std::string(name);
            return ParseOutcome::Error;
        }
        const char* value = argv[++i];
        bool ok = true;
        long number = 0;
        if (name == "--rate") {
            ok = ToLong(value, 1, 20, number);
            options.rate = static_cast<int>(number);
        } else if (name == "--speed") {
            ok = ToDouble(value, 0.01, 100.0, options.speed);
        } else if (name == "--seed") {
            ok = ToLong(value, 0, 0x7fffffffL, number);
            options.seed = static_cast<uint64_t>(number);
        } else if (name == "--noise") {
            ok = ToDouble(value, 0.0, 1000.0, options.noise);
        } else if (name == "--lat") {
            ok = ToDouble(value, -89.0, 89.0, options.latitude);
        } else if (name == "--lon") {
            ok = ToDouble(value, -180.0, 180.0, options.longitude);
        } else if (name == "--alt") {
            ok = ToDouble(value, -1000.0, 20000.0, options.altitude);
        } else if (name == "--duration") {
            ok = ToDouble(value, 0.001, 1e7, options.duration);
        } else if (name == "--fixes") {
            ok = ToLong(value, 1, 1'000'000'000L, options.fixes);
        } else if (name == "--faults") {
            ok = ToDouble(value, 0.0, 1.0, options.faults);
        } else if (name == "--offset") {
            double* const axes[] = {&options.offsetEast, &options.offsetNorth, &options.offsetUp};
            ok = ToDoubles(value, 10000.0, axes);
        } else if (name == "--circle") {
            double* const values[] = {&options.circleRadius, &options.circleSpeed};
            ok = ToDoubles(value, 1e6, values) && options.circleRadius > 0.0 && options.circleSpeed >= 0.0
                && options.circleSpeed <= 1000.0;
        } else if (name == "--latency") {
            ok = ToDouble(value, 0.0, 10.0, options.latency);
            options.wallClock = true;
        } else if (name == "--truth") {
            options.truthPath = value;
            ok = !options.truthPath.empty();
        } else if (name == "--mode") {
            const std::string_view m = value;
            ok = m == "I" || m == "P" || m == "D";
            if (ok)
                options.mode = static_cast<SolutionOutput>(m[0]);
        } else if (name == "--mask") {
            char* end = nullptr;
            errno = 0;
            const unsigned long mask = std::strtoul(value, &end, 16);
            ok = errno == 0 && end != value && *end == '\0' && std::strlen(value) <= 8 && value[0] != '-';
            options.mask = static_cast<uint32_t>(mask);
        }
        if (!ok) {
            error = "bad value for " + std::string(name) + ": " + value;
            return ParseOutcome::Error;
        }
    }
    if (options.wallClock && options.fast) {
        error = "--latency and --wall-clock need live output, not --fast";
        return ParseOutcome::Error;
    }
    if (options.wallClock && options.speed != 1.0) {
        error = "--latency and --wall-clock run in real time: --speed does not go with them";
        return ParseOutcome::Error;
    }
    if (options.fast && !options.toStdout) {
        error = "--fast needs --stdout: a pseudo-terminal is paced by its reader";
        return ParseOutcome::Error;
    }
    return ParseOutcome::Run;
}
