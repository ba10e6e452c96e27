#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The time index beside a recording (FILE.times): when each read's bytes
// arrived, so that a playback can keep the recording's pace. One line per
// read, in file order:
//
//     OFFSET MONOTONIC_US UTC
//     0 0 2026-12-09T10:15:02.103211Z
//     412 100127 2026-12-09T10:15:02.203338Z
//
// OFFSET is the byte of the recording where the read's bytes begin,
// MONOTONIC_US the microseconds since the recording started on a clock that
// never steps, UTC the wall-clock time of the read. Lines starting with '#'
// are comments; the first line of a file names the format.
struct TimeIndexEntry {
    uint64_t offset = 0;
    int64_t monotonicUs = 0;
    int64_t utcUs = 0;  // microseconds since 1970-01-01T00:00:00Z

    bool operator==(const TimeIndexEntry&) const = default;
};

inline constexpr const char* kTimeIndexHeader = "# stelmap time index 1: byte_offset monotonic_us utc\n";

// FILE + ".times".
std::string TimeIndexPath(const std::string& recording);

// One line, '\n' included.
std::string FormatTimeIndexLine(const TimeIndexEntry& entry);
// "2026-12-09T10:15:02.103211Z" for microseconds since the epoch.
std::string FormatUtcMicros(int64_t utcUs);
std::optional<int64_t> ParseUtcMicros(std::string_view text);

// nullopt for a comment, an empty line or a line that is not an entry.
std::optional<TimeIndexEntry> ParseTimeIndexLine(std::string_view line);

// The entries of an index file, in order. Lines that do not parse, and
// entries whose offset or time goes backwards, are skipped: a damaged line
// costs its read's pace, not the playback. Empty when there is no file.
std::vector<TimeIndexEntry> ReadTimeIndex(const std::string& path);
