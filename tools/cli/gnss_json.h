#pragma once

#include "nmea/gnss_snapshot.h"
#include "tools/cli/json_writer.h"

// The value of `decode --gnss`'s "gnss" key: date, time, every satellite and
// signal, GST, GBS and the RMC status, as of the GGA that ends the fix.
void WriteGnssJson(JsonWriter& json, const GnssSnapshot& gnss);

// The "satellites" array alone: [[system, number, signal, elevation,
// azimuth, cnr, used], ...].
void WriteGnssSatellites(JsonWriter& json, const std::vector<GnssSignalView>& views);
