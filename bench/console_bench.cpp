// The receive log at its line limit, fed the most the main window moves per
// 100 ms tick: 32768 characters of NMEA text per append.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "console/log_edit_ctrl.h"

namespace {

const QColor kReceiveColour(0, 128, 0);

QString NmeaText(int characters, int seed)
{
    QString text;
    text.reserve(characters + 100);
    for (int i = seed; text.size() < characters; ++i) {
        text += QStringLiteral("$GPGGA,%1.00,4807.0%2,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n")
                    .arg(100000 + i % 86400)
                    .arg(i % 100, 2, 10, QLatin1Char('0'));
    }
    text.truncate(characters);
    return text;
}

long ResidentKiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// A shown log already holding m_maxLines lines.
struct FullLog {
    FullLog()
    {
        log.resize(800, 600);
        log.show();
        QString lines;
        for (int i = 0; i < log.m_maxLines; ++i)
            lines += QStringLiteral("$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74\n");
        log.AppendText(kReceiveColour, lines);
        QApplication::processEvents();
    }
    LogEditCtrl log;
};

// One append, with (argument 1) and without (0) the repaint it causes.
void BM_AppendToFullLog(benchmark::State& state)
{
    const bool repaint = state.range(0) != 0;
    FullLog full;
    QString chunks[8];
    for (int i = 0; i < 8; ++i)
        chunks[i] = NmeaText(32768, i * 1000);
    int n = 0;
    for (auto _ : state) {
        full.log.AppendText(kReceiveColour, chunks[n++ % 8]);
        if (repaint)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    state.counters["lines"] = full.log.LineCount();
    state.SetBytesProcessed(state.iterations() * 32768 * 2);
}
BENCHMARK(BM_AppendToFullLog)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Resident memory over 10,000 appends: measured after the first 1,000 (when
// the allocator has settled) and at the end.
void BM_AppendMemory(benchmark::State& state)
{
    FullLog full;
    QString chunks[8];
    for (int i = 0; i < 8; ++i)
        chunks[i] = NmeaText(32768, i * 1000);
    int n = 0;
    long settled = 0;
    for (auto _ : state) {
        full.log.AppendText(kReceiveColour, chunks[n % 8]);
        QApplication::processEvents();
        if (++n == 1000)
            settled = ResidentKiB();
    }
    const long end = ResidentKiB();
    state.counters["rss_after_1000_MiB"] = settled / 1024.0;
    state.counters["rss_end_MiB"] = end / 1024.0;
    state.counters["rss_growth_MiB"] = (end - settled) / 1024.0;
}
BENCHMARK(BM_AppendMemory)->Unit(benchmark::kMillisecond)->Iterations(10000);

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
