#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/local_tangent_plane.h"
#include "rtcm/rtcm_framer.h"
#include "tools/sim/command_reader.h"
#include "tools/sim/position_wander.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_random.h"
#include "tools/sim/sky_model.h"

// What one GGA said, and where the receiver really was.
struct TruthRecord {
    long fix = 0;
    std::string talker;  // "GP" or "GN"
    std::string utc;     // as sent
    double latitude = 0.0;  // as a reader of the sentence gets it
    double longitude = 0.0;
    double altitude = 0.0;
    int quality = 0;
    int satellites = 0;
    double hdop = 0.0;
    int hplCm = 0;  // of the RAIM sentence of the same fix; 0 without
    int hfomCm = 0;
    double trueLatitude = 0.0;
    double trueLongitude = 0.0;
    double trueAltitude = 0.0;
    size_t sentence = 0;  // index of the GGA in its epoch
};

struct SimEpoch {
    std::vector<std::string> sentences;  // each "$...*hh\r\n"
    std::vector<TruthRecord> truth;      // one per GGA
};

// What RTCM corrections do to a fix: an RTK receiver floats while they
// come and fixes after it has had them for a while; without them for a few
// seconds it falls back to its own solution. Times are the receiver's
// seconds since its first fix.
class CorrectionInput {
public:
    static constexpr double kHoldSeconds = 5.0;   // frames older than this are gone
    static constexpr double kFixAfterSeconds = 10.0;

    // Takes the bytes the host wrote; the good frames count from `now`.
    void Feed(std::string_view bytes, double now);

    struct Effect {
        int quality = 0;  // 5 float, 4 fixed; 0 when corrections are stale
        double age = 0.0;
        int stationId = 0;
    };
    Effect At(double now) const;
    uint64_t BadFrames() const { return m_framer.BadFrames(); }

private:
    RtcmFramer m_framer;
    std::optional<double> m_last;
    double m_runStart = 0.0;  // the first frame after a gap
    int m_stationId = 0;
};

// The receiver: its configuration, its satellites and its solutions. Pure:
// the same options give the same epochs, so tests can compare what arrives
// with what was sent.
class SimReceiver {
public:
    explicit SimReceiver(const SimOptions& options);

    // The sentences of fix `index` (0, 1, 2, ... in order).
    SimEpoch MakeEpoch(long index);

    // $PXTNCFG,c1,c2,,,,,,,M with M = I, P or D.
    std::string ConfigurationReply() const;

    // Applies a command and returns the sentences it answers with.
    std::vector<std::string> HandleCommand(const NmeaCommand& command);

    // RTCM 3 bytes written to the receiver, at `seconds` of its time.
    void TakeCorrections(std::string_view bytes, double seconds) { m_corrections.Feed(bytes, seconds); }

    uint32_t SentenceMask() const { return m_mask; }
    bool Persistent() const { return m_persist; }
    // False once COM1 is set to MAVLink: no NMEA fixes are sent then.
    bool SendsNmea() const { return m_com1 == 'N'; }

private:
    struct Solution;
    void AddSolution(SimEpoch& epoch, const Solution& s, const std::vector<SimSatellite>& gpsView,
                     const std::vector<SimSatellite>& gpsUsed, const std::vector<SimSatellite>& glonassUsed,
                     bool glonassByItsOwnTalker);
    void AddGnssFix(SimEpoch& epoch, Solution& s, long index, double seconds, const std::vector<SimSatellite>& sky);

    SimOptions m_options;
    CorrectionInput m_corrections;
    CorrectionInput::Effect m_rtk;  // of the fix being made
    SkyModel m_sky;
    PositionWander m_integrityWander;
    PositionWander m_precisionWander;
    SimRandom m_random;
    LocalTangentPlane m_centre;  // of --circle
    uint32_t m_mask = kDefaultSentenceMask;
    bool m_persist = false;
    char m_com1 = 'N';
    char m_com2 = 'M';
    double m_timeOfDay = 0.0;
    std::string m_utc;
    std::string m_date;  // "ddmmyy" for RMC
    std::string m_zdaDate;  // "dd,mm,yyyy"
    std::array<int, 97> m_snr{};  // signal level of this fix by PRN
};
