// The client against real peers: RTKLIB's str2str as a caster, socat as a
// TLS front with a self-signed certificate, and the loop closed through
// stelmap-cli and the simulator on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdlib>

#include "ntrip/tests/ntrip_test_support.h"
#include "tests/peer_process.h"
#include "tests/sim_process.h"
#include "tests/test_caster.h"

namespace {

QString CliPath()
{
    const char* path = std::getenv("STELMAP_CLI");
    return QString::fromLocal8Bit(path != nullptr ? path : STELMAP_BINARY_DIR "/tools/cli/stelmap-cli");
}

NtripClientOptions LocalOptions(const std::string& text, int port)
{
    NtripClientOptions options;
    options.address = ParseCasterText(text).address;
    options.address.host = "127.0.0.1";
    options.address.port = port;
    return options;
}

TEST(NtripPeers, Str2strServesExactlyTheFilesBytes)
{
    QTemporaryDir dir;
    QByteArray file = SampleCorrections(30) + QByteArray::fromStdString(Corrupted(MsmFrame(1074, 2003, 9))) +
                      QByteArray::fromStdString(MsmFrame(1074, 2003, 9));
    QFile rtcm(dir.filePath("base.rtcm"));
    ASSERT_TRUE(rtcm.open(QIODevice::WriteOnly));
    rtcm.write(file);
    rtcm.close();

    // str2str serves what arrives on its input port; the test writes the
    // file there once the client streams.
    const int input = FreePort();
    const int port = FreePort();
    PeerProcess caster({"str2str", "-in", "tcpsvr://:" + std::to_string(input), "-out",
                        "ntripc://rover:s3cret@:" + std::to_string(port) + "/BASE:STR"});
    ASSERT_TRUE(caster.Started()) << "str2str (package rtklib) is needed";
    ASSERT_TRUE(WaitFor([&] { return Listening(port) && Listening(input); }, 5000));

    NtripClient client;
    ClientLog log;
    log.Watch(client);
    client.Start(LocalOptions("ntrip://rover:s3cret@h/BASE", port));
    ASSERT_TRUE(WaitFor([&] { return client.State() == NtripState::Streaming; }, 5000)) << log.texts.join("; ").toStdString();
    QTcpSocket feeder;
    feeder.connectToHost("127.0.0.1", static_cast<quint16>(input));
    ASSERT_TRUE(feeder.waitForConnected(3000));
    WaitFor([] { return false; }, 300);
    QFile in(rtcm.fileName());
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    feeder.write(in.readAll());
    feeder.flush();
    ASSERT_TRUE(WaitFor([&] { return log.body.size() >= file.size(); }, 10000)) << log.body.size() << " of " << file.size();
    EXPECT_EQ(log.body, file);
    EXPECT_EQ(client.Tally().Frames(), 2u + 60u + 1u);
    EXPECT_EQ(client.Tally().BadFrames(), 1u);
    EXPECT_EQ(client.Version(), NtripVersion::V2);  // asked in version 2, answered "ICY 200 OK"

    // Wrong credentials are refused by str2str too.
    NtripClient wrong;
    ClientLog wrongLog;
    wrongLog.Watch(wrong);
    wrong.Start(LocalOptions("ntrip://rover:nope@h/BASE", port));
    ASSERT_TRUE(WaitFor([&] { return !wrongLog.errors.isEmpty(); }, 5000));
    EXPECT_EQ(wrongLog.errors.first(), NtripError::Unauthorized);
}

TEST(NtripPeers, TlsThroughSocatOnlyWithTheTrustedCertificate)
{
    QTemporaryDir dir;
    const auto makeCertificate = [&](const QString& name) {
        const int status = QProcess::execute("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                                        "/CN=caster.test", "-keyout", dir.filePath(name + ".key"), "-out",
                                                        dir.filePath(name + ".pem")});
        QFile pem(dir.filePath(name + ".pem"));
        pem.open(QIODevice::ReadOnly);
        return status == 0 ? pem.readAll() : QByteArray();
    };
    const QByteArray served = makeCertificate("served");
    const QByteArray other = makeCertificate("other");
    ASSERT_FALSE(served.isEmpty()) << "the openssl command is needed";

