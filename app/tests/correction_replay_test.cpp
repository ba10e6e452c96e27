#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/correction_replay.h"
#include "app/ntrip_status_text.h"
#include "app/receiver_gga.h"
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

namespace {

TEST(ReceiverGga, KeepsTheLatestWholeGgaWithItsAgeAndStation)
{
    const struct {
        const char* name;
        std::string bytes;
        bool got;
        int quality;
        std::optional<double> age;
        std::optional<int> station;
    } cases[] = {
        {"fixed with age", "$GNGGA,120000.00,4706.0000,N,00803.0000,E,4,12,0.8,510.2,M,47.0,M,1.0,0321*", true, 4, 1.0, 321},
        {"own fix", "$GPGGA,120000.00,4706.0000,N,00803.0000,E,1,08,0.9,510.2,M,47.0,M,,*", true, 1, std::nullopt, std::nullopt},
        {"no fix", "$GPGGA,120000.00,,,,,0,00,,,M,,M,,*", true, 0, std::nullopt, std::nullopt},
        {"bad checksum", "$GPGGA,120000.00,4706.0000,N,00803.0000,E,5,08,0.9,510.2,M,47.0,M,2.0,0001*00", false, 0, std::nullopt, std::nullopt},
        {"not a GGA", "$GPRMC,120000.00,A,4706.0000,N,00803.0000,E,0.0,0.0,010624,,,A*", false, 0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        std::string line = c.bytes;
        if (line.back() == '*') {
            unsigned sum = 0;
            for (size_t i = 1; i + 1 < line.size(); ++i)
                sum ^= static_cast<unsigned char>(line[i]);
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", sum);
            line += hex;
        }
        ReceiverGga gga;
        // Split anywhere, with other traffic around it.
        const std::string stream = "$GPGSA,A,3*00\r\n" + line + "\r\n$GPVTG,,T*00\r\n";
        bool got = false;
        for (size_t i = 0; i < stream.size(); i += 7)
            got = gga.Feed(std::string_view(stream).substr(i, 7)) || got;
        EXPECT_EQ(got, c.got) << c.name;
        EXPECT_EQ(gga.Sentence(), c.got ? line + "\r\n" : "") << c.name;
        EXPECT_EQ(gga.Quality(), c.quality) << c.name;
        EXPECT_EQ(gga.DifferentialAge(), c.age) << c.name;
        EXPECT_EQ(gga.StationId(), c.station) << c.name;
    }
}

}  // namespace
