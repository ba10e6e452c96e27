#include <gtest/gtest.h>

#include "link/source_status.h"

namespace {

TEST(SourcePaneText, NamesTheSourceAndItsState)
{
    const struct {
        SourceState state;
        const char* text;
    } cases[] = {
        {{}, "No source"},
        {{.open = true, .name = "/dev/ttyUSB0", .baudRate = 115200, .silentSeconds = 0.4}, "/dev/ttyUSB0 @ 115200 \u2014 receiving"},
        {{.open = true, .network = true, .name = "gpsd://localhost", .silentSeconds = 12.7}, "gpsd://localhost \u2014 silent for 12 s"},
        {{.retrying = true, .name = "/dev/ttyACM0"}, "/dev/ttyACM0 \u2014 gone, retrying"},
        {{.lost = true, .name = "/dev/ttyACM0"}, "/dev/ttyACM0 \u2014 gone"},
        {{.open = true, .playback = true, .playbackFile = "/home/u/drive.nmea"}, "Playback: drive.nmea"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SourcePaneText(c.state), c.text);
}

// The search as a table of what the link counted at each look: a pty takes
// any rate, so the logic is proven here and the real line in the GUI test.
TEST(BaudSearch, KeepsTheFirstRateWithThreeSentencesInTwoSeconds)
{
    using Step = BaudSearch::Step;
    BaudSearch search({4800, 9600, 38400});
    const struct {
        unsigned long long sentences;
        double seconds;
        Step step;
        int rateAfter;
    } looks[] = {
        {0, 0.5, Step::Wait, 4800},    {0, 2.0, Step::TryNext, 9600}, {2, 1.9, Step::Wait, 9600},
        {2, 2.1, Step::TryNext, 38400}, {3, 0.3, Step::Found, 38400},
    };
    for (const auto& l : looks) {
        EXPECT_EQ(search.Update(l.sentences, l.seconds), l.step) << l.seconds;
        EXPECT_EQ(search.Rate(), l.rateAfter);
    }
    BaudSearch none({4800});
    EXPECT_EQ(none.Update(2, 2.5), Step::NoneFound);
    EXPECT_EQ(none.Rate(), 0);
}

}  // namespace
