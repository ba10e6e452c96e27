#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTabBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <cstdlib>
#include <set>
#include <tuple>

#include "app/app_look.h"
#include "app/app_pictures.h"
#include "app/tests/test_output.h"
#include "kit/page_look.h"
#include "kit/page_painting.h"

namespace {

struct LookCase {
    int look;
    QColor window;
    QColor pageBackground;
    QColor pageText;
};

const LookCase kLooks[] = {
    {kLookPlain, {212, 208, 200}, {212, 208, 200}, {0, 0, 0}},   // the page takes the palette's colours
    {kLookOfficeXP, {236, 233, 216}, {255, 255, 255}, {0, 0, 128}},
    {kLookWindowsNative, {240, 240, 240}, {255, 255, 255}, {0, 0, 128}},
    {kLookOffice2003, {195, 218, 249}, {255, 255, 255}, {0, 0, 128}},
    {kLookVisualStudio2005, {238, 237, 229}, {255, 255, 255}, {0, 0, 128}},
    {kLookVisualStudio2008, {233, 236, 244}, {255, 255, 255}, {0, 0, 128}},
    {kLookOffice2007Blue, {191, 219, 255}, {255, 255, 255}, {64, 64, 128}},
    {kLookOffice2007Black, {83, 83, 83}, {32, 32, 32}, {192, 192, 192}},
    {kLookOffice2007Silver, {208, 212, 221}, {214, 215, 222}, {0, 0, 96}},
    {kLookOffice2007Aqua, {196, 202, 217}, {181, 182, 206}, {0, 0, 128}},
    {kLookWindows7, {233, 239, 247}, {255, 255, 255}, {0, 0, 128}},
};

class AppLooks : public ::testing::Test {
protected:
    void TearDown() override { ApplyAppLook(kLookOffice2007Black); }
};

TEST_F(AppLooks, EachLookHasItsPaletteAndPageColours)
{
    for (const LookCase& c : kLooks) {
        ApplyAppLook(c.look);
        EXPECT_EQ(CurrentAppLook(), c.look);
        EXPECT_EQ(QApplication::palette().color(QPalette::Window), c.window) << c.look;
        QColor background;
        QColor text;
        GetPageColors(background, text);
        EXPECT_EQ(background, c.pageBackground) << c.look;
        EXPECT_EQ(text, c.pageText) << c.look;
    }
}

TEST_F(AppLooks, NoTwoLooksAlike)
{
    std::set<std::tuple<QRgb, QRgb, QRgb, QString>> seen;
    for (const LookCase& c : kLooks) {
        const QPalette palette = PaletteForLook(c.look);
        seen.emplace(palette.color(QPalette::Window).rgb(), palette.color(QPalette::Highlight).rgb(),
                     palette.color(QPalette::Button).rgb(), StyleSheetForLook(c.look));
    }
    EXPECT_EQ(seen.size(), std::size(kLooks));
}

TEST_F(AppLooks, UnknownIdShowsOffice2007InItsCurrentStyle)
{
    ApplyAppLook(kLookOffice2007Silver);
    ApplyAppLook(kLookPlain);
    ApplyAppLook(12345);
    EXPECT_EQ(CurrentAppLook(), 12345) << "kept, so it is written back as it came";
    EXPECT_EQ(EffectiveAppLook(12345), kLookOffice2007Silver);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(208, 212, 221));
    QColor background;
    QColor text;
    GetPageColors(background, text);
    EXPECT_EQ(background, QColor(214, 215, 222));
    EXPECT_EQ(text, QColor(0, 0, 96));

    ApplyAppLook(kLookOffice2007Black);
    ApplyAppLook(kLastAppLook + 1);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(83, 83, 83));
    EXPECT_EQ(EffectiveAppLook(kFirstAppLook - 1), kLookOffice2007Black);
}

// A small window with the bars the looks style, to see them and to check
// that the style sheet reaches them.
struct SampleWindow {
    QMainWindow window;
    QToolBar* toolbar = nullptr;
    QTabWidget* tabs = nullptr;

