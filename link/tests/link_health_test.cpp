#include <gtest/gtest.h>

#include "link/health_observer.h"
#include "nmea/tests/sentence.h"

namespace {

using namespace std::chrono_literals;
using TimePoint = LinkHealthTotals::TimePoint;

const TimePoint t0 = TimePoint{} + 1000s;

// The link reader's decoding: a driver whose observer counts the health.
struct HealthCountingLink {
    ReceiverState state;
    LinkHealth health;
    HealthObserver observer{&health};
    DecodeDriver driver{state, &observer};
};

void Feed(HealthCountingLink& parser, const std::string& bytes, TimePoint at)
{
    parser.health.OnBytes(bytes.size(), at);
    parser.driver.Feed(bytes);
}

// What the framer delivers is what is counted: good, bad and junk bytes.
TEST(LinkHealth, CountsWhatTheFramerDelivers)
{
    HealthCountingLink parser;
    parser.health.Restart(t0);
    const std::string gga = Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string gsa = Sentence("GPGSA,A,3,05,10,,,,,,,,,,,2.5,1.5,2.0");
    const std::string junk = "\x01\x02garbage";
    Feed(parser, junk + gga + gsa, t0 + 1s);
    Feed(parser, "$GPGGA,bad*00\r\n" + gga, t0 + 4s);  // the next fix 3 s later
    Feed(parser, gsa, t0 + 5s);

    const LinkHealthTotals& t = parser.health.Totals();
    EXPECT_EQ(t.bytes, junk.size() + 2 * gga.size() + 2 * gsa.size() + 15);
    EXPECT_EQ(t.sentences, 4u);
    EXPECT_EQ(t.checksumErrors, 1u);
    EXPECT_EQ(t.BytesOutsideSentences(), junk.size());
    EXPECT_EQ(t.fixes, 2u);
    EXPECT_EQ(t.longestFixGap, 3s);
    EXPECT_EQ(t.lastValid, t0 + 5s);
    ASSERT_EQ(t.addresses.size(), 2u);
    EXPECT_STREQ(t.addresses[0].address.data(), "GPGGA");
    EXPECT_EQ(t.addresses[1].count, 2u);
}

TEST(LinkHealth, RatesBetweenTwoReadingsAndAfterARestart)
{
    LinkHealthTotals before;
    before.start = t0;
    before.bytes = 1000;
    before.sentences = 10;
    before.fixes = 2;
    before.addresses = {{{'G', 'P', 'G', 'G', 'A'}, 2, 0}, {{'G', 'P', 'G', 'S', 'V'}, 8, 1}};
    LinkHealthTotals now = before;
    now.bytes = 1960;  // 480 B/s over 2 s: half of 9600 baud at 10 bits a byte
    now.sentences = 30;
    now.fixes = 6;
    now.addresses = {{{'G', 'P', 'G', 'G', 'A'}, 6, 0}, {{'G', 'P', 'G', 'S', 'V'}, 24, 1}, {{'G', 'P', 'V', 'T', 'G'}, 0, 2}};
    const HealthRates r = ComputeHealthRates(before, t0 + 10s, now, t0 + 12s, 9600);
    EXPECT_DOUBLE_EQ(r.bytesPerSecond, 480);
    EXPECT_DOUBLE_EQ(r.lineLoad, 0.5);
    EXPECT_DOUBLE_EQ(r.sentencesPerSecond, 10);
    EXPECT_DOUBLE_EQ(r.fixRateHz, 2);
    ASSERT_EQ(r.topAddresses.size(), 2u);
    EXPECT_EQ(r.topAddresses[0], (std::pair<std::string, double>{"GPGSV", 8}));
    EXPECT_EQ(HealthPaneText(r), "480 B/s (50%) \u00b7 2.0 Hz \u00b7 0 bad checksums");

    LinkHealthTotals restarted;
    restarted.start = t0 + 11s;
    restarted.bytes = 100;
    const HealthRates fresh = ComputeHealthRates(now, t0 + 12s, restarted, t0 + 13s, 0);
    EXPECT_DOUBLE_EQ(fresh.bytesPerSecond, 50);  // since the restart, not since the old reading
    EXPECT_DOUBLE_EQ(fresh.lineLoad, -1);
}

TEST(LinkHealth, NoNmeaWarningOnlyWhenBytesComeWithoutSentencesFor3s)
{
    const struct {
        uint64_t bytes;
        std::chrono::seconds lastByte;  // after the start
        uint64_t sentences;
        std::chrono::seconds lastValid;
        std::chrono::seconds at;
        int baud;
        const char* warning;
    } cases[] = {
        {500, 4s, 0, 0s, 4s, 9600, "Bytes arrive but no NMEA at 9600 baud \u2014 wrong baud rate?"},
        {500, 2s, 0, 0s, 2s, 9600, ""},        // not 3 s yet
        {500, 1s, 0, 0s, 5s, 9600, ""},        // the bytes stopped too: a silent line
        {0, 0s, 0, 0s, 10s, 9600, ""},         // nothing at all
        {500, 9s, 5, 8s, 9s, 4800, ""},        // valid sentences lately
        {500, 9s, 5, 5s, 9s, 4800, "Bytes arrive but no NMEA at 4800 baud \u2014 wrong baud rate?"},
        {500, 9s, 0, 0s, 9s, 0, "Bytes arrive but no NMEA \u2014 is this an NMEA source?"},
    };
    for (const auto& c : cases) {
        LinkHealthTotals t;
        t.start = t0;
        t.bytes = c.bytes;
        t.lastByte = t0 + c.lastByte;
        t.sentences = c.sentences;
        t.lastValid = t0 + c.lastValid;
        EXPECT_EQ(NoNmeaWarning(t, t0 + c.at, c.baud), c.warning) << c.at.count() << " s";
    }
}

}  // namespace

namespace {

// Sentences dropped as too long and GGAs refused as naming no place leave a
// trace: counted, and shown in the report.
TEST(LinkHealth, CountsOverlongAndInvalidSentences)
{
    HealthCountingLink parser;
    parser.health.Restart(t0);
    const std::string overlong = Sentence("GPGGA,123519," + std::string(1000, '1') + ",N,01131.000,E,1,08,0.9,1,M,,M,,");
    const std::string manySatellites = Sentence("GPGSV,1,1,200" + [] {
        std::string groups;
        for (int i = 0; i < 200; ++i)
            groups += ",01,02,003,04";
        return groups;
    }());
    const std::string impossible = Sentence("GPGGA,123520,9540.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    Feed(parser, overlong + manySatellites + impossible, t0 + 1s);
    const LinkHealthTotals& t = parser.health.Totals();
    EXPECT_EQ(t.tooLong, 2u);
    EXPECT_EQ(t.invalid, 1u);
    EXPECT_EQ(t.fixes, 0u);
    const std::string report = HealthReportText(ComputeHealthRates(t, t0, t, t0 + 2s, 0), t);
    EXPECT_NE(report.find("Dropped as too long: 2\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Invalid (refused): 1\n"), std::string::npos) << report;
}

}  // namespace
