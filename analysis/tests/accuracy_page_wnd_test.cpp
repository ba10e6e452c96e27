#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <filesystem>
#include <random>

#include "analysis/accuracy_json.h"
#include "analysis/accuracy_page_wnd.h"
#include "analysis/tests/page_test_support.h"
#include "kit/fonts.h"
#include "kit/page_look.h"
#include "kit/page_shapes.h"
#include "kit/page_painting.h"

namespace {

// A receiver near its user position with HPLs around its errors and an RTK
// phase: every region of the diagram gets epochs.
void FeedSession(AccuracyPageWnd& page, int fixes)
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
    AccuracyPageWnd page;
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
    AccuracyPageWnd page;
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
    // The picture shows the exact figures of the JSON, not the live page's.
    const AccuracyReport exact = page.Tracker().ExactReport();
    const QImage exported(base + ".png");
    EXPECT_EQ(exported.convertToFormat(QImage::Format_RGB32), page.Render(&exact));
    EXPECT_NE(exported.convertToFormat(QImage::Format_RGB32), page.Render());
    EXPECT_NE(page.ExportReport(QStringLiteral("/nonexistent/dir/report")), QString());
    std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

// At a small and the default size, in a dark and a light look, every text of
// the card stays inside its frame, the Stanford plot's notice inside the plot,
// the circles' names off the plot, and the fix count under the timeline on
// the page.
TEST(AccuracyPage, TextsStayInTheirFrames)
{
    UseTahoma();
    QFont bold = PageFont(QStringLiteral("Tahoma"), AccuracyPageGeometry::kFontPixels);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const auto width = [&](const std::string& text) { return metrics.horizontalAdvance(QString::fromStdString(text)); };
    const auto dir = std::filesystem::path(STELMAP_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(dir);

    AccuracyPageWnd withTruth, without;
    withTruth.SetUserPosition(47.0707, 15.4395, 353.0);
    FeedSession(withTruth, 70000);  // 131072 fixes at the timeline's end
    FeedSession(without, 300);
    // 796 x 380: the page itself in a window of 800 x 500.
    for (const QSize size : {QSize(796, 380), QSize(800, 500), QSize(1100, 700)})
        for (const int look : {kLookOffice2007Black, kLookOffice2007Blue})
            for (AccuracyPageWnd* page : {&withTruth, &without}) {
                SetCurrentAppLook(look);
                page->resize(size);
                const QImage image = page->Render();
                const AccuracyPageGeometry g = ComputeAccuracyPageGeometry(
                    size.width(), size.height(), page->Tracker(), "HFOM", nullptr, MeasureWith(metrics));
                const std::string name = std::to_string(size.width()) + "x" + std::to_string(size.height())
                    + (look == kLookOffice2007Black ? "_black" : "_blue") + (page == &withTruth ? "" : "_no_truth");
                EXPECT_TRUE(image.save(QString::fromStdString((dir / ("accuracy_" + name + ".png")).string())));
                for (const AccuracyPageGeometry::Text& t : g.cardLines)
                    EXPECT_LE(t.at.x + width(t.text), g.card.right - 1) << name << ": " << t.text;
                for (const AccuracyPageGeometry::Text& t : g.labels) {
                    EXPECT_LE(t.at.x + width(t.text), size.width()) << name << ": " << t.text;
                    if (t.text.find("integrity") != std::string::npos || t.text.find("No user") != std::string::npos
                        || t.text == "position:") {
                        EXPECT_GE(t.at.x, g.stanfordPlot.left) << name;
                        EXPECT_LE(t.at.x + width(t.text), g.stanfordPlot.right) << name << ": " << t.text;
                        EXPECT_GE(t.at.y, g.stanfordPlot.top) << name;
                        EXPECT_LE(t.at.y + AccuracyPageGeometry::kLineHeight, g.stanfordPlot.bottom) << name;
                    }
                }
                EXPECT_EQ(page == &without, std::any_of(g.labels.begin(), g.labels.end(), [](const auto& l) {
                              return l.text.find("integrity") != std::string::npos;
                          })) << name;
                if (page == &withTruth)
                    EXPECT_TRUE(std::any_of(g.labels.begin(), g.labels.end(),
                                            [](const auto& l) { return l.text == "131072 fixes"; }))
                        << name;
                // The region names in the Stanford plot never cover each other,
                // nor the scale's labels the colour key.
                std::vector<QRect> boxes;
                for (const AccuracyPageGeometry::Text& t : g.labels)
                    if (t.boxed)
                        boxes.emplace_back(t.at.x, t.at.y, width(t.text), AccuracyPageGeometry::kLineHeight);
                for (const AccuracyPageGeometry::Text& t : g.labels) {
                    const QRect text(t.at.x, t.at.y, width(t.text), metrics.height());
                    for (const AccuracyPageGeometry::Cell& key : g.stanfordLegend)
                        EXPECT_FALSE(text.intersects(QRect(key.rect.left, key.rect.top, key.rect.Width(), key.rect.Height())))
                            << name << ": " << t.text;
                }
                for (size_t i = 0; i < boxes.size(); ++i)
                    for (size_t j = i + 1; j < boxes.size(); ++j)
                        EXPECT_FALSE(boxes[i].intersects(boxes[j])) << name << ": labels " << i << " and " << j;
                // Nor does the colour key cover the title.
                for (const AccuracyPageGeometry::Cell& key : g.stanfordLegend)
                    EXPECT_TRUE(key.rect.top > g.stanfordPlot.bottom
                                || key.rect.left > g.stanfordPlot.left - 44 + width("Stanford diagram: HErr across, HPL up"))
                        << name;
                for (const AccuracyPageGeometry::Circle& c : g.circles) {
                    EXPECT_LE(c.labelAt.x + width(c.label), g.scatterPlot.left) << name << ": " << c.label;
                    EXPECT_GE(c.labelAt.x, 0) << name << ": " << c.label;
                }
            }
    SetCurrentAppLook(kLookOffice2007Black);
}

TEST(AccuracyPage, MarksWhereTheFixQualityChangesAndTimesFromTheFirstCorrection)
{
    UseTahoma();
    AccuracyPageWnd page;
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
