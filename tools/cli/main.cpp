#include <cstdio>
#include <cstring>
#include <string_view>

#include "tools/cli/accuracy_command.h"
#include "tools/cli/compare_command.h"
#include "tools/cli/decode_command.h"
#include "tools/cli/export_command.h"
#include "tools/cli/ntrip_command.h"
#include "tools/cli/rtcm_command.h"
#include "tools/cli/stats_command.h"

namespace {

struct Command {
    const char* name;
    const char* summary;
    int (*run)(int argc, char** argv);
};

constexpr Command kCommands[] = {
    {"decode", "decode a recording and print every fix as JSON", RunDecodeCommand},
    {"stats", "position statistics of a recording, as JSON", RunStatsCommand},
    {"accuracy", "accuracy and integrity figures of a recording, as JSON", RunAccuracyCommand},
    {"export", "a recording's track as CSV, GPX or KML", RunExportCommand},
    {"compare", "receivers measured against a reference, as JSON", RunCompareCommand},
    {"ntrip", "corrections from an NTRIP caster into a receiver or a file", RunNtripCommand},
    {"rtcm", "frames, message types and base station of an RTCM 3 stream", RunRtcmCommand},
};

void PrintUsage(std::FILE* out)
{
    std::fputs("usage: stelmap-cli COMMAND [ARGS]\n\nCommands:\n", out);
    for (const Command& c : kCommands)
        std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
    std::fputs("\n'stelmap-cli COMMAND --help' explains a command.\n", out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const Command& c : kCommands)
        if (name == c.name)
            return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "stelmap-cli: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
