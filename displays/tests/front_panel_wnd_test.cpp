#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "kit/command_actions.h"
#include "displays/front_panel_geometry.h"
#include "displays/front_panel_status_wnd.h"
#include "kit/page_look.h"
#include "kit/page_menus.h"
#include "kit/page_painting.h"
#include "displays/sky_plot_geometry.h"
#include "kit/tests/page_test_support.h"

namespace {

DisplaySnapshot BusySky()
{
    DisplaySnapshot s;
    s.latitude = 47.3769123;
    s.longitude = -8.5417456;
    s.altitude = 408.25;
    s.gpsPdop = 1.8;
    s.gpsHdop = 0.9;
    s.gpsVdop = 1.5;
    s.glonassPdop = 2.1;
    s.glonassHdop = 1.1;
    s.glonassVdop = 1.7;
    s.satsInUse = 7;
    s.satsInView = 10;
    s.sbasSeen = 1;
    s.glonassSeen = 1;
    const SnapshotSatellite sats[] = {
        {0, 5, 45, 45, 44, 1},  {0, 12, 120, 30, 38, 1}, {0, 40, 200, 35, 30, 0}, {1, 70, 300, 70, 60, 1},
        {1, 71, 250, 15, 22, 0}, {0, 18, 20, 10, 12, 0},  {0, 25, 160, 60, 47, 1}, {0, 29, 85, 5, 0, 0},
        {1, 80, 330, 40, 41, 1}, {0, 2, 270, 25, 35, 1},
    };
    for (std::size_t i = 0; i < std::size(sats); ++i)
        s.satellites[i] = sats[i];
    return s;
}

class FrontPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentAppLook(kLookOffice2007Black);
        page.resize(1000, 600);
        page.SetSnapshotSource([this] { return snapshot; });
    }
    void TearDown() override { SetCurrentAppLook(kLookOffice2007Black); }

    // A few fixes in which the satellites move a little, for trails and mask.
    void FeedFixes(int count)
    {
        for (int fix = 0; fix < count; ++fix) {
            for (int i = 0; i < snapshot.satsInView; ++i) {
                snapshot.satellites[static_cast<std::size_t>(i)].azimuth += 1;
                if (fix % 4 == 0)
                    snapshot.satellites[static_cast<std::size_t>(i)].elevation += 1;
            }
            page.UpdateFromSnapshot();
        }
    }

    DisplaySnapshot snapshot = BusySky();
    FrontPanelStatusWnd page;
    const FrontPanelLayout layout = FrontPanelLayoutFor(1000, 600);
};

TEST_F(FrontPanel, SignalBarsFillToTheirLevelInTheirColour)
{
    page.UpdateFromSnapshot();
    const QImage image = page.RenderPage();
    const QColor bg(32, 32, 32);
    const QColor fg(192, 192, 192);
    // Ten bars of 98.8 pixels; bar 0 is GPS, used, SNR 44: filled from row 39.
    const PixelRect frame0{11, 11, 99, 147};
    EXPECT_EQ(PixelAt(image, frame0.left, 80), fg) << "frame outline";
    EXPECT_EQ(PixelAt(image, 30, 30), bg) << "empty part of the frame";
    EXPECT_EQ(PixelAt(image, 30, 38), bg);
    EXPECT_EQ(PixelAt(image, 30, 39), fg) << "top edge of the fill";
    EXPECT_EQ(PixelAt(image, 30, 100), QColor(0, 0, 128));
    EXPECT_EQ(PixelAt(image, 30, 145), QColor(0, 0, 128));
    EXPECT_EQ(PixelAt(image, 30, 146), fg) << "bottom edge";

    const SignalStrip strip = LayoutSignalStrip(layout.signalStrip, snapshot, [](std::string_view) {
        return TextExtent{10, 14};
    });
    struct {
        std::size_t bar;
        QColor fill;
    } const expected[] = {{2, {0, 128, 0}}, {3, {128, 0, 0}}, {4, {32, 0, 0}}, {5, {0, 0, 32}}};
    for (const auto& e : expected) {
        const SignalBar& bar = strip.bars[e.bar];
        ASSERT_FALSE(bar.fill.IsEmpty());
        EXPECT_EQ(PixelAt(image, bar.fill.left + 3, bar.fill.bottom - 2), e.fill) << e.bar;
        EXPECT_EQ(PixelAt(image, bar.fill.left + 3, bar.fill.top - 1), bg) << e.bar;
    }
    // The PRN 29 bar has no signal: nothing but background inside its frame.
    const SignalBar& silent = strip.bars[7];
    EXPECT_TRUE(silent.fill.IsEmpty());
    EXPECT_EQ(CountColor(image, {silent.frame.left + 1, silent.frame.top + 1, silent.frame.right - 1,
                                 silent.frame.bottom - 1}, bg),
              (silent.frame.Width() - 2) * (silent.frame.Height() - 2));
    SavePage(image, QStringLiteral("front_panel_black"));
}

