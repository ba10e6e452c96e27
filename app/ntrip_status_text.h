#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geo/earth_centred.h"
#include "rtcm/rtcm_tally.h"

// What the NTRIP status shows, as texts: the pane in the status bar and
// the rows of Tools > NTRIP Status. Plain, so the figures are tested
// without a window.
struct NtripStatusFigures {
    std::string mountpoint;    // the caster text without the password
    std::string state;         // "streaming", "reconnecting", "playback" ...
    double bytesPerSecond = 0.0;
    std::optional<double> age;  // seconds since the last good frame
    std::optional<double> ggaAge;  // the receiver's own age of differential
    double uptimeSeconds = 0.0;
    int reconnects = 0;
    std::vector<std::string> errors;  // latest last
    std::optional<Geodetic> receiver;  // the shown receiver's fix
};

// "NTRIP RTK1 streaming 512 B/s age 0.4 s"; "NTRIP off" without a caster.
std::string NtripPaneText(const NtripStatusFigures& figures);

// Rows of (label, value): state, rates per type, base and baseline, ...
std::vector<std::pair<std::string, std::string>> NtripStatusRows(const NtripStatusFigures& figures, const RtcmTally& tally,
                                                                 double now);

// The base's position from its 1005/1006, when one came.
std::optional<Geodetic> BasePosition(const RtcmTally& tally);
