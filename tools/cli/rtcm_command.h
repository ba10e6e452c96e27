#pragma once

#include <optional>
#include <string>

class RtcmTally;

// stelmap-cli rtcm FILE|-
int RunRtcmCommand(int argc, char** argv);

// The summary both `rtcm` and `ntrip` print, one line of JSON:
// {"bytes":N,"frames":N,"badFrames":N,"types":{"1005":N,...},
//  "station":{"id":N,"x":m,"y":m,"z":m,"latitude":deg,"longitude":deg,
//  "height":m}|null[,"reconnects":N]}
std::string RtcmSummaryJson(const RtcmTally& tally, std::optional<int> reconnects);
