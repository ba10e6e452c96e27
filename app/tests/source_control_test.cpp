#include <gtest/gtest.h>
#include "kit/command_ids.h"
#include <QAction>

#include <QLabel>
#include <QStatusBar>
#include <cmath>
#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "analysis/position_plot_wnd.h"
#include "app/page_tabs.h"
#include "app/source_control.h"
#include "app/tests/gui_test_support.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "link/link_objects.h"
#include "link/link_threads.h"
#include "link/tests/pseudo_terminal.h"
#include "nmea/tests/sentence.h"
#include "tests/peer_process.h"
#include "tests/sim_process.h"

namespace {

class SourceWindowTest : public ::testing::Test {
protected:
    void SetUp() override { m_frame = std::make_unique<CMainFrame>(NoReceiver()); }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
    }
    QString SourcePane() const
    {
        m_frame->Sources()->Update();
        return m_frame->Sources()->SourcePane()->text();
    }

    std::unique_ptr<CMainFrame> m_frame;
};

TEST_F(SourceWindowTest, AFailedConnectKeepsTheWorkingLinkAndSaysWhy)
{
    EXPECT_EQ(SourcePane(), "No source");
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 115200));
    const QString working = QString::fromStdString(pty.SlavePath());

    const struct {
        const char* port;
        const char* reason;
    } cases[] = {
        {"/dev/stelmap-mistyped", "/dev/stelmap-mistyped: no such device"},
        {"tcp://127.0.0.1", "tcp://127.0.0.1: tcp://HOST:PORT needs a port"},
        {"tcp://stelmap-no-such-host.invalid:4001", "no such host"},
    };
    for (const auto& c : cases) {
        QString failure;
        EXPECT_FALSE(m_frame->ConnectTo(c.port, 9600, &failure));
        EXPECT_TRUE(failure.contains(QString::fromUtf8(c.reason))) << failure.toStdString();
        EXPECT_TRUE(failure.contains("Still connected to " + working)) << failure.toStdString();
        EXPECT_TRUE(g_sio.IsOpen());
        EXPECT_EQ(QString::fromStdString(g_sio.DevicePath()), working);
    }

    ASSERT_TRUE(pty.Write(Sentence("GPGSA,A,3,05,10,,,,,,,,,,,2.5,1.5,2.0")));
    EXPECT_TRUE(WaitFor([&] { return SourcePane() == working + QString::fromUtf8(" @ 115200 \u2014 receiving"); }))
        << SourcePane().toStdString();
    m_frame->CloseLink();
    EXPECT_EQ(SourcePane(), "No source");
}

// gpsd shares the simulator's receiver with the window; what the window
// shows is what the simulator sent, and Send is refused with a reason.
TEST_F(SourceWindowTest, AGpsdSourceShowsTheReceiversFixesAndRefusesSend)
{
    const std::string truth = (std::filesystem::temp_directory_path() / ("stelmap_win_gpsd_" + std::to_string(::getpid()))).string();
    SimProcess sim({"--rate", "5", "--truth", truth});
    const std::string pty = sim.ReadLine(std::chrono::seconds(2));
    ASSERT_FALSE(pty.empty());
    const int port = FreePort();
    PeerProcess gpsd({"gpsd", "-N", "-n", "-S", std::to_string(port), pty});
    ASSERT_TRUE(WaitFor([&] { return Listening(port); }, 5000));

    const std::string source = "gpsd://127.0.0.1:" + std::to_string(port);
    QString failure;
    ASSERT_TRUE(m_frame->ConnectTo(source, 9600, &failure)) << failure.toStdString();
    EXPECT_TRUE(WaitFor([&] { return SourcePane() == QString::fromStdString(source) + QString::fromUtf8(" \u2014 receiving"); }, 5000))
        << SourcePane().toStdString();
    DisplaySnapshot shown;
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard lock(g_dataLock);
        shown = g_displaySnapshot;
        return shown.latitude != 0.0;
    }, 5000));
    bool sent = false;
    for (const TruthLine& t : ReadTruth(truth))
        sent = sent || (std::fabs(TruthNumber(t, "lat") - shown.latitude) < 1e-9 && std::fabs(TruthNumber(t, "lon") - shown.longitude) < 1e-9);
    EXPECT_TRUE(sent) << "the window's fix is one the simulator sent";

    const QString before = m_frame->View()->NmeaMonitor()->EditTx()->toPlainText();
    m_frame->SendSentence("$PXTNCFG*50", false);
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().contains("gpsd source only reads")) << m_frame->statusBar()->currentMessage().toStdString();
    EXPECT_EQ(m_frame->View()->NmeaMonitor()->EditTx()->toPlainText(), before) << "nothing written, nothing logged";

    // A look at the status bar as the user sees it.
    m_frame->resize(1400, 760);
    m_frame->statusBar()->clearMessage();
    QApplication::processEvents();
    m_frame->Sources()->Update();
    m_frame->statusBar()->grab().save(QString::fromStdString(std::filesystem::temp_directory_path().string() + "/stelmap_status_gpsd.png"));
    std::filesystem::remove(truth);
}

}  // namespace

