#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <thread>

#include "link/link_threads.h"
#include "link/session_recorder.h"
#include "link/tests/own_link.h"
#include "link/time_index.h"
#include "tests/sim_process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using TimePoint = std::chrono::steady_clock::time_point;

std::vector<double> IntervalsMs(const std::vector<RecordingObserver::Update>& updates)
{
    std::vector<double> ms;
    for (size_t i = 1; i < updates.size(); ++i)
        ms.push_back(std::chrono::duration<double, std::milli>(updates[i].at - updates[i - 1].at).count());
    return ms;
}

// Plays `path` on a link of its own at `speed` and returns when each fix arrived.
std::vector<RecordingObserver::Update> Replay(const std::string& path, double speed, size_t fixes)
{
    OwnLink link;
    RecordingObserver observer{link};
    LinkThreads threads{link.Objects(), observer};
    EXPECT_TRUE(link.sio.OpenPlayback(path));
    EXPECT_EQ(link.sio.Pacer().From(), PlaybackSchedule::Source::TimeIndex);
    link.sio.Pacer().SetSpeed(speed, SteadyMicros());
    EXPECT_TRUE(threads.Start());
    EXPECT_TRUE(observer.WaitForUpdates(fixes, 10s));
    threads.Stop();
    return observer.Updates();
}

}  // namespace

// Recorded from the simulator at 5 Hz, with the reads stamped as the window
// records them; replayed at 1x the fixes arrive at the recorded intervals,
// at 10x ten times faster.
TEST(PlaybackPacing, ARecordingReplaysAtItsRecordedPace)
{
    const std::string path = (fs::temp_directory_path() / ("stelmap_pace_" + std::to_string(::getpid()))).string();
    constexpr size_t kFixes = 15;
    std::vector<RecordingObserver::Update> live;
    {
        OwnLink link;
        RecordingObserver observer{link};
        LinkThreads threads{link.Objects(), observer};
        SessionRecorder recorder;
        ASSERT_TRUE(recorder.Start(path));
        SimProcess sim({"--rate", "5", "--fixes", std::to_string(kFixes), "--seed", "4"});
        ASSERT_TRUE(sim.Started());
        const std::string pty = sim.ReadLine(2s);
        ASSERT_TRUE(link.sio.OpenPort(pty, 115200)) << link.sio.LastOpenErrorText();
        ASSERT_TRUE(threads.Start());
        ASSERT_TRUE(observer.WaitUntil([&] { return observer.lostLocked() > 0; }, 10s));
        threads.Stop();
        const ReceivedChunk chunk = DrainReceived(link.Objects(), SIZE_MAX);
        ASSERT_TRUE(recorder.Append(chunk.bytes, chunk.stamps));
        ASSERT_TRUE(recorder.Stop());
        live = observer.Updates();
    }
    ASSERT_EQ(live.size(), kFixes);
    ASSERT_GE(ReadTimeIndex(TimeIndexPath(path)).size(), kFixes);

    const std::vector<double> recorded = IntervalsMs(live);
    const std::vector<double> atOne = IntervalsMs(Replay(path, 1.0, kFixes));
    const std::vector<double> atTen = IntervalsMs(Replay(path, 10.0, kFixes));
    ASSERT_EQ(atOne.size(), recorded.size());
    ASSERT_EQ(atTen.size(), recorded.size());
    double recordedSpan = 0.0, tenSpan = 0.0;
    for (size_t i = 0; i < recorded.size(); ++i) {
        EXPECT_NEAR(atOne[i], recorded[i], 20.0) << "interval " << i;
        EXPECT_NEAR(atTen[i], recorded[i] / 10.0, 20.0) << "interval " << i;
        recordedSpan += recorded[i];
        tenSpan += atTen[i];
    }
    EXPECT_NEAR(tenSpan, recordedSpan / 10.0, recordedSpan / 10.0 * 0.15);
    fs::remove(path);
    fs::remove(TimeIndexPath(path));
}
