#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <string_view>

#include "bench/old_core/gnss_model.h"
#include "bench/old_core/sentence_framer.h"
#include "bench/old_core/satellite_view.h"

namespace old_core {

// The receiver state: the dispatcher and decoders of GGA, GSA, VTG, GSV, the
// configuration reply and the RAIM sentence, and the fields they write.
//
// Everything here runs on whichever thread feeds the bytes. The one step that
// involves other threads, handing each GGA fix to the display, is a hook set
// from outside: the link installs one that waits for the display, a headless
// decoder one that copies the fix at once.
class ReceiverState : public SentenceFramer {
public:
    enum SolutionMode : int { Integrity = 0, Precision = 1 };

    ReceiverState();

    // Zeroes the GGA, GSA and VTG groups and the three satellite tables. The
    // configuration (dual/solution mode), the RAIM values and the framer keep
    // their state: a reconnect keeps the last known configuration.
    void ResetData();

    // Zeroes HPL and HFOM. They describe the receiver they came from: another
    // source (a playback, a different port) must not be judged by them.
    void ForgetIntegrity() { m_raimHpl = m_raimHfom = 0; }

    // Called after every decoded GGA, before the next byte is framed.
    void SetPositionHandOff(std::function<void()> handOff) { m_positionHandOff = std::move(handOff); }

    void DecodeGGA(const char* data);
    void DecodeGSA(const char* data);
    void DecodeVTG(const char* data);
    void DecodeGPSGSV(const char* data);
    void DecodeGLONASSGSV(const char* data);
    void MergeSatellites();
    void DecodeConfigReply(const char* data);
    void DecodeRAIM(const char* data);

    // GGA
    int m_utcHour = 0;
    int m_utcMinute = 0;
    int m_utcSecond = 0;
    bool m_utcValid = false;  // false when the last GGA's time had fewer than six characters
    double m_latitude = 0.0;
    double m_longitude = 0.0;
    int m_fixQuality = 0;
    int m_satsInUse = 0;
    double m_ggaHdop = 0.0;
    double m_altitude = 0.0;
    int m_ggaCount = 0;
    // The fix-quality digit (1 to 9) of the last GGA when it also carried a
    // latitude and a longitude; 0 otherwise. The fields above keep older
    // values when a field is empty, so they cannot tell.
    int m_ggaCountedQuality = 0;

    // GSA
    int m_gsaMode = 0;
    int m_gsaFixType = 0;
    std::array<int, kMaxSatellites> m_gpsPrnsUsed{};
    std::array<int, kMaxSatellites> m_glonassPrnsUsed{};
    double m_gpsPdop = 0.0;
    double m_gpsHdop = 0.0;
    double m_gpsVdop = 0.0;
    double m_glonassPdop = 0.0;
    double m_glonassHdop = 0.0;
    double m_glonassVdop = 0.0;
    int m_gsaCount = 0;

    SatelliteViewTable m_allInView;

    // VTG
    double m_courseTrue = 0.0;
    double m_courseMagnetic = 0.0;
    double m_speedKnots = 0.0;
    double m_speedKmh = 0.0;
    char m_vtgMode = 0;

    // GSV
    SatelliteViewTable m_gpsInView;
    SatelliteViewTable m_glonassInView;

    // Written by the configuration reply on the feeding thread and by the
    // user's Precision/Integrity commands on the GUI thread.
    std::atomic<int> m_solutionMode{Integrity};
    std::atomic<int> m_dualMode{0};

    // RAIM, centimetres
    int m_raimHpl = 0;
    int m_raimHfom = 0;

    // Every constellation and signal, fed each sentence the dual-mode filter
    // lets through, before the decoders above (so that it is current at the
    // GGA hand-off). ResetData resets it too.
    GnssModel m_gnssModel;

protected:
    int OnSentence(const char* address, const char* data) override;
    void OnChecksumError(const char* address, const char* data) override;

private:
    bool DroppedByDualModeFilter(std::string_view address) const;
    void DecodeGSV(const char* data, SatelliteViewTable& table);

    std::function<void()> m_positionHandOff;
};

// "Invalid", "GPS Fix", ... for fix qualities 0 to 8; nullptr for any other.
const char* FixQualityText(int fixQuality);

}  // namespace old_core
