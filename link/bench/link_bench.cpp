// Link timings that need the real clock: the delay from a GGA written by
// stelmap-sim to the position update, and the CPU the link threads use with
// no source open. Each runs once (they take seconds of wall time).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <thread>
#include <time.h>
#include <vector>

#include "link/link_threads.h"
#include "tests/sim_process.h"

namespace {

long long MonotonicNanoseconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

double CpuSeconds(clockid_t clock)
{
    timespec ts{};
    ::clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Shared {
    ReceiverState parser;
    std::mutex dataLock;
    std::mutex parserLock;
    std::deque<char> rxQueue;
    DisplaySnapshot snapshot;
    SerialPort sio{[this] { ResetParserData(Objects(), false); }};
    LinkObjects Objects() { return {parser, sio, dataLock, parserLock, rxQueue, snapshot, nullptr, nullptr, nullptr}; }
};

// Notes when each fix reaches the "window".
class TimingObserver : public LinkObserver {
public:
    explicit TimingObserver(Shared& shared)
        : m_shared(shared)
    {
    }
    void PositionUpdate() override
    {
        const long long now = MonotonicNanoseconds();
        std::lock_guard lock(m_shared.dataLock);
        arrivals.push_back({m_shared.snapshot.latitude, m_shared.snapshot.longitude, now});
        m_shared.rxQueue.clear();
    }
    void RxActivity() override {}
    void ReceiverLost() override { lost = true; }

    struct Arrival {
        double latitude;
        double longitude;
        long long at;
    };
    std::vector<Arrival> arrivals;  // read after Stop
    std::atomic<bool> lost{false};

private:
    Shared& m_shared;
};

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(std::ceil(p * values.size())) - 1);
    return values[index];
}

void BM_GgaToPositionUpdate(benchmark::State& state)
{
    const int fixes = static_cast<int>(state.range(0));
    const std::string truthPath =
        (std::filesystem::temp_directory_path() / ("stelmap_bench_truth_" + std::to_string(::getpid()))).string();
    for (auto _ : state) {
        Shared shared;
        TimingObserver observer(shared);
        LinkThreads threads(shared.Objects(), observer);
        SimProcess sim({"--rate", "10", "--fixes", std::to_string(fixes), "--truth", truthPath});
        const std::string path = sim.ReadLine(std::chrono::seconds(2));
        if (path.empty() || !shared.sio.OpenPort(path, 115200) || !threads.Start()) {
            state.SkipWithError("cannot run stelmap-sim");
            return;
        }
        const auto started = std::chrono::steady_clock::now();
        while (!observer.lost.load() && std::chrono::steady_clock::now() - started < std::chrono::seconds(fixes / 10 + 10))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        threads.Stop();
        sim.Wait();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

        std::vector<double> delays;
        for (const TruthLine& t : ReadTruth(truthPath)) {
            const auto it = std::find_if(observer.arrivals.begin(), observer.arrivals.end(), [&](const auto& a) {
                return std::fabs(a.latitude - TruthNumber(t, "lat")) < 1e-9 &&
                       std::fabs(a.longitude - TruthNumber(t, "lon")) < 1e-9;
            });
            if (it != observer.arrivals.end())
                delays.push_back(static_cast<double>(it->at - std::stoll(t.at("t_ns"))) / 1e6);
        }
        if (delays.empty()) {
            state.SkipWithError("no fix arrived");
            return;
        }
        state.counters["fixes"] = static_cast<double>(delays.size());
        state.counters["median_ms"] = Percentile(delays, 0.5);
        state.counters["p99_ms"] = Percentile(delays, 0.99);
        state.counters["max_ms"] = Percentile(delays, 1.0);
    }
    std::filesystem::remove(truthPath);
}
BENCHMARK(BM_GgaToPositionUpdate)->Arg(300)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_IdleLinkCpu(benchmark::State& state)
{
    for (auto _ : state) {
        Shared shared;
        TimingObserver observer(shared);
        LinkThreads threads(shared.Objects(), observer);
        const double before = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        const auto started = std::chrono::steady_clock::now();
        threads.Start();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        threads.Stop();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - before;
        state.SetIterationTime(wall);
        state.counters["cpu_us_per_s"] = cpu / wall * 1e6;
        state.counters["cpu_percent"] = cpu / wall * 100.0;
    }
}
BENCHMARK(BM_IdleLinkCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
