#pragma once

#include <cstdint>
#include <vector>

struct SimSatellite {
    int prn = 0;
    double elevation = 0.0;  // degrees
    double azimuth = 0.0;    // degrees from north, 0 to 360

    bool operator==(const SimSatellite&) const = default;
};

// The sky over one place: 24 GPS satellites in six planes, 24 GLONASS
// satellites in three, on circular orbits under a rotating Earth, and two
// geostationary SBAS satellites. Good enough for plausible passes, counts
// and DOPs; not an almanac. The seed picks the PRNs and the start time.
class SkyModel {
public:
    SkyModel(uint64_t seed, double latitude, double longitude);

    // Satellites at or above the horizon `seconds` after the start, GPS and
    // SBAS first (PRN 1 to 64), then GLONASS (65 to 96), each by PRN.
    std::vector<SimSatellite> InView(double seconds) const;

private:
    struct Orbit {
        int prn = 0;
        double radiusKm = 0.0;
        double inclination = 0.0;   // radians
        double ascendingNode = 0.0; // radians
        double phase = 0.0;         // argument of latitude at the start, radians
        double rate = 0.0;          // radians per second
    };

    double m_latitude = 0.0;   // radians
    double m_longitude = 0.0;  // radians
    double m_startSeconds = 0.0;
    std::vector<Orbit> m_orbits;
    std::vector<SimSatellite> m_geostationary;
};
