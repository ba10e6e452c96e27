#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "displays/signals_page_layout.h"
#include "displays/signals_page_wnd.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"
#include "kit/page_shapes.h"
#include "kit/tests/page_test_support.h"
#include "nmea/gnss_model.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QTableWidget>
#include <QToolTip>
#include <set>

namespace {

// A receiver's epoch: GPS on L1 and L5, GLONASS, Galileo with a GBS suspect.
GnssSnapshot Epoch(int azimuthShift = 0)
{
    GnssModel model;
    const auto az = [&](int a) { return std::to_string((a + azimuthShift) % 360); };
    const std::string bodies[] = {
        "GPGSV,1,1,03,05,40," + az(100) + ",44,13,60," + az(200) + ",38,29,10," + az(300) + ",,1",
        "GPGSV,1,1,02,05,40," + az(100) + ",41,13,60," + az(200) + ",20,8",
        "GLGSV,1,1,02,65,30," + az(45) + ",35,66,70," + az(135) + ",30,1",
        "GAGSV,1,1,02,12,50," + az(250) + ",47,19,20," + az(330) + ",25,7",
        "GNGSA,A,3,05,13,,,,,,,,,,,1.2,0.8,0.9,1",
        "GNGSA,A,3,12,,,,,,,,,,,,1.2,0.8,0.9,3",
        "GNRMC,123456.20,A,4552.65403,S,17030.00668,E,0.025,,091226,,,A,V",
        "GNGST,123456.20,0.8,0.5,0.3,120.0,0.4,0.3,0.9",
        "GNGBS,123456.20,0.4,0.3,0.9,12,0.01,6.5,1.2,3,7",
        "GNGNS,123456.20,4552.65403,S,17030.00668,E,AAAN,12,0.8,14.2,1.8,,,V",
    };
    for (const std::string& body : bodies) {
        const size_t comma = body.find(',');
        model.OnSentence(std::string_view(body).substr(0, comma), std::string_view(body).substr(comma + 1));
    }
    GnssSnapshot snapshot;
    model.CopyTo(snapshot);
    return snapshot;
}

TEST(SignalsPage, SummaryPerSystem)
{
    const GnssSnapshot s = Epoch();
    const auto summaries = SummariseSystems(s.satellites, SignalsFilter{});
    ASSERT_EQ(summaries.size(), 3u);
    // GPS: 3 satellites, 2 used; C/N0 44, 38, 41, 20 (29 has none).
    EXPECT_EQ(summaries[0], (SystemSummary{GnssSystem::GPS, 3, 2, (44 + 38 + 41 + 20) / 4.0, (44 + 38 + 41 + 20) / 4.0}));
    EXPECT_EQ(summaries[2], (SystemSummary{GnssSystem::Galileo, 2, 1, 36.0, 36.0}));

    SignalsFilter l1Only;
    l1Only.bands = {true, false, false, false, false, false};
    const auto l1 = SummariseSystems(s.satellites, l1Only);
    ASSERT_EQ(l1.size(), 3u);  // Galileo E5a counts as L5: gone; GLONASS G1 stays
    EXPECT_EQ(l1[0], (SystemSummary{GnssSystem::GPS, 3, 2, 41.0, 41.0}));
    EXPECT_EQ(l1[2].system, GnssSystem::Galileo);  // E1-BC is L1
}

class SignalsPageRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.resize(1200, 800);
        page.SetSnapshotSource([this] { return snapshot; });
    }
    void TearDown() override { SetCurrentAppLook(kLookOffice2007Black); }

    GnssSnapshot snapshot = Epoch();
    SignalsPageWnd page;
};

