#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/correction_replay.h"
#include "app/ntrip_status_text.h"
#include "rtcm/tests/rtcm_samples.h"

namespace {

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(CorrectionReplay, GivesEachWriteOnceThePlaybackReachesItsTime)
{
    const std::string dir = std::filesystem::temp_directory_path() / "stelmap_correction_replay";
    std::filesystem::create_directories(dir);
    const std::string recording = dir + "/rec.nmea";
    // Reads of the recording at 0, 2 and 4 s; corrections written at 1,
    // 3 and 5 s.
    WriteFile(recording, std::string(300, 'x'));
    WriteFile(TimeIndexPath(recording), std::string(kTimeIndexHeader) + FormatTimeIndexLine({0, 0, 0}) +
                                            FormatTimeIndexLine({100, 2'000'000, 0}) + FormatTimeIndexLine({200, 4'000'000, 0}));
    const std::string a = MsmFrame(1074, 1, 5), b = MsmFrame(1074, 1, 6), c = MsmFrame(1074, 1, 7);
    WriteFile(CorrectionReplay::CorrectionsPath(recording), a + b + c);
    WriteFile(TimeIndexPath(CorrectionReplay::CorrectionsPath(recording)),
              std::string(kTimeIndexHeader) + FormatTimeIndexLine({0, 1'000'000, 0}) +
                  FormatTimeIndexLine({a.size(), 3'000'000, 0}) + FormatTimeIndexLine({a.size() + b.size(), 5'000'000, 0}));

    CorrectionReplay replay;
    ASSERT_TRUE(replay.Load(recording));
    const struct {
        uint64_t delivered;
        std::string due;
        double seconds;
    } steps[] = {{0, "", 0.0}, {50, "", 0.0}, {150, a, 2.0}, {150, "", 2.0}, {300, b, 4.0}, {300, "", 4.0}};
    for (const auto& s : steps) {
        double seconds = -1;
        EXPECT_EQ(std::string(replay.Due(s.delivered, &seconds)), s.due) << s.delivered;
        if (s.delivered > 0) {
            EXPECT_EQ(seconds, s.seconds) << s.delivered;
        }
    }
    replay.Rewind();
    EXPECT_EQ(std::string(replay.Due(300)), a + b);
    EXPECT_FALSE(CorrectionReplay().Load(dir + "/none.nmea"));
    std::filesystem::remove_all(dir);
}

TEST(NtripStatusText, PaneAndRowsOfAStream)
{
    RtcmTally tally;
    tally.Feed(StationFrame(12, 4075580.1234, 931853.5678, 4801568.9012, 1006, 1.25), 0.0);
    for (int s = 0; s <= 10; ++s)
        tally.Feed(MsmFrame(1077, 12, 11), s);
    NtripStatusFigures f;
    f.mountpoint = "ntrip://me@caster.test/RTK1";
    f.state = "streaming";
    f.bytesPerSecond = 512;
    f.age = 0.4;
    f.reconnects = 2;
    f.uptimeSeconds = 3725;
    f.errors = {"caster.test closed the stream"};
    const Geodetic base = *BasePosition(tally);
    f.receiver = Geodetic{base.latitude, base.longitude, base.height + 30.0};
    EXPECT_EQ(NtripPaneText(f), "NTRIP RTK1 streaming 512 B/s age 0.4 s");
    EXPECT_EQ(NtripPaneText({}), "NTRIP off");
    std::map<std::string, std::string> rows;
    for (const auto& [label, value] : NtripStatusRows(f, tally, 12.0))
        rows[label] = value;
    EXPECT_EQ(rows["Uptime"], "1:02:05");
    EXPECT_EQ(rows["Reconnects"], "2");
    EXPECT_EQ(rows["Message 1077"], "11 frames, 1.00 Hz, last 2.0 s ago");
    EXPECT_EQ(rows["Base station"], "12 (message 1006)");
    EXPECT_EQ(rows["Antenna height"], "1.2500 m");
    EXPECT_EQ(rows["Baseline"], "0.030 km");
    EXPECT_EQ(rows["Satellites GPS"], "11");
    EXPECT_EQ(rows["Age of corrections"], "0.4 s   receiver's GGA: -");
    EXPECT_EQ(rows["Error"], "caster.test closed the stream");
}

}  // namespace
