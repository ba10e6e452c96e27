// Feeds arbitrary bytes to the framer, the dispatcher and the GNSS model and
// checks that the bulk path and the byte-at-a-time path agree on every fix,
// the model's satellites and signals included. The sanitizers
// catch any read or write outside the parser's buffers and tables.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "nmea/display_snapshot.h"
#include "nmea/gnss_snapshot.h"
#include "tools/cli/decode_command.h"
#include "tools/cli/fix_stream.h"

namespace {

struct Run {
    std::vector<std::string> fixes;
    SentenceCounts counts;
};

Run Decode(const uint8_t* data, size_t size, int dualMode, int solutionMode, size_t split)
{
    Run run;
    ReceiverState parser;
    parser.m_dualMode = dualMode;
    parser.m_solutionMode = solutionMode;
    DisplaySnapshot snapshot;
    GnssSnapshot gnss;
    uint64_t fix = 0;
    parser.SetPositionHandOff([&] {
        CopyToSnapshot(parser, snapshot);
        parser.m_gnssModel.CopyTo(gnss);
        run.fixes.push_back(FixToJson(++fix, parser, snapshot, &gnss));
    });
    if (split == 0) {
        for (size_t i = 0; i < size; ++i)
            parser.ProcessByte(data[i]);
    } else {
        for (size_t pos = 0; pos < size; pos += split)
            parser.ProcessBytes(data + pos, std::min(split, size - pos));
    }
    run.counts = parser.Counts();
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the configuration and the read size.
    const uint8_t control = data[0];
    ++data;
    --size;
    const int dualMode = control & 1;
    const int solutionMode = (control >> 1) & 1;
    const size_t split = 1 + (control >> 2);

    const Run bytewise = Decode(data, size, dualMode, solutionMode, 0);
    const Run bulk = Decode(data, size, dualMode, solutionMode, split);
    if (bytewise.fixes != bulk.fixes || bytewise.counts != bulk.counts)
        std::abort();

    // The decoders on their own, with any text, as a test might call them.
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReceiverState parser;
    parser.DecodeGGA(text.c_str());
    parser.DecodeGSA(text.c_str());
    parser.DecodeVTG(text.c_str());
    parser.DecodeGPSGSV(text.c_str());
    parser.DecodeGLONASSGSV(text.c_str());
    parser.MergeSatellites();
    parser.DecodeConfigReply(text.c_str());
    parser.DecodeRAIM(text.c_str());
    const size_t comma = text.find(',');
    parser.m_gnssModel.OnSentence(std::string_view(text).substr(0, comma),
                                  comma == std::string::npos ? std::string_view() : std::string_view(text).substr(comma + 1));
    char field[SentenceFramer::kFieldSize];
    for (int i = 0; i < 20; ++i)
        SentenceFramer::GetField(text.c_str(), i, field);
    return 0;
}
