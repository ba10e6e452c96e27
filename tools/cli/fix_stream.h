#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"

// A parser in its program-start state that counts what the framer delivers.
class CountingParser : public CNMEAParserWin32 {
public:
    uint64_t sentences = 0;
    uint64_t checksumErrors = 0;

protected:
    int OnSentence(const char* address, const char* data) override
    {
        ++sentences;
        return CNMEAParserWin32::OnSentence(address, data);
    }
    void OnChecksumError(const char* address, const char* data) override
    {
        ++checksumErrors;
        CNMEAParserWin32::OnChecksumError(address, data);
    }
};

// When to stop reading: after `fixes` fixes or `seconds` seconds, whichever
// comes first; 0 for no limit. A file also stops at its end, a live source
// when it closes.
struct StreamLimits {
    uint64_t fixes = 0;
    double seconds = 0;
};

struct FixStreamResult {
    uint64_t bytes = 0;
    uint64_t fixes = 0;
    bool ok = true;
    std::string error;  // why reading stopped, when !ok
};

// Feeds every byte of `file` to `parser` and, at every GGA hand-off, copies
// the fix into `snapshot` and calls `onFix`, as the display's hand-off does.
FixStreamResult DecodeFixStream(std::FILE* file, CountingParser& parser, DisplaySnapshot& snapshot,
                                const std::function<void(uint64_t fix)>& onFix, const StreamLimits& limits = {});

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
bool DecodeFileReporting(const std::string& path, CountingParser& parser, DisplaySnapshot& snapshot,
                         const std::function<void(uint64_t fix)>& onFix, const StreamLimits& limits = {});
