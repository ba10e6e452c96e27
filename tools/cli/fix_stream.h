#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "nmea/decode_driver.h"
#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"

// When to stop reading: after `fixes` fixes or `seconds` seconds, whichever
// comes first; 0 for no limit. A file also stops at its end, a live source
// when it closes.
// On a file the seconds are recording time: the first S seconds by its time
// index (FILE.times), or without one by the fixes' UTC; on a live source
// they are the wall clock's.
struct StreamLimits {
    uint64_t fixes = 0;
    double seconds = 0;
};

// What every command decodes with: a receiver state in its program-start
// state, a decode driver over it, and the display snapshot copied at every
// fix as the display's hand-off copies it.
class FixDecoder : public DecodeObserver {
public:
    using FixCallback = std::function<void(uint64_t fix)>;
    using SentenceCallback = std::function<void(std::string_view address, std::string_view data)>;

    ReceiverState state;
    DisplaySnapshot snapshot;
    DecodeDriver driver{state, this};
    // Every framed sentence, when set (the track export's epochs).
    SentenceCallback onSentence;

    const SentenceCounts& Counts() const { return driver.Counts(); }

    // Until Stop: `onFix` is called at each fix up to `maxFixes` (0: no
    // limit) and, with `utcSeconds` above 0, until a fix's UTC is that many
    // seconds past the first fix's; fixes past a limit are neither copied
    // nor reported.
    void Start(const FixCallback& onFix, uint64_t maxFixes, double utcSeconds = 0)
    {
        m_onFix = &onFix;
        m_maxFixes = maxFixes;
        m_utcSeconds = utcSeconds;
    }
    void Stop() { m_onFix = nullptr; }
    uint64_t Fixes() const { return m_fixes; }
    bool Done() const { return m_utcDone || (m_maxFixes > 0 && m_fixes >= m_maxFixes); }

private:
    void OnSentence(std::string_view address, std::string_view data, AddressKind) override
    {
        if (onSentence)
            onSentence(address, data);
    }
    void OnFix() override
    {
        if (m_onFix == nullptr || Done() || PastUtcLimit())
            return;
        CopyToSnapshot(state, snapshot);
        ++m_fixes;
        (*m_onFix)(m_fixes);
    }

    bool PastUtcLimit();

    const FixCallback* m_onFix = nullptr;
    uint64_t m_maxFixes = 0;
    double m_utcSeconds = 0;
    std::optional<double> m_firstUtc;
    bool m_utcDone = false;
    uint64_t m_fixes = 0;
};

struct FixStreamResult {
    uint64_t bytes = 0;
    uint64_t fixes = 0;
    bool ok = true;
    std::string error;  // why reading stopped, when !ok
};

// Feeds every byte of `file` to the decoder and, at every fix, copies it
// into the decoder's snapshot and calls `onFix`, as the display's hand-off does.
// `byteLimit` ends a file's recording-time limit by its time index (no more
// bytes are fed); UINT64_MAX (no index) limits the seconds by the fixes' UTC.
FixStreamResult DecodeFixStream(std::FILE* file, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                                const StreamLimits& limits = {}, uint64_t byteLimit = UINT64_MAX);

// The bytes of FILE's first `seconds` by its time index FILE.times;
// UINT64_MAX when there is none (or no limit).
uint64_t TimeIndexByteLimit(const std::string& path, double seconds);

// Opens FILE ("-" for standard input); nullptr with `error` set on failure.
std::FILE* OpenInput(const std::string& path, std::string& error);

// Reads "--fixes N" or "--duration S" at argv[i] (advancing i past the
// value). Returns false with `problem` set for a bad value; sets `matched`
// when argv[i] was one of them.
bool ParseStreamLimit(int argc, char** argv, int& i, StreamLimits& limits, bool& matched, std::string& problem);

// Whether INPUT is a live source rather than a file: a serial device, or a
// tcp://, udp:// or gpsd:// text. "-" and every existing file that is not a
// character device are files, as before.
bool IsLiveSource(const std::string& input);

// What both commands do with FILE: open it ("-" for standard input), decode
// it as above, close it, and report on standard error the summary line
// "bytes B sentences S checksum_errors C fixes F" and, when it could not be
// read whole, why. True when the whole input was read; false after a message
// naming FILE when it could not be opened or read.
// INPUT may also be a live source (IsLiveSource), read until a limit is
// reached, the source closes or the process is interrupted (SIGINT, SIGTERM).
// Exit statuses of a command that decodes.
inline constexpr int kExitNoNmea = 1;  // the file holds no NMEA sentence at all
inline constexpr int kExitFailed = 2;

// The summary line: "bytes B sentences S checksum_errors C fixes F", with
// " too_long T invalid I" when sentences were dropped as too long or
// refused as invalid (a GGA that names no place).
std::string SummaryLine(uint64_t bytes, const SentenceCounts& counts, uint64_t fixes);

// 0 when the whole input was read; kExitNoNmea after "no NMEA sentence in
// FILE" when a file held none (binary or empty); kExitFailed otherwise.
int DecodeFileReporting(const std::string& path, FixDecoder& decoder, const FixDecoder::FixCallback& onFix,
                        const StreamLimits& limits = {});
