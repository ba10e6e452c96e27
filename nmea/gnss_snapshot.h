#pragma once

#include <optional>
#include <string>
#include <vector>

#include "nmea/gnss_sentences.h"
#include "nmea/gnss_system.h"

// One satellite and signal as the GNSS model shows it.
struct GnssSignalView {
    GnssSystem system = GnssSystem::Unknown;
    int number = 0;
    int signal = 0;  // signal ID, 0 when not given
    std::optional<int> elevation;
    std::optional<int> azimuth;
    std::optional<int> cnr;  // dB-Hz
    bool used = false;

    bool operator==(const GnssSignalView&) const = default;
};

struct GnssIntegrity {
    std::optional<double> errLat;
    std::optional<double> errLon;
    std::optional<double> errAlt;
    std::optional<GnssSatelliteId> suspect;
    std::optional<double> probability;
    std::optional<double> bias;
    std::optional<double> sigma;

    bool operator==(const GnssIntegrity&) const = default;
};

// What the Signals page and `decode --gnss` show of the GNSS model: copied
// at every GGA hand-off, read as a private copy.
struct GnssSnapshot {
    std::optional<GnssDate> date;  // from the latest RMC or ZDA
    std::string time;              // "hh:mm:ss[.f]", empty when not known
    std::string fixTime;           // the same of the latest GGA: the epoch of the fix handed over
    std::optional<int> zoneHours;  // ZDA local zone, when the latest was a ZDA
    std::optional<int> zoneMinutes;
    char rmcStatus = 0;  // 'A', 'V', 0 before any RMC with one
    char rmcMode = 0;
    // Sorted by system, number and signal; one entry per (system, number, signal).
    std::vector<GnssSignalView> satellites;
    std::optional<GnsFields> gns;
    std::optional<GstFields> gst;
    std::optional<GnssIntegrity> gbs;

    bool operator==(const GnssSnapshot&) const = default;
};
