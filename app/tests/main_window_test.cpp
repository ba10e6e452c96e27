#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "analysis/position_plot_wnd.h"
#include "app/page_tabs.h"
#include "app/app_settings.h"
#include "app/main_window.h"
#include "app/tests/gui_test_support.h"
#include "kit/command_actions.h"
#include "link/link_threads.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "link/link_objects.h"
#include "link/serial_port.h"
#include "link/tests/pseudo_terminal.h"
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
    size_t QueueSize()
    {
        std::lock_guard lock(g_dataLock);
        return g_rxQueue.size();
    }
    QString ReceiveLog() const { return m_frame->View()->NmeaMonitor()->EditRx()->toPlainText(); }
    QString TransmitLog() const { return m_frame->View()->NmeaMonitor()->EditTx()->toPlainText(); }

    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
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
    Queue("\r\r\r");
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
    Queue(std::string(1025, 'a'));
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
    Queue("$GPGGA,1\r\n");
    m_frame->DrainReceivedText();
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
