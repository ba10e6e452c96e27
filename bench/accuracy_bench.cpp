// Accuracy speed: `stelmap-cli accuracy` over a day at 10 Hz, the page's
// cost of one more fix at that length, and its paint at 1200 x 800.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include "analysis/accuracy_page_wnd.h"
#include "kit/fonts.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"

extern char** environ;

namespace {

constexpr int kFixesPerDay = 864000;  // 24 h at 10 Hz

// A day of GGA and RAIM from the simulator, made once per run.
const std::string& DayRecording()
{
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "stelmap_accuracy_day.nmea").string();
        const std::string command = std::string(STELMAP_SIM_PATH) + " --stdout --fast --rate 10 --mask 82 --fixes "
            + std::to_string(kFixesPerDay) + " > " + file;
        return std::system(command.c_str()) == 0 ? file : std::string();
    }();
    return path;
}

void BM_StelmapCliAccuracyDay(benchmark::State& state)
{
    const std::string& recording = DayRecording();
    if (recording.empty()) {
        state.SkipWithError("the simulator did not write the recording");
        return;
    }
    const char* const argv[] = {STELMAP_CLI_PATH, "accuracy", recording.c_str(), "--truth", "47.0707,15.4395,353",
                                nullptr};
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
        int status = 0;
        if (rc == 0)
            ::waitpid(pid, &status, 0);
        const auto stop = std::chrono::steady_clock::now();
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("stelmap-cli accuracy did not run");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["fixes"] = kFixesPerDay;
}
BENCHMARK(BM_StelmapCliAccuracyDay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A receiver wandering about its user position, with an HPL, HFOM and a
// change of fix quality now and then.
struct Receiver {
    std::mt19937 rng{1};
    std::normal_distribution<double> noise{0.0, 1.0};
    double north = 0.0, east = 0.0;
    int i = 0;

    void Next(AccuracyPageWnd& page)
    {
        north = 0.995 * north + 0.3 * noise(rng);
        east = 0.995 * east + 0.3 * noise(rng);
        const int quality = (i++ / 36000) % 3 == 2 ? 4 : 1;
        page.OnPositionUpdate(quality, 47.0707 + north * 9e-6, 15.4395 + east * 1.3e-5, 353.0 + noise(rng),
                              800 + static_cast<int>(rng() % 400), 300 + static_cast<int>(rng() % 200));
    }
};

struct Day {
    AccuracyPageWnd page;
    Receiver receiver;
    explicit Day(bool truth)
    {
        page.resize(1200, 800);
        if (truth)
            page.SetUserPosition(47.0707, 15.4395, 353.0);
        for (int i = 0; i < kFixesPerDay; ++i)
            receiver.Next(page);
    }
};

Day& TheDay(bool truth)
{
    static Day withTruth(true);
    static Day withoutTruth(false);
    return truth ? withTruth : withoutTruth;
}

void BM_AccuracyAddFixAfterADay(benchmark::State& state)
{
    Day& day = TheDay(state.range(0) != 0);
    state.SetLabel(state.range(0) != 0 ? "user position" : "mean");
    for (auto _ : state)
        day.receiver.Next(day.page);
}
BENCHMARK(BM_AccuracyAddFixAfterADay)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_PaintAccuracyPageAfterADay(benchmark::State& state)
{
    SetCurrentAppLook(static_cast<int>(state.range(0)));
    Day& day = TheDay(state.range(1) != 0);
    state.SetLabel(state.range(1) != 0 ? "user position" : "mean");
    for (auto _ : state) {
        QImage image = day.page.Render();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintAccuracyPageAfterADay)
    ->Args({kLookOffice2007Black, 1})
    ->Args({kLookOffice2007Blue, 1})
    ->Args({kLookOffice2007Blue, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    RegisterApplicationFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
