#include "nmea/gnss_system.h"

#include <array>

namespace {

constexpr std::array<std::string_view, kGnssSystemCount> kSystemNames = {
    "GPS", "SBAS", "GLONASS", "Galileo", "BeiDou", "QZSS", "NavIC", "unknown"};

// Signal names by system and signal ID, index 0 being "not given".
using SignalNames = std::array<std::string_view, 16>;
constexpr SignalNames kGpsSignals = {"", "L1 C/A", "L1 P(Y)", "L1 M", "L2 P(Y)", "L2C-M", "L2C-L", "L5-I", "L5-Q"};
constexpr SignalNames kGlonassSignals = {"", "G1 C/A", "G1 P", "G2 C/A", "G2 P"};
constexpr SignalNames kGalileoSignals = {"", "E5a", "E5b", "E5a+b", "E6-A", "E6-BC", "E1-A", "E1-BC"};
constexpr SignalNames kBeidouSignals = {"",    "B1I",  "B1Q", "B1C", "B1A", "B2a", "B2b",
                                        "B2a+b", "B3I", "B3Q", "B3A", "B2I", "B2Q"};
constexpr SignalNames kQzssSignals = {"", "L1 C/A", "L1C(D)", "L1C(P)", "L1S", "L2C-M", "L2C-L", "L5-I", "L5-Q", "L6D", "L6E"};
constexpr SignalNames kNavicSignals = {"", "L5-SPS", "S-SPS", "L5-RS", "S-RS", "L1-SPS"};

using L = GnssBand;
using Bands = std::array<GnssBand, 16>;
constexpr L N = GnssBand::NotGiven;
constexpr Bands kGpsBands = {N, L::L1, L::L1, L::L1, L::L2, L::L2, L::L2, L::L5, L::L5, N, N, N, N, N, N, N};
constexpr Bands kGlonassBands = {N, L::L1, L::L1, L::L2, L::L2, N, N, N, N, N, N, N, N, N, N, N};
constexpr Bands kGalileoBands = {N, L::L5, L::L5, L::L5, L::L6, L::L6, L::L1, L::L1, N, N, N, N, N, N, N, N};
constexpr Bands kBeidouBands = {N, L::L1, L::L1, L::L1, L::L1, L::L5, L::L5, L::L5, L::L6, L::L6, L::L6, L::L5, L::L5, N, N, N};
constexpr Bands kQzssBands = {N, L::L1, L::L1, L::L1, L::L1, L::L2, L::L2, L::L5, L::L5, L::L6, L::L6, N, N, N, N, N};
constexpr Bands kNavicBands = {N, L::L5, L::S, L::L5, L::S, L::L1, N, N, N, N, N, N, N, N, N, N};

constexpr std::array<std::string_view, kGnssBandCount> kBandNames = {
    "L1 E1 B1", "L2 G2", "L5 E5 B2", "L6 E6 B3", "S", "not given"};

}  // namespace

std::string_view BandName(GnssBand band)
{
    const auto i = static_cast<size_t>(band);
    return i < kBandNames.size() ? kBandNames[i] : kBandNames.back();
}

GnssBand BandOf(GnssSystem system, int signal)
{
    if (signal < 0 || signal > 15)
        return GnssBand::NotGiven;
    const Bands* bands = nullptr;
    switch (system) {
    case GnssSystem::GPS:
    case GnssSystem::SBAS: bands = &kGpsBands; break;
    case GnssSystem::GLONASS: bands = &kGlonassBands; break;
    case GnssSystem::Galileo: bands = &kGalileoBands; break;
    case GnssSystem::BeiDou: bands = &kBeidouBands; break;
    case GnssSystem::QZSS: bands = &kQzssBands; break;
    case GnssSystem::NavIC: bands = &kNavicBands; break;
    default: return GnssBand::NotGiven;
    }
    return (*bands)[static_cast<size_t>(signal)];
}

std::string_view SystemName(GnssSystem system)
{
    const int i = SystemIndex(system);
    return i >= 0 && i < kGnssSystemCount ? kSystemNames[static_cast<size_t>(i)] : kSystemNames.back();
}

GnssSystem SystemOfTalker(std::string_view talker)
{
    if (talker.size() != 2)
        return GnssSystem::Unknown;
    switch (talker[0] << 8 | talker[1]) {
    case 'G' << 8 | 'L': return GnssSystem::GLONASS;
    case 'G' << 8 | 'A': return GnssSystem::Galileo;
    case 'G' << 8 | 'B':
    case 'B' << 8 | 'D': return GnssSystem::BeiDou;
    case 'G' << 8 | 'Q':
    case 'Q' << 8 | 'Z': return GnssSystem::QZSS;
    case 'G' << 8 | 'I': return GnssSystem::NavIC;
    default: return GnssSystem::Unknown;
    }
}

GnssSatelliteId SatelliteOfTalker(std::string_view talker, int number)
{
    if (const GnssSystem named = SystemOfTalker(talker); named != GnssSystem::Unknown)
        return {named, number};
    if (number >= 1 && number <= 32)
        return {GnssSystem::GPS, number};
    if ((number >= 33 && number <= 64) || (number >= 120 && number <= 158))
        return {GnssSystem::SBAS, number};
    if (number >= 65 && number <= 96)
        return {GnssSystem::GLONASS, number};
    if (number >= 193 && number <= 202)
        return {GnssSystem::QZSS, number};
    if (number >= 301 && number <= 336)
        return {GnssSystem::Galileo, number - 300};
    if (number >= 401 && number <= 437)
        return {GnssSystem::BeiDou, number - 400};
    return {GnssSystem::Unknown, number};
}

GnssSystem SystemOfId(int systemId)
{
    switch (systemId) {
    case 1: return GnssSystem::GPS;
    case 2: return GnssSystem::GLONASS;
    case 3: return GnssSystem::Galileo;
    case 4: return GnssSystem::BeiDou;
    case 5: return GnssSystem::QZSS;
    case 6: return GnssSystem::NavIC;
    default: return GnssSystem::Unknown;
    }
}

GnssSatelliteId SatelliteOfSystemId(GnssSystem system, int number)
{
    if (system == GnssSystem::GPS) {
        if ((number >= 33 && number <= 64) || (number >= 120 && number <= 158))
            return {GnssSystem::SBAS, number};
        if (number >= 193 && number <= 202)
            return {GnssSystem::QZSS, number};
    }
    return {system, number};
}

std::string_view SignalName(GnssSystem system, int signal)
{
    if (signal < 0 || signal > 15)
        return {};
    const SignalNames* names = nullptr;
    switch (system) {
    case GnssSystem::GPS:
    case GnssSystem::SBAS: names = &kGpsSignals; break;
    case GnssSystem::GLONASS: names = &kGlonassSignals; break;
    case GnssSystem::Galileo: names = &kGalileoSignals; break;
    case GnssSystem::BeiDou: names = &kBeidouSignals; break;
    case GnssSystem::QZSS: names = &kQzssSignals; break;
    case GnssSystem::NavIC: names = &kNavicSignals; break;
    default: return {};
    }
    return (*names)[static_cast<size_t>(signal)];
}