    TestCaster caster;
    caster.mountpoints["MP"] = {SampleCorrections(3), {}, 0, false};
    const int port = FreePort();
    PeerProcess socat({"socat", "OPENSSL-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr,fork,verify=0,cert=" +
                                    dir.filePath("served.pem").toStdString() + ",key=" + dir.filePath("served.key").toStdString(),
                       "TCP:127.0.0.1:" + std::to_string(caster.Port())});
    ASSERT_TRUE(WaitFor([&] { return Listening(port); }, 5000));

    const struct {
        const char* name;
        QByteArray trusted;
        bool streams;
    } cases[] = {{"no certificate trusted", {}, false}, {"another certificate", other, false}, {"the served one", served, true}};
    for (const auto& c : cases) {
        NtripClient client;
        ClientLog log;
        log.Watch(client);
        NtripClientOptions options = LocalOptions("ntrip://h/MP", port);
        options.tls = true;
        options.trustedCertificate = c.trusted;
        client.Start(options);
        ASSERT_TRUE(WaitFor([&] { return !log.errors.isEmpty() || log.frames > 0; }, 8000)) << c.name;
        EXPECT_EQ(log.frames > 0, c.streams) << c.name << ": " << log.texts.join("; ").toStdString();
        if (!c.streams) {
            EXPECT_EQ(log.errors.first(), NtripError::TlsFailure) << c.name;
            EXPECT_EQ(client.State(), NtripState::Failed) << c.name;
        }
        client.Stop();
    }
}

TEST(NtripPeers, TheLoopClosedFloatThenFixedAndBackWhenTheCasterStops)
{
    QTemporaryDir dir;
    const std::string truth = dir.filePath("truth.txt").toStdString();
    SimProcess sim({"--truth", truth});
    const std::string pty = sim.ReadLine(std::chrono::seconds(5));
    ASSERT_FALSE(pty.empty());

    // A base that sends MSM4 every second and its position every five.
    TestCaster caster;
    caster.mountpoints["RTK"] = {SampleCorrections(1, 1234), QByteArray::fromStdString(MsmFrame(1074, 1234, 9)), 1000, true};
    QProcess cli;
    cli.setProgram(CliPath());
    cli.setArguments({"ntrip", QString("ntrip://127.0.0.1:%1/RTK").arg(caster.Port()), "--to", QString::fromStdString(pty),
                      "--gga-from", QString::fromStdString(pty), "--gga-interval", "2", "--duration", "60"});
    QElapsedTimer clock;
    clock.start();
    cli.start();
    ASSERT_TRUE(cli.waitForStarted());

    const auto latestQuality = [&] {
        const std::vector<TruthLine> lines = ReadTruth(truth);
        return lines.empty() ? -1 : static_cast<int>(TruthNumber(lines.back(), "quality"));
    };
    qint64 floatAt = -1, fixedAt = -1;
    ASSERT_TRUE(WaitFor([&] {
        const int q = latestQuality();
        if (q == 5 && floatAt < 0)
            floatAt = clock.elapsed();
        if (q == 4 && fixedAt < 0)
            fixedAt = clock.elapsed();
        return fixedAt >= 0;
    }, 15000)) << "no fixed solution within 15 s; float at " << floatAt << " ms";
    ASSERT_GE(floatAt, 0);
    EXPECT_LT(floatAt, fixedAt);
    // The caster got the receiver's own GGA, through --gga-from.
    ASSERT_FALSE(caster.ggas.isEmpty());
    EXPECT_TRUE(caster.ggas.first().startsWith("$GPGGA,"));
    EXPECT_NE(caster.ggas.first().split(',').value(6), "0");
    std::printf("[ figures  ] float after %lld ms, fixed after %lld ms\n", static_cast<long long>(floatAt),
                static_cast<long long>(fixedAt));

    caster.Shut();
    const qint64 stoppedAt = clock.elapsed();
    ASSERT_TRUE(WaitFor([&] { return latestQuality() == 1; }, 10000));
    const qint64 fellBack = clock.elapsed() - stoppedAt;
    EXPECT_GE(fellBack, 3000);  // the hold of 5 s, less the second between frames
    std::printf("[ figures  ] back to quality 1 after %lld ms without corrections\n", static_cast<long long>(fellBack));

    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(5000));
    const QByteArray summary = cli.readAllStandardOutput();
    std::printf("[ figures  ] %s", summary.constData());
    EXPECT_TRUE(summary.contains("\"station\":{\"id\":1234")) << summary.constData();
    EXPECT_TRUE(summary.contains("\"reconnects\":")) << summary.constData();
    EXPECT_FALSE(summary.contains("\"reconnects\":0")) << summary.constData();
}

}  // namespace

