#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "link/playback_pacer.h"
#include "link/playback_schedule.h"
#include "link/session_recorder.h"
#include "link/time_index.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct TempPath {
    std::string path = (fs::temp_directory_path() / ("stelmap_rec_" + std::to_string(::getpid()))).string();
    ~TempPath()
    {
        fs::remove(path);
        fs::remove(TimeIndexPath(path));
    }
};

}  // namespace

TEST(TimeIndex, LinesRoundTripAndBadLinesAreSkipped)
{
    const TimeIndexEntry e{412, 100127, *ParseUtcMicros("2026-12-09T10:15:02.203338Z")};
    EXPECT_EQ(FormatTimeIndexLine(e), "412 100127 2026-12-09T10:15:02.203338Z\n");
    EXPECT_EQ(ParseTimeIndexLine(FormatTimeIndexLine(e)), e);
    EXPECT_EQ(*ParseUtcMicros("1970-01-02T00:00:00Z"), 86400000000);
    EXPECT_EQ(*ParseUtcMicros("2000-03-01T00:00:00.5Z") - *ParseUtcMicros("2000-02-28T00:00:00.5Z"), 2 * 86400000000LL);
    for (const char* bad : {"", "# comment", "12 34", "x 1 2026-12-09T10:15:02Z", "1 -5 2026-12-09T10:15:02Z",
                            "1 2 2026-13-09T10:15:02Z", "1 2 2026-12-09 10:15:02Z"})
        EXPECT_FALSE(ParseTimeIndexLine(bad)) << bad;
}

TEST(SessionRecorder, WritesTheBytesAsGivenAndOneIndexLinePerRead)
{
    TempPath t;
    SessionRecorder recorder;
    ASSERT_TRUE(recorder.Start(t.path));
    const int64_t now = SteadyMicros();
    const ReadStamp first[] = {{0, now, 1000000}, {5, now + 200000, 1200000}};
    ASSERT_TRUE(recorder.Append("$A*00\r\n$B", first));
    const ReadStamp second[] = {{3, now + 400000, 1400000}};
    ASSERT_TRUE(recorder.Append("*00\r\n$C*00\r\n", second));
    ASSERT_TRUE(recorder.Stop());
    EXPECT_EQ(Slurp(t.path), "$A*00\r\n$B*00\r\n$C*00\r\n");
    const std::vector<TimeIndexEntry> index = ReadTimeIndex(TimeIndexPath(t.path));
    ASSERT_EQ(index.size(), 3u);
    EXPECT_EQ(index[0].offset, 0u);
    EXPECT_EQ(index[1].offset, 5u);
    EXPECT_EQ(index[2].offset, 12u);
    EXPECT_NEAR(index[2].monotonicUs - index[1].monotonicUs, 200000, 1);
    EXPECT_EQ(index[2].utcUs, 1400000);
    EXPECT_EQ(Slurp(TimeIndexPath(t.path)).rfind(kTimeIndexHeader, 0), 0u);
}

// A file-size limit makes the recording's writes fail part way, as a full
// disk would; the child process keeps the limit away from the test runner.
TEST(SessionRecorder, AWriteErrorStopsTheRecordingAndTheIndexNamesOnlyWrittenBytes)
{
    TempPath t;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SessionRecorder recorder;
        if (!recorder.Start(t.path))
            ::_exit(3);
        const std::string read(300, 'x');
        for (int i = 0; i < 10; ++i) {
            const ReadStamp stamp[] = {{0, SteadyMicros(), 0}, {150, SteadyMicros(), 0}};
            if (!recorder.Append(read, stamp))
                ::_exit(recorder.Bytes() == 1000 && !recorder.IsRecording() ? 0 : 4);
        }
        ::_exit(5);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(fs::file_size(t.path), 1000u);
    const std::vector<TimeIndexEntry> index = ReadTimeIndex(TimeIndexPath(t.path));
    // Reads began at 0, 150, 300, ..., 900: all within the 1000 bytes kept.
    ASSERT_EQ(index.size(), 7u);
    EXPECT_EQ(index.back().offset, 900u);
}

