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

struct FixStreamResult {
    uint64_t bytes = 0;
    uint64_t fixes = 0;
    bool ok = true;
    std::string error;  // why reading stopped, when !ok
};

// Feeds every byte of `file` to `parser` and, at every GGA hand-off, copies
// the fix into `snapshot` and calls `onFix`, as the display's hand-off does.
FixStreamResult DecodeFixStream(std::FILE* file, CountingParser& parser, DisplaySnapshot& snapshot,
                                const std::function<void(uint64_t fix)>& onFix);

// Opens FILE ("-" for standard input); nullptr with `error` set on failure.
std::FILE* OpenInput(const std::string& path, std::string& error);

// What both commands do with FILE: open it ("-" for standard input), decode
// it as above, close it, and report on standard error the summary line
// "bytes B sentences S checksum_errors C fixes F" and, when it could not be
// read whole, why. True when the whole input was read; false after a message
// naming FILE when it could not be opened or read.
bool DecodeFileReporting(const std::string& path, CountingParser& parser, DisplaySnapshot& snapshot,
                         const std::function<void(uint64_t fix)>& onFix);