TEST_F(SignalsPageRender, BarsMarksAndSuspectWhereTheGeometrySays)
{
    for (int look : {kLookOffice2007Black, kLookOffice2007Silver}) {
        SetCurrentAppLook(look);
        page.ClearTrails();
        for (int minute = 0; minute <= 8; ++minute) {
            snapshot = Epoch(minute * 2);
            page.UpdateFromSnapshotAt(minute * 60.0);
        }
        const QImage image = page.RenderPage();
        SavePage(image, look == kLookOffice2007Black ? "signals_black" : "signals_silver");
        const SignalsPageLayout layout = page.Layout(page.size());

        ASSERT_EQ(layout.bars.size(), snapshot.satellites.size());
        for (const SignalsBar& bar : layout.bars) {
            if (bar.bar.IsEmpty() || !bar.used || bar.suspect)
                continue;
            const PixelPoint middle{(bar.bar.left + bar.bar.right) / 2, (bar.bar.top + bar.bar.bottom) / 2};
            const QColor color = ToQColor(SystemColor(bar.system));
            if (bar.band == 0) {
                EXPECT_EQ(PixelAt(image, middle), color);
                continue;
            }
            // A satellite's second band: hatched, its colour beside another.
            EXPECT_NE(PixelAt(image, middle) == color, PixelAt(image, middle.x + 1, middle.y) == color);
        }
        // Marks: one per satellite with a position, filled when used.
        EXPECT_EQ(layout.marks.size(), 7u);
        for (const SignalsSkyMark& mark : layout.marks) {
            if (mark.used) {
                EXPECT_EQ(PixelAt(image, mark.point), ToQColor(SystemColor(mark.system)));
            }
        }
        // The suspect, Galileo 12, is outlined in red on its bars.
        int suspects = 0;
        for (const SignalsBar& bar : layout.bars) {
            if (!bar.suspect)
                continue;
            ++suspects;
            EXPECT_EQ(PixelAt(image, bar.slot.left, (bar.slot.top + bar.slot.bottom) / 2), QColor(230, 0, 0));
        }
        EXPECT_EQ(suspects, 1);
        // Trails: eight minutes of two-degree steps for each of the 7 satellites.
        EXPECT_EQ(layout.trails.size(), 7u * 8u);
        ASSERT_FALSE(layout.info.empty());
        EXPECT_EQ(layout.info[0].text.text, "Date 2026-12-09   Time 12:34:56.20 UTC   RMC valid");
    }
}

TEST_F(SignalsPageRender, ClickingAChipHidesItsSystem)
{
    page.UpdateFromSnapshotAt(0.0);
    const SignalsPageLayout before = page.Layout(page.size());
    const SignalsChip* galileo = nullptr;
    for (const SignalsChip& chip : before.chips)
        if (chip.system && chip.index == SystemIndex(GnssSystem::Galileo))
            galileo = &chip;
    ASSERT_NE(galileo, nullptr);
    QTest::mouseClick(&page, Qt::LeftButton, {}, QPoint(galileo->box.left + 2, galileo->box.top + 2));
    EXPECT_FALSE(page.Filter().systems[static_cast<size_t>(SystemIndex(GnssSystem::Galileo))]);
    const SignalsPageLayout after = page.Layout(page.size());
    EXPECT_EQ(after.bars.size(), before.bars.size() - 2);
    for (const SignalsSkyMark& mark : after.marks)
        EXPECT_NE(mark.system, GnssSystem::Galileo);
}

}  // namespace

namespace {

// Trails run on the receiver's time however fast the fixes come (an analysis
// delivers a day in seconds), break where a satellite went unreported for
// more than a minute, and go with the satellites and the date on a restart.
TEST_F(SignalsPageRender, TrailsOnReceiverTimeBrokenAtGapsGoneOnRestart)
{
    const auto at = [&](const std::string& time, int azimuthShift) {
        snapshot = Epoch(azimuthShift);
        snapshot.time = time;
        page.UpdateFromSnapshot();  // no clock of the test's: the snapshot's own time
    };
    at("12:00:00.00", 0);
    at("12:00:10.00", 2);
    at("12:00:20.00", 4);
    const GnssSatelliteId gps5{GnssSystem::GPS, 5};
    ASSERT_EQ(page.Trails().Trails().count(gps5), 1u);
    EXPECT_EQ(page.Trails().Trails().at(gps5).size(), 3u);
    EXPECT_EQ(page.Layout(page.size()).trails.size(), 7u * 2u);

    // Three minutes unreported, then back elsewhere: a new piece of trail,
    // not a chord from where it was.
    at("12:03:20.00", 40);
    const SignalTrails::Trail& trail = page.Trails().Trails().at(gps5);
    ASSERT_EQ(trail.size(), 4u);
    EXPECT_TRUE(trail.back().gapBefore);
    const SignalsPageLayout layout = page.Layout(page.size());
    EXPECT_EQ(layout.trails.size(), 7u * 2u);
    const PixelPoint after = AzElToPoint(layout.sky, trail.back().azimuth, trail.back().elevation);
    for (const SignalsTrailSegment& segment : layout.trails)
        EXPECT_FALSE(segment.to == after) << "joined across the gap";

    // Midnight without a date: the day goes on, the trails stay.
    const auto undated = [&](const std::string& time, int azimuthShift) {
        snapshot = Epoch(azimuthShift);
        snapshot.time = time;
        snapshot.date.reset();
        page.UpdateFromSnapshot();
    };
    page.Restart();
    undated("23:59:58.00", 42);
    undated("00:00:08.00", 44);
    EXPECT_EQ(page.Trails().Trails().at(gps5).size(), 2u);

    page.Restart();
    const SignalsPageLayout restarted = page.Layout(page.size());
    EXPECT_TRUE(page.Trails().Trails().empty());
    EXPECT_TRUE(restarted.marks.empty() && restarted.bars.empty() && restarted.trails.empty());
    EXPECT_EQ(restarted.info[0].text.text, "Date -   Time -");
}

TEST(ReceiverSeconds, FromTheSnapshotsTimeAndDate)
{
    GnssSnapshot s;
    EXPECT_FALSE(ReceiverSeconds(s));
    s.time = "12:34:56.25";
    EXPECT_EQ(ReceiverSeconds(s), 45296.25);
    s.date = GnssDate{1970, 1, 2};
    EXPECT_EQ(ReceiverSeconds(s), 86400.0 + 45296.25);
    s.date = GnssDate{2026, 12, 9};
    EXPECT_EQ(ReceiverSeconds(s), 20796.0 * 86400.0 + 45296.25);
    s.time = "12:3x:56";
    EXPECT_FALSE(ReceiverSeconds(s));
    // A receiver that sends no RMC or ZDA: the GGA's time of day, undated.
    GnssSnapshot ggaOnly;
    ggaOnly.fixTime = "23:59:59.5";
    ggaOnly.date = GnssDate{2026, 12, 9};
    EXPECT_EQ(ReceiverSeconds(ggaOnly), 86399.5);
    EXPECT_FALSE(ReceiverSecondsDated(ggaOnly));
}

}  // namespace

