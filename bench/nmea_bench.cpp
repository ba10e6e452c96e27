// Framing plus decoding throughput, in bytes per second, over the largest
// corpus recording, a long synthetic one and two simulator days (10 Hz with
// both solutions, and a multi-constellation day); gpsd's gpsdecode and our
// own stelmap-cli decode timed on the same files in the same run for
// reference. The GNSS model runs inside the receiver state throughout, and
// both snapshots are copied at every fix as the link does; the model's own
// cost is measured apart, over the framer alone, on a multi-constellation
// recording. BM_Old* run the core as it was before sentences were decoded
// once into values behind one driver (bench/old_core), on the same bytes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <sys/mman.h>
#include <sys/stat.h>

#include "bench/old_core/display_snapshot.h"
#include "bench/old_core/receiver_state.h"
#include "nmea/decode_driver.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_model.h"
#include "nmea/receiver_state.h"

extern char** environ;

namespace {

const std::string kLargestRecording = STELMAP_CORPUS_DIR "/nmeaparser/NmeaSampleData.txt";

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Sentence(const std::string& body)
{
    unsigned char sum = 0;
    for (unsigned char c : body)
        sum ^= c;
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// A 10 Hz receiver with GPS and GLONASS for `epochs` epochs.
std::string SyntheticRecording(int epochs)
{
    std::string out;
    char body[256];
    for (int e = 0; e < epochs; ++e) {
        const int s = e / 10;
        std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.%d0,4704.%04d,N,01526.%04d,E,1,09,0.9,%d.%d,M,47.0,M,,",
                      s / 3600 % 24, s / 60 % 60, s % 60, e % 10, 2400 + e % 97, 3700 + e % 89, 350 + e % 7, e % 10);
        out += Sentence(body);
        out += Sentence("GPGSA,A,3,03,06,09,14,17,19,28,30,,,,,1.6,0.9,1.3");
        out += Sentence("GLGSA,A,3,66,67,76,82,,,,,,,,,2.1,1.4,1.6");
        out += Sentence("GPGSV,3,1,09,03,62,048,52,06,25,301,37,09,41,112,42,14,12,022,36");
        out += Sentence("GPGSV,3,2,09,17,78,190,55,19,33,255,40,22,08,160,33,28,55,065,47");
        out += Sentence("GPGSV,3,3,09,30,17,340,35");
        out += Sentence("GLGSV,1,1,04,66,44,080,44,67,21,140,38,76,58,260,49,82,11,310,31");
        out += Sentence("GPVTG,,T,,M,0.0,N,0.0,K,A");
        std::snprintf(body, sizeof body, "GPRAIM,%d,0,%d", 900 + e % 200, 350 + e % 80);
        out += Sentence(body);
    }
    return out;
}

constexpr size_t kRead = 10240;  // the link reader's read size

// Every fix copied into both snapshots, as the link's hand-off copies them.
class CopyingObserver : public DecodeObserver {
public:
    explicit CopyingObserver(const ReceiverState& state) : m_state(state) {}
    void OnFix() override
    {
        CopyToSnapshot(m_state, snapshot);
        m_state.m_gnssModel.CopyTo(gnss);
        ++fixes;
    }
    DisplaySnapshot snapshot;
    GnssSnapshot gnss;
    int64_t fixes = 0;

private:
    const ReceiverState& m_state;
};

// Decodes as the program does, fed in the link's reads, with the new core.
void DecodeBulk(benchmark::State& state, std::string_view bytes)
{
    if (bytes.empty()) {
        state.SkipWithError("recording not found");
        return;
    }
    int64_t fixes = 0;
    for (auto _ : state) {
        ReceiverState parser;
        CopyingObserver observer(parser);
        DecodeDriver driver(parser, &observer);
        for (size_t at = 0; at < bytes.size(); at += kRead)
            driver.Feed(bytes.substr(at, kRead));
        benchmark::DoNotOptimize(observer.snapshot);
        benchmark::DoNotOptimize(observer.gnss);
        fixes += observer.fixes;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["fixes"] = benchmark::Counter(static_cast<double>(fixes) / state.iterations());
}

// The same with the old core.
void DecodeBulkOld(benchmark::State& state, std::string_view bytes)
{
    if (bytes.empty()) {
        state.SkipWithError("recording not found");
        return;
    }
    int64_t fixes = 0;
    for (auto _ : state) {
        old_core::ReceiverState parser;
        old_core::DisplaySnapshot snapshot;
        old_core::GnssSnapshot gnss;
        parser.SetPositionHandOff([&] {
            old_core::CopyToSnapshot(parser, snapshot);
            parser.m_gnssModel.CopyTo(gnss);
            ++fixes;
        });
        for (size_t at = 0; at < bytes.size(); at += kRead) {
            const std::string_view piece = bytes.substr(at, kRead);
            parser.ProcessBytes(reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
        }
        benchmark::DoNotOptimize(snapshot);
        benchmark::DoNotOptimize(gnss);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["fixes"] = benchmark::Counter(static_cast<double>(fixes) / state.iterations());
}

// A simulator day, written once into the temporary folder (or named by the
// environment variable), mapped rather than read: the 10 Hz day is some 850 MB.
std::string SimulatorDay(const char* variable, const std::string& name, const std::string& simArgs)
{
    if (const char* path = std::getenv(variable))
        return path;
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    if (!std::filesystem::exists(path)) {
        const std::string command = STELMAP_SIM_PATH " --stdout --fast " + simArgs + " > " + path;
        if (std::system(command.c_str()) != 0)
            return {};
    }
    return path;
}

std::string_view Mapped(const std::string& path)
{
    if (path.empty())
        return {};
    const int fd = ::open(path.c_str(), O_RDONLY);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_size == 0)
        return {};
    void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    return p == MAP_FAILED ? std::string_view() : std::string_view(static_cast<const char*>(p), static_cast<size_t>(st.st_size));
}

const std::string& Day10HzPath()
{
    static const std::string path =
        SimulatorDay("STELMAP_BENCH_10HZ", "stelmap_bench_day_10hz.nmea", "--rate 10 --dual --fixes 864000");
    return path;
}

const std::string& GnssDayPath()
{
    static const std::string path =
        SimulatorDay("STELMAP_BENCH_GNSS", "stelmap_bench_day_gnss.nmea", "--gnss --fixes 86400");
    return path;
}

std::string_view Day10Hz()
{
    static const std::string_view bytes = Mapped(Day10HzPath());
    return bytes;
}

std::string_view GnssDay()
{
    static const std::string_view bytes = Mapped(GnssDayPath());
    return bytes;
}

const std::string& LargestRecording()
{
    static const std::string bytes = Slurp(kLargestRecording);
    return bytes;
}

void BM_OldCoreLargestRecording(benchmark::State& state) { DecodeBulkOld(state, LargestRecording()); }
void BM_NewCoreLargestRecording(benchmark::State& state) { DecodeBulk(state, LargestRecording()); }
void BM_OldCoreDay10HzDual(benchmark::State& state) { DecodeBulkOld(state, Day10Hz()); }
void BM_NewCoreDay10HzDual(benchmark::State& state) { DecodeBulk(state, Day10Hz()); }
void BM_OldCoreGnssDay(benchmark::State& state) { DecodeBulkOld(state, GnssDay()); }
void BM_NewCoreGnssDay(benchmark::State& state) { DecodeBulk(state, GnssDay()); }
BENCHMARK(BM_OldCoreLargestRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NewCoreLargestRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OldCoreDay10HzDual)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_NewCoreDay10HzDual)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_OldCoreGnssDay)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NewCoreGnssDay)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DecodeSynthetic(benchmark::State& state)
{
    static const std::string bytes = SyntheticRecording(100000);  // about 50 MB, a 10 Hz receiver for 2.8 h
    DecodeBulk(state, bytes);
}
BENCHMARK(BM_DecodeSynthetic)->Unit(benchmark::kMillisecond);

