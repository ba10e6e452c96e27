// Position page speed: the cost of one fix, and of painting the page after a
// day of fixes at 1 Hz.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <memory>
#include <random>

#include "kit/command_actions.h"
#include "analysis/position_plot_wnd.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"

namespace {

constexpr int kFixesPerDay = 86400;

// A receiver standing still: positions wander by a few metres, HPL and HFOM
// by a few metres, and now and then the error exceeds the protection level.
struct Receiver {
    std::mt19937 rng{1};
    std::normal_distribution<double> noise{0.0, 1.0};
    double north = 0.0, east = 0.0, up = 0.0;

    void Next(PositionPlotWnd& page)
    {
        north = 0.995 * north + 0.3 * noise(rng);
        east = 0.995 * east + 0.3 * noise(rng);
        up = 0.995 * up + 0.5 * noise(rng);
        const int hpl = 800 + static_cast<int>(rng() % 400);
        const int hfom = 300 + static_cast<int>(rng() % 200);
        page.OnPositionUpdate(hpl, hfom, 47.0705 + north * 9e-6, 15.4396 + east * 1.3e-5, 355.0 + up);
    }
};

// A day of fixes. With the user position near the receiver the errors
// spread over the horizontals plot and only the odd fix violates its HPL;
// with none stored (measured from 0, 0) every fix violates and gets a
// marker, the most points a day can leave.
struct Day {
    CommandActions commands;
    PositionPlotWnd page{commands};
    Receiver receiver;
    explicit Day(bool userNearby)
    {
        page.resize(1200, 800);
        if (userNearby)
            page.SetUserPosition(47.0705, 15.4396, 355.0);
        else
            page.SetUserPosition(0.0, 0.0, 0.0);
        for (int i = 0; i < kFixesPerDay; ++i)
            receiver.Next(page);
    }
};

Day& TheDay(bool userNearby)
{
    static Day nearby(true);
    static Day unset(false);
    return userNearby ? nearby : unset;
}

void MemoryCounters(benchmark::State& state, const PositionPlotWnd& page)
{
    double points = 0, bytes = 0;
    for (const VPlot* plot : {&page.LatitudePlot(), &page.LongitudePlot(), &page.AltitudePlot(), &page.HorizontalsPlot()})
        for (int s = 0; s < kMaxSeries; ++s) {
            points += plot->Series(s).PointCount();
            bytes += static_cast<double>(plot->Series(s).AllocatedBytes());
        }
    state.counters["stored_points"] = points;
    state.counters["bytes_per_point"] = bytes / points;
}

void BM_PaintPageAfterADay(benchmark::State& state)
{
    SetCurrentAppLook(static_cast<int>(state.range(0)));
    Day& day = TheDay(state.range(1) != 0);
    state.SetLabel(state.range(1) != 0 ? "user nearby" : "no user position");
    for (auto _ : state) {
        QImage image = day.page.Render();
        benchmark::DoNotOptimize(image.constBits());
    }
    MemoryCounters(state, day.page);
}
BENCHMARK(BM_PaintPageAfterADay)
    ->Args({kLookOffice2007Black, 1})
    ->Args({kLookOffice2007Black, 0})
    ->Args({kLookOffice2007Blue, 1})
    ->Unit(benchmark::kMillisecond);

// One plot with a day of raw, trend and average points, drawn with and
// without thinning the runs on one pixel column.
void BM_DrawLatitudePlot(benchmark::State& state)
{
    static std::unique_ptr<VPlot> plot = [] {
        auto p = std::make_unique<VPlot>();
        std::mt19937 rng(2);
        std::normal_distribution<double> noise(0.0, 1.0);
        double walk = 0.0, sum = 0.0;
        for (int i = 0; i < kFixesPerDay; ++i) {
            walk = 0.995 * walk + 0.3 * noise(rng);
            sum += walk;
            p->AddPoint(0, i, 47.0705 + walk * 9e-6);
            p->AddPoint(2, i, 47.0705 + sum / (i + 1) * 9e-6);
        }
        p->AddPoint(1, 1, 47.0705);
        p->AddPoint(1, kFixesPerDay, 47.0706);
        return p;
    }();
    plot->m_mergeColumns = state.range(0) != 0;
    QImage image(782, 195, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        plot->Draw(painter, image.rect());
    }
    state.SetLabel(plot->m_mergeColumns ? "merged columns" : "every point");
}
BENCHMARK(BM_DrawLatitudePlot)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// One fix, after `range(0)` earlier fixes: the same cost however many.
void BM_OnPositionUpdate(benchmark::State& state)
{
    CommandActions commands;
    PositionPlotWnd page(commands);
    page.SetUserPosition(47.0705, 15.4396, 355.0);
    Receiver receiver;
    for (int64_t i = 0; i < state.range(0); ++i)
        receiver.Next(page);
    for (auto _ : state)
        receiver.Next(page);
}
BENCHMARK(BM_OnPositionUpdate)->Arg(0)->Arg(kFixesPerDay);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
