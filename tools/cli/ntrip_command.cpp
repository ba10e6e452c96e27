#include "tools/cli/ntrip_command.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

#include "geo/position_limits.h"
#include "link/serial_port.h"
#include "link/source_text.h"
#include "ntrip/ntrip_client.h"
#include "rtcm/ntrip_request.h"
#include "tools/cli/json_writer.h"
#include "tools/cli/rtcm_command.h"
#include "tools/cli/stats_command.h"

namespace {

constexpr const char* kUsage =
    "usage: stelmap-cli ntrip CASTER_TEXT [--to SOURCE] [--output FILE]\n"
    "                         [--gga LAT,LON,ALT | --gga-from SOURCE] [--duration S]\n"
    "       stelmap-cli ntrip ntrip://HOST[:PORT] --sourcetable\n";

constexpr const char* kNtripHelp =
    "\n"
    "CASTER_TEXT is ntrip://[USER[:PASSWORD]@]HOST[:PORT]/MOUNTPOINT (port 2101\n"
    "unless given; an IPv6 address in brackets). The user name and password may\n"
    "instead come from STELMAP_NTRIP_CREDENTIALS=USER:PASSWORD, which keeps them\n"
    "out of the process list. The client asks in NTRIP 2 and falls back to NTRIP\n"
    "1; it reconnects after a loss, waiting 1, 2, 4 ... 60 s.\n"
    "\n"
    "--to SOURCE      write the corrections, whole RTCM 3 frames, into a receiver\n"
    "                 (a serial port or tcp://HOST:PORT, as for decode)\n"
    "--output FILE    write what the caster sends into FILE, as it came\n"
    "--gga LAT,LON,ALT  send the caster a GGA of this position at connect and\n"
    "                 every --gga-interval seconds (default 10)\n"
    "--gga-from SOURCE  send the GGA the receiver at SOURCE reports (it may be\n"
    "                 the --to SOURCE); waits for its first fix before connecting\n"
    "--duration S     stop after S seconds (otherwise at SIGINT or SIGTERM, or\n"
    "                 when the caster refuses for good)\n"
    "--tls            connect with TLS (always for ports 443 and 2102)\n"
    "--trust-certificate PEM  accept this certificate from the caster even when\n"
    "                 no authority signed it (a self-signed caster)\n"
    "--sourcetable    print the caster's source table, one JSON object per STR\n"
    "                 record\n"
    "\n"
    "At the end it prints one JSON object:\n"
    "  {\"bytes\": N, \"frames\": N, \"badFrames\": N, \"types\": {\"1005\": N, ...},\n"
    "   \"station\": {...} | null, \"reconnects\": N}\n"
    "and on standard error the errors met on the way. Credentials that would go\n"
    "out without TLS are warned of first.\n"
    "\n"
    "Exit status: 0 when corrections came or the table was printed, 1 when the\n"
    "caster gave none, 2 for wrong arguments.\n";

volatile std::sig_atomic_t g_stop = 0;

void OnStop(int) { g_stop = 1; }

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "stelmap-cli ntrip: %s\n%s  ('stelmap-cli ntrip --help' explains)\n", problem.c_str(), kUsage);
    return 2;
}

double SecondsOfDayUtc()
{
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec % 86400) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// GGA sentences out of a stream of NMEA, whole lines only.
class GgaLines {
public:
    std::optional<std::string> Feed(std::string_view bytes)
    {
        std::optional<std::string> latest;
        for (char c : bytes) {
            if (c == '$')
                m_line = "$";
            else if (c == '\n' || c == '\r') {
                if (m_line.size() > 6 && m_line.compare(3, 3, "GGA") == 0)
                    latest = m_line + "\r\n";
                m_line.clear();
            } else if (!m_line.empty() && m_line.size() < 120)
                m_line += c;
        }
        return latest;
    }

private:
    std::string m_line;
};

void PrintSourceTable(const SourceTable& table)
{
    for (const StreamRecord& r : table.streams) {
        const std::vector<std::string> fields = StreamFields(r);
        JsonWriter json;
        json.BeginObject();
        for (size_t i = 0; i < fields.size(); ++i) {
            const std::string_view key = kStreamFieldNames[i];
            json.Key(key);
            if ((key == "latitude" || key == "longitude") && (i == 8 ? r.latitude : r.longitude))
                json.Double(*(i == 8 ? r.latitude : r.longitude));
            else if (key == "nmea")
                json.Bool(r.nmea);
            else
                json.String(fields[i]);
        }
        json.EndObject();
        std::printf("%s\n", json.Text().c_str());
    }
}

}  // namespace

