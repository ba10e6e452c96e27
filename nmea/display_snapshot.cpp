#include "nmea/display_snapshot.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "nmea/receiver_state.h"

void CopyToSnapshot(const ReceiverState& parser, DisplaySnapshot& snapshot)
{
    snapshot.latitude = parser.m_latitude;
    snapshot.longitude = parser.m_longitude;
    snapshot.altitude = parser.m_altitude;
    snapshot.satsInUse = parser.m_satsInUse;
    snapshot.satsInView = parser.m_allInView.count;
    snapshot.gpsHdop = parser.m_gpsHdop;
    snapshot.gpsVdop = parser.m_gpsVdop;
    snapshot.gpsPdop = parser.m_gpsPdop;
    snapshot.glonassHdop = parser.m_glonassHdop;
    snapshot.glonassVdop = parser.m_glonassVdop;
    snapshot.glonassPdop = parser.m_glonassPdop;
    snapshot.hplCm = parser.m_raimHpl;
    snapshot.hfomCm = parser.m_raimHfom;
    snapshot.countedQuality = parser.m_ggaCountedQuality;

    // All 96 records, whatever the count: the pages decide what to show.
    // Records the state never wrote are zero and copy as zero.
    const size_t written = static_cast<size_t>(std::clamp(parser.AllInViewWritten(), 0, kMaxSatellites));
    static_assert(std::is_trivially_copyable_v<SnapshotSatellite>);
    std::memset(static_cast<void*>(snapshot.satellites.data() + written), 0,
                (snapshot.satellites.size() - written) * sizeof(SnapshotSatellite));
    for (size_t i = 0; i < written; ++i) {
        const SatelliteInView& in = parser.m_allInView.entries[i];
        SnapshotSatellite& out = snapshot.satellites[i];
        out.prn = in.prn;
        out.azimuth = in.azimuth;
        out.elevation = in.elevation;
        out.snr = in.snr;
        out.used = in.used;
        if (in.prn <= kLastSbasPrn)
            out.constellation = 0;
        else if (in.prn <= kLastGlonassPrn)
            out.constellation = 1;  // above 96: the slot keeps what it had
        if (in.prn > kLastSbasPrn && in.prn <= kLastGlonassPrn)
            snapshot.glonassSeen = 1;
        if (in.prn > kLastGpsPrn && in.prn <= kLastSbasPrn)
            snapshot.sbasSeen = 1;
    }

    if (const char* text = FixQualityText(parser.m_fixQuality)) {
        const size_t n = std::min(std::strlen(text), snapshot.fixQualityText.size() - 1);
        std::memcpy(snapshot.fixQualityText.data(), text, n);
        snapshot.fixQualityText[n] = '\0';
    }
}
