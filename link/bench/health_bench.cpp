// What counting the link's health costs the decoder: the same simulator
// output framed and decoded by the plain receiver state and by the link's
// counting parser, in the reader's read size. The goal is at most 5 %.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "link/health_observer.h"
#include "link/link_threads.h"
#include "tests/sim_process.h"

namespace {

const std::string& Recording()
{
    static const std::string bytes = [] {
        std::string out;
        const std::string command = SimPath() + " --stdout --fast --fixes 3000 --dual --faults 0.01";
        if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[65536];
            size_t n = 0;
            while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                out.append(buffer, n);
            ::pclose(pipe);
        }
        return out;
    }();
    return bytes;
}

// The link reader's decoding, with the health counted by its observer.
struct HealthCountingParser {
    ReceiverState state;
    LinkHealth health;
    HealthObserver observer{&health};
    DecodeDriver driver{state, &observer};
};

template <typename Parser>
void Decode(benchmark::State& state)
{
    const std::string& bytes = Recording();
    if (bytes.empty()) {
        state.SkipWithError("no simulator output");
        return;
    }
    constexpr size_t kRead = LinkThreads::kLiveReadSize;
    for (auto _ : state) {
        Parser parser;
        if constexpr (std::is_same_v<Parser, HealthCountingParser>)
            parser.health.Restart(std::chrono::steady_clock::now());
        else
            parser.SetPositionHandOff([] {});
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        for (size_t at = 0; at < bytes.size(); at += kRead) {
            const size_t n = std::min(kRead, bytes.size() - at);
            if constexpr (std::is_same_v<Parser, HealthCountingParser>) {
                parser.health.OnBytes(n, std::chrono::steady_clock::now());
                parser.driver.Feed(data + at, n);
            } else {
                parser.ProcessBytes(data + at, n);
            }
        }
        if constexpr (std::is_same_v<Parser, HealthCountingParser>)
            benchmark::DoNotOptimize(parser.state.m_ggaCount);
        else
            benchmark::DoNotOptimize(parser.m_ggaCount);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_DecodeWithoutHealth(benchmark::State& state) { Decode<ReceiverState>(state); }
void BM_DecodeCountingHealth(benchmark::State& state) { Decode<HealthCountingParser>(state); }

BENCHMARK(BM_DecodeWithoutHealth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeCountingHealth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
