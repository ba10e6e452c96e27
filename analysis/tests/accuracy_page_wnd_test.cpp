#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <filesystem>
#include <random>

#include "analysis/accuracy_json.h"
#include "analysis/accuracy_page_wnd.h"
#include "analysis/tests/page_test_support.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"

namespace {

// A receiver near its user position with HPLs around its errors and an RTK
// phase: every region of the diagram gets epochs.
void FeedSession(CAccuracyWnd& page, int fixes)
{
    std::mt19937 random(5);
    std::normal_distribution<double> metres(0.0, 12.0);
    std::uniform_int_distribution<int> hplCm(500, 6000);
    for (int i = 0; i < fixes; ++i)
        page.OnPositionUpdate(i < fixes / 2 ? 1 : 4, 47.0707 + metres(random) / 111200.0,
                              15.4395 + metres(random) / 75900.0, 353.0 + metres(random), hplCm(random), 1200);
}

TEST(AccuracyPage, PaintsWhatTheGeometrySays)
{
    UseTahoma();
    CAccuracyWnd page;
    page.resize(1200, 800);
    page.SetUserPosition(47.0707, 15.4395, 353.0);
    FeedSession(page, 20000);
    const auto dir = std::filesystem::path(STELMAP_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(dir);
    for (const int look : {kLookOffice2007Black, kLookOffice2007Blue}) {
        SetCurrentAppLook(look);
        const QImage image = page.Render();
        const AccuracyPageGeometry g = ComputeAccuracyPageGeometry(1200, 800, page.Tracker(), "HFOM");
        QColor background, text;
        GetPageColors(background, text);

        // The most crowded Stanford cell is red, the emptiest blue.
        ASSERT_FALSE(g.stanfordCells.empty());
        for (const AccuracyPageGeometry::Cell& cell : g.stanfordCells) {
            if (cell.rect.Contains(g.alertLimitAcross.from.x, cell.rect.top)
                || cell.rect.Contains(cell.rect.left, g.alertLimitUp.from.y))
                continue;  // under a limit line
            const bool underLabel = std::any_of(g.labels.begin(), g.labels.end(), [&](const auto& l) {
                return cell.rect.left >= l.at.x - 3 && cell.rect.left < l.at.x + 130 && cell.rect.bottom > l.at.y
                    && cell.rect.top < l.at.y + AccuracyPageGeometry::kLineHeight;
            });
            if (underLabel)
                continue;
            const QColor shown = Pixel(image, cell.rect.left, cell.rect.bottom - 1);
            if (shown != text) {  // the diagonal crosses some
                EXPECT_EQ(shown, StanfordCellColor(cell.shade)) << cell.rect.left << "," << cell.rect.top;
            }
        }
        // A quarter up the diagonal, in the text colour.
        const PixelPoint quarter{g.diagonal.from.x + (g.diagonal.to.x - g.diagonal.from.x) / 4,
                                 g.diagonal.from.y + (g.diagonal.to.y - g.diagonal.from.y) / 4};
        EXPECT_EQ(Pixel(image, quarter.x, quarter.y), text);
        // The h95 and 2DRMS circles cross the east axis at their radius.
        for (const size_t circle : {size_t{1}, size_t{2}}) {
            const AccuracyPageGeometry::Circle& c = g.circles[circle];
            EXPECT_EQ(Pixel(image, c.centre.x, c.centre.y - c.radius), AccuracyCircleColor(circle)) << c.label;
        }
        // Between the panels, the look's own page background.
        QImage plain(1200, 800, QImage::Format_RGB32);
        QPainter painter(&plain);
        FillPageBackground(painter, plain.rect());
        painter.end();
        EXPECT_EQ(Pixel(image, g.card.right + 3, 400), Pixel(plain, g.card.right + 3, 400));
        const std::string name = look == kLookOffice2007Black ? "accuracy_black.png" : "accuracy_blue.png";
        EXPECT_TRUE(image.save(QString::fromStdString((dir / name).string())));
    }
}

TEST(AccuracyPage, ExportWritesThePictureAndTheCliReport)
{
    CAccuracyWnd page;
    page.resize(600, 400);
    FeedSession(page, 50);
    const auto dir = std::filesystem::temp_directory_path() / "stelmap_accuracy_export";
    std::filesystem::create_directories(dir);
    const QString base = QString::fromStdString((dir / "report").string());
    EXPECT_EQ(page.ExportReport(base), QString());
    EXPECT_EQ(QImage(base + ".png").size(), QSize(600, 400));
    QFile json(base + ".json");
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    EXPECT_EQ(json.readAll().toStdString(), AccuracyReportToJson(page.Tracker().ExactReport()) + "\n");
    EXPECT_NE(page.ExportReport(QStringLiteral("/nonexistent/dir/report")), QString());
    std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

TEST(AccuracyPage, MarksWhereTheFixQualityChangesAndTimesFromTheFirstCorrection)
{
    UseTahoma();
    CAccuracyWnd page;
    page.resize(1200, 800);
    // 100 single fixes, corrections begin, 100 float, 100 fixed, 56 single.
    const int qualities[] = {1, 5, 4, 1};
    const int counts[] = {100, 100, 100, 56};
    for (int phase = 0; phase < 4; ++phase) {
        if (phase == 1)
            page.MarkCorrectionsStarted();
        for (int i = 0; i < counts[phase]; ++i)
            page.OnPositionUpdate(qualities[phase], 47.0707 + i * 1e-7, 15.4395, 353.0, 0, 150);
    }
    const AccuracyPageGeometry g = ComputeAccuracyPageGeometry(1200, 800, page.Tracker(), "HFOM");
    // One fix a column's 512th of the plot's width.
    const auto at = [&](int fix) { return g.timelinePlot.left + fix * g.timelinePlot.Width() / ErrorTimeline::kBuckets; };
    ASSERT_EQ(g.qualityMarks.size(), 3u);
    EXPECT_EQ(g.qualityMarks[0], (AccuracyPageGeometry::QualityMark{at(100), 5}));
    EXPECT_EQ(g.qualityMarks[1], (AccuracyPageGeometry::QualityMark{at(200), 4}));
    EXPECT_EQ(g.qualityMarks[2], (AccuracyPageGeometry::QualityMark{at(300), 1}));
    const auto line = [&](const std::string& label) {
        return std::find_if(g.cardLines.begin(), g.cardLines.end(), [&](const auto& t) { return t.text == label; }) != g.cardLines.end();
    };
    EXPECT_TRUE(line("To float (RTCM)"));
    EXPECT_TRUE(line("To fixed (RTCM)"));
    ASSERT_TRUE(page.Tracker().CorrectionsToFloat());
    EXPECT_GE(*page.Tracker().CorrectionsToFloat(), 0.0);

    // Each mark is a dashed grey line down its column.
    const QImage image = page.Render();
    for (const AccuracyPageGeometry::QualityMark& m : g.qualityMarks) {
        int grey = 0;
        for (int y = g.timelinePlot.top + 20; y < g.timelinePlot.bottom - 20; ++y)
            grey += Pixel(image, m.x, y) == AccuracyQualityMarkColor() ? 1 : 0;
        EXPECT_GT(grey, (g.timelinePlot.Height() - 40) / 3) << m.x;
        EXPECT_NE(Pixel(image, m.x + 3, g.timelinePlot.top + g.timelinePlot.Height() / 2), AccuracyQualityMarkColor());
    }
    const auto dir = std::filesystem::path(STELMAP_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(image.save(QString::fromStdString((dir / "accuracy_quality_marks.png").string())));
}

}  // namespace
