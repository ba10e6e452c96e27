#include <gtest/gtest.h>

#include <QPainter>

#include "displays/azimuth_elevation_wnd.h"
#include "displays/satellite_pictures.h"
#include "displays/sky_plot_geometry.h"
#include "kit/tests/page_test_support.h"

namespace {

const QColor kPaper(10, 20, 30);
const QColor kUsedLabel(0, 0, 128);
const QColor kUnusedLabel(200, 100, 0);
const QColor kDisc(240, 240, 240);
const QColor kHorizon(0, 160, 0);
const QColor kGrid(90, 90, 200);

// The plot is drawn in a rectangle offset inside a larger image.
const QRect kPlotRect(100, 50, 400, 300);
const SkyPlotSquare kPlot = FitSkyPlotSquare({100, 50, 500, 350});  // (150, 50, 450, 350)

AzimuthElevationWnd MakePlot()
{
    AzimuthElevationWnd plot;
    plot.SetColors(kUsedLabel, kUnusedLabel, kDisc, kHorizon, kGrid);
    plot.SetSatelliteBitmaps(kUsedSatellitePicture, 0);
    return plot;
}

QImage Render(const AzimuthElevationWnd& plot)
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter painter(&image);
    plot.Draw(painter, kPlotRect);
    return image;
}

TEST(SatellitePicture, FifteenSquareWithMagentaTransparent)
{
    const QImage used = SatellitePicture(kUsedSatellitePicture);
    const QImage unused = SatellitePicture(kUnusedSatellitePicture);
    ASSERT_EQ(used.size(), QSize(15, 15));
    ASSERT_EQ(unused.size(), QSize(15, 15));
    EXPECT_TRUE(SatellitePicture(0).isNull());
    EXPECT_TRUE(SatellitePicture(7).isNull());
    for (int x = 0; x < 15; ++x)
        EXPECT_EQ(qAlpha(used.pixel(x, 14)), 0) << "bottom row is transparent";
    EXPECT_EQ(used.pixelColor(0, 5), QColor(Qt::black));  // panel outline
    EXPECT_EQ(unused.pixelColor(7, 6), QColor(192, 192, 192));
}

TEST(SkyPlotDrawing, DiscHorizonGridAndRing)
{
    const QImage image = Render(MakePlot());
    SavePage(image, QStringLiteral("sky_plot_empty"));
    EXPECT_EQ(PixelAt(image, 149, 195), kPaper) << "left of the square";
    EXPECT_EQ(PixelAt(image, 150, 195), kHorizon) << "horizon at the square's left edge";
    EXPECT_EQ(PixelAt(image, 449, 195), kHorizon) << "and its right edge, inside the box";
    EXPECT_EQ(PixelAt(image, 450, 195), kPaper);
    EXPECT_EQ(PixelAt(image, 250, 150), kDisc);
    EXPECT_EQ(PixelAt(image, 300, 120), kGrid) << "vertical cross line";
    EXPECT_EQ(PixelAt(image, 220, 200), kGrid) << "horizontal cross line";
    const PixelRect ring = FortyFiveDegreeRing(kPlot);  // radius 75
    EXPECT_EQ(PixelAt(image, ring.left, 197), kGrid);
    EXPECT_EQ(PixelAt(image, ring.left + 3, 197), kDisc);
}

TEST(SkyPlotDrawing, CompassLettersHideTheCrossLines)
{
    const QImage image = Render(MakePlot());
    // Below the north point the vertical line runs under "N": the letter's
    // box is filled with the disc colour before the letter is drawn.
    const PixelPoint north = AzElToPoint(kPlot, 0, 2);
    EXPECT_LT(CountColor(image, {north.x, north.y, north.x + 1, north.y + 11}, kGrid), 11);
    EXPECT_EQ(PixelAt(image, north.x, north.y - 2), kGrid) << "line continues outside the letter";
    EXPECT_EQ(CountColor(image, {north.x, north.y + 30, north.x + 1, north.y + 60}, kGrid), 30);
}