namespace {

struct CliRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// stelmap-cli with `args`, the event loop running (the caster lives here).
CliRun RunCli(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
              const QByteArray& input = {})
{
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(CliPath(), args);
    if (!cli.waitForStarted())
        return {};
    if (!input.isNull()) {
        cli.write(input);
        cli.closeWriteChannel();
    }
    WaitFor([&] { return cli.state() == QProcess::NotRunning; }, 20000);
    return {cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1, cli.readAllStandardOutput(), cli.readAllStandardError()};
}

TEST(NtripCli, SourceTableStreamAndRefusalFromTheCommandLine)
{
    QTemporaryDir dir;
    TestCaster caster;
    caster.credentials = "rover:s3cret";
    caster.mountpoints["ALPHA"] = {SampleCorrections(4, 55), {}, 0, true};
    caster.mountpoints["BETA"] = {};
    const QString host = QString("127.0.0.1:%1").arg(caster.Port());

    const CliRun table = RunCli({"ntrip", "ntrip://" + host, "--sourcetable"});
    EXPECT_EQ(table.status, 0);
    const QList<QByteArray> lines = table.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("{\"mountpoint\":\"ALPHA\",\"identifier\":\"Test ALPHA\",\"format\":\"RTCM 3.3\"")) << lines[0].constData();
    EXPECT_TRUE(lines[0].contains("\"latitude\":50.1,\"longitude\":8.6,\"nmea\":true")) << lines[0].constData();

    // Credentials from the environment; the stream into a file.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("STELMAP_NTRIP_CREDENTIALS", "rover:s3cret");
    const QString out = dir.filePath("out.rtcm");
    const CliRun stream = RunCli({"ntrip", "ntrip://" + host + "/ALPHA", "--output", out, "--gga", "50.1,8.6,150", "--duration", "2.5"}, env);
    EXPECT_EQ(stream.status, 0) << stream.err.constData();
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith(SampleCorrections(4, 55)));
    EXPECT_TRUE(stream.out.startsWith("{\"bytes\":")) << stream.out.constData();
    EXPECT_TRUE(stream.out.contains("\"types\":{\"1006\":")) << stream.out.constData();
    EXPECT_TRUE(stream.out.contains("\"station\":{\"id\":55,")) << stream.out.constData();
    EXPECT_TRUE(stream.err.contains("warning: the password for ntrip://rover@" + host.toUtf8() + "/ALPHA goes out unencrypted"));
    EXPECT_FALSE(caster.ggas.isEmpty()) << caster.requests.size() << " " << caster.connections << " " << stream.err.constData();

    const CliRun refused = RunCli({"ntrip", "ntrip://rover:wrong-pw@" + host + "/ALPHA", "--duration", "5"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("refused the user name or password (401)")) << refused.err.constData();
    EXPECT_FALSE(refused.err.contains("wrong-pw") || refused.out.contains("wrong-pw"));
    EXPECT_TRUE(refused.out.contains("\"frames\":0")) << refused.out.constData();

    EXPECT_EQ(RunCli({"ntrip", "tcp://" + host + "/ALPHA"}).status, 2);
    EXPECT_EQ(RunCli({"ntrip", "ntrip://" + host}).status, 2);  // no mountpoint without --sourcetable
}

TEST(NtripCli, RtcmSummaryOfAFile)
{
    const QByteArray bytes = SampleCorrections(2, 9) + QByteArray::fromStdString(Corrupted(MsmFrame(1074, 9, 3))) + "noise";
    const CliRun run = RunCli({"rtcm", "-"}, QProcessEnvironment::systemEnvironment(), bytes);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.toStdString(), "{\"bytes\":" + std::to_string(bytes.size()) +
                           ",\"frames\":6,\"badFrames\":1,\"types\":{\"1006\":1,\"1033\":1,\"1074\":2,\"1084\":2},"
                           "\"station\":{\"id\":9,\"x\":4075580.1234,\"y\":931853.5678,\"z\":4801568.9012,"
                           "\"latitude\":49.14420615632852,\"longitude\":12.87890800827626,\"height\":666.2993091751747}}\n");
}

}  // namespace
