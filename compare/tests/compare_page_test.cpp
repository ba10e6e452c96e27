#include <gtest/gtest.h>

#include <QColor>
#include <QComboBox>
#include <QImage>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iomanip>

#include "compare/compare_page_wnd.h"
#include "compare/trajectory_files.h"
#include "geo/local_tangent_plane.h"
#include "tests/sim_process.h"

namespace {

using Clock = std::chrono::steady_clock;

const QColor kBlue(40, 120, 230);
const QColor kOrange(240, 140, 20);

// A fix `east`, `north` metres from 47 N 15 E at second `k` after noon.
void Feed(ComparePageWnd& page, int id, const QString& name, const QColor& colour, int k, double east, double north,
          const GnssSnapshot& heard = {}, double late = 0.0)
{
    DisplaySnapshot display;
    LocalTangentPlane(47.0, 15.0, 300.0).ToGeodetic({east, north, 0.0}, display.latitude, display.longitude,
                                                    display.altitude);
    display.countedQuality = 1;
    GnssSnapshot gnss = heard;
    gnss.date = GnssDate{2024, 6, 1};
    char time[16];
    std::snprintf(time, sizeof time, "12:%02d:%02d.00", k / 60, k % 60);
    gnss.fixTime = gnss.time = time;
    const auto read = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1000.0 + k + late));
    page.AddFix(id, name, colour, display, gnss, Clock::time_point(read));
}

GnssSignalView Signal(int number, int cnr) { return {GnssSystem::GPS, number, 1, 40, 100, cnr, true}; }

// Whether `colour` is at (x, y) or a pixel beside it: a position that
// falls on a pixel's edge may round either way.
bool ColourAt(const QImage& image, int x, int y, const QColor& colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (QColor(image.pixel(x + dx, y + dy)) == colour)
                return true;
    return false;
}

int YOf(const PixelRect& plot, double value, double range)
{
    return static_cast<int>(std::floor(plot.bottom - 1 - value / range * (plot.Height() - 1)));
}

class ComparePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_page.resize(900, 700);
        m_page.SetUserPosition(47.0, 15.0, 300.0);
        GnssSnapshot a, b;
        a.satellites = {Signal(5, 40), Signal(7, 30), Signal(9, 44)};
        b.satellites = {Signal(5, 35), Signal(7, 36)};
        for (int k = 0; k < 60; ++k) {
            Feed(m_page, 1, "A", kBlue, k, 1.0, 0.0, a, 0.3);  // read 300 ms after B
            Feed(m_page, 2, "B", kOrange, k, 0.0, 2.0, b);
        }
    }
    ComparePageWnd m_page;
};

