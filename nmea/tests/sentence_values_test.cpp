// The decoders as values: each sentence's fields into a whole struct,
// compared whole, absent fields absent (never 0).
#include <gtest/gtest.h>

#include <string>

#include "nmea/decode_driver.h"
#include "nmea/phrase_table.h"
#include "nmea/receiver_sentences.h"
#include "nmea/receiver_state.h"
#include "nmea/tests/sentence.h"

namespace {

struct GgaCase {
    const char* data;
    GgaFields expected;
};

TEST(SentenceValues, Gga)
{
    GgaFields full;
    full.time = GgaTime{12, 35, 19};
    full.timeOfDay = 12 * 3600 + 35 * 60 + 19.5;
    full.latitude = -(48 + 7.038 / 60);
    full.longitude = 11 + 31.0 / 60;
    full.south = true;
    full.quality = 2;
    full.satsInUse = 8;
    full.hdop = 0.9;
    full.altitude = 545.4;
    full.countedQuality = 2;

    GgaFields empty;
    GgaFields badTime;  // six characters are read, unchecked, but name no time of day
    badTime.time = GgaTime{2, 5, 99};
    badTime.west = true;
    GgaFields noPosition;
    noPosition.quality = 1;
    noPosition.satsInUse = 12;  // two characters of "123"

    const GgaCase cases[] = {
        {"123519.5,4807.038,S,01131.000,E,2,08,0.9,545.4,M,46.9,M,,", full},
        {",,,,,,,,,,,,,", empty},
        {"", empty},
        {"020599,,,,W,,,,", badTime},
        {",,,,,1,123,,", noPosition},
    };
    for (const GgaCase& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(DecodeGga(SentenceFields(std::string_view(c.data))), c.expected);
    }
}

TEST(SentenceValues, VtgConfigurationAndRaim)
{
    VtgFields vtg;
    vtg.courseTrue = 54.7;
    vtg.speedKmh = 10.2;
    vtg.mode = 'D';
    EXPECT_EQ(DecodeVtg(SentenceFields(std::string_view("054.7,T,,M,,N,010.2,K,D"))), vtg);
    EXPECT_EQ(DecodeVtg(SentenceFields(std::string_view(""))), VtgFields{});

    EXPECT_EQ(DecodeConfigReply(SentenceFields(std::string_view(""))), std::nullopt) << "an empty reply says nothing";
    EXPECT_EQ(DecodeConfigReply(SentenceFields(std::string_view("N,M,,,,,,,D"))), ConfigReply{'D'});
    EXPECT_EQ(DecodeConfigReply(SentenceFields(std::string_view("N,M"))), ConfigReply{});

    EXPECT_EQ(DecodeRaim(SentenceFields(std::string_view("1200,1800,490,588"))), (RaimFields{1200, 490}));
    EXPECT_EQ(DecodeRaim(SentenceFields(std::string_view(",1800,,588"))), RaimFields{});
}

TEST(SentenceValues, GsaSlotsKeepBothReadings)
{
    const GsaFields gsa = DecodeGsa(SentenceFields(std::string_view("A,3,120,05,,,,,,,,,,,2.5,,2.0,4")));
    EXPECT_EQ(gsa.mode, 'A');
    EXPECT_EQ(gsa.fixType, 3);
    EXPECT_EQ(gsa.usedSlots[0], (GsaSlot{true, true, 120, 12})) << "120 is 12 to the receiver state's table";
    EXPECT_EQ(gsa.usedSlots[1], (GsaSlot{true, true, 5, 5}));
    EXPECT_EQ(gsa.usedSlots[2], (GsaSlot{false, false, 0, 0})) << "an empty slot before a comma is not there";
    EXPECT_EQ(gsa.pdop, 2.5);
    EXPECT_EQ(gsa.hdop, std::nullopt);
    EXPECT_EQ(gsa.vdop, 2.0);
    EXPECT_EQ(gsa.systemId, 4);
}

TEST(SentenceValues, GsvGroupsAndTheStateTableAlike)
{
    GsvMessage m;
    DecodeGsv(SentenceFields(std::string_view("2,1,05,01,40,083,46,,,,,x3,10,,,7")), m);
    EXPECT_EQ(m.total, 2);
    EXPECT_EQ(m.number, 1);
    EXPECT_EQ(m.inView, 5);
    EXPECT_EQ(m.signal, 7);
    ASSERT_EQ(m.groupCount, 3);
    EXPECT_EQ(m.groups[0], (GsvGroup{1, true, 40, 83, 46}));
    EXPECT_EQ(m.groups[1], (GsvGroup{std::nullopt, false, std::nullopt, std::nullopt, std::nullopt}));
    EXPECT_EQ(m.groups[2], (GsvGroup{0, false, 10, std::nullopt, std::nullopt}));
    // By position, the signal ID included, as the receiver state's table reads them.
    const std::array<int, 16> table = {1, 40, 83, 46, 0, 0, 0, 0, 0, 10, 0, 0, 7, 0, 0, 0};
    EXPECT_EQ(m.firstFields, table);
    GsvMessage t;
    DecodeGsvTable(SentenceFields(std::string_view("2,1,05,01,40,083,46,,,,,x3,10,,,7")), t);
    EXPECT_EQ(t.firstFields, table);
    EXPECT_TRUE(m.InCycle());
    DecodeGsv(SentenceFields(std::string_view("2,3,05")), m);
    EXPECT_FALSE(m.InCycle()) << "number above total";
}

// Fields past what a framed sentence can hold are not seen, and the
// eight-at-a-time comma search agrees with a plain split at every length.
TEST(SentenceValues, FieldsSplitAsAPlainLoopWould)
{
    std::string text;
    for (int n = 0; n < 300; ++n) {
        const SentenceFields f{std::string_view(text)};
        int expectedCount = 1;
        for (char c : text)
            expectedCount += c == ',';
        ASSERT_EQ(f.Count(), std::min(expectedCount, SentenceFields::kMaxFields)) << n;
        EXPECT_EQ(f[f.Count() - 1].size(), expectedCount > SentenceFields::kMaxFields ? 0u : text.size() - text.rfind(',') - 1)
            << n;
        text += (n % 3 == 0) ? "," : "ab";
    }
}

// The driver counts what it drops and what lies outside sentences, and
// counts alike fed byte by byte or in bulk.
TEST(DecodeDriverCounts, DroppedAndOutsideBytes)
{
    const std::string bytes = "junk" + Sentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
                              + "$TOOLONGADDRESS,1*00\r\n" + "$GPGGA," + std::string(300, '1') + "*00\r\n"
                              + Sentence("GPGGA,123520,9540.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,")
                              + "$GPGSA,bad*00\r\n";
    ReceiverState bulkState, byteState;
    DecodeDriver bulk(bulkState), bytewise(byteState);
    bulk.Feed(bytes);
    for (unsigned char b : bytes)
        bytewise.FeedByte(b);
    const SentenceCounts& c = bulk.Counts();
    EXPECT_EQ(c.bytes, bytes.size());
    EXPECT_EQ(c.sentences, 2u);
    EXPECT_EQ(c.checksumErrors, 1u);
    EXPECT_EQ(c.tooLong, 2u);
    EXPECT_EQ(c.invalid, 1u);
    EXPECT_EQ(c.fixes, 1u);
    EXPECT_GE(c.outsideBytes, 4u + 2u);
    EXPECT_EQ(bytewise.Counts(), c);
}

}  // namespace
