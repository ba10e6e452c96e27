#include "tools/cli/compare_command.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "compare/compare_json.h"
#include "compare/comparison.h"
#include "compare/trajectory_files.h"
#include "geo/position_limits.h"
#include "link/serial_port.h"
#include "nmea/receiver_state.h"
#include "tools/cli/fix_stream.h"
#include "tools/cli/stats_command.h"

namespace {

constexpr const char* kCompareUsage =
    "usage: stelmap-cli compare SOURCE... --reference REF [--tolerance S] [--fixes N] [--duration S]";

constexpr const char* kCompareHelp =
    "usage: stelmap-cli compare SOURCE... --reference REF [--tolerance S] [--fixes N] [--duration S]\n"
    "\n"
    "Measures each receiver under test (SOURCE: an NMEA recording, - for standard\n"
    "input, or a live source as for 'stelmap-cli decode') against a reference\n"
    "and prints one JSON object:\n"
    "  {\"reference\": {\"kind\": \"receiver\"|\"trajectory\"|\"point\", \"source\": ...},\n"
    "   \"tolerance\": S, \"receivers\": [{\"source\", \"epochs\", \"matched\",\n"
    "   \"availability\", \"all\", \"byQuality\", \"alongTrack\", \"crossTrack\",\n"
    "   \"latency\"}, ...]}\n"
    "\n"
    "REF is one of\n"
    "  LAT,LON,ALT   a fixed point (degrees, degrees, metres)\n"
    "  a receiver    an NMEA recording or a live source: its fixes are matched\n"
    "                epoch by epoch\n"
    "  a trajectory  the CSV that Export Track writes, GPX (track points with a\n"
    "                time) or an RTKLIB solution (.pos, latitude, longitude and\n"
    "                height in degrees and metres, GPST or UTC): positions are\n"
    "                interpolated linearly between neighbouring points no more\n"
    "                than 2 s apart\n"
    "\n"
    "A fix matches the reference epoch of the same UTC date and time of day\n"
    "within the tolerance (--tolerance, default 0.05 s); without a date, by the\n"
    "time of day. Its error is east, north and up from the reference position\n"
    "in the local tangent plane (heights as given on both sides); \"all\" and\n"
    "\"byQuality\" hold the figures of 'stelmap-cli accuracy' over the matched\n"
    "fixes. \"epochs\" counts the receiver's fixes (GGA), \"matched\" those with a\n"
    "reference position, \"availability\" the share of reference epochs with a\n"
    "fix of the receiver (for a point: of the receiver's epochs).\n"
    "\"alongTrack\" and \"crossTrack\" split the horizontal error by the\n"
    "reference's direction of travel where it moves faster than 0.5 m/s\n"
    "(cross-track positive to the right), null when it never did. \"latency\"\n"
    "is a fix's arrival minus the reference fix's arrival for the same epoch\n"
    "(mean and 95th percentile, seconds): for live sources from the times they\n"
    "were read, for recordings from their time indexes (FILE.times); null\n"
    "otherwise.\n"
    "\n"
    "Live sources are read together until each has sent --fixes N fixes, after\n"
    "--duration S seconds, when they close or on Ctrl-C.\n"
    "\n"
    "Exit status: 0 when every input was read, 2 for bad arguments, an input\n"
    "that cannot be read, or a reference without a usable epoch.\n";

volatile std::sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) { g_interrupted = 1; }

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "stelmap-cli compare: %s\n%s  ('stelmap-cli compare --help' explains)\n", problem.c_str(),
                 kCompareUsage);
    return 2;
}

int Failure(const std::string& problem)
{
    std::fprintf(stderr, "stelmap-cli compare: %s\n", problem.c_str());
    return 2;
}

std::optional<std::string_view> OptionValue(int argc, char** argv, int& i, std::string_view name)
{
    const std::string_view arg = argv[i];
    if (arg == name)
        return i + 1 < argc ? std::optional<std::string_view>(argv[++i]) : std::optional<std::string_view>("");
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
        return arg.substr(name.size() + 1);
    return std::nullopt;
}

