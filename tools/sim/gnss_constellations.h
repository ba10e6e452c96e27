#pragma once

#include <string>
#include <vector>

#include "tools/sim/sim_random.h"
#include "tools/sim/sky_model.h"

// What `--gnss` adds to a fix: every constellation on two signals each.
struct GnssFixInput {
    long index = 0;
    double seconds = 0.0;          // since the first fix
    std::string utc;               // "hhmmss.ss"
    std::string rmcDate;           // "ddmmyy"
    std::string zdaDate;           // "dd,mm,yyyy"
    std::string latitude;          // "ddmm.mmmmmm,N"
    std::string longitude;         // "dddmm.mmmmmm,E"
    double altitude = 0.0;
    double knots = 0.0;
    double course = 0.0;
    double noise = 2.0;            // metres, for GST and GBS
    std::vector<SimSatellite> sky;  // GPS, SBAS and GLONASS as the sky model has them
};

struct GnssFixSentences {
    std::vector<std::string> beforeGga;  // RMC, GNS, GSA per system, GSV per system and signal, GST, GBS, ZDA
    int used = 0;                        // satellites in the solution, for GGA
    double hdop = 0.0;
};

// GPS, GLONASS, Galileo, BeiDou and QZSS, each on two signals, in NMEA 4.11
// form: GSV with signal IDs under each system's own talker, GSA with system
// IDs, and RMC, GNS, GST, GBS and ZDA. Galileo and BeiDou fly the GPS and
// GLONASS orbits turned about the zenith, QZSS stands high in the
// south-east: plausible skies, not an almanac. Every 40 s a GPS satellite
// is reported suspect by GBS for 10 s.
GnssFixSentences MakeGnssFixSentences(const GnssFixInput& fix, SimRandom& random);
