#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "analysis/position_plot_wnd.h"
#include "app/page_tabs.h"
#include "app/app_settings.h"
#include "app/main_window.h"
#include "app/replay_controller.h"
#include "app/tests/gui_test_support.h"
#include "kit/command_actions.h"
#include "link/link_threads.h"
#include "link/monitor_backlog.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "link/link_objects.h"
#include "link/serial_port.h"
#include "link/session_recorder.h"
#include "link/tests/pseudo_terminal.h"
#include "link/tests/tcp_peer.h"
#include "nmea/tests/sentence.h"

namespace {

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            std::lock_guard lock(g_dataLock);
            g_rxQueue.clear();
        }
        m_frame = std::make_unique<CMainFrame>(NoReceiver());
        ASSERT_FALSE(g_sio.IsOpen());
    }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
    }

    void Queue(const std::string& bytes)
    {
        std::lock_guard lock(g_dataLock);
        g_rxQueue.insert(g_rxQueue.end(), bytes.begin(), bytes.end());
    }
    // Bytes as a receiver sends them: through a pseudo-terminal the window
    // is connected to, read by the link's reader.
    template <typename Done>
    void Receive(const std::string& bytes, Done done)
    {
        if (!m_pty) {
            m_pty.emplace();
            ASSERT_TRUE(m_frame->ConnectTo(m_pty->SlavePath(), 9600));
            m_pty->ReadAvailable(std::chrono::milliseconds(100));  // the configuration query
        }
        ASSERT_TRUE(m_pty->Write(bytes));
        ASSERT_TRUE(WaitFor(done));
    }
    size_t QueueSize()
    {
        std::lock_guard lock(g_dataLock);
        return g_rxQueue.size();
    }
    QString ReceiveLog() const { return m_frame->View()->NmeaMonitor()->EditRx()->toPlainText(); }
    QString TransmitLog() const { return m_frame->View()->NmeaMonitor()->EditTx()->toPlainText(); }

    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
    std::optional<PseudoTerminal> m_pty;
};

TEST_F(MainFrameTest, PanesAtStartWithoutReceiver)
{
    m_frame->UpdateCommandUI();
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneQuality)->text(), "GPS Quality: ");
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneRecord)->text(), "Record Data OFF          ");
    EXPECT_FALSE(m_frame->PaneLabel(CMainFrame::kPaneRecord)->isEnabled());
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneDualMode)->text(), "Dual Mode: Off");
    EXPECT_FALSE(m_frame->PaneLabel(CMainFrame::kPaneDualMode)->isEnabled());
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneSolutionMode)->text(), "Solution Mode: Integrity");
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap");
    EXPECT_TRUE(TransmitLog().isEmpty()) << "no query goes out without a port";
    EXPECT_TRUE(m_frame->Action(kCmdConnect)->isEnabled());
    EXPECT_FALSE(m_frame->Action(kCmdStop)->isEnabled());
}

TEST_F(MainFrameTest, TabsInTheirOrder)
{
    const QTabWidget* tabs = m_frame->View()->Tabs();
    const QStringList expected = {"Front Panel Status", "Scatter Plot", "Position Plot", "NMEA Monitor",
                                  "Receiver Configuration", "Signals", "Accuracy", "Compare"};
    ASSERT_EQ(tabs->count(), expected.size());
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_EQ(tabs->tabText(i), expected[i]);
        EXPECT_FALSE(tabs->tabIcon(i).isNull());
    }
    EXPECT_EQ(tabs->widget(2), m_frame->View()->PositionPlot());
    EXPECT_EQ(tabs->widget(3), m_frame->View()->NmeaMonitor());
}

TEST_F(MainFrameTest, QueueDrainedAtMostOneChunkPerTick)
{
    Queue(std::string(40000, 'x'));
    m_frame->DrainReceivedText();
    EXPECT_EQ(QueueSize(), 40000u - 32768u);
    m_frame->DrainReceivedText();
    EXPECT_EQ(QueueSize(), 0u);
    EXPECT_EQ(ReceiveLog().size(), 40000);
}

