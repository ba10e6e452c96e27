#include "tools/cli/rtcm_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "geo/earth_centred.h"
#include "rtcm/rtcm_tally.h"
#include "tools/cli/fix_stream.h"
#include "tools/cli/json_writer.h"

namespace {

constexpr const char* kRtcmHelp =
    "usage: stelmap-cli rtcm FILE|-\n"
    "\n"
    "Reads an RTCM 3 stream (FILE, or - for standard input), checks every\n"
    "frame (preamble 0xD3, 10-bit length, CRC-24Q) and prints one JSON object:\n"
    "  {\"bytes\": N, \"frames\": N, \"badFrames\": N, \"types\": {\"1005\": N, ...},\n"
    "   \"station\": {\"id\": N, \"x\": m, \"y\": m, \"z\": m, \"latitude\": deg,\n"
    "                \"longitude\": deg, \"height\": m} | null}\n"
    "The station is the last 1005 or 1006: its earth-centred position and the\n"
    "same as latitude, longitude and height on WGS-84. Bytes outside good\n"
    "frames are skipped; a frame whose CRC fails counts as a bad frame.\n"
    "\n"
    "Exit status: 0 when the whole input was read, 2 when it could not be or\n"
    "the arguments are wrong.\n";

}  // namespace

std::string RtcmSummaryJson(const RtcmTally& tally, std::optional<int> reconnects)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("bytes").Int(static_cast<long long>(tally.Bytes()));
    json.Key("frames").Int(static_cast<long long>(tally.Frames()));
    json.Key("badFrames").Int(static_cast<long long>(tally.BadFrames()));
    json.Key("types").BeginObject();
    for (const auto& [type, count] : tally.Types())
        json.Key(std::to_string(type)).Int(static_cast<long long>(count.frames));
    json.EndObject();
    json.Key("station");
    if (const auto& s = tally.Station()) {
        const Geodetic g = GeodeticFromEarthCentred({s->x, s->y, s->z});
        json.BeginObject();
        json.Key("id").Int(s->stationId);
        json.Key("x").Double(s->x);
        json.Key("y").Double(s->y);
        json.Key("z").Double(s->z);
        json.Key("latitude").Double(g.latitude);
        json.Key("longitude").Double(g.longitude);
        json.Key("height").Double(g.height);
        json.EndObject();
    } else {
        json.Null();
    }
    if (reconnects)
        json.Key("reconnects").Int(*reconnects);
    json.EndObject();
    return json.Text();
}

int RunRtcmCommand(int argc, char** argv)
{
    std::string input;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kRtcmHelp, stdout);
            return 0;
        }
        if (!input.empty() || (arg.size() > 1 && arg[0] == '-')) {
            std::fprintf(stderr, "stelmap-cli rtcm: unexpected argument '%s'\nusage: stelmap-cli rtcm FILE|-\n", argv[i]);
            return 2;
        }
        input = arg;
    }
    if (input.empty()) {
        std::fputs("stelmap-cli rtcm: no input\nusage: stelmap-cli rtcm FILE|-\n", stderr);
        return 2;
    }
    std::string error;
    std::FILE* file = OpenInput(input, error);
    if (file == nullptr) {
        std::fprintf(stderr, "stelmap-cli rtcm: %s\n", error.c_str());
        return 2;
    }
    RtcmTally tally;
    std::vector<char> buffer(64 * 1024);
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0)
        tally.Feed(std::string_view(buffer.data(), n), 0.0);
    const bool failed = std::ferror(file) != 0;
    const int readErrno = errno;
    if (file != stdin)
        std::fclose(file);
    std::printf("%s\n", RtcmSummaryJson(tally, std::nullopt).c_str());
    if (failed) {
        std::fprintf(stderr, "stelmap-cli rtcm: cannot read %s: %s\n", input.c_str(), std::strerror(readErrno));
        return 2;
    }
    return 0;
}
