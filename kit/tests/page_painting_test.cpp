#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include "kit/page_look.h"
#include "kit/page_painting.h"
#include "kit/tests/page_test_support.h"

namespace {

class PagePainting : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentAppLook(kLookOffice2007Black); }
};

TEST_F(PagePainting, GetPageColorsFollowsTheCurrentLook)
{
    QColor bg, fg;
    SetCurrentAppLook(kLookOffice2007Blue);
    GetPageColors(bg, fg);
    EXPECT_EQ(fg, QColor(64, 64, 128));
    SetCurrentAppLook(kLookOffice2007Black);
    GetPageColors(bg, fg);
    EXPECT_EQ(bg, QColor(32, 32, 32));

    SetCurrentAppLook(kLookPlain);
    GetPageColors(bg, fg);
    EXPECT_EQ(bg, QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(fg, QApplication::palette().color(QPalette::WindowText));
}

TEST_F(PagePainting, UnknownLookTakesTheLastOffice2007Style)
{
    SetCurrentAppLook(kLookOffice2007Silver);
    SetCurrentAppLook(40000);
    QColor bg, fg;
    GetPageColors(bg, fg);
    EXPECT_EQ(bg, QColor(214, 215, 222));
}

TEST_F(PagePainting, BlackStyleIsAGreyGradientOfBands)
{
    SetCurrentAppLook(kLookOffice2007Black);
    QImage image(60, 530, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    const QBrush brush(Qt::blue);
    painter.setPen(pen);
    painter.setBrush(brush);
    FillPageBackground(painter, QRect(10, 10, 40, 510));
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    painter.end();

    // Two rows per band: band i at rows 10 + 2i and 11 + 2i, across the full width.
    for (int band : {0, 1, 100, 200, 254}) {
        const GradientBand expected = BlackStyleGradientBands(10, 520)[static_cast<std::size_t>(band)];
        const QColor grey(expected.grey, expected.grey, expected.grey);
        for (int x : {10, 49}) {
            EXPECT_EQ(PixelAt(image, x, 10 + 2 * band), grey) << band;
            EXPECT_EQ(PixelAt(image, x, 11 + 2 * band), grey) << band;
        }
    }
    EXPECT_EQ(PixelAt(image, 20, 10), QColor(96, 96, 96));
    EXPECT_EQ(PixelAt(image, 20, 519), QColor(16, 16, 16));
    EXPECT_EQ(CountColor(image, {0, 0, 60, 530}, Qt::red), 60 * 530 - 40 * 510) << "nothing outside";
}

TEST_F(PagePainting, ZeroHeightRectanglePaintsNothing)
{
    for (int look : {kLookOffice2007Black, kLookOffice2007Blue, kLookWindows7}) {
        SetCurrentAppLook(look);
        QImage image(50, 50, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        FillPageBackground(painter, QRect(0, 20, 50, 0));
        painter.end();
        EXPECT_EQ(CountColor(image, {0, 0, 50, 50}, Qt::red), 2500) << look;
    }
}

TEST_F(PagePainting, PlainLookLeavesThePageAsItWas)
{
    SetCurrentAppLook(kLookPlain);
    QImage image(30, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    FillPageBackground(painter, QRect(0, 0, 30, 30));
    painter.end();
    EXPECT_EQ(CountColor(image, {0, 0, 30, 30}, Qt::red), 900);
}

TEST_F(PagePainting, OtherLooksFillTheWholeRectangle)
{
    for (int look = kFirstAppLook + 1; look <= kLastAppLook; ++look) {
        if (look == kLookOffice2007Black)
            continue;
        SetCurrentAppLook(look);
        QImage image(30, 60, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        FillPageBackground(painter, QRect(0, 0, 30, 60));
        painter.end();
        EXPECT_EQ(CountColor(image, {0, 0, 30, 60}, Qt::red), 0) << look;
    }
}

}  // namespace