TEST_F(MainFrameTest, CarriageReturnsAreRecordedButNotShown)
{
    const QString path = m_dir.filePath("cr.txt");
    ASSERT_TRUE(m_frame->StartRecording(path));
    Receive("\r\r\r", [&] { return m_frame->RecordedBytes() == 3; });
    m_frame->DrainReceivedText();
    EXPECT_TRUE(ReceiveLog().isEmpty());
    EXPECT_EQ(m_frame->RecordedBytes(), 3u);
    m_frame->Stop();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\r\r\r"));
}

TEST_F(MainFrameTest, RecordPaneFollowsTheRecording)
{
    ASSERT_TRUE(m_frame->StartRecording(m_dir.filePath("r.txt")));
    Receive(std::string(1025, 'a'), [&] { return m_frame->RecordedBytes() == 1025; });
    m_frame->DrainReceivedText();
    m_frame->UpdateCommandUI();
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneRecord)->text(), "Rec Data: 1.0 K");
    EXPECT_TRUE(m_frame->PaneLabel(CMainFrame::kPaneRecord)->isEnabled());
    EXPECT_TRUE(m_frame->Action(kCmdRecord)->isChecked());
    EXPECT_FALSE(m_frame->Action(kCmdRecord)->isEnabled());
    EXPECT_TRUE(m_frame->Action(kCmdStop)->isEnabled());
    m_frame->Stop();
    m_frame->UpdateCommandUI();
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneRecord)->text(), "Record Data OFF          ");
}

TEST_F(MainFrameTest, RecordFileThatCannotBeCreated)
{
    Answers answer(QMessageBox::Ok);
    EXPECT_FALSE(m_frame->StartRecording("/nonexistent/folder/x.txt"));
    EXPECT_EQ(answer.texts, QStringList{"Could not create file for recording data to."});
    EXPECT_FALSE(m_frame->IsRecording());
}

TEST_F(MainFrameTest, FailedRecordWriteStopsWithMessageAndKeepsCount)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    Answers answer(QMessageBox::Ok);
    ASSERT_TRUE(m_frame->StartRecording("/dev/full"));
    Receive("$GPGGA,1\r\n", [&] {
        m_frame->DrainReceivedText();
        return !m_frame->IsRecording() && ReceiveLog().size() > 0;
    });
    EXPECT_FALSE(m_frame->IsRecording());
    ASSERT_EQ(answer.texts.size(), 1);
    EXPECT_TRUE(answer.texts[0].startsWith("Recording stopped")) << answer.texts[0].toStdString();
    EXPECT_EQ(ReceiveLog(), "$GPGGA,1\n") << "the monitor still shows what came in";
}

TEST_F(MainFrameTest, PlaybackRecordRoundTripAndTitle)
{
    // A recording with bytes the reader drops: they are neither shown nor recorded.
    std::string input;
    for (int i = 0; i < 20; ++i)
        input += Sentence("GPGGA,1200" + std::to_string(10 + i) + ",4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,");
    input.insert(input.size() / 2, std::string("\x00\xff\x01", 3));
    const QString source = m_dir.filePath("track1.txt");
    {
        QFile f(source);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(input.data(), static_cast<qint64>(input.size()));
    }
    const QString copy = m_dir.filePath("copy.txt");
    ASSERT_TRUE(m_frame->StartRecording(copy));
    ASSERT_TRUE(m_frame->StartPlayback(source));
    g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);  // not at the recording's 1 Hz
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap - [Playback: track1.txt]");
    m_frame->UpdateCommandUI();
    EXPECT_FALSE(m_frame->Action(kCmdConnect)->isEnabled());
    EXPECT_FALSE(m_frame->Action(kCmdPlayBack)->isEnabled());

    std::string printable;
    for (unsigned char c : input)
        if ((c >= 0x20 && c <= 0x7e) || c == '\r' || c == '\n')
            printable += static_cast<char>(c);
    ASSERT_TRUE(WaitFor([&] { return m_frame->RecordedBytes() == printable.size(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return m_frame->View()->PositionPlot()->Statistics().SampleCount() == 20; }));

    m_frame->Stop();
    EXPECT_FALSE(g_sio.IsOpen());
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap");
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().toStdString(), printable);
}

