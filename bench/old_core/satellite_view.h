#pragma once

#include <array>

namespace old_core {

// PRN ranges shared by every page: 1-32 GPS, 33-64 SBAS, 65-96 GLONASS.
inline constexpr int kMaxSatellites = 96;
inline constexpr int kLastGpsPrn = 32;
inline constexpr int kLastSbasPrn = 64;
inline constexpr int kLastGlonassPrn = 96;

struct SatelliteInView {
    int prn = 0;
    int snr = 0;        // carrier-to-noise, dB-Hz
    int used = 0;       // 1 when in a used-PRN list as the GSV arrived
    int azimuth = 0;    // degrees
    int elevation = 0;  // degrees

    bool operator==(const SatelliteInView&) const = default;
};

struct SatelliteViewTable {
    // Satellites in view as the receiver reported them. Stored as sent, so it
    // may exceed the table; readers use UsableCount().
    int count = 0;
    std::array<SatelliteInView, kMaxSatellites> entries{};
    int sentenceCount = 0;

    int UsableCount() const
    {
        return count < 0 ? 0 : (count > kMaxSatellites ? kMaxSatellites : count);
    }

    bool operator==(const SatelliteViewTable&) const = default;
};

}  // namespace old_core