namespace {

int CellNumber(const QTableWidget& table, int row, int column) { return table.item(row, column)->data(Qt::DisplayRole).toInt(); }

// Every shown signal in a table that sorts by the heading clicked and keeps
// that order as fixes come; a bar or a mark tells its signal as a tooltip.
TEST_F(SignalsPageRender, SatelliteTableSortsAndTipsNameTheSignal)
{
    page.resize(1100, 700);
    page.UpdateFromSnapshotAt(0.0);
    QTableWidget* table = page.SatelliteTable();
    ASSERT_NE(table, nullptr);
    ASSERT_FALSE(table->isHidden());
    const SignalsPageLayout layout = page.Layout(page.size());
    EXPECT_EQ(table->geometry(), ToQRect(layout.satelliteTable));
    ASSERT_EQ(table->rowCount(), 9);
    EXPECT_EQ(table->item(0, 0)->text(), "GPS");

    // C/N0, twice: strongest first.
    QHeaderView* header = table->horizontalHeader();
    const QPoint cnr(header->sectionViewportPosition(5) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cnr);
    if (CellNumber(*table, 0, 5) != 47)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, cnr);
    EXPECT_EQ(CellNumber(*table, 0, 5), 47);
    EXPECT_EQ(table->item(0, 0)->text(), "Galileo");
    EXPECT_EQ(CellNumber(*table, 0, 1), 12);
    page.UpdateFromSnapshotAt(5.0);
    EXPECT_EQ(CellNumber(*table, 0, 5), 47) << "the order chosen stays";
    EXPECT_EQ(table->item(table->rowCount() - 1, 5)->text(), "-") << "GPS 29 without a C/N0 comes last";
    EXPECT_EQ(CellNumber(*table, table->rowCount() - 2, 5), 20);

    // Tooltips over the first bar and over Galileo 12's mark.
    const SignalsBar& first = layout.bars.front();
    const QPoint overBar((first.slot.left + first.slot.right) / 2, first.slot.bottom - 3);
    const std::string barTip = TipAt(layout, overBar.x(), overBar.y());
    EXPECT_EQ(barTip.rfind("GPS 5 L1 C/A: elevation 40\xc2\xb0, azimuth 100\xc2\xb0, C/N0 44 dB-Hz, used", 0), 0u) << barTip;
    QHelpEvent help(QEvent::ToolTip, overBar, page.mapToGlobal(overBar));
    QApplication::sendEvent(&page, &help);
    EXPECT_EQ(QToolTip::text().toStdString(), barTip);
    QToolTip::hideText();
    for (const SignalsSkyMark& mark : layout.marks)
        if (mark.system == GnssSystem::Galileo && mark.label.text == "E12") {
            EXPECT_NE(TipAt(layout, mark.point.x, mark.point.y).find("Galileo 12"), std::string::npos);
            EXPECT_NE(TipAt(layout, mark.point.x, mark.point.y).find("C/N0 47 dB-Hz, used"), std::string::npos);
        }
    EXPECT_EQ(TipAt(layout, 1, 1), "");
}