TEST_F(MainFrameTest, MissingPlaybackFileKeepsThePlainTitle)
{
    Answers answer(QMessageBox::Ok);
    EXPECT_FALSE(m_frame->StartPlayback(m_dir.filePath("gone.txt")));
    EXPECT_EQ(answer.texts, QStringList{"File Error!"});
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap");
    EXPECT_FALSE(g_sio.IsPlayback());
}

TEST_F(MainFrameTest, LiveLinkQueryLampsAndLoss)
{
    PseudoTerminal pty;
    ASSERT_FALSE(pty.SlavePath().empty());
    QString failure;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600, &failure)) << failure.toStdString();
    EXPECT_EQ(pty.ReadAvailable(std::chrono::milliseconds(300)), "$PXTNCFG*50\r\n");
    EXPECT_TRUE(WaitFor([&] { return m_frame->TxLampLit(); }));
    EXPECT_TRUE(WaitFor([&] { return !m_frame->TxLampLit(); }, 1000)) << "dark 200 ms after the last send";

    // Without a known fix quality every receive poll repeats the query.
    ASSERT_TRUE(pty.Write(Sentence("GPVTG,1,T,,M,0,N,0,K,A")));
    EXPECT_TRUE(WaitFor([&] { return m_frame->RxLampLit(); }));
    EXPECT_EQ(pty.ReadAvailable(std::chrono::milliseconds(300)), "$PXTNCFG*50\r\n");
    EXPECT_TRUE(WaitFor([&] { return !m_frame->RxLampLit(); }, 1000));

    // A fix: the quality is known and the query stops.
    ASSERT_TRUE(pty.Write(Sentence("GPGGA,120000,4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,")));
    ASSERT_TRUE(WaitFor([&] {
        m_frame->UpdateCommandUI();
        return m_frame->PaneLabel(CMainFrame::kPaneQuality)->text() == "GPS Quality: GPS Fix";
    }));
    // The poll that carried the fix may have asked once more before the fix
    // was copied; after it, no more.
    pty.ReadAvailable(std::chrono::milliseconds(200));
    ASSERT_TRUE(pty.Write(Sentence("GPVTG,1,T,,M,0,N,0,K,A")));
    EXPECT_TRUE(WaitFor([&] { return ReceiveLog().count("GPVTG") == 2; }));
    EXPECT_EQ(pty.ReadAvailable(std::chrono::milliseconds(250)), "");

    // The receiver goes away: the link closes and says so.
    pty.CloseMaster();
    EXPECT_TRUE(WaitFor([&] { return !g_sio.IsOpen(); }));
    EXPECT_TRUE(WaitFor([&] { return m_frame->statusBar()->currentMessage().contains("went away"); }));
}

TEST_F(MainFrameTest, ConnectFailureResetsTheReceiverState)
{
    {
        std::lock_guard lock(g_dataLock);
        std::strcpy(g_displaySnapshot.fixQualityText.data(), "GPS Fix");
    }
    QString failure;
    EXPECT_FALSE(m_frame->ConnectTo("/nonexistent/ttyUSB9", 9600, &failure));
    EXPECT_FALSE(failure.isEmpty());
    m_frame->UpdateCommandUI();
    EXPECT_EQ(m_frame->PaneLabel(CMainFrame::kPaneQuality)->text(), "GPS Quality: ");
}

TEST_F(MainFrameTest, StopDuringLiveRecordingKeepsThePort)
{
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600));
    ASSERT_TRUE(m_frame->StartRecording(m_dir.filePath("live.txt")));
    m_frame->Stop();
    EXPECT_FALSE(m_frame->IsRecording());
    EXPECT_TRUE(g_sio.IsOpen());
    EXPECT_FALSE(g_sio.IsPlayback());
}

