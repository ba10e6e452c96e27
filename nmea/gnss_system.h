#pragma once

#include <cstdint>
#include <string_view>

// The satellite systems a receiver may report, in the order every listing
// of them uses (tables, JSON, the Signals page).
enum class GnssSystem : uint8_t { GPS, SBAS, GLONASS, Galileo, BeiDou, QZSS, NavIC, Unknown };

inline constexpr int kGnssSystemCount = 8;

inline constexpr int SystemIndex(GnssSystem system) { return static_cast<int>(system); }

// "GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC", "unknown".
std::string_view SystemName(GnssSystem system);

// A satellite as a system and the number within that system.
struct GnssSatelliteId {
    GnssSystem system = GnssSystem::Unknown;
    int number = 0;

    auto operator<=>(const GnssSatelliteId&) const = default;
};

// The system of `number` as a sentence of `talker` (two characters) sends
// it. A one-system talker (GL, GA, GB, BD, GQ, QZ, GI) names the system and the
// number is kept as sent; any other talker (GP, GN, ...) is read through the
// NMEA numbering, where Galileo and BeiDou carry an offset of 300 and 400.
GnssSatelliteId SatelliteOfTalker(std::string_view talker, int number);

// The system a one-system talker names; Unknown for GP, GN and the rest.
GnssSystem SystemOfTalker(std::string_view talker);

// The system of a GSA/GBS system ID (NMEA 4.10: 1 GPS ... 6 NavIC); Unknown
// for anything else.
GnssSystem SystemOfId(int systemId);

// A used or suspect number under a system ID: the system the ID names,
// except that GPS shares its numbering with SBAS and QZSS.
GnssSatelliteId SatelliteOfSystemId(GnssSystem system, int number);

// Frequency bands, for showing or hiding signals by band. Signals of
// different systems that share a band (L1, E1, B1C) share one.
enum class GnssBand : uint8_t { L1, L2, L5, L6, S, NotGiven };

inline constexpr int kGnssBandCount = 6;

// "L1 E1 B1", "L2 G2", "L5 E5 B2", "L6 E6 B3", "S", "not given".
std::string_view BandName(GnssBand band);

// The band of signal ID `signal` of `system`; NotGiven for signal 0 and for
// IDs the system does not define. SBAS satellites are reported in GPS
// streams, with GPS signal IDs.
GnssBand BandOf(GnssSystem system, int signal);

// The name of signal ID `signal` (1-15) of `system` ("L1 C/A", "E5a", ...);
// empty when the signal is not given (0) or not defined for that system.
// SBAS signals are named as GPS names them.
std::string_view SignalName(GnssSystem system, int signal);
