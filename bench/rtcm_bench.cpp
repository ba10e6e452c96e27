// RTCM 3 throughput: the framer alone and with the tally (decoders, counts,
// rates), over a day of a base station's stream (1005 every 10 s, MSM4 of
// four systems every second, 1033 every minute), fed in reads of 1 KiB as
// a caster's answer comes; and the framer over random noise, where every
// 0xD3 starts a candidate that must be checked.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "rtcm/rtcm_framer.h"
#include "rtcm/rtcm_tally.h"
#include "rtcm/tests/rtcm_samples.h"

namespace {

const std::string& BaseDay()
{
    static const std::string bytes = [] {
        std::string day;
        for (int s = 0; s < 86400; ++s) {
            if (s % 10 == 0)
                day += StationFrame(2003, 4075580.1234, 931853.5678, 4801568.9012, 1006, 1.5);
            if (s % 60 == 0)
                day += DescriptorFrame(2003, "TRM59800.00     NONE", "5000118", "SEPT POLARX5", "5.4.0", "3001234");
            for (int message : {1074, 1084, 1094, 1124})
                day += MsmFrame(message, 2003, 10, static_cast<uint32_t>(s * 1000));
        }
        return day;
    }();
    return bytes;
}

const std::string& Noise()
{
    static const std::string bytes = [] {
        std::mt19937 random(7);
        std::string noise(16 << 20, '\0');
        for (char& c : noise)
            c = static_cast<char>(random() & 0xFF);
        return noise;
    }();
    return bytes;
}

void FrameInReads(benchmark::State& state, const std::string& bytes, bool tally)
{
    for (auto _ : state) {
        RtcmFramer framer;
        RtcmTally counts;
        size_t frames = 0;
        for (size_t i = 0; i < bytes.size(); i += 1024) {
            const std::string_view read = std::string_view(bytes).substr(i, 1024);
            frames += tally ? counts.Feed(read, static_cast<double>(i)).size() : framer.Feed(read).size();
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void BM_FramerBaseDay(benchmark::State& state) { FrameInReads(state, BaseDay(), false); }
void BM_TallyBaseDay(benchmark::State& state) { FrameInReads(state, BaseDay(), true); }
void BM_FramerNoise(benchmark::State& state) { FrameInReads(state, Noise(), false); }

BENCHMARK(BM_FramerBaseDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TallyBaseDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramerNoise)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