// A recording holds one source: another source or a playback ends it first,
// with the file's name and size; the same source opened again keeps it.
TEST_F(MainFrameTest, ARecordingHoldsOneSourceOnly)
{
    const std::string live = Sentence("GPGGA,120000,4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,");
    const QString played = m_dir.filePath("played.txt");
    {
        QFile f(played);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(Sentence("GPGGA,130000,3800.0000,N,12200.0000,W,1,08,1.0,5.5,M,0.0,M,,")));
    }
    PseudoTerminal other;
    struct Case {
        const char* name;
        std::function<void(const std::string& device)> next;
        bool keeps;
    };
    const Case cases[] = {
        {"a playback", [&](const std::string&) { m_frame->StartPlayback(played); }, false},
        {"another port", [&](const std::string&) { m_frame->ConnectTo(other.SlavePath(), 9600); }, false},
        {"the same port at another rate", [&](const std::string& device) { m_frame->ConnectTo(device, 4800); }, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        PseudoTerminal pty;
        ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600)) << c.name;
        const QString path = m_dir.filePath(QStringLiteral("rec%1.txt").arg(++n));
        ASSERT_TRUE(m_frame->StartRecording(path)) << c.name;
        ASSERT_TRUE(pty.Write(live));
        ASSERT_TRUE(WaitFor([&] {
            m_frame->DrainReceivedText();
            return m_frame->RecordedBytes() == live.size();
        })) << c.name;
        m_frame->statusBar()->clearMessage();
        c.next(pty.SlavePath());
        EXPECT_EQ(m_frame->IsRecording(), c.keeps) << c.name;
        const QString said = m_frame->statusBar()->currentMessage();
        if (!c.keeps) {
            EXPECT_TRUE(said.contains(QFileInfo(path).fileName()) && said.contains(QString::number(live.size())))
                << c.name << ": " << said.toStdString();
            // Whatever the new source sends stays out of the file.
            WaitFor([&] { return false; }, 300);
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_EQ(f.readAll().toStdString(), live) << c.name;
        }
        m_frame->Stop();
        m_frame->CloseLink();
    }
}

// Send to a peer that stops reading: the window goes on, the reader goes
// on, and the sentences the peer never took are marked and told.
TEST_F(MainFrameTest, APeerThatStopsReadingMakesSendsFailNotTheWindow)
{
    TcpPeer peer;
    ASSERT_TRUE(m_frame->ConnectTo(peer.Text(), 0));
    ASSERT_TRUE(peer.Accept());
    const std::string vtg = Sentence("GPVTG,1,T,,M,0,N,0,K,A");
    int sentByPeer = 0;
    const auto started = std::chrono::steady_clock::now();
    while (!m_frame->statusBar()->currentMessage().startsWith("Not sent") &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(30)) {
        m_frame->SendSentence("$PXTNTST," + std::string(1000, 'y'), true);
        if (sentByPeer < 200 && peer.Send(vtg))
            ++sentByPeer;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().startsWith("Not sent"))
        << m_frame->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(TransmitLog().contains("[not sent: ")) << "what never left is marked in the log";
    // Everything the peer sent meanwhile was read and shown.
    EXPECT_TRUE(WaitFor([&] { return ReceiveLog().count("GPVTG") == sentByPeer; }))
        << ReceiveLog().count("GPVTG") << " of " << sentByPeer;
}

