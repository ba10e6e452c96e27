#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QSlider>
#include <QTabWidget>
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
#include "kit/page_look.h"
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

namespace {

// One epoch of a receiver at LAT (ddmm.mmmm) with one GPS satellite PRN at
// azimuth AZ: GGA, GSV and RMC with the time and date.
std::string Epoch(int second, const std::string& lat, const std::string& lon, int prn, int az, const std::string& date)
{
    const std::string t = "1200" + std::to_string(10 + second) + ".00";
    return Sentence("GPGGA," + t + "," + lat + ",N," + lon + ",W,1,08,1.0,20.0,M,0.0,M,,")
        + Sentence("GPGSV,1,1,01," + std::to_string(prn) + ",40," + std::to_string(az) + ",44")
        + Sentence("GPRMC," + t + ",A," + lat + ",N," + lon + ",W,0.0,0.0," + date + ",,,A");
}

std::string Receiver(int epochs, const std::string& lat, const std::string& lon, int prn, const std::string& date)
{
    std::string text;
    for (int i = 0; i < epochs; ++i)
        text += Epoch(i, lat, lon, prn, 100 + i, date);
    return text;
}

// The satellites the Signals page shows, by number.
std::vector<int> SignalsSatellites(const CSignalsPageWnd& page)
{
    std::vector<int> numbers;
    for (const auto& [id, trail] : page.Trails().Trails())
        numbers.push_back(id.number);
    return numbers;
}

// A playback, another source and an analysis start the gathering pages
// afresh: never one receiver's fixes mixed with another's. The same source
// again keeps them.
TEST_F(ReplayTest, PagesStartAfreshWithEachFileAndEachOtherSource)
{
    const QString austria = Write("austria.txt", Receiver(7, "4704.2410", "01526.3704", 5, "091226"));
    const QString california = Write("california.txt", Receiver(4, "3806.6000", "12214.4000", 12, "101226"));
    const auto play = [&](const QString& file) {
        ASSERT_TRUE(m_frame->StartPlayback(file));
        g_sio.Pacer().SetSpeed(PlaybackPacer::kAsFastAsPossible, 0);
        ASSERT_TRUE(WaitFor([&] { return m_frame->Replay()->PlaybackFinished(); }, 5000));
    };
    const auto samples = [&] { return m_frame->View()->PositionPlot()->Statistics().SampleCount(); };
    play(austria);
    ASSERT_EQ(samples(), 7u);
    play(california);
    const PositionTextValues text = m_frame->View()->PositionPlot()->Statistics().TextValues();
    EXPECT_EQ(text.samples, 4u);
    EXPECT_NEAR(text.avgLatitude, 38.11, 1e-6);
    EXPECT_EQ(m_frame->View()->ScatterPlot()->Model().Samples().size(), 4u);
    EXPECT_EQ(Accuracy()->Tracker().GgaCount(), 4);
    EXPECT_EQ(SignalsSatellites(*Signals()), std::vector<int>{12});
    EXPECT_EQ(Signals()->Layout(Signals()->size()).info[0].text.text.substr(0, 15), "Date 2026-12-10");

    // A live source after the file: afresh; the same source again: kept.
    PseudoTerminal pty;
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 9600));
    EXPECT_EQ(samples(), 0u);
    EXPECT_EQ(Accuracy()->Tracker().GgaCount(), 0);
    EXPECT_TRUE(SignalsSatellites(*Signals()).empty());
    ASSERT_TRUE(pty.Write(Receiver(2, "4704.2410", "01526.3704", 7, "091226")));
    ASSERT_TRUE(WaitFor([&] { return samples() == 2u; }));
    ASSERT_TRUE(m_frame->ConnectTo(pty.SlavePath(), 19200));
    EXPECT_EQ(samples(), 2u);
    EXPECT_EQ(Accuracy()->Tracker().GgaCount(), 2);

    // An analysis of a file without a fix: nothing of before stays, on any page.
    ASSERT_TRUE(m_frame->Replay()->AnalyseRecording(Write("proprietary.txt", Sentence("PGRME,15.0,M,45.0,M,25.0,M"))));
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Replay()->Busy(); }, 5000));
    EXPECT_EQ(samples(), 0u);
    EXPECT_EQ(Accuracy()->Tracker().GgaCount(), 0);
    EXPECT_TRUE(m_frame->View()->ScatterPlot()->Model().Samples().empty());
    const SignalsPageLayout signalsShown = Signals()->Layout(QSize(1100, 700));
    EXPECT_TRUE(signalsShown.marks.empty());
    EXPECT_TRUE(signalsShown.bars.empty());
    EXPECT_EQ(signalsShown.info[0].text.text, "Date -   Time -");
}

}  // namespace

namespace {

// Every page at a small and the default size, in the dark look and a light
// one, with a multi-constellation receiver's file analysed: saved as PNGs
// for a person to look at, and no page lets a part of itself run out of it.
TEST_F(ReplayTest, EveryPageAtSmallAndDefaultSizesInADarkAndALightLook)
{
    STELMAP_REQUIRE_CORPUS();
    ASSERT_TRUE(m_frame->Replay()->AnalyseRecording(QStringLiteral(STELMAP_CORPUS_DIR "/gpsd/ublox-zed-f9p-nmea.log")));
    ASSERT_TRUE(WaitFor([&] { return !m_frame->Replay()->Busy(); }, 20000));
    const int before = m_frame->AppLook();
    m_frame->show();
    for (const int look : {kLookOffice2007Black, kLookOffice2007Blue})
        for (const QSize size : {QSize(800, 500), QSize(1100, 700)}) {
            m_frame->OnApplicationLook(look);
            m_frame->resize(size);
            ASSERT_TRUE(WaitFor([&] { return m_frame->size() == size; }));
            const QString dir = QStringLiteral(STELMAP_BINARY_DIR "/test-output/app/pages-%1-%2x%3")
                                    .arg(look == kLookOffice2007Black ? "black" : "blue")
                                    .arg(size.width())
                                    .arg(size.height());
            const QStringList files = m_frame->SaveScreenshots(dir);
            EXPECT_EQ(files.size(), m_frame->findChild<QTabWidget*>()->count()) << dir.toStdString();
            for (QWidget* page : {static_cast<QWidget*>(Signals()), static_cast<QWidget*>(Accuracy())}) {
                for (QWidget* part : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (!part->isHidden())
                        EXPECT_TRUE(page->rect().contains(part->geometry())) << page->objectName().toStdString();
                }
            }
        }
    m_frame->OnApplicationLook(before);
}

}  // namespace