TEST_F(FrontPanel, SnrNumberInWhiteOnlyWhereTheFillIsTallEnough)
{
    snapshot.satsInView = 2;
    snapshot.satellites[0] = {0, 5, 10, 10, 50, 1};
    snapshot.satellites[1] = {0, 6, 10, 10, 5, 1};
    const QImage image = page.RenderPage();
    const QColor white(255, 255, 255);
    // Bar 0 (SNR 50) starts at row 147 - 123 = 24; its number sits at the top of the fill.
    EXPECT_GT(CountColor(image, {11, 24, 500, 50}, white), 5);
    // Bar 1 (SNR 5) is 12 pixels high, less than the text: no number.
    EXPECT_EQ(CountColor(image, {500, 11, 990, 147}, white), 0);
}

TEST_F(FrontPanel, SkyPlotShowsUsedSatellitesWithTheirPicture)
{
    page.UpdateFromSnapshot();
    const QImage image = page.RenderPage();
    const SkyPlotSquare plot = FitSkyPlotSquare(layout.skyPlot);
    EXPECT_EQ(plot.square, (PixelRect{556, 200, 950, 594}));
    // PRN 5 at azimuth 45, elevation 45: picture centred on (822, 328).
    EXPECT_EQ(AzElToPoint(plot, 45, 45), (PixelPoint{822, 328}));
    EXPECT_EQ(PixelAt(image, 815 + 2, 321 + 6), QColor(255, 0, 0));
    EXPECT_EQ(PixelAt(image, 815 + 7, 321 + 6), QColor(255, 255, 0));
    // PRN 40 (not used) at azimuth 200, elevation 35: the silver picture.
    const PixelPoint unused = AzElToPoint(plot, 200, 35);
    EXPECT_EQ(PixelAt(image, unused.x - 7 + 2, unused.y - 7 + 6), QColor(192, 192, 192));
    EXPECT_EQ(PixelAt(image, unused.x - 7 + 7, unused.y - 7 + 6), QColor(192, 192, 192));
    // The disc is filled with the page's background colour.
    EXPECT_EQ(PixelAt(image, 700, 470), QColor(32, 32, 32));
}

TEST_F(FrontPanel, TrailsAndMaskAccumulateAndClear)
{
    FeedFixes(40);
    const SkyPlotHistory& history = page.SkyPlot().History();
    EXPECT_EQ(history.TrailCount(), 40u * 10u);
    int masked = 0;
    for (double v : history.Mask())
        masked += v != 90.0;
    EXPECT_GT(masked, 100);
    const QImage image = page.RenderPage();
    SavePage(image, QStringLiteral("front_panel_trails_black"));

    const QColor bg(32, 32, 32);
    const QColor fg(192, 192, 192);
    // PRN 40 is not used, so it leaves a trail but no mask: at fix 2 it
    // passed azimuth 203, elevation 36.
    const SkyPlotSquare plot = FitSkyPlotSquare(layout.skyPlot);
    const PixelPoint trail = AzElToPoint(plot, 203, 36);
    EXPECT_EQ(PixelAt(image, trail), fg);
    EXPECT_EQ(PixelAt(image, trail.x, trail.y + 1), bg);
    // PRN 12 is used with a good signal: its lowest elevation at azimuth
    // 123 was 31, a point of both its trail and the mask outline.
    const PixelPoint vertex = AzElToPoint(plot, 123, 31);
    EXPECT_EQ(PixelAt(image, vertex), fg);

    page.ClearSatelliteTrails();
    EXPECT_EQ(page.SkyPlot().History().TrailCount(), 0u);
    QImage cleared = page.RenderPage();
    EXPECT_EQ(PixelAt(cleared, trail), bg);
    EXPECT_EQ(PixelAt(cleared, vertex), fg) << "the mask stays";

    page.ClearAzElMask();
    cleared = page.RenderPage();
    EXPECT_EQ(PixelAt(cleared, vertex), bg);
}

