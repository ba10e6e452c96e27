#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string_view>

#include "console/receiver_cfg_commands.h"
#include "console/sentence_checksum.h"

namespace {

TEST(ReceiverCfgCommands, PXTNCFG)
{
    struct Case {
        ListChoice com1, com2;
        const char* line;  // with the checksum the sender adds
    };
    const Case cases[] = {
        {"NMEA", "MAVLink", "$PXTNCFG,N,M,,,,,,*53"},
        {{}, {}, "$PXTNCFG,,,,,,,,*50"},
        {"MAVLink", "<keep>", "$PXTNCFG,M,,,,,,,*1D"},
        {"<keep>", "NMEA", "$PXTNCFG,,N,,,,,,*1E"},
        {"<keep>", "<keep>", "$PXTNCFG,,,,,,,,*50"},
        // Only the exact texts count.
        {"nmea", "Mavlink", "$PXTNCFG,,,,,,,,*50"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithChecksum(ComposePXTNCFG(c.com1, c.com2)), c.line);
}

std::array<bool, kNomItems.size()> Selection(std::initializer_list<std::string_view> items)
{
    std::array<bool, kNomItems.size()> selected{};
    for (std::string_view item : items) {
        for (size_t i = 0; i < kNomItems.size(); ++i) {
            if (kNomItems[i] == item)
                selected[i] = true;
        }
    }
    return selected;
}

TEST(ReceiverCfgCommands, PXTNNOM)
{
    struct Case {
        std::initializer_list<std::string_view> selected;
        ListChoice persist;
        const char* line;
    };
    const Case cases[] = {
        {{"GGA", "GSA", "GSV", "VTG"}, "Persist", "$PXTNNOM,0000002E,1*18"},
        {{}, {}, "$PXTNNOM,00000000,*5E"},
        {{"RMC"}, "Reset", "$PXTNNOM,00000001,0*6F"},
        {{"STAT"}, "<keep>", "$PXTNNOM,00001000,*5F"},
        {{"RMC", "GGA", "GSA", "GSV", "GLL", "VTG", "ZDA", "RAIM", "SBMC", "PRM", "ALT", "VV", "STAT"},
         {}, "$PXTNNOM,00001FFF,*29"},
        // "<keep>" empties the mask field whatever else is selected.
        {{"GGA", "<keep>", "RAIM"}, "Persist", "$PXTNNOM,,1*6F"},
        {{"<keep>"}, {}, "$PXTNNOM,,*5E"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithChecksum(ComposePXTNNOM(Selection(c.selected), c.persist)), c.line);
    }
}

TEST(ReceiverCfgCommands, MaskHasOneBitPerSelectedItem)
{
    bool selected[40] = {};
    EXPECT_EQ(SentenceMask(selected), 0u);
    selected[0] = selected[13] = selected[31] = true;
    EXPECT_EQ(SentenceMask(selected), 0x80002001u);
    selected[35] = true;  // no bit for it; it must not disturb the others
    EXPECT_EQ(SentenceMask(selected), 0x80002001u);
}

}  // namespace
