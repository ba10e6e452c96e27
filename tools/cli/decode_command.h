#pragma once

#include <string>

#include "nmea/display_snapshot.h"
#include "nmea/receiver_state.h"

// One line of `stelmap-cli decode`: the fix as the snapshot and the parser
// hold it right after the hand-off.
std::string FixToJson(unsigned long long fix, const CNMEAParserWin32& parser,
                      const DisplaySnapshot& snapshot);

int RunDecodeCommand(int argc, char** argv);
