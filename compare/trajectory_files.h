#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/comparison.h"
#include "compare/reference_track.h"
#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"

// The comparison's view of one fix as the link hands it over.
CompareFix CompareFixOf(const DisplaySnapshot& display, const GnssSnapshot& gnss, std::optional<double> readTime);

// Decodes an NMEA recording as the monitor does and hands over every fix
// (both snapshots) with the time it was read: from the recording's time
// index (FILE.times, the UTC of the read that completed the GGA) when it
// has one. Returns false with `error` set when the file cannot be read.
using RecordingFix = std::function<void(const DisplaySnapshot&, const GnssSnapshot&, std::optional<double> readTime)>;
bool DecodeRecording(const std::string& path, const RecordingFix& onFix, ReadClock& clock, std::string& error);

enum class TrajectoryFormat { Nmea, Csv, Gpx, RtklibPos };

// By the name's suffix (.gpx, .pos, .csv) and else by the first bytes.
TrajectoryFormat TrajectoryFormatOf(const std::string& path, std::string_view head);

struct TrajectoryFile {
    TrajectoryFormat format = TrajectoryFormat::Nmea;
    std::vector<TrackSample> samples;  // in file order
    ReadClock clock = ReadClock::None;
    int64_t skipped = 0;  // points or lines without a usable time and position
    std::string error;    // empty when the file was read
};

// A trajectory file: an NMEA recording, the CSV Export Track writes, GPX
// (track points with a time), or an RTKLIB solution (.pos: geodetic
// latitude, longitude and height, times in GPST or UTC as its header says).
TrajectoryFile ReadTrajectoryFile(const std::string& path);

// The readers of the text formats, for text already in memory.
TrajectoryFile ParseTrackCsv(std::string_view text);
TrajectoryFile ParseGpx(std::string_view text);
TrajectoryFile ParseRtklibPos(std::string_view text);