// Receiver A is 1 m east of the user position, B 2 m north: each is drawn
// in its colour where its errors put it.
TEST_F(ComparePageTest, ErrorsDrawnWhereTheyLieInEachReceiversColour)
{
    const QImage image = m_page.Render();
    const ComparePageGeometry g = ComputeComparePageGeometry(900, 700, m_page.Feed());
    ASSERT_EQ(g.scatterPlots.size(), 2u);
    // Scales from the errors: the largest error 2 m, h95 2 m.
    EXPECT_EQ(g.timeRange, 5.0);
    EXPECT_EQ(g.scatterHalfRange, 5.0);
    EXPECT_EQ(g.cdfRange, 5.0);
    for (int i = 0; i < 2; ++i) {
        const PixelRect& plot = g.scatterPlots[static_cast<size_t>(i)];
        const double scale = plot.Width() / 2.0 / 5.0;
        const int x = static_cast<int>(std::floor(plot.left + plot.Width() / 2.0 + (i == 0 ? 1.0 : 0.0) * scale));
        const int y = static_cast<int>(std::floor(plot.top + plot.Height() / 2.0 - (i == 0 ? 0.0 : 2.0) * scale));
        EXPECT_TRUE(ColourAt(image, x, y, i == 0 ? kBlue : kOrange)) << "scatter " << i;
        EXPECT_FALSE(ColourAt(image, x, y, i == 0 ? kOrange : kBlue)) << "scatter " << i;
    }
    const int middle = (g.timePlot.left + g.timePlot.right) / 2;
    EXPECT_TRUE(ColourAt(image, middle, YOf(g.timePlot, 1.0, 5.0), kBlue));
    EXPECT_TRUE(ColourAt(image, middle, YOf(g.timePlot, 2.0, 5.0), kOrange));
    EXPECT_FALSE(ColourAt(image, middle, YOf(g.timePlot, 1.5, 5.0), kBlue));
    // Every error of A is 1 m: its distribution rises at 1 m of 5.
    const int rise = static_cast<int>(std::floor(g.cdfPlot.left + 0.2 * (g.cdfPlot.Width() - 1)));
    EXPECT_TRUE(ColourAt(image, rise, (g.cdfPlot.top + g.cdfPlot.bottom) / 2, kBlue));

    // C/N0 of A minus B: +5 for G5, -6 for G7, G9 not heard by both.
    const std::vector<SignalDifference> differences = SignalDifferences(m_page.Feed().UnderTest()[0]->lastGnss,
                                                                         m_page.Feed().UnderTest()[1]->lastGnss);
    EXPECT_EQ(differences, (std::vector<SignalDifference>{{GnssSystem::GPS, 5, 1, 5}, {GnssSystem::GPS, 7, 1, -6}}));
    ASSERT_EQ(g.signalBars.size(), 2u);
    EXPECT_EQ(g.signalRange, 10.0);
    const PixelRect& up = g.signalBars[0].rect;
    const PixelRect& down = g.signalBars[1].rect;
    EXPECT_EQ(QColor(image.pixel(up.left + 1, up.top + 1)), QColor(40, 170, 70));
    EXPECT_EQ(QColor(image.pixel(down.left + 1, down.bottom - 2)), QColor(220, 50, 40));
    EXPECT_NEAR(down.Height() - 1, (up.Height() - 1) * 6.0 / 5.0, 1.0) << "bars in proportion";

    const std::string path = STELMAP_BINARY_DIR "/compare_page_test.png";
    EXPECT_TRUE(image.save(QString::fromStdString(path)));
}

TEST_F(ComparePageTest, ReferenceChooserOffersEveryReference)
{
    QComboBox* chooser = m_page.findChild<QComboBox*>(QStringLiteral("CompareReference"));
    ASSERT_NE(chooser, nullptr);
    QStringList items;
    for (int i = 0; i < chooser->count(); ++i)
        items << chooser->itemText(i);
    EXPECT_EQ(items, (QStringList{"Reference: user position", "Reference: trajectory file...", "Reference: receiver A",
                                  "Reference: receiver B"}));

    // B as the reference: A is 1 m east and 2 m south of it, and alone under test.
    m_page.UseReceiver(2);
    ASSERT_EQ(m_page.Feed().UnderTest().size(), 1u);
    const ReceiverComparison f = m_page.Feed().Result().Figures(m_page.Feed().UnderTest()[0]->index);
    EXPECT_EQ(f.matched, 59) << "the latest fix waits for the reference to pass its epoch";
    EXPECT_NEAR(*f.all.biasE, 1.0, 1e-6);
    EXPECT_NEAR(*f.all.biasN, -2.0, 1e-6);
    ASSERT_TRUE(f.latency);
    EXPECT_NEAR(f.latency->mean, 0.3, 1e-6);
    EXPECT_EQ(chooser->currentText(), "Reference: receiver B");

    // A trajectory file: B's track as GPX.
    const std::string gpx = STELMAP_BINARY_DIR "/compare_page_test.gpx";
    {
        std::ofstream out(gpx);
        out << "<gpx><trk><trkseg>\n";
        for (const CompareFix& fix : m_page.Feed().Receiver(2)->fixes)
            out << "<trkpt lat=\"" << std::setprecision(12) << fix.position.latitude << "\" lon=\""
                << fix.position.longitude << "\"><ele>" << fix.position.altitude << "</ele><time>2024-06-01T"
                << "12:" << (fix.time->secondsOfDay >= 43260 ? "01:" : "00:") << std::setw(2) << std::setfill('0')
                << static_cast<int>(std::fmod(fix.time->secondsOfDay, 60.0)) << std::setfill(' ') << "Z</time></trkpt>\n";
        out << "</trkseg></trk></gpx>\n";
    }
    EXPECT_TRUE(m_page.UseTrajectoryFile(QString::fromStdString(gpx)).isEmpty());
    EXPECT_EQ(m_page.Feed().UnderTest().size(), 2u);
    const ReceiverComparison t = m_page.Feed().Result().Figures(m_page.Feed().UnderTest()[0]->index);
    EXPECT_EQ(t.matched, 60);
    EXPECT_NEAR(*t.all.biasN, -2.0, 1e-4);
    EXPECT_EQ(chooser->currentText(), "Reference: compare_page_test.gpx");
    EXPECT_FALSE(m_page.UseTrajectoryFile(QStringLiteral("/nonexistent/track.gpx")).isEmpty());

    // A restart forgets the fixes, not the receivers or the reference.
    m_page.Restart();
    EXPECT_EQ(m_page.Feed().Result().Figures(0).epochs, 0);
    EXPECT_EQ(m_page.Feed().Kind(), CompareFeed::ReferenceKind::Trajectory);
}