// Sources that only read are not asked for the configuration, so nothing is
// refused or logged; a GGA of any quality stops the asking.
TEST_F(MainFrameTest, TheConfigurationQueryOnlyGoesWhereItCanAndStopsAtAGga)
{
    {
        m_frame->statusBar()->clearMessage();
        ASSERT_TRUE(m_frame->ConnectTo("udp://127.0.0.1:" + std::to_string(FreeUdpPort()), 0));
        WaitFor([&] { return false; }, 300);
        EXPECT_TRUE(TransmitLog().isEmpty()) << TransmitLog().toStdString();
        EXPECT_FALSE(m_frame->statusBar()->currentMessage().contains("Not sent"));
    }
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600));
    const std::string quality9 = Sentence("GPGGA,120000,4704.2410,N,01526.3704,E,9,08,1.0,355.5,M,47.0,M,,");
    std::string asked;
    for (int i = 0; i < 30; ++i) {
        ASSERT_TRUE(pty.Write(quality9));
        WaitFor([&] { return false; }, 100);
        asked += pty.ReadAvailable(std::chrono::milliseconds(1));
    }
    asked += pty.ReadAvailable(std::chrono::milliseconds(200));
    size_t queries = 0;
    for (size_t at = asked.find("$PXTNCFG"); at != std::string::npos; at = asked.find("$PXTNCFG", at + 1))
        ++queries;
    EXPECT_GE(queries, 1u);
    EXPECT_LE(queries, 3u) << "asked on every read although a GGA came";
}

// 300 kB without a line end: the monitor shows one cut line, and what waits
// for it stays bounded while every byte is read.
TEST_F(MainFrameTest, AStreamWithoutLineEndsIsCutForTheMonitor)
{
    TcpPeer peer;
    ASSERT_TRUE(m_frame->ConnectTo(peer.Text(), 0));
    ASSERT_TRUE(peer.Accept());
    constexpr size_t kBytes = 300000;  // three seconds of reads
    ASSERT_TRUE(peer.Send(std::string(kBytes, 'x')));
    size_t mostQueued = 0;
    ASSERT_TRUE(WaitFor([&] {
        mostQueued = std::max(mostQueued, QueueSize());
        return ReadLinkHealth(GlobalLinkObjects()).bytes == kBytes && QueueSize() == 0;
    }, 20000));
    EXPECT_LE(mostQueued, MonitorBacklog::kQueueLimit + LinkThreads::kLiveReadSize);
    EXPECT_LT(ReceiveLog().size(), 4200);
    EXPECT_TRUE(ReceiveLog().contains("[line cut")) << ReceiveLog().right(200).toStdString();
}

// As fast as possible, a file far larger than the monitor's queue: the
// queue stays bounded, the monitor says what it left out, and the
// recording of the playback still gets every byte.
TEST_F(MainFrameTest, FastPlaybackKeepsTheMonitorQueueBounded)
{
    std::string lines;
    for (int i = 0; lines.size() < 12'000'000; ++i)
        lines += Sentence("GPGSV,3,1,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45") + Sentence("GPTXT,01,01,02,n=" + std::to_string(i));
    const QString file = m_dir.filePath("big.txt");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(lines.data(), static_cast<qint64>(lines.size()));
    }
    const QString copy = m_dir.filePath("copy.txt");
    ASSERT_TRUE(m_frame->StartRecording(copy));
    ASSERT_TRUE(m_frame->StartPlayback(file));
    g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
    size_t mostQueued = 0;
    ASSERT_TRUE(WaitFor([&] {
        mostQueued = std::max(mostQueued, QueueSize());
        return m_frame->Replay()->PlaybackFinished();
    }, 60000));
    EXPECT_LE(mostQueued, MonitorBacklog::kQueueLimit + LinkThreads::kLiveReadSize);
    EXPECT_EQ(m_frame->RecordedBytes(), lines.size());
    EXPECT_TRUE(WaitFor([&] { return ReceiveLog().contains("not shown ..."); }, 5000));
}

TEST(MainFrameShutdown, ClosingDuringLiveFixesDoesNotHang)
{
    PseudoTerminal pty;
    StartupOptions options;
    options.connect = ConnectOption{pty.SlavePath(), 9600};
    auto frame = std::make_unique<CMainFrame>(options);
    ASSERT_TRUE(g_sio.IsOpen());
    std::string burst;
    for (int i = 0; i < 50; ++i)
        burst += Sentence("GPGGA,120000,4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,");
    ASSERT_TRUE(pty.Write(burst));
    WaitFor([&] { return frame->View()->PositionPlot()->Statistics().SampleCount() > 0; });
    frame.reset();  // a fix may be waiting for this very thread
    g_sio.Close();
    SUCCEED();
}

}  // namespace

