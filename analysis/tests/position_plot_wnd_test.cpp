#include <gtest/gtest.h>

#include "tests/corpus_location.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <filesystem>

#include "kit/command_actions.h"
#include "analysis/tests/page_test_support.h"
#include "analysis/position_plot_wnd.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"

namespace {

class PositionPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseTahoma();
        m_look = CurrentAppLook();
        SetCurrentAppLook(kLookOffice2007Black);
        page.resize(1200, 800);
    }
    void TearDown() override { SetCurrentAppLook(m_look); }

    // The plot area of plot `i` (0 latitude ... 3 horizontals).
    PlotRect PlotArea(int i) const
    {
        const PositionPageLayout l = ComputePositionPageLayout(page.width(), page.height());
        return ComputePlotLayout(l.plots[static_cast<size_t>(i)], 7, 15).plot;
    }

    static bool Holds(const QImage& image, const PlotRect& r, const QColor& color)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Pixel(image, x, y) == color)
                    return true;
        return false;
    }

    CommandActions commands;
    PositionPlotWnd page{commands};
    int m_look = 0;
};

const QColor kGrid(96, 96, 96);

TEST_F(PositionPage, EmptyPageShowsFramesTextBoxAndNoSeries)
{
    const QImage image = page.Render();
    const QColor text(192, 192, 192);
    // The text box's rounded frame from x 9 to 399, y 9 to 790.
    EXPECT_EQ(Pixel(image, 200, 9), text);
    EXPECT_EQ(Pixel(image, 200, 790), text);
    EXPECT_EQ(Pixel(image, 9, 400), text);
    EXPECT_EQ(Pixel(image, 399, 400), text);
    EXPECT_NE(Pixel(image, 9, 9), text);  // the corner is rounded off
    for (int i = 0; i < 4; ++i) {
        const PlotRect p = PlotArea(i);
        EXPECT_EQ(Pixel(image, p.left, (p.top + p.bottom) / 2), kGrid) << i;
        EXPECT_EQ(Pixel(image, p.right - 1, (p.top + p.bottom) / 2), kGrid) << i;
        EXPECT_EQ(Pixel(image, (p.left + p.right) / 2, p.top), kGrid) << i;
        EXPECT_EQ(Pixel(image, (p.left + p.right) / 2, p.bottom - 1), kGrid) << i;
        EXPECT_EQ(Pixel(image, (p.left + p.right) / 2, (p.top + p.bottom) / 2), QColor(0, 0, 0)) << i;
    }
    EXPECT_EQ(PlotArea(3).bottom, 789 - 19);
    // The space between the text box and the plots is page background, the
    // black look's grey gradient.
    const QColor gap = Pixel(image, 404, 400);
    EXPECT_EQ(gap.red(), gap.green());
    EXPECT_EQ(gap.red(), gap.blue());
    EXPECT_GT(gap.red(), 16);
    EXPECT_LT(gap.red(), 96);
}

TEST_F(PositionPage, SmallPageHasNoMargin)
{
    page.resize(300, 300);
    const QImage image = page.Render();
    const QColor text(192, 192, 192);
    EXPECT_EQ(Pixel(image, 0, 150), text);   // text box from x 0 ...
    EXPECT_EQ(Pixel(image, 99, 150), text);  // ... to 99
    EXPECT_EQ(PlotArea(0).left, 100 + 200 / 7);  // plots from x 100, 200 wide
    EXPECT_EQ(Pixel(image, PlotArea(0).left, 40), kGrid);
}