TEST(PlaybackSchedule, PacesByIndexElseSentenceTimesElseFixedRate)
{
    const std::string text = "$GPGGA,235959.00,1\r\n$GPGSA,x\r\n$GPRMC,235959.00,A\r\n$GPGGA,000000.20,1\r\n"
                             "$GPGGA,000000.40,1\r\n";
    const PlaybackSchedule byTimes = PlaybackSchedule::For(text, {});
    ASSERT_EQ(byTimes.From(), PlaybackSchedule::Source::SentenceTimes);
    // Midnight passes: 23:59:59.00 to 00:00:00.20 is 1.2 s.
    const std::vector<PlaybackSchedule::Mark> marks{{0, 0}, {50, 1200000}, {70, 1400000}};
    EXPECT_EQ(byTimes.Marks(), marks);
    EXPECT_EQ(byTimes.DueBytes(0), 50u);
    EXPECT_EQ(byTimes.DueBytes(1300000), 70u);
    EXPECT_EQ(byTimes.DueBytes(1400000), UINT64_MAX);
    EXPECT_EQ(byTimes.FixEnds(), (std::vector<uint64_t>{20, 70, 90}));

    const PlaybackSchedule byIndex = PlaybackSchedule::For(text, {{0, 0, 0}, {30, 500, 0}});
    EXPECT_EQ(byIndex.From(), PlaybackSchedule::Source::TimeIndex);
    EXPECT_EQ(byIndex.DueBytes(499), 30u);

    const PlaybackSchedule fixed = PlaybackSchedule::For(std::string(6000, 'x'), {});
    EXPECT_EQ(fixed.From(), PlaybackSchedule::Source::FixedRate);
    EXPECT_EQ(fixed.DueBytes(0), 2560u);
    EXPECT_EQ(fixed.DueBytes(100000), 5120u);
}

TEST(PlaybackPacer, SpeedPauseStepAndSeekMoveTheClock)
{
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "$GPGGA,12000" + std::to_string(i) + ".00,1\r\n";  // 20 bytes a fix, one a second
    PlaybackPacer pacer;
    pacer.Load(PlaybackSchedule::For(text, {}), 0);
    EXPECT_EQ(pacer.DueNow(0, 0).bytes, 20u);
    EXPECT_EQ(pacer.DueNow(20, 0).waitUs, 1000000);
    pacer.SetSpeed(10.0, 0);
    EXPECT_EQ(pacer.DueNow(20, 0).waitUs, 100000);
    EXPECT_EQ(pacer.DueNow(20, 250000).bytes, 60u);  // 2.5 s of recording
    pacer.SetPaused(true, 250000);
    EXPECT_EQ(pacer.DueNow(60, 900000).bytes, 60u);
    EXPECT_EQ(pacer.DueNow(60, 900000).waitUs, -1);
    pacer.Delivered(60, 900000);
    pacer.StepFix(900000);
    EXPECT_EQ(pacer.DueNow(60, 900000).bytes, 80u);
    pacer.Delivered(80, 900000);
    EXPECT_EQ(pacer.DueNow(80, 5000000).bytes, 80u);  // paused after the step
    pacer.SeekTo(7000000, 5000000);
    EXPECT_TRUE(pacer.TakeRewind());
    EXPECT_EQ(pacer.DueNow(0, 5000000).bytes, 160u);  // everything up to 7 s, at once
    EXPECT_EQ(pacer.PositionUs(5000000), 7000000);
    pacer.Delivered(40, 5000000);
    pacer.CancelSeek(5000000);  // stops where it got to, paused
    EXPECT_EQ(pacer.DueNow(40, 9000000).bytes, 40u);
    EXPECT_EQ(pacer.PositionUs(9000000), 1000000);
}

// The clock the replay bar shows: as fast as possible it stands where the
// delivered bytes are (never at the end before they are); the fix spacing
// tells the bar to show tenths.
TEST(PlaybackPacer, AsFastAsPossibleShowsTheDeliveredTimeAndKnowsTheFixSpacing)
{
    const struct {
        const char* name;
        int fixesPerSecond;
        int64_t interval;
    } cases[] = {{"1 Hz", 1, 1000000}, {"10 Hz", 10, 100000}};
    for (const auto& c : cases) {
        std::string text;
        for (int i = 0; i < 50; ++i) {
            const int tenths = i * 10 / c.fixesPerSecond;
            char time[16];
            std::snprintf(time, sizeof time, "1200%02d.%d0", tenths / 10, tenths % 10);
            text += std::string("$GPGGA,") + time + ",1\r\n";  // 20 bytes a fix
        }
        PlaybackPacer pacer;
        pacer.Load(PlaybackSchedule::For(text, {}), 0);
        EXPECT_EQ(pacer.FixIntervalUs(), c.interval) << c.name;
        pacer.SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
        EXPECT_EQ(pacer.DueNow(0, 1).bytes, UINT64_MAX) << c.name;
        pacer.Delivered(200, 1);  // ten fixes: the tenth is due at nine intervals
        EXPECT_EQ(pacer.PositionUs(1), 9 * c.interval) << c.name;
    }
    PlaybackPacer empty;
    EXPECT_EQ(empty.FixIntervalUs(), 0);
}
