#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

#include "kit/command_actions.h"
#include "kit/page_look.h"
#include "kit/page_menus.h"
#include "kit/page_painting.h"
#include "displays/scatter_plot_mapping.h"
#include "displays/scatter_plot_wnd.h"
#include "kit/tests/page_test_support.h"

namespace {

const QColor kGood(128, 128, 255);
const QColor kBad(255, 128, 128);
const QColor kLatest(255, 255, 128);
const QColor kAverage(0, 128, 0);

constexpr double kLat = 47.0;
constexpr double kLon = 8.0;
// Degrees per metre near (47, 8).
constexpr double kLatPerMetre = 1.0 / 111200.0;
constexpr double kLonPerMetre = 1.0 / 75900.0;

class ScatterPlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentAppLook(kLookOffice2007Black);
        page.resize(1000, 600);
    }
    void TearDown() override { SetCurrentAppLook(kLookOffice2007Black); }

    PixelPoint Where(double lat, double lon) const
    {
        const PlotMapping m = ComputeMapping(page.Model().Bounds(), page.width(), page.height());
        return MapToPixel(m, MakeScatterPlotPosition(lat, lon));
    }

    void Mouse(QEvent::Type type, int x, int y)
    {
        QMouseEvent event(type, QPointF(x, y), page.mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&page, &event);
    }

    void Wheel(int delta)
    {
        QWheelEvent event(QPointF(500, 300), page.mapToGlobal(QPointF(500, 300)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&page, &event);
    }

    ScatterPlotWnd page;
};

TEST_F(ScatterPlot, BeforeTheFirstFix)
{
    const QImage image = page.RenderPage();
    SavePage(image, QStringLiteral("scatter_empty_black"));
    const QColor fg(192, 192, 192);
    EXPECT_EQ(PixelAt(image, 10, 300), fg) << "cross hair, horizontal";
    EXPECT_EQ(PixelAt(image, 500, 590), fg) << "cross hair, vertical";
    EXPECT_EQ(page.Model().Samples().size(), 0u);
}

TEST_F(ScatterPlot, SamplesInTheGoodAndTheBadColour)
{
    page.SetDopThreshold(200);
    page.AddSample(kLat, kLon, 400.0, 1.0, 1.0);  // the centre
    const double goodLat = kLat + 20 * kLatPerMetre;
    const double badLon = kLon + 30 * kLonPerMetre;
    page.AddSample(goodLat, kLon, 400.0, 2.0, 1.0);   // at the threshold: good
    page.AddSample(kLat, badLon, 400.0, 2.05, 1.0);  // above: bad
    page.AddSample(kLat - 25 * kLatPerMetre, kLon - 25 * kLonPerMetre, 400.0, 1.5, 1.0);
    page.SetAveragePosition(kLat + 10 * kLatPerMetre, kLon - 10 * kLonPerMetre);
    const QImage image = page.RenderPage();

    const PixelPoint good = Where(goodLat, kLon);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            EXPECT_EQ(PixelAt(image, good.x + dx, good.y + dy), kGood) << dx << "," << dy;
    EXPECT_NE(PixelAt(image, good.x + 2, good.y), kGood);
    EXPECT_NE(PixelAt(image, good.x, good.y - 2), kGood);

    const PixelPoint bad = Where(kLat, badLon);
    EXPECT_EQ(PixelAt(image, bad), kBad);
    EXPECT_EQ(PixelAt(image, bad.x + 1, bad.y + 1), kBad);
    EXPECT_EQ(PixelAt(image, bad.x - 1, bad.y - 1), kBad);

    // Circles of 21 pixels around the latest sample and the average.
    const PixelPoint latest = Where(kLat - 25 * kLatPerMetre, kLon - 25 * kLonPerMetre);
    EXPECT_EQ(PixelAt(image, latest.x - 10, latest.y), kLatest);
    EXPECT_EQ(PixelAt(image, latest.x + 10, latest.y), kLatest);
    EXPECT_NE(PixelAt(image, latest.x + 11, latest.y), kLatest);
    const PixelPoint average = Where(kLat + 10 * kLatPerMetre, kLon - 10 * kLonPerMetre);
    EXPECT_EQ(PixelAt(image, average.x - 10, average.y), kAverage);
    EXPECT_EQ(PixelAt(image, average.x - 9, average.y), kAverage) << "two pixels wide";
    EXPECT_EQ(PixelAt(image, average.x, average.y + 10), kAverage);
    EXPECT_NE(PixelAt(image, average.x - 8, average.y), kAverage);
}

