#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "analysis/accuracy_page_wnd.h"
#include "analysis/position_plot_wnd.h"
#include "app/main_window.h"
#include "app/page_tabs.h"
#include "app/replay_bar.h"
#include "app/replay_controller.h"
#include "app/tests/gui_test_support.h"
#include "app/tests/test_output.h"
#include "displays/front_panel_status_wnd.h"
#include "displays/scatter_plot_wnd.h"
#include "displays/signals_page_wnd.h"
#include "link/link_objects.h"
#include "link/serial_port.h"
#include "link/session_recorder.h"
#include "link/tests/pseudo_terminal.h"
#include "nmea/tests/sentence.h"
#include "tests/corpus_location.h"

namespace {

// What the pages hold after a file: every figure a fix builds.
struct PagesState {
    PositionTextValues text;
    std::deque<CScatterPlotPosition> samples;
    std::vector<TrailPoint> trails;
    DisplaySnapshot snapshot;
    GnssSnapshot gnss;
    size_t signalTrails = 0;  // satellites with a trail on the Signals page
    ErrorFigures accuracy;
    int64_t accuracyFixes = 0;
    bool operator==(const PagesState&) const = default;
};

class ReplayTest : public ::testing::Test {
protected:
    void SetUp() override { m_frame = std::make_unique<CMainFrame>(NoReceiver()); }
    void TearDown() override
    {
        m_frame.reset();
        g_sio.Close();
    }

    PagesState Pages() const
    {
        CChildView* view = m_frame->View();
        PagesState s;
        s.text = view->PositionPlot()->Statistics().TextValues();
        s.samples = view->ScatterPlot()->Model().Samples();
        s.trails = view->FrontPanel()->SkyPlot().History().TrailPoints();
        s.signalTrails = Signals()->Trails().Trails().size();
        s.accuracy = Accuracy()->Tracker().Figures(0);
        s.accuracyFixes = Accuracy()->Tracker().HorizontalHistogram().Total();
        // The fix the pages were handed last.
        s.snapshot = m_frame->Fixes().Last();
        s.gnss = m_frame->Fixes().LastGnss();
        return s;
    }

    CSignalsPageWnd* Signals() const { return m_frame->findChild<CSignalsPageWnd*>(QStringLiteral("Signals")); }
    CAccuracyWnd* Accuracy() const { return m_frame->findChild<CAccuracyWnd*>(QStringLiteral("Accuracy")); }

    QString Write(const QString& name, const std::string& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CMainFrame> m_frame;
};

std::string Fixes(int n)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += Sentence("GPGGA,1200" + std::to_string(10 + i) + ",4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,");
    return text;
}

TEST_F(ReplayTest, AnalysisLeavesThePagesAsAFullPlaybackDoes)
{
    STELMAP_REQUIRE_CORPUS();
    // A Garmin capture: 4,469 GGA sentences, GSA and GSV of GPS.
    const QString file = QStringLiteral(STELMAP_CORPUS_DIR "/nmeaparser/NmeaSampleData.txt");

    ASSERT_TRUE(m_frame->Replay()->AnalyseRecording(file));
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Replay()->Busy(); }, 20000));
    const PagesState analysed = Pages();
    EXPECT_EQ(m_frame->Replay()->LastMessage(), "Analysed NmeaSampleData.txt: 4469 fixes.");
    ASSERT_GT(analysed.text.samples, 0);
    ASSERT_GT(analysed.signalTrails, 0u);
    ASSERT_GT(analysed.accuracyFixes, 0);

    m_frame->Fixes().Restart();
    ASSERT_TRUE(m_frame->StartPlayback(file));
    g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
    ASSERT_TRUE(WaitFor([&] { return m_frame->Replay()->PlaybackFinished(); }, 60000));
    const PagesState played = Pages();
    EXPECT_EQ(played.text, analysed.text);
    EXPECT_EQ(played.samples.size(), analysed.samples.size());
    EXPECT_EQ(played.trails.size(), analysed.trails.size());
    EXPECT_EQ(played.gnss, analysed.gnss);
    EXPECT_EQ(played.accuracyFixes, analysed.accuracyFixes);
    EXPECT_TRUE(played == analysed);
}

