#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "nmea/tests/sentence.h"

namespace {

using Event = RecordingParser::Event;

struct FramerCase {
    const char* name;
    std::string input;
    std::vector<Event> expected;
};

std::vector<FramerCase> FramerCases()
{
    const std::string gga = "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    const std::string good = Sentence(gga);
    std::string badDigit = good;
    badDigit[badDigit.size() - 3] = badDigit[badDigit.size() - 3] == '0' ? '1' : '0';
    const std::string data255(255, 'x');
    const std::string data256(256, 'x');
    return {
        {"good checksum", good, {{true, "GPGGA", gga.substr(6)}}},
        {"wrong checksum digit", badDigit, {{false, "GPGGA", gga.substr(6)}}},
        {"carriage return without checksum", "$GPVTG,1,T\r\n", {{true, "GPVTG", "1,T"}}},
        // The '*' ends the address, then the framer stays in the data.
        {"star right after address", "$GPGSV*AB\r", {{true, "GPGSV", "AB"}}},
        {"line feed before the star joins the data", "$GPGSV*A\nB\r", {{true, "GPGSV", "A\nB"}}},
        {"seven-character address", Sentence("PXTNCFG,1"), {{true, "PXTNCFG", "1"}}},
        {"eight-character address dropped", Sentence("ABCDEFGH,1"), {}},
        {"255 data characters", Sentence("GPXXX," + data255), {{true, "GPXXX", data255}}},
        {"256 data characters dropped", Sentence("GPXXX," + data256), {}},
        {"junk before the start", "garbage\x01\xff" + Sentence("GPVTG,1"), {{true, "GPVTG", "1"}}},
        // A '$' inside does not restart framing: the two merge and fail.
        {"sentence cut by a new dollar", "$GPGGA,12" + Sentence("GPVTG,1"),
         {{false, "GPGGA", "12$GPVTG,1"}}},
        {"empty data", "$GPXYZ,\r", {{true, "GPXYZ", ""}}},
        {"empty address", Sentence(",1,2"), {{true, "", "1,2"}}},
        {"text after checksum ignored", Sentence("GPVTG,1") + "tail,junk\r\n", {{true, "GPVTG", "1"}}},
    };
}

TEST(Framer, DeliversAndDropsAsSpecified)
{
    for (const FramerCase& c : FramerCases()) {
        SCOPED_TRACE(c.name);
        RecordingParser parser;
        Feed(parser, c.input);
        EXPECT_EQ(parser.events, c.expected);
        EXPECT_EQ(parser.FramerState(), SentenceFramer::StateWaitStart);
    }
}

TEST(Framer, ProcessByteReturnsOneOnlyForDeliveredSentence)
{
    RecordingParser parser;
    const std::string good = Sentence("GPVTG,1");
    int ones = 0;
    for (size_t i = 0; i < good.size(); ++i) {
        const int r = parser.ProcessByte(static_cast<uint8_t>(good[i]));
        ones += r;
        if (r == 1) {
            EXPECT_EQ(i, good.size() - 3) << "delivered at the second checksum digit";
        }
    }
    EXPECT_EQ(ones, 1);
    std::string bad = good;
    bad[bad.size() - 3] ^= 1;
    int badOnes = 0;
    for (char ch : bad)
        badOnes += parser.ProcessByte(static_cast<uint8_t>(ch));
    EXPECT_EQ(badOnes, 0);
}

TEST(Framer, LowerCaseChecksumDigits)
{
    const char hex[] = "0123456789ABCDEF";
    const char lower[] = "0123456789abcdef";
    int lowLetterWithBit = 0, lowLetterWithoutBit = 0;
    for (char extra : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) {
        const std::string body = std::string("GPGSA,") + extra;
        unsigned char sum = 0;
        for (char ch : body)
            sum ^= static_cast<unsigned char>(ch);
        const int high = sum >> 4, low = sum & 15;
        // A lower-case high digit keeps only its low four bits after the
        // shift; a lower-case low digit adds 32, which matches only when that
        // bit of the checksum is already set.
        const bool lowerLowMatches = low < 10 || (sum & 0x20) != 0;
        if (low >= 10)
            ++((sum & 0x20) != 0 ? lowLetterWithBit : lowLetterWithoutBit);
        struct Case {
            char h, l;
            bool delivered;
        };
        for (const Case& c : {Case{hex[high], hex[low], true}, Case{lower[high], hex[low], true},
                              Case{hex[high], lower[low], lowerLowMatches}}) {
            RecordingParser parser;
            Feed(parser, "$" + body + "*" + c.h + c.l + "\r\n");
            ASSERT_EQ(parser.events.size(), 1u);
            EXPECT_EQ(parser.events[0].good, c.delivered) << body << " *" << c.h << c.l;
        }
    }
    EXPECT_GT(lowLetterWithBit, 0);
    EXPECT_GT(lowLetterWithoutBit, 0);
}

TEST(Framer, SplitAtEveryBoundaryGivesTheSameSentences)
{
    const std::string stream = "junk" + Sentence("GPGGA,1,2,3") + "$GPBAD,1*00\r\n" + "$GPVTG,5\r\n"
        + Sentence("GLGSV,1,1,01,65,10,20,30") + "$ABCDEFGHIJ,1\r\n" + Sentence("GPRAIM,100,0,200");
    RecordingParser whole;
    Feed(whole, stream);
    ASSERT_EQ(whole.events.size(), 5u);

    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        RecordingParser split;
        split.ProcessBytes(reinterpret_cast<const uint8_t*>(stream.data()), cut);
        split.ProcessBytes(reinterpret_cast<const uint8_t*>(stream.data()) + cut, stream.size() - cut);
        ASSERT_EQ(split.events, whole.events) << "cut at " << cut;
    }
}

