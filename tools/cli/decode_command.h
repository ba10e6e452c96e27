#pragma once

#include <string>

#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"
#include "nmea/receiver_state.h"

// One line of `stelmap-cli decode`: the fix as the snapshot and the parser
// hold it right after the hand-off; with `gnss`, the GNSS model's snapshot
// under the key "gnss" as well.
std::string FixToJson(unsigned long long fix, const ReceiverState& parser,
                      const DisplaySnapshot& snapshot, const GnssSnapshot* gnss = nullptr);

int RunDecodeCommand(int argc, char** argv);
