#include <gtest/gtest.h>

#include "app/frame_texts.h"

namespace {

TEST(RecordPaneText, UnitBoundaries)
{
    struct Case {
        uint64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {0, "Rec Data: 0 bytes"},
        {1024, "Rec Data: 1024 bytes"},
        {1025, "Rec Data: 1.0 K"},
        {1048576, "Rec Data: 1024.0 K"},
        {1048577, "Rec Data: 1.00 MB"},
        {5ull << 30, "Rec Data: 5120.00 MB"},  // past 4 GiB the count goes on
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecordPaneText(true, c.bytes), c.text) << c.bytes;
    EXPECT_EQ(RecordPaneText(false, 12345), "Record Data OFF          ");
}

TEST(FrameTexts, PanesTitleAndLog)
{
    EXPECT_EQ(QualityPaneText(""), "GPS Quality: ");
    EXPECT_EQ(QualityPaneText("Float RTK"), "GPS Quality: Float RTK");
    EXPECT_EQ(DualModePaneText(true), "Dual Mode: On");
    EXPECT_EQ(DualModePaneText(false), "Dual Mode: Off");
    EXPECT_EQ(SolutionModePaneText(1), "Solution Mode: Precision");
    EXPECT_EQ(SolutionModePaneText(0), "Solution Mode: Integrity");
    EXPECT_EQ(PlaybackTitle("/home/u/data/track1.txt"), "Helmarc Stelmap - [Playback: track1.txt]");
    EXPECT_EQ(PlaybackTitle("track1.txt"), "Helmarc Stelmap - [Playback: track1.txt]");
    EXPECT_EQ(ReceivedTextForLog("$A\r\n\r$B\r\n"), "$A\n$B\n");
    EXPECT_EQ(ReceivedTextForLog("\r\r"), "");
}

TEST(ParseConnectOption, PortAndBaud)
{
    struct Case {
        const char* text;
        bool ok;
        const char* port;
        int baud;
    };
    const Case cases[] = {
        {"/dev/pts/3", true, "/dev/pts/3", 0},
        {"/dev/ttyUSB0@115200", true, "/dev/ttyUSB0", 115200},
        {"3@4800", true, "3", 4800},
        {"/dev/ttyUSB0@fast", false, "/dev/ttyUSB0", 0},
        {"@9600", false, "", 9600},
        {"", false, "", 0},
        {"/dev/x@-5", false, "/dev/x", -5},
    };
    for (const Case& c : cases) {
        ConnectOption option;
        EXPECT_EQ(ParseConnectOption(c.text, option), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(option.port, c.port);
            EXPECT_EQ(option.baud, c.baud);
        }
    }
}

}  // namespace