// The reader thread's own path: one ProcessByte call per byte.
void BM_DecodeLargestRecordingBytewise(benchmark::State& state)
{
    static const std::string bytes = Slurp(kLargestRecording);
    for (auto _ : state) {
        ReceiverState parser;
        CopyingObserver observer(parser);
        DecodeDriver driver(parser, &observer);
        for (unsigned char b : bytes)
            driver.FeedByte(b);
        benchmark::DoNotOptimize(observer.snapshot);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_DecodeLargestRecordingBytewise)->Unit(benchmark::kMillisecond);

// A u-blox F9P with GPS, GLONASS, Galileo and BeiDou on two signals each,
// repeated to some 12 MB.
std::string MultiGnssRecording()
{
    const std::string one = Slurp(STELMAP_CORPUS_DIR "/gpsd/ublox-zed-f9p-nmea.log");
    std::string out;
    for (int i = 0; i < 200 && !one.empty(); ++i)
        out += one;
    return out;
}

void BM_DecodeMultiGnss(benchmark::State& state)
{
    static const std::string bytes = MultiGnssRecording();
    DecodeBulk(state, bytes);
}
BENCHMARK(BM_DecodeMultiGnss)->Unit(benchmark::kMillisecond);

// The framer feeding nothing, and the framer feeding the GNSS model alone
// (its snapshot copied at every GGA): the difference is the model's cost.
class FramerOnly : public SentenceFramer {
public:
    int OnSentence(const char*, const char*) override { return 1; }
};

class FramerAndModel : public SentenceFramer {
public:
    GnssModel model;
    GnssSnapshot snapshot;
    int OnSentence(const char* address, const char* data) override
    {
        model.OnSentence(address, std::string_view(data, DataLength()));
        if (std::string_view(address).ends_with("GGA"))
            model.CopyTo(snapshot);
        return 1;
    }
};

template <typename Parser>
void FrameMultiGnss(benchmark::State& state)
{
    static const std::string bytes = MultiGnssRecording();
    if (bytes.empty()) {
        state.SkipWithError("recording not found");
        return;
    }
    for (auto _ : state) {
        Parser parser;
        parser.ProcessBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        benchmark::DoNotOptimize(parser);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(FrameMultiGnss<FramerOnly>)->Name("BM_MultiGnssFramerOnly")->Unit(benchmark::kMillisecond);
BENCHMARK(FrameMultiGnss<FramerAndModel>)->Name("BM_MultiGnssFramerAndModel")->Unit(benchmark::kMillisecond);

// Runs a program with a recording on its standard input and its output
// discarded, timing the whole process.
void TimeProgram(benchmark::State& state, const char* const argv[], const std::string& path = kLargestRecording)
{
    int64_t size = 0;
    for (auto _ : state) {
        const int in = ::open(path.c_str(), O_RDONLY);
        const int out = ::open("/dev/null", O_WRONLY);
        if (in < 0 || out < 0) {
            state.SkipWithError("cannot open the recording or /dev/null");
            return;
        }
        size = ::lseek(in, 0, SEEK_END);
        ::lseek(in, 0, SEEK_SET);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in, 0);
        posix_spawn_file_actions_adddup2(&actions, out, 1);
        posix_spawn_file_actions_adddup2(&actions, out, 2);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
        int status = 0;
        if (rc == 0)
            ::waitpid(pid, &status, 0);
        const auto stop = std::chrono::steady_clock::now();
        posix_spawn_file_actions_destroy(&actions);
        ::close(in);
        ::close(out);
        if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError((std::string(argv[0]) + " did not run").c_str());
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetBytesProcessed(state.iterations() * size);
}

void BM_GpsdecodeReference(benchmark::State& state)
{
    const char* const argv[] = {"gpsdecode", nullptr};
    TimeProgram(state, argv);
}
BENCHMARK(BM_GpsdecodeReference)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GpsdecodeGnssDay(benchmark::State& state)
{
    const char* const argv[] = {"gpsdecode", nullptr};
    TimeProgram(state, argv, GnssDayPath());
}
BENCHMARK(BM_GpsdecodeGnssDay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_GpsdecodeDay10HzDual(benchmark::State& state)
{
    const char* const argv[] = {"gpsdecode", nullptr};
    TimeProgram(state, argv, Day10HzPath());
}
BENCHMARK(BM_GpsdecodeDay10HzDual)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StelmapCliDecode(benchmark::State& state)
{
    const char* const argv[] = {STELMAP_CLI_PATH, "decode", "-", nullptr};
    TimeProgram(state, argv);
}
BENCHMARK(BM_StelmapCliDecode)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