TEST_F(PositionPage, FixesShowUpInEveryPlot)
{
    page.SetUserPosition(52.0, 4.0, 0.0);
    for (int i = 0; i < 40; ++i)
        page.OnPositionUpdate(i % 10 == 0 ? 1 : 3000, 150, 52.0 + 1e-5 * (i % 7), 4.0 + 2e-5 * (i % 5), 10.0 + i % 3);
    const QImage image = page.Render();
    const QColor green(0, 255, 0), red(255, 0, 0), blue(192, 192, 255), magenta(255, 0, 255);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Holds(image, PlotArea(i), green)) << i;
        EXPECT_TRUE(Holds(image, PlotArea(i), red)) << i;
        EXPECT_TRUE(Holds(image, PlotArea(i), blue)) << i;
    }
    // Fixes 10, 20 and 30 have an HPL of 1 cm and lie metres away from the
    // user position; fix 0 lies on it.
    EXPECT_TRUE(Holds(image, PlotArea(3), magenta));
    EXPECT_EQ(page.Statistics().HplViolations(), 3);
    EXPECT_EQ(page.HorizontalsPlot().Series(kSeriesHplViolation).PointCount(), 3);
}

TEST_F(PositionPage, PaintingCopiesTheComposedImage)
{
    page.OnPositionUpdate(250, 120, 47.07, 15.44, 355.0);
    page.OnPositionUpdate(250, 120, 47.08, 15.45, 356.0);
    const QImage shown = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, page.Render());
}

TEST_F(PositionPage, ClearPlotsCommandByItsId)
{
    page.show();
    QContextMenuEvent keyboard(QContextMenuEvent::Keyboard, QPoint(-1, -1), page.mapToGlobal(QPoint(-1, -1)));
    QApplication::sendEvent(&page, &keyboard);
    auto* menu = page.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), page.mapToGlobal(QPoint(5, 5)));
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* clear = commands.Find(kCmdClearPositionPlots);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(menu->actions()[0], clear);
    EXPECT_EQ(clear->text(), "&Clear plots");
    menu->hide();

    // The main window asks first and then clears; here the clearing alone.
    QObject::connect(clear, &QAction::triggered, &page, &PositionPlotWnd::ClearPlots);
    page.SetUserPosition(1.0, 2.0, 3.0);
    page.OnPositionUpdate(250, 120, 47.07, 15.44, 355.0);
    ASSERT_EQ(page.Statistics().SampleCount(), 1u);
    EXPECT_TRUE(commands.Trigger(kCmdClearPositionPlots));
    EXPECT_EQ(page.Statistics().SampleCount(), 0u);
    EXPECT_EQ(page.Statistics().UserLatitude(), 1.0);
    EXPECT_TRUE(page.LatitudePlot().Series(kSeriesRaw).IsEmpty());
    EXPECT_FALSE(commands.Trigger(4242));

    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(30, 40), page.mapToGlobal(QPoint(30, 40)));
    QApplication::sendEvent(&page, &mouse);
    EXPECT_EQ(page.findChildren<QMenu*>().size(), 1);
    EXPECT_EQ(menu->pos(), page.mapToGlobal(QPoint(30, 40)));
    menu->hide();
}

// The strongest contrast a pixel of `region` has with the page background of
// its row: the core of a label's strokes when there is a label.
double BestContrast(const QImage& image, const PlotRect& region)
{
    const auto rgb = [&](int x, int y) {
        const QColor c = Pixel(image, x, y);
        return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
    };
    double best = 1.0;
    for (int y = region.top; y < region.bottom; ++y) {
        const Rgb background = rgb(image.width() - 2, y);  // the margin right of the plots
        for (int x = region.left; x < region.right; ++x)
            best = std::max(best, ContrastRatio(rgb(x, y), background));
    }
    return best;
}

