// stelmap-sim: an emulated receiver on a pseudo-terminal or standard output.
// See kSimHelp for what it sends and takes.

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

#include "tools/sim/command_reader.h"
#include "tools/sim/fault_injector.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_receiver.h"

namespace {

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int) { g_stop = 1; }

long long MonotonicNanoseconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

// Where the sentences go and the commands come from.
struct Line {
    int out = -1;
    int in = -1;          // -1 once the input is closed
    bool broken = false;  // the reader is gone for good
    long long dropped = 0;

    // Writes what fits; on a pseudo-terminal whose reader lags, the rest is
    // dropped after a short wait, as a real receiver's UART would.
    size_t Write(const std::string& bytes)
    {
        size_t written = 0;
        while (written < bytes.size() && !broken) {
            const long n = ::write(out, bytes.data() + written, bytes.size() - written);
            if (n > 0) {
                written += static_cast<size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                pollfd p{out, POLLOUT, 0};
                if (::poll(&p, 1, 50) > 0)
                    continue;
                break;
            }
            broken = true;  // EPIPE, EIO: nobody will ever read this
        }
        dropped += static_cast<long long>(bytes.size() - written);
        return written;
    }
};

// Answers commands until `deadline` (or once, without waiting, when fast).
// `seconds` is the receiver's time of the fix that comes next, when
// corrections read now are taken.
void ServeCommands(Line& line, CommandReader& reader, SimReceiver& receiver, Clock::time_point deadline, bool fast,
                   double seconds)
{
    do {
        if (g_stop || line.broken)
            return;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int timeout = fast ? 0 : static_cast<int>(std::max<long long>(left, 0) + 1);
        if (line.in < 0) {
            if (!fast)
                std::this_thread::sleep_until(deadline);
            return;
        }
        pollfd p{line.in, POLLIN, 0};
        const int ready = ::poll(&p, 1, timeout);
        if (ready > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            char buffer[4096];
            const long n = ::read(line.in, buffer, sizeof buffer);
            if (n > 0) {
                receiver.TakeCorrections(std::string_view(buffer, static_cast<size_t>(n)), seconds);
                for (const NmeaCommand& command : reader.Feed(std::string_view(buffer, static_cast<size_t>(n))))
                    for (const std::string& reply : receiver.HandleCommand(command))
                        line.Write(reply);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                line.in = -1;  // standard input closed: nobody will send commands
            }
        }
    } while (!fast && Clock::now() < deadline);
}

