#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <string_view>

#include "nmea/decode_driver.h"
#include "nmea/gnss_model.h"
#include "nmea/receiver_sentences.h"
#include "nmea/satellite_view.h"

// The receiver state: the fields that GGA, GSA, VTG, GSV, the configuration
// reply and the RAIM sentence write, built from their decoded values, and
// the GNSS model built from the same values. A DecodeDriver feeds it.
//
// Everything here runs on whichever thread feeds the bytes. For tests and
// small tools it can also frame bytes itself (ProcessBytes), handing each
// GGA fix to a hook set from outside.
class ReceiverState {
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

    ReceiverState(const ReceiverState&) = delete;
    ReceiverState& operator=(const ReceiverState&) = delete;

    enum class Taken { Filtered, Sentence, Fix, Invalid };
    // Decodes one framed sentence, once, into the fields below and the GNSS
    // model. Fix: a GGA was taken; Invalid: its decoder refused it;
    // Filtered: the dual-mode filter dropped it.
    Taken Decode(std::string_view address, std::string_view data, AddressKind kind);
    Taken Decode(std::string_view address, std::string_view data) { return Decode(address, data, ClassifyAddress(address)); }

    // Frames bytes with a driver of this state's own; the hook is called
    // after every GGA taken, before the next byte is framed.
    size_t ProcessBytes(const uint8_t* bytes, size_t count) { return m_ownDriver.Feed(bytes, count); }
    int ProcessByte(uint8_t b) { return m_ownDriver.FeedByte(b); }
    int FramerState() const { return m_ownDriver.FramerState(); }
    const SentenceCounts& Counts() const { return m_ownDriver.Counts(); }

    // Off: the GNSS model is not fed (a reader that never looks at it, such
    // as the position statistics, spares its cost). On by default.
    void SetGnssModelFed(bool fed) { m_feedModel = fed; }
    void SetPositionHandOff(std::function<void()> handOff) { m_positionHandOff = std::move(handOff); }

    // Each applies one sentence's data (framed text, what follows the
    // address) as the dispatcher would.
    void DecodeGGA(const char* data);
    void DecodeGSA(const char* data);
    void DecodeVTG(const char* data);
    void DecodeGPSGSV(const char* data);
    void DecodeGLONASSGSV(const char* data);
    void MergeSatellites();
    void DecodeConfigReply(const char* data);
    void DecodeRAIM(const char* data);

    // False, changing nothing, for a GGA that names no place.
    bool Apply(const GgaFields& gga);
    void Apply(const GsaFields& gsa);
    void Apply(const VtgFields& vtg);
    void Apply(const GsvMessage& gsv, SatelliteViewTable& table);
    void Apply(const ConfigReply& reply);
    void Apply(const RaimFields& raim);

    // GGA
    int m_utcHour = 0;
    int m_utcMinute = 0;
    int m_utcSecond = 0;
    bool m_utcValid = false;  // false when the last GGA's time had fewer than six characters
    std::optional<double> m_utcTimeOfDay;  // the last GGA's time in seconds, fraction kept, when valid
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

    // Records of m_allInView at and past this index have never been
    // written since the last reset: they are wholly zero.
    int AllInViewWritten() const { return m_allWritten; }

    // RAIM, centimetres
    int m_raimHpl = 0;
    int m_raimHfom = 0;

    // Every constellation and signal, fed each sentence the dual-mode filter
    // lets through, before the decoders above (so that it is current at the
    // GGA hand-off). ResetData resets it too.
    GnssModel m_gnssModel;

private:
    bool DroppedByDualModeFilter(std::string_view address) const;
    void MergeSatellitesFrom(int previousFilled);

    // The GPS and GLONASS tables' records at and past this index are zero
    // in m_allInView (the used flags aside), so a merge clears no further.
    int m_allFilled = kMaxSatellites;
    int m_allWritten = kMaxSatellites;
    GsvMessage m_gsv;  // scratch, too large for the stack of every call
    bool m_feedModel = true;

    class HandOff : public DecodeObserver {
    public:
        explicit HandOff(const std::function<void()>& hook) : m_hook(hook) {}
        void OnFix() override
        {
            if (m_hook)
                m_hook();
        }

    private:
        const std::function<void()>& m_hook;
    };
    std::function<void()> m_positionHandOff;
    HandOff m_handOff{m_positionHandOff};
    DecodeDriver m_ownDriver{*this, &m_handOff};
};

// "Invalid", "GPS Fix", ... for fix qualities 0 to 8; nullptr for any other.
const char* FixQualityText(int fixQuality);
