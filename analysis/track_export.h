#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "nmea/decode_driver.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_sentences.h"

class ReceiverState;

// One GGA fix as a track export writes it; what is unknown stays empty.
struct TrackPoint {
    std::optional<GnssDate> date;  // from RMC or ZDA
    double timeOfDay = -1.0;       // seconds since midnight UTC, from the GGA; -1 when absent
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
    int fixQuality = 0;
    int satsUsed = 0;
    int gsaFixType = 0;  // 2 or 3 when a GSA said so
    std::optional<double> hdop, pdop, vdop;
    std::optional<double> hpl, hfom;  // metres
    std::optional<double> horizontalError;
    std::optional<double> sigmaLatitude, sigmaLongitude, sigmaAltitude;
};

enum class TrackFormat { Csv, Gpx, Kml };

std::optional<TrackFormat> TrackFormatFromName(std::string_view name);  // "csv", "gpx", "kml"

struct TrackReference {
    double latitude = 0.0;
    double longitude = 0.0;
    double altitude = 0.0;
};

// Turns the fixes into text of one format, point by point. CSV: a header
// and one RFC 4180 row per fix, CRLF line ends. GPX 1.1: one track segment
// of the fixes with a position (quality 1 and above). KML 2.2: the same
// fixes as a LineString and as points styled by fix quality. Numbers always
// use a dot, whatever the locale.
class TrackTextWriter {
public:
    explicit TrackTextWriter(TrackFormat format) : m_format(format) {}
    std::string Begin(std::string_view name) const;
    std::string Point(const TrackPoint& point);  // empty when the format leaves the fix out
    std::string End();
    uint64_t Written() const { return m_written; }  // fixes written (rows, points)

private:
    TrackFormat m_format;
    uint64_t m_written = 0;
    std::string m_line;  // KML: the LineString's coordinates, written at the end
};

// The track rows in order: fixes come from the receiver state's GGA
// hand-off; a fix waits for the GSA, RAIM, RMC, ZDA and GST of its own epoch
// (RMC, ZDA and GST by the same UTC time), which most receivers send after
// the GGA, and is emitted at the next GGA or at Finish. A GST or date sent
// before the GGA with the same time is its epoch's too.
class TrackBuilder {
public:
    using Emit = std::function<void(const TrackPoint&)>;
    TrackBuilder(Emit onPoint, std::optional<TrackReference> user) : m_emit(std::move(onPoint)), m_user(user) {}

    // Every sentence the framer delivers, before the receiver state decodes it.
    void OnSentence(std::string_view address, std::string_view data);
    // At the GGA hand-off, with the receiver state that decoded it.
    void OnFix(const ReceiverState& parser, const DisplaySnapshot& snapshot);
    void Finish();

private:
    // A date with the UTC time of the sentence that gave it.
    struct DatedTime {
        double timeOfDay = -1.0;  // seconds since midnight UTC
        GnssDate date;
    };

    void Flush();
    void TakeSigmas(TrackPoint& point) const;
    void TakeEpoch(TrackPoint& point, const ReceiverState& parser, bool gsa, bool raim);
    void OnEpochTime(double time);

    // The last GST's sigmas with its UTC time.
    struct TimedSigmas {
        double timeOfDay = -1.0;
        double latitude = 0.0;
        double longitude = 0.0;
        double altitude = 0.0;
    };
    std::optional<TimedSigmas> m_lastGst;
    double m_timeBeforeGga = -1.0;   // of the last RMC, ZDA or GST since the last GGA
    bool m_pendingComplete = false;  // the pending fix took its epoch's GSA and RAIM already
    bool m_gsaLeads = false;         // a GSA came after a sentence of the coming GGA's epoch
    bool m_raimLeads = false;

    Emit m_emit;
    std::optional<TrackReference> m_user;
    std::optional<TrackPoint> m_pending;
    const ReceiverState* m_parser = nullptr;
    std::optional<DatedTime> m_lastDate;
    double m_ggaTime = -1.0;
    std::optional<double> m_ggaHdop;
    // GSA and RAIM sentences seen since the last fix was emitted: only then
    // are the receiver state's DOPs and integrity this epoch's.
    bool m_gsaSeen = false;
    bool m_raimSeen = false;
};

// Hands a decode driver's sentences and fixes to a track builder.
class TrackObserver : public DecodeObserver {
public:
    TrackObserver(TrackBuilder& builder, const ReceiverState& state);
    void OnSentence(std::string_view address, std::string_view data, AddressKind kind) override;
    void OnFix() override;
    uint64_t Fixes() const { return m_fixes; }

private:
    TrackBuilder& m_builder;
    const ReceiverState& m_state;
    DisplaySnapshot m_snapshot;
    uint64_t m_fixes = 0;
};

struct TrackExportResult {
    SentenceCounts counts;
    uint64_t bytes = 0;
    uint64_t fixes = 0;
    uint64_t written = 0;
    bool ok = true;
    bool cancelled = false;
    std::string error;
};

// Decodes `in` as the monitor does and writes the track to `out`.
// `progress` (may be empty) gets the bytes read so far; `cancel` stops it.
TrackExportResult ExportTrack(std::FILE* in, std::FILE* out, TrackFormat format, std::string_view name,
                              std::optional<TrackReference> user,
                              const std::function<void(uint64_t bytes)>& progress = {},
                              const std::atomic<bool>* cancel = nullptr);
