#pragma once

#include <array>

#include "bench/old_core/satellite_view.h"

namespace old_core {

class ReceiverState;

struct SnapshotSatellite {
    int constellation = 0;  // 0: PRN 64 and below, 1: GLONASS (65-96)
    int prn = 0;
    int azimuth = 0;
    int elevation = 0;
    int snr = 0;
    int used = 0;

    bool operator==(const SnapshotSatellite&) const = default;
};

// What the pages show of the receiver state: copied from the parser after
// every fix, and read by the pages as a private copy.
struct DisplaySnapshot {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    int satsInUse = 0;
    int satsInView = 0;  // as reported; may exceed the 96 records
    std::array<SnapshotSatellite, kMaxSatellites> satellites{};
    std::array<char, 256> fixQualityText{};  // NUL-terminated
    double gpsHdop = 0.0;
    double gpsVdop = 0.0;
    double gpsPdop = 0.0;
    double glonassHdop = 0.0;
    double glonassVdop = 0.0;
    double glonassPdop = 0.0;
    int glonassSeen = 0;  // sticky until the snapshot is zeroed
    int sbasSeen = 0;
    int hplCm = 0;
    int hfomCm = 0;
    int countedQuality = 0;  // the parser's m_ggaCountedQuality

    // Records worth reading: satsInView clamped to 0..96.
    int UsableSatellites() const
    {
        return satsInView < 0 ? 0 : (satsInView > kMaxSatellites ? kMaxSatellites : satsInView);
    }

    bool operator==(const DisplaySnapshot&) const = default;
};

// Copies the parser's fix into the snapshot. The caller holds whatever lock
// guards the snapshot.
void CopyToSnapshot(const ReceiverState& parser, DisplaySnapshot& snapshot);

}  // namespace old_core
