// Compare speed: matching a receiver's fixes against a reference receiver,
// the figures over a day at 10 Hz, and the Compare page's paint at
// 1200 x 800 with two receivers of an hour each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "compare/compare_page_wnd.h"
#include "compare/comparison.h"
#include "geo/local_tangent_plane.h"

namespace {

constexpr int kFixesPerDay = 864000;  // 24 h at 10 Hz

CompareFix FixAt(int k, double east)
{
    static const LocalTangentPlane plane(47.0, 15.0, 300.0);
    CompareFix f;
    f.time = EpochFromInstant(1.7e9 + k * 0.1);
    f.quality = 1;
    plane.ToGeodetic({east + std::sin(k * 0.01), std::cos(k * 0.013), 0.0}, f.position.latitude,
                     f.position.longitude, f.position.altitude);
    f.readTime = k * 0.1;
    return f;
}

// Reference and receiver interleaved as live fixes come, per fix of the receiver.
void BM_CompareLiveFix(benchmark::State& state)
{
    Comparison c(ReferenceTrack(ReferenceTrack::Kind::Receiver, 0.05), ReadClock::Steady);
    const int r = c.AddReceiver(ReadClock::Steady);
    int k = 0;
    for (auto _ : state) {
        c.AddReferenceFix(FixAt(k, 0.0));
        c.AddFix(r, FixAt(k, 1.0));
        ++k;
    }
    state.SetItemsProcessed(k);
}
BENCHMARK(BM_CompareLiveFix)->Unit(benchmark::kMicrosecond);

// The figures of one receiver over a day: what the table costs per paint.
void BM_CompareFiguresOfADay(benchmark::State& state)
{
    Comparison c(ReferenceTrack(ReferenceTrack::Kind::Receiver, 0.05), ReadClock::Steady);
    const int r = c.AddReceiver(ReadClock::Steady);
    for (int k = 0; k < kFixesPerDay; ++k) {
        c.AddReferenceFix(FixAt(k, 0.0));
        c.AddFix(r, FixAt(k, 1.0));
    }
    c.Finish();
    for (auto _ : state)
        benchmark::DoNotOptimize(c.Figures(r));
}
BENCHMARK(BM_CompareFiguresOfADay)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PaintComparePageAfterAnHour(benchmark::State& state)
{
    ComparePageWnd page;
    page.resize(1200, 800);
    page.UseReceiver(0);
    for (int k = 0; k < 36000; ++k)
        for (int id = 0; id < 3; ++id) {
            const CompareFix f = FixAt(k, id);
            DisplaySnapshot d;
            d.latitude = f.position.latitude;
            d.longitude = f.position.longitude;
            d.altitude = f.position.altitude;
            d.countedQuality = 1;
            GnssSnapshot g;
            g.date = GnssDate{2023, 11, 14};
            char time[16];
            std::snprintf(time, sizeof time, "%02d:%02d:%04.1f", k / 36000, k / 600 % 60, std::fmod(k * 0.1, 60.0));
            g.fixTime = g.time = time;
            page.AddFix(id, "R" + QString::number(id), Qt::blue, d, g,
                        std::chrono::steady_clock::time_point(std::chrono::milliseconds(k * 100)));
        }
    for (auto _ : state)
        benchmark::DoNotOptimize(page.Render());
}
BENCHMARK(BM_PaintComparePageAfterAnHour)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