    SampleWindow()
    {
        InitAppResources();
        toolbar = window.addToolBar(QStringLiteral("Standard"));
        toolbar->setIconSize(QSize(32, 32));
        toolbar->addAction(QIcon(pictures::kToolConnect), QStringLiteral("Connect to GPS"));
        toolbar->addSeparator();
        toolbar->addAction(QIcon(pictures::kToolRecord), QStringLiteral("Record Data"));
        toolbar->addAction(QIcon(pictures::kToolStop), QStringLiteral("Stop"));
        toolbar->addAction(QIcon(pictures::kToolPlayBack), QStringLiteral("Play Back Data"));
        toolbar->addSeparator();
        toolbar->addAction(QIcon(pictures::kToolAbout), QStringLiteral("About"));
        tabs = new QTabWidget;
        tabs->addTab(new QWidget, QIcon(pictures::kTabFrontPanel), QStringLiteral("Front Panel Status"));
        tabs->addTab(new QWidget, QIcon(pictures::kTabScatterPlot), QStringLiteral("Scatter Plot"));
        tabs->addTab(new QWidget, QIcon(pictures::kTabPositionPlot), QStringLiteral("Position Plot"));
        tabs->addTab(new QWidget, QIcon(pictures::kTabNmeaMonitor), QStringLiteral("NMEA Monitor"));
        tabs->addTab(new QWidget, QIcon(pictures::kTabReceiverConfig), QStringLiteral("Receiver Configuration"));
        window.setCentralWidget(tabs);
        window.statusBar()->addWidget(new QLabel(QStringLiteral("Ready")), 1);
        auto* rx = new QLabel;
        rx->setPixmap(QPixmap(pictures::kRxLit));
        window.statusBar()->addPermanentWidget(rx);
        auto* tx = new QLabel;
        tx->setPixmap(QPixmap(pictures::kTxIdle));
        window.statusBar()->addPermanentWidget(tx);
        window.resize(640, 240);
        window.show();
    }
};

TEST_F(AppLooks, BarsFollowTheLook)
{
    struct Case {
        int look;
        const char* name;
        bool darkBars;
    };
    const Case cases[] = {
        {kLookOffice2007Blue, "look_office2007_blue", false},
        {kLookOffice2007Black, "look_office2007_black", true},
        {kLookOffice2003, "look_office2003", false},
        {kLookPlain, "look_plain", false},
    };
    SampleWindow sample;
    for (const Case& c : cases) {
        ApplyAppLook(c.look);
        QApplication::processEvents();
        const QImage shot = sample.window.grab().toImage();
        SaveTestPicture(sample.window, QString::fromLatin1(c.name));
        const QWidget* status = sample.window.statusBar();
        const QColor statusColour = shot.pixelColor(status->x() + status->width() / 2, status->y() + 3);
        const QColor toolbarColour =
            shot.pixelColor(sample.toolbar->x() + sample.toolbar->width() - 4, sample.toolbar->y() + 4);
        EXPECT_EQ(statusColour.lightness() < 110, c.darkBars) << c.name << " status " << statusColour.lightness();
        EXPECT_EQ(toolbarColour.lightness() < 140, c.darkBars) << c.name << " toolbar " << toolbarColour.lightness();
        // Tabs: the chosen one light as the page, the others in the bars' colours.
        const QTabBar* bar = sample.tabs->tabBar();
        const QPoint chosen = bar->mapTo(&sample.window, bar->tabRect(0).topLeft() + QPoint(6, 4));
        const QPoint other = bar->mapTo(&sample.window, bar->tabRect(1).topLeft() + QPoint(6, 6));
        EXPECT_GT(shot.pixelColor(chosen).lightness(), 190) << c.name;
        EXPECT_EQ(shot.pixelColor(other).lightness() < 140, c.darkBars) << c.name << " tab " << shot.pixelColor(other).lightness();
    }
}

TEST_F(AppLooks, MenuMarksStandOutOfTheMenuInEveryLook)
{
    // Radio marks are drawn in the button text colour on the menu's base.
    for (const LookCase& c : kLooks) {
        ApplyAppLook(c.look);
        QMenu menu;
        menu.ensurePolished();
        const QPalette& p = menu.palette();
        EXPECT_GT(std::abs(p.color(QPalette::ButtonText).lightness() - p.color(QPalette::Base).lightness()), 120)
            << c.look;
    }
}

}  // namespace