int RunNtripCommand(int argc, char** argv)
{
    std::string casterText, to, output, ggaFrom, trustPath;
    std::optional<std::string> fixedGga;
    double latitude = 0, longitude = 0, altitude = 0;
    double duration = 0;
    int ggaInterval = 10;
    bool sourceTable = false, tls = false;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= argc)
                return false;
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            std::printf("%s%s", kUsage, kNtripHelp);
            return 0;
        } else if (arg == "--to") {
            if (!value(to))
                return Usage("--to needs a source");
        } else if (arg == "--output") {
            if (!value(output))
                return Usage("--output needs a file");
        } else if (arg == "--gga") {
            if (!value(text) || !ParseUserPositionOption(text, latitude, longitude, altitude) ||
                CheckUserPosition(latitude, longitude, altitude))
                return Usage("--gga needs LAT,LON,ALT of a place on Earth");
            fixedGga = text;
        } else if (arg == "--gga-from") {
            if (!value(ggaFrom))
                return Usage("--gga-from needs a source");
        } else if (arg == "--gga-interval") {
            if (!value(text) || std::atoi(text.c_str()) < 1 || std::atoi(text.c_str()) > 3600)
                return Usage("--gga-interval needs 1 to 3600 seconds");
            ggaInterval = std::atoi(text.c_str());
        } else if (arg == "--duration") {
            char* end = nullptr;
            if (!value(text) || (duration = std::strtod(text.c_str(), &end), *end != '\0') || !(duration > 0) ||
                duration > 1e7)
                return Usage("--duration needs a number of seconds");
        } else if (arg == "--trust-certificate") {
            if (!value(trustPath))
                return Usage("--trust-certificate needs a PEM file");
        } else if (arg == "--tls") {
            tls = true;
        } else if (arg == "--sourcetable") {
            sourceTable = true;
        } else if (casterText.empty() && !arg.starts_with("--")) {
            casterText = arg;
        } else {
            return Usage("unexpected argument '" + std::string(arg) + "'");
        }
    }
    if (casterText.empty())
        return Usage("no caster");
    if (fixedGga && !ggaFrom.empty())
        return Usage("--gga and --gga-from exclude each other");
    CasterParse parsed = ParseCasterText(casterText);
    if (!parsed.Ok())
        return Usage(parsed.error);
    if (!ApplyCredentials(parsed.address, std::getenv("STELMAP_NTRIP_CREDENTIALS")))
        return Usage("STELMAP_NTRIP_CREDENTIALS must be USER:PASSWORD");
    if (!sourceTable && parsed.address.mountpoint.empty())
        return Usage("no mountpoint (--sourcetable lists them)");

    int qtArgc = 1;
    char name[] = "stelmap-cli";
    char* qtArgv[] = {name, nullptr};
    QCoreApplication app(qtArgc, qtArgv);

    NtripClientOptions options;
    options.address = parsed.address;
    options.tls = tls;
    options.ggaIntervalSeconds = ggaInterval;
    options.sendGga = fixedGga.has_value() || !ggaFrom.empty();
    if (!trustPath.empty()) {
        QFile pem(QString::fromStdString(trustPath));
        if (!pem.open(QIODevice::ReadOnly))
            return Usage("cannot read " + trustPath + ": " + pem.errorString().toStdString());
        options.trustedCertificate = pem.readAll();
    }

    NtripClient client;
    // Said before the password leaves, so the user can still interrupt.
    if (options.address.hasCredentials && !(options.tls || options.address.TlsByPort()))
        std::fprintf(stderr, "stelmap-cli ntrip: warning: the password for %s goes out unencrypted (no TLS)\n",
                     CasterTextWithoutPassword(options.address).c_str());

    struct sigaction stop {};
    stop.sa_handler = OnStop;
    ::sigaction(SIGINT, &stop, nullptr);
    ::sigaction(SIGTERM, &stop, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    QTimer stopPoll;
    QObject::connect(&stopPoll, &QTimer::timeout, &app, [] {
        if (g_stop)
            QCoreApplication::exit(0);
    });
    stopPoll.start(100);
    if (duration > 0)
        QTimer::singleShot(static_cast<int>(duration * 1000), &app, [] { QCoreApplication::exit(0); });

    if (sourceTable) {
        int status = 1;
        QObject::connect(&client, &NtripClient::sourceTableReady, &app, [&](const SourceTable& table) {
            PrintSourceTable(table);
            status = 0;
            QCoreApplication::exit(0);
        });
        QObject::connect(&client, &NtripClient::failed, &app, [](NtripError, const QString& text) {
            std::fprintf(stderr, "stelmap-cli ntrip: %s\n", text.toLocal8Bit().constData());
            QCoreApplication::exit(0);
        });
        client.FetchSourceTable(options);
        app.exec();
        return status;
    }

    // The receiver: corrections go in; its GGA may come out of it too.
    std::unique_ptr<SerialPort> receiver;
    std::unique_ptr<SerialPort> ggaSource;
    const auto open = [](const std::string& text, std::unique_ptr<SerialPort>& sio) {
        sio = std::make_unique<SerialPort>();
        if (!sio->OpenSource(text, 115200)) {
            std::fprintf(stderr, "stelmap-cli ntrip: cannot open %s: %s\n", text.c_str(), sio->LastOpenErrorText().c_str());
            return false;
        }
        return true;
    };
    if (!to.empty()) {
        if (!open(to, receiver))
            return 2;
        const std::string refusal = receiver->WriteRefusal();
        if (!refusal.empty()) {
            std::fprintf(stderr, "stelmap-cli ntrip: cannot write corrections to %s: %s\n", to.c_str(), refusal.c_str());
            return 2;
        }
    }
    SerialPort* ggaReader = nullptr;
    if (!ggaFrom.empty()) {
        if (receiver && SameSource(ggaFrom, to)) {
            ggaReader = receiver.get();
        } else {
            if (!open(ggaFrom, ggaSource))
                return 2;
            ggaReader = ggaSource.get();
        }
    }
    std::FILE* out = nullptr;
    if (!output.empty()) {
        out = output == "-" ? stdout : std::fopen(output.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "stelmap-cli ntrip: cannot write %s: %s\n", output.c_str(), std::strerror(errno));
            return 2;
        }
    }

    GgaLines ggaLines;
    QTimer ggaPoll;
    if (ggaReader != nullptr) {
        QObject::connect(&ggaPoll, &QTimer::timeout, &app, [&] {
            uint8_t buffer[4096];
            for (;;) {
                const SioReadResult r = ggaReader->Read(buffer, sizeof buffer, sizeof buffer);
                if (r.count <= 0)
                    break;
                if (auto gga = ggaLines.Feed(std::string_view(reinterpret_cast<char*>(buffer), static_cast<size_t>(r.count))))
                    client.SetGga(*gga);
            }
        });
        ggaPoll.start(50);
    } else if (fixedGga) {
        client.SetGga(MakeGga(latitude, longitude, altitude, SecondsOfDayUtc()));
        QObject::connect(&ggaPoll, &QTimer::timeout, &app,
                         [&] { client.SetGga(MakeGga(latitude, longitude, altitude, SecondsOfDayUtc())); });
        ggaPoll.start(1000);
    }

    uint64_t refused = 0;
    QObject::connect(&client, &NtripClient::bodyReceived, &app, [&](const QByteArray& bytes) {
        if (out != nullptr && std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), out) != static_cast<size_t>(bytes.size())) {
            std::fprintf(stderr, "stelmap-cli ntrip: cannot write %s: %s\n", output.c_str(), std::strerror(errno));
            QCoreApplication::exit(0);
        }
    });
    QObject::connect(&client, &NtripClient::framesReceived, &app, [&](const QList<QByteArray>& frames) {
        if (!receiver)
            return;
        for (const QByteArray& frame : frames)
            if (receiver->Write(frame.constData(), static_cast<size_t>(frame.size())) != frame.size())
                ++refused;
    });
    QObject::connect(&client, &NtripClient::failed, &app, [&](NtripError, const QString& text) {
        std::fprintf(stderr, "stelmap-cli ntrip: %s\n", text.toLocal8Bit().constData());
        if (client.State() == NtripState::Failed)
            QCoreApplication::exit(0);
    });
    QObject::connect(&client, &NtripClient::notice, &app,
                     [](const QString& text) { std::fprintf(stderr, "stelmap-cli ntrip: %s\n", text.toLocal8Bit().constData()); });
    client.Start(options);
    app.exec();
    client.Stop();
    if (out != nullptr && out != stdout)
        std::fclose(out);
    if (refused > 0)
        std::fprintf(stderr, "stelmap-cli ntrip: %llu frames could not be written to %s\n",
                     static_cast<unsigned long long>(refused), to.c_str());
    std::printf("%s\n", RtcmSummaryJson(client.Tally(), client.Reconnects()).c_str());
    return client.Tally().Frames() > 0 ? 0 : 1;
}