// Compass letters inside the horizon; the two bands of GPS 5 under one
// number, told apart by their fill; sky labels that never cover each other.
TEST_F(SignalsPageRender, CompassBandsAndLabelsReadable)
{
    page.resize(800, 500);
    page.UpdateFromSnapshotAt(0.0);
    const QImage image = page.RenderPage();
    SavePage(image, "signals_800x500");
    const SignalsPageLayout layout = page.Layout(page.size());
    ASSERT_EQ(layout.compass.size(), 4u);
    QColor bg, fg;
    GetPageColors(bg, fg);
    const char* letters[] = {"N", "E", "S", "W"};
    for (size_t i = 0; i < 4; ++i) {
        const SignalsText& letter = layout.compass[i];
        EXPECT_EQ(letter.text, letters[i]);
        EXPECT_TRUE(layout.sky.square.Contains(letter.box.left, letter.box.top)) << letter.text;
        int inked = 0;
        for (int y = letter.box.top; y < letter.box.bottom; ++y)
            for (int x = letter.box.left; x < letter.box.right; ++x)
                inked += image.pixelColor(x, y) != bg ? 1 : 0;
        EXPECT_GT(inked, 3) << letter.text;
    }
    // GPS 5 on L1 and L5: the number once over both bars, each band's name.
    ASSERT_GE(layout.bars.size(), 2u);
    EXPECT_EQ(layout.bars[0].band, 0);
    EXPECT_EQ(layout.bars[1].band, 1);
    ASSERT_TRUE(layout.bars[0].number);
    EXPECT_FALSE(layout.bars[1].number);
    EXPECT_EQ(layout.bars[0].number->text, "5");
    EXPECT_GT(layout.bars[0].number->box.right, layout.bars[0].slot.right - 1) << "centred over both bars";
    for (size_t i = 0; i < layout.marks.size(); ++i)
        for (size_t j = 0; j < layout.marks.size(); ++j) {
            if (!layout.marks[i].labelled)
                continue;
            const PixelRect& a = layout.marks[i].label.box;
            const PixelRect& b = j == i ? PixelRect{} : layout.marks[j].symbol;
            EXPECT_FALSE(j != i && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                << layout.marks[i].label.text << " covers " << layout.marks[j].label.text;
            if (j > i && layout.marks[j].labelled) {
                const PixelRect& c = layout.marks[j].label.box;
                EXPECT_FALSE(a.left < c.right && c.left < a.right && a.top < c.bottom && c.top < a.bottom)
                    << layout.marks[i].label.text << " over " << layout.marks[j].label.text;
            }
        }
}

// Many satellites in a narrow page: numbers are thinned by one stride for
// every system, so each system keeps labels (three-digit QZSS numbers too),
// and no two labels touch.
TEST(SignalsPageLayout, NumbersThinnedEvenlyAcrossSystems)
{
    GnssSnapshot many;
    const std::pair<GnssSystem, std::pair<int, int>> systems[] = {
        {GnssSystem::GPS, {1, 32}}, {GnssSystem::GLONASS, {65, 88}}, {GnssSystem::Galileo, {1, 36}},
        {GnssSystem::BeiDou, {1, 40}}, {GnssSystem::QZSS, {193, 202}},
    };
    for (const auto& [system, range] : systems)
        for (int n = range.first; n <= range.second; ++n)
            many.satellites.push_back({system, n, 1, 30, n * 7 % 360, 30 + n % 20, n % 3 == 0});
    const auto measure = [](std::string_view text) { return TextExtent{static_cast<int>(text.size()) * 7, 13}; };
    const SignalsPageLayout layout = LayoutSignalsPage({0, 0, 800, 500}, many, SignalsFilter{}, SignalTrails{}, 0.0, measure);
    ASSERT_EQ(layout.bars.size(), many.satellites.size());
    std::set<GnssSystem> labelled;
    int lastRight = -1000, labels = 0;
    for (const SignalsBar& bar : layout.bars)
        if (bar.number) {
            labelled.insert(bar.system);
            EXPECT_GE(bar.number->box.left, lastRight + 3) << bar.number->text;
            lastRight = bar.number->box.right;
            ++labels;
        }
    EXPECT_EQ(labelled.size(), std::size(systems));
    EXPECT_GT(labels, static_cast<int>(layout.bars.size()) / 6);
}

}  // namespace