bool IsExistingFile(const std::string& path)
{
    struct stat st {};
    return path == "-" || (::stat(path.c_str(), &st) == 0 && !S_ISCHR(st.st_mode));
}

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// One live source: its link, a parser of its own and the time of the read
// being decoded.
class LiveInput {
public:
    LiveInput(std::string text, std::function<void(const CompareFix&)> onFix)
        : m_text(std::move(text))
        , m_onFix(std::move(onFix))
    {
        m_parser.SetPositionHandOff([this] {
            if (Done())
                return;
            ++m_fixes;
            CopyToSnapshot(m_parser, m_display);
            m_parser.m_gnssModel.CopyTo(m_gnss);
            m_onFix(CompareFixOf(m_display, m_gnss, m_readTime));
        });
    }
    bool Open(std::string& error)
    {
        if (m_sio.OpenSource(m_text, 9600))
            return true;
        error = m_sio.LastOpenErrorText();
        return false;
    }
    void SetLimit(uint64_t fixes) { m_limit = fixes; }
    bool Done() const { return m_closed || (m_limit > 0 && m_fixes >= m_limit); }
    // One read; false when nothing came.
    bool Poll(std::vector<uint8_t>& buffer)
    {
        if (Done())
            return false;
        const SioReadResult read = m_sio.Read(buffer.data(), buffer.size(), buffer.size());
        if (read.lost) {
            m_closed = true;
            return false;
        }
        if (read.count <= 0)
            return false;
        m_readTime = SteadySeconds();
        m_parser.ProcessBytes(buffer.data(), static_cast<size_t>(read.count));
        return true;
    }
    uint64_t Fixes() const { return m_fixes; }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    std::function<void(const CompareFix&)> m_onFix;
    SerialPort m_sio;
    ReceiverState m_parser;
    DisplaySnapshot m_display;
    GnssSnapshot m_gnss;
    double m_readTime = 0.0;
    uint64_t m_fixes = 0;
    uint64_t m_limit = 0;
    bool m_closed = false;
};

// Reads every live input together until each is done, the time is up or
// the process is interrupted.
void ReadLive(std::vector<std::unique_ptr<LiveInput>>& inputs, const StreamLimits& limits)
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    struct sigaction oldInt {}, oldTerm {};
    ::sigaction(SIGINT, &action, &oldInt);
    ::sigaction(SIGTERM, &action, &oldTerm);
    const auto start = std::chrono::steady_clock::now();
    std::vector<uint8_t> buffer(1 << 16);
    while (g_interrupted == 0) {
        if (limits.seconds > 0
            && std::chrono::steady_clock::now() - start >= std::chrono::duration<double>(limits.seconds))
            break;
        bool any = false, open = false;
        for (const auto& input : inputs) {
            any = input->Poll(buffer) || any;
            open = open || !input->Done();
        }
        if (!open)
            break;
        // A short nap: read times are then late by at most a millisecond,
        // alike for every source.
        if (!any)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
}

bool ReadRecording(const std::string& path, const std::function<void(const CompareFix&)>& onFix, ReadClock& clock,
                   uint64_t limit, std::string& error)
{
    uint64_t fixes = 0;
    const auto each = [&](const DisplaySnapshot& display, const GnssSnapshot& gnss, std::optional<double> readTime) {
        if (limit > 0 && fixes >= limit)
            return;
        ++fixes;
        onFix(CompareFixOf(display, gnss, readTime));
    };
    if (path != "-")
        return DecodeRecording(path, each, clock, error);
    // Standard input: no time index.
    const std::string copy = "/dev/stdin";
    return DecodeRecording(copy, each, clock, error);
}

}  // namespace

