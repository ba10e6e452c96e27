#include "tools/cli/decode_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/cli/fix_stream.h"
#include "tools/cli/gnss_json.h"
#include "tools/cli/json_writer.h"

namespace {

constexpr const char* kDecodeHelp =
    "usage: stelmap-cli decode SOURCE [--gnss] [--fixes N] [--duration S]\n"
    "\n"
    "Decodes an NMEA 0183 recording (a file, or - for standard input) exactly as\n"
    "the monitor does: one parser in its start state (dual mode off, Integrity)\n"
    "and a zeroed display snapshot. At every GGA fix it prints one JSON object\n"
    "on one line to standard output, with the snapshot's position, DOPs, counts,\n"
    "integrity and satellites and the parser's GGA, GSA and VTG state. At the\n"
    "end it prints to standard error:\n"
    "  bytes B sentences S checksum_errors C fixes F\n"
    "\n"
    "--gnss adds the key \"gnss\" to every line: date and time (RMC/ZDA), every\n"
    "satellite and signal of every system as [system, number, signal, elevation,\n"
    "azimuth, cnr, used], and the latest GST, GBS and RMC status.\n"
    "SOURCE may also be live: a serial device (PATH[@BAUD], 9600 baud unless\n"
    "given), tcp://HOST:PORT, udp://[ADDRESS]:PORT or gpsd://HOST[:PORT]. A live\n"
    "source is read until it closes, or until --fixes N fixes have been printed\n"
    "or --duration S seconds have passed (both work on files too). On a file\n"
    "--duration S means recording time: the fixes of its first S seconds, by\n"
    "its time index FILE.times when there is one, else by the fixes' UTC; on a\n"
    "live source it is the wall clock's.\n"
    "\n"
    "The summary adds \"too_long T invalid I\" when sentences were dropped as\n"
    "longer than NMEA allows or refused as invalid (a GGA whose latitude or\n"
    "longitude names no place, which is no fix).\n"
    "\n"
    "Exit status: 0 when the whole input was read, 1 when a file held no NMEA\n"
    "sentence at all, 2 when it could not be read.\n";

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "stelmap-cli decode: %s\n", problem.c_str());
    std::fputs("usage: stelmap-cli decode SOURCE [--gnss] [--fixes N] [--duration S]  ('stelmap-cli decode --help' explains)\n",
               stderr);
    return 2;
}

void Dop(JsonWriter& json, const char* key, double pdop, double hdop, double vdop)
{
    json.BeginArray(key).Double(pdop).Double(hdop).Double(vdop).EndArray();
}

}  // namespace

std::string FixToJson(unsigned long long fix, const ReceiverState& parser,
                      const DisplaySnapshot& snapshot, const GnssSnapshot* gnss)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("fix").Int(static_cast<long long>(fix));
    json.Key("utc");
    if (parser.m_utcValid)
        json.BeginArray().Int(parser.m_utcHour).Int(parser.m_utcMinute).Int(parser.m_utcSecond).EndArray();
    else
        json.Null();
    json.Key("latitude").Double(snapshot.latitude);
    json.Key("longitude").Double(snapshot.longitude);
    json.Key("altitude").Double(snapshot.altitude);
    json.Key("satsInUse").Int(snapshot.satsInUse);
    json.Key("satsInView").Int(snapshot.satsInView);
    json.Key("fixQualityText").String(snapshot.fixQualityText.data());
    Dop(json, "gpsDop", snapshot.gpsPdop, snapshot.gpsHdop, snapshot.gpsVdop);
    Dop(json, "glonassDop", snapshot.glonassPdop, snapshot.glonassHdop, snapshot.glonassVdop);
    json.Key("glonassSeen").Int(snapshot.glonassSeen);
    json.Key("sbasSeen").Int(snapshot.sbasSeen);
    json.Key("hplCm").Int(snapshot.hplCm);
    json.Key("hfomCm").Int(snapshot.hfomCm);
    json.BeginArray("satellites");
    for (int i = 0; i < snapshot.UsableSatellites(); ++i) {
        const SnapshotSatellite& s = snapshot.satellites[static_cast<size_t>(i)];
        json.BeginArray().Int(s.constellation).Int(s.prn).Int(s.azimuth).Int(s.elevation).Int(s.snr).Int(s.used).EndArray();
    }
    json.EndArray();
    json.Key("fixQuality").Int(parser.m_fixQuality);
    json.Key("ggaHdop").Double(parser.m_ggaHdop);
    json.Key("dualMode").Int(parser.m_dualMode.load());
    json.Key("solutionMode").Int(parser.m_solutionMode.load());
    json.Key("gsaMode").Int(parser.m_gsaMode);
    json.Key("vtgMode").Int(parser.m_vtgMode);
    json.Key("gsaFixType").Int(parser.m_gsaFixType);
    json.Key("ggaCount").Int(parser.m_ggaCount);
    json.Key("gsaCount").Int(parser.m_gsaCount);
    json.Key("courseTrue").Double(parser.m_courseTrue);
    json.Key("courseMagnetic").Double(parser.m_courseMagnetic);
    json.Key("speedKnots").Double(parser.m_speedKnots);
    json.Key("speedKmh").Double(parser.m_speedKmh);
    if (gnss != nullptr) {
        json.Key("gnss");
        WriteGnssJson(json, *gnss);
    }
    json.EndObject();
    return json.Text();
}

int RunDecodeCommand(int argc, char** argv)
{
    if (argc == 0) {
        std::fputs(kDecodeHelp, stderr);
        return 2;
    }
    const char* source = nullptr;
    bool withGnss = false;
    StreamLimits limits;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kDecodeHelp, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--gnss") == 0) {
            withGnss = true;
            continue;
        }
        bool matched = false;
        std::string problem;
        if (!ParseStreamLimit(argc, argv, i, limits, matched, problem))
            return Usage(problem);
        if (matched)
            continue;
        if (argv[i][0] == '-' && argv[i][1] != '\0')
            return Usage(std::string("unknown option '") + argv[i] + "'");
        if (source != nullptr)
            return Usage("only one SOURCE can be read");
        source = argv[i];
    }
    if (source == nullptr)
        return Usage("SOURCE is missing");
    FixDecoder decoder;
    decoder.state.SetGnssModelFed(withGnss);
    GnssSnapshot gnss;
    std::string line;
    const bool live = IsLiveSource(source);
    const int status = DecodeFileReporting(source, decoder, [&](uint64_t fix) {
        if (withGnss)
            decoder.state.m_gnssModel.CopyTo(gnss);
        line = FixToJson(fix, decoder.state, decoder.snapshot, withGnss ? &gnss : nullptr);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
        // A reader watching a live source's output sees each fix as it comes;
        // a file is written in large blocks.
        if (live)
            std::fflush(stdout);
    }, limits);
    if (status != 0)
        return status;
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "stelmap-cli: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return 0;
}
