// The whole program against our own receiver: live fixes reach every page,
// the recording of them plays back to the same fixes, and a receiver that
// goes away closes the link.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "analysis/position_plot_wnd.h"
#include "app/page_tabs.h"
#include "app/main_window.h"
#include "app/tests/gui_test_support.h"
#include "console/log_edit_ctrl.h"
#include "console/nmea_monitor_wnd.h"
#include "displays/scatter_plot_wnd.h"
#include "link/link_objects.h"
#include "link/serial_port.h"
#include "nmea/receiver_state.h"

namespace {

// The latitudes of the fixes in a recording, decoded without the GUI.
std::vector<double> FixLatitudes(const QByteArray& bytes)
{
    ReceiverState parser;
    std::vector<double> latitudes;
    parser.SetPositionHandOff([&] { latitudes.push_back(parser.m_latitude); });
    parser.ProcessBytes(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    return latitudes;
}

TEST(AppWithSimulator, LiveRecordPlaybackAndLoss)
{
    const char* sim = std::getenv("STELMAP_SIM");
    ASSERT_NE(sim, nullptr);
    QProcess receiver;
    receiver.start(QString::fromLocal8Bit(sim), {"--rate", "10", "--seed", "5", "--noise", "3"});
    ASSERT_TRUE(receiver.waitForStarted(5000));
    ASSERT_TRUE(receiver.waitForReadyRead(5000));
    const QString port = QString::fromLocal8Bit(receiver.readLine()).trimmed();
    ASSERT_TRUE(port.startsWith("/dev/")) << port.toStdString();

    QTemporaryDir dir;
    const QString recording = dir.filePath("session.txt");
    StartupOptions options;
    options.connect = ConnectOption{"/nonexistent/port", 9600};
    MainWindow frame(options);
    ASSERT_TRUE(frame.StartRecording(recording));
    ASSERT_TRUE(frame.ConnectTo(port.toStdString(), 9600));

    // Live: fixes on every page.
    PositionPlotWnd* plot = frame.View()->PositionPlot();
    ASSERT_TRUE(WaitFor([&] { return plot->Statistics().SampleCount() >= 20; }, 15000));
    EXPECT_GE(frame.View()->ScatterPlot()->Model().Samples().size(), 20u);
    {
        std::lock_guard lock(g_dataLock);
        EXPECT_GT(g_displaySnapshot.satsInView, 4);
        EXPECT_GT(g_displaySnapshot.latitude, 47.0);
        EXPECT_LT(g_displaySnapshot.latitude, 47.2);
    }
    EXPECT_TRUE(frame.View()->NmeaMonitor()->EditRx()->toPlainText().contains("GGA,"));
    EXPECT_TRUE(frame.View()->NmeaMonitor()->EditTx()->toPlainText().startsWith("$PXTNCFG*50"));
    frame.UpdateCommandUI();
    EXPECT_EQ(frame.PaneLabel(MainWindow::kPaneQuality)->text(), "GPS Quality: GPS Fix");

    frame.Stop();  // ends the recording; the live port stays
    EXPECT_FALSE(frame.IsRecording());
    EXPECT_TRUE(g_sio.IsOpen());

    // The receiver goes away: the link closes and the status bar says so.
    receiver.kill();
    receiver.waitForFinished(5000);
    EXPECT_TRUE(WaitFor([&] { return !g_sio.IsOpen(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return frame.statusBar()->currentMessage().contains("went away"); }, 2000));

    // Playback of the recording gives the same fixes again.
    QFile file(recording);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<double> recorded = FixLatitudes(file.readAll());
    // The reader queues a read's text after feeding it to the parser, so the
    // fix counted last may not have reached the file when the recording
    // stopped; the file holds all but at most that one.
    ASSERT_GE(recorded.size(), 19u);
    plot->ClearPlots();
    ASSERT_TRUE(frame.StartPlayback(recording));
    ASSERT_TRUE(WaitFor([&] { return plot->Statistics().SampleCount() == recorded.size(); }, 20000))
        << plot->Statistics().SampleCount() << " of " << recorded.size();
    EXPECT_DOUBLE_EQ(plot->Statistics().TextValues().latitude, recorded.back());
    frame.Stop();
    EXPECT_FALSE(g_sio.IsOpen());
}

}  // namespace