TEST(SkyPlotDrawing, UsedSatellitePictureAndUnusedDot)
{
    AzimuthElevationWnd plot = MakePlot();
    SkySatellites sats{};
    sats[0] = {12, 60.0, 40.0, 1, 45.0};
    sats[1] = {7, 210.0, 25.0, 0, 30.0};
    sats[2] = {0, 120.0, 50.0, 1, 45.0};  // empty slot: never drawn
    plot.UpdateSatellites(sats);
    plot.ClearTrails();
    const QImage image = Render(plot);
    SavePage(image, QStringLiteral("sky_plot_satellites"));

    const SatelliteSymbol used = PlaceSatelliteSymbol(kPlot, sats[0], {15, 15}, [](std::string_view) {
        return TextExtent{};
    });
    const PixelPoint corner{used.symbol.left, used.symbol.top};
    EXPECT_EQ(PixelAt(image, corner.x + 2, corner.y + 6), QColor(255, 0, 0));
    EXPECT_EQ(PixelAt(image, corner.x + 7, corner.y + 6), QColor(255, 255, 0));
    EXPECT_EQ(PixelAt(image, corner.x + 7, corner.y + 1), kDisc) << "magenta shows the disc";

    const PixelPoint dot = SkyPoint(kPlot, 210.0, 25.0);
    EXPECT_EQ(PixelAt(image, dot), kUnusedLabel);
    EXPECT_EQ(PixelAt(image, dot.x - 5, dot.y), kUnusedLabel);
    EXPECT_EQ(PixelAt(image, dot.x + 5, dot.y), kDisc) << "dot box ends before p.x + 5";
    // The number hangs 10 pixels below the dot's centre.
    EXPECT_GT(CountColor(image, {dot.x - 8, dot.y + 10, dot.x + 8, dot.y + 25}, kUnusedLabel), 0);
    EXPECT_EQ(CountColor(image, {dot.x - 8, dot.y - 25, dot.x + 8, dot.y - 6}, kUnusedLabel), 0);

    const PixelPoint empty = SkyPoint(kPlot, 120.0, 50.0);
    EXPECT_EQ(CountColor(image, {empty.x - 7, empty.y - 7, empty.x + 8, empty.y + 8}, QColor(255, 0, 0)), 0);
}

TEST(SkyPlotDrawing, TrailsAreSinglePixelsInTheGridColour)
{
    AzimuthElevationWnd plot = MakePlot();
    for (double az : {300.0, 305.0, 310.0, 315.0}) {
        SkySatellites sats{};
        sats[5] = {9, az, 60.0, 0, 10.0};
        plot.UpdateSatellites(sats);
    }
    ASSERT_EQ(plot.History().TrailCount(), 4u);
    const QImage image = Render(plot);
    for (double az : {300.0, 305.0}) {
        const PixelPoint p = SkyPoint(kPlot, az, 60.0);
        EXPECT_EQ(PixelAt(image, p), kGrid) << az;
        EXPECT_EQ(PixelAt(image, p.x + 1, p.y), kDisc) << az;
        EXPECT_EQ(PixelAt(image, p.x, p.y + 1), kDisc) << az;
    }
}

TEST(SkyPlotDrawing, MaskOutlineAndFaintFill)
{
    AzimuthElevationWnd plot = MakePlot();
    for (int az = 0; az < 360; az += 3) {
        SkySatellites sats{};
        sats[0] = {3, static_cast<double>(az), 20.0, 1, 40.0};
        plot.UpdateSatellites(sats);
    }
    plot.ClearTrails();
    SkySatellites none{};
    plot.UpdateSatellites(none);
    plot.ClearTrails();
    const QImage image = Render(plot);
    SavePage(image, QStringLiteral("sky_plot_mask"));

    // Inside the elevation-20 polygon the disc is tinted by 16/255 of the grid colour.
    const auto blend = [](int disc, int grid) { return disc + (grid - disc) * 16 / 255; };
    const QColor tinted(blend(kDisc.red(), kGrid.red()), blend(kDisc.green(), kGrid.green()),
                        blend(kDisc.blue(), kGrid.blue()));
    EXPECT_TRUE(Near(PixelAt(image, 270, 170), tinted, 1)) << PixelAt(image, 270, 170).name().toStdString();
    // Between the polygon and the horizon the disc is untouched.
    const PixelPoint outside = AzElToPoint(kPlot, 135, 8);
    EXPECT_EQ(PixelAt(image, outside), kDisc);
    // The outline runs through the points of the mask.
    const PixelPoint vertex = AzElToPoint(kPlot, 135, 20);
    EXPECT_TRUE(Near(PixelAt(image, vertex), kGrid, 12));
}

TEST(SkyPlotDrawing, PainterStateIsRestored)
{
    QImage image(300, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    const QPen pen(Qt::magenta, 4);
    const QBrush brush(Qt::cyan);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(31);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setFont(font);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(QColor(1, 2, 3));
    MakePlot().Draw(painter, QRect(0, 0, 300, 300));
    EXPECT_EQ(painter.pen(), pen);
    EXPECT_EQ(painter.brush(), brush);
    EXPECT_EQ(painter.font(), font);
    EXPECT_EQ(painter.backgroundMode(), Qt::OpaqueMode);
    EXPECT_EQ(painter.background().color(), QColor(1, 2, 3));
}

}  // namespace