TEST_F(ScatterPlot, NewerSamplesCoverOlderOnes)
{
    page.AddSample(kLat, kLon, 0.0, 9.0, 1.0);  // bad, then good on the same spot
    page.AddSample(kLat, kLon, 0.0, 1.0, 1.0);
    page.AddSample(kLat + 5 * kLatPerMetre, kLon, 0.0, 1.0, 1.0);  // good, then bad
    page.AddSample(kLat + 5 * kLatPerMetre, kLon, 0.0, 9.0, 1.0);
    const QImage image = page.RenderPage();
    EXPECT_EQ(PixelAt(image, Where(kLat, kLon)), kGood);
    EXPECT_EQ(PixelAt(image, Where(kLat + 5 * kLatPerMetre, kLon)), kBad);
}

TEST_F(ScatterPlot, RingsAroundTheWindowCentre)
{
    page.AddSample(kLat, kLon, 0.0, 1.0, 1.0);
    const QImage image = page.RenderPage();
    const QColor fg(192, 192, 192);
    const PlotMapping m = ComputeMapping(page.Model().Bounds(), 1000, 600);
    int drawn = 0;
    for (const RangeRing& ring : RangeRings(m, 18)) {
        if (!ring.drawn)
            continue;
        ++drawn;
        // The ring's leftmost pixels, just above the cross hair, and the
        // background just inside them.
        EXPECT_EQ(PixelAt(image, ring.box.left, 298), fg) << ring.metres;
        EXPECT_NE(PixelAt(image, ring.box.left + 3, 298), fg) << ring.metres;
    }
    EXPECT_EQ(drawn, 6) << "5 to 100 m at the default range";
    SavePage(image, QStringLiteral("scatter_rings_black"));
}

TEST_F(ScatterPlot, ZoomingFarOutNeverFaults)
{
    // Three thousand steps out take the range past the circumference of the
    // earth; bounds, rings and samples must stay sound all the way.
    page.AddSample(kLat, kLon, 0.0, 1.0, 1.0);
    for (int i = 0; i < 3000; ++i)
        Wheel(-120);
    EXPECT_GT(page.Model().RangeMetres(), 2.9e7);
    EXPECT_EQ(page.RenderPage().size(), QSize(1000, 600));

    ScatterPlotWnd pole;
    pole.resize(800, 600);
    pole.AddSample(90.0, 0.0, 0.0, 1.0, 1.0);
    pole.AddSample(89.9999, 0.0, 0.0, 1.0, 1.0);
    EXPECT_EQ(pole.RenderPage().size(), QSize(800, 600));
}

TEST_F(ScatterPlot, WheelZoomsOneStepPerEvent)
{
    Wheel(-120);
    EXPECT_EQ(page.Model().RangeMetres(), 120.0);
    Wheel(-960);
    EXPECT_EQ(page.Model().RangeMetres(), 140.0);
    Wheel(360);
    EXPECT_EQ(page.Model().RangeMetres(), 120.0);
    Wheel(0);
    EXPECT_EQ(page.Model().RangeMetres(), 120.0);
}

TEST_F(ScatterPlot, ZoomButtons)
{
    page.RenderPage();  // the buttons exist once painted
    struct {
        const char* what;
        PixelPoint press, release;
        double range;
    } const cases[] = {
        {"click +", {970, 20}, {970, 20}, 80.0},
        {"click -", {970, 80}, {970, 80}, 100.0},
        {"press +, release over -", {970, 20}, {970, 80}, 120.0},
        {"press -, release over +", {970, 80}, {970, 20}, 100.0},
        {"press +, release elsewhere", {970, 20}, {500, 300}, 100.0},
        {"press elsewhere, release over +", {500, 300}, {970, 20}, 100.0},
    };
    for (const auto& c : cases) {
        Mouse(QEvent::MouseButtonPress, c.press.x, c.press.y);
        Mouse(QEvent::MouseButtonRelease, c.release.x, c.release.y);
        EXPECT_EQ(page.Model().RangeMetres(), c.range) << c.what;
        EXPECT_EQ(page.PressedButton(), 0) << c.what;
    }
}