TEST_F(FrontPanel, TextBlockValuesStartRightOfTheLongestLabel)
{
    const QImage image = page.RenderPage();
    const QColor bg(32, 32, 32);
    // Rounded panel: outline in fg on the block's edges, inside it bg.
    EXPECT_EQ(PixelAt(image, 250, 200), QColor(192, 192, 192));
    EXPECT_EQ(PixelAt(image, 250, 593), QColor(192, 192, 192));
    EXPECT_EQ(PixelAt(image, 6, 400), QColor(192, 192, 192));
    EXPECT_EQ(PixelAt(image, 480, 560), bg);
    // Labels from x = 11; text rows start at the block's top.
    int firstInk = 1000;
    for (int x = 7; x < 500 && firstInk == 1000; ++x)
        for (int y = 211; y < 230; ++y)
            if (PixelAt(image, x, y) != bg) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 11);
    EXPECT_LE(firstInk, 14);
}

TEST_F(FrontPanel, BlueLookColours)
{
    SetCurrentAppLook(kLookOffice2007Blue);
    FeedFixes(30);
    const QImage image = page.RenderPage();
    SavePage(image, QStringLiteral("front_panel_blue"));
    EXPECT_EQ(PixelAt(image, 480, 560), QColor(255, 255, 255));
    EXPECT_EQ(PixelAt(image, 250, 200), QColor(64, 64, 128));
    EXPECT_EQ(PixelAt(image, 30, 100), QColor(0, 0, 128));
}

TEST_F(FrontPanel, ContextMenuItemsAtTheMenuKeyPosition)
{
    CommandActions commands;
    page.SetCommandActions(&commands);
    page.move(100, 80);
    page.show();

    QStringList texts;
    QPoint shownAt;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        shownAt = menu->pos();
        for (QAction* a : menu->actions())
            texts << a->text();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(500, 300), page.mapToGlobal(QPoint(500, 300)));
    QApplication::sendEvent(&page, &event);
    EXPECT_EQ(shownAt, page.mapToGlobal(QPoint(5, 5)));
    EXPECT_EQ(texts, (QStringList{"Clear Satellite Trails", "Clear Satellite &Azimuth/Elevation Mask"}));
}

TEST_F(FrontPanel, ChoosingAMenuItemRunsTheCommand)
{
    CommandActions commands;
    page.SetCommandActions(&commands);
    QObject::connect(commands.ActionFor(kCmdClearSatelliteTrails), &QAction::triggered, &page,
                     &FrontPanelStatusWnd::ClearSatelliteTrails);
    FeedFixes(3);
    ASSERT_GT(page.SkyPlot().History().TrailCount(), 0u);
    page.show();

    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menu->setActiveAction(menu->actions().at(0));
        menu->activeAction()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 40), page.mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(&page, &event);
    EXPECT_EQ(page.SkyPlot().History().TrailCount(), 0u);
}

// Contrast ratio of two colours as WCAG reckons it.
double Contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// An unused satellite's number reads on every look's page: in the blue look
// it is drawn in a grey that stands out from the white disc.
TEST_F(FrontPanel, UnusedSatelliteNumbersReadOnEveryLook)
{
    for (int look = kFirstAppLook; look <= kLastAppLook; ++look) {
        SetCurrentAppLook(look);
        QColor bg, fg;
        GetPageColors(bg, fg);
        EXPECT_GE(Contrast(UnusedSatelliteLabelColor(bg), bg), 4.5) << look;
    }
    SetCurrentAppLook(kLookOffice2007Blue);
    page.UpdateFromSnapshot();
    const QImage image = page.RenderPage();
    SavePage(image, QStringLiteral("front_panel_blue"));
    QColor bg, fg;
    GetPageColors(bg, fg);
    // PRN 40, not used, at azimuth 200, elevation 35: its number beside it.
    const PixelPoint unused = AzElToPoint(FitSkyPlotSquare(layout.skyPlot), 200, 35);
    EXPECT_GT(CountColor(image, {unused.x - 30, unused.y - 30, unused.x + 30, unused.y + 30},
                         UnusedSatelliteLabelColor(bg)), 5);
}

}  // namespace
