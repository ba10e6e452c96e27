#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/comm_port.h"

namespace {

TEST(CommPortFromText, NumbersAndDevicePaths)
{
    struct Case {
        const char* text;
        CommPort port;
    };
    const Case cases[] = {
        {"4", {4, ""}},
        {" 10 ", {10, ""}},
        {"COM3", {3, ""}},
        {"ttyUSB1", {0, "/dev/ttyUSB1"}},
        {" gpsd://localhost:2947 ", {0, "gpsd://localhost"}},
        {"0", {0, "0"}},                     // names nothing: kept for the open to refuse
        {"tcp://host", {0, "tcp://host"}},
        {"", {0, ""}},
        {"/dev/ttyUSB0", {0, "/dev/ttyUSB0"}},
        {"  /dev/ttyACM0\t", {0, "/dev/ttyACM0"}},
        {"/dev/serial/by-id/usb-u-blox_GNSS-if00", {0, "/dev/serial/by-id/usb-u-blox_GNSS-if00"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommPortFromText(c.text), c.port) << '"' << c.text << '"';
}

TEST(CommPortText, ReadsBackAsTheSamePort)
{
    for (const CommPort& port : {CommPort{1, ""}, CommPort{12, ""}, CommPort{0, "/dev/ttyUSB3"}})
        EXPECT_EQ(CommPortFromText(CommPortText(port)), port);
    EXPECT_EQ(CommPortText(CommPort{7, ""}), "7");
}

TEST(CommPortDevice, ComNumbersMapToTtyS)
{
    struct Case {
        CommPort port;
        const char* device;
    };
    const Case cases[] = {
        {{1, ""}, "/dev/ttyS0"},
        {{12, ""}, "/dev/ttyS11"},
        {{0, ""}, ""},
        {{-2, ""}, ""},
        {{0, "/dev/ttyUSB0"}, "/dev/ttyUSB0"},
        {{0, "tcp://host:1"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommPortDevice(c.port), c.device) << CommPortText(c.port);
}

TEST(SameDevice, NumberAndPathOfOneDevice)
{
    EXPECT_TRUE(SameDevice({1, ""}, {0, "/dev/ttyS0"}));
    EXPECT_TRUE(SameDevice({0, "/dev/ttyUSB0"}, {0, "/dev/ttyUSB0"}));
    EXPECT_FALSE(SameDevice({2, ""}, {0, "/dev/ttyS0"}));
    EXPECT_FALSE(SameDevice({0, ""}, {0, ""}));   // port 0 names nothing, so matches nothing
}

TEST(PortListEntries, SortedAsText)
{
    using Ports = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        Ports ports;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {{{"3", "Communications Port"}, {"10", "USB Serial Port"}},
         {"10 - (USB Serial Port)", "3 - (Communications Port)"}},
        {{{"/dev/ttyUSB0", "FT232R USB UART"}, {"/dev/ttyS0", "ttyS0"}, {"/dev/ttyACM0", "u-blox GNSS receiver"}},
         {"/dev/ttyACM0 - (u-blox GNSS receiver)", "/dev/ttyS0 - (ttyS0)", "/dev/ttyUSB0 - (FT232R USB UART)"}},
        {{{"/dev/ttyusb1", ""}, {"/dev/ttyUSB0", ""}},   // case does not split the list
         {"/dev/ttyUSB0 - ()", "/dev/ttyusb1 - ()"}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortListEntries(c.ports), c.entries);
}

TEST(PortListEntryText, CutTo255WithoutSplittingACharacter)
{
    std::string description;
    for (int i = 0; i < 200; ++i)
        description += "\xC3\xA9";  // é, two bytes
    const std::string entry = PortListEntryText("/dev/ttyUSB0", description);
    ASSERT_LE(entry.size(), kPortEntryMaxLength);
    EXPECT_GE(entry.size(), kPortEntryMaxLength - 1);
    // The last character is whole: a lead byte is never left without its continuation.
    EXPECT_NE(static_cast<unsigned char>(entry.back()) & 0xC0, 0xC0);
    EXPECT_EQ(PortFromEntryText(entry), "/dev/ttyUSB0");
}

TEST(PortFromEntryText, WhatStandsBeforeTheDescription)
{
    struct Case {
        const char* entry;
        const char* port;
    };
    const Case cases[] = {
        {"10 - (USB Serial Port)", "10"},
        {"/dev/ttyUSB0 - (FT232R USB UART)", "/dev/ttyUSB0"},
        {"/dev/ttyS0 - (a - (b))", "/dev/ttyS0"},
        {"57", "57"},
        {"/dev/ttyACM0", "/dev/ttyACM0"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PortFromEntryText(c.entry), c.port) << c.entry;
}

}  // namespace
