// One full paint of each drawn page at 1200 x 800, loaded as heavily as the
// pages allow: a day of scatter samples; a full trail ring, 64 satellites
// and a mask on every degree of azimuth; 200 signals with ten minutes of
// trails on the Signals page.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdlib>

#include "displays/front_panel_status_wnd.h"
#include "kit/fonts.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"
#include "displays/scatter_plot_model.h"
#include "displays/scatter_plot_wnd.h"
#include "displays/signals_page_wnd.h"

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;

// A fix wandering within about 30 m, every tenth (or every other) above the
// DOP threshold.
void FillScatterPlot(ScatterPlotWnd& page, int badEvery)
{
    page.resize(kWidth, kHeight);
    page.SetDopThreshold(200);
    for (std::size_t i = 0; i < kMaxScatterSamples; ++i) {
        const double a = static_cast<double>(i) * 0.001;
        const double r = 12.0 + 10.0 * std::sin(static_cast<double>(i) * 0.0137) + std::fmod(i * 0.618, 4.0);
        page.AddSample(47.0 + r * std::cos(a) / 111200.0, 8.0 + r * std::sin(a) / 75900.0, 400.0,
                       i % static_cast<std::size_t>(badEvery) == 0 ? 3.0 : 1.0, 1.5);
    }
}

void BM_ScatterPlotPaint(benchmark::State& state)
{
    SetCurrentAppLook(static_cast<int>(state.range(1)));
    ScatterPlotWnd page;
    FillScatterPlot(page, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QImage image = page.RenderPage();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["samples"] = static_cast<double>(page.Model().Samples().size());
}
BENCHMARK(BM_ScatterPlotPaint)
    ->Args({10, kLookOffice2007Black})
    ->Args({2, kLookOffice2007Black})
    ->Args({10, kLookOffice2007Blue})
    ->Unit(benchmark::kMillisecond);

DisplaySnapshot g_snapshot;

void LoadFrontPanel(FrontPanelStatusWnd& page)
{
    page.resize(kWidth, kHeight);
    page.SetSnapshotSource([] { return g_snapshot; });
    g_snapshot = {};
    g_snapshot.satsInView = 64;
    g_snapshot.satsInUse = 40;
    g_snapshot.sbasSeen = 1;
    g_snapshot.glonassSeen = 1;
    // 160 fixes in which all 64 satellites move fill the 9999-point ring;
    // used satellites with a good signal sweep every degree of the mask.
    for (int fix = 0; fix < 160; ++fix) {
        for (int i = 0; i < 64; ++i) {
            SnapshotSatellite& s = g_snapshot.satellites[static_cast<std::size_t>(i)];
            s.prn = i < 32 ? i + 1 : i + 33;
            s.azimuth = (i * 37 + fix) % 360;
            s.elevation = 5 + (i * 13 + fix) % 80;
            s.snr = 20 + i % 36;
            s.used = i % 3 != 0;
        }
        page.UpdateFromSnapshot();
    }
}

void BM_FrontPanelPaint(benchmark::State& state)
{
    SetCurrentAppLook(static_cast<int>(state.range(0)));
    FrontPanelStatusWnd page;
    LoadFrontPanel(page);
    int masked = 0;
    for (double v : page.SkyPlot().History().Mask())
        masked += v != 90.0;
    for (auto _ : state) {
        QImage image = page.RenderPage();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["trail"] = page.SkyPlot().History().TrailCount();
    state.counters["mask"] = masked;
}
BENCHMARK(BM_FrontPanelPaint)->Arg(kLookOffice2007Black)->Arg(kLookOffice2007Blue)->Unit(benchmark::kMillisecond);

// 100 satellites of four systems on two signals each, moving at every
// update for ten minutes, so every trail holds as many points as it keeps.
void BM_SignalsPagePaint(benchmark::State& state)
{
    SetCurrentAppLook(static_cast<int>(state.range(0)));
    static GnssSnapshot snapshot;
    SignalsPageWnd page;
    page.resize(kWidth, kHeight);
    page.SetSnapshotSource([] { return snapshot; });
    const std::pair<GnssSystem, int> systems[] = {
        {GnssSystem::GPS, 32}, {GnssSystem::GLONASS, 24}, {GnssSystem::Galileo, 24}, {GnssSystem::BeiDou, 20}};
    const double steps = SignalTrails::kWindowSeconds / SignalTrails::kMinSpacingSeconds;
    for (int step = 0; step <= static_cast<int>(steps); ++step) {
        snapshot.satellites.clear();
        int k = 0;
        for (const auto& [system, count] : systems) {
            for (int n = 1; n <= count; ++n, ++k) {
                for (int signal : {1, 7}) {
                    GnssSignalView v;
                    v.system = system;
                    v.number = system == GnssSystem::GLONASS ? 64 + n : n;
                    v.signal = signal;
                    v.azimuth = (k * 37 + step) % 360;
                    v.elevation = 5 + (k * 13 + step / 2) % 80;
                    v.cnr = 20 + (k + signal) % 30;
                    v.used = k % 3 != 0;
                    snapshot.satellites.push_back(v);
                }
            }
        }
        page.UpdateFromSnapshotAt(step * SignalTrails::kMinSpacingSeconds);
    }
    snapshot.gbs = GnssIntegrity{1.0, 1.0, 2.0, GnssSatelliteId{GnssSystem::GPS, 5}, 0.01, 8.0, 1.5};
    page.UpdateFromSnapshotAt(steps * SignalTrails::kMinSpacingSeconds);
    size_t points = 0;
    for (const auto& [id, trail] : page.Trails().Trails())
        points += trail.size();
    for (auto _ : state) {
        QImage image = page.RenderPage();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["signals"] = static_cast<double>(snapshot.satellites.size());
    state.counters["trailPoints"] = static_cast<double>(points);
}
BENCHMARK(BM_SignalsPagePaint)->Arg(kLookOffice2007Black)->Arg(kLookOffice2007Blue)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    RegisterApplicationFonts();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