namespace {

// A pseudo-terminal has no baud rate: Find Baud Rate is not offered (and
// says why), and the health pane shows no line load.
TEST_F(SourceWindowTest, APseudoTerminalHasNoBaudRate)
{
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 4800));
    m_frame->Sources()->Update();
    for (int i = 0; i < 15; ++i) {
        ASSERT_TRUE(pty.Write(Sentence("GPGGA,120000,4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,")));
        WaitFor([] { return false; }, 100);
    }
    m_frame->Sources()->Update();
    const QString health = m_frame->Sources()->HealthPane()->text();
    EXPECT_TRUE(health.contains("B/s")) << health.toStdString();
    EXPECT_FALSE(health.contains('%')) << health.toStdString();
    QAction* find = m_frame->Action(kCmdFindBaudRate);
    EXPECT_FALSE(find->isEnabled());
    EXPECT_TRUE(find->statusTip().contains("pseudo-terminal")) << find->statusTip().toStdString();
    find->trigger();
    EXPECT_FALSE(m_frame->Sources()->FindingBaudRate());
}

// A pseudo-terminal carries bytes at any rate, so the search keeps the first
// rate it tries; the rate logic itself is the table in link's tests.
TEST_F(SourceWindowTest, FindBaudRateKeepsTheFirstRateThatGivesNmea)
{
    SimProcess sim({"--rate", "10"});
    const std::string pty = sim.ReadLine(std::chrono::seconds(2));
    ASSERT_TRUE(m_frame->ConnectTo(pty, 9600));
    m_frame->Sources()->FindBaudRate();
    EXPECT_TRUE(m_frame->Sources()->FindingBaudRate());
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Sources()->FindingBaudRate(); }, 8000));
    EXPECT_EQ(m_frame->statusBar()->currentMessage(),
              QString::fromStdString("Found the baud rate: 4800 gives NMEA on " + pty + "."));
    EXPECT_EQ(g_sio.BaudRate(), 4800);
    EXPECT_TRUE(g_sio.IsOpen());
}

}  // namespace

namespace {

// The TCP server restarts: the window says so, logs the reconnect in the
// receive log, and the position statistics go on from where they were.
TEST_F(SourceWindowTest, AReconnectKeepsWhatThePagesGathered)
{
    SimProcess sim({"--rate", "10"});
    const std::string pty = sim.ReadLine(std::chrono::seconds(2));
    ASSERT_FALSE(pty.empty());
    const int port = FreePort();
    // Both ways, as ser2net serves a receiver: the window asks it for its configuration.
    const std::vector<std::string> serve{"socat", "TCP-LISTEN:" + std::to_string(port) + ",bind=127.0.0.1,reuseaddr",
                                         "OPEN:" + pty + ",rawer"};
    auto server = std::make_unique<PeerProcess>(serve);
    const std::string source = "tcp://127.0.0.1:" + std::to_string(port);
    // WaitFor asks once more at its end: connect once, then wait.
    bool connected = false;
    QString failure;
    WaitFor([&] { return connected = connected || m_frame->ConnectTo(source, 9600, &failure); }, 5000);
    ASSERT_TRUE(connected) << failure.toStdString();
    auto samples = [&] { return m_frame->View()->PositionPlot()->Statistics().TextValues().samples; };
    ASSERT_TRUE(WaitFor([&] { return samples() >= 5; }, 5000)) << SourcePane().toStdString();

    server.reset();
    ASSERT_TRUE(WaitFor([&] { return SourcePane() == QString::fromStdString(source) + QString::fromUtf8(" \u2014 gone, retrying"); }, 5000))
        << SourcePane().toStdString();
    const uint32_t gathered = samples();
    server = std::make_unique<PeerProcess>(serve);
    ASSERT_TRUE(WaitFor([&] { return m_frame->View()->NmeaMonitor()->EditRx()->toPlainText().contains("reconnected"); }, 6000));
    EXPECT_TRUE(WaitFor([&] { return samples() >= gathered + 5; }, 5000)) << gathered << " then " << samples();
}

}  // namespace
