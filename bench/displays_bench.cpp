// One full paint of each drawn page at 1200 x 800, loaded as heavily as the
// pages allow: a day of scatter samples; a full trail ring, 64 satellites
// and a mask on every degree of azimuth.
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

namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 800;

// A fix wandering within about 30 m, every tenth (or every other) above the
// DOP threshold.
void FillScatterPlot(CScatterPlotWnd& page, int badEvery)
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
    CScatterPlotWnd page;
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

void LoadFrontPanel(CFrontPanelStatusWnd& page)
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
    CFrontPanelStatusWnd page;
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
