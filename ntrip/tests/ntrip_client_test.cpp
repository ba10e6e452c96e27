#include <gtest/gtest.h>

#include "ntrip/tests/ntrip_test_support.h"
#include "tests/test_caster.h"

namespace {

NtripClientOptions Options(const TestCaster& caster, const std::string& text)
{
    NtripClientOptions options;
    options.address = ParseCasterText(text).address;
    options.address.host = "127.0.0.1";
    options.address.port = caster.Port();
    return options;
}

TEST(NtripClient, StreamsInBothVersionsAndSendsGgaAtConnectAndPeriodically)
{
    const QByteArray data = SampleCorrections(5);
    const struct {
        const char* name;
        TestCaster::Mode mode;
        NtripVersion version;
        QByteArray request;
    } cases[] = {
        {"NTRIP 2, chunked", TestCaster::Mode::Normal, NtripVersion::V2, "GET /MP HTTP/1.1\r\n"},
        {"NTRIP 1 only", TestCaster::Mode::Ntrip1Only, NtripVersion::V1, "GET /MP HTTP/1.0\r\n"},
    };
    for (const auto& c : cases) {
        TestCaster caster;
        caster.mode = c.mode;
        caster.credentials = "rover:s3cret";
        caster.mountpoints["MP"] = {data, data, 300, true};
        NtripClient client;
        ClientLog log;
        log.Watch(client);
        NtripClientOptions options = Options(caster, "ntrip://rover:s3cret@h/MP");
        options.sendGga = true;
        options.ggaIntervalSeconds = 1;
        client.SetGga(MakeGga(50.1, 8.6, 150, 3600));
        client.Start(options);
        ASSERT_TRUE(WaitFor([&] { return caster.ggas.size() >= 3 && log.body.size() >= data.size() * 2; }, 8000)) << c.name;
        EXPECT_EQ(client.State(), NtripState::Streaming) << c.name;
        EXPECT_EQ(client.Version(), c.version) << c.name;
        EXPECT_TRUE(caster.requests.last().startsWith(c.request)) << c.name;
        EXPECT_TRUE(log.body.startsWith(data)) << c.name;
        EXPECT_EQ(caster.ggas.first(), QByteArray::fromStdString(MakeGga(50.1, 8.6, 150, 3600)).trimmed()) << c.name;
        EXPECT_EQ(client.Tally().BadFrames(), 0u);
        EXPECT_NEAR(static_cast<double>(client.Tally().Types().at(1074).frames), static_cast<double>(client.Tally().Types().at(1084).frames), 1.0);
        ASSERT_TRUE(client.Tally().Station());
        EXPECT_EQ(client.Tally().Station()->stationId, 2003);
        ASSERT_TRUE(client.Tally().Descriptor());
        EXPECT_EQ(client.Tally().Descriptor()->receiver, "SEPT POLARX5");
        EXPECT_EQ(log.frames, static_cast<int>(client.Tally().Frames()));
        EXPECT_EQ(client.Reconnects(), 0);
        client.Stop();
    }
}

TEST(NtripClient, TypedErrorsNeverCarryThePassword)
{
    const struct {
        const char* name;
        const char* text;
        TestCaster::Mode mode;
        QByteArray raw;
        NtripError error;
        NtripState state;
        const char* words;
    } cases[] = {
        {"401", "ntrip://rover:wrong-pw@h/MP", TestCaster::Mode::Normal, {}, NtripError::Unauthorized, NtripState::Failed, "user name or password"},
        {"404", "ntrip://rover:s3cret@h/NOPE", TestCaster::Mode::Normal, {}, NtripError::NoSuchMountpoint, NtripState::Failed, "no mountpoint 'NOPE'"},
        {"closed", "ntrip://rover:s3cret@h/MP", TestCaster::Mode::CloseAfterData, {}, NtripError::StreamClosed, NtripState::Reconnecting, "closed the stream"},
        {"stalled", "ntrip://rover:s3cret@h/MP", TestCaster::Mode::Stall, {}, NtripError::NoData, NtripState::Reconnecting, "No corrections"},
        {"endless headers", "ntrip://rover:s3cret@h/MP", TestCaster::Mode::Raw, "HTTP/1.1 200 OK\r\nX: " + QByteArray(200000, 'a'),
         NtripError::Protocol, NtripState::Reconnecting, "past 16 KiB"},
        {"chunk of 2^63", "ntrip://rover:s3cret@h/MP", TestCaster::Mode::Raw,
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n8000000000000000\r\nabc", NtripError::Protocol, NtripState::Reconnecting, "larger than 16 MiB"},
        {"chunk length invalid", "ntrip://rover:s3cret@h/MP", TestCaster::Mode::Raw,
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1g\r\nabc", NtripError::Protocol, NtripState::Reconnecting, "not a hexadecimal"},
        {"no answer in time", "ntrip://rover:s3cret@h/MP", TestCaster::Mode::Raw, "HTTP/1.1 200", NtripError::Timeout, NtripState::Reconnecting, "did not answer"},
    };
    for (const auto& c : cases) {
        TestCaster caster;
        caster.mode = c.mode;
        caster.raw = c.raw;
        caster.credentials = "rover:s3cret";
        caster.mountpoints["MP"] = {SampleCorrections(1), {}, 0, false};
        NtripClient client;
        ClientLog log;
        log.Watch(client);
        NtripClientOptions options = Options(caster, c.text);
        options.noDataSeconds = 1;
        client.Start(options);
        ASSERT_TRUE(WaitFor([&] { return !log.errors.isEmpty(); }, 15000)) << c.name;
        EXPECT_EQ(log.errors.first(), c.error) << c.name << ": " << log.texts.join("; ").toStdString();
        EXPECT_TRUE(log.texts.last().contains(c.words)) << c.name << ": " << log.texts.last().toStdString();
        EXPECT_EQ(client.State(), c.state) << c.name;
        for (const QString& t : log.texts)
            EXPECT_FALSE(t.contains("s3cret") || t.contains("wrong-pw")) << t.toStdString();
        EXPECT_EQ(client.Errors().back().text, log.texts.last());
        client.Stop();
    }
}

TEST(NtripClient, WaitsForAFixThenReconnectsWithGrowingPauses)
{
    TestCaster caster;
    caster.mountpoints["MP"] = {SampleCorrections(1), {}, 0, true};
    NtripClient client;
    ClientLog log;
    log.Watch(client);
    NtripClientOptions options = Options(caster, "ntrip://h/MP");
    options.sendGga = true;
    client.Start(options);
    EXPECT_EQ(client.State(), NtripState::WaitingForFix);
    client.SetGga("$GPGGA,120000.00,,,,,0,00,,,M,,M,,*6B");
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(caster.connections, 0);
    const std::string gga = MakeGga(50.1, 8.6, 150, 43200);
    client.SetGga(gga);
    ASSERT_TRUE(WaitFor([&] { return !caster.ggas.isEmpty(); }, 5000));
    EXPECT_EQ(caster.ggas.first(), QByteArray::fromStdString(gga).trimmed());

    // The caster goes away: closed, then refused after 1 s and 2 s, and the
    // next try waits 4 s.
    caster.Shut();
    ASSERT_TRUE(WaitFor([&] { return log.errors.count(NtripError::Connect) >= 2; }, 10000));
    EXPECT_EQ(log.errors.first(), NtripError::StreamClosed);
    EXPECT_EQ(client.Reconnects(), 3);
    EXPECT_EQ(client.NextBackoffSeconds(), 8);
    EXPECT_EQ(client.State(), NtripState::Reconnecting);
    client.Stop();
}

TEST(NtripClient, SourceTableOfEitherVersion)
{
    for (TestCaster::Mode mode : {TestCaster::Mode::Normal, TestCaster::Mode::Ntrip1Only}) {
        TestCaster caster;
        caster.mode = mode;
        caster.mountpoints["ALPHA"] = {{}, {}, 0, true};
        caster.mountpoints["BETA"] = {{}, {}, 0, false};
        NtripClient client;
        ClientLog log;
        log.Watch(client);
        client.FetchSourceTable(Options(caster, "ntrip://h"));
        ASSERT_TRUE(WaitFor([&] { return log.table.has_value(); }, 5000)) << log.texts.join("; ").toStdString();
        ASSERT_EQ(log.table->streams.size(), 2u);
        EXPECT_EQ(log.table->streams[0].mountpoint, "ALPHA");
        EXPECT_TRUE(log.table->streams[0].nmea);
        EXPECT_EQ(log.table->casters.size(), 1u);
        EXPECT_TRUE(log.table->complete);
        EXPECT_EQ(client.State(), NtripState::Idle);
    }
}

TEST(NtripClient, TenMegabytesOfNoiseAreCountedNotKept)
{
    TestCaster caster;
    caster.mode = TestCaster::Mode::Raw;
    QByteArray noise(10 * 1024 * 1024, '\0');
    uint32_t x = 12345;
    for (char& c : noise) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    // A frame header whose length runs past the end of the data closes it.
    caster.raw = "ICY 200 OK\r\n" + noise + QByteArray("\xD3\x03\xFF\x01\x02", 5);
    NtripClient client;
    ClientLog log;
    log.Watch(client);
    client.Start(Options(caster, "ntrip://h/MP"));
    ASSERT_TRUE(WaitFor([&] { return client.BodyBytes() >= static_cast<uint64_t>(noise.size() + 5); }, 20000));
    EXPECT_EQ(client.State(), NtripState::Streaming);
    EXPECT_EQ(client.Tally().Frames(), 0u);
    EXPECT_GT(client.Tally().BadFrames(), 100u);
    EXPECT_EQ(log.frames, 0);
    client.Stop();
}

}  // namespace