TEST_F(ReplayTest, TheEndIsToldStopEndsAndBackToLiveReopensThePort)
{
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600));
    ASSERT_TRUE(pty.Write(Fixes(2)));  // live fixes before: not the file's
    ASSERT_TRUE(WaitFor([&] { return m_frame->Fixes().Count() == 2; }));
    const QString file = Write("five.txt", Fixes(5));
    m_frame->resize(1100, 760);
    m_frame->show();
    ASSERT_TRUE(m_frame->StartPlayback(file));
    EXPECT_TRUE(g_sio.IsPlayback());
    EXPECT_TRUE(m_frame->Replay()->Bar()->isVisible());
    g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
    ASSERT_TRUE(WaitFor([&] { return m_frame->Replay()->PlaybackFinished(); }, 5000));
    // Five fixes a second apart: four seconds of recording.
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), "Playback finished: 5 fixes, 4.0 s of recording");
    m_frame->Replay()->Bar()->Refresh();
    EXPECT_EQ(m_frame->Replay()->Bar()->TimeLabel()->text(), "0:04 / 0:04");
    SaveTestPicture(*m_frame, QStringLiteral("replay-finished"));
    m_frame->UpdateCommandUI();
    EXPECT_FALSE(m_frame->Action(kCmdStop)->isEnabled()) << "nothing left to stop";
    EXPECT_TRUE(m_frame->Action(kCmdPlayBack)->isEnabled());

    m_frame->Replay()->BackToLive();
    EXPECT_FALSE(g_sio.IsPlayback());
    EXPECT_TRUE(g_sio.IsOpen());
    EXPECT_EQ(g_sio.DevicePath(), pty.SlavePath());
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap");
    EXPECT_FALSE(m_frame->Replay()->Bar()->isVisible());
}

// Analysis beside a live link: the link and its recording go on, the
// pages show the file alone until Back to Live, which shows the live
// fixes again without reopening anything.
TEST_F(ReplayTest, AnalysisLeavesTheLiveLinkAndItsRecordingRunning)
{
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600));
    ASSERT_TRUE(m_frame->StartRecording(m_dir.filePath("live.txt")));
    ASSERT_TRUE(pty.Write(Fixes(2)));
    ASSERT_TRUE(WaitFor([&] { return m_frame->Fixes().Count() == 2; }));
    const uint64_t recorded = Fixes(2).size();

    CPositionPlotWnd* plot = m_frame->View()->PositionPlot();
    ASSERT_TRUE(m_frame->Replay()->AnalyseRecording(Write("seven.txt", Fixes(7))));
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Replay()->Busy(); }, 5000));
    EXPECT_EQ(plot->Statistics().SampleCount(), 7);
    EXPECT_TRUE(m_frame->Replay()->Bar()->isVisibleTo(m_frame.get())) << "Back to Live is offered";

    ASSERT_TRUE(pty.Write(Fixes(3)));
    EXPECT_TRUE(WaitFor([&] { return m_frame->RecordedBytes() == recorded + Fixes(3).size(); }))
        << "the recording goes on";
    EXPECT_TRUE(WaitFor([&] { return ReadLinkHealth(GlobalLinkObjects()).fixes == 5; })) << "and so does the link";
    EXPECT_TRUE(g_sio.IsOpen());
    EXPECT_EQ(g_sio.DevicePath(), pty.SlavePath());
    EXPECT_TRUE(m_frame->IsRecording());
    EXPECT_EQ(plot->Statistics().SampleCount(), 7) << "live fixes stay off the analysed pages";

    m_frame->Replay()->BackToLive();
    EXPECT_EQ(g_sio.DevicePath(), pty.SlavePath());
    EXPECT_TRUE(m_frame->IsRecording());
    EXPECT_FALSE(m_frame->Replay()->Bar()->isVisibleTo(m_frame.get()));
    ASSERT_TRUE(pty.Write(Fixes(1)));
    EXPECT_TRUE(WaitFor([&] { return plot->Statistics().SampleCount() == 1; })) << plot->Statistics().SampleCount();
    m_frame->Stop();
}

// Messages and the title follow what is current: the last playback's or
// analysis's message goes when the next begins, the title names a
// playback only while it plays.
TEST_F(ReplayTest, MessagesAndTitleFollowWhatIsCurrent)
{
    const QString file = Write("three.txt", Fixes(3));
    ASSERT_TRUE(m_frame->StartPlayback(file));
    g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
    ASSERT_TRUE(WaitFor([&] { return m_frame->Replay()->PlaybackFinished(); }, 5000));
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().startsWith("Playback finished"));
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap") << "the playback has ended";

    ASSERT_TRUE(m_frame->StartPlayback(file));
    EXPECT_FALSE(m_frame->statusBar()->currentMessage().startsWith("Playback finished"));
    EXPECT_EQ(m_frame->windowTitle(), "Helmarc Stelmap - [Playback: three.txt]");
    m_frame->Stop();

    ASSERT_TRUE(m_frame->Replay()->AnalyseRecording(file));
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Replay()->Busy(); }, 5000));
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().startsWith("Analysed"));
    ASSERT_TRUE(m_frame->StartPlayback(file));
    EXPECT_FALSE(m_frame->statusBar()->currentMessage().startsWith("Analysed"));
    m_frame->Stop();
}

