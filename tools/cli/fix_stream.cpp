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

FixStreamResult DecodeLiveSource(CSio& sio, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
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

FixStreamResult DecodeFixStream(std::FILE* file, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                                const StreamLimits& limits)
{
    FixStreamResult result;
    decoder.Start(onFix, limits.fixes);
    const Clock::time_point start = Clock::now();
    std::vector<uint8_t> buffer(1 << 16);
    while (!decoder.Done() && !TimeUp(limits, start)) {
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        if (n > 0) {
            result.bytes += n;
            decoder.driver.Feed(buffer.data(), n);
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

bool DecodeFileReporting(const std::string& path, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                         const StreamLimits& limits)
{
    FixStreamResult result;
    if (IsLiveSource(path)) {
        CSio sio;
        if (!sio.OpenSource(path, kDefaultBaud)) {
            std::fprintf(stderr, "stelmap-cli: cannot open %s: %s\n", path.c_str(), sio.LastOpenErrorText().c_str());
            return false;
        }
        result = DecodeLiveSource(sio, decoder, onFix, limits);
    } else {
        std::string error;
        std::FILE* file = OpenInput(path, error);
        if (file == nullptr) {
            std::fprintf(stderr, "stelmap-cli: cannot read %s: %s\n", path.c_str(), error.c_str());
            return false;
        }
        result = DecodeFixStream(file, decoder, onFix, limits);
        if (file != stdin)
            std::fclose(file);
    }

    std::fprintf(stderr, "bytes %" PRIu64 " sentences %" PRIu64 " checksum_errors %" PRIu64 " fixes %" PRIu64 "\n",
                 result.bytes, decoder.Counts().sentences, decoder.Counts().checksumErrors, result.fixes);
    if (!result.ok) {
        std::fprintf(stderr, "stelmap-cli: reading %s stopped after %" PRIu64 " bytes: %s\n",
                     path == "-" ? "standard input" : path.c_str(), result.bytes, result.error.c_str());
        return false;
    }
    return true;
}