namespace {

TEST(MainFrameFirstStart, OpensCom1At9600WithoutAMessage)
{
    {
        auto settings = OpenAppSettings();
        settings->remove(QString());
    }
    Answers answer(QMessageBox::Ok);
    auto frame = std::make_unique<CMainFrame>();
    EXPECT_EQ(g_sio.DevicePath(), "/dev/ttyS0");
    EXPECT_EQ(g_sio.BaudRate(), 9600);
    QApplication::processEvents();
    EXPECT_TRUE(answer.texts.isEmpty());
    frame.reset();
    g_sio.Close();
}

}  // namespace

namespace {

// Failures that used to pass without a word.
TEST(MainFrameFailures, ALinkThatCannotStartIsToldInABox)
{
    StartupOptions options = NoReceiver();
    options.startLinkThreads = [](LinkThreads&) { return false; };
    Answers answer(QMessageBox::Ok);
    auto frame = std::make_unique<CMainFrame>(options);
    EXPECT_FALSE(frame->LinkRunning());
    ASSERT_EQ(answer.texts.size(), 1);
    EXPECT_EQ(answer.texts[0], QStringLiteral("The link to the receiver could not be started."));
    EXPECT_EQ(answer.icons[0], QMessageBox::Critical);
    frame.reset();
    g_sio.Close();
}

TEST_F(MainFrameTest, ASettingThatCannotBeSavedIsToldInTheStatusBar)
{
    // A folder where the settings file belongs: every write fails, even as root.
    const QString file = OpenAppSettings()->fileName();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    struct RemoveFolder {
        QString path;
        ~RemoveFolder() { QDir(path).removeRecursively(); }
    } cleanup{file};

    const struct {
        int command;
        const char* message;
    } cases[] = {
        {kCmdLookOffice2007Black, "The application look could not be saved in the settings."},
        {kCmdCenterOnAverage, "The centring mode could not be saved in the settings."},
    };
    for (const auto& c : cases) {
        m_frame->statusBar()->clearMessage();
        ASSERT_TRUE(m_frame->Commands().Trigger(c.command)) << c.command;
        EXPECT_EQ(m_frame->statusBar()->currentMessage(), QString::fromLatin1(c.message));
    }
    m_frame->Commands().Trigger(kCmdLookOffice2007Blue);
}

}  // namespace

namespace {

// Each live fix reaches a timed listener with the time of the read that
// carried it, also while an analysed file holds the pages; a whole frame
// is refused with the reason where the source only reads.
TEST_F(MainFrameTest, LiveFixesComeWithTheirReadTimeAndFramesWithARefusalReason)
{
    std::vector<std::pair<double, int64_t>> seen;
    m_frame->AddTimedFixListener([&](const DisplaySnapshot& fix, const GnssSnapshot&, int64_t readUs) {
        seen.emplace_back(fix.latitude, readUs);
    });
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600));
    const int64_t before = SteadyMicros();
    ASSERT_TRUE(pty.Write(Sentence("GPGGA,120000,4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,")));
    ASSERT_TRUE(WaitFor([&] { return seen.size() == 1; }));
    EXPECT_NEAR(seen[0].first, 47.07068, 1e-5);
    EXPECT_GE(seen[0].second, before);
    EXPECT_LE(seen[0].second, SteadyMicros());
    EXPECT_EQ(m_frame->EnqueueFrame(std::string("\xd3\x00\x00\x47\xea\x4b", 6)), "");

    ASSERT_TRUE(m_frame->ConnectTo("udp://127.0.0.1:" + std::to_string(FreeUdpPort()), 0));
    EXPECT_NE(m_frame->EnqueueFrame(std::string("\xd3\x00\x00\x47\xea\x4b", 6)).find("UDP"), std::string::npos);
}

}  // namespace
