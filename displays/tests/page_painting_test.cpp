#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include "displays/page_look.h"
#include "displays/page_painting.h"
#include "displays/tests/page_test_support.h"

namespace {

class PagePainting : public ::testing::Test {
protected:
    void TearDown() override { SetCurrentAppLook(kLookOffice2007Black); }
};

TEST_F(PagePainting, GetPageColorsFollowsTheCurrentLook)
{
    struct {
        int look;
        QColor bg, fg;
    } const cases[] = {
        {kLookOffice2007Blue, {255, 255, 255}, {64, 64, 128}},
        {kLookOffice2007Black, {32, 32, 32}, {192, 192, 192}},
        {kLookOffice2007Silver, {214, 215, 222}, {0, 0, 96}},
        {kLookOffice2007Aqua, {181, 182, 206}, {0, 0, 128}},
        {kLookOfficeXP, {255, 255, 255}, {0, 0, 128}},
        {kLookWindows7, {255, 255, 255}, {0, 0, 128}},
    };
    for (const auto& c : cases) {
        SetCurrentAppLook(c.look);
        QColor bg, fg;
        GetPageColors(bg, fg);
        EXPECT_EQ(bg, c.bg) << c.look;
        EXPECT_EQ(fg, c.fg) << c.look;
    }

    SetCurrentAppLook(kLookPlain);
    QColor bg, fg;
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
    QImage image(40, 510, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    const QPen pen(Qt::green, 3);
    const QBrush brush(Qt::blue);
    painter.setPen(pen);
    painter.setBrush(brush);
    FillPageBackground(painter, QRect(0, 0, 40, 510));
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    painter.end();

    // Two rows per band: band i at rows 2i and 2i + 1, across the full width.
    for (int band : {0, 1, 100, 200, 254}) {
        const GradientBand expected = BlackStyleGradientBands(0, 510)[static_cast<std::size_t>(band)];
        const QColor grey(expected.grey, expected.grey, expected.grey);
        for (int x : {0, 39}) {
            EXPECT_EQ(PixelAt(image, x, 2 * band), grey) << band;
            EXPECT_EQ(PixelAt(image, x, 2 * band + 1), grey) << band;
        }
    }
    EXPECT_EQ(PixelAt(image, 5, 0), QColor(96, 96, 96));
    EXPECT_EQ(PixelAt(image, 5, 509), QColor(16, 16, 16));
}

TEST_F(PagePainting, BlackStyleInsideAnOffsetRectangle)
{
    SetCurrentAppLook(kLookOffice2007Black);
    QImage image(100, 400, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter painter(&image);
    FillPageBackground(painter, QRect(10, 100, 50, 255));
    painter.end();
    EXPECT_EQ(PixelAt(image, 10, 100), QColor(96, 96, 96));
    EXPECT_EQ(PixelAt(image, 59, 354), QColor(16, 16, 16));
    EXPECT_EQ(PixelAt(image, 9, 150), QColor(Qt::red));
    EXPECT_EQ(PixelAt(image, 60, 150), QColor(Qt::red));
    EXPECT_EQ(PixelAt(image, 30, 99), QColor(Qt::red));
    EXPECT_EQ(PixelAt(image, 30, 355), QColor(Qt::red));
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
