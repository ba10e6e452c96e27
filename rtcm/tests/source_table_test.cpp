#include <gtest/gtest.h>

#include "rtcm/source_table.h"

namespace {

TEST(SourceTable, RecordsOfEveryKind)
{
    const SourceTable table = ParseSourceTable(
        "STR;RTCM3EPH;Wettzell;RTCM 3.3;1005(10),1077(1);2;GPS+GLO;IGS;DEU;49.14;12.88;1;0;sNTRIP;none;B;N;3600;a;b\r\n"
        "STR;SHORT;Short;RTCM 3\r\n"
        "CAS;caster.example.org;2101;Example;BKG;0;DEU;50.09;8.66;0.0.0.0;0;http://x\r\n"
        "NET;IGS;IGS;B;N;https://igs.org;none;none;\r\n"
        "garbage\r\n"
        "ENDSOURCETABLE\r\n"
        "STR;AFTER;\r\n");
    ASSERT_EQ(table.streams.size(), 2u);
    EXPECT_EQ(table.streams[0],
              (StreamRecord{"RTCM3EPH", "Wettzell", "RTCM 3.3", "1005(10),1077(1)", "2", "GPS+GLO", "IGS", "DEU", 49.14, 12.88,
                            true, "0", "sNTRIP", "none", "B", "N", "3600", "a;b"}));
    EXPECT_EQ(table.streams[1].mountpoint, "SHORT");
    EXPECT_FALSE(table.streams[1].latitude);
    ASSERT_EQ(table.casters.size(), 1u);
    EXPECT_EQ(table.casters[0], (CasterRecord{"caster.example.org", "2101", "Example", "BKG", false, "DEU", 50.09, 8.66,
                                              "0.0.0.0", "0", "http://x"}));
    ASSERT_EQ(table.networks.size(), 1u);
    EXPECT_EQ(table.networks[0].webNetwork, "https://igs.org");
    EXPECT_EQ(table.rejectedLines, 1);
    EXPECT_TRUE(table.complete);
    EXPECT_EQ(StreamFields(table.streams[0])[8], "49.14");
}

}  // namespace
