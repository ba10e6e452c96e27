// Feeds arbitrary text to the trajectory readers (the exported CSV, GPX,
// RTKLIB .pos) and checks what must hold whatever the text: every point
// read is a place on Earth with a time of day within the day.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "compare/trajectory_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const TrajectoryFile& file : {ParseTrackCsv(text), ParseGpx(text), ParseRtklibPos(text)}) {
        for (const TrackSample& s : file.samples) {
            if (!(s.position.latitude >= -90.0 && s.position.latitude <= 90.0 && s.position.longitude >= -180.0
                  && s.position.longitude <= 180.0))
                std::abort();
            if (!(s.time.secondsOfDay >= 0.0 && s.time.secondsOfDay <= 86401.0))
                std::abort();
        }
    }
    return 0;
}
