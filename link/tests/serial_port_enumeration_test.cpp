#include <gtest/gtest.h>

#include "link/serial_port_enumeration.h"

namespace {

TEST(ComPortNumber, OnlyComFollowedByDigits)
{
    const struct {
        const char* name;
        std::optional<unsigned> number;
    } cases[] = {
        {"COM1", 1u},        {"COM12", 12u},      {"com7", 7u},       {"CoM3", 3u},
        {"COM007", 7u},      {"LPT1", std::nullopt}, {"COM", std::nullopt}, {"COM3A", std::nullopt},
        {"COM 3", std::nullopt}, {"COM-3", std::nullopt}, {"", std::nullopt}, {"XCOM3", std::nullopt},
        {"COM99999999999", std::nullopt},  // too large for the number
        {"/dev/ttyUSB0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;
}

TEST(PortDescription, ProductAndManufacturerWhereKnown)
{
    const struct {
        const char* product;
        const char* manufacturer;
        const char* description;
    } cases[] = {
        {"CP2102 USB to UART Bridge Controller", "Silicon Labs", "CP2102 USB to UART Bridge Controller, Silicon Labs"},
        {"FT232R USB UART", "", "FT232R USB UART"},
        {"", "FTDI", "FTDI"},
        {"", "", ""},
        {"u-blox GNSS receiver", "u-blox GNSS receiver", "u-blox GNSS receiver"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PortDescription(c.product, c.manufacturer), c.description);
}

TEST(EnumerateSerialPorts, ParallelListsOfDevicePaths)
{
    std::vector<std::string> ports{"stale"};
    std::vector<std::string> descriptions{"stale", "stale"};
    ASSERT_TRUE(EnumerateSerialPorts(ports, descriptions));
    ASSERT_EQ(ports.size(), descriptions.size());
    for (const std::string& port : ports)
        EXPECT_EQ(port.rfind("/dev/", 0), 0u) << port;
}

}  // namespace
