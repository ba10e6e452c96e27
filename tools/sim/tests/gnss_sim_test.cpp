#include <gtest/gtest.h>

#include <map>
#include <set>

#include "nmea/receiver_state.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_receiver.h"

namespace {

// What the Signals page needs from the simulator: five systems on two signals
// each, used lists by system ID, date and time, GST, and a GBS suspect now
// and then; every GGA still a fix of the receiver state.
TEST(GnssSimulator, FillsTheSignalsPage)
{
    SimOptions options;
    options.gnss = true;
    SimReceiver receiver(options);
    ReceiverState parser;
    int fixes = 0;
    int suspects = 0;
    GnssSnapshot gnss;
    parser.SetPositionHandOff([&] {
        ++fixes;
        parser.m_gnssModel.CopyTo(gnss);
        std::map<GnssSystem, std::set<int>> signalsBySystem;
        std::map<GnssSystem, int> used;
        for (const GnssSignalView& s : gnss.satellites) {
            signalsBySystem[s.system].insert(s.signal);
            used[s.system] += s.used ? 1 : 0;
        }
        EXPECT_EQ(signalsBySystem.size(), 5u);
        for (const auto& [system, ids] : signalsBySystem) {
            EXPECT_EQ(ids.size(), 2u) << SystemName(system);
            EXPECT_GT(used[system], 0) << SystemName(system);
        }
        EXPECT_TRUE(gnss.date && gnss.date->year == 2024);
        EXPECT_FALSE(gnss.time.empty());
        EXPECT_TRUE(gnss.gst && gnss.gst->sigmaLat);
        ASSERT_TRUE(gnss.gbs);
        suspects += gnss.gbs->suspect ? 1 : 0;
        EXPECT_EQ(parser.m_fixQuality, 2);
    });
    for (long i = 0; i < 45; ++i)
        for (const std::string& s : receiver.MakeEpoch(i).sentences)
            parser.ProcessBytes(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    EXPECT_EQ(fixes, 45);
    EXPECT_EQ(suspects, 10);  // seconds 30 to 39 of every 40
}

}  // namespace
