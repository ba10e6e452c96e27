#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/sentence_checksum.h"
#include "console/sentence_sender.h"
#include "console/tests/recording_link.h"

namespace {

struct ChecksumCase {
    const char* text;
    const char* line;
};

TEST(SentenceChecksum, CoversTheBytesAfterTheFirstDollar)
{
    const ChecksumCase cases[] = {
        {"$PXTNCFG", "$PXTNCFG*50"},
        {"$PXTNCFG,N,M,,,,,,", "$PXTNCFG,N,M,,,,,,*53"},
        {"$PXTNCFG,,,,,,,,", "$PXTNCFG,,,,,,,,*50"},
        {"$PXTNNOM,0000002E,1", "$PXTNNOM,0000002E,1*18"},
        {"", "*00"},
        {"no dollar at all", "no dollar at all*00"},
        {"$", "$*00"},
        // Text before the '$' is sent but not summed.
        {"junk$PXTNCFG", "junk$PXTNCFG*50"},
        // A later '$' and an earlier checksum are summed like any byte.
        {"$A$B", "$A$B*27"},
        {"$PXTNCFG*50", "$PXTNCFG*50*7F"},
        {"$\xff\x80", "$\xff\x80*7F"},
    };
    for (const ChecksumCase& c : cases)
        EXPECT_EQ(WithChecksum(c.text), c.line) << c.text;
}

struct SendCase {
    const char* name;
    bool open;
    bool playback;
    std::string text;
    bool addChecksum;
    std::vector<std::string> writes;
    std::vector<std::string> logged;
};

TEST(SentenceSender, WritesTheLineThenItsEndAndLogsBoth)
{
    const SendCase cases[] = {
        {"with checksum", true, false, "$PXTNCFG", true, {"$PXTNCFG*50", "\r\n"}, {"$PXTNCFG*50", "\n"}},
        {"fixed query as typed", true, false, "$PXTNCFG*50", false, {"$PXTNCFG*50", "\r\n"},
         {"$PXTNCFG*50", "\n"}},
        {"nothing typed, with checksum", true, false, "", true, {"*00", "\r\n"}, {"*00", "\n"}},
        // An empty text is not written, but noticed and handed on like any.
        {"nothing typed", true, false, "", false, {"\r\n"}, {"", "\n"}},
        {"port closed", false, false, "$PXTNCFG", true, {}, {}},
        {"playback", true, true, "$PXTNCFG", true, {}, {}},
        {"playback with the port flag still set", false, true, "$PXTNCFG", false, {}, {}},
    };
    for (const SendCase& c : cases) {
        RecordingLink link;
        link.open = c.open;
        link.playback = c.playback;
        SentenceSender sender(&link);
        int notices = 0;
        std::vector<std::string> logged;
        sender.SetActivityNotice([&] { ++notices; });
        sender.SetTransmitLog([&](std::string_view bytes) { logged.emplace_back(bytes); });

        const bool sent = sender.SendSentence(c.text, c.addChecksum);

        EXPECT_EQ(sent, !c.writes.empty()) << c.name;
        EXPECT_EQ(link.writes, c.writes) << c.name;
        EXPECT_EQ(logged, c.logged) << c.name;
        EXPECT_EQ(notices, c.writes.empty() ? 0 : 2) << c.name;
    }
}

TEST(SentenceSender, ReportsAWriteThePortDidNotTakeWhole)
{
    for (const bool fail : {true, false}) {
        RecordingLink link;
        link.failWrites = fail;
        link.shortWrites = !fail;
        SentenceSender sender(&link);
        int notices = 0;
        sender.SetActivityNotice([&] { ++notices; });
        EXPECT_FALSE(sender.SendSentence("$GPQ,GGA", true));
        EXPECT_EQ(link.writes.size(), 2u);
        EXPECT_EQ(notices, 2);
    }
}

}  // namespace
