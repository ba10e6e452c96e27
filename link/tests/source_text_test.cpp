#include <gtest/gtest.h>

#include "link/source_text.h"

namespace {

SourceAddress Serial(const char* device, int com = 0, int baud = 0)
{
    SourceAddress a;
    a.device = device;
    a.comNumber = com;
    a.baud = baud;
    return a;
}

SourceAddress Net(SourceKind kind, const char* host, int port)
{
    SourceAddress a;
    a.kind = kind;
    a.host = host;
    a.port = port;
    return a;
}

// Every place that reads a port text reads it here: one table says the rule.
TEST(ParseSourceText, OneRuleForEveryPortText)
{
    const struct {
        const char* text;
        SourceAddress address;  // when it parses
        const char* errorPart;  // when it does not
        const char* canonical;
    } cases[] = {
        {"1", Serial("/dev/ttyS0", 1), nullptr, "1"},
        {" 12 ", Serial("/dev/ttyS11", 12), nullptr, "12"},
        {"COM3", Serial("/dev/ttyS2", 3), nullptr, "3"},
        {"com10", Serial("/dev/ttyS9", 10), nullptr, "10"},
        {"/dev/ttyUSB0", Serial("/dev/ttyUSB0"), nullptr, "/dev/ttyUSB0"},
        {"\t/dev/serial/by-id/usb-u-blox_GNSS-if00 ", Serial("/dev/serial/by-id/usb-u-blox_GNSS-if00"), nullptr,
         "/dev/serial/by-id/usb-u-blox_GNSS-if00"},
        {"ttyACM0", Serial("/dev/ttyACM0"), nullptr, "/dev/ttyACM0"},
        {"/dev/ttyUSB0@115200", Serial("/dev/ttyUSB0", 0, 115200), nullptr, "/dev/ttyUSB0"},
        {"4@4800", Serial("/dev/ttyS3", 4, 4800), nullptr, "4"},
        {"tcp://192.168.1.5:10110", Net(SourceKind::Tcp, "192.168.1.5", 10110), nullptr, "tcp://192.168.1.5:10110"},
        {"TCP://ser2net.local:4001", Net(SourceKind::Tcp, "ser2net.local", 4001), nullptr, "tcp://ser2net.local:4001"},
        {"tcp://[::1]:2000", Net(SourceKind::Tcp, "::1", 2000), nullptr, "tcp://[::1]:2000"},
        {"udp://:10110", Net(SourceKind::Udp, "", 10110), nullptr, "udp://:10110"},
        {"udp://0.0.0.0:10110", Net(SourceKind::Udp, "0.0.0.0", 10110), nullptr, "udp://0.0.0.0:10110"},
        {"gpsd://localhost", Net(SourceKind::Gpsd, "localhost", 2947), nullptr, "gpsd://localhost"},
        {"gpsd://127.0.0.1:3000", Net(SourceKind::Gpsd, "127.0.0.1", 3000), nullptr, "gpsd://127.0.0.1:3000"},
        {"", {}, "no port", nullptr},
        {"0", {}, "count from 1", nullptr},
        {"COM0", {}, "count from 1", nullptr},
        {"99999999999", {}, "count from 1", nullptr},
        {"/dev/ttyUSB0@fast", {}, "baud rate", nullptr},
        {"@9600", {}, "no port", nullptr},
        {"1@06,@06", {}, "only one", nullptr},  // a second "@" left a name that could not read back
        {"tcp://host", {}, "needs a port", nullptr},
        {"tcp://:10110", {}, "needs a host", nullptr},
        {"udp://", {}, "needs a port", nullptr},
        {"gpsd://", {}, "needs a host", nullptr},
        {"tcp://host:0", {}, "1 to 65535", nullptr},
        {"tcp://host:65536", {}, "1 to 65535", nullptr},
        {"tcp://host:port", {}, "1 to 65535", nullptr},
        {"tcp://::1:2000", {}, "brackets", nullptr},
        {"tcp://[::1:2000", {}, "closing", nullptr},
        {"tcp://host/x:1", {}, "not a host", nullptr},
        {"tcp://us er:1", {}, "not a host", nullptr},
        {"ftp://host:21", {}, "unknown source", nullptr},
        {"not a port", {}, "not a port", nullptr},
    };
    for (const auto& c : cases) {
        const SourceParse parse = ParseSourceText(c.text);
        if (c.errorPart == nullptr) {
            ASSERT_TRUE(parse.Ok()) << '"' << c.text << "\": " << parse.error;
            EXPECT_EQ(parse.address, c.address) << c.text;
            EXPECT_EQ(SourceText(parse.address), c.canonical) << c.text;
            const SourceParse again = ParseSourceText(SourceText(parse.address));
            EXPECT_TRUE(SameSource(c.text, SourceText(parse.address))) << c.text << " reads back as itself";
            EXPECT_EQ(again.address.baud, 0);
        } else {
            EXPECT_FALSE(parse.Ok()) << '"' << c.text << '"';
            EXPECT_NE(parse.error.find(c.errorPart), std::string::npos) << c.text << ": " << parse.error;
        }
    }
}

TEST(SameSource, ComNumbersAndPathsOfOneDevice)
{
    EXPECT_TRUE(SameSource("1", "/dev/ttyS0"));
    EXPECT_TRUE(SameSource("COM2", "/dev/ttyS1@4800"));
    EXPECT_TRUE(SameSource("gpsd://localhost:2947", "gpsd://localhost"));
    EXPECT_FALSE(SameSource("2", "/dev/ttyS0"));
    EXPECT_FALSE(SameSource("tcp://h:1", "gpsd://h:1"));
    EXPECT_FALSE(SameSource("0", "0"));  // names nothing, so matches nothing
}

}  // namespace
