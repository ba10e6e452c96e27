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