bool OpenPseudoTerminal(Line& line, int& keptSlave)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char path[128] = {};
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 || ::ptsname_r(master, path, sizeof path) != 0) {
        std::fprintf(stderr, "stelmap-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return false;
    }
    // Holding the slave open keeps the line up while hosts come and go, and
    // raw mode lets every byte through untouched before a host sets it.
    keptSlave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (keptSlave >= 0 && ::tcgetattr(keptSlave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(keptSlave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    line.out = master;
    line.in = master;
    std::printf("%s\n", path);
    std::fflush(stdout);
    return true;
}

void WriteTruth(std::FILE* truth, const TruthRecord& t, bool intact, long long writtenAt)
{
    std::fprintf(truth,
                 "fix=%ld talker=%s utc=%s lat=%.10f lon=%.10f alt=%.1f quality=%d sats=%d hdop=%.1f hpl=%d "
                 "hfom=%d intact=%d true_lat=%.10f true_lon=%.10f true_alt=%.2f t_ns=%lld\n",
                 t.fix, t.talker.c_str(), t.utc.c_str(), t.latitude, t.longitude, t.altitude, t.quality,
                 t.satellites, t.hdop, t.hplCm, t.hfomCm, intact ? 1 : 0, t.trueLatitude, t.trueLongitude,
                 t.trueAltitude, writtenAt);
}

}  // namespace

int main(int argc, char** argv)
{
    SimOptions options;
    std::string error;
    switch (ParseSimOptions(argc - 1, argv + 1, options, error)) {
    case ParseOutcome::Help:
        std::fputs(kSimHelp, stdout);
        return 0;
    case ParseOutcome::Error:
        std::fprintf(stderr, "stelmap-sim: %s\n(stelmap-sim --help lists the options)\n", error.c_str());
        return 2;
    case ParseOutcome::Run:
        break;
    }

    struct sigaction stop {};
    stop.sa_handler = OnStopSignal;
    ::sigaction(SIGINT, &stop, nullptr);
    ::sigaction(SIGTERM, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    Line line;
    int keptSlave = -1;
    if (options.toStdout) {
        line.out = STDOUT_FILENO;
        line.in = ::fcntl(STDIN_FILENO, F_GETFL) != -1 ? STDIN_FILENO : -1;
    } else if (!OpenPseudoTerminal(line, keptSlave)) {
        return 2;
    }

    std::FILE* truth = nullptr;
    if (!options.truthPath.empty()) {
        truth = std::fopen(options.truthPath.c_str(), "w");
        if (truth == nullptr) {
            std::fprintf(stderr, "stelmap-sim: cannot write %s: %s\n", options.truthPath.c_str(), std::strerror(errno));
            return 2;
        }
        std::setvbuf(truth, nullptr, _IOLBF, 0);  // readable line by line while we run
    }

    // On the wall clock the first fix is at the next whole period, and every
    // fix goes out `latency` after its own time.
    Clock::time_point start = Clock::now();
    if (options.wallClock) {
        const double now = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
        const double first = std::ceil(now * options.rate) / options.rate;
        const double day = std::floor(first / 86400.0);
        options.startDay = static_cast<long>(day);
        options.startSecondOfDay = first - day * 86400.0;
        start += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(first - now + options.latency));
    }

    SimReceiver receiver(options);
    CommandReader reader;
    FaultInjector injector(options.faults, options.seed);
    line.Write(receiver.ConfigurationReply());

    const long epochs = options.Epochs();
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / (options.rate * options.speed)));
    long sent = 0;
    for (long k = 0; (epochs == 0 || k < epochs) && !g_stop && !line.broken; ++k) {
        ServeCommands(line, reader, receiver, start + k * period, options.fast, static_cast<double>(k) / options.rate);
        if (g_stop || line.broken)
            break;
        const SimEpoch epoch = receiver.MakeEpoch(k);
        InjectedOutput output;
        size_t written = 0;
        if (receiver.SendsNmea()) {
            output = injector.Apply(epoch.sentences);
            written = line.Write(output.bytes);
            if (written < output.bytes.size())
                injector.MarkCutShort();
        }
        const long long now = MonotonicNanoseconds();
        ++sent;
        if (truth == nullptr)
            continue;
        // A GGA counts as sent whole only if all of it went out.
        for (const TruthRecord& t : epoch.truth) {
            const bool intact = t.sentence < output.intact.size() && output.intact[t.sentence] &&
                                output.ends[t.sentence] <= written;
            WriteTruth(truth, t, intact, now);
        }
    }

    // Closing the master hangs the line up, and a hang-up discards what the
    // host has not read yet: linger past a host's poll, and up to a second
    // while bytes wait.
    if (keptSlave >= 0) {
        const auto give_up = Clock::now() + std::chrono::seconds(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        int unread = 0;
        while (::ioctl(keptSlave, FIONREAD, &unread) == 0 && unread > 0 && Clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (truth != nullptr)
        std::fclose(truth);
    if (options.faults > 0.0 || line.dropped > 0)
        std::fprintf(stderr,
                     "stelmap-sim: %ld fixes; spoiled %d checksums, cut %d sentences, %d noise bursts; "
                     "dropped %lld bytes\n",
                     sent, injector.Checksums(), injector.Truncations(), injector.NoiseBursts(), line.dropped);
    if (keptSlave >= 0)
        ::close(keptSlave);
    return 0;
}