int RunCompareCommand(int argc, char** argv)
{
    std::vector<std::string> sources;
    std::optional<std::string> reference;
    double tolerance = Comparison::kDefaultTolerance;
    StreamLimits limits;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kCompareHelp, stdout);
            return 0;
        }
        if (const auto value = OptionValue(argc, argv, i, "--reference")) {
            if (value->empty())
                return Usage("--reference needs a source, a file or LAT,LON,ALT");
            if (reference)
                return Usage("only one --reference can be given");
            reference = std::string(*value);
            continue;
        }
        if (const auto value = OptionValue(argc, argv, i, "--tolerance")) {
            const std::string text(*value);
            char* end = nullptr;
            tolerance = std::strtod(text.c_str(), &end);
            if (text.empty() || end != text.c_str() + text.size() || !(tolerance >= 0.0) || tolerance > 3600.0)
                return Usage("--tolerance needs seconds from 0 to 3600, not '" + text + "'");
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
        sources.emplace_back(arg);
    }
    if (sources.empty())
        return Usage("SOURCE is missing");
    if (!reference)
        return Usage("--reference is missing");

    // The reference: a point, a trajectory file, or a receiver.
    std::string kind;
    std::optional<ReferenceTrack> track;
    ReadClock referenceClock = ReadClock::None;
    std::vector<CompareFix> referenceFixes;
    bool referenceLive = false;
    GeodeticPosition point;
    if (!IsExistingFile(*reference) && !IsLiveSource(*reference)
        && ParseUserPositionOption(*reference, point.latitude, point.longitude, point.altitude)) {
        if (CheckUserPosition(point.latitude, point.longitude, point.altitude))
            return Usage("--reference " + *reference + " is no place on Earth (latitude within +-90, longitude "
                         "within +-180, altitude within +-100 km)");
        kind = "point";
        track = ReferenceTrack::AtPoint(point);
    } else if (IsLiveSource(*reference)) {
        kind = "receiver";
        referenceLive = true;
        referenceClock = ReadClock::Steady;
        track = ReferenceTrack(ReferenceTrack::Kind::Receiver, tolerance);
    } else {
        std::FILE* probe = *reference == "-" ? nullptr : std::fopen(reference->c_str(), "rb");
        if (probe == nullptr)
            return Failure("cannot read the reference " + *reference + ": "
                           + (*reference == "-" ? std::string("standard input is for a SOURCE") : std::strerror(errno)));
        char head[256] = {};
        const size_t n = std::fread(head, 1, sizeof head, probe);
        std::fclose(probe);
        if (TrajectoryFormatOf(*reference, std::string_view(head, n)) == TrajectoryFormat::Nmea) {
            kind = "receiver";
            track = ReferenceTrack(ReferenceTrack::Kind::Receiver, tolerance);
            std::string error;
            if (!ReadRecording(*reference, [&](const CompareFix& fix) { referenceFixes.push_back(fix); },
                               referenceClock, 0, error))
                return Failure("cannot read the reference " + *reference + ": " + error);
        } else {
            kind = "trajectory";
            track = ReferenceTrack(ReferenceTrack::Kind::Trajectory, tolerance);
            const TrajectoryFile file = ReadTrajectoryFile(*reference);
            if (!file.error.empty())
                return Failure("cannot read the reference " + *reference + ": " + file.error);
            for (const TrackSample& s : file.samples)
                track->Add(s);
            if (track->Epochs() == 0)
                return Failure("the reference " + *reference + " has no point with a time and a position");
            track->SetComplete(true);
        }
    }

    Comparison comparison(std::move(*track), referenceClock);
    for (const CompareFix& fix : referenceFixes)
        comparison.AddReferenceFix(fix);
    if (kind == "receiver" && !referenceLive) {
        if (comparison.Reference().Epochs() == 0)
            return Failure("the reference " + *reference + " has no fix with a time and a position");
        comparison.Reference().SetComplete(true);
    }

    std::vector<std::unique_ptr<LiveInput>> live;
    if (referenceLive) {
        live.push_back(std::make_unique<LiveInput>(*reference, [&](const CompareFix& f) { comparison.AddReferenceFix(f); }));
        live.back()->SetLimit(limits.fixes);
    }
    std::vector<int> receivers;
    for (const std::string& source : sources) {
        const bool isLive = IsLiveSource(source);
        if (!isLive && !IsExistingFile(source))
            return Failure("cannot read " + source + ": " + std::strerror(ENOENT));
        if (isLive) {
            const int index = comparison.AddReceiver(ReadClock::Steady);
            receivers.push_back(index);
            live.push_back(std::make_unique<LiveInput>(
                source, [&comparison, index](const CompareFix& f) { comparison.AddFix(index, f); }));
            live.back()->SetLimit(limits.fixes);
            continue;
        }
        std::vector<CompareFix> fixes;
        ReadClock clock = ReadClock::None;
        std::string error;
        if (!ReadRecording(source, [&](const CompareFix& f) { fixes.push_back(f); }, clock, limits.fixes, error))
            return Failure("cannot read " + source + ": " + error);
        const int index = comparison.AddReceiver(clock);
        receivers.push_back(index);
        for (const CompareFix& f : fixes)
            comparison.AddFix(index, f);
    }
    for (const auto& input : live) {
        std::string error;
        if (!input->Open(error))
            return Failure("cannot open " + input->Text() + ": " + error);
    }
    if (!live.empty())
        ReadLive(live, limits);
    for (const auto& input : live)
        std::fprintf(stderr, "%s: %llu fixes\n", input->Text().c_str(), static_cast<unsigned long long>(input->Fixes()));
    comparison.Finish();
    if (comparison.Reference().GetKind() != ReferenceTrack::Kind::Point && comparison.Reference().Epochs() == 0)
        return Failure("the reference " + *reference + " sent no fix with a time and a position");

    CompareReport report;
    report.referenceKind = kind;
    report.referenceSource = *reference;
    report.tolerance = tolerance;
    for (size_t i = 0; i < sources.size(); ++i)
        report.receivers.push_back({sources[i], comparison.Figures(receivers[i])});
    const std::string line = CompareReportToJson(report) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    if (std::fflush(stdout) != 0)
        return Failure(std::string("cannot write the output: ") + std::strerror(errno));
    return 0;
}