TEST(Framer, BulkAndBytewiseAgreeOnRandomStreams)
{
    std::mt19937 rng(12345);
    const std::string alphabet = "$$,,**\r\n0123456789ABCDEFGPNLGSAVx";
    for (int round = 0; round < 200; ++round) {
        std::string stream;
        const int n = std::uniform_int_distribution<int>(0, 2000)(rng);
        for (int i = 0; i < n; ++i) {
            if (rng() % 50 == 0)
                stream += Sentence("GPGSA,A,3,01,02");
            else
                stream += alphabet[rng() % alphabet.size()];
        }
        RecordingParser bytewise, bulk;
        Feed(bytewise, stream);
        size_t pos = 0;
        while (pos < stream.size()) {
            const size_t len = std::min<size_t>(stream.size() - pos, rng() % 300);
            bulk.ProcessBytes(reinterpret_cast<const uint8_t*>(stream.data()) + pos, len);
            pos += len;
        }
        ASSERT_EQ(bulk.events, bytewise.events) << "round " << round;
        ASSERT_EQ(bulk.FramerState(), bytewise.FramerState());
    }
}

struct FieldCase {
    const char* data;
    int index;
    int found;
    const char* text;
};

TEST(GetField, WalksCommasAsSpecified)
{
    const std::string longField(300, 'a');
    const FieldCase cases[] = {
        {"A,,C", 0, 1, "A"},
        {"A,,C", 1, 0, ""},
        {"A,,C", 2, 1, "C"},
        {"A,,C", 5, 0, ""},
        {"A,", 1, 1, ""},       // an empty last field ends at the terminator
        {"", 0, 1, ""},         // an empty text is not walked
        {"", 7, 1, ""},
        {",B", 0, 0, ""},
        {"A*B,C", 0, 1, "A"},   // '*' ends a field as a comma does
        {"*B", 0, 0, ""},
        {"1,2,3", -1, 1, "1"},
    };
    for (const FieldCase& c : cases) {
        char out[SentenceFramer::kFieldSize] = "unchanged";
        EXPECT_EQ(SentenceFramer::GetField(c.data, c.index, out), c.found) << c.data << " #" << c.index;
        EXPECT_STREQ(out, c.text) << c.data << " #" << c.index;
    }
    char out[SentenceFramer::kFieldSize];
    ASSERT_EQ(SentenceFramer::GetField(longField.c_str(), 0, out), 1);
    EXPECT_EQ(std::string(out), longField.substr(0, 255));
    EXPECT_EQ(SentenceFramer::GetField(nullptr, 0, out), 0);
    EXPECT_EQ(SentenceFramer::GetField("A", 0, nullptr), 0);
}

}  // namespace