TEST_F(PositionPage, LabelsAndLegendReadInEveryLook)
{
    page.SetUserPosition(52.0, 4.0, 0.0);
    for (int i = 0; i < 40; ++i)
        page.OnPositionUpdate(3000, 150, 52.0 + 1e-5 * (i % 7), 4.0 + 2e-5 * (i % 5), 10.0 + i % 3);
    const PositionPageLayout l = ComputePositionPageLayout(page.width(), page.height());
    for (int look = kFirstAppLook; look <= kLastAppLook; ++look) {
        SetCurrentAppLook(look);
        const QImage image = page.Render();
        for (int i : {0, 3}) {  // the top plot sits on the lightest band of the black look
            const PlotLayout p = ComputePlotLayout(l.plots[static_cast<size_t>(i)], 7, 15);
            // The x axis's tick labels: below the plot area, where nothing else is drawn.
            const PlotRect ticks{p.plot.left, p.plot.bottom, p.plot.right, l.plots[static_cast<size_t>(i)].bottom};
            const PlotRect legend{p.legend.left + 6 + p.legend.Width() / 10, p.legend.top, p.legend.right,
                                  p.legend.bottom};
            EXPECT_GE(BestContrast(image, ticks), kReadableContrast) << "tick labels, look " << look << " plot " << i;
            EXPECT_GE(BestContrast(image, legend), kReadableContrast) << "legend, look " << look << " plot " << i;
        }
        const PlotRect textBlock{l.textBox.left + 5, l.textBox.top + 1, l.textBox.right - 1, l.textBox.bottom - 1};
        EXPECT_GE(BestContrast(image, textBlock), kReadableContrast) << "text block, look " << look;
    }
}

TEST_F(PositionPage, TheFirstTextLineKeepsOffTheFrame)
{
    SetCurrentAppLook(kLookOffice2007Blue);
    const QColor text(64, 64, 128);
    for (const QSize size : {QSize(1200, 800), QSize(600, 400), QSize(1920, 1080)}) {
        page.resize(size);
        const PlotRect box = ComputePositionPageLayout(size.width(), size.height()).textBox;
        const QImage image = page.Render();
        // The first row below the frame that holds ink of the first label.
        int firstInk = -1;
        for (int y = box.top + 1; y < box.top + 40 && firstInk < 0; ++y)
            for (int x = box.left + 11; x < box.left + box.Width() / 4; ++x)  // right of the rounded corner
                if (ContrastRatio({static_cast<uint8_t>(Pixel(image, x, y).red()),
                                   static_cast<uint8_t>(Pixel(image, x, y).green()),
                                   static_cast<uint8_t>(Pixel(image, x, y).blue())},
                                  {64, 64, 128}) < 2.0) {
                    firstInk = y;
                    break;
                }
        EXPECT_GE(firstInk, box.top + 3) << size.width() << "x" << size.height() << ": ink against the frame";
        EXPECT_EQ(Pixel(image, (box.left + box.right) / 2, box.top), text) << "the frame itself is drawn";
    }
}

// Pictures of the page after a real recording, for a person to look at.
TEST_F(PositionPage, PicturesOfARecording)
{
    STELMAP_REQUIRE_CORPUS();
    const std::string path = std::string(STELMAP_CORPUS_DIR) + "/signalk/gps.log";
    // A user position near where the recording was made.
    page.SetUserPosition(52.3720, 4.9096, 0.0);
    const size_t fixes = FeedRecording(path, [&](const DisplaySnapshot& s) {
        page.OnPositionUpdate(s.hplCm, s.hfomCm, s.latitude, s.longitude, s.altitude);
    });
    ASSERT_EQ(fixes, 1202u);
    const auto dir = std::filesystem::path(STELMAP_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(dir);
    for (int look : {kLookOffice2007Black, kLookOffice2007Blue}) {
        SetCurrentAppLook(look);
        const QImage image = page.Render();
        EXPECT_TRUE(Holds(image, PlotArea(0), QColor(0, 255, 0)));
        // The text follows the look; the plot areas stay black on every look.
        EXPECT_EQ(Pixel(image, 200, 9), look == kLookOffice2007Black ? QColor(192, 192, 192) : QColor(64, 64, 128));
        EXPECT_EQ(Pixel(image, PlotArea(3).left + 2, PlotArea(3).top + 2), QColor(0, 0, 0));
        const std::string name = look == kLookOffice2007Black ? "position_plot_black.png" : "position_plot_blue.png";
        EXPECT_TRUE(image.save(QString::fromStdString((dir / name).string())));
    }
}

}  // namespace
