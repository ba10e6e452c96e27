#include "tools/cli/fix_stream.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cinttypes>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "link/serial_port.h"
#include "link/source_text.h"
#include "link/time_index.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kDefaultBaud = 9600;  // the monitor's, for a serial port given without "@BAUD"
constexpr auto kIdleWait = std::chrono::milliseconds(10);

volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

bool TimeUp(const StreamLimits& limits, Clock::time_point start)
{
    return limits.seconds > 0 && Clock::now() - start >= std::chrono::duration<double>(limits.seconds);
}

FixStreamResult DecodeLiveSource(SerialPort& sio, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                                 const StreamLimits& limits)
{
    FixStreamResult result;
    decoder.Start(onFix, limits.fixes);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    struct sigaction oldInt {}, oldTerm {};
    ::sigaction(SIGINT, &action, &oldInt);
    ::sigaction(SIGTERM, &action, &oldTerm);

    const Clock::time_point start = Clock::now();
    std::vector<uint8_t> buffer(1 << 16);
    while (!decoder.Done() && !TimeUp(limits, start) && g_interrupted == 0) {
        const SioReadResult read = sio.Read(buffer.data(), buffer.size(), buffer.size());
        if (read.lost)
            break;  // the peer closed: the end of this stream
        if (read.count <= 0) {
            std::this_thread::sleep_for(kIdleWait);
            continue;
        }
        result.bytes += static_cast<uint64_t>(read.count);
        decoder.driver.Feed(buffer.data(), static_cast<size_t>(read.count));
    }
    ::sigaction(SIGINT, &oldInt, nullptr);
    ::sigaction(SIGTERM, &oldTerm, nullptr);
    decoder.Stop();
    result.fixes = decoder.Fixes();
    return result;
}

}  // namespace

bool FixDecoder::PastUtcLimit()
{
    if (m_utcSeconds <= 0 || !state.m_utcTimeOfDay)
        return false;
    if (!m_firstUtc)
        m_firstUtc = state.m_utcTimeOfDay;
    double elapsed = *state.m_utcTimeOfDay - *m_firstUtc;
    if (elapsed < 0)
        elapsed += 86400.0;  // past midnight
    m_utcDone = elapsed >= m_utcSeconds;
    return m_utcDone;
}

FixStreamResult DecodeFixStream(std::FILE* file, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                                const StreamLimits& limits, uint64_t byteLimit)
{
    FixStreamResult result;
    // A file's seconds are its own: by the time index when it has one (a
    // byte limit), else by the fixes' UTC.
    decoder.Start(onFix, limits.fixes, byteLimit == UINT64_MAX ? limits.seconds : 0);
    std::vector<uint8_t> buffer(1 << 16);
    while (!decoder.Done() && result.bytes < byteLimit) {
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n > 0) {
            const size_t fed = static_cast<size_t>(std::min<uint64_t>(n, byteLimit - result.bytes));
            result.bytes += fed;
            decoder.driver.Feed(buffer.data(), fed);
        }
        if (n < buffer.size()) {
            if (std::ferror(file)) {
                result.ok = false;
                result.error = std::strerror(errno);
            }
            break;
        }
    }
    decoder.Stop();
    result.fixes = decoder.Fixes();
    return result;
}

bool ParseStreamLimit(int argc, char** argv, int& i, StreamLimits& limits, bool& matched, std::string& problem)
{
    const std::string_view arg = argv[i];
    matched = arg == "--fixes" || arg == "--duration";
    if (!matched)
        return true;
    if (i + 1 == argc) {
        problem = std::string(arg) + (arg == "--fixes" ? " needs a count" : " needs seconds");
        return false;
    }
    const std::string_view value = argv[++i];
    if (arg == "--fixes") {
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), limits.fixes);
        if (error == std::errc() && end == value.data() + value.size() && limits.fixes > 0)
            return true;
        problem = "--fixes needs a whole number above 0, not '" + std::string(value) + "'";
        return false;
    }
    char* end = nullptr;
    const std::string text(value);
    limits.seconds = std::strtod(text.c_str(), &end);
    if (!text.empty() && end == text.c_str() + text.size() && limits.seconds > 0 && limits.seconds < 1e9)
        return true;
    problem = "--duration needs seconds above 0, not '" + text + "'";
    return false;
}

bool IsLiveSource(const std::string& input)
{
    if (input == "-")
        return false;
    struct stat st {};
    if (::stat(input.c_str(), &st) == 0)
        return S_ISCHR(st.st_mode);
    // A network source, or what was meant as one: its error says more than
    // "no such file".
    const SourceParse parse = ParseSourceText(input);
    return (parse.Ok() && parse.address.IsNetwork()) || input.find("://") != std::string::npos;
}

std::FILE* OpenInput(const std::string& path, std::string& error)
{
    if (path == "-")
        return stdin;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        error = std::strerror(errno);
    return file;
}

uint64_t TimeIndexByteLimit(const std::string& path, double seconds)
{
    if (seconds <= 0 || path == "-")
        return UINT64_MAX;
    const std::vector<TimeIndexEntry> index = ReadTimeIndex(TimeIndexPath(path));
    if (index.empty())
        return UINT64_MAX;
    const int64_t end = index.front().monotonicUs + static_cast<int64_t>(seconds * 1e6);
    for (const TimeIndexEntry& e : index)
        if (e.monotonicUs >= end)
            return e.offset;
    return UINT64_MAX - 1;  // the whole file lies within
}

std::string SummaryLine(uint64_t bytes, const SentenceCounts& counts, uint64_t fixes)
{
    std::string line = "bytes " + std::to_string(bytes) + " sentences " + std::to_string(counts.sentences)
                       + " checksum_errors " + std::to_string(counts.checksumErrors) + " fixes " + std::to_string(fixes);
    if (counts.tooLong > 0 || counts.invalid > 0)
        line += " too_long " + std::to_string(counts.tooLong) + " invalid " + std::to_string(counts.invalid);
    return line + "\n";
}

int DecodeFileReporting(const std::string& path, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                        const StreamLimits& limits)
{
    FixStreamResult result;
    const bool live = IsLiveSource(path);
    if (live) {
        SerialPort sio;
        if (!sio.OpenSource(path, kDefaultBaud)) {
            std::fprintf(stderr, "stelmap-cli: cannot open %s: %s\n", path.c_str(), sio.LastOpenErrorText().c_str());
            return kExitFailed;
        }
        result = DecodeLiveSource(sio, decoder, onFix, limits);
    } else {
        std::string error;
        std::FILE* file = OpenInput(path, error);
        if (file == nullptr) {
            std::fprintf(stderr, "stelmap-cli: cannot read %s: %s\n", path.c_str(), error.c_str());
            return kExitFailed;
        }
        result = DecodeFixStream(file, decoder, onFix, limits, TimeIndexByteLimit(path, limits.seconds));
        if (file != stdin)
            std::fclose(file);
    }

    std::fputs(SummaryLine(result.bytes, decoder.Counts(), result.fixes).c_str(), stderr);
    const char* const name = path == "-" ? "standard input" : path.c_str();
    if (!result.ok) {
        std::fprintf(stderr, "stelmap-cli: reading %s stopped after %" PRIu64 " bytes: %s\n", name, result.bytes,
                     result.error.c_str());
        return kExitFailed;
    }
    // A named file; standard input with nothing in it keeps the cleared values.
    if (!live && path != "-" && decoder.Counts().sentences == 0 && decoder.Counts().checksumErrors == 0) {
        std::fprintf(stderr, "stelmap-cli: no NMEA sentence in %s\n", name);
        return kExitNoNmea;
    }
    return 0;
}