TEST_F(ScatterPlot, DoubleClickOnAButtonZoomsTwice)
{
    page.RenderPage();
    Mouse(QEvent::MouseButtonPress, 960, 90);
    Mouse(QEvent::MouseButtonRelease, 960, 90);
    Mouse(QEvent::MouseButtonDblClick, 960, 90);
    Mouse(QEvent::MouseButtonRelease, 960, 90);
    EXPECT_EQ(page.Model().RangeMetres(), 140.0);
}

TEST_F(ScatterPlot, HeldButtonIsFilledWhiteUntilThePointerLeaves)
{
    const QColor white(255, 255, 255);
    QImage image = page.RenderPage();
    EXPECT_NE(PixelAt(image, 960, 30), white);
    EXPECT_EQ(PixelAt(image, 955, 30), QColor(192, 192, 192)) << "button outline";
    EXPECT_EQ(PixelAt(image, 994, 30), QColor(192, 192, 192));

    Mouse(QEvent::MouseButtonPress, 970, 20);
    EXPECT_EQ(page.PressedButton(), kCmdZoomIn);
    image = page.RenderPage();
    EXPECT_EQ(PixelAt(image, 960, 30), white);
    EXPECT_NE(PixelAt(image, 960, 90), white);

    Mouse(QEvent::MouseMove, 975, 25);  // still over the button
    EXPECT_EQ(page.PressedButton(), kCmdZoomIn);
    Mouse(QEvent::MouseMove, 800, 25);
    EXPECT_EQ(page.PressedButton(), 0);
    EXPECT_NE(PixelAt(page.RenderPage(), 960, 30), white);

    Mouse(QEvent::MouseButtonPress, 970, 80);
    EXPECT_EQ(page.PressedButton(), kCmdZoomOut);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&page, &leave);
    EXPECT_EQ(page.PressedButton(), 0);
}

TEST_F(ScatterPlot, ContextMenuNeedsAMenuId)
{
    CommandActions commands;
    page.SetCommandActions(&commands);
    page.show();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 40), page.mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(&page, &event);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(ScatterPlot, ContextMenuItemsAndIds)
{
    CommandActions commands;
    page.SetCommandActions(&commands);
    page.SetContextMenuId(kScatterPlotMenuId);
    page.move(50, 40);
    page.show();

    QList<int> ids;
    QStringList texts;
    QPoint shownAt;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        shownAt = menu->pos();
        for (QAction* a : menu->actions()) {
            ids << CommandId(a);
            texts << a->text();
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(500, 300), page.mapToGlobal(QPoint(500, 300)));
    QApplication::sendEvent(&page, &event);
    EXPECT_EQ(shownAt, page.mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(ids, (QList<int>{32820, 32818, 32821, 0, 32796}));
    EXPECT_EQ(texts, (QStringList{"Center Next Position Sample", "Center On Average", "Center To User Position...",
                                  "", "&Clear Plot"}));
}

TEST_F(ScatterPlot, BlueLookWithADayOfSamples)
{
    SetCurrentAppLook(kLookOffice2007Blue);
    page.SetDopThreshold(150);
    // A wandering fix: a slow circle with noise, every tenth above the threshold.
    for (int i = 0; i < 3000; ++i) {
        const double a = i * 0.01;
        const double r = 15.0 + 10.0 * std::sin(i * 0.137);
        page.AddSample(kLat + r * std::cos(a) * kLatPerMetre, kLon + r * std::sin(a) * kLonPerMetre, 400.0,
                       i % 10 == 0 ? 2.5 : 1.0, 1.5);
    }
    page.SetAveragePosition(kLat + 2 * kLatPerMetre, kLon + 1 * kLonPerMetre);
    const QImage image = page.RenderPage();
    SavePage(image, QStringLiteral("scatter_samples_blue"));
    EXPECT_GT(CountColor(image, {0, 0, 1000, 600}, kGood), 500);
    EXPECT_GT(CountColor(image, {0, 0, 1000, 600}, kBad), 50);

    SetCurrentAppLook(kLookOffice2007Black);
    SavePage(page.RenderPage(), QStringLiteral("scatter_samples_black"));
}

TEST_F(ScatterPlot, PaintCopiesTheRenderedPage)
{
    page.AddSample(kLat, kLon, 0.0, 1.0, 1.0);
    const QImage grabbed = page.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(grabbed, page.RenderPage());
}

}  // namespace