// Next Fix at 10 Hz steps a tenth of a second: the clock shows tenths.
TEST_F(ReplayTest, TheClockShowsTenthsWhenFixesAreCloserThanASecond)
{
    std::string tenHz;
    for (int i = 0; i < 30; ++i)
        tenHz += Sentence("GPGGA,1200" + std::to_string(10 + i / 10) + "." + std::to_string(i % 10) +
                          "0,4704.2410,N,01526.3704,E,1,08,1.0,355.5,M,47.0,M,,");
    ASSERT_TRUE(m_frame->StartPlayback(Write("tenhz.txt", tenHz)));
    g_sio.Pacer().SetPaused(true, SteadyMicros());
    m_frame->Replay()->Bar()->Refresh();
    EXPECT_EQ(m_frame->Replay()->Bar()->TimeLabel()->text(), "0:00.0 / 0:02.9");
    m_frame->Stop();
}

TEST_F(ReplayTest, AnEmptyFileEndsAtOnce)
{
    ASSERT_TRUE(m_frame->StartPlayback(Write("empty.txt", "")));
    ASSERT_TRUE(WaitFor([&] { return m_frame->Replay()->PlaybackFinished(); }, 3000));
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), "Playback finished: 0 fixes, 0.0 s of recording");
    m_frame->UpdateCommandUI();
    EXPECT_FALSE(m_frame->Action(kCmdStop)->isEnabled());
}

TEST_F(ReplayTest, SeekingRebuildsThePagesFromTheStart)
{
    const QString file = Write("twenty.txt", Fixes(20));
    ASSERT_TRUE(m_frame->StartPlayback(file));
    CPositionPlotWnd* plot = m_frame->View()->PositionPlot();
    g_sio.Pacer().SetPaused(true, 0);
    m_frame->Replay()->Seek(9500000);  // 9.5 s: the fixes at 0 to 9 s
    ASSERT_TRUE(WaitFor([&] { return plot->Statistics().SampleCount() == 10 && g_sio.Pacer().SeekTargetBytes() == 0; }))
        << plot->Statistics().SampleCount() << " " << g_sio.Pacer().SeekTargetBytes() << " " << g_sio.PlaybackDelivered();
    QApplication::processEvents();
    EXPECT_EQ(plot->Statistics().SampleCount(), 10) << "paused after the seek";
    g_sio.Pacer().StepFix(SteadyMicros());
    ASSERT_TRUE(WaitFor([&] { return plot->Statistics().SampleCount() == 11; }));
    EXPECT_EQ(Accuracy()->Tracker().HorizontalHistogram().Total(), 11);
    m_frame->Replay()->Seek(0);
    ASSERT_TRUE(WaitFor([&] { return plot->Statistics().SampleCount() == 1; }))
        << plot->Statistics().SampleCount() << " " << g_sio.Pacer().SeekTargetBytes() << " " << g_sio.PlaybackDelivered();
    EXPECT_EQ(Accuracy()->Tracker().HorizontalHistogram().Total(), 1) << "the accuracy session starts again too";
}

// The Open dialog opens a file that exists as named, suffix or not.
TEST_F(ReplayTest, PlayBackOpensAFileWithoutASuffix)
{
    const QString file = Write("nosuffix", Fixes(2));
    ModalDriver driver([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
    m_frame->OnPlayBack();
    EXPECT_TRUE(g_sio.IsPlayback());
    EXPECT_EQ(g_sio.PlaybackFile(), QFile::encodeName(file).toStdString());
}

TEST_F(ReplayTest, ExportFromTheWindowWritesTheTrack)
{
    const QString file = Write("three.txt", Fixes(3));
    const QString out = m_dir.filePath("three.gpx");
    ASSERT_TRUE(m_frame->Replay()->ExportTrack(file, out, "gpx"));
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Replay()->Busy(); }, 5000));
    EXPECT_EQ(m_frame->Replay()->LastMessage(), "Exported 3 fixes to " + out + ".");
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("<trkpt "), 3);
}

// A click on the slider's groove seeks to where it lands.
TEST(ReplayBarSlider, AClickOnTheGrooveSeeksThere)
{
    std::vector<int64_t> seeks;
    ReplayBar bar(ReplayBar::Handlers{[&](int64_t t) { seeks.push_back(t); }, [] {}});
    PlaybackPacer pacer;
    pacer.Load(PlaybackSchedule::FixedRate(100 * PlaybackSchedule::kFixedChunk), 0);
    bar.Attach(&pacer);
    bar.resize(800, 40);
    bar.show();
    QSlider* slider = bar.Slider();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    const double fractions[] = {0.75, 0.25};
    for (double fraction : fractions) {
        const QPoint at(static_cast<int>(slider->width() * fraction), slider->height() / 2);
        QTest::mouseClick(slider, Qt::LeftButton, {}, at);
        ASSERT_FALSE(seeks.empty());
        const double reached = static_cast<double>(seeks.back()) / static_cast<double>(pacer.DurationUs());
        EXPECT_NEAR(reached, fraction, 0.03) << "clicked at " << fraction;
    }
    EXPECT_EQ(seeks.size(), 2u);
}

}  // namespace