// Without a reference the fixes are counted, and measured once one is chosen.
TEST(ComparePage, FixesCountBeforeAReferenceIsChosen)
{
    ComparePageWnd page;
    for (int k = 0; k < 5; ++k)
        Feed(page, 7, "R", kBlue, k, 0.0, 3.0);
    ASSERT_EQ(page.Feed().Kind(), CompareFeed::ReferenceKind::None);
    EXPECT_EQ(page.Feed().Result().Figures(0).epochs, 5);
    EXPECT_EQ(page.Feed().Result().Figures(0).matched, 0);
    page.SetUserPosition(47.0, 15.0, 300.0);
    EXPECT_EQ(page.Feed().Result().Figures(0).matched, 5);
    EXPECT_NEAR(*page.Feed().Result().Figures(0).all.biasN, 3.0, 1e-6);
}

// Two simulated receivers, one 1.5 m off, against the user position: the
// page as the user sees it (saved for a look).
TEST(ComparePage, SimulatedReceiversAgainstTheUserPosition)
{
    const std::string dir = STELMAP_BINARY_DIR;
    const std::string a = dir + "/compare_page_a.nmea", b = dir + "/compare_page_b.nmea";
    ASSERT_EQ(std::system((SimPath() + " --stdout --fast --gnss --fixes 300 --seed 8 > " + a).c_str()), 0);
    ASSERT_EQ(std::system((SimPath() + " --stdout --fast --gnss --fixes 300 --seed 8 --noise 1 --offset 1.5,0,0 > " + b).c_str()), 0);
    ComparePageWnd page;
    page.resize(1000, 720);
    page.SetUserPosition(47.0707, 15.4395, 353.0);
    int k = 0;
    for (const auto& [path, id, colour] : {std::tuple(a, 1, kBlue), std::tuple(b, 2, kOrange)}) {
        ReadClock clock;
        std::string error;
        ASSERT_TRUE(DecodeRecording(
            path,
            [&, id = id, colour = colour](const DisplaySnapshot& d, const GnssSnapshot& g, std::optional<double>) {
                // B hears the second band 3 dB weaker and odd satellites 1 dB stronger.
                GnssSnapshot heard = g;
                for (GnssSignalView& s : heard.satellites)
                    if (s.cnr && id == 2)
                        *s.cnr += (s.signal > 1 ? -3 : 0) + (s.number % 2 == 1 ? 1 : 0);
                page.AddFix(id, id == 1 ? "GNSS A" : "GNSS B", colour, d, heard,
                            Clock::time_point(std::chrono::milliseconds(++k)));
            },
            clock, error));
    }
    const std::vector<const CompareFeed::ReceiverEntry*> tested = page.Feed().UnderTest();
    ASSERT_EQ(tested.size(), 2u);
    const ReceiverComparison fa = page.Feed().Result().Figures(tested[0]->index);
    const ReceiverComparison fb = page.Feed().Result().Figures(tested[1]->index);
    EXPECT_EQ(fa.matched, 300);
    EXPECT_NEAR(*fb.all.biasE - *fa.all.biasE, 1.5, 0.5) << "B is 1.5 m east of A, with less noise";
    EXPECT_FALSE(SignalDifferences(tested[0]->lastGnss, tested[1]->lastGnss).empty());
    EXPECT_TRUE(page.Render().save(QString::fromStdString(dir + "/compare_page.png")));
}

}  // namespace
