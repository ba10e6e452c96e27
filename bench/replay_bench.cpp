// Whole-file analysis: a day of fixes decoded into every page, as File >
// Analyse Recording does it, and the decoding alone, to tell the decoder's
// share from the pages'. The recordings come from stelmap-sim (generated
// into the temporary folder on first use, or named by STELMAP_BENCH_1HZ and
// STELMAP_BENCH_10HZ): a day at 1 Hz with GPS and GLONASS (86,400 fixes),
// and a day at 10 Hz with both solutions (864,000 fixes). Peak memory is
// reported as a counter (max_rss_mb).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <algorithm>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/resource.h>

#include "app/main_window.h"
#include "app/replay_controller.h"
#include "link/link_objects.h"
#include "link/recording_analysis.h"
#include "link/serial_port.h"

namespace {

std::string Recording(const char* variable, const std::string& name, const std::string& simArgs)
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

std::string Day1Hz() { return Recording("STELMAP_BENCH_1HZ", "stelmap_bench_day_1hz.nmea", "--rate 1 --fixes 86400"); }
std::string Day10Hz()
{
    return Recording("STELMAP_BENCH_10HZ", "stelmap_bench_day_10hz.nmea", "--rate 10 --dual --fixes 864000");
}

double MaxRssMb()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void DecodeOnly(benchmark::State& state, const std::string& path)
{
    uint64_t fixes = 0;
    for (auto _ : state) {
        std::atomic<bool> cancel{false};
        const RecordingAnalysisResult r = RecordingAnalysis::Run(
            path, [](std::vector<AnalysedFix>&& batch, uint64_t) { benchmark::DoNotOptimize(batch.data()); }, cancel);
        fixes = r.fixes;
    }
    state.counters["fixes"] = static_cast<double>(fixes);
    state.counters["max_rss_mb"] = MaxRssMb();
}

// The window's own path: worker thread, batches, the pages fed on this thread.
void IntoEveryPage(benchmark::State& state, const std::string& path)
{
    StartupOptions options;
    options.connect = ConnectOption{"/nonexistent/stelmap-bench-port", 9600};
    CMainFrame frame(options);
    for (auto _ : state) {
        frame.Replay()->AnalyseRecording(QString::fromStdString(path));
        while (frame.Replay()->Busy())
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    state.counters["fixes"] = static_cast<double>(frame.Fixes().Count());
    state.counters["max_rss_mb"] = MaxRssMb();
}

// A seek to the end of a playback: the file decoded again up to the target
// by the link's reader, its fixes handed to every page in batches.
void SeekToTheEnd(benchmark::State& state, const std::string& path)
{
    StartupOptions options;
    options.connect = ConnectOption{"/nonexistent/stelmap-bench-port", 9600};
    CMainFrame frame(options);
    uint64_t fixes = 0;
    const uint64_t size = std::filesystem::file_size(path);
    for (auto _ : state) {
        state.PauseTiming();
        if (!frame.StartPlayback(QString::fromStdString(path))) {
            state.SkipWithError("the playback did not start");
            return;
        }
        g_sio.Pacer().SetPaused(true, 0);
        QApplication::processEvents();
        state.ResumeTiming();
        frame.Replay()->Seek(g_sio.Pacer().DurationUs());
        while (g_sio.Pacer().SeekTargetBytes() != 0 || g_sio.PlaybackDelivered() < size)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        // The pages have every fix once the last batch is published.
        for (int idle = 0; idle < 5; ++idle)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        fixes = frame.Fixes().Count();  // the seek started the pages afresh
    }
    state.counters["fixes"] = static_cast<double>(fixes);
}

long RssKb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// 200,000 fixes at 10 Hz played back as fast as possible: what the window
// holds at its peak and once the playback is stopped. The queues between
// the reader and the window are bounded, so the peak is the pages' own.
void FastPlayback(benchmark::State& state)
{
    const std::string path = Recording("STELMAP_BENCH_200K", "stelmap_bench_200k_10hz.nmea", "--rate 10 --fixes 200000");
    if (path.empty()) {
        state.SkipWithError("cannot run stelmap-sim");
        return;
    }
    StartupOptions options;
    options.connect = ConnectOption{"/nonexistent/stelmap-bench-port", 9600};
    CMainFrame frame(options);
    const long startKb = RssKb();
    long peakKb = startKb;
    for (auto _ : state) {
        if (!frame.StartPlayback(QString::fromStdString(path))) {
            state.SkipWithError("the playback did not start");
            return;
        }
        g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
        while (!frame.Replay()->PlaybackFinished()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            peakKb = std::max(peakKb, RssKb());
        }
    }
    frame.Stop();
    for (int idle = 0; idle < 50; ++idle)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    state.counters["file_mb"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["fixes"] = static_cast<double>(frame.Fixes().Count());
    state.counters["rss_start_mb"] = static_cast<double>(startKb) / 1024.0;
    state.counters["rss_peak_mb"] = static_cast<double>(peakKb) / 1024.0;
    state.counters["rss_after_stop_mb"] = static_cast<double>(RssKb()) / 1024.0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir settingsDir;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QApplication app(argc, argv);
    const std::string day1 = Day1Hz();
    const std::string day10 = Day10Hz();
    if (!day1.empty()) {
        benchmark::RegisterBenchmark("Analyse/Day1HzGpsGlonass/DecodeOnly", DecodeOnly, day1)->Unit(benchmark::kSecond)->Iterations(1);
        benchmark::RegisterBenchmark("Analyse/Day1HzGpsGlonass/IntoEveryPage", IntoEveryPage, day1)->Unit(benchmark::kSecond)->Iterations(1);
        benchmark::RegisterBenchmark("Seek/Day1HzGpsGlonass/ToTheEnd", SeekToTheEnd, day1)->Unit(benchmark::kSecond)->Iterations(1);
    }
    if (!day10.empty()) {
        benchmark::RegisterBenchmark("Analyse/Day10HzDual/DecodeOnly", DecodeOnly, day10)->Unit(benchmark::kSecond)->Iterations(1);
        benchmark::RegisterBenchmark("Analyse/Day10HzDual/IntoEveryPage", IntoEveryPage, day10)->Unit(benchmark::kSecond)->Iterations(1);
    }
    benchmark::RegisterBenchmark("Playback/200kFixes10Hz/AsFastAsPossible", FastPlayback)->Unit(benchmark::kSecond)->Iterations(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
