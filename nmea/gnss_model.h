#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "nmea/gnss_sentences.h"
#include "nmea/gnss_snapshot.h"
#include "nmea/gnss_system.h"

// The GNSS model: every constellation and signal a receiver reports, beside
// the GPS/GLONASS receiver state and fed by the same dispatcher call.
//
// GSV arrives in cycles, messages 1 to total, one cycle per (talker, signal
// ID). A message 1 opens a cycle, discarding an unfinished one of its pair;
// a later message continues its own pair's open cycle when it is that
// cycle's next. Without an open cycle of its own pair it continues, with
// the same total and as the next, an open cycle of its own talker with
// another signal ID (some receivers number one sequence across signals: GP
// 1-3 with signal 1, 4 of 4 with signal 8), or else one of another talker
// with the same signal ID (or across talkers: GP 1-2, GL 3, GA 4 of 4).
// Anything else is dropped. When a cycle completes, what each (talker,
// signal) contributed replaces what is shown for that pair. A group whose
// number is empty, 0 or not a number is no satellite. A satellite is
// (system, number, signal); when two streams report the same one, the more
// recently completed cycle wins.
//
// Talker QZ is QZSS, numbers as sent; Quectel's PQGSV names its system by
// the ID after the signal ID (4 BeiDou, 5 QZSS).
//
// Satellites age on receiver time: each completed cycle is stamped with the
// UTC time of the latest GGA, RMC or ZDA before it; at each GGA with a time,
// a stream stamped more than 10 s earlier (across midnight too) is emptied,
// and a stream completed before any time was seen is emptied after 50 GGAs
// without a new cycle. Playback, seek and analysis thus age alike.
//
// GSA replaces used lists per system; RMC, ZDA, GNS, GST and GBS of any
// talker are kept as the latest of each.
//
// Hostile input cannot grow it without bound: the number of streams and of
// open cycles is capped (far above the handful of talkers and signals a
// receiver has: the least recently touched goes first), as are the
// satellites one cycle may carry.
class GnssModel {
public:
    static constexpr size_t kMaxStreams = 128;
    static constexpr size_t kMaxOpenCycles = 128;
    static constexpr size_t kMaxCycleSatellites = 1024;

    using Talker = std::array<char, 2>;

    // Feeds one framed sentence: `address` such as "GAGSV", `data` what
    // follows its comma. Sentences of other types are ignored. The receiver
    // state, which decodes each sentence once for both, calls the appliers
    // below instead.
    void OnSentence(std::string_view address, std::string_view data);

    void OnGsv(Talker talker, const GsvMessage& m);
    void OnGsa(Talker talker, const GsaFields& gsa);
    void OnRmc(const RmcFields& rmc);
    // The time field of a GGA the receiver state took: the epoch of the fix handed over.
    void OnGgaTime(std::string_view time) { m_fixTime = FormatNmeaTime(time); }
    void OnZda(const ZdaFields& zda);
    void OnGns(const GnsFields& gns) { m_gns = gns; }
    void OnGst(const GstFields& gst) { m_gst = gst; }
    void OnGbs(Talker talker, const GbsFields& gbs);
    // A GGA the receiver state took, with its UTC time of day (seconds)
    // when it had a valid one.
    void OnGga(std::optional<double> timeOfDay);

    static constexpr double kStaleSeconds = 10.0;
    static constexpr int kStaleGgas = 50;

    void Reset();

    // The model as the pages see it; reuses `out`'s storage.
    void CopyTo(GnssSnapshot& out) const;

    size_t StreamCount() const { return m_streams.size(); }
    size_t CycleSlotCount() const { return m_cycles.size(); }

private:
    struct Contribution {
        Talker talker{};
        int signal = 0;
        GsvSatellite satellite;
    };
    struct Pair {
        Talker talker{};
        int signal = 0;
    };
    struct OpenCycle {
        bool open = false;
        Talker talker{};
        int signal = 0;
        int total = 0;
        int next = 0;  // the message number that continues it
        uint64_t touched = 0;
        std::vector<Pair> pairs;  // (talker, signal) in the order they joined
        std::vector<Contribution> satellites;
    };
    struct StreamSatellite {
        GnssSatelliteId id;
        GsvSatellite satellite;
        uint64_t key = 0;  // system, number and signal in sort order
    };
    struct Stream {
        Talker talker{};
        int signal = 0;
        uint64_t completed = 0;  // completion order: later wins
        std::optional<double> stamp;  // receiver time of the last completion
        int ggasSince = 0;            // GGAs since the last completion
        std::vector<StreamSatellite> satellites;
    };

    void Complete(const OpenCycle& cycle);
    void Merge() const;
    void MarkUsed() const;
    OpenCycle* FindCycle(Talker talker, int signal);
    OpenCycle& OpenNewCycle(Talker talker, int signal);
    Stream& StreamFor(Talker talker, int signal);

    std::vector<OpenCycle> m_cycles;
    std::vector<Stream> m_streams;
    uint64_t m_clock = 0;  // orders cycle touches and completions
    // Used numbers by system; a GSA lists twelve at most, and replaces.
    struct UsedList {
        int count = 0;
        std::array<int, 12> numbers{};
    };
    std::array<UsedList, kGnssSystemCount> m_used{};

    std::optional<double> m_lastTime;  // of the latest GGA, RMC or ZDA
    std::optional<GnssDate> m_date;
    std::string m_time;
    std::string m_fixTime;
    std::optional<int> m_zoneHours;
    std::optional<int> m_zoneMinutes;
    char m_rmcStatus = 0;
    char m_rmcMode = 0;
    std::optional<GnsFields> m_gns;
    std::optional<GstFields> m_gst;
    std::optional<GnssIntegrity> m_gbs;

    GsvMessage m_message;  // OnSentence's scratch, too large for the stack

    struct MergeEntry {
        uint64_t key = 0;    // system, number and signal in sort order
        uint64_t order = 0;  // the latest completed first, then stream and index
    };
    mutable std::vector<MergeEntry> m_mergeScratch;  // kept to spare an allocation per fix
    // The streams merged, used flags aside: rebuilt only after a cycle
    // completes, since fast receivers send GSV less often than GGA.
    mutable std::vector<GnssSignalView> m_merged;
    mutable bool m_mergedDirty = false;
    // Where each merged entry came from (stream << 16 | index). While the
    // streams keep their satellites (the values may change) and no
    // satellite was in two streams, which stream wins does not matter and
    // a merge only re-reads the values through these.
    mutable std::vector<uint32_t> m_mergedFrom;
    mutable bool m_mergedSorted = false;   // m_mergedFrom describes the streams as they are
    mutable bool m_mergedUsedDirty = true; // the used flags in m_merged need working out
    std::vector<uint64_t> m_keyScratch;
};
